// SPDX-License-Identifier: GPL-3.0-or-later
// Another X client that holds a key combination first:
// nookary_key_grabber KEYCODE MODMASK. Grabs it on the root window, prints "ready" and
// keeps it until killed.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto keycode = xcb_keycode_t(std::atoi(argv[1]));
    const auto modifiers = uint16_t(std::atoi(argv[2]));
    xcb_generic_error_t *error = xcb_request_check(c,
        xcb_grab_key_checked(
            c, 1, root, modifiers, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (error)
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    while (xcb_generic_event_t *event = xcb_wait_for_event(c))
        std::free(event);
    return 0;
}
