// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace nookary::test {

// Makes a folder read-only for this thread while it lives, also when the tests run as root:
// root writes anywhere through CAP_DAC_OVERRIDE, which is taken out of the thread's
// effective set meanwhile (it stays permitted, so it comes back at the end). Check
// `isReadOnly()`; a system that refuses the change cannot run the test.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path)
        : m_path(path)
        , m_permissions(QFile::permissions(path))
    {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_droppedOverride = ::geteuid() == 0 && setOverride(false);
        m_readOnly = ::geteuid() != 0 || m_droppedOverride;
    }
    ~ReadOnlyFolder() { makeWritable(); }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool isReadOnly() const { return m_readOnly; }

    void makeWritable()
    {
        if (m_droppedOverride)
            setOverride(true);
        m_droppedOverride = false;
        QFile::setPermissions(m_path, m_permissions);
        m_readOnly = false;
    }

private:
    static bool setOverride(bool on)
    {
        __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] {};
        if (::syscall(SYS_capget, &header, data) != 0)
            return false;
        constexpr __u32 bit = 1u << CAP_DAC_OVERRIDE;
        data[0].effective = on ? data[0].effective | bit : data[0].effective & ~bit;
        return ::syscall(SYS_capset, &header, data) == 0;
    }

    QString m_path;
    QFileDevice::Permissions m_permissions;
    bool m_droppedOverride = false;
    bool m_readOnly = false;
};

} // namespace nookary::test
