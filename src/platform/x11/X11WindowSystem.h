// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowSystem.h"

namespace nookary {

// The X11 desktop, through EWMH on Qt's own connection.
class X11WindowSystem final : public WindowSystem {
protected:
    // `_NET_WM_STATE_SKIP_TASKBAR` and `_PAGER`, added to the states the window has.
    void excludeFromTaskbar(QWidget &window) override;
    // `_NET_WM_MOVERESIZE_CANCEL` to the root window.
    void cancelSystemMove(QWidget &window) override;
};

} // namespace nookary
