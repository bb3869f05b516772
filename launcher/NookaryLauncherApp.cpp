// SPDX-License-Identifier: GPL-3.0-or-later
#include "NookaryLauncherApp.h"

#include "app/InstanceChannel.h"
#include "platform/xdg/DesktopEntry.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace nookary {

namespace {

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

NookaryLauncherApp::Host NookaryLauncherApp::Host::system()
{
    Host host;
    host.launcherDirectory = QCoreApplication::applicationDirPath();
    host.dataDirectories = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    host.pathDirectories = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    host.isMainAppRunning = [] { return InstanceChannel::isRunning(); };
    host.startDetached = [](const QString &program, const QStringList &arguments) {
        // Output goes where ours goes (the session's log); input is nothing to hold on to.
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setWorkingDirectory(QDir::homePath());
        process.setStandardInputFile(QProcess::nullDevice());
        process.startDetached();
    };
    return host;
}

NookaryLauncherApp::NookaryLauncherApp(Host host)
    : m_host(std::move(host))
{
}

void NookaryLauncherApp::start()
{
    if (!launchBundledMainAppIfNeeded())
        launchMainAppByBundleIDIfNeeded(fallbackMainBundleID);
}

std::optional<QString> NookaryLauncherApp::bundledMainAppURL() const
{
    if (m_host.launcherDirectory.isEmpty())
        return std::nullopt;
    const QString path
        = QDir::cleanPath(m_host.launcherDirectory + u'/' + installLayout::programFromLauncher);
    if (!isExecutableFile(path))
        return std::nullopt;
    return path;
}

bool NookaryLauncherApp::launchBundledMainAppIfNeeded()
{
    const std::optional<QString> program = bundledMainAppURL();
    if (!program)
        return false;
    if (!isMainAppAlreadyRunning())
        m_host.startDetached(*program, { loginItemMarker });
    return true;
}

void NookaryLauncherApp::launchMainAppByBundleIDIfNeeded(const QString &bundleID)
{
    if (bundleID.isEmpty() || isMainAppAlreadyRunning())
        return;
    std::optional<QStringList> command = commandForBundleID(bundleID);
    if (!command)
        return;
    const QString program = command->takeFirst();
    m_host.startDetached(program, *command << loginItemMarker);
}

std::optional<QStringList> NookaryLauncherApp::commandForBundleID(const QString &bundleID) const
{
    const QString relative
        = QStringLiteral("/applications/") + bundleID + QStringLiteral(".desktop");
    for (const QString &folder : m_host.dataDirectories) {
        const QString path = folder + relative;
        if (!QFileInfo::exists(path))
            continue;
        // The first entry found is the one the desktop knows, even when it is unusable.
        const std::optional<DesktopEntry> entry = DesktopEntry::read(path);
        if (!entry || entry->boolean(QStringLiteral("Hidden"), false))
            return std::nullopt;
        QStringList command = entry->execArguments();
        if (command.isEmpty())
            return std::nullopt;
        if (!command.first().contains(u'/')) {
            command.first()
                = QStandardPaths::findExecutable(command.first(), m_host.pathDirectories);
            if (command.first().isEmpty())
                return std::nullopt;
        } else if (!isExecutableFile(command.first())) {
            return std::nullopt;
        }
        return command;
    }
    return std::nullopt;
}

bool NookaryLauncherApp::isMainAppAlreadyRunning() const
{
    return m_host.isMainAppRunning && m_host.isMainAppRunning();
}

void NookaryLauncherApp::scheduleTermination()
{
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

} // namespace nookary
