// SPDX-License-Identifier: GPL-3.0-or-later
// Launch at login as a session does it: the model registers the launcher, the session runs
// the autostart entry's command, and Nookary starts quietly in the tray, once.
//
// CTest runs this suite in a process namespace of its own where it can, so that it counts only
// the Nookary it started.
#include "MemoryPasteboard.h"
#include "TestDesk.h"
#include "model/AppModel.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "platform/xdg/DesktopEntry.h"
#include "platform/xdg/XdgAutostartLoginItemService.h"

#include <QtTest>

#include <csignal>

using namespace nookary;
using namespace nookary::test;

namespace {

const QString kNookary = QStringLiteral(NOOKARY_BINARY);
const QString kLauncher = QStringLiteral(LAUNCHER_BINARY);
const QString kMarker = QStringLiteral("--launched-from-login-item");

// Every process, by pid, whose executable is this build's Nookary.
QList<qint64> nookaryProcesses()
{
    return TestDesk::processesRunning(kNookary);
}

QStringList commandLineOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList arguments;
    for (const QByteArray &part : file.readAll().split('\0'))
        if (!part.isEmpty())
            arguments.append(QString::fromLocal8Bit(part));
    return arguments;
}

} // namespace

class TestDeskLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<SettingsPreferencesStore> m_store;
    MemoryPasteboard m_pasteboard;
    QString m_autostart;
    QList<qint64> m_started;

    std::unique_ptr<AppModel> startModel(LoginItemService &loginItems)
    {
        return std::make_unique<AppModel>(*m_store, m_pasteboard, &loginItems);
    }

    // Runs the entry's command as the session would at login, its output going to the
    // session's log: the launcher must be done at once, whatever it started.
    void runTheEntry(const QStringList &command)
    {
        const QString log = m_desk->homePath() + QStringLiteral("/session.log");
        QProcess launcher;
        launcher.setProcessEnvironment(m_desk->environment());
        launcher.setStandardInputFile(QProcess::nullDevice());
        launcher.setStandardOutputFile(log, QIODevice::Append);
        launcher.setStandardErrorFile(log, QIODevice::Append);
        launcher.start(command.first(), command.mid(1));
        QVERIFY2(launcher.waitForFinished(5000), "the launcher did not quit by itself");
        QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
        QCOMPARE(launcher.exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!nookaryProcesses().isEmpty())
            QSKIP("this build's Nookary runs here already, so its processes cannot be counted; "
                  "CTest runs this suite in a process namespace of its own");
        m_desk = std::make_unique<TestDesk>();
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        m_store = std::make_unique<SettingsPreferencesStore>(
            m_settingsDir.filePath(QStringLiteral("Nookary.conf")));
        m_autostart = m_desk->environment().value(QStringLiteral("XDG_CONFIG_HOME"))
            + QStringLiteral("/autostart");
        // No settings file: a user who never finished the walkthrough, which a start at
        // login must not show either.
    }

    void cleanupTestCase()
    {
        // Started by the launcher, not by the desk: stopped here, by pid.
        for (qint64 pid : std::as_const(m_started))
            ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(nookaryProcesses().isEmpty(), 5000);
    }

    void theSwitchWritesAnEntryThatRunsTheLauncher()
    {
        XdgAutostartLoginItemService service(m_autostart, kLauncher);
        auto model = startModel(service);
        QCOMPARE(model->launchAtLogin(), false);
        model->setLaunchAtLogin(true);
        QTest::qWait(50);
        QCOMPARE(model->launchAtLogin(), true);

        const auto entry = DesktopEntry::read(
            m_autostart + QStringLiteral("/com.dorwen.NookaryLauncher.desktop"));
        QVERIFY(entry);
        QCOMPARE(entry->execArguments(), QStringList { kLauncher });
        QCOMPARE(entry->string(QStringLiteral("TryExec")), kLauncher);
        QVERIFY(!entry->boolean(QStringLiteral("Hidden"), false));

        // The next start reads it back as on.
        model = startModel(service);
        QCOMPARE(model->launchAtLogin(), true);
    }

    void atLoginNookaryStartsQuietlyInTheTrayOnce()
    {
        const auto entry = DesktopEntry::read(
            m_autostart + QStringLiteral("/com.dorwen.NookaryLauncher.desktop"));
        QVERIFY(entry);
        QVERIFY(nookaryProcesses().isEmpty());
        runTheEntry(entry->execArguments());

        QTRY_COMPARE_WITH_TIMEOUT(nookaryProcesses().size(), 1, 10000);
        m_started = nookaryProcesses();
        QCOMPARE(commandLineOf(m_started.first()).mid(1), QStringList { kMarker });
        // In the tray, and nothing else: no panel, no walkthrough.
        QTRY_VERIFY_WITH_TIMEOUT(!m_desk->trayIcon().isEmpty(), 10000);
        QTest::qWait(1000);
        QCOMPARE(m_desk->findWindow(QStringLiteral("Nookary"), 65, 100000), QString());

        // The session runs the entry again (a second login on the same machine, say): the
        // running Nookary is found, nothing new starts, and the launcher says nothing.
        const QStringList command = entry->execArguments();
        const TestDesk::Result again = m_desk->run(command.first(), command.mid(1), {}, 5000);
        QVERIFY2(again.finished, "the launcher did not quit by itself");
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.out.isEmpty() && again.err.isEmpty(), (again.out + again.err).constData());
        QTest::qWait(1000);
        QCOMPARE(nookaryProcesses(), m_started);
        QCOMPARE(m_desk->findWindow(QStringLiteral("Nookary"), 65, 100000), QString());
    }

    void switchingOffRemovesTheEntry()
    {
        XdgAutostartLoginItemService service(m_autostart, kLauncher);
        auto model = startModel(service);
        QCOMPARE(model->launchAtLogin(), true);
        model->setLaunchAtLogin(false);
        QTest::qWait(50);
        QCOMPARE(model->launchAtLogin(), false);
        QVERIFY(
            !QFile::exists(m_autostart + QStringLiteral("/com.dorwen.NookaryLauncher.desktop")));
    }

    void entriesTheUserChangedAreRespected()
    {
        // Disabled by hand in a desktop's startup settings: off, and left as it is.
        const QString path = m_autostart + QStringLiteral("/com.dorwen.NookaryLauncher.desktop");
        XdgAutostartLoginItemService service(m_autostart, kLauncher);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(service.entryContents() + "Hidden=true\n");
        file.close();
        auto model = startModel(service);
        QCOMPARE(model->launchAtLogin(), false);
        QVERIFY(QFile::exists(path));
        QVERIFY(QFile::remove(path));

        // An autostart folder that cannot be made: the switch falls back off.
        QVERIFY(QDir(m_autostart).removeRecursively());
        QFile blocker(m_autostart);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        model = startModel(service);
        model->setLaunchAtLogin(true);
        QTRY_COMPARE(model->launchAtLogin(), false);
    }
};

QTEST_GUILESS_MAIN(TestDeskLogin)
#include "tst_desk_login.moc"
