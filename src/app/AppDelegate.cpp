#include "AppDelegate.h"

#include "app/AppNotifications.h"
#include "app/ApplicationEventMonitor.h"
#include "app/HotkeyController.h"
#include "app/NookaryCenteredWindow.h"
#include "app/NookaryChromeHostingController.h"
#include "app/NookaryPanel.h"
#include "app/PopoverWindow.h"
#include "model/AppModel.h"
#include "model/ClipboardKeeper.h"
#include "platform/WindowSystem.h"
#include "ui/onboarding/OnboardingFlowView.h"
#include "ui/onboarding/OnboardingWindowController.h"
#include "ui/panel/PopoverView.h"
#include "ui/preferences/PreferencesWindowController.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

Q_LOGGING_CATEGORY(lcShell, "nookary.shell")

namespace nookary {

namespace {

// One compact JSON object per line, in list order.
template <typename Item>
QByteArray jsonLines(const QList<Item> &items)
{
    QByteArray out;
    for (const Item &item : items) {
        const QJsonObject object{
            {QLatin1String("id"), item.id.toString(QUuid::WithoutBraces).toUpper()},
            {QLatin1String("text"), item.text},
        };
        out += QJsonDocument(object).toJson(QJsonDocument::Compact);
        out += '\n';
    }
    return out;
}

bool isTextControl(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)
            || qobject_cast<const QTextEdit *>(w))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

// Runs once when `window` next becomes active, then removes itself.
class BecomeKeyObserver final : public QObject
{
public:
    BecomeKeyObserver(QWidget *window, std::function<void()> onActive)
        : QObject(window)
        , m_onActive(std::move(onActive))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            auto onActive = std::move(m_onActive);
            deleteLater();
            parent()->removeEventFilter(this);
            if (onActive)
                onActive();
        }
        return false;
    }

private:
    std::function<void()> m_onActive;
};

} // namespace

AppDelegate::AppDelegate(PlatformServices services, bool launchedFromLoginItem, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_model(std::make_unique<AppModel>(*m_services.preferences, *m_services.pasteboard,
                                       m_services.loginItems.get()))
    , m_launchedFromLoginItem(launchedFromLoginItem)
{
    if (!m_services.workspace)
        m_services.workspace = std::make_unique<NullWorkspace>();
    if (!m_services.hotkeys)
        m_services.hotkeys = std::make_unique<NullGlobalHotkeyService>();
    connect(m_model.get(), &AppModel::alertBeep, this, [this] { beep(); });
}

AppDelegate::~AppDelegate()
{
    if (m_services.clipboardManager)
        m_services.clipboardManager->stop();
    m_monitor.reset();
    delete m_focusDidBecomeKeyObserver.data();
}

// MARK: launch

void AppDelegate::applicationDidFinishLaunching()
{
    if (StatusItem *item = m_services.statusItem.get()) {
        connect(item, &StatusItem::clicked, this, &AppDelegate::statusItemClicked);
        item->setMenuBuilder([this](QMenu &menu) { buildStatusMenu(menu); });
        item->setDimmed(m_model->isTrackingPaused());
    }
    m_popover = std::make_unique<PopoverWindow>();
    connect(m_popover.get(), &PopoverWindow::didClose, this, &AppDelegate::popoverDidClose);

    m_keyMap = std::make_unique<PanelKeyMap>(*m_model, *this);
    m_monitor = std::make_unique<ApplicationEventMonitor>(
        [this](QWidget *window, QKeyEvent &event) { return handleKey(window, event); },
        [this](QWidget *target, QMouseEvent &) { handleMousePress(target); });

    // The stored shortcut is registered quietly at launch; later changes say so when refused.
    m_hotkeys = std::make_unique<HotkeyController>(*m_model, *m_services.hotkeys, [this] {
        ownWindowTakesFocus();
        QMessageBox box(QMessageBox::Warning, HotkeyController::alertTitle, HotkeyController::alertTitle,
                        QMessageBox::Ok);
        box.setInformativeText(HotkeyController::alertText);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        WindowSystem::keepOutOfTaskbarWhenShown(box);
        box.exec();
    });
    connect(m_services.hotkeys.get(), &GlobalHotkeyService::pressed, this, [this] {
        QPointer<AppDelegate> self(this);
        postToNextTurn(this, [self] {
            if (self)
                self->hotkeyPressed();
        });
    });
    m_hotkeys->applyHotkeyShortcut(m_model->hotkeyShortcut(), false);
    m_hotkeys->followModel();

    if (m_services.clipboardManager) {
        m_clipboardKeeper = std::make_unique<ClipboardKeeper>(*m_model, *m_services.pasteboard);
        m_services.clipboardManager->start(*m_clipboardKeeper);
    }

    connect(m_model.get(), &AppModel::keepWindowPinnedChanged, this, &AppDelegate::syncPinnedUIBehavior);
    syncPinnedUIBehavior();

    // A start at login shows nothing.
    if (!m_launchedFromLoginItem)
        presentInitialExperience();
}

void AppDelegate::presentInitialExperience()
{
    postToNextTurn(this, [this] {
        if (m_model->onboardingCompletedVersion() < 1)
            presentOnboarding(OnboardingFlowView::clampStep(m_model->onboardingLastStep()), true, false);
        else
            showUI();
    });
}

void AppDelegate::applicationShouldHandleReopen()
{
    if (!isAuxWindowVisible())
        showUI();
}

bool AppDelegate::isAuxWindowVisible() const
{
    return isOnboardingVisible() || (m_preferencesWC && m_preferencesWC->isVisible());
}

bool AppDelegate::isOwnWindow(quint64 windowId) const
{
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->testAttribute(Qt::WA_WState_Created) && window->internalWinId() == WId(windowId))
            return true;
    }
    return false;
}

