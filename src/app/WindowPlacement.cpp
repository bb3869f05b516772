// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include <QRect>

#include <algorithm>
#include <cmath>

namespace nookary::WindowPlacement {

std::optional<QSizeF> savedSize(std::optional<double> width, std::optional<double> height,
    QSizeF minimum, std::optional<QRectF> centringScreen)
{
    if (!width || !height || !std::isfinite(*width) || !std::isfinite(*height))
        return std::nullopt;
    if (*width <= 0 || *height <= 0)
        return std::nullopt;
    double w = std::max(*width, minimum.width());
    double h = std::max(*height, minimum.height());
    if (centringScreen) {
        w = std::min(w, centringScreen->width());
        h = std::min(h, centringScreen->height());
    }
    return QSizeF(w, h);
}

std::optional<QPointF> savedOrigin(std::optional<double> x, std::optional<double> y, QSizeF size,
    const QList<QRectF> &visibleAreas, std::optional<QRectF> mainVisibleArea)
{
    if (!x || !y || !std::isfinite(*x) || !std::isfinite(*y))
        return std::nullopt;
    const QRectF wanted(*x, *y, size.width(), size.height());
    std::optional<QRectF> area;
    for (const QRectF &visible : visibleAreas) {
        if (visible.intersects(wanted)) {
            area = visible;
            break;
        }
    }
    if (!area)
        area = mainVisibleArea;
    if (!area)
        return std::nullopt;
    const double left = std::min(std::max(*x, area->left()), area->right() - size.width());
    // The top edge is applied last: a window taller than the screen keeps its search field
    // and drag strip on screen, where the user can still reach them.
    const double top = std::max(std::min(*y, area->bottom() - size.height()), area->top());
    return QPointF(left, top);
}

QPointF centred(const QRectF &visibleArea, QSizeF size)
{
    return { visibleArea.center().x() - size.width() * 0.5,
        visibleArea.center().y() - size.height() * 0.5 };
}

bool frameHoldsAtScale(std::optional<double> storedScale, double scale)
{
    if (!storedScale || !std::isfinite(*storedScale) || *storedScale <= 0)
        return true;
    return std::abs(*storedScale - scale) < 0.01;
}

QPoint popoverOrigin(const QRect &anchor, QSize size, const QRect &visibleArea, QPoint pointer)
{
    constexpr int gap = 4;
    const QRect from = anchor.isValid() && !anchor.isEmpty() ? anchor : QRect(pointer, QSize(1, 1));
    const bool below = from.center().y() < visibleArea.center().y();
    int x = from.center().x() - size.width() / 2;
    int y = below ? from.bottom() + 1 + gap : from.top() - gap - size.height();
    x = std::clamp(x, visibleArea.left(),
        std::max(visibleArea.left(), visibleArea.right() + 1 - size.width()));
    y = std::clamp(y, visibleArea.top(),
        std::max(visibleArea.top(), visibleArea.bottom() + 1 - size.height()));
    return { x, y };
}

} // namespace nookary::WindowPlacement
