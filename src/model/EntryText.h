// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace nookary {

// Most user-perceived characters (grapheme clusters) an entry keeps.
inline constexpr qsizetype maxEntryCharacters = 20000;

// The one text normalisation of history entries and snippets: trimmed of white space and
// line breaks at both ends, nothing if empty, cut to `maxEntryCharacters` grapheme clusters.
// Inner white space stays. Cheap on huge input: only the kept part is examined and copied.
std::optional<QString> normalizedEntryText(QStringView text);

// The first `count` grapheme clusters of `text`, or all of it when it has no more.
QString firstCharacters(QStringView text, qsizetype count);

// What a row shows for an entry: the file name of a file:// URL, otherwise the text.
QString displayText(const QString &text);

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
