// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class QScreen;
class QWidget;

namespace nookary {

class AppModel;
class KeyTranslator;
class OnboardingFlowView;

// Owns the walkthrough's window: an ordinary window that the task bar shows, sized to the
// screen it appears on. However the walkthrough ends (finished, skipped, or its window
// closed), `onResult` is called exactly once.
class OnboardingWindowController final : public QObject {
    Q_OBJECT

public:
    // In this order.
    enum class Result { completed, skipped, closed };
    Q_ENUM(Result)

    static QString windowTitle() { return tr("Nookary Onboarding"); }

    // `startStep` is the page to open on (clamped to the pages there are);
    // `canRegisterShortcut` as for OnboardingFlowView.
    OnboardingWindowController(AppModel &model, const KeyTranslator &keys, int startStep,
        std::function<void(Result)> onResult, bool canRegisterShortcut = true,
        QObject *parent = nullptr);
    ~OnboardingWindowController() override;

    QWidget *window() const { return m_window.get(); }
    OnboardingFlowView *flowView() const { return m_flowView; }

    // Reports an outcome, once; later calls do nothing.
    void emitResult(Result result);
    bool didEmitResult() const { return m_didEmitResult; }
    // Set before closing a window whose end should not be reported.
    void setDidEmitResult(bool emitted) { m_didEmitResult = emitted; }

    // Shows the window (restored if minimised), raises and activates it.
    void showWindow();
    void close();
    // Shown and not minimised.
    bool isWindowVisible() const;

    struct Sizing {
        QSize content;
        QSize minimum;
        QSize maximum;
        // Where the window's content goes; nothing when there is no screen, and the
        // window is then centred by the window system.
        std::optional<QRect> frame;
    };
    // The sizes for a screen whose available area (without panels) is `availableGeometry`,
    // or for no screen at all.
    static Sizing adaptiveSizing(std::optional<QRect> availableGeometry);
    // The window's own screen once it is shown; before that the screen under the pointer,
    // else the primary screen, else the first; null when there is none.
    static QScreen *targetScreen(const QWidget *window);
    static void applyAdaptiveSizing(QWidget *window);

    static constexpr int screenInset = 28;

private:
    bool eventFilter(QObject *watched, QEvent *event) override;

    std::function<void(Result)> m_onResult;
    bool m_didEmitResult = false;
    bool m_centredWithFrame = false;
    std::unique_ptr<QWidget> m_window;
    OnboardingFlowView *m_flowView = nullptr;
};

} // namespace nookary
