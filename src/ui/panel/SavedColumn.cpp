// SPDX-License-Identifier: GPL-3.0-or-later
#include "SavedColumn.h"

#include "model/AppModel.h"
#include "ui/panel/DragAutoScroller.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/ShelfDropDelegate.h"
#include "ui/panel/ShelfRow.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QScrollArea>

namespace nookary {

SavedColumn::SavedColumn(
    AppModel &model, std::function<void(const QString &)> onCopy, QWidget *parent)
    : ScrollColumn(QStringLiteral("Saved"), QStringLiteral("Your snippets"), parent)
    , m_model(model)
    , m_onCopy(std::move(onCopy))
    , m_addRow(new AddShelfRow(content()))
    , m_empty(new EmptyState(content()))
    , m_autoScroll(new DragAutoScroller(scrollArea()))
{
    // The content fills the scroll area, so below the rows is part of it.
    content()->setAcceptDrops(true);
    content()->installEventFilter(this);
    m_autoScroll->onScrolled = [this](QPoint position) { enterRowAt(position); };
    m_empty->setText(QStringLiteral("No results"));
    connect(m_addRow, &AddShelfRow::clicked, this, [this] {
        commitOpenEditor();
        m_model.addShelfAndEdit();
    });
    connect(&m_model, &AppModel::shelfChanged, this, &SavedColumn::sync);
    connect(&m_model, &AppModel::queryChanged, this, &SavedColumn::sync);
    connect(&m_model, &AppModel::editingIDChanged, this, &SavedColumn::syncEditing);
    connect(&m_model, &AppModel::selectedColumnChanged, this, &SavedColumn::syncSelection);
    connect(&m_model, &AppModel::selectedShelfIDChanged, this, &SavedColumn::syncSelection);
    connect(&m_model, &AppModel::selectionScrollTickChanged, this,
        &SavedColumn::scrollSelectionIntoView);
    sync();
}

QString SavedColumn::shortcutLabel(qsizetype index)
{
    return index < 9 ? QStringLiteral("Ctrl+%1").arg(index + 1) : QString();
}

ShelfRow *SavedColumn::makeRow(const QUuid &id, const QString &text)
{
    auto *row = new ShelfRow(id, text, content());
    row->setAcceptDrops(true);
    row->installEventFilter(this);
    connect(row, &ShelfRow::handleDragRequested, this,
        [this, row](QPoint pressedAt) { startHandleDrag(row, pressedAt); });
    row->setPointerRest(pointerRest());
    connect(row, &RowFrame::hovered, this, [this, row, id] {
        if (!row->isEditing())
            m_model.selectShelf(id);
    });
    connect(row, &ShelfRow::copyRequested, this, [this, id](const QString &full) {
        m_model.selectShelf(id);
        m_onCopy(full);
    });
    connect(row, &ShelfRow::editRequested, this, [this, id] {
        if (m_model.editingID() != id)
            commitOpenEditor();
        m_model.startEditing(id);
    });
    connect(row, &ShelfRow::deleteRequested, this, [this, id] { m_model.deleteShelf(id); });
    connect(row, &ShelfRow::draftDone, this, [this, id](const QString &draft) {
        if (m_model.editingID() == id)
            m_model.saveEditing(id, draft);
    });
    return row;
}

void SavedColumn::startHandleDrag(ShelfRow *row, QPoint pressedAt)
{
    auto *drag = new QDrag(row->dragHandle());
    drag->setMimeData(DragPayload::forShelfHandle(row->id()).release());
    drag->setPixmap(row->dragPixmap());
    drag->setHotSpot(pressedAt);
    m_model.setDraggedShelfID(row->id());
    drag->exec(Qt::MoveAction); // runs the drag to its end
    // However it ended (dropped outside the column, cancelled with Escape), the reorder is
    // over: a stale id would turn the next text dropped on the column into a reorder.
    m_model.setDraggedShelfID({});
    m_autoScroll->stop();
}

bool SavedColumn::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        break;
    default:
        return ScrollColumn::eventFilter(watched, event);
    }
    if (watched == content())
        return handleDragEvent(content(), nullptr, event);
    if (auto *row = qobject_cast<ShelfRow *>(watched); row && m_rows.value(row->id()) == row)
        return handleDragEvent(row, row, event);
    return false;
}

