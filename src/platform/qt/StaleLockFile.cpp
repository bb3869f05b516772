// SPDX-License-Identifier: GPL-3.0-or-later
#include "StaleLockFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <optional>

#include <cerrno>
#include <csignal>

namespace nookary {

namespace {

// The lock's owner, as QLockFile writes it: pid, program, host, machine id, boot id.
struct LockOwner {
    qint64 pid = 0;
    QByteArray host;
    QByteArray machineId;
    QByteArray bootId;
};

std::optional<LockOwner> ownerOf(const QByteArray &contents)
{
    const QList<QByteArray> lines = contents.split('\n');
    if (lines.size() < 3)
        return std::nullopt;
    bool ok = false;
    LockOwner owner;
    owner.pid = lines[0].trimmed().toLongLong(&ok);
    if (!ok || owner.pid <= 0)
        return std::nullopt;
    owner.host = lines[2].trimmed();
    owner.machineId = lines.size() > 3 ? lines[3].trimmed() : QByteArray();
    owner.bootId = lines.size() > 4 ? lines[4].trimmed() : QByteArray();
    return owner;
}

bool isGone(const LockOwner &owner)
{
    if (!owner.host.isEmpty() && owner.host != QSysInfo::machineHostName().toUtf8())
        return false;
    if (!owner.machineId.isEmpty() && owner.machineId != QSysInfo::machineUniqueId())
        return false;
    if (!owner.bootId.isEmpty() && owner.bootId != QSysInfo::bootUniqueId())
        return true;
    return ::kill(pid_t(owner.pid), 0) != 0 && errno == ESRCH;
}

} // namespace

bool removeStaleLockFile(const QString &path, std::chrono::milliseconds grace)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return false;
    // A lock is a few dozen bytes; anything larger is not QLockFile's and stays.
    if (info.size() > 4096)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::optional<LockOwner> owner = ownerOf(file.readAll());
    file.close();
    bool stale = false;
    if (owner) {
        stale = isGone(*owner);
    } else {
        const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
        stale = age > grace.count() || age < -grace.count();
    }
    return stale && QFile::remove(path);
}

} // namespace nookary
