// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShelfDropDelegate.h"

#include "model/AppModel.h"
#include "platform/Clock.h"
#include "ui/panel/DragPayload.h"

#include <QMimeData>

namespace nookary {

namespace {

Qt::DropAction proposedAction(const AppModel &model)
{
    return model.draggedShelfID().isNull() ? Qt::CopyAction : Qt::MoveAction;
}

// A drop while a snippet's handle is dragged only ends the reorder: the order stays as the
// last move left it and no text is read.
bool endHandleDrag(AppModel &model)
{
    if (model.draggedShelfID().isNull())
        return false;
    model.setDraggedShelfID({});
    return true;
}

} // namespace

bool shelfAcceptsDrag(const QMimeData &mime)
{
    return DragPayload::offersPlainText(mime);
}

ShelfDropDelegate::ShelfDropDelegate(AppModel &model, const QUuid &targetID)
    : m_model(model)
    , m_targetID(targetID)
{
}

void ShelfDropDelegate::dropEntered() const
{
    const QUuid dragged = m_model.draggedShelfID();
    if (!dragged.isNull())
        m_model.moveShelfItem(dragged, m_targetID);
}

Qt::DropAction ShelfDropDelegate::dropUpdated() const
{
    return proposedAction(m_model);
}

bool ShelfDropDelegate::performDrop(const QMimeData &mime) const
{
    if (endHandleDrag(m_model))
        return true;
    if (!shelfAcceptsDrag(mime))
        return false;
    // Taken even when it then adds nothing (blank, undecodable, a duplicate, a full list).
    if (const std::optional<QString> text = DragPayload::droppedText(mime)) {
        m_model.savedSnippets().noteRowDrop();
        m_model.addShelfFromDrop(*text, m_targetID, DragPayload::isPartialHistoryEntry(mime));
    }
    return true;
}

ShelfColumnDropDelegate::ShelfColumnDropDelegate(AppModel &model, Clock &clock, QObject *context)
    : m_model(model)
    , m_clock(clock)
    , m_context(context)
{
}

Qt::DropAction ShelfColumnDropDelegate::dropUpdated() const
{
    return proposedAction(m_model);
}

bool ShelfColumnDropDelegate::performDrop(const QMimeData &mime) const
{
    if (endHandleDrag(m_model))
        return true;
    if (!shelfAcceptsDrag(mime))
        return false;
    const std::optional<QString> text = DragPayload::droppedText(mime);
    if (!text)
        return true;
    AppModel *model = &m_model;
    const bool partial = DragPayload::isPartialHistoryEntry(mime);
    m_clock.runAfter(m_context, applyDelay, [model, text = *text, partial] {
        if (!model->savedSnippets().columnDropAllowed())
            return; // a row has just taken this drop
        // Outside any row means the top of the whole list, not of the filtered one.
        const QList<ShelfItem> &shelf = model->savedSnippets().items();
        model->addShelfFromDrop(text, shelf.isEmpty() ? QUuid() : shelf.first().id, partial);
    });
    return true;
}

} // namespace nookary
