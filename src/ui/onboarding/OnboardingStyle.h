// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

#include "ui/recorder/RecorderStyle.h"

// The walkthrough's look. It is an ordinary window in the desktop's own colours, so its
// cards and borders are thin veils of the text colour: white on a dark theme, where the
// design comes from, black on a light one, where white would vanish.
namespace nookary::OnboardingStyle {

// The same text colours, veils, accent and fonts as the recorder it hosts.
using RecorderStyle::accent;
using RecorderStyle::font;
using RecorderStyle::primary;
using RecorderStyle::veil;

inline QColor secondary(const QWidget &w)
{
    return veil(w, 0.6f);
}
inline bool isDark(const QWidget &w)
{
    return w.palette().color(QPalette::Window).lightnessF() < 0.5;
}
// The success green, a shade darker on light backgrounds so that it stays readable.
inline QColor green(const QWidget &w)
{
    return isDark(w) ? QColor(48, 209, 88) : QColor(30, 140, 60);
}
inline QColor windowBackground(const QWidget &w, float opacity)
{
    QColor c = w.palette().color(QPalette::Window);
    c.setAlphaF(opacity);
    return c;
}

inline QFont title2()
{
    return font(17, QFont::DemiBold);
}
inline QFont title3()
{
    return font(15);
}
inline QFont headline()
{
    return font(13, QFont::DemiBold);
}
inline QFont subheadline(QFont::Weight weight = QFont::Normal)
{
    return font(12, weight);
}
inline QFont pageTitle(int pixelSize = 36)
{
    return font(pixelSize, QFont::DemiBold);
}

} // namespace nookary::OnboardingStyle
