// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard survives the program that copied it: Qt and GTK programs hand it over as they
// quit, an owner that vanishes has its recorded copy offered again, and one that clears the
// clipboard leaves it empty. Pasted with xclip, as any other program would.
#include "TestDesk.h"

#include <QtTest>

using namespace nookary::test;

namespace {

const QString kOwner = QStringLiteral(CLIPBOARD_OWNER_BINARY);
const QString kSilentOwner = QStringLiteral(SILENT_OWNER_BINARY);
const QString kGtkCopy = QStringLiteral(GTK_COPY_SCRIPT);
const QString kTkCopy = QStringLiteral(TK_COPY_SCRIPT);

// What Qt says when a clipboard manager keeps it waiting at exit.
const QByteArray kQtGaveUp = "clipboard manager";

} // namespace

class TestDeskClipboardManager : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QList<TestDesk::Entry> history() const { return m_desk->history(); }
    QStringList texts() const { return TestDesk::texts(m_desk->history()); }

    // What a paste gives: empty when the clipboard holds nothing.
    QString paste(const QString &type = QStringLiteral("UTF8_STRING")) const
    {
        const auto r = m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                QStringLiteral("-t"), type });
        return r.exitCode == 0 ? QString::fromUtf8(r.out) : QString();
    }

    // As the user starts it, with no settings file yet.
    QProcess *startNookary()
    {
        TestDesk::NookaryStart start;
        start.keepSettings = true;
        start.arguments = {};
        return m_desk->startNookary(start);
    }

    QProcess *owner(const QStringList &arguments)
    {
        QProcess *p = m_desk->spawn(kOwner, arguments);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        if (!p->waitForReadyRead(5000))
            qWarning("the clipboard owner did not start");
        return p;
    }

    // Gives a wrong re-offer or record time to happen.
    void settle() { QTest::qWait(3 * 700); }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>(TestDesk::Options { true, false });
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        m_nookary = startNookary();
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QCOMPARE(m_nookary->state(), QProcess::Running);
    }

    void aQtProgramHandsItsCopyOverAsItQuits()
    {
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("  from a Qt program \n") });
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("from a Qt program"), 5000);
        const auto before = history();

        p->write("quit\n");
        QVERIFY(p->waitForFinished(10000));
        QCOMPARE(p->exitCode(), 0);
        QVERIFY2(!p->readAllStandardError().contains(kQtGaveUp),
            "Qt waited for the clipboard manager in vain");
        // Pasted as the program had it (untrimmed: handed over, not the history entry offered
        // again), and recorded only the once.
        QCOMPARE(paste(), QStringLiteral("  from a Qt program \n"));
        settle();
        QCOMPARE(history(), before);
        QCOMPARE(paste(), QStringLiteral("  from a Qt program \n"));
    }

    void aCopyMadeJustBeforeQuittingIsKept()
    {
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("copied and quit"),
            QStringLiteral("--quit-after"), QStringLiteral("0") });
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(!p->readAllStandardError().contains(kQtGaveUp));
        if (paste().isEmpty())
            qWarning() << "Nookary said:" << m_nookary->readAllStandardError();
        QCOMPARE(paste(), QStringLiteral("copied and quit"));
        settle();
        // Recorded once at most: when the program quits before its copy was read for the
        // history, the hand-over is taken as this program's own write.
        QVERIFY(texts().count(QStringLiteral("copied and quit")) <= 1);
    }

    void aGtkProgramHandsItsCopyOverAsItQuits()
    {
        QProcess *p = m_desk->spawn(
            kGtkCopy, { QStringLiteral(" from a GTK program "), QStringLiteral("1500") });
        QVERIFY(p->waitForReadyRead(10000));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("from a GTK program"), 5000);
        QVERIFY(p->waitForFinished(15000));
        QCOMPARE(p->exitCode(), 0);
        // Untrimmed: handed over, not the history entry offered again.
        QCOMPARE(paste(), QStringLiteral(" from a GTK program "));
        settle();
        QCOMPARE(texts().count(QStringLiteral("from a GTK program")), 1);
        QCOMPARE(texts().value(0), QStringLiteral("from a GTK program"));
    }

    void aFileIsHandedOverAsAFile()
    {
        QProcess *p
            = owner({ QStringLiteral("--uri"), QStringLiteral("file:///tmp/handed%20over.txt"),
                QStringLiteral("--text"), QStringLiteral("/tmp/handed over.txt") });
        QTRY_COMPARE_WITH_TIMEOUT(
            texts().value(0), QStringLiteral("file:///tmp/handed%20over.txt"), 5000);
        p->write("quit\n");
        QVERIFY(p->waitForFinished(10000));
        QCOMPARE(paste(QStringLiteral("text/uri-list")).trimmed(),
            QStringLiteral("file:///tmp/handed%20over.txt"));
        QVERIFY(paste(QStringLiteral("x-special/gnome-copied-files"))
                    .startsWith(QStringLiteral("copy\n")));
    }

    void anOwnerThatVanishesHasItsCopyOfferedAgain()
    {
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("crashed owner") });
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("crashed owner"), 5000);
        const auto before = history();
        p->kill(); // no hand-over: its client is simply gone
        QVERIFY(p->waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(paste(), QStringLiteral("crashed owner"), 5000);
        settle();
        QCOMPARE(history(), before);
    }

    void onlyWhatAVanishedOwnerHeldIsOfferedAgain()
    {
        // Killed while its copy is still being read (a silent owner is read until the
        // deadline): the copy before it is not what it held.
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("before the silence") });
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("before the silence"), 5000);
        QProcess *silent = m_desk->spawn(kSilentOwner, {});
        QVERIFY(silent->waitForReadyRead(5000));
        QVERIFY(p->waitForFinished(5000)); // it lost the clipboard
        QTest::qWait(300);
        silent->kill();
        QVERIFY(silent->waitForFinished(5000));
        settle();
        QCOMPARE(paste(), QString());

        // Tk keeps the clipboard from one copy to the next: only its first copy is told.
        QProcess *tk = m_desk->spawn(QStringLiteral("wish"), { kTkCopy });
        const auto tkCopies = [tk](const QByteArray &text) {
            tk->write("copy " + text + "\n");
            return tk->waitForReadyRead(5000) && tk->readAllStandardOutput().contains("copied");
        };
        QVERIFY(tkCopies("alpha from Tk"));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("alpha from Tk"), 5000);
        QVERIFY(tkCopies("beta from Tk"));
        QCOMPARE(paste(), QStringLiteral("beta from Tk"));
        // Opening the panel reads it again.
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("beta from Tk"), 5000);
        QCOMPARE(m_desk->nookary({ QStringLiteral("--hide") }).exitCode, 0);
        // Its copies are found by looking again, so what it holds when it goes may have
        // changed since the last look: nothing of it comes back.
        QVERIFY(tkCopies("gamma from Tk"));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("gamma from Tk"), 5000);
        tk->write("quit\n");
        QVERIFY(tk->waitForFinished(5000));
        settle();
        QCOMPARE(paste(), QString());
        QCOMPARE(texts().mid(0, 3),
            (QStringList { QStringLiteral("gamma from Tk"), QStringLiteral("beta from Tk"),
                QStringLiteral("alpha from Tk") }));
    }

    void aSecretIsNeitherHandedOverNorOfferedAgain()
    {
        QProcess *quitting = owner(
            { QStringLiteral("--text"), QStringLiteral("hunter2"), QStringLiteral("--secret") });
        settle();
        quitting->write("quit\n");
        QVERIFY(quitting->waitForFinished(10000));
        QVERIFY(!quitting->readAllStandardError().contains(kQtGaveUp));
        settle();
        QCOMPARE(paste(), QString());

        QProcess *crashing = owner(
            { QStringLiteral("--text"), QStringLiteral("hunter3"), QStringLiteral("--secret") });
        settle();
        crashing->kill();
        QVERIFY(crashing->waitForFinished(5000));
        settle();
        QCOMPARE(paste(), QString());
        QVERIFY(!texts().contains(QStringLiteral("hunter2")));
        QVERIFY(!texts().contains(QStringLiteral("hunter3")));
    }

    void aProgramThatClearsTheClipboardLeavesItEmpty()
    {
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("cleared on purpose") });
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("cleared on purpose"), 5000);
        p->write("clear\n");
        QVERIFY(p->waitForReadyRead(5000));
        settle();
        QCOMPARE(paste(), QString());
        // Nor does its quitting later bring anything back.
        p->write("quit\n");
        QVERIFY(p->waitForFinished(10000));
        settle();
        QCOMPARE(paste(), QString());
        QCOMPARE(texts().value(0), QStringLiteral("cleared on purpose"));
    }

    void aQuittingOwnerThatNeverAnswersIsRefusedAndHoldsNothingUp()
    {
        QProcess *silent = m_desk->spawn(
            kSilentOwner, { QStringLiteral("CLIPBOARD"), QStringLiteral("--save-targets") });
        QVERIFY(silent->waitForReadyRead(5000));
        QByteArray said = silent->readAll();
        // The program goes on answering while it waits for the owner in vain.
        for (int i = 0; i < 5; ++i) {
            const auto r = m_desk->nookary({ QStringLiteral("--history") });
            QVERIFY(r.finished);
            QCOMPARE(r.exitCode, 0);
            QTest::qWait(100);
        }
        QTRY_VERIFY_WITH_TIMEOUT((said += silent->readAll()).contains("refused"), 10000);
        QVERIFY(!said.contains("saved"));
        TestDesk::stop(silent);
        // The next copy is kept as usual.
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("after the silence") });
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("after the silence"), 5000);
        p->write("quit\n");
        QVERIFY(p->waitForFinished(10000));
        QCOMPARE(paste(), QStringLiteral("after the silence"));
    }

    void aSilentOwnerRightAfterAHandOverHoldsNothingUp()
    {
        // Nookary owns the handed-over copy when the silent owner takes the clipboard, before
        // the watcher's poll: the poll must not ask the silent owner on the main thread.
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("handed over, then silence"),
            QStringLiteral("--quit-after"), QStringLiteral("0") });
        QVERIFY(p->waitForFinished(10000));
        QProcess *silent = m_desk->spawn(kSilentOwner, {});
        QVERIFY(silent->waitForReadyRead(5000));
        for (int i = 0; i < 10; ++i) {
            const auto r = m_desk->nookary({ QStringLiteral("--history") });
            QVERIFY2(r.exitCode == 0, r.err.constData());
            QTest::qWait(100);
        }
        QCOMPARE(texts().value(0), QStringLiteral("handed over, then silence"));
        TestDesk::stop(silent);
    }

    void anotherClipboardManagerIsLeftAloneUntilItLeaves()
    {
        TestDesk::stop(m_nookary);
        QProcess *other = m_desk->spawn(kSilentOwner, { QStringLiteral("CLIPBOARD_MANAGER") });
        QVERIFY(other->waitForReadyRead(5000));
        m_nookary = startNookary();
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));

        // A program that copies and is killed: the other manager's business, not ours.
        QProcess *p = owner({ QStringLiteral("--text"), QStringLiteral("left to the other") });
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("left to the other"), 5000);
        p->kill();
        QVERIFY(p->waitForFinished(5000));
        settle();
        QCOMPARE(paste(), QString());

        // Once it is gone, Nookary takes the role.
        other->kill();
        QVERIFY(other->waitForFinished(5000));
        QTest::qWait(300);
        QProcess *q = owner({ QStringLiteral("--text"), QStringLiteral("kept again") });
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("kept again"), 5000);
        q->write("quit\n");
        QVERIFY(q->waitForFinished(10000));
        QVERIFY(!q->readAllStandardError().contains(kQtGaveUp));
        QCOMPARE(paste(), QStringLiteral("kept again"));

        TestDesk::stop(m_nookary);
        const QByteArray log = m_nookary->readAllStandardError();
        QCOMPARE(log.count("Another clipboard manager"), 1);
    }
};

QTEST_GUILESS_MAIN(TestDeskClipboardManager)
#include "tst_desk_clipboardmanager.moc"
