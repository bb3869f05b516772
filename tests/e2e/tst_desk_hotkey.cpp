// SPDX-License-Identifier: GPL-3.0-or-later
// The global shortcut on a real X server, and the whole road of a copy-back: another
// application copies, the shortcut opens the panel, typing narrows, Return copies and
// closes, focus goes back, and nothing new is recorded.
#include "TestDesk.h"

#include <QtTest>

#include <algorithm>

using namespace nookary::test;

namespace {

const QString kTestWindow = QStringLiteral(TEST_WINDOW_BINARY);
const QString kGrabber = QStringLiteral(KEY_GRABBER_BINARY);

} // namespace

class TestDeskHotkey : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;
    QString m_target;

    QString x(const QStringList &args) { return m_desk->xdotool(args); }
    QString run(const QString &program, const QStringList &args)
    {
        return m_desk->output(program, args);
    }
    QString panel() { return m_desk->panelWindow(); }
    void press(const QString &keys) { m_desk->pressKeys(keys); }
    QString history()
    {
        return QString::fromUtf8(m_desk->nookary({ QStringLiteral("--history") }).out).trimmed();
    }
    QString settings()
    {
        QFile file(m_desk->nookarySettingsPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // With no walkthrough finished: a start at login shows none.
    void startNookary(const QByteArray &settingsFile = {})
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = m_desk->startNookary({ .settings = settingsFile, .firstRun = true });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
    }

    void focusTarget() { QVERIFY(m_desk->focusWindow(m_target)); }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>(TestDesk::Options { true, false });
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        QProcess *target = m_desk->spawn(kTestWindow, { QStringLiteral("Hotkey target") });
        QVERIFY(target->waitForReadyRead(10000));
        QTRY_VERIFY_WITH_TIMEOUT(
            !(m_target = x({ QStringLiteral("search"), QStringLiteral("--name"),
                  QStringLiteral("^Hotkey target$") }))
                 .isEmpty(),
            5000);
        m_target = m_target.section(u'\n', 0, 0);
    }

    void theDefaultShortcutTogglesWhateverTheLocks()
    {
        startNookary();
        focusTarget();
        press(QStringLiteral("ctrl+alt+space"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(x({ QStringLiteral("getactivewindow") }), panel(), 5000);
        press(QStringLiteral("ctrl+alt+space"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(x({ QStringLiteral("getactivewindow") }), m_target, 5000);

        press(QStringLiteral("Num_Lock"));
        press(QStringLiteral("ctrl+alt+space"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        press(QStringLiteral("ctrl+alt+space"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
        press(QStringLiteral("Num_Lock"));
    }

    void aShortcutHeldAtStartIsKeptAndTriedAgainAtTheNextStart()
    {
        // Control+Alt+K (X key code 45; Control and Mod1 on this server) is taken first.
        QProcess *grabber = m_desk->spawn(kGrabber, { QStringLiteral("45"), QStringLiteral("12") });
        QVERIFY(grabber->waitForReadyRead(5000));
        startNookary("Nookary.hotkey.code.v1=40\nNookary.hotkey.modifiers.v1=6144\n");
        // Refused at start and said so; the user's choice stays, and nothing is grabbed in
        // its place.
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT(
            (log += m_nookary->readAllStandardError()).contains("Control + Alt + K\" was refused"),
            5000);
        QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.code.v1=40")));
        QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.modifiers.v1=6144")));
        focusTarget();
        press(QStringLiteral("ctrl+alt+space"));
        QTest::qWait(500);
        QVERIFY(panel().isEmpty());
        QVERIFY(m_desk->run(kGrabber, { QStringLiteral("65"), QStringLiteral("12") }, {}, 1000)
                    .out.contains("ready"));

        // The other program lets go; the next start takes the shortcut.
        TestDesk::stop(grabber);
        TestDesk::stop(m_nookary);
        m_nookary = m_desk->startNookary({ .keepSettings = true });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        focusTarget();
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        press(QStringLiteral("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
        QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.code.v1=40")));
    }

    void aStoredShortcutWithoutModifiersLeavesTheBareKeyAlone()
    {
        // Masks that name none of Control, Alt, Super and Shift: an unknown bit, and the
        // Caps Lock bit. Either would otherwise take plain Space from the whole desktop.
        for (const QByteArray &mask : { QByteArray("1"), QByteArray("1024") }) {
            startNookary("Nookary.hotkey.code.v1=49\nNookary.hotkey.modifiers.v1=" + mask + "\n");
            focusTarget();
            press(QStringLiteral("space"));
            QTest::qWait(500);
            QVERIFY(panel().isEmpty());
            // Another program can take plain Space while Nookary runs.
            QProcess *grabber
                = m_desk->spawn(kGrabber, { QStringLiteral("65"), QStringLiteral("0") });
            QVERIFY2(grabber->waitForReadyRead(5000), "plain Space is held by Nookary");
            TestDesk::stop(grabber);
            // The stored integers are left as they were.
            QVERIFY(settings().contains(
                QStringLiteral("Nookary.hotkey.modifiers.v1=") + QString::fromLatin1(mask)));
            QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.code.v1=49")));
        }
    }

    void theRoadOfOneCopyBack()
    {
        startNookary();
        focusTarget();
        // 1. Another application copies; within a poll it is in the history.
        m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, "first thing");
        QTRY_VERIFY_WITH_TIMEOUT(history().contains(QStringLiteral("first thing")), 3000);
        m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, "  the road  ");
        QTRY_VERIFY_WITH_TIMEOUT(history().contains(QStringLiteral("\"the road\"")), 3000);
        m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, "last thing");
        QTRY_VERIFY_WITH_TIMEOUT(history().contains(QStringLiteral("last thing")), 3000);
        const QString before = history();

        // 2. The shortcut opens the panel, focused.
        press(QStringLiteral("ctrl+alt+space"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(x({ QStringLiteral("getactivewindow") }), panel(), 5000);
        QTest::qWait(100);
        // 3. Typing narrows; 4. Return copies and closes.
        x({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
            QStringLiteral("road") });
        QTest::qWait(100);
        press(QStringLiteral("Return"));
        QTRY_COMPARE_WITH_TIMEOUT(run(QStringLiteral("xclip"),
                                      { QStringLiteral("-o"), QStringLiteral("-selection"),
                                          QStringLiteral("clipboard") }),
            QStringLiteral("the road"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(x({ QStringLiteral("getactivewindow") }), m_target, 5000);

        // 5. The next poll records nothing new; the chosen entry moved to the top.
        QTest::qWait(3 * 700);
        const QStringList after = history().split(u'\n');
        QCOMPARE(after.size(), before.split(u'\n').size());
        QVERIFY(after.first().contains(QStringLiteral("\"the road\"")));
    }

    void aTrayThatStartsLaterGetsTheIcon()
    {
        // This desk has no tray yet; Nookary runs from the tests above.
        startNookary();
        auto trayIcon = [this] { return !m_desk->trayIcon().isEmpty(); };
        QTest::qWait(500);
        QVERIFY(!trayIcon());
        QProcess *tray = m_desk->spawn(QStringLiteral("tint2"), {});
        QTRY_VERIFY_WITH_TIMEOUT(trayIcon(), 10000);
        TestDesk::stop(tray);
        QTRY_VERIFY_WITH_TIMEOUT(!trayIcon(), 5000);
        tray = m_desk->spawn(QStringLiteral("tint2"), {});
        QTRY_VERIFY_WITH_TIMEOUT(trayIcon(), 10000);
        TestDesk::stop(tray);
    }

    void aNoticeWaitsForATrayThatStartsLater()
    {
        // At login the tray may start after Nookary: the notice that the stored shortcut is
        // held elsewhere shows once a tray holds the icon it points at.
        QProcess *grabber = m_desk->spawn(kGrabber, { QStringLiteral("44"), QStringLiteral("12") });
        const auto release = qScopeGuard([grabber] { TestDesk::stop(grabber); });
        QVERIFY(grabber->waitForReadyRead(5000));
        startNookary("Nookary.hotkey.code.v1=38\nNookary.hotkey.modifiers.v1=6144\n");
        // The notice's balloon: a tooltip window of Nookary's.
        auto balloon = [this] {
            const QStringList windows
                = x({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--class"), QStringLiteral("Nookary") })
                      .split(u'\n', Qt::SkipEmptyParts);
            return std::ranges::any_of(windows, [this](const QString &window) {
                return m_desk
                    ->output(QStringLiteral("xprop"),
                        { QStringLiteral("-id"), window, QStringLiteral("_NET_WM_WINDOW_TYPE") })
                    .contains(QStringLiteral("_NET_WM_WINDOW_TYPE_TOOLTIP"));
            });
        };
        QTest::qWait(1500);
        QVERIFY(!balloon());
        QProcess *tray = m_desk->spawn(QStringLiteral("tint2"), {});
        QTRY_VERIFY_WITH_TIMEOUT(balloon(), 10000);
        TestDesk::stop(tray);
    }

    void withoutAWindowManagerOpeningAndClosingStillWork()
    {
        TestDesk bare(TestDesk::Options { false, false });
        QVERIFY2(bare.start(), qPrintable(bare.errorString()));
        QProcess *nookary = bare.startNookary({ .keepSettings = true });
        QVERIFY2(nookary, qPrintable(bare.errorString()));
        auto visible = [&bare] {
            return !bare.run(QStringLiteral("xdotool"),
                            { QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--class"), QStringLiteral("Nookary") })
                        .out.trimmed()
                        .isEmpty();
        };
        QCOMPARE(bare.nookary({ QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(visible(), 5000);
        QCOMPARE(bare.nookary({ QStringLiteral("--hide") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!visible(), 5000);
        bare.run(
            QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("ctrl+alt+space") });
        QTRY_VERIFY_WITH_TIMEOUT(visible(), 5000);
        QCOMPARE(nookary->state(), QProcess::Running);
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
    }
};

QTEST_GUILESS_MAIN(TestDeskHotkey)
#include "tst_desk_hotkey.moc"
