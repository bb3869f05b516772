// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelState.h"

#include "model/ClipboardHistory.h"
#include "model/EntryText.h"

#include <algorithm>

namespace nookary {

namespace {

template <typename T, typename Signal>
void assign(PanelState *state, T &member, const T &value, Signal signal)
{
    if (member == value)
        return;
    member = value;
    Q_EMIT(state->*signal)();
}

template <typename Item, typename Cache>
const QList<Item> &filtered(
    const QList<Item> &items, quint64 revision, const QString &needle, Cache &cache)
{
    if (cache.revision == revision && cache.needle == needle)
        return cache.result;
    cache.revision = revision;
    cache.needle = needle;
    if (needle.isEmpty()) {
        cache.result = items;
        return cache.result;
    }
    cache.result.clear();
    for (const Item &item : items) {
        if (item.foldedText.contains(needle))
            cache.result.append(item);
    }
    return cache.result;
}

} // namespace

PanelState::PanelState(const ClipboardHistory &history, const QList<ShelfItem> &shelf,
    const quint64 &shelfRevision, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_shelf(shelf)
    , m_shelfRevision(shelfRevision)
{
}

void PanelState::setQuery(const QString &query)
{
    assign(this, m_query, query, &PanelState::queryChanged);
}

void PanelState::setSelectedColumn(Column column)
{
    stopFollowing();
    assignColumn(column);
}

void PanelState::setSelectedShelfID(const QUuid &id)
{
    stopFollowing();
    assignShelfID(id);
}

void PanelState::setSelectedHistoryID(const QUuid &id)
{
    stopFollowing();
    assignHistoryID(id);
}

void PanelState::stopFollowing()
{
    m_selectionIsDefault = false;
    m_onlyColumnChanged = false;
}

void PanelState::assignColumn(Column column)
{
    assign(this, m_selectedColumn, column, &PanelState::selectedColumnChanged);
}

void PanelState::assignShelfID(const QUuid &id)
{
    assign(this, m_selectedShelfID, id, &PanelState::selectedShelfIDChanged);
}

void PanelState::assignHistoryID(const QUuid &id)
{
    assign(this, m_selectedHistoryID, id, &PanelState::selectedHistoryIDChanged);
}

// Filtering

QString PanelState::filterNeedle() const
{
    return foldedEntryText(m_query.trimmed());
}

QList<ShelfItem> PanelState::filteredShelf() const
{
    return filtered(m_shelf, m_shelfRevision, filterNeedle(), m_shelfFilter);
}

QList<HistoryItem> PanelState::filteredHistory() const
{
    return filtered(m_history.items(), m_history.revision(), filterNeedle(), m_historyFilter);
}

// Selection

void PanelState::selectShelf(const QUuid &id)
{
    stopFollowing();
    pickShelf(id);
}

void PanelState::selectHistory(const QUuid &id)
{
    stopFollowing();
    pickHistory(id);
}

void PanelState::pickShelf(const QUuid &id)
{
    assignColumn(Column::saved);
    assignShelfID(id);
    if (!id.isNull())
        assignHistoryID({});
}

void PanelState::pickHistory(const QUuid &id)
{
    assignColumn(Column::history);
    assignHistoryID(id);
    if (!id.isNull())
        assignShelfID({});
}

void PanelState::ensureSelectionValid()
{
    const QList<ShelfItem> shelf = filteredShelf();
    const QList<HistoryItem> history = filteredHistory();
    auto contains = [](const auto &list, const QUuid &id) {
        return !id.isNull() && std::any_of(list.begin(), list.end(), [&](const auto &item) {
            return item.id == id;
        });
    };
    if (m_selectedColumn == Column::history) {
        if (!history.isEmpty()) {
            if (!contains(history, m_selectedHistoryID))
                assignHistoryID(history.first().id);
        } else if (!shelf.isEmpty()) {
            pickShelf(shelf.first().id);
        } else {
            assignShelfID({});
            assignHistoryID({});
        }
    } else {
        if (!shelf.isEmpty()) {
            if (!contains(shelf, m_selectedShelfID))
                assignShelfID(shelf.first().id);
        } else if (!history.isEmpty()) {
            pickHistory(history.first().id);
        } else {
            assignShelfID({});
            assignHistoryID({});
        }
    }
}

void PanelState::selectDefaultOnOpen(bool preferSaved)
{
    const QList<ShelfItem> shelf = filteredShelf();
    const QList<HistoryItem> history = filteredHistory();
    if (preferSaved && !shelf.isEmpty()) {
        pickShelf(shelf.first().id);
    } else if (!history.isEmpty()) {
        pickHistory(history.first().id);
    } else if (!shelf.isEmpty()) {
        pickShelf(shelf.first().id);
    } else {
        assignShelfID({});
        assignHistoryID({});
    }
}

void PanelState::selectDefault(bool historyFirst)
{
    const QList<HistoryItem> history = filteredHistory();
    if (historyFirst && !history.isEmpty())
        pickHistory(history.first().id);
    else
        selectDefaultOnOpen(true);
    m_selectionIsDefault = true;
    m_onlyColumnChanged = false;
}

void PanelState::followLandedCopy(bool historyFirst)
{
    if (m_selectionIsDefault) {
        selectDefault(historyFirst);
    } else if (m_onlyColumnChanged && m_selectedColumn == Column::history) {
        if (const QList<HistoryItem> history = filteredHistory(); !history.isEmpty())
            pickHistory(history.first().id);
    }
}

bool PanelState::followsNewestCopy(bool historyFirst) const
{
    const bool inHistory = m_selectedColumn == Column::history;
    return (m_selectionIsDefault && (inHistory || historyFirst))
        || (m_onlyColumnChanged && inHistory);
}

void PanelState::moveSelection(Nav direction)
{
    // From the default selection, a change of column reaches the history's first row: where
    // the copy the user just made lands.
    const bool followedNewest = m_selectionIsDefault || m_onlyColumnChanged;
    m_selectionIsDefault = false;
    m_onlyColumnChanged = false;
    moveSelectionOnce(direction);
    m_onlyColumnChanged = followedNewest && (direction == Nav::left || direction == Nav::right);
}

void PanelState::moveSelectionOnce(Nav direction)
{
    ensureSelectionValid();
    const QList<ShelfItem> shelf = filteredShelf();
    const QList<HistoryItem> history = filteredHistory();
    auto indexOf = [](const auto &list, const QUuid &id) -> qsizetype {
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list[i].id == id)
                return i;
        }
        return -1;
    };
    auto step = [&](const auto &list, const QUuid &selected, auto select) {
        if (list.isEmpty())
            return false;
        const qsizetype index = std::max<qsizetype>(indexOf(list, selected), 0);
        const qsizetype next = direction == Nav::down ? std::min(index + 1, list.size() - 1)
                                                      : std::max<qsizetype>(index - 1, 0);
        select(list[next].id);
        return true;
    };
    auto jump = [&](const auto &list, const QUuid &remembered, auto select) {
        if (!list.isEmpty())
            select(indexOf(list, remembered) >= 0 ? remembered : list.first().id);
    };
    const auto selectShelfRow = [this](const QUuid &id) { pickShelf(id); };
    const auto selectHistoryRow = [this](const QUuid &id) { pickHistory(id); };

