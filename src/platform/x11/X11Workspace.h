// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Workspace.h"

#include <memory>

namespace nookary {

// Workspace over EWMH: the root window's _NET_ACTIVE_WINDOW (with the window's _NET_WM_PID)
// is the frontmost application; activating is the _NET_ACTIVE_WINDOW client message.
// Without an EWMH window manager there is no frontmost application. The window under a
// point is the topmost client (a window with WM_STATE) the point falls in.
class X11Workspace final : public Workspace {
public:
    // Null when the application does not run on X11.
    static std::unique_ptr<X11Workspace> create();

    std::optional<RunningApplication> frontmostApplication() const override;
    void activate(const RunningApplication &application) override;
    std::optional<RunningApplication> applicationAt(QPoint globalPosition) const override;
    void setFrontmostChangedHandler(std::function<void()> changed) override;

    ~X11Workspace() override;

private:
    struct Connection;
    explicit X11Workspace(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> m_x;
    class ActiveWindowWatch;
    std::unique_ptr<ActiveWindowWatch> m_watch;
};

} // namespace nookary
