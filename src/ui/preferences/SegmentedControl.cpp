// SPDX-License-Identifier: GPL-3.0-or-later
#include "SegmentedControl.h"

#include "platform/MainQueue.h"
#include "ui/Accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace nookary {

namespace {

constexpr int kHeight = 22;
constexpr int kPaddingH = 12;
constexpr qreal kRadius = 6;

QFont smallFont()
{
    QFont f;
    f.setPixelSize(12);
    return f;
}

} // namespace

SegmentedControl::SegmentedControl(const QStringList &segments, QWidget *parent)
    : QWidget(parent)
    , m_segments(segments)
{
    Accessibility::install();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFont(smallFont());
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (index == m_current || index < -1 || index >= m_segments.size())
        return;
    const int previous = std::exchange(m_current, index);
    update();
    QAccessible::State checked;
    checked.checked = true;
    for (const int segment : { previous, index }) {
        if (segment >= 0) {
            QAccessibleStateChangeEvent event(this, checked);
            event.setChild(segment);
            if (QAccessible::isActive())
                QAccessible::updateAccessibility(&event);
        }
    }
    if (hasFocus())
        Accessibility::announceFocus(this, index);
}

int SegmentedControl::segmentWidth(int index) const
{
    return fontMetrics().horizontalAdvance(m_segments.at(index)) + 2 * kPaddingH;
}

QRect SegmentedControl::segmentRect(int index) const
{
    int x = 0;
    for (int i = 0; i < index; ++i)
        x += segmentWidth(i);
    return { x, 0, segmentWidth(index), height() };
}

QSize SegmentedControl::sizeHint() const
{
    int width = 0;
    for (int i = 0; i < m_segments.size(); ++i)
        width += segmentWidth(i);
    return { width, kHeight };
}

void SegmentedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &pal = palette();
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(frame, kRadius, kRadius);
    painter.fillPath(outline, pal.color(QPalette::Button));
    if (m_current >= 0) {
        QPainterPath selected;
        selected.addRoundedRect(QRectF(segmentRect(m_current)).adjusted(1.5, 1.5, -1.5, -1.5),
            kRadius - 1, kRadius - 1);
        painter.fillPath(selected, pal.color(QPalette::Highlight));
    }
    QColor border = pal.color(QPalette::WindowText);
    border.setAlphaF(hasFocus() ? 0.45f : 0.22f);
    painter.setPen(QPen(border, 1));
    painter.drawPath(outline);
    for (int i = 0; i < m_segments.size(); ++i) {
        const QRect r = segmentRect(i);
        if (i > 0 && i != m_current && i - 1 != m_current) {
            painter.setPen(QPen(border, 1));
            painter.drawLine(QPointF(r.left() + 0.5, 4), QPointF(r.left() + 0.5, height() - 4));
        }
        QColor text = pal.color(i == m_current ? QPalette::HighlightedText : QPalette::ButtonText);
        if (!isEnabled())
            text.setAlphaF(0.45f);
        painter.setPen(text);
        painter.drawText(r, Qt::AlignCenter, m_segments.at(i));
    }
}

void SegmentedControl::choose(int index)
{
    if (index < 0 || index >= m_segments.size())
        return;
    setCurrentIndex(index);
    Q_EMIT activated(index);
}

void SegmentedControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    for (int i = 0; i < m_segments.size(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            choose(i);
            return;
        }
    }
}

void SegmentedControl::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    // Qt announces the control itself after this handler: the chosen segment, which is what
    // the arrows change, is announced after that.
    postToNextTurn(this, [this] {
        if (hasFocus() && m_current >= 0)
            Accessibility::announceFocus(this, m_current);
    });
}

void SegmentedControl::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        choose(std::max(0, m_current - 1));
        return;
    case Qt::Key_Right:
        choose(std::min(int(m_segments.size()) - 1, m_current + 1));
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace nookary
