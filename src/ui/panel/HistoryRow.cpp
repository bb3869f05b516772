// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryRow.h"

#include "model/EntryText.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMouseEvent>

namespace nookary {

HistoryRow::HistoryRow(const QUuid &id, const QString &text, QWidget *parent)
    : RowFrame(id, parent)
    , m_text(text)
    , m_label(new ElidedLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::rowPaddingH, PanelStyle::rowPaddingV,
        PanelStyle::rowPaddingH, PanelStyle::rowPaddingV);
    layout->addWidget(m_label);
    m_label->setText(displayText(text));
}

void HistoryRow::mousePressEvent(QMouseEvent *event)
{
    m_pressedAt = event->button() == Qt::LeftButton ? std::optional(event->position().toPoint())
                                                    : std::nullopt;
    RowFrame::mousePressEvent(event);
}

void HistoryRow::mouseMoveEvent(QMouseEvent *event)
{
    RowFrame::mouseMoveEvent(event);
    event->accept();
    if (!m_pressedAt || !(event->buttons() & Qt::LeftButton)
        || (event->position().toPoint() - *m_pressedAt).manhattanLength()
            < QApplication::startDragDistance())
        return;
    const QPoint pressedAt = *std::exchange(m_pressedAt, std::nullopt);
    forgetPress();
    // The full text, not the one shown, is what gets saved.
    auto *drag = new QDrag(this);
    drag->setMimeData(DragPayload::forHistoryEntry(m_text).release());
    drag->setPixmap(dragPixmap());
    drag->setHotSpot(pressedAt);
    drag->exec(Qt::CopyAction);
}

QString HistoryRow::shownText() const
{
    return m_label->shownText();
}

} // namespace nookary
