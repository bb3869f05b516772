#pragma once

#include <QObject>

#include <chrono>
#include <functional>

namespace nookary {

class NookaryPanel;
class PreferencesStore;

// The centred presentation: a NookaryPanel opened on the screen under the pointer at its
// remembered place and size, closed when it loses focus (after a short grace, unless
// pinned), remembering its frame whenever it moves or resizes.
class NookaryCenteredWindow final : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds showGrace{120};

    // Takes ownership of `content` (the chrome with the panel view).
    NookaryCenteredWindow(PreferencesStore &store, QWidget *content, std::function<void()> onDidBecomeKey,
                          std::function<void()> onDidClose, QObject *parent = nullptr);
    ~NookaryCenteredWindow() override;

    NookaryPanel *panel() const { return m_panel; }
    bool isVisible() const;

    std::function<void()> onDidBecomeKey;
    std::function<void()> onDidClose;
    bool closesOnResignKey = true;
    Clock::time_point ignoreResignUntil{};

    void showCenteredAndKey();
    void persistCurrentFrame(bool force);
    void handleAppDidResignActive();
    void applySavedFrameOrCenter();
    void setClock(std::function<Clock::time_point()> clock) { m_clock = std::move(clock); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeOnFocusLoss();

    PreferencesStore &m_store;
    NookaryPanel *m_panel;
    std::function<Clock::time_point()> m_clock = [] { return Clock::now(); };
};

} // namespace nookary
