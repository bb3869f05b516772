// SPDX-License-Identifier: GPL-3.0-or-later
#include "Shelf.h"

#include "model/EntryText.h"
#include "model/ShelfStorage.h"
#include "platform/Clock.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace nookary {

namespace {

// A text saved in another composition of the same characters looks identical: the same
// snippet.
QString savedForm(const QString &normalizedText)
{
    return canonicalEntryText(normalizedText);
}

} // namespace

Shelf::Shelf(ShelfStorage &storage, Clock &clock, qsizetype maxItems, QObject *parent)
    : QObject(parent)
    , m_storage(storage)
    , m_clock(clock)
    , m_maxItems(maxItems)
    , m_items(storage.load(maxItems))
{
}

Shelf::~Shelf()
{
    // A reorder written on the next turn is not lost to a quit in this one.
    if (m_pendingWrite.isPending())
        writeItems();
}

qsizetype Shelf::indexOf(const QUuid &id) const
{
    if (id.isNull())
        return -1;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].id == id)
            return i;
    }
    return -1;
}

void Shelf::didChange(Write write)
{
    ++m_revision;
    if (write == Write::now)
        writeItems();
    else if (!m_pendingWrite.isPending())
        m_pendingWrite
            = m_clock.runAfter(this, std::chrono::milliseconds(0), [this] { writeItems(); });
    Q_EMIT changed();
}

void Shelf::writeItems()
{
    m_pendingWrite.cancel();
    m_storage.save(m_items);
}

void Shelf::reloadIfChangedElsewhere()
{
    std::optional<QList<ShelfItem>> stored = m_storage.reloadIfChangedElsewhere(m_maxItems);
    if (!stored)
        return;
    // The snippet open in the editor stays, even where the other instance threw it away
    // (an empty new one) or deleted it: the user is still typing it.
    const qsizetype editing = indexOf(m_editingID);
    const auto storedIndex = [&](const QUuid &id) {
        return std::find_if(stored->begin(), stored->end(), [&](const ShelfItem &item) {
            return item.id == id;
        }) - stored->begin();
    };
    if (editing >= 0 && storedIndex(m_editingID) == stored->size())
        stored->insert(std::min(editing, stored->size()), m_items[editing]);
    if (*stored == m_items)
        return;
    QList<QUuid> gone;
    for (const ShelfItem &item : std::as_const(m_items)) {
        if (storedIndex(item.id) == stored->size())
            gone.append(item.id);
    }
    m_items = std::move(*stored);
    ++m_revision;
    Q_EMIT changed();
    for (const QUuid &id : std::as_const(gone))
        Q_EMIT removed(id);
}

Shelf::Added Shelf::addFromDrop(const QString &text, QUuid before, bool partial)
{
    reloadIfChangedElsewhere();
    const std::optional<QString> normalized = normalizedEntryText(text);
    if (!normalized)
        return Added::blank;
    const bool cut = partial || normalized->size() < trimmedEntryText(text).size();
    const QString canonical = savedForm(*normalized);
    const bool known = std::any_of(m_items.begin(), m_items.end(), [&](const ShelfItem &item) {
        return item.text == *normalized || savedForm(item.text) == canonical;
    });
    if (known)
        return Added::alreadySaved;
    if (m_items.size() >= m_maxItems)
        return Added::full;
    const ShelfItem item = ShelfItem::make(QUuid::createUuid(), *normalized);
    if (cut)
        m_cutOnDrop.insert(item.id);
    const qsizetype at = indexOf(before);
    if (at >= 0)
        m_items.insert(at, item);
    else
        m_items.append(item);
    didChange();
    return Added::added;
}

void Shelf::addAndEdit()
{
    reloadIfChangedElsewhere();
    discardEditingIfEmpty();
    setEditingID({});
    if (m_items.size() >= m_maxItems)
        return;
    const ShelfItem item = ShelfItem::make(QUuid::createUuid(), QString());
    m_items.append(item);
    didChange();
    setEditingID(item.id);
}

