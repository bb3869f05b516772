// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FocusHandBack.h"
#include "platform/SessionCapabilities.h"
#include "ui/panel/PanelActions.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace nookary {

class AppModel;
class Clock;
class NookaryCenteredWindow;
class PopoverWindow;
class PanelView;
class PreferencesStore;
class StatusItem;

// Both presentations of the panel (the popover under the tray icon and the centred
// window), which one opens, the pinned state, putting focus into the search field on
// opening, and handing focus back after a close. It is what the panel's views and keys ask
// of the shell: a choice is copied back through `entryChosen`, the settings window opened
// through `preferencesRequested`.
class PanelPresenter final : public QObject, public PanelActions {
    Q_OBJECT

public:
    PanelPresenter(AppModel &model, PreferencesStore &store, StatusItem *statusItem,
        FocusHandBack &focus, Clock &clock, SessionCapabilities session = {},
        QObject *parent = nullptr);
    ~PanelPresenter() override;

    static constexpr std::chrono::milliseconds prepareAfterStart { 200 };

    void showUI();
    void closeUI();
    // Builds, hidden, what the first opening of the chosen presentation needs, a step at a
    // time while the event loop is idle, so that it opens as fast as later ones.
    void prepareFirstOpen();
    bool isPanelOpen() const;
    // Opens the panel; an open one that has lost the keyboard (pinned behind another window,
    // or losing it as the request came) comes to the front and takes it.
    void showOrBringForward();
    void toggle();
    // A click on the tray icon: toggles, except for the click that just closed the popover.
    void statusItemClicked();
    void syncPinnedUIBehavior();
    // The next close does not hand focus back.
    void suppressFinalizeAfterUICloseOnce() { m_suppressFinalizeOnce = true; }
    bool isFinalizeAfterUICloseSuppressed() const { return m_suppressFinalizeOnce; }

    // The popover or the centred window: the windows the panel's key map and edit rules
    // are for (not the tray menu, the editor's context menu or a dialog).
    bool isPanelWindow(const QWidget *window) const;
    bool isPanelWindowId(quint64 windowId) const;
    // True when the panel is open and closes as soon as another window takes focus.
    bool closesOnFocusLoss() const;

    // PanelActions
    bool isPanelShown() const override { return isPanelOpen(); }
    void choose(const QString &text) override;
    void openPreferences() override { Q_EMIT preferencesRequested(); }
    void closePanel() override { closeUI(); }
    void focusSearch() override;
    void endEditingOnNextTurn() override;
    void refuse(const QString &why) override;
    void openContextMenu() override;

    // The panel's view in the presentation shown, if any.
    PanelView *shownView() const;

    PopoverWindow *popover() const { return m_popover.get(); }
    NookaryCenteredWindow *centeredWindow() const { return m_centeredWindow.get(); }

    // Whether the next opening shows the centred window: the chosen presentation, or the
    // popover's stand-in where it would have no place to hang from (the session places the
    // windows and the tray does not say where its icon is).
    bool opensCenteredWindow() const;

Q_SIGNALS:
    // The user chose an entry: it goes to the clipboard, as the program's own write.
    void entryChosen(const QString &text);
    void preferencesRequested();

private:
    QWidget *makeRootView();
    // Every view the presentations hold, shown or not.
    QList<PanelView *> views() const;
    void ensureCenteredWindow();
    void runWhenIdle(std::deque<std::function<void()>> steps);
    void showPopoverAndArmFocus();
    void showCenteredWindowAndArmFocus();
    void armFocusOnActivation(QWidget *window);
    void requestSearchFocusRobust();
    void popoverClosed();
    void anotherWindowActivated();
    void centeredWindowClosed();
    void finishClose(
        FocusHandBack::CloseCause cause, std::optional<QPoint> closingClick = std::nullopt);
    bool isClickThatClosedPopover();
    bool takesPressOnTheIcon(QPoint at, Qt::MouseButton button);

    AppModel &m_model;
    PreferencesStore &m_store;
    StatusItem *m_statusItem;
    FocusHandBack &m_focus;
    Clock &m_clock;
    const SessionCapabilities m_session;
    std::unique_ptr<PopoverWindow> m_popover;
    std::unique_ptr<NookaryCenteredWindow> m_centeredWindow;
    QPointer<QObject> m_focusOnActivation;
    // Qt closes a popup on any click outside it, the tray icon included: that click must
    // not open the popover again right away.
    struct ClosingClick {
        std::chrono::steady_clock::time_point when;
        QPoint where;
    };
    std::optional<ClosingClick> m_popoverClosingClick;
    std::optional<std::chrono::steady_clock::time_point> m_lastIconClick;
    bool m_closingPopover = false;
    std::chrono::steady_clock::time_point m_popoverShownAt;
    CancellableTask m_popoverGraceCheck;
    // A pinned window closed while another window has the keyboard: the user has moved on,
    // and the keyboard stays where it is.
    bool m_closingWithoutKeyboard = false;
    bool m_suppressFinalizeOnce = false;
};

} // namespace nookary
