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
// by it, the selected column and row of each, and the counter that asks the views to
// scroll the selection into sight. Reads the lists it is given; changes none of them.
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
    void ensureSelectionValid();
    void selectDefaultOnOpen(bool preferSaved);
    void moveSelection(Nav direction);
    // Asks the views to scroll the selection into sight (the selected row moved).
    void revealSelection();
    std::optional<QString> selectedText() const;

Q_SIGNALS:
    void queryChanged();
    void selectedColumnChanged();
    void selectedShelfIDChanged();
    void selectedHistoryIDChanged();
    void selectionRevealRequested();

private:
    QString filterNeedle() const;

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
    mutable FilterCache<ShelfItem> m_shelfFilter;
    mutable FilterCache<HistoryItem> m_historyFilter;
};

} // namespace nookary
