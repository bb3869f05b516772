// SPDX-License-Identifier: GPL-3.0-or-later
#include "SymbolIcons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// The icons are compiled into a static library, whose resources must be pulled in by hand.
static void initSymbolResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(done);
}

namespace nookary {

namespace {

QString resourcePath(const QString &name)
{
    initSymbolResources();
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

} // namespace

bool SymbolIcons::exists(const QString &name)
{
    return QFile::exists(resourcePath(name));
}

QPixmap SymbolIcons::pixmap(const QString &name, int size, const QColor &color, qreal dpr)
{
    // Rows ask for the same few symbols over and over: keep what was drawn.
    static QHash<QString, QPixmap> cache;
    const QString key
        = QStringLiteral("%1/%2/%3/%4").arg(name).arg(size).arg(color.rgba()).arg(dpr);
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;

    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid())
        return {};
    const int pixels = qRound(size * dpr);
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    {
        QPainter painter(&result);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, pixels, pixels));
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(result.rect(), color);
    }
    result.setDevicePixelRatio(dpr);
    cache.insert(key, result);
    return result;
}

} // namespace nookary
