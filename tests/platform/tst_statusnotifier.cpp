// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon as a StatusNotifierItem, against a fake watcher on a bus of the test's own:
// it is shown when a watcher with a host appears after it, again when one comes back, and
// the test, as a host would, reads its icon and menu and clicks them.
#include "platform/sni/StatusNotifierItem.h"

#include "PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::sni;

class TestStatusNotifier : public QObject {
    Q_OBJECT

    test::PrivateBus m_bus;
    QProcess m_watcher;
    int m_connections = 0;
    int m_layoutUpdates = 0;

    QDBusConnection connect()
    {
        return QDBusConnection::connectToBus(
            m_bus.address(), QStringLiteral("sni-test-%1").arg(++m_connections));
    }
    void startWatcher(const QStringList &arguments = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        m_watcher.setProcessEnvironment(env);
        m_watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_watcher.start(QStringLiteral(FAKE_WATCHER_BINARY), arguments);
        QVERIFY(m_watcher.waitForStarted(5000));
        QDBusConnection bus = connect();
        QTRY_VERIFY_WITH_TIMEOUT(
            bus.interface()->isServiceRegistered(StatusNotifierItem::watcherService), 10000);
    }
    void stopWatcher()
    {
        m_watcher.terminate();
        if (!m_watcher.waitForFinished(5000))
            m_watcher.kill();
    }
    QStringList registeredItems()
    {
        QDBusMessage get = QDBusMessage::createMethodCall(StatusNotifierItem::watcherService,
            StatusNotifierItem::watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << StatusNotifierItem::watcherService
            << QStringLiteral("RegisteredStatusNotifierItems");
        const QDBusReply<QDBusVariant> reply = connect().call(get, QDBus::BlockWithGui);
        return reply.isValid() ? reply.value().variant().toStringList() : QStringList();
    }
    // A call on the item, answered by this process's own event loop.
    QDBusMessage callItem(const StatusNotifierItem &item, const QString &path,
        const QString &interface, const QString &method, const QVariantList &arguments)
    {
        QDBusMessage call
            = QDBusMessage::createMethodCall(item.serviceName(), path, interface, method);
        call.setArguments(arguments);
        return connect().call(call, QDBus::BlockWithGui);
    }
    QVariant itemProperty(const StatusNotifierItem &item, const QString &name)
    {
        const QDBusMessage reply = callItem(item, StatusNotifierItem::itemPath,
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
            { QStringLiteral("org.kde.StatusNotifierItem"), name });
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    MenuLayoutItem menuLayout(const StatusNotifierItem &item, uint *revision = nullptr)
    {
        const QDBusMessage reply
            = callItem(item, StatusNotifierItem::menuPath, QStringLiteral("com.canonical.dbusmenu"),
                QStringLiteral("GetLayout"), { 0, -1, QStringList() });
        if (revision)
            *revision = reply.arguments().value(0).toUInt();
        return qdbus_cast<MenuLayoutItem>(reply.arguments().value(1));
    }
    static QStringList labels(const MenuLayoutItem &layout)
    {
        QStringList out;
        for (const MenuLayoutItem &child : layout.children) {
            out << (child.properties.value(QStringLiteral("type")) == QStringLiteral("separator")
                    ? QStringLiteral("-")
                    : child.properties.value(QStringLiteral("label")).toString());
        }
        return out;
    }

public Q_SLOTS:
    // The menu's LayoutUpdated, as a host receives it.
    void layoutUpdated(uint, int) { ++m_layoutUpdates; }

private Q_SLOTS:
    void initTestCase()
    {
        registerTypes();
        QVERIFY2(m_bus.start(), qPrintable(m_bus.errorString()));
    }

    void cleanup() { stopWatcher(); }

    void aWatcherThatComesLaterOrBackShowsTheItem()
    {
        QMenu menu;
        StatusNotifierItem item(connect(), menu, {});
        QSignalSpy settled(&item, &StatusNotifierItem::settled);
        QVERIFY(item.start());
        // No watcher yet: settled at once, not shown.
        QTRY_COMPARE(settled.size(), 1);
        QVERIFY(!item.isShown());

        startWatcher();
        QTRY_VERIFY(item.isShown());
        QCOMPARE(
            registeredItems(), QStringList { item.serviceName() + StatusNotifierItem::itemPath });

        // The tray goes (a panel restarting) and comes back: the item registers again.
        stopWatcher();
        QTRY_VERIFY(!item.isShown());
        startWatcher();
        QTRY_VERIFY(item.isShown());
        QCOMPARE(registeredItems().size(), 1);
        QCOMPARE(settled.size(), 1);
    }

    void aWatcherWithoutAHostShowsNothingUntilOneComes()
    {
        startWatcher({ QStringLiteral("--no-host") });
        QMenu menu;
        StatusNotifierItem item(connect(), menu, {});
        QSignalSpy shown(&item, &StatusNotifierItem::shownChanged);
        QVERIFY(item.start());
        QTRY_VERIFY(item.isSettled());
        QTRY_COMPARE(registeredItems().size(), 1);
        QVERIFY(!item.isShown());
        auto setHost = [this](bool host) {
            QDBusMessage call = QDBusMessage::createMethodCall(StatusNotifierItem::watcherService,
                QStringLiteral("/control"), QStringLiteral("org.nookary.FakeWatcher"),
                QStringLiteral("SetHost"));
            call << host;
            connect().call(call, QDBus::BlockWithGui);
        };
        setHost(true);
        QTRY_VERIFY(item.isShown());
        setHost(false);
        QTRY_VERIFY(!item.isShown());
        QCOMPARE(shown.size(), 2);
    }

    void aHostReadsTheIconAndClicksIt()
    {
        startWatcher();
        QMenu menu;
        StatusNotifierItem item(connect(), menu, {});
        QVERIFY(item.start());
        QTRY_VERIFY(item.isShown());

        // One opaque red pixel at the top left, the rest clear: ARGB in network byte order.
        QPixmap picture(32, 32);
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(0, 0, 1, 1, Qt::red);
        QSignalSpy newIcon(&item, &StatusNotifierItem::newIcon);
        item.setIcon(QIcon(picture));
        QCOMPARE(newIcon.size(), 1);
        const auto pixmaps = qdbus_cast<IconPixmapList>(
            itemProperty(item, QStringLiteral("IconPixmap")).value<QDBusArgument>());
        QVERIFY(!pixmaps.isEmpty());
        const IconPixmap &big = pixmaps.last();
        QCOMPARE(big.argb.size(), big.width * big.height * 4);
        QCOMPARE(big.argb.left(4), QByteArray("\xff\xff\x00\x00", 4));
        QCOMPARE(big.argb.right(4), QByteArray(4, '\0'));
        QCOMPARE(itemProperty(item, QStringLiteral("Title")).toString(), QStringLiteral("Nookary"));
        QCOMPARE(itemProperty(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path(),
            StatusNotifierItem::menuPath);

        QSignalSpy activated(&item, &StatusNotifierItem::activated);
        QSignalSpy contextMenu(&item, &StatusNotifierItem::contextMenuRequested);
        callItem(item, StatusNotifierItem::itemPath, QStringLiteral("org.kde.StatusNotifierItem"),
            QStringLiteral("Activate"), { 40, 2 });
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.at(0).at(0).toPoint(), QPoint(40, 2));
        callItem(item, StatusNotifierItem::itemPath, QStringLiteral("org.kde.StatusNotifierItem"),
            QStringLiteral("ContextMenu"), { 40, 2 });
        QCOMPARE(contextMenu.size(), 1);
    }

    // The host shows the menu as a right click would fill it, and a click on an entry
    // triggers that entry.
    void aHostShowsTheMenuAndChoosesFromIt()
    {
        startWatcher();
        QMenu menu;
        bool paused = false;
        int opened = 0;
        auto refill = [&] {
            menu.clear();
            menu.addAction(QStringLiteral("&Open Nookary"), [&] { ++opened; });
            menu.addSeparator();
            menu.addAction(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"),
                [&] { paused = !paused; });
            menu.addAction(QStringLiteral("snake_case"))->setEnabled(false);
        };
        StatusNotifierItem item(connect(), menu, refill);
        QVERIFY(item.start());
        QTRY_VERIFY(item.isShown());

        uint revision = 0;
        MenuLayoutItem layout = menuLayout(item, &revision);
        QCOMPARE(labels(layout),
            (QStringList { QStringLiteral("_Open Nookary"), QStringLiteral("-"),
                QStringLiteral("Pause"), QStringLiteral("snake__case") }));
        QCOMPARE(layout.children.at(3).properties.value(QStringLiteral("enabled")), false);

        auto click = [&](int id) {
            callItem(item, StatusNotifierItem::menuPath, QStringLiteral("com.canonical.dbusmenu"),
                QStringLiteral("Event"),
                { id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u });
        };
        click(layout.children.at(0).id);
        QTRY_COMPARE(opened, 1);

        // Pausing changes an entry: the host is told, and a new layout says "Resume".
        QVERIFY(connect().connect(item.serviceName(), StatusNotifierItem::menuPath,
            QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("LayoutUpdated"), this,
            SLOT(layoutUpdated(uint, int))));
        click(layout.children.at(2).id);
        QTRY_VERIFY(paused);
        QTRY_VERIFY(m_layoutUpdates > 0);
        uint newRevision = 0;
        QCOMPARE(labels(menuLayout(item, &newRevision)).at(2), QStringLiteral("Resume"));
        QVERIFY(newRevision > revision);
        // Nothing changed since: AboutToShow asks for no update.
        const QDBusMessage again = callItem(item, StatusNotifierItem::menuPath,
            QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("AboutToShow"), { 0 });
        QCOMPARE(again.arguments().value(0).toBool(), false);

        // Clicks on separators, disabled entries and unknown ids do nothing.
        click(2);
        click(4);
        click(99);
        QTest::qWait(50);
        QCOMPARE(opened, 1);
        QVERIFY(paused);
    }
};

QTEST_MAIN(TestStatusNotifier)
#include "tst_statusnotifier.moc"
