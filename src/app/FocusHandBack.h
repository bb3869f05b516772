// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MainQueue.h"
#include "platform/Workspace.h"

#include <QObject>
#include <QPoint>

#include <chrono>
#include <functional>
#include <optional>

namespace nookary {

class Clock;

// Gives focus back to the application the user worked in before the panel opened. The
// hand-back waits a moment after the close, so that the window manager has let go of our
// window first, and an opening in between cancels it.
class FocusHandBack final : public QObject {
    Q_OBJECT

public:
    // How long after a close focus goes back to the previous application.
    static constexpr std::chrono::milliseconds delay { 30 };

    // How a close came about: asked for (a key, a copy, the shortcut, the tray, the command
    // line), or because focus went elsewhere (a click outside, another window activated).
    enum class CloseCause { requested, focusLost };

    // `isOwnWindow` tells the program's own windows from other applications';
    // `isPanelWindow` tells the panel's (the popover or the centred window) from the rest.
    FocusHandBack(Workspace &workspace, Clock &clock,
        std::function<bool(quint64 windowId)> isOwnWindow,
        std::function<bool(quint64 windowId)> isPanelWindow, QObject *parent = nullptr);

    // At every opening: cancels a pending hand-back and remembers the application in front,
    // unless that is ourselves (or still reported so, just after a close): handing focus
    // back to ourselves would leave the user nowhere, so the application remembered before,
    // or the cancelled hand-back's, is kept.
    void noteOpening();
    // After a close: hands focus back, once, after `delay`; after a close by focus loss, not
    // when another window has taken focus meanwhile (that would steal the click that chose it).
    // `closingClick` is where a click outside that closed the popover landed: Qt eats that
    // click, so the window under it, the one the user chose, gets focus instead.
    void handBackAfterClose(CloseCause cause = CloseCause::requested,
        std::optional<QPoint> closingClick = std::nullopt);
    // One of our own windows (About, an alert) is about to take focus. The window manager
    // may not report it active before the hand-back looks, so a pending hand-back is
    // cancelled here, and when the panel closes for that window, nothing is handed back.
    void ownWindowTakesFocus(bool panelClosesForIt);
    // Focus stays with us (the settings window opens): nothing is handed back.
    void forget();

    std::optional<RunningApplication> previousApp() const { return m_previousApp; }
    // A window of another application than the one remembered at opening is in front.
    bool anotherApplicationInFront() const;
    bool isPending() const { return m_pending.isPending(); }

Q_SIGNALS:
    // The panel opens: what waited for the last close's hand-back is void.
    void panelOpening();
    // The window manager made a window of another application than the one remembered at
    // opening the active one.
    void anotherWindowActivated();

private:
    bool anotherWindowTookFocus(const RunningApplication &handBackTarget) const;

    Workspace &m_workspace;
    Clock &m_clock;
    std::function<bool(quint64)> m_isOwnWindow;
    std::function<bool(quint64)> m_isPanelWindow;
    std::optional<RunningApplication> m_previousApp;
    CancellableTask m_pending;
    // Where the pending hand-back goes; a quick reopen takes it over.
    std::optional<RunningApplication> m_pendingTarget;
};

} // namespace nookary
