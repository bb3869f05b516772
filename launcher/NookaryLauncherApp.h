// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace nookary {

// The login launcher's one job: start Nookary with the login marker unless it already
// runs on this session's display, and never wait for it. Everything it asks of the system
// comes through `Host`, so that its decisions can be tried against a made-up file layout.
class NookaryLauncherApp final {
public:
    struct Host {
        QString launcherDirectory; // the folder holding this program
        QStringList dataDirectories; // XDG data folders, most important first
        QStringList pathDirectories; // PATH
        // Whether a Nookary of this user runs on this session's display: it answers on the
        // socket named after that display. One of another session does not count.
        std::function<bool()> isMainAppRunning;
        // Starts a program on its own; its outcome is never looked at.
        std::function<void(const QString &program, const QStringList &arguments)> startDetached;

        static Host system();
    };

    static inline const QString fallbackMainBundleID = QStringLiteral("com.dorwen.Nookary");
    static inline const QString loginItemMarker = QStringLiteral("--launched-from-login-item");
    static inline const QString mainExecutableName = QStringLiteral("Nookary");

    explicit NookaryLauncherApp(Host host);

    // The enclosing install tree's Nookary first, then the one the desktop entry names.
    void start();

    // The Nookary of the launcher's own tree (<launcher folder>/../../bin/Nookary by default,
    // InstallLayout.h), when it is an executable file.
    std::optional<QString> bundledMainAppURL() const;
    // True when an enclosing Nookary was found, whether or not it was started.
    bool launchBundledMainAppIfNeeded();
    void launchMainAppByBundleIDIfNeeded(const QString &bundleID);
    // The program and arguments of the desktop entry `<bundleID>.desktop` in the data
    // folders (the first found counts), field codes dropped, a bare program name looked up
    // on PATH. Nothing when there is no such entry, it is hidden, or its program is missing.
    std::optional<QStringList> commandForBundleID(const QString &bundleID) const;
    bool isMainAppAlreadyRunning() const;

    // Quits on the next turn of the event loop.
    static void scheduleTermination();

private:
    Host m_host;
};

} // namespace nookary
