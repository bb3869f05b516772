// SPDX-License-Identifier: GPL-3.0-or-later
#include "LaunchAtLogin.h"

#include "platform/LoginItemService.h"
#include "platform/MainQueue.h"

namespace nookary {

LaunchAtLogin::LaunchAtLogin(LoginItemService &service, QObject *parent)
    : QObject(parent)
    , m_service(service)
{
}

void LaunchAtLogin::setEnabled(bool enabled)
{
    const bool old = m_launchAtLogin;
    m_launchAtLogin = enabled;
    if (old != enabled)
        Q_EMIT enabledChanged();
    if (m_isSyncingLaunchAtLoginState || old == enabled)
        return;
    setLaunchAtLogin(enabled);
}

void LaunchAtLogin::setLaunchAtLogin(bool enabled)
{
    const bool ok = enabled ? m_service.registerLoginItem() : m_service.unregisterLoginItem();
    if (ok)
        return;
    // Let the current change finish first, then show what the system really did.
    postToNextTurn(this, [this] { mirrorSystemState(); });
}

void LaunchAtLogin::mirrorSystemState()
{
    const bool registered = m_service.isRegistered();
    if (registered == m_launchAtLogin)
        return;
    m_isSyncingLaunchAtLoginState = true;
    setEnabled(registered);
    m_isSyncingLaunchAtLoginState = false;
}

} // namespace nookary
