// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

namespace nookary {

// Most user-perceived characters (grapheme clusters) an entry keeps.
inline constexpr qsizetype maxEntryCharacters = 20000;

// Most UTF-16 code units (64 KiB) that a history row, the search or a drag read of an
// entry: 20,000 characters of combining marks could otherwise hold megabytes.
inline constexpr qsizetype maxPreviewUnits = 64 * 1024 / 2;
// Most UTF-16 code units a history entry keeps. The clipboard reader's cap of 4 MiB of UTF-8
// never holds more; this bounds a clipboard read without that cap.
inline constexpr qsizetype maxHistoryTextUnits = 4 * 1024 * 1024;

// The text normalisation of snippets: trimmed of white space and line breaks at both ends,
// nothing if empty, cut to `maxEntryCharacters` grapheme clusters. Inner white space stays.
// Cheap on huge input: only the kept part is examined and copied.
std::optional<QString> normalizedEntryText(QStringView text);

// The history's form of a copied text: trimmed the same way but kept whole, up to
// `maxHistoryTextUnits` (cut there on a character boundary, which sets `cut`). Shares the
// data of a text that needs no trimming.
std::optional<QString> historyEntryText(const QString &text, bool *cut = nullptr);

// What rows, the search and drags read of a history entry: its first `maxEntryCharacters`
// characters, and no more than `maxPreviewUnits` of them. Shares the data of a text that
// short.
QString entryPreview(const QString &text);

// The longest prefix of `text` of at most `maxUnits` code units that ends between two
// characters (grapheme clusters); one that ends between code points where its first
// character alone is longer than that.
qsizetype characterPrefixLength(QStringView text, qsizetype maxUnits);
// Whether `at` lies between two characters of `text` (or at either end).
bool isCharacterBoundary(QStringView text, qsizetype at);

// Bytes of `text` in UTF-8, as the size of a copy is told.
qint64 utf8Size(QStringView text);

// The local files an entry names: each of its lines a file:// URL of a local file. Empty for
// any other text.
QList<QUrl> entryFileURLs(const QString &text);

// The first `count` grapheme clusters of `text`, or all of it when it has no more.
QString firstCharacters(QStringView text, qsizetype count);

// What a row shows for an entry: the file name of a file:// URL (of the first, for an entry
// of several files), otherwise the text.
QString displayText(const QString &text);

// What the search filter reads of an entry: for files, their paths, decoded, so that the
// name a row shows is found as shown; otherwise the text.
QString searchedEntryText(const QString &text);

// Trimmed of Unicode white space and line breaks at both ends, without copying.
QStringView trimmedEntryText(QStringView text);

// The form in which two texts compare equal exactly when they are canonically equivalent.
// A text with more than 30 combining marks in a row, which no language needs, is taken as it
// stands: putting such a run in canonical order costs quadratic time.
QString canonicalEntryText(const QString &text);

// The form the search filter compares: lower-cased, then canonical, so that a typed query
// finds a text however its accented letters were composed.
QString foldedEntryText(const QString &text);

} // namespace nookary
