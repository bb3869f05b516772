// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUuid>

namespace nookary {

// One clipboard history entry. Never persisted.
struct HistoryItem {
    QUuid id;
    QString text;
    // The text in canonical composition (NFC), kept because every copy compares against
    // every entry and two spellings of the same accented letter must count as equal.
    QString canonicalText;
    // Folded for the search filter (`foldedEntryText`), kept because the search filter reads
    // every entry on every keystroke.
    QString foldedText;

    static HistoryItem make(const QUuid &id, const QString &text);

    friend bool operator==(const HistoryItem &a, const HistoryItem &b)
    {
        return a.id == b.id && a.text == b.text;
    }
};

} // namespace nookary
