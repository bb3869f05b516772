// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace nookary {

// The login launcher's one job: start Nookary with the login marker unless it already
// runs, and never wait for it. Everything it asks of the system comes through `Host`, so
// that its decisions can be tried against a made-up process list and file layout.
class NookaryLauncherApp final {
public:
    struct Host {
        QString launcherDirectory; // the folder holding this program
        QStringList dataDirectories; // XDG data folders, most important first
        QStringList pathDirectories; // PATH
        // The /proc/<pid>/exe link targets of this user's processes.
        std::function<QStringList()> runningExecutables;
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
    // Processes carry no identifier here: any process of this user running an executable
    // named Nookary counts, wherever it was started from.
    bool isMainAppAlreadyRunning() const;

    // Quits on the next turn of the event loop.
    static void scheduleTermination();

    // Whether a /proc/<pid>/exe link target is a Nookary; an executable replaced by an
    // upgrade reads "<path> (deleted)".
    static bool isMainExecutable(const QString &linkTarget);
    // The exe link targets of the processes under `procRoot` owned by this user; processes
    // whose link cannot be read are skipped.
    static QStringList runningExecutablesOfThisUser(
        const QString &procRoot = QStringLiteral("/proc"));

private:
    Host m_host;
};

} // namespace nookary
