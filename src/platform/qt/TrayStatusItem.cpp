// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayStatusItem.h"

#include "core/TextDirection.h"
#include "platform/sni/StatusNotifierItem.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

Q_LOGGING_CATEGORY(lcTray, "nookary.tray")

namespace nookary {

namespace {

// How long a StatusNotifierWatcher may take to answer before the XEmbed tray is used.
constexpr int kWatcherAnswerMs = 1000;
// How often a waiting notice asks for an XEmbed tray: soon at first, then less often.
constexpr int kFirstTrayWaitMs = 500;
constexpr int kLongestTrayWaitMs = 30000;

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

// Qt draws a menu item's shortcut as a paragraph in the menu's direction, so a mirrored
// menu shows "Ctrl+," as ",+Ctrl". Held left to right, it reads as the keys are labelled.
class LeftToRightShortcutsStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        const qsizetype tab = item ? item->text.indexOf(u'\t') : -1;
        if (element != CE_MenuItem || tab < 0 || option->direction != Qt::RightToLeft)
            return QProxyStyle::drawControl(element, option, painter, widget);
        QStyleOptionMenuItem held(*item);
        held.text = item->text.left(tab + 1)
            + TextDirection::leftToRightInMirrored(item->text.mid(tab + 1));
        QProxyStyle::drawControl(element, &held, painter, widget);
    }
};

bool isX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

TrayStatusItem::TrayStatusItem(QObject *parent)
    : StatusItem(parent)
{
    // It acts where Qt draws the menu (an XEmbed tray's); a StatusNotifierItem host draws
    // it itself, from the label and the shortcut given apart.
    if (QGuiApplication::isRightToLeft()) {
        auto *style = new LeftToRightShortcutsStyle;
        style->setParent(this);
        m_menu.setStyle(style);
    }
    connect(&m_menu, &QMenu::aboutToShow, this, &TrayStatusItem::refillMenu);
    m_messageWait.setSingleShot(true);
    m_messageWait.setInterval(100);
    connect(&m_messageWait, &QTimer::timeout, this, &TrayStatusItem::showPendingMessage);
    m_trayWait.setSingleShot(true);
    connect(&m_trayWait, &QTimer::timeout, this, &TrayStatusItem::showPendingMessage);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_statusNotifier
            = std::make_unique<sni::StatusNotifierItem>(bus, m_menu, [this] { refillMenu(); });
        connect(m_statusNotifier.get(), &sni::StatusNotifierItem::activated, this,
            &StatusItem::clicked);
        connect(m_statusNotifier.get(), &sni::StatusNotifierItem::contextMenuRequested, this,
            [this](const QPoint &place) { m_menu.popup(place); });
        connect(m_statusNotifier.get(), &sni::StatusNotifierItem::shownChanged, this,
            &TrayStatusItem::chooseTray);
        connect(m_statusNotifier.get(), &sni::StatusNotifierItem::settled, this,
            &TrayStatusItem::chooseTray);
        m_statusNotifier->start();
    }
    QTimer::singleShot(kWatcherAnswerMs, this, [this] {
        m_waitedForWatcher = true;
        chooseTray();
    });
    chooseTray();
}

TrayStatusItem::~TrayStatusItem() = default;

void TrayStatusItem::setIcon(const QIcon &icon)
{
    m_icon = icon;
    if (m_statusNotifier)
        m_statusNotifier->setIcon(shownIcon());
    if (m_xembed)
        m_xembed->setIcon(shownIcon());
    chooseTray();
}

bool TrayStatusItem::isAvailable() const
{
    // Asking Qt before the XEmbed icon is made would fix its choice of tray too early.
    return (m_statusNotifier && m_statusNotifier->isShown())
        || (m_xembed && QSystemTrayIcon::isSystemTrayAvailable());
}

void TrayStatusItem::setDimmed(bool dimmed)
{
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
    if (m_icon.isNull())
        return;
    if (m_statusNotifier) {
        m_statusNotifier->setIcon(shownIcon());
        // The pause entry says the other word now; not while its own action still runs.
        QTimer::singleShot(0, m_statusNotifier.get(), &sni::StatusNotifierItem::refreshMenu);
    }
    if (m_xembed)
        m_xembed->setIcon(shownIcon());
}

QRect TrayStatusItem::geometry() const
{
    // A StatusNotifierItem host does not say where the icon is.
    return m_xembed && m_xembed->isVisible() ? m_xembed->geometry() : QRect();
}

void TrayStatusItem::setMenuBuilder(std::function<void(QMenu &)> builder)
{
    m_builder = std::move(builder);
}

