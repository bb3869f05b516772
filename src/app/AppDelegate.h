// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AuxiliaryWindows.h"
#include "app/FocusHandBack.h"
#include "app/InstanceChannel.h"
#include "app/PanelPresenter.h"
#include "core/HotkeyShortcut.h"
#include "platform/PlatformServices.h"

#include <QObject>

#include <memory>
#include <optional>

namespace nookary {

class AppModel;
class ClipboardKeeper;
class ClipboardWriter;
class Clock;
class HotkeyController;
class InstanceRequestHandler;
class NookaryCenteredWindow;
class PanelInputRouter;
class PasteAfterChoosing;
class PopoverWindow;
class OnboardingWindowController;
class PreferencesWindowController;
class TrayController;

// The composition root of the running program: owns the platform services and the one
// model, and wires them to the parts that do the work (the panel's presentations, the
// hand-back of focus, copy-back, the tray icon, the global shortcut, other command lines).
// Its operations keep the names the rest of the program and the tests know it by.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    // `clock` times everything the shell delays; it must outlive the delegate.
    AppDelegate(PlatformServices services, bool launchedFromLoginItem, Clock &clock,
        QObject *parent = nullptr);
    AppDelegate(PlatformServices services, bool launchedFromLoginItem, QObject *parent = nullptr);
    ~AppDelegate() override;

    void start();
    // After a manual start: the walkthrough until it was finished once, else the panel.
    void presentInitialExperience();
    // The user started Nookary again while it runs.
    void reopen();
    QByteArray handleInstanceRequest(
        InstanceChannel::Request request, const QByteArray &argument = {});

    // Presentation, focus and copy-back.
    void showUI();
    void closeUI();
    bool isPanelOpen() const;
    void copyToClipboard(const QString &text);
    // The next close does not hand focus back.
    void suppressFinalizeAfterUICloseOnce();
    bool isFinalizeAfterUICloseSuppressed() const
    {
        return m_presenter->isFinalizeAfterUICloseSuppressed();
    }

    // The tray icon and its menu.
    void showOnboardingFromMenu();
    void presentOnboarding(int startStep, bool showMainUIAfterDismiss, bool forceNewInstance);
    void openPreferences();
    void openAbout();

    // The global shortcut was pressed: toggles the panel, or, while the walkthrough shows,
    // only tells it.
    void hotkeyPressed();

    AppModel &model() { return *m_model; }
    HotkeyController *hotkeys() const { return m_hotkeys.get(); }
    bool launchedFromLoginItem() const { return m_launchedFromLoginItem; }
    PopoverWindow *popover() const { return m_presenter->popover(); }
    NookaryCenteredWindow *centeredWindow() const { return m_presenter->centeredWindow(); }
    OnboardingWindowController *onboarding() const { return m_auxWindows->onboarding(); }
    PreferencesWindowController *preferences() const { return m_auxWindows->preferences(); }
    std::optional<RunningApplication> previousApp() const { return m_focus->previousApp(); }
    bool isFocusRestorePending() const { return m_focus->isPending(); }

    // How long after a close focus goes back to the previous application.
    static constexpr std::chrono::milliseconds focusRestoreDelay = FocusHandBack::delay;

private:
    // Said once per kind of problem, in the tray.
    void tellSettingsNotSaved(PreferencesStore::WriteProblem problem);
    // Said once, by the tray; after the walkthrough where one opens at this start.
    void tellShortcutRefusedAtLaunch(HotkeyShortcut shortcut);
    // About or an alert is about to take focus.
    void ownWindowTakesFocus();
    bool isAuxWindowVisible() const { return m_auxWindows->isAnyVisible(); }
    bool isOnboardingVisible() const { return m_auxWindows->isOnboardingVisible(); }

    PlatformServices m_services;
    Clock &m_clock;
    std::unique_ptr<AppModel> m_model;
    const bool m_launchedFromLoginItem;
    std::unique_ptr<ClipboardWriter> m_clipboardWriter;
    std::unique_ptr<ClipboardKeeper> m_clipboardKeeper;
    std::unique_ptr<FocusHandBack> m_focus;
    std::unique_ptr<PanelPresenter> m_presenter;
    std::unique_ptr<InstanceRequestHandler> m_requests;
    std::unique_ptr<TrayController> m_tray;
    std::unique_ptr<AuxiliaryWindows> m_auxWindows;
    std::unique_ptr<PanelInputRouter> m_input;
    std::unique_ptr<HotkeyController> m_hotkeys;
    std::unique_ptr<PasteAfterChoosing> m_paste;
    std::optional<HotkeyShortcut> m_refusalAfterWalkthrough;
};

} // namespace nookary
