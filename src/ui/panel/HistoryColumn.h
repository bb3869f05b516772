// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/ScrollColumn.h"

#include <QHash>
#include <QUuid>

#include <functional>

namespace nookary {

class AppModel;
class PanelState;
class ClipboardHistory;
class EmptyState;
class HistoryRow;
class UndoBar;

// The left column: the history narrowed by the query. Pointing at a row selects it; a
// click copies it through `onCopy`.
class HistoryColumn final : public ScrollColumn {
    Q_OBJECT

public:
    HistoryColumn(
        AppModel &model, std::function<void(const QString &)> onCopy, QWidget *parent = nullptr);

    void sync();
    void syncSubtitle();
    void syncSelection();
    void scrollSelectionIntoView();
    // The row's menu (Copy, Save to Saved, Delete) at `global`, or under the row for a null
    // point.
    void showContextMenu(const QUuid &id, QPoint global);

    QList<HistoryRow *> visibleRows() const;
    HistoryRow *row(const QUuid &id) const { return m_rows.value(id); }
    EmptyState *emptyState() const { return m_empty; }
    UndoBar *undoBar() const { return m_undoBar; }

private:
    AppModel &m_model;
    PanelState &m_panel;
    ClipboardHistory &m_clipboardHistory;
    std::function<void(const QString &)> m_onCopy;
    QHash<QUuid, HistoryRow *> m_rows;
    EmptyState *m_empty;
    UndoBar *m_undoBar;
};

} // namespace nookary
