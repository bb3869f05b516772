#include "AppDelegate.h"

#include "app/AppNotifications.h"
#include "app/ApplicationEventMonitor.h"
#include "app/ClipboardWriter.h"
#include "app/HotkeyController.h"
#include "app/InstanceRequestHandler.h"
#include "app/PanelPresenter.h"
#include "app/TrayController.h"
#include "model/AppModel.h"
#include "platform/Clock.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace nookary {

namespace {

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

bool isOwnWindow(quint64 windowId)
{
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->testAttribute(Qt::WA_WState_Created) && window->internalWinId() == WId(windowId))
            return true;
    }
    return false;
}

void showRefusedShortcutAlert()
{
    QMessageBox box(QMessageBox::Warning, HotkeyController::alertTitle, HotkeyController::alertTitle,
                    QMessageBox::Ok);
    box.setInformativeText(HotkeyController::alertText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    WindowSystem::keepOutOfTaskbarWhenShown(box);
    box.exec();
}

} // namespace

AppDelegate::AppDelegate(PlatformServices services, bool launchedFromLoginItem, QObject *parent)
    : AppDelegate(std::move(services), launchedFromLoginItem, SystemClock::shared(), parent)
{
}

AppDelegate::AppDelegate(PlatformServices services, bool launchedFromLoginItem, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_clock(clock)
    , m_model(std::make_unique<AppModel>(*m_services.preferences, *m_services.pasteboard, clock))
    , m_launchedFromLoginItem(launchedFromLoginItem)
    , m_clipboardWriter(std::make_unique<ClipboardWriter>(*m_model, *m_services.pasteboard))
    , m_focus(std::make_unique<FocusHandBack>(*m_services.workspace, clock, isOwnWindow))
{
    m_presenter = std::make_unique<PanelPresenter>(
        *m_model, *m_services.preferences, m_services.statusItem.get(), *m_focus, clock,
        PanelPresenter::ViewActions{[this](const QString &text) { copyToClipboard(text); },
                                    [this] { openPreferences(); }});
    m_requests = std::make_unique<InstanceRequestHandler>(*m_model, *m_presenter,
                                                          [this] { applicationShouldHandleReopen(); });
    connect(m_model.get(), &AppModel::alertBeep, this, [this] { beep(); });
}

AppDelegate::~AppDelegate()
{
    m_monitor.reset();
}

// MARK: launch

void AppDelegate::applicationDidFinishLaunching()
{
    m_tray = std::make_unique<TrayController>(*m_model, m_services.statusItem.get());
    connect(m_tray.get(), &TrayController::clicked, this, &AppDelegate::statusItemClicked);
    connect(m_tray.get(), &TrayController::onboardingRequested, this, &AppDelegate::showOnboardingFromMenu);
    connect(m_tray.get(), &TrayController::preferencesRequested, this, &AppDelegate::openPreferences);
    connect(m_tray.get(), &TrayController::quitRequested, this, &AppDelegate::quitApp);

    m_keyMap = std::make_unique<PanelKeyMap>(*m_model, *this);
    m_monitor = std::make_unique<ApplicationEventMonitor>(
        [this](QWindow *window, QKeyEvent &event) { return handleKey(window, event); },
        [this](QWidget *target, QMouseEvent &) { handleMousePress(target); });

    // The stored shortcut is registered quietly at launch; later changes say so when refused.
    m_hotkeys = std::make_unique<HotkeyController>(*m_model, *m_services.hotkeys, showRefusedShortcutAlert);
    connect(m_services.hotkeys.get(), &GlobalHotkeyService::pressed, this, [this] {
        QPointer<AppDelegate> self(this);
        postToNextTurn(this, [self] {
            if (self)
                self->hotkeyPressed();
        });
    });
    m_hotkeys->applyHotkeyShortcut(m_model->hotkeyShortcut(), false);
    m_hotkeys->followModel();

    syncPinnedUIBehavior();

    // A start at login shows nothing.
    if (!m_launchedFromLoginItem)
        postToNextTurn(this, [this] { showUI(); });
}

void AppDelegate::applicationShouldHandleReopen()
{
    if (!isAuxWindowVisible())
        showUI();
}

bool AppDelegate::isAuxWindowVisible() const
{
    return false; // the settings and walkthrough windows will count here
}

bool AppDelegate::isOnboardingVisible() const
{
    return false; // the walkthrough window will count here
}

void AppDelegate::hotkeyPressed()
{
    if (isOnboardingVisible()) {
        Q_EMIT AppNotifications::instance().hotkeyPressed();
        return;
    }
    m_presenter->toggle();
}

QByteArray AppDelegate::handleInstanceRequest(InstanceChannel::Request request)
{
    return m_requests->handle(request);
}

// MARK: presentation, focus and copy-back

void AppDelegate::showUI()
{
    m_presenter->showUI();
}

void AppDelegate::closeUI()
{
    m_presenter->closeUI();
}

bool AppDelegate::isPanelOpen() const
{
    return m_presenter->isPanelOpen();
}

void AppDelegate::syncPinnedUIBehavior()
{
    m_presenter->syncPinnedUIBehavior();
}

void AppDelegate::suppressFinalizeAfterUICloseOnce()
{
    m_presenter->suppressFinalizeAfterUICloseOnce();
}

bool AppDelegate::isFinalizeAfterUICloseSuppressed() const
{
    return m_presenter->isFinalizeAfterUICloseSuppressed();
}

PopoverWindow *AppDelegate::popover() const
{
    return m_presenter->popover();
}

NookaryCenteredWindow *AppDelegate::centeredWindow() const
{
    return m_presenter->centeredWindow();
}

void AppDelegate::copyToClipboard(const QString &text)
{
    m_clipboardWriter->write(text);
}

// MARK: monitors

bool AppDelegate::handleKey(QWindow *window, QKeyEvent &event)
{
    PanelKey key = PanelKey::fromEvent(event, *m_services.keys);
    // Keys meant for our menus and dialogs are theirs: Escape closes the menu, not the panel.
    const QWidget *target = nullptr;
    for (const QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window)
            target = top;
    }
    key.towardsPanel = m_presenter->isPanelWindow(target);
    return m_keyMap->handle(key) == PanelKeyMap::Decision::consume;
}

void AppDelegate::handleMousePress(QWidget *target)
{
    if (!isPanelOpen() || m_model->editingID().isNull() || !target)
        return;
    // Presses in other windows (the editor's context menu, the tray menu) are not the panel's.
    // Within the panel, a press in the editor or the search field keeps the edit going. The
    // panel's window is compared, not the active window, which is null while a popup shows.
    if (!m_presenter->isPanelWindow(target->window()) || isTextControl(target))
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
    m_presenter->statusItemClicked();
}

void AppDelegate::buildStatusMenu(QMenu &menu)
{
    m_tray->buildStatusMenu(menu);
}

void AppDelegate::togglePauseNookary()
{
    m_tray->togglePauseNookary();
}

void AppDelegate::showOnboardingFromMenu()
{
    // The walkthrough window opens from here once it exists.
}

void AppDelegate::openPreferences()
{
    // The settings window opens from here once it exists.
}

void AppDelegate::openAbout()
{
    m_tray->openAbout();
}

void AppDelegate::quitApp()
{
    QCoreApplication::quit();
}

} // namespace nookary
