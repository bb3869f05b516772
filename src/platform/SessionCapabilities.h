// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace nookary {

// What the session lets the program do with its windows, so that the shell asks this
// rather than which platform it runs on. The defaults are an X11 desktop's.
struct SessionCapabilities {
    // The program knows where its windows are and may place them. False where the
    // compositor places every window and reports its position as (0, 0) (Wayland): only a
    // window's size is worth remembering there, and a popover cannot be hung under a tray
    // icon whose place nobody tells.
    bool placesWindows = true;
    // The program may give one of its shown windows the keyboard. False where only a new
    // window gets it (Wayland: activation needs a token the compositor hands out).
    bool activatesWindows = true;
};

} // namespace nookary
