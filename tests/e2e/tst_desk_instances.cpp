// SPDX-License-Identifier: GPL-3.0-or-later
// One Nookary per user and display, on two displays of one user sharing one home: each
// display has its own instance (found by its command lines and by the login launcher), the
// two merge their snippet changes in the one settings file, an instance socket only this
// user can reach is the only one trusted, and a change a full disk refused is written when
// the session ends the program.
#include "SmallDisk.h"
#include "TestDesk.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <csignal>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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

QStringList texts(const QByteArray &jsonLines)
{
    QStringList out;
    for (const QByteArray &line : jsonLines.split('\n')) {
        if (!line.isEmpty())
            out.append(
                QJsonDocument::fromJson(line).object().value(QStringLiteral("text")).toString());
    }
    return out;
}

} // namespace

class TestDeskInstances : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_first;
    std::unique_ptr<TestDesk> m_second;
    // The user's one session environment; only the display differs between the two.
    QProcessEnvironment m_onFirst;
    QProcessEnvironment m_onSecond;

    TestDesk::Result nookary(const QProcessEnvironment &on, const QStringList &arguments)
    {
        return m_first->run(kNookary, arguments, on, {}, 10000);
    }
    QStringList saved(const QProcessEnvironment &on)
    {
        return texts(nookary(on, { QStringLiteral("--saved") }).out);
    }
    QString settingsPath() const
    {
        return m_onFirst.value(QStringLiteral("XDG_CONFIG_HOME"))
            + QStringLiteral("/dorwen/Nookary.conf");
    }
    void writeSettings(const QByteArray &contents)
    {
        QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }
    QStringList storedTexts()
    {
        QStringList out;
        const QByteArray data = nookary::SettingsPreferencesStore(settingsPath())
                                    .data(QStringLiteral("Nookary.shelf.v1"))
                                    .value_or(QByteArray());
        for (const QJsonValue &v : QJsonDocument::fromJson(data).array())
            out.append(v.toObject().value(QStringLiteral("text")).toString());
        return out;
    }
    static QString panelOn(const TestDesk &desk)
    {
        // The popover is 560 wide; a notice's balloon is narrower.
        return desk.findWindow(QStringLiteral("Nookary"), 555, 565);
    }
    // Opens the popover on `desk` and types a new snippet into its empty saved column, where
    // "Drag from History or add a snippet…" heads it, then closes it.
    void typeSnippet(
        TestDesk &desk, const QProcessEnvironment &on, const QString &text, bool openFirst = true)
    {
        if (openFirst)
            nookary(on, { QStringLiteral("--show") });
        QTRY_VERIFY_WITH_TIMEOUT(!panelOn(desk).isEmpty(), 5000);
        QTest::qWait(300);
        const QString geometry
            = desk.xdotool({ QStringLiteral("getwindowgeometry"), panelOn(desk) });
        const auto m
            = QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+)")).match(geometry);
        QVERIFY(m.hasMatch());
        const QPoint at = QPoint(m.captured(1).toInt(), m.captured(2).toInt()) + QPoint(380, 113);
        desk.xdotool(
            { QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()) });
        desk.xdotool({ QStringLiteral("click"), QStringLiteral("1") });
        QTest::qWait(300);
        desk.xdotool(
            { QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text });
        QTest::qWait(200);
        nookary(on, { QStringLiteral("--hide") });
        QTRY_VERIFY_WITH_TIMEOUT(panelOn(desk).isEmpty(), 5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_first = std::make_unique<TestDesk>();
        QVERIFY2(m_first->start(), qPrintable(m_first->errorString()));
        m_second = std::make_unique<TestDesk>();
        QVERIFY2(m_second->start(), qPrintable(m_second->errorString()));
        m_onFirst = m_first->environment();
        m_onSecond = m_onFirst;
        m_onSecond.insert(QStringLiteral("DISPLAY"), m_second->display());
        QVERIFY(nookaryProcesses().isEmpty());
    }

    void cleanup()
    {
        for (const qint64 pid : nookaryProcesses())
            ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(nookaryProcesses().isEmpty(), 10000);
    }

    // The clipboard, the tray and the shortcut belong to a display: a second display of the
    // same user gets its own Nookary, from the launcher too, and its command lines reach it.
    void eachDisplayHasItsOwnNookary()
    {
        writeSettings("[General]\nNookary.onboarding.completedVersion.v1=1\n"
                      "Nookary.openPresentation.v2=menubarPopover\n");
        m_first->spawn(kNookary, { kMarker }, m_onFirst);
        QTRY_COMPARE_WITH_TIMEOUT(
            nookary(m_onFirst, { QStringLiteral("--history") }).exitCode, 0, 10000);
        QCOMPARE(nookary(m_onSecond, { QStringLiteral("--history") }).exitCode, 1);

        // At login on the second display, the launcher starts Nookary there.
        const TestDesk::Result launched = m_first->run(kLauncher, {}, m_onSecond, {}, 5000);
        QVERIFY(launched.finished);
        QTRY_COMPARE_WITH_TIMEOUT(
            nookary(m_onSecond, { QStringLiteral("--history") }).exitCode, 0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(nookaryProcesses().size(), 2, 5000);
        // And on the first it starts nothing more.
        QVERIFY(m_first->run(kLauncher, {}, m_onFirst, {}, 5000).finished);
        QTest::qWait(1000);
        QCOMPARE(nookaryProcesses().size(), 2);

        // Each display's command lines open that display's panel.
        QCOMPARE(nookary(m_onSecond, { QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelOn(*m_second).isEmpty(), 5000);
        QVERIFY(panelOn(*m_first).isEmpty());
        nookary(m_onSecond, { QStringLiteral("--hide") });
        QTRY_VERIFY_WITH_TIMEOUT(panelOn(*m_second).isEmpty(), 5000);
        // Starting Nookary again on the first display re-opens the first one's panel.
        const TestDesk::Result again = nookary(m_onFirst, {});
        QCOMPARE(again.exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelOn(*m_first).isEmpty(), 5000);
        QVERIFY(panelOn(*m_second).isEmpty());
        QCOMPARE(nookaryProcesses().size(), 2);
    }

    // The two instances share the settings file: a snippet saved on each, in turn, is kept,
    // whichever wrote last.
    void snippetsSavedOnTwoDisplaysAreAllKept()
    {
        writeSettings("[General]\nNookary.onboarding.completedVersion.v1=1\n"
                      "Nookary.openPresentation.v2=menubarPopover\n");
        m_first->spawn(kNookary, { kMarker }, m_onFirst);
        m_first->spawn(kNookary, { kMarker }, m_onSecond);
        QTRY_COMPARE_WITH_TIMEOUT(
            nookary(m_onFirst, { QStringLiteral("--history") }).exitCode, 0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(
            nookary(m_onSecond, { QStringLiteral("--history") }).exitCode, 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_second->trayIcon().isEmpty(), 10000);

        // The second display's panel is open, its saved column empty, while the first saves.
        nookary(m_onSecond, { QStringLiteral("--show") });
        QTRY_VERIFY_WITH_TIMEOUT(!panelOn(*m_second).isEmpty(), 5000);
        typeSnippet(*m_first, m_onFirst, QStringLiteral("saved on the first"));
        QTRY_COMPARE_WITH_TIMEOUT(
            storedTexts(), QStringList { QStringLiteral("saved on the first") }, 5000);
        typeSnippet(*m_second, m_onSecond, QStringLiteral("saved on the second"), false);
        const QStringList both { QStringLiteral("saved on the first"),
            QStringLiteral("saved on the second") };
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(), both, 5000);
        QCOMPARE(saved(m_onSecond), both);
        // The first shows the second's snippet when its panel opens.
        nookary(m_onFirst, { QStringLiteral("--show") });
        QTRY_COMPARE_WITH_TIMEOUT(saved(m_onFirst), both, 5000);
    }

    // Without a runtime folder, another local user who took the usual folder in /tmp and
    // listens there is not trusted: Nookary starts in a folder of its own, and its command
    // lines print its own history, never the other user's forged text.
    void anotherUsersSocketIsNeverTrusted()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to act as another user");
        QTemporaryDir tmp;
        ::chmod(QFile::encodeName(tmp.path()).constData(), 01777);
        QProcessEnvironment on = m_onFirst;
        on.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        on.insert(QStringLiteral("TMPDIR"), tmp.path());
        const QString squatted = tmp.filePath(QStringLiteral("nookary-%1").arg(::getuid()));
        const QString socket = squatted
            + QStringLiteral("/com.dorwen.Nookary.%1.x11-%2")
                  .arg(::getuid())
                  .arg(m_first->display());
        // Also where Qt's runtime folder and the socket's old place in /tmp were.
        const QString qtRuntime = tmp.filePath(
            QStringLiteral("runtime-") + QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name));
        const QString oldSocket
            = tmp.filePath(QStringLiteral("com.dorwen.Nookary.%1").arg(::getuid()));

        // The other user: a folder open to all at our name, and a socket answering anything.
        // (Only system calls after the fork: this process has threads.)
        const QByteArray folder = QFile::encodeName(squatted);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(
            address.sun_path, QFile::encodeName(socket).constData(), sizeof address.sun_path - 1);
        const QByteArray runtimeFolder = QFile::encodeName(qtRuntime);
        sockaddr_un oldAddress {};
        oldAddress.sun_family = AF_UNIX;
        std::strncpy(oldAddress.sun_path, QFile::encodeName(oldSocket).constData(),
            sizeof oldAddress.sun_path - 1);
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t other = ::fork();
        if (other == 0) {
            ::setpgid(0, 0);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0
                || ::mkdir(folder.constData(), 0777) != 0)
                ::_exit(2);
            ::chmod(folder.constData(), 0777);
            ::mkdir(runtimeFolder.constData(), 0700);
            const int old = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(old, reinterpret_cast<sockaddr *>(&oldAddress), sizeof oldAddress) != 0
                || ::listen(old, 8) != 0)
                ::_exit(4);
            ::chmod(oldAddress.sun_path, 0777);
            if (::fork() == 0) {
                for (;;) {
                    const int client = ::accept(old, nullptr, nullptr);
                    const char forged[] = "{\"id\":\"X\",\"text\":\"forged \x1b]0;owned\x07\"}\n";
                    [[maybe_unused]] auto n = ::write(client, forged, sizeof forged - 1);
                    ::close(client);
                }
            }
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
                || ::listen(fd, 8) != 0)
                ::_exit(3);
            ::chmod(address.sun_path, 0777);
            [[maybe_unused]] auto w = ::write(ready[1], "r", 1);
            for (;;) {
                const int client = ::accept(fd, nullptr, nullptr);
                const char forged[] = "{\"id\":\"X\",\"text\":\"forged \x1b]0;owned\x07\"}\n";
                [[maybe_unused]] auto n = ::write(client, forged, sizeof forged - 1);
                ::close(client);
            }
        }
        char byte = 0;
        QCOMPARE(::read(ready[0], &byte, 1), 1);
        // The other user's processes go with it (a process group of its own).
        auto stopOther = qScopeGuard([other] {
            ::kill(-other, SIGKILL);
            ::waitpid(other, nullptr, 0);
        });

        writeSettings("[General]\nNookary.onboarding.completedVersion.v1=1\n");
        QProcess *instance = m_first->spawn(kNookary, { kMarker }, on);
        QTRY_VERIFY_WITH_TIMEOUT(!m_first->trayIcon().isEmpty(), 10000);
        QTest::qWait(500);
        QCOMPARE(instance->state(), QProcess::Running); // not turned away by the other's socket
        m_first->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, on, "copied here");
        QTRY_COMPARE_WITH_TIMEOUT(texts(nookary(on, { QStringLiteral("--history") }).out),
            QStringList { QStringLiteral("copied here") }, 5000);
        QVERIFY(QFileInfo::exists(squatted + QStringLiteral("-1")));
    }

    // A change the full disk refused waits in memory and is written when the session ends
    // Nookary with SIGTERM.
    void aChangeAFullDiskRefusedIsWrittenAtTheEnd()
    {
        SmallDisk disk(512 * 1024);
        if (!disk.isMounted())
            QSKIP("this system lets the test mount no small disk");
        QProcessEnvironment on = m_onFirst;
        on.insert(QStringLiteral("XDG_CONFIG_HOME"), disk.path());
        const QString path = disk.path() + QStringLiteral("/dorwen/Nookary.conf");
        QDir().mkpath(disk.path() + QStringLiteral("/dorwen"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[General]\nNookary.onboarding.completedVersion.v1=1\n"
                       "Nookary.openPresentation.v2=menubarPopover\n");
        }
        QProcess *instance = m_first->spawn(kNookary, { kMarker }, on);
        QTRY_COMPARE_WITH_TIMEOUT(nookary(on, { QStringLiteral("--history") }).exitCode, 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_first->trayIcon().isEmpty(), 10000);
        QVERIFY(disk.fillLeaving(4096));
        const QByteArray before = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        typeSnippet(*m_first, on, QStringLiteral("kept through a full disk"));
        QTRY_COMPARE_WITH_TIMEOUT(
            saved(on), QStringList { QStringLiteral("kept through a full disk") }, 5000);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();

        disk.freeAll();
        ::kill(pid_t(instance->processId()), SIGTERM);
        QVERIFY(instance->waitForFinished(10000));
        QCOMPARE(instance->exitStatus(), QProcess::NormalExit);
        QCOMPARE(instance->exitCode(), 0);
        const QByteArray data = nookary::SettingsPreferencesStore(path)
                                    .data(QStringLiteral("Nookary.shelf.v1"))
                                    .value_or(QByteArray());
        QVERIFY2(data.contains("kept through a full disk"), data.constData());
    }
};

QTEST_GUILESS_MAIN(TestDeskInstances)
#include "tst_desk_instances.moc"
