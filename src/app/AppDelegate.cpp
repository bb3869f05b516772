// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDelegate.h"

#include "app/AuxiliaryWindows.h"
#include "app/ClipboardWriter.h"
#include "app/HotkeyController.h"
#include "app/InstanceRequestHandler.h"
#include "app/PanelInputRouter.h"
#include "app/PanelPresenter.h"
#include "app/PasteAfterChoosing.h"
#include "app/TrayController.h"
#include "model/AppModel.h"
#include "model/ClipboardKeeper.h"
#include "platform/Clock.h"
#include "ui/onboarding/OnboardingFlowView.h"

#include <QApplication>
#include <QPointer>

#include <utility>

namespace nookary {

namespace {

bool isOwnWindow(quint64 windowId)
{
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->testAttribute(Qt::WA_WState_Created)
            && window->internalWinId() == WId(windowId))
            return true;
    }
    return false;
}

} // namespace

AppDelegate::AppDelegate(PlatformServices services, bool launchedFromLoginItem, QObject *parent)
    : AppDelegate(std::move(services), launchedFromLoginItem, SystemClock::shared(), parent)
{
}

AppDelegate::AppDelegate(
    PlatformServices services, bool launchedFromLoginItem, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_clock(clock)
    , m_model(std::make_unique<AppModel>(
          *m_services.preferences, *m_services.pasteboard, clock, m_services.loginItems.get()))
    , m_launchedFromLoginItem(launchedFromLoginItem)
    , m_clipboardWriter(std::make_unique<ClipboardWriter>(*m_model, *m_services.pasteboard))
    , m_clipboardKeeper(
          std::make_unique<ClipboardKeeper>(m_model->clipboardHistory(), *m_services.pasteboard))
    , m_focus(std::make_unique<FocusHandBack>(*m_services.workspace, clock, isOwnWindow,
          [this](quint64 id) { return m_presenter && m_presenter->isPanelWindowId(id); }))
{
    m_presenter = std::make_unique<PanelPresenter>(*m_model, *m_services.preferences,
        m_services.statusItem.get(), *m_focus, clock, m_services.session);
    connect(m_presenter.get(), &PanelPresenter::entryChosen, this, &AppDelegate::copyToClipboard);
    connect(m_presenter.get(), &PanelPresenter::preferencesRequested, this,
        &AppDelegate::openPreferences);
    m_requests
        = std::make_unique<InstanceRequestHandler>(*m_model, *m_presenter, [this] { reopen(); });
    m_auxWindows = std::make_unique<AuxiliaryWindows>(
        *m_model, *m_services.keys, *m_presenter, *m_focus, [this] { showUI(); },
        // The commands a window shows, as the program's own write: not recorded, and no
        // paste follows.
        [this](const QString &text) { m_clipboardWriter->write(text); },
        m_services.hotkeys->canRegister());
    m_paste = std::make_unique<PasteAfterChoosing>(*m_model, *m_services.pasteboard,
        *m_services.paste, *m_focus, [] { return QGuiApplication::focusWindow() != nullptr; });
    connect(m_model.get(), &AppModel::alertBeep, this, [] { QApplication::beep(); });
}

AppDelegate::~AppDelegate()
{
    m_services.clipboardManager->stop();
}

// Launch

void AppDelegate::start()
{
    m_tray = std::make_unique<TrayController>(
        m_model->clipboardHistory(), m_services.statusItem.get());
    connect(m_tray.get(), &TrayController::clicked, m_presenter.get(),
        &PanelPresenter::statusItemClicked);
    connect(m_tray.get(), &TrayController::openRequested, this, [this] {
        if (!isPanelOpen())
            showUI();
    });
    connect(m_tray.get(), &TrayController::onboardingRequested, this,
        &AppDelegate::showOnboardingFromMenu);
    connect(
        m_tray.get(), &TrayController::preferencesRequested, this, &AppDelegate::openPreferences);
    connect(m_tray.get(), &TrayController::aboutRequested, this, &AppDelegate::openAbout);
    connect(m_tray.get(), &TrayController::quitRequested, qApp, &QCoreApplication::quit);
    m_services.preferences->setWriteProblemHandler(
        [this](PreferencesStore::WriteProblem problem) { tellSettingsNotSaved(problem); });

    m_input = std::make_unique<PanelInputRouter>(*m_model, *m_presenter, *m_services.keys);

    // The stored shortcut is registered quietly at launch (a refusal is told once, by the
    // tray); later changes say so with an alert when refused.
    m_hotkeys = std::make_unique<HotkeyController>(
        *m_model, *m_services.hotkeys, *m_services.keys, [this] {
            ownWindowTakesFocus();
            HotkeyController::showRefusedAlert();
        });
    connect(m_services.hotkeys.get(), &GlobalHotkeyService::pressed, this, [this] {
        QPointer<AppDelegate> self(this);
        postToNextTurn(this, [self] {
            if (self)
                self->hotkeyPressed();
        });
    });
    connect(m_hotkeys.get(), &HotkeyController::refusedAtLaunch, this,
        &AppDelegate::tellShortcutRefusedAtLaunch);
    connect(m_auxWindows.get(), &AuxiliaryWindows::onboardingClosed, this, [this] {
        const auto refused = std::exchange(m_refusalAfterWalkthrough, std::nullopt);
        if (refused && m_model->settings().hotkeyShortcut() == *refused
            && m_model->isHotkeyUnavailable())
            m_tray->tellShortcutUnavailable(*refused);
    });
    m_hotkeys->applyStoredShortcutAtLaunch();
    m_hotkeys->followModel();

    m_services.clipboardManager->start(*m_clipboardKeeper);

    m_presenter->syncPinnedUIBehavior();

    // A start at login shows nothing.
    if (!m_launchedFromLoginItem)
        presentInitialExperience();
    m_presenter->prepareFirstOpen();
}

void AppDelegate::tellShortcutRefusedAtLaunch(HotkeyShortcut shortcut)
{
    // A notice would cover the walkthrough about to open, whose shortcut page asks for a
    // shortcut anyway: it waits for the walkthrough's end, and is dropped if one that works
    // was chosen meanwhile.
    if (!m_launchedFromLoginItem && m_model->settings().onboardingCompletedVersion() < 1)
        m_refusalAfterWalkthrough = shortcut;
    else
        m_tray->tellShortcutUnavailable(shortcut);
}

void AppDelegate::tellSettingsNotSaved(PreferencesStore::WriteProblem problem)
{
    const QString title = tr("Nookary cannot save your changes");
    const QString message = problem == PreferencesStore::WriteProblem::writeFailed
        ? tr("Writing the settings file failed; the disk may be full. Your changes are kept "
             "and saved as soon as there is room again.")
        : tr("Nookary leaves your settings file as it is for now, so that nothing in it is "
             "lost. Changes you make are kept until Nookary quits; the system log says why.");
    // Once the tray has had a turn to show the icon the notice belongs to.
    postToNextTurn(m_tray.get(), [this, title, message] { m_tray->showNotice(title, message); });
}

void AppDelegate::presentInitialExperience()
{
    postToNextTurn(this, [this] {
        if (m_model->settings().onboardingCompletedVersion() < 1)
            presentOnboarding(
                OnboardingFlowView::clampStep(m_model->settings().onboardingLastStep()), true,
                false);
        else
            showUI();
    });
}

void AppDelegate::reopen()
{
    if (!isAuxWindowVisible())
        showUI();
}

void AppDelegate::hotkeyPressed()
{
    if (isOnboardingVisible()) {
        m_auxWindows->tellOnboardingHotkeyPressed();
        return;
    }
    m_presenter->toggle();
}

QByteArray AppDelegate::handleInstanceRequest(
    InstanceChannel::Request request, const QByteArray &argument)
{
    return m_requests->handle(request, argument);
}

// Presentation, focus and copy-back

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

void AppDelegate::suppressFinalizeAfterUICloseOnce()
{
    m_presenter->suppressFinalizeAfterUICloseOnce();
}

void AppDelegate::copyToClipboard(const QString &text)
{
    m_clipboardWriter->write(text);
    m_paste->entryCopied();
}

// Tray icon and menu

void AppDelegate::showOnboardingFromMenu()
{
    presentOnboarding(m_model->settings().onboardingStartStepForManualShow(), true, false);
}

void AppDelegate::presentOnboarding(
    int startStep, bool showMainUIAfterDismiss, bool forceNewInstance)
{
    m_auxWindows->presentOnboarding(startStep, showMainUIAfterDismiss, forceNewInstance);
}

void AppDelegate::openPreferences()
{
    m_auxWindows->openPreferences();
}

void AppDelegate::ownWindowTakesFocus()
{
    m_focus->ownWindowTakesFocus(m_presenter->closesOnFocusLoss());
}

void AppDelegate::openAbout()
{
    ownWindowTakesFocus();
    m_tray->openAbout();
}

} // namespace nookary
