// SPDX-License-Identifier: GPL-3.0-or-later
// The real program in GNOME's Wayland session, which offers no data-control: Mutter headless
// and its XWayland. Nookary's windows stay Wayland windows; the clipboard is watched and read
// through XWayland, onto whose CLIPBOARD Mutter mirrors every Wayland program's copy, and a
// copy-back owns that CLIPBOARD on Nookary's own X connection, which Mutter mirrors back to
// the Wayland programs. Keys come from a remote-desktop keyboard of Mutter's own.
#include "TestDesk.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace nookary::test;

namespace {

const QString kKeysScript = QStringLiteral(MUTTER_KEYS_SCRIPT);
constexpr quint32 kReturn = 0xff0d;
constexpr quint32 kDown = 0xff54;

} // namespace

class TestDeskGnome : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

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

    // As an X11 program copies (xclip serves it from the background).
    void x11Copy(const QByteArray &data)
    {
        const auto r = m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, data);
        QVERIFY2(r.exitCode == 0, r.err.constData());
    }
    QByteArray x11Paste() const
    {
        return m_desk
            ->run(QStringLiteral("xclip"),
                { QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard") })
            .out;
    }
    void waylandCopy(const QByteArray &data)
    {
        // Without data-control wl-copy needs the keyboard to take the clipboard, which Mutter
        // does not always hand it at once, and it exits 0 either way: the copy is made again
        // until a Wayland program pastes it.
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto r = m_desk->run(QStringLiteral("wl-copy"), {}, data);
            QVERIFY2(r.exitCode == 0, r.err.constData());
            if (QTest::qWaitFor([&] { return waylandPaste() == data; }, 2000))
                return;
        }
        QFAIL("wl-copy could not take the clipboard");
    }
    QByteArray waylandPaste() const
    {
        return m_desk->run(QStringLiteral("wl-paste"), { QStringLiteral("--no-newline") }).out;
    }

    // Opens the panel from the command line, moves down `down` rows and copies with Return.
    void copyBack(int down)
    {
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        QTest::qWait(700);
        for (int i = 0; i < down; ++i)
            QVERIFY(m_desk->pressGnomeKey(kDown));
        QVERIFY(m_desk->pressGnomeKey(kReturn));
    }

    void settle() { QTest::qWait(1500); }

private Q_SLOTS:
    void initTestCase()
    {
        if (!TestDesk::canStartGnome())
            QSKIP("Mutter and XWayland are not installed (scripts/setup installs them)");
        m_desk
            = std::make_unique<TestDesk>(TestDesk::Options { .session = TestDesk::Session::gnome });
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        QVERIFY2(m_desk->addGnomeKeyboard(kKeysScript), qPrintable(m_desk->errorString()));
        x11Copy("there before");
        // As the user starts it, the walkthrough done.
        m_nookary = m_desk->startNookary({ .arguments = {} });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QCOMPARE(texts(), QStringList {});
    }

    void copiesOfX11AndWaylandProgramsAreRecorded()
    {
        x11Copy("from an X11 program");
        QTRY_COMPARE_WITH_TIMEOUT(
            texts(), QStringList { QStringLiteral("from an X11 program") }, 5000);
        waylandCopy("from a Wayland program");
        // Should it fail, what Wayland and X11 programs paste tells whether the copy was made
        // at all and reached XWayland, or was missed by Nookary.
        QTRY_VERIFY2_WITH_TIMEOUT(texts().value(0) == QStringLiteral("from a Wayland program"),
            ("wl-paste: " + waylandPaste() + ", xclip: " + x11Paste()).constData(), 5000);
        x11Copy("the newest");
        QTRY_COMPARE_WITH_TIMEOUT(texts(),
            (QStringList { QStringLiteral("the newest"), QStringLiteral("from a Wayland program"),
                QStringLiteral("from an X11 program") }),
            5000);
    }

    // Our own write is known as ours: nothing is recorded twice, and a copy made right after
    // it is recorded.
    void aCopyBackReachesX11AndWaylandPrograms()
    {
        copyBack(1);
        QTRY_COMPARE_WITH_TIMEOUT(x11Paste(), QByteArray("from a Wayland program"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(waylandPaste(), QByteArray("from a Wayland program"), 5000);
        settle();
        QCOMPARE(texts(),
            (QStringList { QStringLiteral("from a Wayland program"), QStringLiteral("the newest"),
                QStringLiteral("from an X11 program") }));
        // A copy-back right after another: ours replaces ours, and is served.
        copyBack(2);
        QTRY_COMPARE_WITH_TIMEOUT(x11Paste(), QByteArray("from an X11 program"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(waylandPaste(), QByteArray("from an X11 program"), 5000);
        QTest::qWait(500);
        x11Copy("right after a copy-back");
        QTRY_COMPARE_WITH_TIMEOUT(
            texts().value(0), QStringLiteral("right after a copy-back"), 5000);
        QCOMPARE(texts().size(), 4);
        QCOMPARE(texts().value(1), QStringLiteral("from an X11 program"));
    }

    // Past the size of one X request, a copy-back goes in INCR chunks.
    void aLongTextComesBackWhole()
    {
        QByteArray log;
        for (int i = 0; log.size() < 600 * 1024; ++i)
            log += "line " + QByteArray::number(i) + " of a long log\n";
        x11Copy(log);
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0).size(), log.trimmed().size(), 10000);
        x11Copy("something else");
        QTRY_COMPARE_WITH_TIMEOUT(texts().value(0), QStringLiteral("something else"), 5000);
        copyBack(1);
        QTRY_COMPARE_WITH_TIMEOUT(x11Paste().size(), log.trimmed().size(), 10000);
        QCOMPARE(x11Paste(), log.trimmed());
        QCOMPARE(waylandPaste(), log.trimmed());
    }

    void cleanupTestCase()
    {
        if (m_nookary) {
            QCOMPARE(m_nookary->state(), QProcess::Running);
            const QByteArray said = m_nookary->readAllStandardError();
            QVERIFY2(said.contains("watched through the X display"), said.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestDeskGnome)
#include "tst_desk_gnome.moc"
