// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace nookary::test {

// A session bus of a test's own (dbus-daemon with a configuration of its own), which nothing
// else on the machine sees. Stopped when destroyed.
class PrivateBus {
public:
    PrivateBus() = default;
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;
    ~PrivateBus();

    // False, with errorString() set, when dbus-daemon cannot start (scripts/setup installs it).
    bool start();
    QString errorString() const { return m_error; }
    // The address to give DBUS_SESSION_BUS_ADDRESS or QDBusConnection::connectToBus.
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

} // namespace nookary::test
