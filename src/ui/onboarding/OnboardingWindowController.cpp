// SPDX-License-Identifier: GPL-3.0-or-later
#include "OnboardingWindowController.h"

#include "ui/Accessibility.h"
#include "ui/onboarding/OnboardingFlowView.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace nookary {

OnboardingWindowController::OnboardingWindowController(AppModel &model, const KeyTranslator &keys,
    int startStep, std::function<void(Result)> onResult, bool canRegisterShortcut, QObject *parent)
    : QObject(parent)
    , m_onResult(std::move(onResult))
    , m_window(std::make_unique<QWidget>(nullptr,
          Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
              | Qt::WindowMinimizeButtonHint))
{
    // The view's dismissal reaches the controller only while it exists; it reports first
    // and closes after, so the close that follows reports nothing more.
    QPointer<OnboardingWindowController> self(this);
    m_flowView = new OnboardingFlowView(
        model, keys, startStep,
        [self](OnboardingDismissReason reason) {
            if (!self)
                return;
            self->emitResult(
                reason == OnboardingDismissReason::skipped ? Result::skipped : Result::completed);
            if (self)
                self->close();
        },
        canRegisterShortcut);
    m_window->setWindowTitle(windowTitle);
    Accessibility::setRole(m_window.get(), QAccessible::Dialog);
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_flowView);
    applyAdaptiveSizing(m_window.get());
    m_window->installEventFilter(this);
}

OnboardingWindowController::~OnboardingWindowController()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

void OnboardingWindowController::emitResult(Result result)
{
    if (m_didEmitResult)
        return;
    m_didEmitResult = true;
    auto onResult = std::exchange(m_onResult, nullptr);
    if (onResult)
        onResult(result);
}

bool OnboardingWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window.get())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Close)
        emitResult(Result::closed);
    // The window manager's decoration is known only once the window is mapped: centre
    // the whole frame, once, when it is.
    if (event->type() == QEvent::Move && !m_centredWithFrame && m_window->isVisible()
        && m_window->frameGeometry() != m_window->geometry()) {
        m_centredWithFrame = true;
        applyAdaptiveSizing(m_window.get());
    }
    return QObject::eventFilter(watched, event);
}

void OnboardingWindowController::showWindow()
{
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void OnboardingWindowController::close()
{
    m_window->close();
}

bool OnboardingWindowController::isWindowVisible() const
{
    return m_window->isVisible() && !m_window->isMinimized();
}

OnboardingWindowController::Sizing OnboardingWindowController::adaptiveSizing(
    std::optional<QRect> availableGeometry)
{
    if (!availableGeometry)
        return { QSize(980, 840), QSize(760, 620), QSize(1180, 900), std::nullopt };
    const QRect area
        = availableGeometry->adjusted(screenInset, screenInset, -screenInset, -screenInset);
    const QSize content(std::min(area.width(), 980), std::min(area.height(), 840));
    const QSize minimum(std::min(content.width(), 760), std::min(content.height(), 620));
    const QSize maximum(std::min(area.width(), 1180), std::min(area.height(), 900));
    QRect frame(QPoint(0, 0), content);
    frame.moveCenter(area.center());
    return { content, minimum, maximum, frame };
}

QScreen *OnboardingWindowController::targetScreen(const QWidget *window)
{
    if (window && window->isVisible() && window->screen())
        return window->screen();
    if (QScreen *screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        return screen;
    const QList<QScreen *> screens = QGuiApplication::screens();
    return screens.isEmpty() ? nullptr : screens.first();
}

void OnboardingWindowController::applyAdaptiveSizing(QWidget *window)
{
    QScreen *screen = targetScreen(window);
    const Sizing sizing
        = adaptiveSizing(screen ? std::optional<QRect>(screen->availableGeometry()) : std::nullopt);
    // The window is not resizable: a window manager honours that only when the smallest
    // and largest sizes are equal, so it is held at its content size, which already lies
    // within the limits computed above.
    window->setMinimumSize(sizing.content);
    window->setMaximumSize(sizing.content);
    window->resize(sizing.content);
    if (sizing.frame) {
        // Qt places a window by its frame, whose decoration is known only once it is
        // mapped: until then the frame is taken to be the content, and corrected after.
        const QMargins decoration = window->isVisible()
            ? QMargins(window->geometry().left() - window->frameGeometry().left(),
                window->geometry().top() - window->frameGeometry().top(),
                window->frameGeometry().right() - window->geometry().right(),
                window->frameGeometry().bottom() - window->geometry().bottom())
            : QMargins();
        QRect outer = sizing.frame->marginsAdded(decoration);
        outer.moveCenter(sizing.frame->center());
        window->move(outer.topLeft());
    }
}

} // namespace nookary
