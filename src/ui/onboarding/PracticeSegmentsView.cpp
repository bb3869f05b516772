// SPDX-License-Identifier: GPL-3.0-or-later
#include "PracticeSegmentsView.h"

#include "ui/Accessibility.h"
#include "ui/onboarding/OnboardingStyle.h"

#include <QPainter>

namespace nookary {

PracticeSegmentsView::PracticeSegmentsView(QWidget *parent)
    : QWidget(parent)
{
    Accessibility::install(); // a progress bar of five for readers
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PracticeSegmentsView::setState(int filled, bool active)
{
    if (filled == m_filled && active == m_active)
        return;
    const bool moved = filled != m_filled;
    m_filled = filled;
    m_active = active;
    update();
    if (moved && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, filled);
        QAccessible::updateAccessibility(&event);
    }
}

void PracticeSegmentsView::setSegmentWidth(int width)
{
    if (width == m_segmentWidth)
        return;
    m_segmentWidth = width;
    updateGeometry();
    update();
}

QSize PracticeSegmentsView::sizeHint() const
{
    return { segmentCount * m_segmentWidth + (segmentCount - 1) * spacing, segmentHeight };
}

void PracticeSegmentsView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setOpacity(m_active ? 1.0 : 0.5);
    QColor empty = OnboardingStyle::secondary(*this);
    empty.setAlphaF(empty.alphaF() * 0.22f);
    const QColor full = OnboardingStyle::accent(*this);
    for (int i = 0; i < segmentCount; ++i) {
        painter.setBrush(m_active && i < m_filled ? full : empty);
        const QRectF segment(i * (m_segmentWidth + spacing), 0, m_segmentWidth, segmentHeight);
        painter.drawRoundedRect(segment, radius, radius);
    }
}

} // namespace nookary
