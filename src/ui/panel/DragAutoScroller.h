// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <functional>

class QScrollArea;

namespace nookary {

// Scrolls an area while a drag hovers near its top or bottom edge, faster the closer the
// pointer is to the edge, so that a row can be dragged past the rows on screen. The
// owner reports where the drag is and when it leaves or drops.
class DragAutoScroller final : public QObject {
    Q_OBJECT

public:
    // The height of the band along each edge that scrolls, and the largest step per tick.
    static constexpr int edgeBand = 36;
    static constexpr int maxStep = 16;
    static constexpr int tickIntervalMs = 16;

    explicit DragAutoScroller(QScrollArea *area);

    // The drag's pointer, in the coordinates of the area's viewport.
    void notePointer(QPoint viewportPosition);
    void stop();
    bool isScrolling() const { return m_timer.isActive(); }

    // One step of scrolling; whether the content moved. Its timer calls it.
    bool tick();

    // Called after each step that moved the content, with the pointer's position: the
    // rows under a still pointer have changed.
    std::function<void(QPoint viewportPosition)> onScrolled;

private:
    int stepFor(QPoint viewportPosition) const;

    QScrollArea *m_area;
    QPoint m_pointer;
    QTimer m_timer;
};

} // namespace nookary