bool AppDelegate::isOnboardingVisible() const
{
    return m_onboardingWC && m_onboardingWC->isWindowVisible();
}

void AppDelegate::hotkeyPressed()
{
    if (isOnboardingVisible()) {
        Q_EMIT AppNotifications::instance().hotkeyPressed();
        return;
    }
    isPanelOpen() ? closeUI() : showUI();
}

QByteArray AppDelegate::handleInstanceRequest(InstanceChannel::Request request)
{
    using Request = InstanceChannel::Request;
    switch (request) {
    case Request::history:
        return jsonLines(m_model->history());
    case Request::saved:
        return jsonLines(m_model->shelf());
    case Request::reopen:
        applicationShouldHandleReopen();
        break;
    case Request::toggle:
        isPanelOpen() ? closeUI() : showUI();
        break;
    case Request::show:
        if (!isPanelOpen())
            showUI();
        break;
    case Request::hide:
        if (isPanelOpen())
            closeUI();
        break;
    case Request::ping:
        break;
    }
    return "ok\n";
}

// MARK: presentation

bool AppDelegate::isPanelOpen() const
{
    return (m_popover && m_popover->isShown()) || (m_centeredWindow && m_centeredWindow->isVisible());
}

QWidget *AppDelegate::makeRootView()
{
    QPointer<AppDelegate> self(this);
    auto *view = new PopoverView(*m_model, PopoverView::Callbacks{
        [self](const QString &text) {
            if (!self || text.isEmpty())
                return;
            self->copyToClipboard(text);
            if (self->m_model->openPresentation() == AppModel::OpenPresentation::centeredWindow
                && self->m_model->keepWindowPinned())
                self->m_model->setFocusSearchTick(self->m_model->focusSearchTick() + 1);
            else
                self->closeUI();
        },
        [self] {
            if (self)
                self->openPreferences();
        },
        [self] {
            if (self)
                self->syncPinnedUIBehavior();
        },
    });
    return new NookaryChromeHostingController(view);
}

void AppDelegate::showUI()
{
    // A hand-back still pending from a quick close is cancelled, and its target kept.
    std::optional<RunningApplication> cancelledTarget;
    if (m_pendingFocusRestoreWorkItem.isPending())
        cancelledTarget = m_pendingFocusRestoreTarget;
    m_pendingFocusRestoreWorkItem.cancel();
    m_pendingFocusRestoreTarget.reset();
    // Opening again while our own window is in front (or still reported so, just after a
    // close) keeps the application to go back to: handing focus back to ourselves would
    // leave the user nowhere.
    const auto frontmost = m_services.workspace->frontmostApplication();
    if (!frontmost || !isOwnWindow(frontmost->windowId))
        m_previousApp = frontmost;
    else if (!m_previousApp)
        m_previousApp = cancelledTarget;
    m_model->applyDefaultOpenTarget();
    QPointer<AppDelegate> self(this);
    postToNextTurn(this, [self] {
        if (!self)
            return;
        if (self->m_model->openPresentation() == AppModel::OpenPresentation::centeredWindow)
            self->showCenteredWindowAndArmFocus();
        else
            self->showPopoverAndArmFocus();
    });
}

