// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>

// The clipboard's forms as every realisation reads and writes them, so that a copy means the
// same whichever window system carried it.
namespace nookary::clipboardformats {

// How long one read of another program's copy may take, and how much of it is taken.
inline constexpr int readTimeoutMs = 1500;
inline constexpr qsizetype readMaxBytes = 4 * 1024 * 1024;

// Set by KDE's and other password managers on what they copy.
inline constexpr char passwordHintType[] = "x-kde-passwordManagerHint";
inline constexpr char uriListType[] = "text/uri-list";
// What file managers read to paste a file ("copy", then one URL a line).
inline constexpr char gnomeCopiedFilesType[] = "x-special/gnome-copied-files";
// Text in the order it is preferred; "STRING" is Latin-1, the others UTF-8.
inline const QByteArrayList textTypes
    = { "UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING" };

inline QString decodeText(const QByteArray &type, const QByteArray &bytes)
{
    return type == "STRING" ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

// The first entry of a URL list; lines starting with # are comments.
inline std::optional<QString> firstUrlOfList(const QByteArray &list)
{
    for (const QByteArray &line : list.split('\n')) {
        const QByteArray entry = line.trimmed();
        if (!entry.isEmpty() && !entry.startsWith('#'))
            return QString::fromUtf8(entry);
    }
    return std::nullopt;
}

} // namespace nookary::clipboardformats
