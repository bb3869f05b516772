// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QObject>

class QMenu;

namespace nookary {

class ClipboardHistory;
class StatusItem;

// The tray icon's behaviour: its picture, dimmed while paused, and its menu (open the panel,
// pause, the walkthrough, settings, About, Quit). What the menu asks of the rest of the program it
// reports as signals.
class TrayController final : public QObject {
    Q_OBJECT

public:
    // `item` may be null (no tray icon at all); both must outlive the controller. Pausing
    // is the history's.
    TrayController(ClipboardHistory &history, StatusItem *item, QObject *parent = nullptr);

    void buildStatusMenu(QMenu &menu);
    void togglePauseNookary();
    void openAbout();
    // A notice beside the icon; the log has said it already where there is no tray.
    void showNotice(const QString &title, const QString &message);
    // Another program held the stored shortcut at start: said once, as a notification. For
    // the default, which the user may never have chosen, it points to choosing another.
    void tellShortcutUnavailable(HotkeyShortcut shortcut);

Q_SIGNALS:
    void clicked();
    void openRequested();
    void onboardingRequested();
    void preferencesRequested();
    void aboutRequested();
    void quitRequested();

private:
    ClipboardHistory &m_history;
    StatusItem *m_item;
};

} // namespace nookary
