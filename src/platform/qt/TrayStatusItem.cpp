#include "TrayStatusItem.h"

#include "ui/SymbolIcons.h"

#include <QLoggingCategory>
#include <QPainter>

Q_LOGGING_CATEGORY(lcTray, "nookary.tray")

namespace nookary {

namespace {

constexpr int kIconSize = 18;

// A light glyph with a dark rim reads on light and dark panels alike.
QPixmap trayPixmap(const QString &symbol, int size, qreal opacity)
{
    const QPixmap dark = SymbolIcons::pixmap(symbol, size, QColor(0, 0, 0, 170));
    const QPixmap light = SymbolIcons::pixmap(symbol, size, QColor(255, 255, 255));
    QPixmap result(size, size);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setOpacity(opacity);
    for (const QPoint offset : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
        painter.drawPixmap(offset, dark);
    painter.drawPixmap(0, 0, light);
    return result;
}

} // namespace

QIcon TrayStatusItem::makeIcon(qreal opacity)
{
    const QString symbol = SymbolIcons::exists(QStringLiteral("Menubaricon")) ? QStringLiteral("Menubaricon")
                                                                            : QStringLiteral("paperclip");
    QIcon icon;
    for (const int size : {kIconSize, 2 * kIconSize, 22, 24, 32})
        icon.addPixmap(trayPixmap(symbol, size, opacity));
    return icon;
}

TrayStatusItem::TrayStatusItem(QObject *parent)
    : StatusItem(parent)
{
    m_tray.setIcon(makeIcon(1.0));
    m_tray.setToolTip(QStringLiteral("Nookary"));
    m_tray.setContextMenu(&m_menu);
    connect(&m_menu, &QMenu::aboutToShow, this, [this] {
        m_menu.clear();
        if (m_builder)
            m_builder(m_menu);
    });
    connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            Q_EMIT clicked();
    });
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        qCInfo(lcTray) << "No system tray yet; the panel opens with the shortcut or `Nookary --show`."
                          " The icon appears when a tray starts.";
    m_tray.show();
}

bool TrayStatusItem::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayStatusItem::setDimmed(bool dimmed)
{
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
    m_tray.setIcon(makeIcon(dimmed ? 0.35 : 1.0));
}

QRect TrayStatusItem::geometry() const
{
    return m_tray.geometry();
}

void TrayStatusItem::setMenuBuilder(std::function<void(QMenu &)> builder)
{
    m_builder = std::move(builder);
}

} // namespace nookary
