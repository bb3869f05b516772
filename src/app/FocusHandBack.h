#pragma once

#include "platform/MainQueue.h"
#include "platform/Workspace.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <optional>

namespace nookary {

class Clock;

// Gives focus back to the application the user worked in before the panel opened. The
// hand-back waits a moment after the close, so that the window manager has let go of our
// window first, and an opening in between cancels it.
class FocusHandBack final : public QObject
{
    Q_OBJECT

public:
    // How long after a close focus goes back to the previous application.
    static constexpr std::chrono::milliseconds delay{30};

    // `isOwnWindow` tells the program's own windows from other applications'.
    FocusHandBack(Workspace &workspace, Clock &clock, std::function<bool(quint64 windowId)> isOwnWindow,
                  QObject *parent = nullptr);

    // At every opening: cancels a pending hand-back and remembers the application in front,
    // unless that is ourselves (handing focus back to ourselves would leave the user
    // nowhere, so the application remembered before is kept).
    void noteOpening();
    // After a close: hands focus back, once, after `delay`.
    void handBackAfterClose();

    std::optional<RunningApplication> previousApp() const { return m_previousApp; }
    bool isPending() const { return m_pending.isPending(); }

private:
    Workspace &m_workspace;
    Clock &m_clock;
    std::function<bool(quint64)> m_isOwnWindow;
    std::optional<RunningApplication> m_previousApp;
    CancellableTask m_pending;
};

} // namespace nookary
