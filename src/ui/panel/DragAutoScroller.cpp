// SPDX-License-Identifier: GPL-3.0-or-later
#include "DragAutoScroller.h"

#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace nookary {

DragAutoScroller::DragAutoScroller(QScrollArea *area)
    : QObject(area)
    , m_area(area)
{
    m_timer.setInterval(tickIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &DragAutoScroller::tick);
}

int DragAutoScroller::stepFor(QPoint position) const
{
    const int height = m_area->viewport()->height();
    // Deeper into a band is faster; the band is never more than a third of the area.
    const int band = std::min(edgeBand, height / 3);
    if (band <= 0)
        return 0;
    const auto speed = [band](int depth) {
        return int(std::ceil(maxStep * double(std::clamp(depth, 1, band)) / band));
    };
    if (position.y() < band)
        return -speed(band - position.y());
    if (position.y() >= height - band)
        return speed(position.y() - (height - band) + 1);
    return 0;
}

void DragAutoScroller::notePointer(QPoint viewportPosition)
{
    m_pointer = viewportPosition;
    if (stepFor(m_pointer) == 0)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}

void DragAutoScroller::stop()
{
    m_timer.stop();
}

bool DragAutoScroller::tick()
{
    const int step = stepFor(m_pointer);
    QScrollBar *bar = m_area->verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before + step);
    if (bar->value() == before)
        return false; // at the end, or out of the bands: waits for the pointer to move
    if (onScrolled)
        onScrolled(m_pointer);
    return true;
}

} // namespace nookary
