// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace nookary {

// Saved snippets taken to another machine: the file `--export-saved` writes and
// `--import-saved` reads. Unlike the stored list, it carries no ids: an imported snippet is
// a new one on the machine that takes it in.
namespace SnippetTransfer {

// How an import file is read.
enum class Format {
    exported, // the export: a JSON array of objects, each with a string "text"
    lines, // plain text, one snippet per line
    byContent, // the export when the file starts with '[', else lines
};

// The largest file an import reads; an export of 25 snippets is far smaller.
inline constexpr qint64 maxImportBytes = 16 * 1024 * 1024;

// The export of `texts`, in their order: an indented JSON array of {"text": ...} objects.
QByteArray encode(const QStringList &texts);

// The texts an import file holds, in file order, blank ones left out; nothing when it is
// not in `format`, with `error` saying why in one sentence. Lines are UTF-8 text without
// control characters other than tabs and line ends.
std::optional<QStringList> decode(const QByteArray &bytes, Format format, QString *error);
// Whether a file that is no export would import as lines: text with a snippet or more that
// does not look like JSON (a broken export is no list of lines).
bool readsAsLines(const QByteArray &bytes);

// Writes the export of `texts` to `path`, readable by the user alone, replacing it whole or
// not at all; false with `error` saying why in one sentence. Refuses `settingsFile` and the
// copies kept beside it, whatever path leads there, and anything but a regular file.
bool writeFile(
    const QString &path, const QStringList &texts, const QString &settingsFile, QString *error);
// The bytes of an import file ("-": standard input), at most one past `maxImportBytes`; only
// a regular file is read, so that a pipe or a device never holds the reader up.
std::optional<QByteArray> readFile(const QString &path, QString *error);

// What an import did to the saved snippets.
struct ImportResult {
    int added = 0;
    int alreadySaved = 0; // equal to a snippet saved before, or earlier in the same file
    int overLimit = 0; // new, but the list was full

    friend bool operator==(const ImportResult &, const ImportResult &) = default;
};

// What an import did, in a sentence for each count that is not zero: "Imported 3 snippets.
// Skipped 2 already saved. 1 did not fit: at most 25 snippets can be saved."
QString describe(const ImportResult &result, int limit);

} // namespace SnippetTransfer

} // namespace nookary
