#pragma once

#include "app/InstanceChannel.h"
#include "platform/MainQueue.h"
#include "platform/PlatformServices.h"
#include "ui/onboarding/OnboardingWindowController.h"
#include "ui/panel/PanelKeyMap.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>
#include <optional>

class QMenu;
class QWindow;

namespace nookary {

class AppModel;
class ApplicationEventMonitor;
class ClipboardKeeper;
class HotkeyController;
class NookaryCenteredWindow;
class PopoverWindow;
class PreferencesWindowController;

// The hub of the running program: owns the platform services and the one model, the tray
// icon's behaviour, both presentations of the panel, the hand-back of focus, copy-back to
// the clipboard, and what other command lines ask of the running instance.
class AppDelegate final : public QObject, public PanelKeyMapHost
{
    Q_OBJECT

public:
    AppDelegate(PlatformServices services, bool launchedFromLoginItem, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // After a manual start: the walkthrough until it was finished once, else the panel.
    void presentInitialExperience();
    // The user started Nookary again while it runs.
    void applicationShouldHandleReopen();
    QByteArray handleInstanceRequest(InstanceChannel::Request request);

    // Presentation, focus and copy-back.
    void showUI();
    void closeUI() override;
    bool isPanelOpen() const;
    void copyToClipboard(const QString &text) override;
    void syncPinnedUIBehavior();

    // The tray icon and its menu.
    void statusItemClicked();
    void buildStatusMenu(QMenu &menu);
    void togglePauseNookary();
    void showOnboardingFromMenu();
    void presentOnboarding(int startStep, bool showMainUIAfterDismiss, bool forceNewInstance);
    void openPreferences() override;
    void openAbout();
    void quitApp();

    // The global shortcut was pressed: toggles the panel, or, while the walkthrough shows,
    // only tells it.
    void hotkeyPressed();

    AppModel &model() { return *m_model; }
    HotkeyController *hotkeys() const { return m_hotkeys.get(); }
    bool launchedFromLoginItem() const { return m_launchedFromLoginItem; }
    PopoverWindow *popover() const { return m_popover.get(); }
    NookaryCenteredWindow *centeredWindow() const { return m_centeredWindow.get(); }
    OnboardingWindowController *onboardingWC() const { return m_onboardingWC; }
    PreferencesWindowController *preferencesWC() const { return m_preferencesWC.get(); }
    std::optional<RunningApplication> previousApp() const { return m_previousApp; }
    bool isFocusRestorePending() const { return m_pendingFocusRestoreWorkItem.isPending(); }
    bool suppressFinalizeAfterUICloseOnce = false;

    // How long after a close focus goes back to the previous application.
    static constexpr std::chrono::milliseconds focusRestoreDelay{30};

private:
    // PanelKeyMapHost
    bool isPanelShown() const override { return isPanelOpen(); }
    void endEditingOnNextTurn() override;
    void beep() override;

    QWidget *makeRootView();
    void showPopoverAndArmFocus();
    void showCenteredWindowAndArmFocus();
    void armFocusOnDidBecomeKey(QWidget *window);
    void requestSearchFocusRobust();
    void popoverDidClose();
    // How a close came about: asked for (a key, a copy, the shortcut, the tray, the command
    // line), or because focus went elsewhere (a click outside, another window activated).
    enum class CloseCause { requested, focusLost };
    void finishClose(CloseCause cause = CloseCause::requested);
    void restorePreviousAppFocus(CloseCause cause = CloseCause::requested);
    bool anotherWindowTookFocus(const RunningApplication &handBackTarget) const;
    // About, an alert or the settings window is about to take focus.
    void ownWindowTakesFocus();
    bool handleKey(QWidget *window, QKeyEvent &event);
    void handleMousePress(QWidget *target);
    // The popover or the centred window: the windows the panel's key map and edit rules
    // are for (not the tray menu, the editor's context menu or a dialog).
    bool isPanelWindow(const QWidget *window) const;
    bool isAuxWindowVisible() const;
    bool isOnboardingVisible() const;
    bool isOwnWindow(quint64 windowId) const;
    bool isPanelWindowId(quint64 windowId) const;
    bool isClickThatClosedPopover();

    PlatformServices m_services;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<ClipboardKeeper> m_clipboardKeeper;
    const bool m_launchedFromLoginItem;
    std::unique_ptr<PopoverWindow> m_popover;
    std::unique_ptr<NookaryCenteredWindow> m_centeredWindow;
    // Exists from presentOnboarding until its result; deleted on the turn after, since the
    // result arrives from inside its own window's events.
    QPointer<OnboardingWindowController> m_onboardingWC;
    std::unique_ptr<PanelKeyMap> m_keyMap;
    std::unique_ptr<HotkeyController> m_hotkeys;
    std::unique_ptr<ApplicationEventMonitor> m_monitor;
    std::unique_ptr<PreferencesWindowController> m_preferencesWC;
    QPointer<QObject> m_focusDidBecomeKeyObserver;
    std::optional<RunningApplication> m_previousApp;
    CancellableTask m_pendingFocusRestoreWorkItem;
    // Where the pending hand-back goes; a quick reopen takes it over.
    std::optional<RunningApplication> m_pendingFocusRestoreTarget;
    // Qt closes a popup on any click outside it, the tray icon included: that click must
    // not open the popover again right away.
    struct ClosingClick {
        std::chrono::steady_clock::time_point when;
        QPoint where;
    };
    std::optional<ClosingClick> m_popoverClosingClick;
    // Where the click outside that closed the popover landed, until the hand-back uses it.
    std::optional<QPoint> m_closingClickPosition;
    bool m_closingPopover = false;
};

} // namespace nookary
