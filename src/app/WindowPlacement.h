// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

// The arithmetic that places the panel's windows, free of any window so that it can be
// checked on its own. Rectangles are in Qt's screen coordinates (origin top left).
namespace nookary::WindowPlacement {

// A remembered size, raised to `minimum` and then cut to the visible area of the screen
// used for centring (the cut wins); nothing when it is missing, not positive or not finite.
std::optional<QSizeF> savedSize(std::optional<double> width, std::optional<double> height,
    QSizeF minimum, std::optional<QRectF> centringScreen);

// A remembered top-left corner kept inside the visible area of the first screen the window
// would touch, or of the main screen when it touches none. A window wider than the screen
// aligns with its right edge; one taller than the screen with its top edge, which keeps its
// top strip reachable.
std::optional<QPointF> savedOrigin(std::optional<double> x, std::optional<double> y, QSizeF size,
    const QList<QRectF> &visibleAreas, std::optional<QRectF> mainVisibleArea);

QPointF centred(const QRectF &visibleArea, QSizeF size);

// Whether a frame written at `storedScale` is used at `scale`: a frame of another scale
// would open the window elsewhere, or fill the screen, so the window opens as on first use.
// A frame written without its scale is used.
bool frameHoldsAtScale(std::optional<double> storedScale, double scale);

// Where the popover goes: centred under the tray icon, or above it when the icon is in the
// bottom half of its screen; at the pointer when the tray gives no place. Kept on screen.
QPoint popoverOrigin(const QRect &anchor, QSize size, const QRect &visibleArea, QPoint pointer);

} // namespace nookary::WindowPlacement
