// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace nookary {

// An application window the user was working in, to give focus back to later.
struct RunningApplication {
    quint64 windowId = 0; // the window system's id of its active window
    qint64 pid = 0; // 0 when unknown

    friend bool operator==(const RunningApplication &, const RunningApplication &) = default;
};

// The desktop's windows as the shell needs them: which application is in front, and giving
// focus back to it. Main thread only; every call returns at once.
class Workspace {
public:
    virtual ~Workspace() = default;

    // The application in front now; nothing when the desktop cannot tell (no window
    // manager, or one that does not publish its active window).
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    // Asks the window manager to activate it; quietly does nothing where it cannot.
    virtual void activate(const RunningApplication &application) = 0;
    // The application window a click at `globalPosition` lands in, if it is one the user
    // could give focus to (not the desktop, not a panel or dock); nothing when unknown.
    virtual std::optional<RunningApplication> applicationAt(QPoint globalPosition) const
    {
        Q_UNUSED(globalPosition);
        return std::nullopt;
    }
    // `changed` runs, on a later turn, each time the window manager makes another window the
    // active one; never where the desktop does not tell.
    virtual void setFrontmostChangedHandler(std::function<void()> changed) { Q_UNUSED(changed); }
};

// For sessions without a window system the program knows: knows nothing, does nothing.
class NullWorkspace final : public Workspace {
public:
    std::optional<RunningApplication> frontmostApplication() const override { return std::nullopt; }
    void activate(const RunningApplication &) override { }
};

} // namespace nookary
