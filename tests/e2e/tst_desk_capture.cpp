// SPDX-License-Identifier: GPL-3.0-or-later
// The road of a copy on a real X display, at a user's pace: from another program into the
// history as it happens, and back out through the panel, whole.
#include "TestDesk.h"

#include <QtTest>

using namespace nookary::test;

namespace {

const QString kOwner = QStringLiteral(CLIPBOARD_OWNER_BINARY);
const QString kSilentOwner = QStringLiteral(SILENT_OWNER_BINARY);
const QString kTkCopy = QStringLiteral(TK_COPY_SCRIPT);

} // namespace

class TestDeskCapture : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QStringList texts() const { return TestDesk::texts(m_desk->history()); }

    void xclip(const QByteArray &data)
    {
        const auto r = m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, data);
        QVERIFY2(r.exitCode == 0, r.err.constData());
    }

    QByteArray clipboard(const QString &type = QStringLiteral("UTF8_STRING")) const
    {
        return m_desk
            ->run(QStringLiteral("xclip"),
                { QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                    QStringLiteral("-t"), type })
            .out;
    }

    QString panelWindow() const { return m_desk->panelWindow(); }

    // Opens the panel as the command line does and waits until it has the keyboard.
    void openPanel()
    {
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), panelWindow(), 5000);
    }

    // Return in the open panel: the selected entry is copied back and the panel closes.
    void chooseWithReturn()
    {
        m_desk->pressKeys(QStringLiteral("Return"));
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
    }

    // Copies made in another program while the slow owner's copy is still being read are
    // each recorded, in the order made.
    void copiesAfter(QProcess *slowOwner, const QString &name)
    {
        QVERIFY(slowOwner->waitForReadyRead(5000));
        QTest::qWait(150);
        QStringList copied;
        for (int i = 0; i < 4; ++i) {
            copied.prepend(QStringLiteral("copy %1 after %2").arg(i).arg(name));
            xclip(copied.first().toUtf8());
            QTest::qWait(300);
        }
        QTRY_COMPARE_WITH_TIMEOUT(texts().mid(0, 4), copied, 5000);
        TestDesk::stop(slowOwner);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>();
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        m_nookary
            = m_desk->startNookary({ .settings = "Nookary.defaultOpenTarget.v1=historyFirst\n" });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
    }

    void copiesAFractionOfASecondApartAreEachRecorded()
    {
        QStringList copied;
        for (int i = 0; i < 10; ++i) {
            copied.prepend(QStringLiteral("copy %1 of ten").arg(i));
            xclip(copied.first().toUtf8());
            QTest::qWait(300);
        }
        QTRY_COMPARE_WITH_TIMEOUT(texts().mid(0, 10), copied, 3000);
    }

    void aSlowOwnerHoldsUpNoCopyMadeAfterIt()
    {
        copiesAfter(m_desk->spawn(kOwner,
                        { QStringLiteral("--text"), QStringLiteral("busy owner"),
                            QStringLiteral("--busy"), QStringLiteral("900") }),
            QStringLiteral("a busy owner"));
        copiesAfter(m_desk->spawn(kSilentOwner, {}), QStringLiteral("a silent owner"));
    }

    // Each busy owner is still asked when the next copy is made: what it answers late must
    // never reach, or cost, the program that copied after it (xclip exits on any X error).
    void busyOwnersAndTheCopiesRightAfterThem()
    {
        QList<QProcess *> busy;
        QStringList copied;
        for (int i = 1; i <= 3; ++i) {
            const QString text = QStringLiteral("busy %1").arg(i);
            busy.append(m_desk->spawn(kOwner,
                { QStringLiteral("--text"), text, QStringLiteral("--busy"),
                    QStringLiteral("1000") }));
            QVERIFY(busy.last()->waitForReadyRead(5000));
            QTest::qWait(200);
            copied << text << QStringLiteral("quick %1").arg(i);
            xclip(copied.last().toUtf8());
            QTest::qWait(200);
        }
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("quick 3"), 5000);
        QCOMPARE(clipboard(), QByteArray("quick 3"));
        for (const QString &text : std::as_const(copied))
            QTRY_VERIFY2_WITH_TIMEOUT(texts().contains(text), qPrintable(text), 5000);
        for (QProcess *owner : std::as_const(busy))
            TestDesk::stop(owner);
    }

    void aCopyRightAfterACopyBackIsRecorded()
    {
        xclip("to be copied back");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("to be copied back"), 3000);
        openPanel();
        chooseWithReturn();
        QCOMPARE(clipboard(), QByteArray("to be copied back"));
        QTest::qWait(500);
        xclip("copied half a second later");
        QTRY_COMPARE_WITH_TIMEOUT(
            texts().value(0), QStringLiteral("copied half a second later"), 3000);
        QCOMPARE(texts().count(QStringLiteral("to be copied back")), 1);
    }

    void thePanelOpenedRightAfterACopyShowsItFirst()
    {
        xclip("the copy before");
        QTest::qWait(100);
        // A busy program answers only after the panel has opened (unless the desk is slower
        // still), within the reader's deadline: the read is in flight when Return is pressed.
        QProcess *owner = m_desk->spawn(kOwner,
            { QStringLiteral("--text"), QStringLiteral("just copied"), QStringLiteral("--busy"),
                QStringLiteral("1200") });
        QVERIFY(owner->waitForReadyRead(5000));
        openPanel();
        chooseWithReturn();
        QCOMPARE(clipboard(), QByteArray("just copied"));
        QCOMPARE(texts().value(0), QStringLiteral("just copied"));
        TestDesk::stop(owner);
    }

    void returnForACopyTooSlowToReadPutsNoOtherEntryBack()
    {
        xclip("the entry before");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("the entry before"), 3000);
        // Busy past the reader's deadline: its copy is never read.
        QProcess *owner = m_desk->spawn(kOwner,
            { QStringLiteral("--text"), QStringLiteral("too slow"), QStringLiteral("--busy"),
                QStringLiteral("2500") });
        QVERIFY(owner->waitForReadyRead(5000));
        openPanel();
        m_desk->pressKeys(QStringLiteral("Return"));
        QTest::qWait(3000);
        // The panel stays, saying why; the clipboard keeps the new copy.
        QVERIFY(!panelWindow().isEmpty());
        QCOMPARE(clipboard(), QByteArray("too slow"));
        m_desk->xdotool({ QStringLiteral("key"), QStringLiteral("Escape") });
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        TestDesk::stop(owner);
    }

    void everyCopyOfATkProgramIsRecorded()
    {
        // Tk takes the clipboard once and then changes what it holds unannounced. Here it
        // holds the clipboard already when Nookary starts.
        TestDesk::stop(m_nookary);
        QProcess *tk = m_desk->spawn(QStringLiteral("wish"), { kTkCopy });
        const auto tkCopies = [tk](const QByteArray &text) {
            tk->write("copy " + text + "\n");
            return tk->waitForReadyRead(5000) && tk->readAllStandardOutput().contains("copied");
        };
        QVERIFY(tkCopies("there before the start"));
        m_nookary = m_desk->startNookary({ .keepSettings = true });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QTest::qWait(300);
        QStringList copied;
        for (int i = 1; i <= 4; ++i) {
            copied.prepend(QStringLiteral("tk copy %1").arg(i));
            QVERIFY(tkCopies(copied.first().toUtf8()));
            QTest::qWait(400);
        }
        QTRY_COMPARE_WITH_TIMEOUT(texts().mid(0, 4), copied, 3000);
        QVERIFY(!texts().contains(QStringLiteral("there before the start")));
        // Another program's copy ends the looks; Tk's next copy takes the clipboard anew.
        xclip("from xclip");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("from xclip"), 3000);
        QVERIFY(tkCopies("tk after xclip"));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("tk after xclip"), 3000);
        QVERIFY(tkCopies("tk once more"));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("tk once more"), 3000);
        tk->write("quit\n");
        QVERIFY(tk->waitForFinished(5000));
    }

    void aLongCopyComesBackWhole()
    {
        QByteArray log;
        for (int i = 0; log.size() < 75 * 1000; ++i)
            log += "line " + QByteArray::number(i) + " of a long log, copied whole\n";
        log = log.trimmed();
        xclip("something else");
        xclip(log);
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0).size(), log.size(), 3000);
        xclip("copied after the log");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(1).size(), log.size(), 3000);
        openPanel();
        m_desk->xdotool({ QStringLiteral("key"), QStringLiteral("Down") });
        chooseWithReturn();
        QCOMPARE(clipboard(), log);
    }

    void severalCopiedFilesComeBackAsSeveral()
    {
        const QStringList files { QStringLiteral("file:///tmp/one%20file.txt"),
            QStringLiteral("file:///tmp/two.txt"), QStringLiteral("file:///tmp/three") };
        QStringList arguments { QStringLiteral("--text"), QStringLiteral("three files") };
        for (const QString &file : files)
            arguments << QStringLiteral("--uri") << file;
        QProcess *fileManager = m_desk->spawn(kOwner, arguments);
        QVERIFY(fileManager->waitForReadyRead(5000));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), files.join(u'\n'), 3000);
        xclip("copied after the files");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(1), files.join(u'\n'), 3000);
        openPanel();
        m_desk->xdotool({ QStringLiteral("key"), QStringLiteral("Down") });
        chooseWithReturn();
        QCOMPARE(clipboard(QStringLiteral("text/uri-list")),
            (files.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        QCOMPARE(clipboard(QStringLiteral("x-special/gnome-copied-files")),
            (QStringLiteral("copy\n") + files.join(u'\n')).toUtf8());
        // An editor or a terminal pastes the paths.
        QCOMPARE(clipboard(), QByteArray("/tmp/one file.txt\n/tmp/two.txt\n/tmp/three"));
        TestDesk::stop(fileManager);
    }
};

QTEST_GUILESS_MAIN(TestDeskCapture)
#include "tst_desk_capture.moc"
