// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

namespace nookary {

// Our own monochrome symbols (resources/icons/<name>.svg), drawn in the colour asked for,
// as the symbols of the toolkit the panel was designed for would be.
namespace SymbolIcons {

// `size` in device-independent pixels; sharp at the given device pixel ratio. A missing
// symbol gives a null pixmap.
QPixmap pixmap(const QString &name, int size, const QColor &color, qreal devicePixelRatio = 1.0);
bool exists(const QString &name);

} // namespace SymbolIcons

} // namespace nookary
