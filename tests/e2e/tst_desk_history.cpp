// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on a real X display records what other applications copy, as the
// command line then shows.
#include "TestDesk.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QtTest>

using namespace nookary::test;

namespace {

const QString kOwner = QStringLiteral(CLIPBOARD_OWNER_BINARY);
const QString kSilentOwner = QStringLiteral(SILENT_OWNER_BINARY);

} // namespace

class TestDeskHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QList<TestDesk::Entry> history(const QProcessEnvironment &env = {}) const
    {
        return m_desk->history(env);
    }
    QStringList texts() const { return TestDesk::texts(m_desk->history()); }

    void xclip(const QByteArray &data, const QString &type = QStringLiteral("UTF8_STRING"))
    {
        const auto r = m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                type },
            data);
        QVERIFY2(r.exitCode == 0, r.err.constData());
    }

    // A change is recorded as soon as it is read; when nothing should be, give it a second.
    void settle() { QTest::qWait(1000); }

    // As the user starts it, with the settings file as it is.
    QProcess *startNookary(const QProcessEnvironment &env)
    {
        TestDesk::NookaryStart start;
        start.keepSettings = true;
        start.arguments = {};
        start.environment = env;
        return m_desk->startNookary(start);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>(TestDesk::Options { true, false });
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        // Snippets saved by an earlier run.
        nookary::SettingsPreferencesStore(
            m_desk->environment().value(QStringLiteral("XDG_CONFIG_HOME"))
            + QStringLiteral("/dorwen/Nookary.conf"))
            .setData(QStringLiteral("Nookary.shelf.v1"),
                "[{\"id\":\"6F1A2B3C-0000-4000-8000-00000000000A\",\"text\":\"  saved \\u00e9 "
                "\"}]");
        // Something on the clipboard before the program starts is never recorded.
        xclip("there before");
        m_nookary = startNookary(m_desk->environment());
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QCOMPARE(m_nookary->state(), QProcess::Running);
        QCOMPARE(history().size(), 0);
    }

    void savedSnippetsArePrinted()
    {
        const auto r = m_desk->nookary({ QStringLiteral("--saved") });
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out),
            QStringLiteral(
                "{\"id\":\"6F1A2B3C-0000-4000-8000-00000000000A\",\"text\":\"saved \u00e9\"}\n"));
    }

    void copiesAreRecordedByTheWatcherRules()
    {
        xclip("  word \n");
        QTRY_COMPARE_WITH_TIMEOUT(texts(), QStringList { QStringLiteral("word") }, 5000);
        const QString wordId = history().first().id;
        QCOMPARE(wordId.size(), 36);
        QCOMPARE(wordId, wordId.toUpper());

        xclip("other");
        QTRY_COMPARE_WITH_TIMEOUT(texts().size(), 2, 5000);
        xclip("word");
        QTRY_COMPARE_WITH_TIMEOUT(
            texts(), (QStringList { QStringLiteral("word"), QStringLiteral("other") }), 5000);
        QCOMPARE(history().first().id, wordId);

        xclip("file:///tmp/nookary%20e2e.txt\r\n", QStringLiteral("text/uri-list"));
        QTRY_COMPARE_WITH_TIMEOUT(
            texts().value(0), QStringLiteral("file:///tmp/nookary%20e2e.txt"), 5000);
        QCOMPARE(texts().size(), 3);
    }

    void secretsAndImagesAreNotRecorded()
    {
        const QStringList before = texts();
        QProcess *owner = m_desk->spawn(kOwner,
            { QStringLiteral("--text"), QStringLiteral("hunter2"), QStringLiteral("--secret") });
        QVERIFY(owner->waitForReadyRead(5000));
        settle();
        QCOMPARE(texts(), before);

        xclip(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), QStringLiteral("image/png"));
        settle();
        QCOMPARE(texts(), before);

        // The same owner without the hint is an ordinary copy.
        QProcess *plain
            = m_desk->spawn(kOwner, { QStringLiteral("--text"), QStringLiteral("not secret") });
        QVERIFY(plain->waitForReadyRead(5000));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("not secret"), 5000);
    }

    void aHugeCopyIsCutAndTheProgramKeepsAnswering()
    {
        QByteArray huge(5 * 1024 * 1024, 'z');
        huge.prepend("huge ");
        xclip(huge);
        QTRY_VERIFY_WITH_TIMEOUT(texts().value(0).startsWith(QStringLiteral("huge z")), 10000);
        // Kept up to the reader's cap.
        QCOMPARE(texts().value(0).size(), 4 * 1024 * 1024);
    }

    void ourOwnCopyAnnouncedAgainIsNoNewChange()
    {
        // Counts after: our write, the same selection announced again, the same text written
        // again (a new copy-back counts), another text.
        const auto r = m_desk->run(QStringLiteral(OWN_COPY_PROBE_BINARY), {});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(), QByteArray("1 1 2 3"));
    }

    void anOwnerThatNeverAnswersHoldsNothingUp()
    {
        const QStringList before = texts();
        QProcess *silent = m_desk->spawn(kSilentOwner, {});
        QVERIFY(silent->waitForReadyRead(5000));
        // The program keeps answering at once while its read of the silent owner waits.
        QElapsedTimer answered;
        for (int i = 0; i < 10; ++i) {
            answered.start();
            QCOMPARE(m_desk->nookary({ QStringLiteral("--history") }).exitCode, 0);
            QVERIFY2(answered.elapsed() < 1000, "the program stalled on a silent clipboard owner");
            QTest::qWait(100);
        }
        QCOMPARE(texts(), before);
        // The next copy is recorded as usual.
        xclip("after the silence");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("after the silence"), 5000);
        TestDesk::stop(silent);
    }

    void aSecondStartLeavesTheFirstRunning()
    {
        const auto again = m_desk->nookary({});
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(m_nookary->state(), QProcess::Running);
        QVERIFY(!history().isEmpty());
    }

    void commandLineErrors()
    {
        const auto unknown = m_desk->nookary({ QStringLiteral("--bogus") });
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY(unknown.err.contains("Usage: Nookary"));
        QVERIFY(unknown.out.isEmpty());

        QProcessEnvironment elsewhere = m_desk->environment();
        QTemporaryDir runtime;
        elsewhere.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        const auto none = m_desk->nookary({ QStringLiteral("--history") }, elsewhere);
        QCOMPARE(none.exitCode, 1);
        QVERIFY(none.err.contains("not running"));
        QVERIFY(none.out.isEmpty());
    }

    void anUnwritableConfigFolderIsSurvived()
    {
        TestDesk::stop(m_nookary);
        QProcessEnvironment env = m_desk->environment();
        const QString blocker = m_desk->homePath() + QStringLiteral("/not-a-folder");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), blocker);

        m_nookary = startNookary(env);
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QCOMPARE(m_nookary->state(), QProcess::Running);
        xclip("still recorded");
        QTRY_COMPARE_WITH_TIMEOUT(
            history(env).value(0).text, QStringLiteral("still recorded"), 5000);
        TestDesk::stop(m_nookary);
        const QByteArray log = m_nookary->readAllStandardError();
        QCOMPARE(log.count("Cannot write the settings file"), 1);
    }
};

QTEST_GUILESS_MAIN(TestDeskHistory)
#include "tst_desk_history.moc"
