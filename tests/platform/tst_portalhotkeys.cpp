// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portal/PortalGlobalHotkeyService.h"
#include "platform/portal/PortalTrigger.h"

#include "PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace std::chrono_literals;

namespace {

const HotkeyShortcut kCtrlAltSpace = HotkeyShortcut::defaultShortcut();
const HotkeyShortcut kSuperShiftV { 9, HotkeyShortcut::commandBit | HotkeyShortcut::shiftBit };

} // namespace

class TestPortalHotkeys : public QObject {
    Q_OBJECT

private:
    test::PrivateBus m_bus;
    QProcess m_portal;
    QString m_address;
    int m_connections = 0;

    QDBusConnection connect()
    {
        return QDBusConnection::connectToBus(
            m_address, QStringLiteral("portal-test-%1").arg(++m_connections));
    }
    void startPortal()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        m_portal.setProcessEnvironment(env);
        m_portal.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_portal.start(QStringLiteral(FAKE_PORTAL_BINARY), {});
        QVERIFY(m_portal.waitForStarted(5000));
        QDBusConnection bus = connect();
        QTRY_VERIFY_WITH_TIMEOUT(
            bus.interface()->isServiceRegistered(PortalGlobalHotkeyService::portalService), 10000);
    }
    // Asks the fake portal's control side.
    QDBusMessage control(const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(PortalGlobalHotkeyService::portalService,
            QStringLiteral("/control"), QStringLiteral("org.nookary.FakePortal"), method);
        call.setArguments(arguments);
        return connect().call(call);
    }
    void answer(const QString &how, const QString &trigger = {})
    {
        const QDBusMessage reply = control(QStringLiteral("SetAnswer"), { how, trigger });
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
    }
    int count(const QString &what)
    {
        const QDBusMessage reply = control(what);
        return reply.arguments().value(0).toInt();
    }
    void press(const QString &id, bool otherSession)
    {
        control(QStringLiteral("Press"), { id, otherSession });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_bus.start(), qPrintable(m_bus.errorString()));
        m_address = m_bus.address();
    }

    void cleanupTestCase()
    {
        m_portal.terminate();
        if (!m_portal.waitForFinished(5000))
            m_portal.kill();
    }

    // First, while no portal runs on the bus.
    void withoutAPortalThereIsNoService()
    {
        QVERIFY(!PortalGlobalHotkeyService::create(connect(), 2000ms));
        startPortal();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(PortalGlobalHotkeyService::create(connect(), 5000ms));
    }

    void theStoredShortcutIsAskedForInTheDesktopsWords()
    {
        QCOMPARE(PortalTrigger::preferredTrigger(kCtrlAltSpace), QStringLiteral("CTRL+ALT+space"));
        QCOMPARE(PortalTrigger::preferredTrigger(kSuperShiftV), QStringLiteral("SHIFT+LOGO+v"));
        QCOMPARE(PortalTrigger::preferredTrigger({ 50, HotkeyShortcut::controlBit }),
            QStringLiteral("CTRL+grave"));
        QCOMPARE(PortalTrigger::preferredTrigger({ 122, HotkeyShortcut::optionBit }),
            QStringLiteral("ALT+F1"));
        QCOMPARE(PortalTrigger::preferredTrigger({ 29, HotkeyShortcut::controlBit }),
            QStringLiteral("CTRL+0"));
        QCOMPARE(PortalTrigger::preferredTrigger(HotkeyShortcut::off()), QString());
        QCOMPARE(PortalTrigger::preferredTrigger({ 200, HotkeyShortcut::controlBit }), QString());
    }

    void aBoundShortcutIsAnsweredLaterAndPressed()
    {
        auto service = PortalGlobalHotkeyService::create(connect(), 5000ms);
        QVERIFY(service);
        QVERIFY(service->answersLater());
        answer(QStringLiteral("bound"));
        QSignalSpy bound(service.get(), &GlobalHotkeyService::registrationBound);
        QSignalSpy refused(service.get(), &GlobalHotkeyService::registrationRefused);
        QSignalSpy pressed(service.get(), &GlobalHotkeyService::pressed);
        QVERIFY(service->registerHotkey(kCtrlAltSpace));
        QTRY_COMPARE(bound.size(), 1);
        QCOMPARE(bound.at(0).at(0).toString(), QStringLiteral("CTRL+ALT+space"));
        QCOMPARE(refused.size(), 0);
        QCOMPARE(control(QStringLiteral("LastPreferredTrigger")).arguments().value(0).toString(),
            QStringLiteral("CTRL+ALT+space"));
        press(PortalGlobalHotkeyService::shortcutId, false);
        QTRY_COMPARE(pressed.size(), 1);
        // Another session's shortcut, or another id, is not ours.
        press(PortalGlobalHotkeyService::shortcutId, true);
        press(QStringLiteral("other"), false);
        press(PortalGlobalHotkeyService::shortcutId, false);
        QTRY_COMPARE(pressed.size(), 2);
        QTest::qWait(100);
        QCOMPARE(pressed.size(), 2);
        // Unregistering closes the session; its presses no longer count.
        const int closedBefore = count(QStringLiteral("ClosedSessions"));
        service->unregisterHotkey();
        QTRY_COMPARE(count(QStringLiteral("ClosedSessions")), closedBefore + 1);
        press(PortalGlobalHotkeyService::shortcutId, false);
        QTest::qWait(100);
        QCOMPARE(pressed.size(), 2);
    }

    void theDesktopMayBindAnotherTrigger()
    {
        auto service = PortalGlobalHotkeyService::create(connect(), 5000ms);
        QVERIFY(service);
        answer(QStringLiteral("bound"), QStringLiteral("Meta+Shift+V"));
        QSignalSpy bound(service.get(), &GlobalHotkeyService::registrationBound);
        QVERIFY(service->registerHotkey(kCtrlAltSpace));
        QTRY_COMPARE(bound.size(), 1);
        QCOMPARE(bound.at(0).at(0).toString(), QStringLiteral("Meta+Shift+V"));
    }

    void aCancelOrAFailureIsARefusal_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("the user cancelled (1)") << QStringLiteral("cancelled");
        QTest::newRow("another failure (2)") << QStringLiteral("failed");
    }
    void aCancelOrAFailureIsARefusal()
    {
        QFETCH(QString, how);
        auto service = PortalGlobalHotkeyService::create(connect(), 5000ms);
        QVERIFY(service);
        answer(how);
        QSignalSpy bound(service.get(), &GlobalHotkeyService::registrationBound);
        QSignalSpy refused(service.get(), &GlobalHotkeyService::registrationRefused);
        const int closedBefore = count(QStringLiteral("ClosedSessions"));
        QVERIFY(service->registerHotkey(kSuperShiftV));
        QTRY_COMPARE(refused.size(), 1);
        QCOMPARE(bound.size(), 0);
        // The session of a refused binding is not left open.
        QTRY_COMPARE(count(QStringLiteral("ClosedSessions")), closedBefore + 1);
    }

    void aPortalThatNeverAnswersBlocksNothingAndIsReplaced()
    {
        auto service = PortalGlobalHotkeyService::create(connect(), 5000ms);
        QVERIFY(service);
        answer(QStringLiteral("silent"));
        QSignalSpy bound(service.get(), &GlobalHotkeyService::registrationBound);
        QSignalSpy refused(service.get(), &GlobalHotkeyService::registrationRefused);
        // Returns at once: the answer is awaited on the event loop.
        QVERIFY(service->registerHotkey(kCtrlAltSpace));
        QTest::qWait(300);
        QCOMPARE(bound.size() + refused.size(), 0);
        // A new registration replaces the one still waiting; only its answer arrives.
        answer(QStringLiteral("bound"));
        QVERIFY(service->registerHotkey(kSuperShiftV));
        QTRY_COMPARE(bound.size(), 1);
        QCOMPARE(bound.at(0).at(0).toString(), QStringLiteral("SHIFT+LOGO+v"));
        QCOMPARE(refused.size(), 0);
    }

    void anAnswerAfterUnregisteringIsDropped()
    {
        auto service = PortalGlobalHotkeyService::create(connect(), 5000ms);
        QVERIFY(service);
        answer(QStringLiteral("failed"));
        QSignalSpy refused(service.get(), &GlobalHotkeyService::registrationRefused);
        const int closedBefore = count(QStringLiteral("ClosedSessions"));
        QVERIFY(service->registerHotkey(kCtrlAltSpace));
        service->unregisterHotkey();
        // The session the portal opens after all is closed again, and nothing is said.
        QTRY_COMPARE(count(QStringLiteral("ClosedSessions")), closedBefore + 1);
        QTest::qWait(200);
        QCOMPARE(refused.size(), 0);
    }

    void aKeyWithoutATriggerNameIsRefusedAtOnce()
    {
        auto service = PortalGlobalHotkeyService::create(connect(), 5000ms);
        QVERIFY(service);
        QVERIFY(!service->registerHotkey({ 200, HotkeyShortcut::controlBit }));
    }
};

QTEST_GUILESS_MAIN(TestPortalHotkeys)
#include "tst_portalhotkeys.moc"
