// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon when the tray comes after Nookary, on a real X server: an XEmbed tray
// (tint2) and a StatusNotifierItem watcher (a fake one, on a bus of the test's own) that
// start late both get the icon, one at a time, and the test, as a StatusNotifierItem host,
// opens the panel by a click and from the menu.
#include "PrivateBus.h"
#include "TestDesk.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QtTest>

using namespace nookary::test;

namespace {

const QString kWatcher = QStringLiteral(FAKE_WATCHER_BINARY);
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

class TestDeskTray : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    PrivateBus m_bus;
    QProcessEnvironment m_env;
    QProcess *m_nookary = nullptr;
    QProcess *m_watcher = nullptr;
    int m_connections = 0;

    QDBusConnection bus()
    {
        return QDBusConnection::connectToBus(
            m_bus.address(), QStringLiteral("desk-tray-%1").arg(++m_connections));
    }
    QString xembedIcon() { return m_desk->trayIcon(); }
    QString panel() { return m_desk->panelWindow(); }

    // The items the watcher lists, as "service/path".
    QStringList registeredItems()
    {
        QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService,
            QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << kWatcherService << QStringLiteral("RegisteredStatusNotifierItems");
        const QDBusReply<QDBusVariant> reply = bus().call(get);
        return reply.isValid() ? reply.value().variant().toStringList() : QStringList();
    }
    QDBusMessage callItem(const QString &path, const QString &interface, const QString &method,
        const QVariantList &arguments)
    {
        const QString item = registeredItems().value(0);
        QDBusMessage call
            = QDBusMessage::createMethodCall(item.section(u'/', 0, 0), path, interface, method);
        call.setArguments(arguments);
        return bus().call(call);
    }
    void startWatcher()
    {
        m_watcher = m_desk->spawn(kWatcher, {}, m_env);
        QTRY_VERIFY_WITH_TIMEOUT(
            bus().interface()->isServiceRegistered(kWatcherService).value(), 10000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_bus.start(), qPrintable(m_bus.errorString()));
        m_desk = std::make_unique<TestDesk>(TestDesk::Options { true, false });
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        m_env = m_desk->environment();
        m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        m_nookary = m_desk->startNookary({ .environment = m_env });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
    }

    void eachTrayThatComesLaterGetsTheIconOneAtATime()
    {
        QTest::qWait(1500); // past the wait for a watcher's answer
        QVERIFY(xembedIcon().isEmpty());

        // An XEmbed tray first.
        QProcess *tint2 = m_desk->spawn(QStringLiteral("tint2"), {});
        QTRY_VERIFY_WITH_TIMEOUT(!xembedIcon().isEmpty(), 10000);

        // Then a StatusNotifierItem host: it shows the icon, and the XEmbed one goes.
        startWatcher();
        QTRY_COMPARE_WITH_TIMEOUT(registeredItems().size(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(xembedIcon().isEmpty(), 5000);

        // The host goes: the XEmbed tray gets the icon back.
        TestDesk::stop(m_watcher);
        QTRY_VERIFY_WITH_TIMEOUT(!xembedIcon().isEmpty(), 10000);

        // Without an XEmbed tray, a watcher that comes back lists the icon again.
        TestDesk::stop(tint2);
        QTRY_VERIFY_WITH_TIMEOUT(xembedIcon().isEmpty(), 5000);
        startWatcher();
        QTRY_COMPARE_WITH_TIMEOUT(registeredItems().size(), 1, 10000);
        QCOMPARE(m_nookary->state(), QProcess::Running);
    }

    // A host's click toggles the panel; its menu's first entry opens it.
    void theHostClicksAndChoosesFromTheMenu()
    {
        const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
        const QString itemPath = QStringLiteral("/StatusNotifierItem");
        QVERIFY(panel().isEmpty());
        callItem(itemPath, itemInterface, QStringLiteral("Activate"), { 0, 0 });
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        callItem(itemPath, itemInterface, QStringLiteral("Activate"), { 0, 0 });
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);

        const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");
        const QString menuPath = QStringLiteral("/MenuBar");
        const QDBusMessage shown
            = callItem(menuPath, menuInterface, QStringLiteral("AboutToShow"), { 0 });
        QCOMPARE(shown.type(), QDBusMessage::ReplyMessage);
        const QDBusMessage layout = callItem(
            menuPath, menuInterface, QStringLiteral("GetLayout"), { 0, -1, QStringList() });
        QCOMPARE(layout.type(), QDBusMessage::ReplyMessage);
        // (u(ia{sv}av)): the first child's label.
        const QDBusArgument root = layout.arguments().value(1).value<QDBusArgument>();
        int rootId = -1;
        QVariantMap rootProperties;
        root.beginStructure();
        root >> rootId >> rootProperties;
        root.beginArray();
        QDBusVariant first;
        root >> first;
        const QDBusArgument entry = first.variant().value<QDBusArgument>();
        int id = -1;
        QVariantMap properties;
        entry.beginStructure();
        entry >> id >> properties;
        QCOMPARE(
            properties.value(QStringLiteral("label")).toString(), QStringLiteral("Open Nookary"));
        callItem(menuPath, menuInterface, QStringLiteral("Event"),
            { id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u });
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
    }
};

QTEST_GUILESS_MAIN(TestDeskTray)
#include "tst_desk_tray.moc"
