// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace nookary::test {

// A small disk that fills up as a real one does (writes fail with ENOSPC, possibly after a
// short write): a tmpfs mounted over a temporary folder, in a mount namespace of the
// calling thread's own so that nobody else sees it and nothing outlives the test. Needs the
// right to mount (root, or an unprivileged user namespace); check `isMounted()` and skip
// where the system refuses. Main thread only: the namespace is that thread's.
class SmallDisk {
public:
    explicit SmallDisk(qint64 bytes)
    {
        if (!m_folder.isValid() || !enterOwnMountNamespace())
            return;
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0,
                        options.constData())
            == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }

    // Fills the disk with a file of its own, then gives back about `bytes` (whole pages).
    bool fillLeaving(qint64 bytes)
    {
        QFile filler(fillerPath());
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray page(4096, 'f');
        while (filler.write(page) == page.size()) { }
        const qint64 full = filler.size();
        filler.close();
        return full >= bytes && QFile::resize(fillerPath(), full - bytes);
    }
    void freeAll() { QFile::remove(fillerPath()); }

private:
    QString fillerPath() const { return m_folder.path() + QStringLiteral("/.filler"); }

    static bool enterOwnMountNamespace()
    {
        if (::geteuid() == 0) {
            if (::unshare(CLONE_NEWNS) != 0)
                return false;
        } else {
            const uid_t uid = ::geteuid();
            const gid_t gid = ::getegid();
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                return false;
            auto write = [](const char *path, const QByteArray &text) {
                QFile file(QString::fromLatin1(path));
                return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
            };
            if (!write("/proc/self/setgroups", "deny")
                || !write("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1")
                || !write("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1"))
                return false;
        }
        // Mounts made here stay here.
        return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }

    QTemporaryDir m_folder;
    bool m_mounted = false;
};

} // namespace nookary::test
