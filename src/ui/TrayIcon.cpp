// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayIcon.h"

#include "ui/SymbolIcons.h"

#include <QPainter>

namespace nookary {

namespace {

constexpr int kIconSize = 18;

QPixmap trayPixmap(const QString &symbol, int size)
{
    const QPixmap dark = SymbolIcons::pixmap(symbol, size, QColor(0, 0, 0, 170));
    const QPixmap light = SymbolIcons::pixmap(symbol, size, QColor(255, 255, 255));
    QPixmap result(size, size);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    for (const QPoint offset : { QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1) })
        painter.drawPixmap(offset, dark);
    painter.drawPixmap(0, 0, light);
    return result;
}

} // namespace

QIcon TrayIcon::make()
{
    const QString symbol = SymbolIcons::exists(QStringLiteral("Menubaricon"))
        ? QStringLiteral("Menubaricon")
        : QStringLiteral("paperclip");
    QIcon icon;
    for (const int size : { kIconSize, 2 * kIconSize, 22, 24, 32 })
        icon.addPixmap(trayPixmap(symbol, size));
    return icon;
}

} // namespace nookary
