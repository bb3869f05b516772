// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

// The recorder's look. Its fills and borders are thin veils of the text colour (white on a
// dark theme, where the design comes from; black on a light one, where white would vanish).
namespace nookary::RecorderStyle {

inline QColor primary(const QWidget &w)
{
    return w.palette().color(QPalette::WindowText);
}
inline QColor secondary(const QWidget &w)
{
    QColor c = primary(w);
    c.setAlphaF(0.55f);
    return c;
}
inline QColor accent(const QWidget &w)
{
    return w.palette().color(QPalette::Highlight);
}
inline QColor veil(const QWidget &w, float opacity)
{
    QColor c = primary(w);
    c.setAlphaF(opacity);
    return c;
}
inline QColor withOpacity(QColor c, float opacity)
{
    c.setAlphaF(opacity);
    return c;
}

inline QFont font(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont f = QGuiApplication::font();
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

inline constexpr qreal cornerRadius = 10;

} // namespace nookary::RecorderStyle
