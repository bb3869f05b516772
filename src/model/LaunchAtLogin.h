// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace nookary {

class LoginItemService;

// The "launch at login" switch. It keeps no state of its own in the settings: the system's
// record of the login launcher is the truth, and the switch mirrors it at start-up and
// after every failed change. A change the user makes shows at once; a failed one falls back
// on the next turn of the main queue, silently. Main thread only.
class LaunchAtLogin final : public QObject {
    Q_OBJECT

public:
    // The service must outlive this object.
    explicit LaunchAtLogin(LoginItemService &service, QObject *parent = nullptr);

    bool isEnabled() const { return m_launchAtLogin; }
    // A toggle: registers or unregisters the launcher when the value changes.
    void setEnabled(bool enabled);
    bool isSyncingLaunchAtLoginState() const { return m_isSyncingLaunchAtLoginState; }

    // Writes the system's state into the switch without registering anything.
    void mirrorSystemState();

Q_SIGNALS:
    void enabledChanged();

private:
    void setLaunchAtLogin(bool enabled);

    LoginItemService &m_service;
    bool m_launchAtLogin = false;
    bool m_isSyncingLaunchAtLoginState = false;
};

} // namespace nookary
