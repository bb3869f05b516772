// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

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

// `cut`: the bytes end where a size cap stopped reading, perhaps inside a character, whose
// first bytes are then dropped rather than decoded as a replacement character.
inline QString decodeText(const QByteArray &type, const QByteArray &bytes, bool cut = false)
{
    if (type == "STRING")
        return QString::fromLatin1(bytes);
    qsizetype end = bytes.size();
    if (cut) {
        qsizetype start = end;
        while (start > 0 && end - start < 3 && (quint8(bytes[start - 1]) & 0xC0) == 0x80)
            --start;
        if (start > 0) {
            const quint8 lead = quint8(bytes[start - 1]);
            const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (end - (start - 1) < length)
                end = start - 1;
        }
    }
    return QString::fromUtf8(bytes.constData(), end);
}

// The entries of a URL list, in order; lines starting with # are comments. Read leniently,
// as file managers write it: lines end in CR LF or LF alone, and the last may end in a NUL
// instead (PCManFM does), or in nothing.
inline QStringList urlsOfList(QByteArray list)
{
    QStringList urls;
    list.replace('\0', '\n');
    for (const QByteArray &line : list.split('\n')) {
        const QByteArray entry = line.trimmed();
        if (!entry.isEmpty() && !entry.startsWith('#'))
            urls.append(QString::fromUtf8(entry));
    }
    return urls;
}

// The forms in which files are written, so that every file manager pastes them: a URL list
// (lines ending in CR LF), GNOME's "copy" and one URL a line, and the URLs as plain text.
inline QByteArray uriListOf(const QList<QUrl> &urls)
{
    QByteArray list;
    for (const QUrl &url : urls)
        list += url.toEncoded() + "\r\n";
    return list;
}

inline QByteArray gnomeCopiedFilesOf(const QList<QUrl> &urls)
{
    QByteArray list = "copy";
    for (const QUrl &url : urls)
        list += '\n' + url.toEncoded();
    return list;
}

// The plain text of files written: a single file's URL, as ever; the paths of several, one a
// line, which is what a text field wants of them.
inline QString textOfFileURLs(const QList<QUrl> &urls)
{
    QStringList lines;
    for (const QUrl &url : urls) {
        lines.append(urls.size() > 1 && url.isLocalFile() ? url.toLocalFile()
                                                          : QString::fromUtf8(url.toEncoded()));
    }
    return lines.join(u'\n');
}

// One form of Nookary's own copy, as it is offered to a program that pastes: a type (a MIME
// type, or an X11 target name) and the bytes sent for it.
struct OfferedForm {
    QByteArray mimeType;
    QByteArray data;
};

// The forms of a written text, as Qt offers text on X11 ("STRING" is Latin-1).
inline QList<OfferedForm> formsForText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return { { "text/plain;charset=utf-8", utf8 }, { "text/plain", utf8 }, { "UTF8_STRING", utf8 },
        { "STRING", text.toLatin1() }, { "TEXT", utf8 } };
}

// Files as file managers paste them, with their paths as text for everything else.
inline QList<OfferedForm> formsForFileUrls(const QList<QUrl> &urls)
{
    QList<OfferedForm> forms { { uriListType, uriListOf(urls) },
        { gnomeCopiedFilesType, gnomeCopiedFilesOf(urls) } };
    forms.append(formsForText(textOfFileURLs(urls)));
    return forms;
}

} // namespace nookary::clipboardformats
