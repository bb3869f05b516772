// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QMessageBox>
#include <QString>

#include <memory>

// The one way Nookary's alerts are made, so that each looks whole on the desktop.
namespace nookary::Alert {

// A message box whose window title is `title` without direction marks (the window manager
// shows them as they are), wide enough for that title to show whole, and whose buttons
// read well in a mirrored window. `text` is the box's heading; texts set on it later need
// fitToTitle() again, as Qt lays the box out anew.
std::unique_ptr<QMessageBox> make(QMessageBox::Icon icon, const QString &title, const QString &text,
    const QString &informativeText, QWidget *parent = nullptr);

// Keeps `box` at least widthForTitle() wide.
void fitToTitle(QMessageBox &box);

// The width a window needs for the window manager to show `title` whole in a bold `font`
// beside its icon and buttons.
int widthForTitle(const QString &title, const QFont &font);

} // namespace nookary::Alert
