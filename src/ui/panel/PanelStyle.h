// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

// The panel's look, in one place. The panel is dark heads-up chrome whatever the desktop's
// theme, so text colours are light; the accent follows the desktop's highlight colour.
namespace nookary::PanelStyle {

inline QColor primary()
{
    return QColor(255, 255, 255, 235);
}
inline QColor secondary()
{
    return QColor(255, 255, 255, 140);
}
inline QColor accent()
{
    return QGuiApplication::palette().color(QPalette::Highlight);
}
// The translucent "materials" of rows and of the small overlays on them.
inline QColor rowFill()
{
    return QColor(255, 255, 255, 20);
}
inline QColor overlayFill()
{
    return QColor(70, 70, 74, 235);
}
inline QColor divider()
{
    return QColor(255, 255, 255, 36);
}

inline QFont font(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont f = QGuiApplication::font();
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}
inline QFont headline()
{
    return font(13, QFont::DemiBold);
}
inline QFont subheadline()
{
    return font(12);
}
inline QFont caption2()
{
    return font(10);
}

inline constexpr int rowRadius = 12;
inline constexpr int rowPaddingV = 8;
inline constexpr int rowPaddingH = 10;
inline constexpr int spacing = 8;

} // namespace nookary::PanelStyle
