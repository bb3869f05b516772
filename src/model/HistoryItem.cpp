// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryItem.h"

#include "model/EntryText.h"

namespace nookary {

HistoryItem HistoryItem::make(const QUuid &id, const QString &text)
{
    return { id, text, canonicalEntryText(text), foldedEntryText(text) };
}

} // namespace nookary
