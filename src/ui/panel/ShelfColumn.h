// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/ScrollColumn.h"

#include <QHash>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>

class QLabel;

namespace nookary {

class AddShelfRow;
class AppModel;
class PanelState;
class Shelf;
class Clock;
class DragAutoScroller;
class EmptyState;
class QuietTimer;
class ShelfRow;
class UndoBar;

// The right column: the saved snippets narrowed by the query, their badges, in-place
// editing, and the row that adds a snippet. It takes drops: a snippet dragged by its
// handle reorders the list under the pointer, text dropped on a row is saved in front of
// it and text dropped elsewhere in the column at the top. Rows are kept by snippet id, so
// a reorder moves them and never rebuilds one (which would end the drag or an edit).
class ShelfColumn final : public ScrollColumn {
    Q_OBJECT

public:
    // Drops outside the rows are applied on `clock`.
    ShelfColumn(AppModel &model, Clock &clock, std::function<void(const QString &)> onCopy,
        QWidget *parent = nullptr);
    ~ShelfColumn() override;

    void sync();
    void syncSelection();
    void syncEditing();
    void scrollSelectionIntoView();
    // The row's menu (Copy, Edit, Delete, Move Up, Move Down) at `global`, or under the row
    // for a null point.
    void showContextMenu(const QUuid &id, QPoint global);

    QList<ShelfRow *> visibleRows() const;
    ShelfRow *row(const QUuid &id) const { return m_rows.value(id); }
    AddShelfRow *addRow() const { return m_addRow; }
    EmptyState *emptyState() const { return m_empty; }
    DragAutoScroller *autoScroller() const { return m_autoScroll; }
    UndoBar *undoBar() const { return m_undoBar; }

    // The badge of the row at position `index` (from 0) of the filtered list.
    static QString shortcutLabel(qsizetype index);

    // Why a full list takes no more snippets: the add row's tooltip, and the notice a
    // refused drop shows over the bottom of the column for `noticeDuration`.
    static QString fullListReason();
    static constexpr std::chrono::milliseconds noticeDuration { 4000 };
    QLabel *notice() const { return m_notice; }
    // The wait before the notice goes; a test replaces it to end the wait itself.
    void setNoticeTimer(std::unique_ptr<QuietTimer> timer);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    ShelfRow *makeRow(const QUuid &id, const QString &text);
    void startHandleDrag(ShelfRow *row, QPoint pressedAt);
    // A drag over a row or the column's empty area, as its two handlers decide.
    bool handleDragEvent(QWidget *target, ShelfRow *row, QEvent *event);
    // The auto-scroll moved the rows under a still pointer: a snippet dragged by its
    // handle takes the place of the row now under it, as if the pointer had entered it.
    void enterRowAt(QPoint viewportPosition);
    // An open editor commits before another edit starts, as losing focus would.
    void commitOpenEditor();
    void followPointerInRows();
    void showNotice(const QString &text);
    void placeNotice();

    AppModel &m_model;
    PanelState &m_panel;
    Shelf &m_snippets;
    Clock &m_clock;
    std::function<void(const QString &)> m_onCopy;
    QHash<QUuid, ShelfRow *> m_rows;
    AddShelfRow *m_addRow;
    EmptyState *m_empty;
    DragAutoScroller *m_autoScroll;
    UndoBar *m_undoBar;
    QLabel *m_notice;
    std::unique_ptr<QuietTimer> m_noticeTimer;
};

} // namespace nookary