    switch (direction) {
    case Nav::up:
    case Nav::down: {
        const bool moved = m_selectedColumn == Column::history
            ? step(history, m_selectedHistoryID, selectHistoryRow)
            : step(shelf, m_selectedShelfID, selectShelfRow);
        if (!moved)
            return; // an empty column: not even the scroll counter moves
        break;
    }
    case Nav::left:
        jump(history, m_selectedHistoryID, selectHistoryRow);
        break;
    case Nav::right:
        jump(shelf, m_selectedShelfID, selectShelfRow);
        break;
    }
    Q_EMIT selectionRevealRequested();
}

void PanelState::revealSelection()
{
    Q_EMIT selectionRevealRequested();
}

std::optional<QString> PanelState::selectedText() const
{
    if (m_selectedColumn == Column::history) {
        for (const HistoryItem &item : m_history.items()) {
            if (!m_selectedHistoryID.isNull() && item.id == m_selectedHistoryID)
                return item.text;
        }
        return std::nullopt;
    }
    if (m_selectedShelfID.isNull())
        return std::nullopt;
    for (const ShelfItem &item : m_shelf) {
        if (item.id == m_selectedShelfID)
            return item.text;
    }
    return std::nullopt;
}

std::optional<ShelfItem> PanelState::shelfItemForShortcut(int index) const
{
    if (index < 1 || index > 9)
        return std::nullopt;
    const QList<ShelfItem> shelf = filteredShelf();
    if (index > shelf.size())
        return std::nullopt;
    return shelf[index - 1];
}

} // namespace nookary
