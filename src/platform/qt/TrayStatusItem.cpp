// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayStatusItem.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPainter>
#include <QTimer>

Q_LOGGING_CATEGORY(lcTray, "nookary.tray")

namespace nookary {

namespace {

// The paused look: every size of the picture at 0.35 opacity.
QIcon dimmedCopy(const QIcon &icon)
{
    QIcon dimmed;
    for (const QSize size : icon.availableSizes()) {
        const QPixmap source = icon.pixmap(size);
        QPixmap result(source.size());
        result.fill(Qt::transparent);
        QPainter painter(&result);
        painter.setOpacity(0.35);
        painter.drawPixmap(0, 0, source);
        painter.end();
        dimmed.addPixmap(result);
    }
    return dimmed;
}

} // namespace

TrayStatusItem::TrayStatusItem(QObject *parent)
    : StatusItem(parent)
{
    m_tray.setToolTip(QStringLiteral("Nookary"));
    m_tray.setContextMenu(&m_menu);
    connect(&m_menu, &QMenu::aboutToShow, this, [this] {
        m_menu.clear();
        if (m_builder)
            m_builder(m_menu);
    });
    connect(&m_tray, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                Q_EMIT clicked();
        });
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Only on X11 does Qt 6.4 watch for a tray that starts later.
        const bool waitsForTray = QGuiApplication::platformName() == QLatin1String("xcb");
        qCInfo(lcTray).noquote()
            << "No system tray yet; the panel opens with `Nookary --show`, or the global "
               "shortcut where one is set."
            << (waitsForTray ? "The icon appears when a tray starts."
                             : "Start Nookary again once the tray runs to see its icon.");
    }
}

void TrayStatusItem::setIcon(const QIcon &icon)
{
    m_icon = icon;
    m_tray.setIcon(m_dimmed ? dimmedCopy(m_icon) : m_icon);
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
    if (!m_icon.isNull())
        m_tray.setIcon(dimmed ? dimmedCopy(m_icon) : m_icon);
}

QRect TrayStatusItem::geometry() const
{
    return m_tray.geometry();
}

void TrayStatusItem::setMenuBuilder(std::function<void(QMenu &)> builder)
{
    m_builder = std::move(builder);
}

void TrayStatusItem::showMessage(const QString &title, const QString &text)
{
    if (!isAvailable())
        return;
    m_message = { title, text };
    m_messageWaits = 0;
    showMessageWhenPlaced();
}

void TrayStatusItem::showMessageWhenPlaced()
{
    // An XEmbed tray places the icon a moment after it is shown; until then its place reads
    // as the screen's corner, where a balloon would point. A StatusNotifierItem host never
    // tells a place: after a short wait its desktop's notification shows the message anyway.
    constexpr int kWaits = 20;
    const QRect place = m_tray.geometry();
    const bool placed = !place.isEmpty() && place.topLeft() != QPoint(0, 0);
    if (!placed && ++m_messageWaits < kWaits) {
        QTimer::singleShot(100, this, &TrayStatusItem::showMessageWhenPlaced);
        return;
    }
    m_tray.showMessage(m_message.first, m_message.second, QSystemTrayIcon::Warning);
}

} // namespace nookary
