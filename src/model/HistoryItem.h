// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUuid>

#include <optional>

namespace nookary {

// One clipboard history entry. Never persisted.
struct HistoryItem {
    QUuid id;
    // The whole text of the copy (up to the clipboard reader's cap), or what is left of it
    // when `cut`.
    QString text;
    // The text in canonical composition (NFC), kept because every copy compares against
    // every entry and two spellings of the same accented letter must count as equal.
    QString canonicalText;
    // Folded for the search filter (`foldedEntryText` of the preview's `searchedEntryText`),
    // kept because the
    // search filter reads every entry on every keystroke.
    QString foldedText;
    // What the row, the search and a drag read (`entryPreview`): all of a text of up to
    // 20,000 characters, sharing its data.
    QString preview;
    // Not all that was copied: cut at the reader's cap, or to keep the history's memory
    // bounded.
    bool cut = false;
    // For an entry cut to save memory: a hash of the whole text's canonical form, so that a
    // later copy of that text still finds it.
    std::optional<size_t> wholeTextHash;

    static HistoryItem make(const QUuid &id, const QString &text, bool cut = false);

    // Longer than what its row shows: the row tells its size.
    bool isLong() const { return preview.size() < text.size(); }
    // The memory its texts take, each shared buffer counted once.
    qsizetype memoryBytes() const;
    // Keeps only the preview of a long entry, marked as cut. False, and unchanged, when the
    // preview ends inside a character (one longer than a preview holds): no part of it is
    // whole.
    bool cutToPreview();

    friend bool operator==(const HistoryItem &a, const HistoryItem &b)
    {
        return a.id == b.id && a.text == b.text && a.cut == b.cut;
    }
};

} // namespace nookary