void AppDelegate::showPopoverAndArmFocus()
{
    syncPinnedUIBehavior();
    if (m_popover->isShown())
        return;
    m_popover->setContent(makeRootView());
    const QRect anchor = m_services.statusItem ? m_services.statusItem->geometry() : QRect();
    m_popover->showAt(anchor);
    armFocusOnDidBecomeKey(m_popover.get());
    if (m_popover->isActiveWindow())
        requestSearchFocusRobust();
}

void AppDelegate::showCenteredWindowAndArmFocus()
{
    QPointer<AppDelegate> self(this);
    auto becomeKey = [self] {
        // Coming back to an open snippet editor (a pinned window, after fetching text from
        // another application) keeps typing there: Qt gives the editor its focus back.
        if (self && self->m_model->editingID().isNull())
            self->requestSearchFocusRobust();
    };
    auto didClose = [self] {
        if (!self)
            return;
        self->m_model->setQuery(QString());
        self->finishClose(self->m_centeredWindow && self->m_centeredWindow->isClosingOnFocusLoss()
                ? CloseCause::focusLost
                : CloseCause::requested);
    };
    if (m_centeredWindow) {
        m_centeredWindow->onDidBecomeKey = becomeKey;
        m_centeredWindow->onDidClose = didClose;
    } else {
        m_centeredWindow = std::make_unique<NookaryCenteredWindow>(*m_services.preferences, makeRootView(),
                                                                   becomeKey, didClose);
    }
    syncPinnedUIBehavior();
    m_centeredWindow->showCenteredAndKey();
}

void AppDelegate::requestSearchFocusRobust()
{
    m_model->setFocusSearchTick(m_model->focusSearchTick() + 1);
    QPointer<AppDelegate> self(this);
    postToNextTurn(this, [self] {
        if (self)
            self->m_model->setFocusSearchTick(self->m_model->focusSearchTick() + 1);
    });
}

void AppDelegate::armFocusOnDidBecomeKey(QWidget *window)
{
    delete m_focusDidBecomeKeyObserver.data();
    QPointer<AppDelegate> self(this);
    m_focusDidBecomeKeyObserver = new BecomeKeyObserver(window, [self] {
        if (self)
            self->requestSearchFocusRobust();
    });
}

void AppDelegate::closeUI()
{
    m_model->setQuery(QString());
    const bool popoverShown = m_popover && m_popover->isShown();
    const bool centredShown = m_centeredWindow && m_centeredWindow->isVisible();
    if (popoverShown) {
        // Its hide reports popoverDidClose, which finishes the close.
        m_closingPopover = true;
        m_popover->hide();
        m_closingPopover = false;
    }
    if (centredShown) {
        m_centeredWindow->close(); // its close handler finishes the close
        return;
    }
    if (popoverShown)
        return;
    finishClose();
}

void AppDelegate::popoverDidClose()
{
    const bool byClickOutside = !m_closingPopover;
    m_popoverClosingClick.reset();
    m_closingClickPosition.reset();
    if (byClickOutside && m_popover->closingPress()) {
        m_popoverClosingClick
            = ClosingClick { std::chrono::steady_clock::now(), *m_popover->closingPress() };
        m_closingClickPosition = *m_popover->closingPress();
    }
    m_model->setQuery(QString());
    finishClose(byClickOutside ? CloseCause::focusLost : CloseCause::requested);
}

void AppDelegate::finishClose(CloseCause cause)
{
    if (suppressFinalizeAfterUICloseOnce) {
        suppressFinalizeAfterUICloseOnce = false;
        return;
    }
    restorePreviousAppFocus(cause);
}

void AppDelegate::restorePreviousAppFocus(CloseCause cause)
{
    if (!m_previousApp)
        return;
    const RunningApplication application = *std::exchange(m_previousApp, std::nullopt);
    const std::optional<QPoint> closingClick = std::exchange(m_closingClickPosition, std::nullopt);
    m_pendingFocusRestoreWorkItem.cancel();
    m_pendingFocusRestoreTarget = application;
    QPointer<AppDelegate> self(this);
    m_pendingFocusRestoreWorkItem
        = postDelayed(this, focusRestoreDelay, [self, application, cause, closingClick] {
              if (!self)
                  return;
              self->m_pendingFocusRestoreTarget.reset();
              // The user closed the panel by going to another window: taking focus from it
              // would steal the click that chose it.
              if (cause == CloseCause::focusLost && self->anotherWindowTookFocus(application))
                  return;
              // Qt eats the click that closes a popup, so the window it was aimed at never
              // hears of it: that window is the one the user chose, not the earlier one.
              if (closingClick) {
                  const auto clicked = self->m_services.workspace->applicationAt(*closingClick);
                  if (clicked && !self->isOwnWindow(clicked->windowId)) {
                      self->m_services.workspace->activate(*clicked);
                      return;
                  }
              }
              self->m_services.workspace->activate(application);
          });
}

