// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceChannel.h"
#include "app/InstanceName.h"
#include "app/SavedSnippetsCommand.h"

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace nookary;
using Request = InstanceChannel::Request;

namespace {

// The client blocks, so it runs beside the event loop that serves it.
std::optional<QByteArray> sendFromAnotherThread(Request request, const QByteArray &argument = {})
{
    std::optional<QByteArray> reply;
    QThread *thread
        = QThread::create([&] { reply = InstanceChannel::send(request, argument, 2000); });
    thread->start();
    QDeadlineTimer deadline(10000);
    while (!thread->isFinished() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    thread->wait();
    delete thread;
    return reply;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::System)
                   .size());
}

mode_t modeOf(const QString &path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

} // namespace

class TestInstanceChannel : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        QVERIFY(InstanceChannel::socketPath().startsWith(m_runtime.path()));
    }

    void noInstanceMeansNoReply()
    {
        QCOMPARE(InstanceChannel::send(Request::history, 500), std::nullopt);
    }

    void requestsReachTheHandlerAndRepliesComeBack()
    {
        QList<Request> seen;
        InstanceServer server([&](Request r) {
            seen.append(r);
            return r == Request::history ? QByteArray("{\"id\":\"A\",\"text\":\"x\"}\n")
                                         : QByteArray();
        });
        QVERIFY(server.listen());
        QCOMPARE(
            sendFromAnotherThread(Request::history), QByteArray("{\"id\":\"A\",\"text\":\"x\"}\n"));
        QCOMPARE(sendFromAnotherThread(Request::reopen), QByteArray());
        QCOMPARE(seen, (QList<Request> { Request::history, Request::reopen }));

        // A second instance cannot take the channel while the first lives.
        // Not even while the first is too busy to answer, as it is now.
        InstanceServer second([](Request) { return QByteArray("second"); });
        QVERIFY(!second.listen());
        QCOMPARE(sendFromAnotherThread(Request::ping), QByteArray());
        QCOMPARE(seen.size(), 3);
    }

    void nonsenseIsDroppedAndServingGoesOn()
    {
        int calls = 0;
        InstanceServer server([&](Request) {
            ++calls;
            return QByteArray("ok\n");
        });
        QVERIFY(server.listen());

        QLocalSocket rude;
        rude.connectToServer(InstanceChannel::socketPath());
        QVERIFY(rude.waitForConnected(1000));
        rude.write(QByteArray(500, 'z'));
        rude.flush();
        QTRY_COMPARE_WITH_TIMEOUT(rude.state(), QLocalSocket::UnconnectedState, 5000);

        QLocalSocket silent;
        silent.connectToServer(InstanceChannel::socketPath());
        QVERIFY(silent.waitForConnected(1000));
        QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 5000);

        QCOMPARE(calls, 0);
        QCOMPARE(sendFromAnotherThread(Request::ping), QByteArray("ok\n"));
        QCOMPARE(calls, 1);
    }

    // An import carries its texts on the request line, far longer than a request word;
    // other requests stay short.
    void anImportCarriesItsTexts()
    {
        QList<QByteArray> arguments;
        InstanceServer server([&](Request request, const QByteArray &argument) {
            arguments.append(argument);
            return request == Request::importSaved ? QByteArray("taken\n") : QByteArray("ok\n");
        });
        QVERIFY(server.listen());
        const QByteArray texts = "[\"" + QByteArray(2 * 1024 * 1024, 'x') + "\"]";
        QCOMPARE(sendFromAnotherThread(Request::importSaved, texts), QByteArray("taken\n"));
        QCOMPARE(arguments, QList<QByteArray> { texts });

        QLocalSocket longWord;
        longWord.connectToServer(InstanceChannel::socketPath());
        QVERIFY(longWord.waitForConnected(1000));
        longWord.write("saved " + QByteArray(500, 'z'));
        longWord.flush();
        QTRY_COMPARE_WITH_TIMEOUT(longWord.state(), QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(arguments.size(), 1);
    }

    void aSocketLeftByACrashIsTakenOver()
    {
        QFile leftover(InstanceChannel::socketPath());
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        InstanceServer server([](Request) { return QByteArray("alive\n"); });
        QVERIFY(server.listen());
        QCOMPARE(sendFromAnotherThread(Request::ping), QByteArray("alive\n"));
    }

    // An import that finds no instance while one starts (it holds the start lock) waits for
    // it and goes through it; the settings file, which that instance has read, is not written.
    // Once the request has reached an instance, a lost answer never leads to the file either.
    void anImportWaitsForAStartingInstance()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        const QString settings = config.filePath(QStringLiteral("dorwen/Nookary.conf"));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("notes.txt"));
        QFile notes(file);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("one note\n");
        notes.close();

        for (const bool answers : { true, false }) {
            QLockFile starting(InstanceChannel::startLockPath());
            QVERIFY(starting.tryLock(0));
            int status = -1;
            QThread *command
                = QThread::create([&] { status = SavedSnippetsCommand::importSaved(file, true); });
            command->start();
            QTest::qWait(300);
            QVERIFY(command->isRunning());

            QList<QByteArray> taken;
            InstanceServer server([&](Request, const QByteArray &argument) {
                taken.append(argument);
                return answers ? SavedSnippetsCommand::encodeImportReply({ 1, 0, 0 })
                               : QByteArray();
            });
            QVERIFY(server.listen());
            starting.unlock();
            QTRY_VERIFY_WITH_TIMEOUT(command->isFinished(), 10000);
            delete command;
            QCOMPARE(taken, QList<QByteArray> { "[\"one note\"]" });
            QCOMPARE(status, answers ? 0 : 1);
            QVERIFY(!QFile::exists(settings));
        }
        qunsetenv("XDG_CONFIG_HOME");
    }

    // The socket lives only in a folder of this user that nobody else may enter: another
    // local user can neither stand in for the instance nor see its requests.
    void theSocketLivesOnlyInAPrivateFolder()
    {
        QTemporaryDir tmp;
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        const QString own = tmp.filePath(QStringLiteral("nookary-%1").arg(::getuid()));

        // A runtime folder others may enter is not used; one is made instead.
        QTemporaryDir open;
        QFile::setPermissions(open.path(),
            QFile::permissions(open.path()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open.path()));
        QCOMPARE(InstanceChannel::socketFolder(), own);
        QCOMPARE(modeOf(own), mode_t(0700));

        // No runtime folder, and the usual name taken by another user: passed over.
        qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(QDir(own).removeRecursively());
        if (::geteuid() == 0) {
            QVERIFY(QDir().mkdir(own));
            QVERIFY(::chown(QFile::encodeName(own).constData(), 65534, 65534) == 0);
            ::chmod(QFile::encodeName(own).constData(), 0777);
            QCOMPARE(InstanceChannel::socketFolder(), own + QStringLiteral("-1"));
            QCOMPARE(modeOf(own + QStringLiteral("-1")), mode_t(0700));
        }
        // A link is not a folder of ours either.
        QTemporaryDir elsewhere;
        QDir(own).removeRecursively();
        QDir(own + QStringLiteral("-1")).removeRecursively();
        QVERIFY(QFile::link(elsewhere.path(), own));
        QCOMPARE(InstanceChannel::socketFolder(), own + QStringLiteral("-1"));

        qputenv("TMPDIR", savedTmp);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }

    // The listener checks who connects: a program of another user is closed on at once.
    void aPeerOfAnotherUserIsNotServed()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to connect as another user");
        QTemporaryDir shared;
        ::chmod(QFile::encodeName(shared.path()).constData(), 0777);
        int calls = 0;
        UserSocketListener listener(4);
        connect(&listener, &UserSocketListener::newConnection, this, [&](QLocalSocket *socket) {
            ++calls;
            socket->deleteLater();
        });
        const QString path = shared.filePath(QStringLiteral("s"));
        QVERIFY(listener.listen(path));
        ::chmod(QFile::encodeName(path).constData(), 0666);
        // Only system calls after the fork: this process has threads.
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(
            address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(2);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
                ::_exit(3);
            [[maybe_unused]] auto w = ::write(fd, "history\n", 8);
            char byte = 0;
            // Closed on without a word (a reset, as the request was never read).
            ::_exit(::read(fd, &byte, 1) <= 0 ? 0 : 4);
        }
        int status = -1;
        QDeadlineTimer deadline(10000);
        while (::waitpid(child, &status, WNOHANG) == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(calls, 0);
    }

    // Connections that send nothing are bounded, and running out of file descriptors does
    // not end listening: the next command line is still served by this instance.
    void aFloodOfConnectionsNeverEndsListening()
    {
        InstanceServer server([](Request) { return QByteArray("still here\n"); });
        QVERIFY(server.listen());
        rlimit saved {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        rlimit tight = saved;
        tight.rlim_cur = rlim_t(openDescriptors() + 24);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &tight), 0);
        std::vector<std::unique_ptr<QLocalSocket>> flood;
        for (int i = 0; i < 60; ++i) {
            auto socket = std::make_unique<QLocalSocket>();
            socket->connectToServer(InstanceChannel::socketPath());
            socket->waitForConnected(200);
            flood.push_back(std::move(socket));
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QTest::qWait(500);
        flood.clear();
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &saved), 0);
        QTest::qWait(300);
        QVERIFY(QFileInfo::exists(InstanceChannel::socketPath()));
        QCOMPARE(sendFromAnotherThread(Request::ping), QByteArray("still here\n"));
        // A second instance still finds this one.
        InstanceServer second([](Request) { return QByteArray(); });
        QVERIFY(!second.listen());
    }

    void manyIdleConnectionsAreHeldBounded()
    {
        InstanceServer server([](Request) { return QByteArray("ok\n"); });
        QVERIFY(server.listen());
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < 3 * InstanceServer::maxConnections; ++i) {
            auto socket = std::make_unique<QLocalSocket>();
            socket->connectToServer(InstanceChannel::socketPath());
            QVERIFY(socket->waitForConnected(1000));
            idle.push_back(std::move(socket));
        }
        QTest::qWait(200);
        const auto connected = std::count_if(idle.begin(), idle.end(),
            [](const auto &socket) { return socket->state() == QLocalSocket::ConnectedState; });
        QVERIFY2(connected <= InstanceServer::maxConnections + 1, QByteArray::number(connected));
        QCOMPARE(sendFromAnotherThread(Request::ping), QByteArray("ok\n"));
    }

    // What another program answers reaches a terminal with no control characters in it.
    void printedRepliesCarryNoControlCharacters()
    {
        const QByteArray forged = "{\"id\":\"A\",\"text\":\"\x1b]0;owned\x07 \x1b[2J\r\"}\n"
                                  "{\"text\":\"\xc2\x9b"
                                  "31m \xe2\x80\xae"
                                  " evil \xff\"}\n";
        const QByteArray printed = InstanceChannel::printable(forged);
        for (const char c : printed)
            QVERIFY2(static_cast<unsigned char>(c) >= 0x20 || c == '\n', printed.constData());
        const QString text = QString::fromUtf8(printed);
        for (const QChar c : text)
            QVERIFY(!(c.unicode() >= 0x7f && c.unicode() <= 0x9f) && c.unicode() != 0x202e);
        QCOMPARE(printed.split('\n').first(),
            QByteArray("{\"id\":\"A\",\"text\":\"\\u001b]0;owned\\u0007 \\u001b[2J\\u000d\"}"));
        // Our own JSON lines pass through as they are.
        const QByteArray ours = "{\"id\":\"B\",\"text\":\"caf\xc3\xa9"
                                " \\n \\u001b\"}\n";
        QCOMPARE(InstanceChannel::printable(ours), ours);
    }

    // One instance per user and display: the name says which display, as Qt will pick it.
    void theInstanceIsNamedAfterTheDisplayQtUses_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("name");
        QTest::newRow("X11") << QStringList { "DISPLAY=:0" } << QStringList {} << "x11-:0";
        QTest::newRow("a screen is the same display")
            << QStringList { "DISPLAY=:0.1" } << QStringList {} << "x11-:0";
        QTest::newRow("another display")
            << QStringList { "DISPLAY=:1" } << QStringList {} << "x11-:1";
        QTest::newRow("-display counts")
            << QStringList { "DISPLAY=:0" } << QStringList { "--show", "-display", ":2.0" }
            << "x11-:2";
        QTest::newRow("--display too")
            << QStringList { "DISPLAY=:0" } << QStringList { "--display", "remote:10" }
            << "x11-remote:10";
        QTest::newRow("Wayland session")
            << QStringList { "DISPLAY=:0", "WAYLAND_DISPLAY=wayland-1", "XDG_SESSION_TYPE=wayland" }
            << QStringList {} << "wl-wayland-1";
        QTest::newRow("GNOME's Wayland: Qt 6.4 uses XWayland")
            << QStringList { "DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0", "XDG_SESSION_TYPE=wayland",
                   "XDG_CURRENT_DESKTOP=ubuntu:GNOME" }
            << QStringList {} << "x11-:0";
        QTest::newRow("-platform xcb on Wayland")
            << QStringList { "DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0" }
            << QStringList { "-platform", "xcb" } << "x11-:0";
        QTest::newRow("QT_QPA_PLATFORM")
            << QStringList { "DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0", "QT_QPA_PLATFORM=xcb" }
            << QStringList {} << "x11-:0";
        QTest::newRow("a list falls back as Qt does")
            << QStringList { "DISPLAY=:3", "QT_QPA_PLATFORM=wayland;xcb" } << QStringList {}
            << "x11-:3";
        QTest::newRow("socket path under the runtime folder")
            << QStringList { "XDG_RUNTIME_DIR=/run/user/5", "WAYLAND_DISPLAY=/run/user/5/wl-9",
                   "QT_QPA_PLATFORM=wayland" }
            << QStringList {} << "wl-wl-9";
        QTest::newRow("offscreen")
            << QStringList { "QT_QPA_PLATFORM=offscreen" } << QStringList {} << "offscreen";
    }

    void theInstanceIsNamedAfterTheDisplayQtUses()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, arguments);
        QFETCH(QString, name);
        QProcessEnvironment env;
        for (const QString &pair : environment)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        QCOMPARE(InstanceName::forSession(env, arguments), name);
    }

    void aLongDisplayNameStaysShortAndApart()
    {
        QProcessEnvironment a;
        a.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        a.insert(
            QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("/tmp/") + QString(80, u'a') + u'1');
        QProcessEnvironment b = a;
        b.insert(
            QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("/tmp/") + QString(80, u'a') + u'2');
        const QString nameA = InstanceName::forSession(a);
        QVERIFY(nameA.size() <= 40);
        QVERIFY(!nameA.contains(u'/'));
        QVERIFY(nameA != InstanceName::forSession(b));
    }
};

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