SnippetTransfer::ImportResult Shelf::importTexts(const QStringList &texts)
{
    reloadIfChangedElsewhere();
    SnippetTransfer::ImportResult result;
    QList<ShelfItem> items = m_items;
    // What is saved, and what came earlier in the file, added or not: a repeat is skipped
    // as saved even where the list has no room left for its first copy.
    QSet<QString> seen;
    for (const ShelfItem &item : items)
        seen.insert(savedForm(item.text));
    for (const QString &text : texts) {
        const std::optional<QString> normalized = normalizedEntryText(text);
        if (!normalized)
            continue;
        const QString form = savedForm(*normalized);
        if (seen.contains(form)) {
            ++result.alreadySaved;
            continue;
        }
        seen.insert(form);
        if (items.size() >= m_maxItems) {
            ++result.overLimit;
        } else {
            items.append(ShelfItem::make(QUuid::createUuid(), *normalized));
            ++result.added;
        }
    }
    if (result.added == 0)
        return result;
    if (!m_items.isEmpty())
        m_storage.keepCopyBeforeImport(m_items);
    m_items = std::move(items);
    didChange();
    return result;
}

void Shelf::setEditingID(QUuid id)
{
    const qsizetype previous = indexOf(m_editingID);
    if (id != m_editingID && previous >= 0 && trimmedEntryText(m_items[previous].text).isEmpty())
        m_abandonedEmptyID = m_editingID;
    if (id == m_editingID)
        return;
    m_editingID = id;
    Q_EMIT editingIDChanged();
}

void Shelf::startEditing(QUuid id)
{
    if (m_abandonedEmptyID == id)
        m_abandonedEmptyID = QUuid(); // taken up again
    if (m_editingID != id)
        discardEditingIfEmpty();
    setEditingID(id);
}

void Shelf::saveEditing(QUuid id, const QString &newText)
{
    reloadIfChangedElsewhere();
    const std::optional<QString> normalized = normalizedEntryText(newText);
    if (!normalized) {
        remove(id);
        setEditingID({});
        return;
    }
    const qsizetype index = indexOf(id);
    if (index < 0)
        return;
    if (m_items[index].text != *normalized)
        m_cutOnDrop.remove(id);
    m_items[index] = ShelfItem::make(id, *normalized);
    didChange();
    setEditingID({});
}

void Shelf::discardEditingIfEmpty()
{
    for (const QUuid id : { m_editingID, std::exchange(m_abandonedEmptyID, QUuid()) }) {
        const qsizetype index = indexOf(id);
        if (index >= 0 && trimmedEntryText(m_items[index].text).isEmpty())
            remove(id);
    }
}

void Shelf::remove(QUuid id)
{
    reloadIfChangedElsewhere();
    const qsizetype count = m_items.removeIf([&](const ShelfItem &item) { return item.id == id; });
    if (count > 0)
        didChange();
    if (m_editingID == id)
        setEditingID({});
    if (count > 0)
        Q_EMIT removed(id);
}

Shelf::Added Shelf::restore(const ShelfItem &item, qsizetype index)
{
    const QString canonical = canonicalEntryText(item.text);
    const bool known = std::any_of(m_items.begin(), m_items.end(), [&](const ShelfItem &saved) {
        return saved.id == item.id
            || (!canonical.isEmpty() && canonicalEntryText(saved.text) == canonical);
    });
    if (known)
        return Added::alreadySaved;
    if (m_items.size() >= m_maxItems)
        return Added::full;
    m_items.insert(std::clamp<qsizetype>(index, 0, m_items.size()), item);
    didChange();
    return Added::added;
}

void Shelf::move(QUuid draggedID, QUuid overID)
{
    if (draggedID == overID)
        return;
    reloadIfChangedElsewhere();
    const qsizetype from = indexOf(draggedID);
    const qsizetype to = indexOf(overID);
    if (from < 0 || to < 0)
        return;
    // One change: a list announced without the dragged snippet would make the panel drop its
    // row (and with it the drag's source and any open editor). This runs at every step of a
    // drag and each write waits for the disk, so the list is written after the panel has
    // drawn the step, once for the steps of one turn.
    m_items.move(from, to);
    didChange(Write::soon);
}

void Shelf::noteRowDrop()
{
    m_rowDropPriorityUntil = m_clock.now() + dropArbitrationWindow;
}

bool Shelf::columnDropAllowed() const
{
    return m_clock.now() > m_rowDropPriorityUntil;
}

} // namespace nookary