void AppDelegate::ownWindowTakesFocus()
{
    // The window manager may not report the new window active before the hand-back looks,
    // so it is told here: a panel that closes for it hands nothing back over it.
    m_pendingFocusRestoreWorkItem.cancel();
    m_pendingFocusRestoreTarget.reset();
    const bool panelClosesForIt = (m_popover && m_popover->isShown())
        || (m_centeredWindow && m_centeredWindow->isVisible() && m_centeredWindow->closesOnResignKey);
    if (panelClosesForIt)
        m_previousApp.reset();
}

bool AppDelegate::anotherWindowTookFocus(const RunningApplication &handBackTarget) const
{
    // Our own About box or alert taking focus counts as another window; only the panel,
    // still reported active just after it hid, does not.
    const auto frontmost = m_services.workspace->frontmostApplication();
    return frontmost && frontmost->windowId != handBackTarget.windowId
        && !isPanelWindowId(frontmost->windowId);
}

bool AppDelegate::isPanelWindowId(quint64 windowId) const
{
    const QWidget *panels[] = { m_popover.get(), m_centeredWindow ? m_centeredWindow->panel() : nullptr };
    for (const QWidget *panel : panels) {
        if (panel && panel->testAttribute(Qt::WA_WState_Created) && panel->internalWinId() == WId(windowId))
            return true;
    }
    return false;
}

void AppDelegate::syncPinnedUIBehavior()
{
    const bool pinned = m_model->openPresentation() == AppModel::OpenPresentation::centeredWindow
        && m_model->keepWindowPinned();
    if (m_centeredWindow) {
        m_centeredWindow->closesOnResignKey = !pinned;
        if (!pinned)
            m_centeredWindow->ignoreResignUntil = {};
    }
}

// MARK: copy-back

void AppDelegate::copyToClipboard(const QString &text)
{
    m_model->markProgrammaticWrite(text);
    Pasteboard &pasteboard = *m_services.pasteboard;
    pasteboard.clear();
    if (text.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile()) {
            pasteboard.writeFileURL(url);
            return;
        }
    }
    pasteboard.writeString(text);
}

// MARK: monitors

bool AppDelegate::isPanelWindow(const QWidget *window) const
{
    return window
        && (window == m_popover.get() || (m_centeredWindow && window == m_centeredWindow->panel()));
}

bool AppDelegate::handleKey(QWidget *window, QKeyEvent &event)
{
    // Inside a menu (the tray menu, a pull-down, a pop-up list) every key is the menu's,
    // Ctrl+, included.
    if (QWidget *popup = QApplication::activePopupWidget(); popup && popup != m_popover.get())
        return false;
    PanelKey key = PanelKey::fromEvent(event);
    // Keys meant for our menus and dialogs are theirs: Escape closes the menu, not the panel.
    key.towardsPanel = isPanelWindow(window);
    return m_keyMap->handle(key) == PanelKeyMap::Decision::consume;
}

void AppDelegate::handleMousePress(QWidget *target)
{
    if (!isPanelOpen() || m_model->editingID().isNull() || !target)
        return;
    // Presses in other windows (the editor's context menu, the tray menu) are not the panel's.
    // Within the panel, a press in the editor or the search field keeps the edit going. The
    // panel's window is compared, not the active window, which is null while a popup shows.
    if (!isPanelWindow(target->window()) || isTextControl(target))
        return;
    endEditingOnNextTurn();
}

void AppDelegate::endEditingOnNextTurn()
{
    postToNextTurn(this, [] {
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();
    });
}

void AppDelegate::beep()
{
    QApplication::beep();
}

// MARK: tray icon and menu

void AppDelegate::statusItemClicked()
{
    if (!isPanelOpen() && isClickThatClosedPopover())
        return;
    isPanelOpen() ? closeUI() : showUI();
}