void TrayStatusItem::showMessage(const QString &title, const QString &text)
{
    // Kept until a tray shows the icon: at login the tray often starts after Nookary. The
    // desktop's notifications show a mirrored English's direction marks as they are, and
    // Qt's balloon, wrapping the marked text, cuts off its first letters.
    m_pendingMessage = { TextDirection::withoutMarks(title), TextDirection::withoutMarks(text) };
    m_messageWaits = 0;
    m_trayWait.stop();
    m_trayWait.setInterval(kFirstTrayWaitMs);
    showPendingMessage();
}

void TrayStatusItem::showPendingMessage()
{
    if (!m_pendingMessage)
        return;
    const auto [title, text] = *m_pendingMessage;
    if (m_statusNotifier && m_statusNotifier->isShown()) {
        // A StatusNotifierItem has no balloon of its own: the desktop's notifications show it.
        m_pendingMessage.reset();
        QDBusMessage notify
            = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                QStringLiteral("/org/freedesktop/Notifications"),
                QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        notify << QStringLiteral("Nookary") << 0u << QStringLiteral("com.dorwen.Nookary") << title
               << text << QStringList() << QVariantMap() << 10000;
        QDBusConnection::sessionBus().asyncCall(notify);
        return;
    }
    if (!m_xembed || !m_xembed->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable()) {
        // chooseTray() asks again when a StatusNotifierItem host shows the icon; an XEmbed
        // tray that starts later gets it without a word from Qt, so it is asked for.
        if (m_xembed && !m_trayWait.isActive()) {
            m_trayWait.start();
            m_trayWait.setInterval(std::min(m_trayWait.interval() * 2, kLongestTrayWaitMs));
        }
        return;
    }
    // An XEmbed tray places the icon a moment after it is shown; until then its place reads
    // as the screen's corner, where a balloon would point.
    constexpr int kWaits = 20;
    const QRect place = m_xembed->geometry();
    const bool placed = !place.isEmpty() && place.topLeft() != QPoint(0, 0);
    if (!placed && ++m_messageWaits < kWaits) {
        if (!m_messageWait.isActive())
            m_messageWait.start();
        return;
    }
    m_pendingMessage.reset();
    m_xembed->showMessage(title, text, QSystemTrayIcon::Warning, 10000);
    alignBalloonToLeadingEdge();
}

void TrayStatusItem::alignBalloonToLeadingEdge()
{
    // Qt's balloon aligns each text by the text's own direction, so a mirrored English would
    // stand at the trailing edge, under a mirrored title row. Qt shows it at once, as a
    // top-level widget of its own.
    if (!QGuiApplication::isRightToLeft())
        return;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->inherits("QBalloonTip") || !window->isVisible())
            continue;
        const auto labels = window->findChildren<QLabel *>();
        for (QLabel *label : labels) {
            if (!label->text().isEmpty())
                label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute
                    | (label->alignment() & Qt::AlignVertical_Mask));
        }
    }
}

void TrayStatusItem::refillMenu()
{
    m_menu.clear();
    if (m_builder)
        m_builder(m_menu);
}

void TrayStatusItem::chooseTray()
{
    chooseTrayIcon();
    showPendingMessage();
}

void TrayStatusItem::chooseTrayIcon()
{
    if (m_statusNotifier && m_statusNotifier->isShown()) {
        if (m_xembed && m_xembed->isVisible()) {
            qCInfo(lcTray) << "A StatusNotifierItem host shows the icon now";
            m_xembed->hide();
        }
        return;
    }
    if (m_statusNotifier && !m_statusNotifier->isSettled() && !m_waitedForWatcher)
        return;
    if (isX11() && !m_xembed)
        makeXEmbedIcon();
    if (m_xembed && !m_icon.isNull() && !m_xembed->isVisible())
        m_xembed->show();
    if (!m_saidNoTray && !isAvailable()) {
        m_saidNoTray = true;
        const bool laterTrayShows = m_statusNotifier || m_xembed;
        qCInfo(lcTray).noquote()
            << "No system tray yet; the panel opens with `Nookary --show`, or the global "
               "shortcut where one is set."
            << (laterTrayShows ? "The icon appears when a tray starts."
                               : "Without a session bus no tray can show the icon here.");
    }
}

void TrayStatusItem::popUpMenu(const QPoint &at)
{
    m_menu.popup(at);
}

void TrayStatusItem::makeXEmbedIcon()
{
    m_xembed = std::make_unique<QSystemTrayIcon>();
    m_xembed->setToolTip(QStringLiteral("Nookary"));
    m_xembed->setContextMenu(&m_menu);
    if (!m_icon.isNull())
        m_xembed->setIcon(shownIcon());
    connect(m_xembed.get(), &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                Q_EMIT clicked();
        });
}

QIcon TrayStatusItem::shownIcon() const
{
    return m_dimmed ? dimmedCopy(m_icon) : m_icon;
}

} // namespace nookary
