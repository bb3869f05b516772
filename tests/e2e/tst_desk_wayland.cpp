// SPDX-License-Identifier: GPL-3.0-or-later
// The real program in a Wayland session (sway, headless) records what other programs copy
// without having focus, through the compositor's data-control protocol, and copies back.
#include "TestDesk.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace nookary::test;

namespace {

const QString kTestWindow = QStringLiteral(TEST_WINDOW_BINARY);
const QString kOffer = QStringLiteral(WAYLAND_OFFER_BINARY);

} // namespace

class TestDeskWayland : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;
    bool m_toldEnd = false;

    QStringList texts() const
    {
        const TestDesk::Result r = m_desk->nookary({ QStringLiteral("--history") });
        QStringList out;
        if (r.exitCode != 0)
            return { QStringLiteral("(no answer)") };
        for (const QByteArray &line : r.out.split('\n')) {
            if (!line.isEmpty())
                out.append(
                    QJsonDocument::fromJson(line).object().value(QLatin1String("text")).toString());
        }
        return out;
    }

    void wlCopy(const QByteArray &data, const QStringList &arguments = {})
    {
        const auto r = m_desk->run(QStringLiteral("wl-copy"), arguments, data);
        QVERIFY2(r.exitCode == 0, r.err.constData());
    }

    QByteArray wlPaste(const QString &type = {}) const
    {
        QStringList arguments { QStringLiteral("--no-newline") };
        if (!type.isEmpty())
            arguments << QStringLiteral("--type") << type;
        return m_desk->run(QStringLiteral("wl-paste"), arguments).out;
    }

    QStringList offeredTypes() const
    {
        return QString::fromUtf8(
            m_desk->run(QStringLiteral("wl-paste"), { QStringLiteral("--list-types") }).out)
            .split(u'\n', Qt::SkipEmptyParts);
    }

    // A change is recorded within one poll; when nothing should be, give it three.
    void settle() { QTest::qWait(3 * 700); }

    // Opens the panel from the command line, filters by `filter` and copies with Return.
    void copyBack(const QString &filter)
    {
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        // Typed only once the panel has the keyboard, or the keys reach the window before it.
        QTRY_COMPARE_WITH_TIMEOUT(
            m_desk->swayFocusedApp(), QStringLiteral("com.dorwen.Nookary"), 5000);
        QTest::qWait(100);
        const auto r = m_desk->wtype({ filter, QStringLiteral("-k"), QStringLiteral("Return") });
        QVERIFY2(r.exitCode == 0, r.err.constData());
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!TestDesk::canStartWayland())
            QSKIP("sway is not installed (scripts/setup installs it)");
        m_desk = std::make_unique<TestDesk>(
            TestDesk::Options { .session = TestDesk::Session::wayland });
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        // Something on the clipboard before the program starts is never recorded.
        wlCopy("there before");
        // As the user starts it, the walkthrough done.
        m_nookary = m_desk->startNookary({ .arguments = {} });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QCOMPARE(texts(), QStringList {});
    }

    void textAndFileUrlsCopiedElsewhereAreRecorded()
    {
        wlCopy("  hello wayland \n");
        QTRY_COMPARE_WITH_TIMEOUT(texts(), QStringList { QStringLiteral("hello wayland") }, 5000);
        wlCopy("file:///tmp/nookary%20e2e.txt\r\n",
            { QStringLiteral("--type"), QStringLiteral("text/uri-list") });
        QTRY_COMPARE_WITH_TIMEOUT(texts(),
            (QStringList {
                QStringLiteral("file:///tmp/nookary%20e2e.txt"), QStringLiteral("hello wayland") }),
            5000);
        // Only the clipboard is watched, not the primary selection.
        wlCopy("primary only", { QStringLiteral("--primary") });
        settle();
        QCOMPARE(texts().size(), 2);
    }

    void copyingBackSetsTheClipboardAndRecordsNothingTwice()
    {
        copyBack(QStringLiteral("hello"));
        QTRY_COMPARE_WITH_TIMEOUT(wlPaste(), QByteArray("hello wayland"), 5000);
        QCOMPARE(offeredTypes().value(0), QStringLiteral("text/plain;charset=utf-8"));
        settle();
        QCOMPARE(texts(),
            (QStringList { QStringLiteral("hello wayland"),
                QStringLiteral("file:///tmp/nookary%20e2e.txt") }));

        // A file is pasted as a file by file managers.
        copyBack(QStringLiteral("e2e"));
        QTRY_COMPARE_WITH_TIMEOUT(wlPaste(QStringLiteral("text/uri-list")),
            QByteArray("file:///tmp/nookary%20e2e.txt\r\n"), 5000);
        QCOMPARE(wlPaste(QStringLiteral("x-special/gnome-copied-files")),
            QByteArray("copy\nfile:///tmp/nookary%20e2e.txt"));
        QCOMPARE(wlPaste(), QByteArray("file:///tmp/nookary%20e2e.txt"));
        settle();
        QCOMPARE(texts().size(), 2);
        QCOMPARE(texts().value(0), QStringLiteral("file:///tmp/nookary%20e2e.txt"));
    }

    void aCopyMarkedSecretIsNotRecorded()
    {
        const QStringList before = texts();
        QProcess *secret = m_desk->spawn(kOffer,
            { QStringLiteral("--text"), QStringLiteral("hunter2"), QStringLiteral("--secret") });
        QVERIFY(secret->waitForReadyRead(5000));
        settle();
        QCOMPARE(texts(), before);
        // The same copy without the hint is an ordinary one.
        QProcess *plain
            = m_desk->spawn(kOffer, { QStringLiteral("--text"), QStringLiteral("not secret") });
        QVERIFY(plain->waitForReadyRead(5000));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("not secret"), 5000);
    }

    void anOwnerThatNeverSendsHoldsNothingUp()
    {
        const QStringList before = texts();
        QProcess *silent = m_desk->spawn(kOffer,
            { QStringLiteral("--text"), QStringLiteral("never sent"), QStringLiteral("--silent") });
        QVERIFY(silent->waitForReadyRead(5000));
        // The program answers all the while its reader waits for the owner.
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(texts(), before);
            QTest::qWait(250);
        }
        // Past the reader's deadline, the next copy is read as usual.
        wlCopy("after the silent one");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("after the silent one"), 5000);
        QCOMPARE(texts().size(), before.size() + 1);
    }

    // A program that quits takes its copy with it; the newest entry is offered again, but
    // never a secret one (not in the history at all).
    void theClipboardOutlivesItsOwner()
    {
        QProcess *owner
            = m_desk->spawn(kOffer, { QStringLiteral("--text"), QStringLiteral("outlives me") });
        QVERIFY(owner->waitForReadyRead(5000));
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("outlives me"), 5000);
        const int recorded = int(texts().size());
        TestDesk::stop(owner);
        QTRY_COMPARE_WITH_TIMEOUT(wlPaste(), QByteArray("outlives me"), 5000);
        QCOMPARE(offeredTypes().value(0), QStringLiteral("text/plain;charset=utf-8"));
        settle();
        QCOMPARE(texts().size(), recorded);

        QProcess *secret = m_desk->spawn(kOffer,
            { QStringLiteral("--text"), QStringLiteral("hunter2"), QStringLiteral("--secret") });
        QVERIFY(secret->waitForReadyRead(5000));
        TestDesk::stop(secret);
        settle();
        QCOMPARE(wlPaste(), QByteArray());
        QCOMPARE(texts().size(), recorded);
    }

    // Where the compositor offers virtual keyboards, a chosen entry is pasted into the window
    // that has the keyboard once the panel has let it go.
    void pasteAfterChoosingTypesIntoTheWindowFocusGoesTo()
    {
        TestDesk::stop(m_nookary);
        QFile settings(m_desk->nookarySettingsPath());
        QVERIFY(settings.open(QIODevice::Append));
        settings.write("Nookary.pasteAfterChoosing.v1=true\n");
        settings.close();
        m_nookary = m_desk->startNookary({ .keepSettings = true, .arguments = {} });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        wlCopy("typed by the paste");
        QTRY_VERIFY_WITH_TIMEOUT(texts().contains(QStringLiteral("typed by the paste")), 5000);

        QProcess *target = m_desk->spawn(kTestWindow, { QStringLiteral("Wayland target") });
        QVERIFY(target->waitForReadyRead(10000));
        QTest::qWait(300);
        QByteArray said;
        copyBack(QStringLiteral("typed by"));
        QTRY_VERIFY2_WITH_TIMEOUT((said += target->readAll()).contains("text typed by the paste"),
            said.constData(), 5000);
        TestDesk::stop(target);
    }

    void cleanup()
    {
        // What the program said before it ended, where it ended too early.
        if (m_nookary && m_nookary->state() != QProcess::Running && !m_toldEnd) {
            m_toldEnd = true;
            qWarning("Nookary ended (%s, %d): %s",
                m_nookary->exitStatus() == QProcess::CrashExit ? "by a signal" : "exit status",
                m_nookary->exitCode(), m_nookary->readAllStandardError().right(3000).constData());
        }
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            QCOMPARE(m_nookary->state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestDeskWayland)
#include "tst_desk_wayland.moc"