bool SavedColumn::handleDragEvent(QWidget *target, ShelfRow *row, QEvent *event)
{
    if (event->type() == QEvent::DragLeave) {
        m_autoScroll->stop();
        return false;
    }
    auto *drop = static_cast<QDropEvent *>(event);
    const QMimeData *mime = drop->mimeData();
    if (!mime || !shelfAcceptsDrag(*mime)) {
        drop->ignore();
        return true;
    }
    const ShelfDropDelegate rowDelegate(m_model, row ? row->id() : QUuid());
    const ShelfColumnDropDelegate columnDelegate(m_model, this);
    if (event->type() == QEvent::Drop) {
        m_autoScroll->stop();
        const Qt::DropAction action
            = row ? rowDelegate.dropUpdated() : columnDelegate.dropUpdated();
        const bool taken = row ? rowDelegate.performDrop(*mime) : columnDelegate.performDrop(*mime);
        if (taken) {
            drop->setDropAction(action);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    m_autoScroll->notePointer(target->mapTo(scrollArea()->viewport(), drop->position().toPoint()));
    if (event->type() == QEvent::DragEnter && row)
        rowDelegate.dropEntered();
    drop->setDropAction(row ? rowDelegate.dropUpdated() : columnDelegate.dropUpdated());
    drop->accept();
    return true;
}

void SavedColumn::enterRowAt(QPoint viewportPosition)
{
    if (m_model.draggedShelfID().isNull())
        return;
    const QPoint inContent = content()->mapFrom(scrollArea()->viewport(), viewportPosition);
    for (ShelfRow *row : std::as_const(m_rows)) {
        if (row->isVisible() && row->geometry().contains(inContent)) {
            ShelfDropDelegate(m_model, row->id()).dropEntered();
            return;
        }
    }
}

void SavedColumn::commitOpenEditor()
{
    const QUuid editing = m_model.editingID();
    if (ShelfRow *row = m_rows.value(editing); row && row->isEditing())
        m_model.saveEditing(editing, row->draftText());
}

void SavedColumn::sync()
{
    QHash<QUuid, QString> alive;
    for (const ShelfItem &item : m_model.shelf())
        alive.insert(item.id, item.text);
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (!alive.contains(it.key())) {
            (*it)->setEditing(false);
            (*it)->hide();
            (*it)->deleteLater();
            it = m_rows.erase(it);
        } else {
            if ((*it)->text() != alive.value(it.key()))
                (*it)->setText(alive.value(it.key()));
            ++it;
        }
    }

    const QList<ShelfItem> filtered = m_model.filteredShelf();
    QList<QWidget *> shown;
    QSet<QUuid> visible;
    for (qsizetype i = 0; i < filtered.size(); ++i) {
        const ShelfItem &item = filtered[i];
        ShelfRow *row = m_rows.value(item.id);
        if (!row) {
            row = makeRow(item.id, item.text);
            m_rows.insert(item.id, row);
        }
        row->setShortcutLabel(shortcutLabel(i));
        row->setNote(m_model.snippetWasCutOnDrop(item.id)
                ? tr("cut", "a snippet that holds only the first part of what was dropped")
                : QString());
        shown.append(row);
        visible.insert(item.id);
    }
    for (ShelfRow *row : std::as_const(m_rows))
        row->setVisible(visible.contains(row->id()));

    const bool searching = !m_model.query().trimmed().isEmpty();
    m_addRow->setListEmpty(m_model.shelf().isEmpty());
    m_addRow->setVisible(!searching);
    m_empty->setVisible(searching && filtered.isEmpty());
    arrange(shown, { m_empty, m_addRow });
    syncEditing();
    syncSelection();
}

void SavedColumn::syncEditing()
{
    for (ShelfRow *row : std::as_const(m_rows))
        row->setEditing(row->id() == m_model.editingID());
}

void SavedColumn::syncSelection()
{
    const bool active = m_model.selectedColumn() == AppModel::Column::saved;
    for (ShelfRow *row : std::as_const(m_rows))
        row->setSelected(active && row->id() == m_model.selectedShelfID());
}

void SavedColumn::scrollSelectionIntoView()
{
    if (m_model.selectedColumn() != AppModel::Column::saved || m_model.selectedShelfID().isNull())
        return;
    if (ShelfRow *row = m_rows.value(m_model.selectedShelfID()))
        scrollToCentre(row);
}

QList<ShelfRow *> SavedColumn::visibleRows() const
{
    QList<ShelfRow *> out;
    for (const ShelfItem &item : m_model.filteredShelf()) {
        if (ShelfRow *row = m_rows.value(item.id))
            out.append(row);
    }
    return out;
}

} // namespace nookary
