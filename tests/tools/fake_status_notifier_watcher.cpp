// SPDX-License-Identifier: GPL-3.0-or-later
// A StatusNotifierWatcher, on the session bus it is started on, for the tests of the tray
// icon that appears when a tray starts late. It lists the items that register and forgets
// those whose name leaves the bus. With --no-host it starts without a host showing the items;
// the test turns the host on and off through org.nookary.FakeWatcher at /control (SetHost).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

#include <cstdio>

namespace {

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

const QString kInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kPath = QStringLiteral("/StatusNotifierWatcher");

} // namespace

class FakeWatcher final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit FakeWatcher(bool host)
        : m_host(host)
        , m_names(QString(), bus(), QDBusServiceWatcher::WatchForUnregistration)
    {
        connect(
            &m_names, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString &name) {
                for (const QString &item : items()) {
                    if (item.section(u'/', 0, 0) == name) {
                        m_items.removeAll(item);
                        emitSignal(QStringLiteral("StatusNotifierItemUnregistered"), { item });
                    }
                }
            });
    }

    QStringList items() const { return m_items; }
    bool hostRegistered() const { return m_host; }
    int protocolVersion() const { return 0; }

    void setHost(bool host)
    {
        if (host == m_host)
            return;
        m_host = host;
        emitSignal(host ? QStringLiteral("StatusNotifierHostRegistered")
                        : QStringLiteral("StatusNotifierHostUnregistered"),
            {});
    }

public Q_SLOTS:
    // A service name, or an object path on the caller's own connection.
    void RegisterStatusNotifierItem(const QString &service)
    {
        const QString owner = service.startsWith(u'/') ? message().service() : service;
        if (!bus().interface()->isServiceRegistered(owner)) {
            sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no such service"));
            return;
        }
        const QString item
            = owner + (service.startsWith(u'/') ? service : QStringLiteral("/StatusNotifierItem"));
        if (m_items.contains(item))
            return;
        m_items.append(item);
        m_names.addWatchedService(owner);
        std::printf("registered %s\n", qPrintable(item));
        std::fflush(stdout);
        emitSignal(QStringLiteral("StatusNotifierItemRegistered"), { item });
    }
    void RegisterStatusNotifierHost(const QString &) { setHost(true); }

private:
    void emitSignal(const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, name);
        signal.setArguments(arguments);
        bus().send(signal);
    }

    QStringList m_items;
    bool m_host;
    QDBusServiceWatcher m_names;
};

class Control final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.nookary.FakeWatcher")

public:
    explicit Control(FakeWatcher &watcher)
        : m_watcher(watcher)
    {
    }

public Q_SLOTS:
    void SetHost(bool host) { m_watcher.setHost(host); }

private:
    FakeWatcher &m_watcher;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FakeWatcher watcher(!app.arguments().contains(QStringLiteral("--no-host")));
    Control control(watcher);
    if (!bus().registerObject(kPath, &watcher, QDBusConnection::ExportAllContents)
        || !bus().registerObject(
            QStringLiteral("/control"), &control, QDBusConnection::ExportAllSlots)
        || !bus().registerService(kInterface)) {
        std::fprintf(stderr, "fake watcher: %s\n", qPrintable(bus().lastError().message()));
        return 1;
    }
    return QCoreApplication::exec();
}

#include "fake_status_notifier_watcher.moc"
