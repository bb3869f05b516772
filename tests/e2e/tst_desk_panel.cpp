// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on a real X desktop, used as a user would: the tray icon opens the
// panel, typing filters, Return copies and closes, and the window that was active before
// is active again.
#include "TestDesk.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QtTest>

using namespace nookary::test;

namespace {

const QString kNookary = QStringLiteral(NOOKARY_BINARY);
const QString kTestWindow = QStringLiteral(TEST_WINDOW_BINARY);

} // namespace

class TestDeskPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;
    QString m_targetWindow;
    QElapsedTimer m_lastTrayClick;

    QString x(const QString &program, const QStringList &args, const QByteArray &input = {})
    {
        return m_desk->output(program, args, input);
    }
    QString activeWindow() { return m_desk->activeWindow(); }
    QString clipboard()
    {
        return x(QStringLiteral("xclip"),
            { QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard") });
    }
    void copy(const QByteArray &text)
    {
        m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, text);
    }
    QString historyText()
    {
        return QString::fromUtf8(m_desk->nookary({ QStringLiteral("--history") }).out);
    }

    // Nookary's windows by size: the tray icon is small, the panel at least 560 wide.
    QString nookaryWindow(bool trayIcon)
    {
        return trayIcon ? m_desk->trayIcon() : m_desk->panelWindow();
    }
    QString panelWindow() { return nookaryWindow(false); }

    void startNookary(const QByteArray &settings)
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = m_desk->startNookary({ .settings = settings });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(!nookaryWindow(true).isEmpty(), 10000);
        QVERIFY(panelWindow().isEmpty()); // a start at login shows nothing
        copy("alpha one");
        QTRY_VERIFY_WITH_TIMEOUT(historyText().contains("alpha one"), 5000);
        copy("beta two");
        QTRY_VERIFY_WITH_TIMEOUT(historyText().contains("beta two"), 5000);
        copy("gamma three");
        QTRY_VERIFY_WITH_TIMEOUT(historyText().contains("gamma three"), 5000);
    }

    void focusTarget()
    {
        m_desk->run(QStringLiteral("xdotool"),
            { QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_targetWindow });
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), m_targetWindow, 5000);
    }

    // A second press on the icon within Qt's double-click time (400 ms) is a double-click,
    // which opens the panel once; a user's second click, to close it, comes later.
    void clickTray(int repeat = 1)
    {
        if (m_lastTrayClick.isValid())
            QTest::qWait(qMax<qint64>(0, 600 - m_lastTrayClick.elapsed()));
        const QString icon = nookaryWindow(true);
        QVERIFY(!icon.isEmpty());
        m_desk->run(QStringLiteral("xdotool"),
            { QStringLiteral("mousemove"), QStringLiteral("--window"), icon, QStringLiteral("8"),
                QStringLiteral("8"), QStringLiteral("click"), QStringLiteral("--repeat"),
                QString::number(repeat), QStringLiteral("--delay"), QStringLiteral("150"),
                QStringLiteral("1") });
        m_lastTrayClick.start();
    }

    // Chooses an entry of the tray icon's menu by its place among the entries, with the
    // keyboard: 0 is "Open Nookary", 1 "Pause Nookary" or "Resume Nookary".
    void chooseTrayMenuEntry(int index)
    {
        const QString icon = nookaryWindow(true);
        QVERIFY(!icon.isEmpty());
        // The menu: wider than the icon, narrower than the panel; the class is matched whole,
        // since the target window's class holds "nookary" too.
        auto menu = [this] { return m_desk->findWindow(QStringLiteral("^Nookary$"), 100, 500); };
        QVERIFY(menu().isEmpty());
        m_desk->run(QStringLiteral("xdotool"),
            { QStringLiteral("mousemove"), QStringLiteral("--window"), icon, QStringLiteral("8"),
                QStringLiteral("8"), QStringLiteral("click"), QStringLiteral("3") });
        QTRY_VERIFY_WITH_TIMEOUT(!menu().isEmpty(), 5000);
        QTest::qWait(200);
        for (int i = 0; i <= index; ++i)
            m_desk->run(
                QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("Down") });
        m_desk->run(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("Return") });
        QTRY_VERIFY_WITH_TIMEOUT(menu().isEmpty(), 5000);
    }

    void chooseBetaAndCheckTheRoad()
    {
        m_desk->run(QStringLiteral("xdotool"),
            { QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
                QStringLiteral("beta") });
        QTest::qWait(200);
        m_desk->run(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("Return") });
        QTRY_COMPARE_WITH_TIMEOUT(clipboard(), QStringLiteral("beta two"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), m_targetWindow, 5000);
        // The program's own write is not recorded again; the entry moved to the top.
        QTest::qWait(3 * 700);
        const QStringList lines = historyText().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.first().contains("beta two"));
    }

    // A second window of another program, "Other window"; its id in `id`.
    QProcess *startOtherWindow(QString *id)
    {
        QProcess *other = m_desk->spawn(kTestWindow, { QStringLiteral("Other window") });
        if (!other->waitForReadyRead(10000))
            return nullptr;
        QElapsedTimer waited;
        waited.start();
        while ((*id = x(QStringLiteral("xdotool"),
                    { QStringLiteral("search"), QStringLiteral("--name"),
                        QStringLiteral("^Other window$") }))
                   .isEmpty()
            && waited.elapsed() < 5000)
            QTest::qWait(50);
        *id = id->section(u'\n', 0, 0);
        return id->isEmpty() ? nullptr : other;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>();
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        QProcess *target = m_desk->spawn(kTestWindow, { QStringLiteral("Target window") });
        QVERIFY(target->waitForReadyRead(10000));
        QTRY_VERIFY_WITH_TIMEOUT(!(m_targetWindow = x(QStringLiteral("xdotool"),
                                       { QStringLiteral("search"), QStringLiteral("--name"),
                                           QStringLiteral("^Target window$") }))
                                      .isEmpty(),
            5000);
        m_targetWindow = m_targetWindow.section(u'\n', 0, 0);
    }

    void theCentredWindowCopiesAndHandsFocusBack()
    {
        startNookary({});
        focusTarget();
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), panelWindow(), 5000);
        // Centred on the 1280 x 800 screen.
        const QString geometry
            = x(QStringLiteral("xdotool"), { QStringLiteral("getwindowgeometry"), panelWindow() });
        QVERIFY2(geometry.contains(QStringLiteral("Geometry: 560x380")), qPrintable(geometry));
        QVERIFY2(geometry.contains(QStringLiteral("Position: 360,")), qPrintable(geometry));
        if (qEnvironmentVariableIsSet("NOOKARY_SCREENSHOTS"))
            m_desk->run(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"),
                    qEnvironmentVariable("NOOKARY_SCREENSHOTS") + QStringLiteral("/centred.png") });
        chooseBetaAndCheckTheRoad();
    }

    // A double-click, a habit from other desktops, opens it once rather than open and shut.
    void aSecondClickCloses()
    {
        focusTarget();
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), panelWindow(), 5000);
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), m_targetWindow, 5000);

        clickTray(2);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), panelWindow(), 5000);
        QTest::qWait(500); // a close would follow the second press at once
        QVERIFY(!panelWindow().isEmpty());
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
    }

    void theCommandLineTogglesThePanel()
    {
        focusTarget();
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--toggle") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), m_targetWindow, 5000);
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--toggle") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--hide") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        // Asked while another window is taking the keyboard from it, it takes it back.
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--show") }).exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), panelWindow(), 5000);
        m_desk->xdotool({ QStringLiteral("windowactivate"), m_targetWindow });
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), panelWindow(), 5000);
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--hide") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        // A second start re-opens the panel.
        QCOMPARE(m_desk->run(kNookary, {}).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--hide") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
    }

    void aHeldDeleteRemovesOneEntry()
    {
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), panelWindow(), 5000);
        auto entries = [this] { return historyText().count(u'\n'); };
        const qsizetype before = entries();
        // Held past the keyboard's repeat delay, X11 repeats it as releases and presses.
        m_desk->xdotool({ QStringLiteral("keydown"), QStringLiteral("Delete") });
        QTest::qWait(1500);
        m_desk->xdotool({ QStringLiteral("keyup"), QStringLiteral("Delete") });
        QTRY_VERIFY_WITH_TIMEOUT(entries() < before, 5000);
        QTest::qWait(500); // for repeats still on their way
        QCOMPARE(entries(), before - 1);
        m_desk->xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+z") });
        QTRY_COMPARE_WITH_TIMEOUT(entries(), before, 5000);
        QCOMPARE(m_desk->run(kNookary, { QStringLiteral("--hide") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
    }

    void thePopoverCopiesAndHandsFocusBack()
    {
        startNookary("Nookary.openPresentation.v2=menubarPopover\n");
        focusTarget();
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        // Above the tray icon, since tint2 sits at the bottom of the screen.
        const QString geometry
            = x(QStringLiteral("xdotool"), { QStringLiteral("getwindowgeometry"), panelWindow() });
        const int y = QRegularExpression(QStringLiteral("Position: \\d+,(\\d+)"))
                          .match(geometry)
                          .captured(1)
                          .toInt();
        QVERIFY2(y + 380 <= 800 && y > 300, qPrintable(geometry));
        QTest::qWait(300);
        if (qEnvironmentVariableIsSet("NOOKARY_SCREENSHOTS"))
            m_desk->run(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"),
                    qEnvironmentVariable("NOOKARY_SCREENSHOTS") + QStringLiteral("/popover.png") });
        chooseBetaAndCheckTheRoad();
    }

    void aSecondTrayClickClosesThePopover()
    {
        focusTarget();
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTest::qWait(300);
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTest::qWait(500);
        QVERIFY(panelWindow().isEmpty()); // and it stays closed
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), m_targetWindow, 5000);

        // As the centred window, it opens once on a double-click.
        clickTray(2);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTest::qWait(500);
        QVERIFY(!panelWindow().isEmpty());
        clickTray();
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
    }

    // The popover driven by the global shortcut, as a user of it works: add a snippet, type
    // it on two lines, close with the shortcut; the shortcut toggles press after press; and a
    // pointer resting where the panel opens does not choose what Return copies.
    void thePopoversRoadByTheShortcut()
    {
        auto press = [this](const QString &keys) {
            x(QStringLiteral("xdotool"), { QStringLiteral("key"), keys });
        };
        const QString shortcut = QStringLiteral("ctrl+alt+space");
        auto origin = [this] {
            const QString geometry = x(
                QStringLiteral("xdotool"), { QStringLiteral("getwindowgeometry"), panelWindow() });
            const auto m
                = QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+)")).match(geometry);
            return QPoint(m.captured(1).toInt(), m.captured(2).toInt());
        };
        auto pointAt = [this](QPoint p) {
            x(QStringLiteral("xdotool"),
                { QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()) });
        };
        focusTarget();
        press(shortcut);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTest::qWait(300);
        const QPoint popover = origin();

        // "Drag from History or add a snippet…" heads the empty saved column.
        pointAt(popover + QPoint(380, 113));
        x(QStringLiteral("xdotool"), { QStringLiteral("click"), QStringLiteral("1") });
        QTest::qWait(300);
        x(QStringLiteral("xdotool"),
            { QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
                QStringLiteral("typed in the popover") });
        // Shift+Return breaks the line rather than ending the edit.
        press(QStringLiteral("shift+Return"));
        x(QStringLiteral("xdotool"),
            { QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
                QStringLiteral("on two lines") });
        QTest::qWait(200);
        press(shortcut);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_desk->output(kNookary, { QStringLiteral("--saved") })
                .contains(QStringLiteral("typed in the popover\\non two lines")),
            5000);

        // Press after press, each one toggles.
        for (int i = 0; i < 4; ++i) {
            press(shortcut);
            QTRY_COMPARE_WITH_TIMEOUT(panelWindow().isEmpty(), i % 2 == 1, 5000);
            QTest::qWait(200);
        }
        QVERIFY(panelWindow().isEmpty());

        // The pointer rests over the second history row where the popover will open.
        focusTarget();
        pointAt(popover + QPoint(100, 146));
        QTest::qWait(200);
        press(shortcut);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTest::qWait(300);
        if (qEnvironmentVariableIsSet("NOOKARY_SCREENSHOTS"))
            m_desk->run(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"),
                    qEnvironmentVariable("NOOKARY_SCREENSHOTS")
                        + QStringLiteral("/popover-road.png") });
        press(QStringLiteral("Return"));
        // The default selection, the first snippet, not the row under the pointer.
        QTRY_COMPARE_WITH_TIMEOUT(
            clipboard(), QStringLiteral("typed in the popover\non two lines"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), m_targetWindow, 5000);
    }

    // Qt eats the click that closes the popover: the window it landed in is activated, as
    // the click would have done, and focus does not go back to the window it opened over.
    void aClickOnAnotherWindowClosesThePopoverAndActivatesIt()
    {
        QString otherWindow;
        QProcess *other = startOtherWindow(&otherWindow);
        QVERIFY(other);
        // Side by side, so that neither covers the other.
        x(QStringLiteral("xdotool"),
            { QStringLiteral("windowmove"), QStringLiteral("--sync"), otherWindow,
                QStringLiteral("20"), QStringLiteral("20") });
        x(QStringLiteral("xdotool"),
            { QStringLiteral("windowmove"), QStringLiteral("--sync"), m_targetWindow,
                QStringLiteral("640"), QStringLiteral("20") });
        focusTarget();
        x(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("ctrl+alt+space") });
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTest::qWait(300);
        x(QStringLiteral("xdotool"),
            { QStringLiteral("mousemove"), QStringLiteral("--window"), otherWindow,
                QStringLiteral("30"), QStringLiteral("30"), QStringLiteral("click"),
                QStringLiteral("1") });
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), otherWindow, 5000);
        QTest::qWait(300); // past the hand-back
        QCOMPARE(activeWindow(), otherWindow);
        TestDesk::stop(other);
    }

    // The popover holds the keyboard, as popups do: a window another program activates
    // meanwhile takes it, the popover closes, and nothing is handed back over it.
    void aWindowActivatedMeanwhileClosesThePopover()
    {
        QString otherWindow;
        QProcess *other = startOtherWindow(&otherWindow);
        QVERIFY(other);
        focusTarget();
        x(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("ctrl+alt+space") });
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        QTest::qWait(300);
        x(QStringLiteral("xdotool"), { QStringLiteral("windowactivate"), otherWindow });
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), otherWindow, 5000);
        QTest::qWait(300); // past the hand-back
        QCOMPARE(activeWindow(), otherWindow);
        // Activated right after the opening, while an activation of the window it opened
        // over could still be arriving: looked at again after that.
        focusTarget();
        x(QStringLiteral("xdotool"),
            { QStringLiteral("key"), QStringLiteral("ctrl+alt+space"), QStringLiteral("sleep"),
                QStringLiteral("0.05"), QStringLiteral("windowactivate"), otherWindow });
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), otherWindow, 5000);
        TestDesk::stop(other);
    }

    // Paused means nothing is read: an owner that serves one request (a password tool, or
    // xclip -loops 1) keeps it for the user's own paste.
    void whilePausedNothingIsRead()
    {
        startNookary({});
        // The menu's first entry opens the panel.
        chooseTrayMenuEntry(0);
        QTRY_VERIFY_WITH_TIMEOUT(!panelWindow().isEmpty(), 5000);
        m_desk->run(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("Escape") });
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
        chooseTrayMenuEntry(1);
        x(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-loops"),
                QStringLiteral("1") },
            "one paste only");
        QTest::qWait(1000);
        QCOMPARE(clipboard(), QStringLiteral("one paste only"));
        copy("copied while paused");
        QTest::qWait(1000);
        QVERIFY(!historyText().contains(QStringLiteral("paste only")));
        QVERIFY(!historyText().contains(QStringLiteral("while paused")));

        // Nothing copied while paused is recorded on resume either; the next copy is.
        chooseTrayMenuEntry(1);
        copy("copied after resuming");
        QTRY_VERIFY_WITH_TIMEOUT(
            historyText().contains(QStringLiteral("copied after resuming")), 5000);
        QVERIFY(!historyText().contains(QStringLiteral("copied while paused")));
        QVERIFY(!historyText().contains(QStringLiteral("paste only")));
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
    }
};

QTEST_GUILESS_MAIN(TestDeskPanel)
#include "tst_desk_panel.moc"