bool AppDelegate::isClickThatClosedPopover()
{
    // Qt hands the press that closed a popup on to our own window under it, here the tray
    // icon, which would open the popover again at once. Only that press is ignored: a later
    // click, or one after a press elsewhere closed it, toggles as usual.
    const auto click = std::exchange(m_popoverClosingClick, std::nullopt);
    if (!click)
        return false;
    constexpr auto sameClick = std::chrono::milliseconds(300);
    if (std::chrono::steady_clock::now() - click->when >= sameClick)
        return false;
    const QRect icon = m_services.statusItem ? m_services.statusItem->geometry() : QRect();
    return !icon.isValid() || icon.isEmpty() || icon.contains(click->where);
}

void AppDelegate::buildStatusMenu(QMenu &menu)
{
    menu.addAction(m_model->isTrackingPaused() ? QStringLiteral("Resume Nookary") : QStringLiteral("Pause Nookary"),
                   this, &AppDelegate::togglePauseNookary);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Show Onboarding"), this, &AppDelegate::showOnboardingFromMenu);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Preferences\u2026"), QKeySequence(QStringLiteral("Ctrl+,")), this,
                   &AppDelegate::openPreferences);
    menu.addAction(QStringLiteral("About"), this, &AppDelegate::openAbout);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Quit"), QKeySequence(QStringLiteral("Ctrl+Q")), this, &AppDelegate::quitApp);
}

void AppDelegate::togglePauseNookary()
{
    m_model->setIsTrackingPaused(!m_model->isTrackingPaused());
    if (m_services.statusItem)
        m_services.statusItem->setDimmed(m_model->isTrackingPaused());
}

void AppDelegate::showOnboardingFromMenu()
{
    presentOnboarding(m_model->onboardingStartStepForManualShow(), true, false);
}

void AppDelegate::presentOnboarding(int startStep, bool showMainUIAfterDismiss, bool forceNewInstance)
{
    if (forceNewInstance && m_onboardingWC) {
        OnboardingWindowController *old = m_onboardingWC;
        m_onboardingWC.clear();
        old->setDidEmitResult(true);
        old->close();
        old->deleteLater();
    }
    // One walkthrough at a time: a minimised one is brought back rather than left behind
    // a second.
    if (!m_onboardingWC || !m_onboardingWC->isWindowVisible()) {
        if (isPanelOpen())
            closeUI();
    }
    if (!m_onboardingWC) {
        QPointer<AppDelegate> self(this);
        auto *controller = new OnboardingWindowController(
            *m_model, startStep,
            [self, showMainUIAfterDismiss](OnboardingWindowController::Result result) {
                if (!self)
                    return;
                if (result != OnboardingWindowController::Result::closed)
                    self->m_model->completeOnboarding();
                if (OnboardingWindowController *done = self->m_onboardingWC) {
                    self->m_onboardingWC.clear();
                    done->deleteLater();
                }
                if (showMainUIAfterDismiss) {
                    postToNextTurn(self, [self] {
                        if (self)
                            self->showUI();
                    });
                }
            },
            this);
        connect(&AppNotifications::instance(), &AppNotifications::hotkeyPressed, controller->flowView(),
                &OnboardingFlowView::noteHotkeyPressed);
        m_onboardingWC = controller;
    }
    OnboardingWindowController::applyAdaptiveSizing(m_onboardingWC->window());
    m_onboardingWC->showWindow();
}

void AppDelegate::openPreferences()
{
    // Focus stays with Nookary while its settings are open.
    m_pendingFocusRestoreWorkItem.cancel();
    m_previousApp.reset();
    if (isPanelOpen()) {
        suppressFinalizeAfterUICloseOnce = true;
        closeUI();
    }
    if (m_preferencesWC) {
        m_preferencesWC->prepareForDisplay();
    } else {
        m_preferencesWC = std::make_unique<PreferencesWindowController>(*m_model);
        m_preferencesWC->prepareForDisplay();
    }
    QPointer<AppDelegate> self(this);
    postToNextTurn(this, [self] {
        if (self && self->m_preferencesWC)
            self->m_preferencesWC->showWindow();
    });
}

void AppDelegate::openAbout()
{
    ownWindowTakesFocus();
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("About Nookary"),
                                QStringLiteral("<b>Nookary</b> %1").arg(QCoreApplication::applicationVersion()),
                                QMessageBox::Ok);
    box->setInformativeText(QStringLiteral("Your clipboard history and saved snippets, at hand."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    WindowSystem::keepOutOfTaskbarWhenShown(*box);
    box->show();
    box->raise();
    box->activateWindow();
}

void AppDelegate::quitApp()
{
    QCoreApplication::quit();
}

} // namespace nookary
