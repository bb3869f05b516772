// SPDX-License-Identifier: GPL-3.0-or-later
// Switches the keyboard to another of its layouts, as a user's layout switcher does:
// nookary_keyboard_group GROUP locks XKB group GROUP (0 to 3) and exits.
#include <xcb/xcb.h>
// xkb.h names a member "explicit", a C++ keyword.
#define explicit xcb_explicit
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    xcb_xkb_use_extension_reply_t *use = xcb_xkb_use_extension_reply(
        c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr);
    const bool supported = use && use->supported;
    std::free(use);
    if (!supported)
        return 1;
    xcb_generic_error_t *error = xcb_request_check(c,
        xcb_xkb_latch_lock_state_checked(
            c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, uint8_t(std::atoi(argv[1])), 0, 0, 0));
    xcb_disconnect(c);
    return error ? 1 : 0;
}
