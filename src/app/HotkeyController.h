// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QObject>

#include <functional>
#include <optional>

namespace nookary {

class AppModel;
class GlobalHotkeyService;
class KeyTranslator;

// Keeps the model's shortcut registered system-wide: applies it, and when the desktop
// refuses a new one, says so once and goes back to the last shortcut that worked. A desktop
// that answers later (it may ask the user first) is waited for without blocking; its answer
// is handled as an immediate one would have been. The alert waits for the next turn: a
// refusal is found inside the call chain of whatever changed the shortcut (a recorder's
// own signal), and the alert's event loop could delete that caller under it.
class HotkeyController final : public QObject {
    Q_OBJECT

public:
    static inline const QString alertTitle = QStringLiteral("Shortcut is unavailable");
    static inline const QString alertText
        = QStringLiteral("That shortcut is probably used by the desktop or another app. Please "
                         "choose another combination.");

    // The program's alert: a modal message box with the texts above.
    static void showRefusedAlert();

    // `alert` shows the refusal modally (a message box in the program, a recorder in tests).
    // `keys` tells whether the shortcut edits in the layout in use (then nothing is grabbed).
    HotkeyController(AppModel &model, GlobalHotkeyService &service, const KeyTranslator &keys,
        std::function<void()> alert, QObject *parent = nullptr);

    void applyHotkeyShortcut(HotkeyShortcut shortcut, bool showAlertOnFail);
    // At launch: the stored shortcut, quietly. A refusal keeps it rather than replacing the
    // user's choice (the other program may hold it only for now): nothing is grabbed, the
    // model says it is unavailable, `refusedAtLaunch` tells the shell once, and the next
    // start tries it again. A later refusal goes back to it. Another keyboard layout may
    // make it an editing combination, or no longer: it is let go or taken again then.
    void applyStoredShortcutAtLaunch();
    // From now on, every change of the model's shortcut is applied with alerts on, and while
    // the model says a shortcut is being recorded, the grab is suspended.
    void followModel();
    // While a new shortcut is recorded our own grab is released, or pressing the current
    // shortcut would toggle the panel instead of being recorded; changes to the model's
    // shortcut wait. Resuming applies the model's shortcut, whichever it is now, with the
    // alert on if it changed meanwhile.
    void suspend();
    void resume();
    bool isSuspended() const { return m_suspended; }

    // The shortcut a refusal goes back to: the last one the desktop accepted, or the stored
    // one refused at launch.
    HotkeyShortcut lastRegisteredShortcut() const { return m_lastRegisteredShortcut; }
    bool isRegistered() const { return m_registered; }
    // A registration was asked for and the desktop has not answered yet.
    bool isAwaitingAnswer() const { return m_awaiting.has_value(); }

Q_SIGNALS:
    // The stored shortcut was refused at launch and kept.
    void refusedAtLaunch(nookary::HotkeyShortcut shortcut);

private:
    // What a refusal does: go back to the last shortcut that worked (a new choice), or keep
    // the stored one, marked unavailable, and tell the shell (at launch) or not (taken again
    // after a change of layout).
    enum class OnRefusal { goBack, keepAndTell, keep };

    void applyStoredShortcut(OnRefusal onRefusal);
    void keyboardChanged();
    // Says so (when asked to) and goes back to the last shortcut that worked. `registerNow`
    // registers that one at once; a desktop that answers later gets it through the model's
    // change instead, or it would be asked twice.
    void handleRefusal(
        HotkeyShortcut shortcut, bool showAlertOnFail, bool registerNow, OnRefusal onRefusal);
    void registrationBound(const QString &trigger);
    void registrationRefused();

    AppModel &m_model;
    GlobalHotkeyService &m_service;
    const KeyTranslator &m_keys;
    std::function<void()> m_alert;
    HotkeyShortcut m_lastRegisteredShortcut = HotkeyShortcut::defaultShortcut();
    bool m_registered = false;
    bool m_isApplyingHotkey = false;
    bool m_restoring = false;
    bool m_suspended = false;
    OnRefusal m_onRefusal = OnRefusal::goBack;
    HotkeyShortcut m_shortcutWhenSuspended;
    struct Awaiting {
        HotkeyShortcut shortcut;
        bool showAlertOnFail = false;
        OnRefusal onRefusal = OnRefusal::goBack;
    };
    std::optional<Awaiting> m_awaiting;
};

} // namespace nookary
