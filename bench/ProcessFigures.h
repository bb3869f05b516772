// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks read off a running process, and how they sum up repeated runs.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <vector>

namespace nookary::bench {

// A number from /proc/PID/FILE (the first word after `field`), or -1. PID 0 is this process.
inline qint64 statusField(qint64 pid, const QByteArray &file, const QByteArray &field)
{
    const QString process = pid ? QString::number(pid) : QStringLiteral("self");
    QFile f(QStringLiteral("/proc/%1/%2").arg(process, QString::fromLatin1(file)));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Proportional set size in MiB; PID 0 is this process.
inline double pssMiB(qint64 pid = 0)
{
    return statusField(pid, "smaps_rollup", "Pss:") / 1024.0;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace nookary::bench
