// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/HistoryItem.h"
#include "model/ShelfItem.h"

#include <QList>
#include <QObject>
#include <QUuid>

#include <optional>

namespace nookary {

class ClipboardHistory;

// What the panel shows and where its selection is: the search query, both lists narrowed
// by it, the selected column and row of each, whether the selection still follows the
// newest copy (the default one of an opening, untouched by the user), and the request that
// asks the views to scroll the selection into sight. Reads the lists it is given; changes
// none of them. The selecting calls below are the user's: each ends the following.
class PanelState final : public QObject {
    Q_OBJECT

public:
    enum class Column { saved, history };
    Q_ENUM(Column)
    enum class Nav { up, down, left, right };
    Q_ENUM(Nav)

    // The lists must outlive this object; `shelfRevision` rises with each change of `shelf`.
    PanelState(const ClipboardHistory &history, const QList<ShelfItem> &shelf,
        const quint64 &shelfRevision, QObject *parent = nullptr);

    QString query() const { return m_query; }
    void setQuery(const QString &query);

    // Both lists narrowed by the trimmed query, lower-cased and in canonical form, in list
    // order. Cached until the query or the list changes, since the panel reads them several
    // times a keystroke.
    QList<ShelfItem> filteredShelf() const;
    QList<HistoryItem> filteredHistory() const;

    Column selectedColumn() const { return m_selectedColumn; }
    void setSelectedColumn(Column column);
    QUuid selectedShelfID() const { return m_selectedShelfID; }
    void setSelectedShelfID(const QUuid &id);
    QUuid selectedHistoryID() const { return m_selectedHistoryID; }
    void setSelectedHistoryID(const QUuid &id);

    void selectShelf(const QUuid &id);
    void selectHistory(const QUuid &id);
    void moveSelection(Nav direction);
    // Keeps the selection on a visible row after the lists changed.
    void ensureSelectionValid();
    void selectDefaultOnOpen(bool preferSaved);
    // The selection of an opening: the newest copy when `historyFirst` and there is one,
    // else the first snippet. It follows the copies that land until the user selects.
    void selectDefault(bool historyFirst);
    // A copy landed in the history: the selection follows it while it is the default one,
    // or (after only a change of column from it) stays on the history's first row.
    void followLandedCopy(bool historyFirst);
    // Whether the selection is where the next copy lands and moves with it.
    bool followsNewestCopy(bool historyFirst) const;
    // Asks the views to scroll the selection into sight (the selected row moved).
    void revealSelection();
    std::optional<QString> selectedText() const;
    // The snippet at `index` (1 to 9) of the filtered saved list.
    std::optional<ShelfItem> shelfItemForShortcut(int index) const;

Q_SIGNALS:
    void queryChanged();
    void selectedColumnChanged();
    void selectedShelfIDChanged();
    void selectedHistoryIDChanged();
    void selectionRevealRequested();

private:
    QString filterNeedle() const;
    void stopFollowing();
    void assignColumn(Column column);
    void assignShelfID(const QUuid &id);
    void assignHistoryID(const QUuid &id);
    void pickShelf(const QUuid &id);
    void pickHistory(const QUuid &id);
    void moveSelectionOnce(Nav direction);

    template <typename Item> struct FilterCache {
        QString needle;
        quint64 revision = ~quint64(0);
        QList<Item> result;
    };

    const ClipboardHistory &m_history;
    const QList<ShelfItem> &m_shelf;
    const quint64 &m_shelfRevision;
    QString m_query;
    Column m_selectedColumn = Column::saved;
    QUuid m_selectedShelfID;
    QUuid m_selectedHistoryID;
    // The selection is the default one applied on opening, not moved by the user since.
    bool m_selectionIsDefault = false;
    // Since the default selection, the user only changed column: in the history, its first
    // row stays selected as copies land.
    bool m_onlyColumnChanged = false;
    mutable FilterCache<ShelfItem> m_shelfFilter;
    mutable FilterCache<HistoryItem> m_historyFilter;
};

} // namespace nookary
