// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryItem.h"

#include "model/EntryText.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace nookary {

HistoryItem HistoryItem::make(const QUuid &id, const QString &text, bool cut)
{
    const QString preview = entryPreview(text);
    return { id, text, canonicalEntryText(text), foldedEntryText(searchedEntryText(preview)),
        preview, cut, {} };
}

qsizetype HistoryItem::memoryBytes() const
{
    const std::array<const QString *, 4> texts { &text, &canonicalText, &foldedText, &preview };
    qsizetype bytes = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QChar *data = texts[i]->constData();
        const bool counted = std::any_of(texts.begin(), texts.begin() + qsizetype(i),
            [data](const QString *earlier) { return earlier->constData() == data; });
        if (!counted)
            bytes += texts[i]->size() * qsizetype(sizeof(QChar));
    }
    return bytes;
}

bool HistoryItem::cutToPreview()
{
    if (!isLong())
        return true;
    if (!isCharacterBoundary(text, preview.size()))
        return false;
    wholeTextHash = qHash(canonicalText, 0);
    text = preview;
    canonicalText = canonicalEntryText(text);
    cut = true;
    return true;
}

} // namespace nookary
