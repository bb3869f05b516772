// SPDX-License-Identifier: GPL-3.0-or-later
// The "launch at login" switch against a login-item record the test controls: the record
// is the truth, the switch mirrors it at start and after a failed change, and a failure is
// never shown but undone.
#include "FakeLoginItemService.h"
#include "MemoryPasteboard.h"
#include "RecordingPreferencesStore.h"
#include "model/AppModel.h"
#include "model/LaunchAtLogin.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

struct Start {
    explicit Start(LoginItemService *loginItems)
        : store(std::make_unique<SettingsPreferencesStore>(
            dir.filePath(QStringLiteral("Nookary.conf"))))
        , model(std::make_unique<AppModel>(store, pasteboard, loginItems))
    {
    }

    QTemporaryDir dir;
    RecordingPreferencesStore store;
    MemoryPasteboard pasteboard;
    std::unique_ptr<AppModel> model;
};

} // namespace

class TestLaunchAtLogin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theStartMirrorsTheSystemWithoutChangingIt_data()
    {
        QTest::addColumn<bool>("registered");
        QTest::newRow("registered") << true;
        QTest::newRow("not registered") << false;
    }

    void theStartMirrorsTheSystemWithoutChangingIt()
    {
        QFETCH(bool, registered);
        FakeLoginItemService system;
        system.registered = registered;
        Start s(&system);
        QCOMPARE(s.model->launchAtLogin(), registered);
        QCoreApplication::processEvents();
        QCOMPARE(system.registerCalls + system.unregisterCalls, 0);
        QCOMPARE(system.registered, registered);
        // The switch keeps nothing of its own in the settings file.
        QSettings file(s.dir.filePath(QStringLiteral("Nookary.conf")), QSettings::IniFormat);
        for (const QString &key : file.allKeys())
            QVERIFY2(!key.contains(QLatin1String("aunch"), Qt::CaseInsensitive), qPrintable(key));
    }

    void theSwitchRegistersAndUnregistersOnlyOnAChange()
    {
        FakeLoginItemService system;
        Start s(&system);
        QSignalSpy changed(s.model.get(), &AppModel::launchAtLoginChanged);
        s.store.resetCounts();
        s.model->setLaunchAtLogin(false);
        QCOMPARE(system.unregisterCalls, 0);
        QCOMPARE(changed.count(), 0);

        s.model->setLaunchAtLogin(true);
        QCOMPARE(system.registerCalls, 1);
        QVERIFY(system.registered);
        QCOMPARE(changed.count(), 1);
        s.model->setLaunchAtLogin(true);
        QCOMPARE(system.registerCalls, 1);

        s.model->setLaunchAtLogin(false);
        QCOMPARE(system.unregisterCalls, 1);
        QVERIFY(!system.registered);
        QCOMPARE(changed.count(), 2);
        // Success is trusted: the record is not read again.
        const int reads = system.statusReads;
        QCoreApplication::processEvents();
        QCOMPARE(system.statusReads, reads);
        QCOMPARE(s.model->launchAtLogin(), false);
        QCOMPARE(s.store.totalWrites(), 0);
    }

    void aFailedChangeShowsAtOnceAndFallsBackOnTheNextTurn_data()
    {
        QTest::addColumn<bool>("turnOn");
        QTest::newRow("register fails") << true;
        QTest::newRow("unregister fails") << false;
    }

    void aFailedChangeShowsAtOnceAndFallsBackOnTheNextTurn()
    {
        QFETCH(bool, turnOn);
        FakeLoginItemService system;
        system.registered = !turnOn;
        system.failRegister = system.failUnregister = true;
        Start s(&system);
        QSignalSpy changed(s.model.get(), &AppModel::launchAtLoginChanged);

        s.model->setLaunchAtLogin(turnOn);
        QCOMPARE(s.model->launchAtLogin(), turnOn); // observers see the request first
        QCOMPARE(changed.count(), 1);
        QTRY_COMPARE(s.model->launchAtLogin(), !turnOn);
        QCOMPARE(changed.count(), 2);
        // The fall-back is a mirror, not another attempt.
        QCOMPARE(system.registerCalls + system.unregisterCalls, 1);
    }

    void aFailedChangeThatTookEffectKeepsTheSwitch()
    {
        FakeLoginItemService system;
        system.failRegister = true;
        system.changesDespiteFailure = true;
        Start s(&system);
        s.model->setLaunchAtLogin(true);
        QTest::qWait(10);
        QVERIFY(system.statusReads >= 2); // at start, and after the failure
        QCOMPARE(s.model->launchAtLogin(), true);
    }

    void theMirrorWriteRegistersNothing()
    {
        FakeLoginItemService system;
        LaunchAtLogin launch(system);
        bool syncingSeen = false;
        connect(&launch, &LaunchAtLogin::enabledChanged, this,
            [&] { syncingSeen = launch.isSyncingLaunchAtLoginState(); });
        system.registered = true;
        launch.mirrorSystemState();
        QVERIFY(launch.isEnabled());
        QVERIFY(syncingSeen);
        QVERIFY(!launch.isSyncingLaunchAtLoginState());
        system.registered = false;
        launch.mirrorSystemState();
        QVERIFY(!launch.isEnabled());
        QCOMPARE(system.registerCalls + system.unregisterCalls, 0);
    }

    void withoutAServiceTheSwitchFallsBackOff()
    {
        Start s(nullptr);
        QCOMPARE(s.model->launchAtLogin(), false);
        s.model->setLaunchAtLogin(true);
        QTRY_COMPARE(s.model->launchAtLogin(), false);
    }

    void aModelGoneBeforeTheFallBackIsNoCrash()
    {
        FakeLoginItemService system;
        system.failRegister = true;
        auto s = std::make_unique<Start>(&system);
        s->model->setLaunchAtLogin(true);
        s.reset();
        QTest::qWait(10);
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
