// SPDX-License-Identifier: GPL-3.0-or-later
#include "XdgAutostartLoginItemService.h"

#include "platform/xdg/DesktopEntry.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

namespace nookary {

XdgAutostartLoginItemService::XdgAutostartLoginItemService(
    QString autostartFolder, QString launcherPath)
    : m_folder(std::move(autostartFolder))
    , m_launcherPath(std::move(launcherPath))
{
}

QString XdgAutostartLoginItemService::defaultAutostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart");
}

QString XdgAutostartLoginItemService::defaultLauncherPath()
{
    return QDir::cleanPath(
        QCoreApplication::applicationDirPath() + u'/' + installLayout::launcherFromProgram);
}

QString XdgAutostartLoginItemService::entryPath() const
{
    return m_folder + u'/' + launcherBundleID + QStringLiteral(".desktop");
}

QByteArray XdgAutostartLoginItemService::entryContents() const
{
    const QString exec
        = DesktopEntry::escapeString(DesktopEntry::quoteExecArgument(m_launcherPath));
    const QString tryExec = DesktopEntry::escapeString(m_launcherPath);
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Nookary\n"
                          "Comment=Starts Nookary in the tray at login\n"
                          "Exec=%1\n"
                          "TryExec=%2\n"
                          "Icon=com.dorwen.Nookary\n"
                          "Terminal=false\n"
                          "NoDisplay=true\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(exec, tryExec)
        .toUtf8();
}

bool XdgAutostartLoginItemService::isRegistered() const
{
    const std::optional<DesktopEntry> entry = DesktopEntry::read(entryPath());
    if (!entry)
        return false;
    if (entry->boolean(QStringLiteral("Hidden"), false)
        || !entry->boolean(QStringLiteral("X-GNOME-Autostart-enabled"), true))
        return false;
    // The session skips an entry whose TryExec program is missing.
    if (entry->contains(QStringLiteral("TryExec"))) {
        const QString program = entry->string(QStringLiteral("TryExec"));
        if (program.contains(u'/')) {
            const QFileInfo info(program);
            if (!info.isFile() || !info.isExecutable())
                return false;
        } else if (QStandardPaths::findExecutable(program).isEmpty()) {
            return false;
        }
    }
    return !entry->execArguments().isEmpty();
}

bool XdgAutostartLoginItemService::registerLoginItem()
{
    // An entry naming a missing launcher would be written, then skipped by the session
    // and read back as off: refuse it now, so the switch says what will happen.
    const QFileInfo launcher(m_launcherPath);
    if (!launcher.isFile() || !launcher.isExecutable())
        return false;
    if (!QDir().mkpath(m_folder))
        return false;
    // QSaveFile writes through a link at the entry's place, over a file that is not ours (a
    // dotfiles manager's): the link itself is what gets replaced.
    if (QFileInfo(entryPath()).isSymLink() && !QFile::remove(entryPath()))
        return false;
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryContents());
    return file.commit();
}

bool XdgAutostartLoginItemService::unregisterLoginItem()
{
    const QString path = entryPath();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    return QFile::remove(path);
}

std::optional<QString> XdgAutostartLoginItemService::followMovedLauncher()
{
    const std::optional<DesktopEntry> entry = DesktopEntry::read(entryPath());
    if (!entry || entry->boolean(QStringLiteral("Hidden"), false)
        || !entry->boolean(QStringLiteral("X-GNOME-Autostart-enabled"), true))
        return std::nullopt;
    const QStringList command = entry->execArguments();
    if (command.isEmpty())
        return std::nullopt;
    const QString named = command.first();
    const QFileInfo program(named);
    if (!program.isAbsolute() || program.fileName() != QFileInfo(m_launcherPath).fileName()
        || QDir::cleanPath(named) == QDir::cleanPath(m_launcherPath) || program.exists()
        || program.isSymLink())
        return std::nullopt;
    if (!registerLoginItem())
        return std::nullopt;
    return named;
}

} // namespace nookary
