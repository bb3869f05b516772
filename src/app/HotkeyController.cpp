// SPDX-License-Identifier: GPL-3.0-or-later
#include "HotkeyController.h"

#include "model/AppModel.h"
#include "platform/GlobalHotkeyService.h"
#include "platform/KeyTranslator.h"
#include "platform/MainQueue.h"
#include "platform/WindowSystem.h"
#include "ui/Alert.h"

#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>

Q_LOGGING_CATEGORY(lcHotkeys, "nookary.hotkey")

namespace nookary {

void HotkeyController::showRefusedAlert()
{
    const auto box = Alert::make(QMessageBox::Warning, alertTitle(), alertTitle(), alertText());
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    WindowSystem::keepOutOfTaskbarWhenShown(*box);
    box->exec();
}

HotkeyController::HotkeyController(AppModel &model, GlobalHotkeyService &service,
    const KeyTranslator &keys, std::function<void()> alert, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_service(service)
    , m_keys(keys)
    , m_alert(std::move(alert))
{
    connect(&m_service, &GlobalHotkeyService::keyboardChanged, this,
        &HotkeyController::keyboardChanged);
    connect(&m_service, &GlobalHotkeyService::registrationBound, this,
        &HotkeyController::registrationBound);
    connect(&m_service, &GlobalHotkeyService::registrationRefused, this,
        &HotkeyController::registrationRefused);
    connect(&m_service, &GlobalHotkeyService::triggerChanged, this, [this](const QString &trigger) {
        if (m_registered)
            m_model.setHotkeyTriggerText(trigger);
    });
}

void HotkeyController::followModel()
{
    connect(&m_model.settings(), &Settings::hotkeyShortcutChanged, this, [this] {
        // Going back after a refusal is not the user's choice: it is applied quietly.
        if (!m_suspended)
            applyHotkeyShortcut(m_model.settings().hotkeyShortcut(), !m_restoring);
    });
    connect(&m_model, &AppModel::isRecordingHotkeyChanged, this,
        [this] { m_model.isRecordingHotkey() ? suspend() : resume(); });
}

void HotkeyController::suspend()
{
    if (m_suspended)
        return;
    m_suspended = true;
    m_shortcutWhenSuspended = m_model.settings().hotkeyShortcut();
    if (m_service.canRegister())
        m_service.unregisterHotkey();
    m_registered = false;
    m_awaiting.reset();
}

void HotkeyController::resume()
{
    if (!m_suspended)
        return;
    m_suspended = false;
    const HotkeyShortcut shortcut = m_model.settings().hotkeyShortcut();
    applyHotkeyShortcut(shortcut, shortcut != m_shortcutWhenSuspended);
}

void HotkeyController::applyStoredShortcutAtLaunch()
{
    applyStoredShortcut(OnRefusal::keepAndTell);
}

void HotkeyController::applyStoredShortcut(OnRefusal onRefusal)
{
    m_onRefusal = onRefusal;
    applyHotkeyShortcut(m_model.settings().hotkeyShortcut(), false);
    m_onRefusal = OnRefusal::goBack;
}

void HotkeyController::keyboardChanged()
{
    // The shortcut is grabbed (or kept, refused at launch) exactly when it was usable.
    const HotkeyShortcut shortcut = m_model.settings().hotkeyShortcut();
    const bool taken = m_lastRegisteredShortcut == shortcut && shortcut.isSet();
    if (m_suspended || m_isApplyingHotkey || m_keys.isUsable(shortcut) == taken)
        return;
    applyStoredShortcut(OnRefusal::keep);
}

void HotkeyController::applyHotkeyShortcut(HotkeyShortcut shortcut, bool showAlertOnFail)
{
    if (m_isApplyingHotkey)
        return;
    // A session without global shortcuts refuses everything; the stored shortcut is kept for
    // sessions that have them rather than replaced.
    if (!m_service.canRegister())
        return;
    m_isApplyingHotkey = true;
    m_service.unregisterHotkey();
    m_registered = false;
    m_awaiting.reset();
    m_model.setHotkeyTriggerText(QString());
    m_model.setIsHotkeyUnavailable(false);

    if (!m_keys.isUsable(shortcut)) {
        m_lastRegisteredShortcut = HotkeyShortcut::off();
    } else if (m_service.registerHotkey(shortcut)) {
        if (m_service.answersLater()) {
            m_awaiting = Awaiting { shortcut, showAlertOnFail, m_onRefusal };
        } else {
            m_registered = true;
            m_lastRegisteredShortcut = shortcut;
        }
    } else {
        handleRefusal(shortcut, showAlertOnFail, true, m_onRefusal);
    }
    m_isApplyingHotkey = false;
}

void HotkeyController::handleRefusal(
    HotkeyShortcut shortcut, bool showAlertOnFail, bool registerNow, OnRefusal onRefusal)
{
    qCInfo(lcHotkeys) << "Shortcut" << shortcut.displayText() << "was refused";
    if (onRefusal != OnRefusal::goBack) {
        m_lastRegisteredShortcut = shortcut;
        m_model.setIsHotkeyUnavailable(true);
        if (onRefusal == OnRefusal::keepAndTell)
            Q_EMIT refusedAtLaunch(shortcut);
        return;
    }
    // Refusing the shortcut that last worked leaves nothing to go back to: stop there,
    // or going back would be refused and retried without end.
    const bool canGoBack = shortcut != m_lastRegisteredShortcut;
    if (canGoBack && registerNow && m_lastRegisteredShortcut.isSet())
        m_registered = m_service.registerHotkey(m_lastRegisteredShortcut);
    if (!canGoBack)
        m_model.setIsHotkeyUnavailable(true);
    const bool alert = showAlertOnFail && m_alert;
    if (!alert && !canGoBack)
        return;
    QPointer<HotkeyController> self(this);
    postToNextTurn(this, [self, alert, canGoBack, registerNow] {
        if (!self)
            return;
        if (alert)
            self->m_alert();
        // The alert's event loop may have ended us.
        if (!self || !canGoBack)
            return;
        const HotkeyShortcut restored = self->m_lastRegisteredShortcut;
        const bool modelChanges = self->m_model.settings().hotkeyShortcut() != restored;
        self->m_restoring = true;
        self->m_model.settings().setHotkeyShortcut(restored);
        self->m_restoring = false;
        // The model's change registers it again; without one, nobody else would.
        if (!registerNow && !modelChanges && !self->m_suspended)
            self->applyHotkeyShortcut(restored, false);
    });
}

void HotkeyController::registrationBound(const QString &trigger)
{
    if (!m_awaiting)
        return;
    m_registered = true;
    m_lastRegisteredShortcut = m_awaiting->shortcut;
    m_awaiting.reset();
    m_model.setHotkeyTriggerText(trigger);
}

void HotkeyController::registrationRefused()
{
    if (!m_awaiting)
        return;
    const Awaiting refused = *m_awaiting;
    m_awaiting.reset();
    handleRefusal(refused.shortcut, refused.showAlertOnFail, false, refused.onRefusal);
}

} // namespace nookary
