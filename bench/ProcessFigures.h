// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks read off a running process, and how they sum up repeated runs.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include <unistd.h>

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

// Proportional set size in MiB as the kernel counts it; PID 0 is this process.
inline double pssMiB(qint64 pid = 0)
{
    return statusField(pid, "smaps_rollup", "Pss:") / 1024.0;
}

namespace detail {

// Calls `page(frame)` for each resident page of `pid` (0: this process), read from its
// pagemap; only of mapped files when `filesOnly`. False where the frames cannot be read
// (they need root).
template <typename Page> bool forEachResidentFrame(qint64 pid, Page &&page, bool filesOnly = false)
{
    const QByteArray process = pid ? QByteArray::number(pid) : QByteArray("self");
    QFile maps(QStringLiteral("/proc/%1/maps").arg(QString::fromLatin1(process)));
    FILE *pagemap = std::fopen(("/proc/" + process + "/pagemap").constData(), "rb");
    if (!pagemap || !maps.open(QIODevice::ReadOnly)) {
        if (pagemap)
            std::fclose(pagemap);
        return false;
    }
    const quint64 pageSize = quint64(::sysconf(_SC_PAGESIZE));
    bool anyFrame = false;
    std::vector<quint64> entries;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        const qsizetype dash = line.indexOf('-');
        if (space < 0 || dash < 0 || dash > space || line.endsWith("[vsyscall]")
            || (filesOnly && !line.contains(" /")))
            continue;
        const quint64 from = line.left(dash).toULongLong(nullptr, 16) / pageSize;
        const quint64 to = line.mid(dash + 1, space - dash - 1).toULongLong(nullptr, 16) / pageSize;
        entries.resize(to - from);
        if (std::fseek(pagemap, long(from * 8), SEEK_SET) != 0
            || std::fread(entries.data(), 8, entries.size(), pagemap) != entries.size())
            continue;
        for (const quint64 entry : entries) {
            const quint64 frame = entry & ((quint64(1) << 55) - 1);
            if ((entry >> 63) && frame) { // present, and the frame is shown to us
                anyFrame = true;
                page(frame);
            }
        }
    }
    std::fclose(pagemap);
    return anyFrame;
}

} // namespace detail

// The processes other than `pid` that map the same Qt Core library as `pid` does.
inline std::vector<qint64> otherQtPrograms(qint64 pid)
{
    const auto qtCore = [](qint64 process) {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(process));
        if (!maps.open(QIODevice::ReadOnly))
            return QByteArray();
        for (const QByteArray &line : maps.readAll().split('\n')) {
            const qsizetype path = line.indexOf(" /");
            if (path >= 0 && (line.contains("/libQt5Core.so") || line.contains("/libQt6Core.so")))
                return line.mid(path + 1);
        }
        return QByteArray();
    };
    const QByteArray ours = qtCore(pid);
    std::vector<qint64> others;
    if (ours.isEmpty())
        return others;
    const QStringList entries
        = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 process = entry.toLongLong(&ok);
        if (ok && process != pid && qtCore(process) == ours)
            others.push_back(process);
    }
    return others;
}

// `pid` and the processes it started (a peer may read the clipboard in a helper of its
// own), those of them still running.
inline std::vector<qint64> processAndChildren(qint64 pid)
{
    std::vector<qint64> family { pid };
    const QStringList entries
        = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces, not a closing parenthesis
        // followed by one.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
            family.push_back(entry.toLongLong());
    }
    return family;
}

// PSS of `pid` and the processes it started, as if they were the only program on Qt's
// libraries of their version: a page that another such program maps too (the benchmark,
// the window it opens, tests of other builds running beside it) is not split with it. The
// kernel's own PSS would credit each of them with part of those pages, so that the figure
// fell as more Qt 6 programs ran and flattered Nookary beside a peer built on Qt 5. Pages
// shared with the rest (libc, the X libraries the desk's programs map) are still split as
// the kernel splits them. Falls back to the kernel's figure where page frames cannot be
// read (they need root).
inline double pssAloneMiB(qint64 pid)
{
    const std::vector<qint64> family = processAndChildren(pid);
    FILE *counts = std::fopen("/proc/kpagecount", "rb");
    if (!counts) {
        double kernel = 0;
        for (const qint64 process : family)
            kernel += pssMiB(process);
        return kernel;
    }
    std::unordered_map<quint64, quint64> othersMap;
    for (const qint64 process : otherQtPrograms(pid)) {
        if (std::find(family.begin(), family.end(), process) != family.end())
            continue;
        // Another program shares with it only the files they both map; a process of
        // another build may be gone meanwhile.
        detail::forEachResidentFrame(
            process, [&](quint64 f) { ++othersMap[f]; }, true);
    }
    const double pageSize = double(::sysconf(_SC_PAGESIZE));
    double bytes = 0;
    bool read = false;
    for (const qint64 process : family) {
        read = detail::forEachResidentFrame(process, [&](quint64 frame) {
            quint64 mappers = 1;
            if (std::fseek(counts, long(frame * 8), SEEK_SET) != 0
                || std::fread(&mappers, 8, 1, counts) != 1)
                mappers = 1;
            const auto shared = othersMap.find(frame);
            if (shared != othersMap.end())
                mappers -= std::min(mappers - 1, shared->second);
            bytes += pageSize / double(std::max<quint64>(mappers, 1));
        }) || read;
    }
    std::fclose(counts);
    return read ? bytes / (1024.0 * 1024.0) : pssMiB(pid);
}

// The load average over the last minute, as the figures beside it should be read.
inline double loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').first().toDouble() : -1;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace nookary::bench
