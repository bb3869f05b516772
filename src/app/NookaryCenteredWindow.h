// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SessionCapabilities.h"

#include <QObject>
#include <QSize>

#include <chrono>
#include <memory>
#include <optional>

namespace nookary {

class Clock;
class NookaryPanel;
class PreferencesStore;
class QuietTimer;

// The centred presentation: a NookaryPanel opened on the screen under the pointer at its
// remembered place and size, closed when it loses focus (after a short grace, unless
// pinned), remembering its frame when a move or resize ends and when it closes.
class NookaryCenteredWindow final : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds showGrace { 120 };
    // A move or resize has ended once no Move or Resize event came for this long.
    static constexpr std::chrono::milliseconds moveResizeQuiet { 300 };

    // Takes ownership of `content` (the chrome with the panel view). Where the session does
    // not let the program place windows, only the size is remembered and applied, and only a
    // size the user chose with the panel's handles (a tiling compositor's size is its own); a
    // stored position is left as it is for sessions that can use it.
    NookaryCenteredWindow(PreferencesStore &store, QWidget *content, Clock &clock,
        SessionCapabilities session = {}, QObject *parent = nullptr);
    ~NookaryCenteredWindow() override;

    NookaryPanel *panel() const { return m_panel; }
    bool isVisible() const;

    // Unless pinned, losing focus closes the window (after the grace that follows showing).
    bool closesOnDeactivation() const { return m_closesOnDeactivation; }
    void setClosesOnDeactivation(bool closes) { m_closesOnDeactivation = closes; }
    // Ends the grace after showing, so that the next loss of focus counts.
    void endShowGrace();

    void showCenteredAndActivate();
    // Raises the shown window and asks for the keyboard, where it stands.
    void bringForward();
    // Polishes, lays out and creates the window at the frame it would open at, unshown.
    void prepareHidden();
    // Remembers the frame, hides, and reports `closed`; nothing when hidden.
    void close();
    void persistCurrentFrame(bool force);
    void handleApplicationDeactivated();
    void applySavedFrameOrCenter();
    // The timer that tells a move or resize has ended (tests fire their own).
    void setMoveResizeTimer(std::unique_ptr<QuietTimer> timer);
    // True while `closed` is reported for a close caused by losing focus (another window
    // or application took it), false for a close asked of it.
    bool isClosingOnFocusLoss() const { return m_closing == Closing::onFocusLoss; }
    // From the press on one of the panel's move or resize handles until its Move and
    // Resize events have gone quiet; a loss of focus meanwhile does not close the window.
    bool isMovingOrResizing() const { return m_movingOrResizing; }

Q_SIGNALS:
    void windowActivated();
    void closed();
    // The user has stopped moving or resizing the visible window; its frame is stored.
    void moveOrResizeEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeOnFocusLoss();
    // The one place that turns a stream of Move and Resize events into "it has ended".
    void noteMoveOrResize();
    void finishMoveOrResize();

    PreferencesStore &m_store;
    Clock &m_clock;
    const SessionCapabilities m_session;
    NookaryPanel *m_panel;
    bool m_closesOnDeactivation = true;
    std::chrono::steady_clock::time_point m_ignoreDeactivationUntil {};
    enum class Closing { no, asked, onFocusLoss };
    void closeAndNotify(Closing why);
    Closing m_closing = Closing::no;
    std::unique_ptr<QuietTimer> m_moveResizeTimer;
    bool m_movingOrResizing = false;
    // The size when the user's move or resize began; set during one.
    std::optional<QSize> m_sizeBeforeGesture;
};

} // namespace nookary
