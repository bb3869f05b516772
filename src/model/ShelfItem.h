// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/EntryText.h"

#include <QString>
#include <QUuid>

namespace nookary {

// One saved snippet. Persisted as {"id": UUID string, "text": string}.
struct ShelfItem {
    QUuid id;
    QString text;
    // The text folded for the search filter (`foldedEntryText` of its `searchedEntryText`);
    // follows `text` (see `make`).
    QString foldedText;

    static ShelfItem make(const QUuid &id, const QString &text)
    {
        return { id, text, foldedEntryText(searchedEntryText(text)) };
    }

    friend bool operator==(const ShelfItem &a, const ShelfItem &b)
    {
        return a.id == b.id && a.text == b.text;
    }
};

} // namespace nookary
