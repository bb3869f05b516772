// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusNotifierItem.h"

#include "platform/sni/DBusMenuExporter.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcStatusNotifier, "nookary.tray")

namespace nookary::sni {

namespace {

const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

// org.kde.StatusNotifierItem, as KDE, GNOME's AppIndicator support, Xfce, LXQt and the
// wlroots bars read it.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ empty)
    Q_PROPERTY(QString IconThemePath READ empty)
    Q_PROPERTY(nookary::sni::IconPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ empty)
    Q_PROPERTY(nookary::sni::IconPixmapList OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ empty)
    Q_PROPERTY(nookary::sni::IconPixmapList AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ empty)
    Q_PROPERTY(nookary::sni::ToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem &item)
        : QDBusAbstractAdaptor(&item)
        , m_item(item)
    {
        connect(&item, &StatusNotifierItem::newIcon, this, &StatusNotifierItemAdaptor::NewIcon);
        connect(&item, &StatusNotifierItem::newTitle, this, &StatusNotifierItemAdaptor::NewTitle);
        connect(
            &item, &StatusNotifierItem::newToolTip, this, &StatusNotifierItemAdaptor::NewToolTip);
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("Nookary"); }
    QString title() const { return m_item.title(); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString empty() const { return {}; }
    IconPixmapList iconPixmap() const { return m_item.pixmaps(); }
    IconPixmapList noPixmaps() const { return {}; }
    ToolTip toolTip() const { return { {}, {}, m_item.title(), {} }; }
    // A left click is a click of ours (it toggles the panel), not "show the menu".
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(StatusNotifierItem::menuPath); }

public Q_SLOTS:
    void Activate(int x, int y) { Q_EMIT m_item.activated(QPoint(x, y)); }
    void SecondaryActivate(int, int) { }
    void ContextMenu(int x, int y) { Q_EMIT m_item.contextMenuRequested(QPoint(x, y)); }
    void Scroll(int, const QString &) { }

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);

private:
    StatusNotifierItem &m_item;
};

StatusNotifierItem::StatusNotifierItem(
    QDBusConnection connection, QMenu &menu, std::function<void()> refillMenu, QObject *parent)
    : QObject(parent)
    , m_connection(std::move(connection))
    , m_menu(new DBusMenuExporter(menu, std::move(refillMenu), this))
    , m_serviceName(QStringLiteral("org.kde.StatusNotifierItem-%1-nookary")
                        .arg(QCoreApplication::applicationPid()))
    , m_title(QStringLiteral("Nookary"))
{
    registerTypes();
    new StatusNotifierItemAdaptor(*this);
}

StatusNotifierItem::~StatusNotifierItem()
{
    // Hosts drop the item when its name goes.
    if (m_connection.isConnected()) {
        m_connection.unregisterObject(itemPath);
        m_connection.unregisterObject(menuPath);
        m_connection.unregisterService(m_serviceName);
    }
}

bool StatusNotifierItem::start()
{
    if (!m_connection.isConnected() || !m_connection.registerService(m_serviceName)
        || !m_connection.registerObject(itemPath, this, QDBusConnection::ExportAdaptors)
        || !m_menu->exportOn(m_connection, menuPath)) {
        qCInfo(lcStatusNotifier) << "Cannot offer a StatusNotifierItem on the session bus:"
                                 << m_connection.lastError().message();
        m_settled = true;
        Q_EMIT settled();
        return false;
    }
    m_watcher = new QDBusServiceWatcher(
        watcherService, m_connection, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &newOwner) {
            if (newOwner.isEmpty())
                setRegistered(false, false);
            else
                registerWithWatcher();
        });
    // A host that starts after the watcher, or leaves; the watcher says so.
    for (const char *signal : { "StatusNotifierHostRegistered", "StatusNotifierHostUnregistered" })
        m_connection.connect(watcherService, watcherPath, kWatcherInterface,
            QString::fromLatin1(signal), this, SLOT(askWhetherAHostShows()));
    registerWithWatcher();
    return true;
}

void StatusNotifierItem::setIcon(const QIcon &icon)
{
    m_pixmaps = iconPixmaps(icon);
    Q_EMIT newIcon();
}

void StatusNotifierItem::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT newTitle();
    Q_EMIT newToolTip();
}

void StatusNotifierItem::refreshMenu()
{
    m_menu->refresh();
}

void StatusNotifierItem::askWatcher(const QString &interface, const QString &method,
    const QVariantList &arguments, std::function<void(const QDBusMessage &reply)> answer)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(watcherService, watcherPath, interface, method);
    call.setArguments(arguments);
    auto *pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
        [this, attempt = m_attempt, answer = std::move(answer)](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            if (attempt == m_attempt)
                answer(call->reply());
        });
}

void StatusNotifierItem::registerWithWatcher()
{
    ++m_attempt;
    askWatcher(kWatcherInterface, QStringLiteral("RegisterStatusNotifierItem"), { m_serviceName },
        [this](const QDBusMessage &reply) {
            if (reply.type() != QDBusMessage::ReplyMessage) {
                // No watcher yet (the usual case when none runs): the watcher's arrival
                // brings the next attempt.
                setRegistered(false, false);
                return;
            }
            m_registered = true;
            askWhetherAHostShows();
        });
}

void StatusNotifierItem::askWhetherAHostShows()
{
    if (!m_registered)
        return;
    askWatcher(kPropertiesInterface, QStringLiteral("Get"),
        { kWatcherInterface, QStringLiteral("IsStatusNotifierHostRegistered") },
        [this](const QDBusMessage &reply) {
            // A watcher without the property is an old one whose hosts show everything.
            const bool hostShows = reply.type() != QDBusMessage::ReplyMessage
                || reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
            setRegistered(true, hostShows);
        });
}

void StatusNotifierItem::setRegistered(bool registered, bool hostShows)
{
    m_registered = registered;
    const bool shown = registered && hostShows;
    const bool firstAnswer = !m_settled;
    m_settled = true;
    if (shown != m_shown) {
        m_shown = shown;
        qCDebug(lcStatusNotifier) << "StatusNotifierItem shown:" << shown;
        Q_EMIT shownChanged(shown);
    }
    if (firstAnswer)
        Q_EMIT settled();
}

} // namespace nookary::sni

#include "StatusNotifierItem.moc"
