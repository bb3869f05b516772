// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceChannel.h"
#include "app/SavedSnippetsCommand.h"

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

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
};

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
