#pragma once

#include <QObject>

#include <chrono>

namespace nookary {

class Clock;
class NookaryPanel;
class PreferencesStore;

// The centred presentation: a NookaryPanel opened on the screen under the pointer at its
// remembered place and size, closed when it loses focus (after a short grace, unless
// pinned), remembering its frame whenever it moves or resizes.
class NookaryCenteredWindow final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds showGrace{120};

    // Takes ownership of `content` (the chrome with the panel view).
    NookaryCenteredWindow(PreferencesStore &store, QWidget *content, Clock &clock, QObject *parent = nullptr);
    ~NookaryCenteredWindow() override;

    NookaryPanel *panel() const { return m_panel; }
    bool isVisible() const;

    // Unless pinned, losing focus closes the window (after the grace that follows showing).
    bool closesOnResignKey() const { return m_closesOnResignKey; }
    void setClosesOnResignKey(bool closes) { m_closesOnResignKey = closes; }
    // Ends the grace after showing, so that the next loss of focus counts.
    void endShowGrace();

    void showCenteredAndKey();
    // Remembers the frame, hides, and reports `didClose`.
    void close();
    void persistCurrentFrame(bool force);
    void handleAppDidResignActive();
    void applySavedFrameOrCenter();

Q_SIGNALS:
    void didBecomeKey();
    void didClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeOnFocusLoss();

    PreferencesStore &m_store;
    Clock &m_clock;
    NookaryPanel *m_panel;
    bool m_closesOnResignKey = true;
    std::chrono::steady_clock::time_point m_ignoreResignUntil{};
};

} // namespace nookary
