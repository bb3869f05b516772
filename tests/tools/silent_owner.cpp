// SPDX-License-Identifier: GPL-3.0-or-later
// A clipboard owner that never answers: takes the CLIPBOARD selection (or the one named by
// its first argument, such as CLIPBOARD_MANAGER) and ignores every request for its contents.
// Prints "ready" once it owns it; runs until killed. With --save-targets it then asks the
// clipboard manager to keep the clipboard, as a quitting program does, and prints "saved" or
// "refused" when the manager answers.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    std::free(r);
    return a;
}

} // namespace

int main(int argc, char **argv)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    const char *selection = argc > 1 ? argv[1] : "CLIPBOARD";
    xcb_set_selection_owner(c, window, atom(c, selection), XCB_CURRENT_TIME);
    xcb_flush(c);
    std::puts("ready");
    std::fflush(stdout);
    const xcb_atom_t saveTargets = atom(c, "SAVE_TARGETS");
    if (argc > 2 && std::strcmp(argv[2], "--save-targets") == 0) {
        xcb_convert_selection(c, window, atom(c, "CLIPBOARD_MANAGER"), saveTargets,
            atom(c, "NOOKARY_TEST_SAVE"), XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_selection_notify_event_t *>(event);
            if (notify->target == saveTargets) {
                std::puts(notify->property == XCB_ATOM_NONE ? "refused" : "saved");
                std::fflush(stdout);
            }
        }
        std::free(event); // SelectionRequest: never answered
    }
    return 0;
}
