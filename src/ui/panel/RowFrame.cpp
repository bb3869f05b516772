// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowFrame.h"

#include "ui/Accessibility.h"
#include "ui/panel/PanelStyle.h"

#include <QContextMenuEvent>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace nookary {

RowFrame::RowFrame(const QUuid &id, QWidget *parent)
    : QWidget(parent)
    , m_id(id)
{
    Accessibility::install();
    setAttribute(Qt::WA_Hover);
    // Moves without a button tell a pointer that starts moving inside the row.
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void RowFrame::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
    QAccessible::State changed;
    changed.selected = true;
    Accessibility::announceState(this, changed);
}

QPixmap RowFrame::dragPixmap()
{
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), PanelStyle::rowRadius, PanelStyle::rowRadius);
        painter.fillPath(shape, PanelStyle::overlayFill());
    }
    render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
    return pixmap;
}

void RowFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), PanelStyle::rowRadius, PanelStyle::rowRadius);
    painter.fillPath(shape, PanelStyle::rowFill());
    if (m_selected) {
        // Only the inner half of a 1.5 wide stroke on the edge shows.
        QColor outline = PanelStyle::accent();
        outline.setAlphaF(0.9f);
        painter.setPen(QPen(outline, 0.75));
        const QRectF inner = QRectF(rect()).adjusted(0.375, 0.375, -0.375, -0.375);
        painter.drawRoundedRect(
            inner, PanelStyle::rowRadius - 0.375, PanelStyle::rowRadius - 0.375);
    }
}

void RowFrame::notePointer(QPointF global)
{
    if (m_pointed || (m_rest && !m_rest->hasMovedTo(global)))
        return;
    m_pointed = true;
    Q_EMIT hovered();
}

void RowFrame::enterEvent(QEnterEvent *event)
{
    m_pointed = false;
    notePointer(event->globalPosition());
    QWidget::enterEvent(event);
}

void RowFrame::leaveEvent(QEvent *event)
{
    m_pointed = false;
    QWidget::leaveEvent(event);
}

void RowFrame::mouseMoveEvent(QMouseEvent *event)
{
    if (!event->buttons())
        notePointer(event->globalPosition());
    QWidget::mouseMoveEvent(event);
}

void RowFrame::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void RowFrame::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        Q_EMIT clicked();
}

void RowFrame::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    Q_EMIT contextMenuRequested(event->globalPos());
}

} // namespace nookary
