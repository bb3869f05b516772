// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window on a real X desktop: opened from the tray menu and with Ctrl+, while
// the panel shows, a new global shortcut recorded by pressing it, and settings changed with
// the keyboard and read back from the settings file.
#include "TestDesk.h"

#include <QtTest>

#include <utility>

using namespace nookary::test;

namespace {

const QString kTestWindow = QStringLiteral(TEST_WINDOW_BINARY);
const QString kGrabber = QStringLiteral(KEY_GRABBER_BINARY);
const QString kKeyboardGroup = QStringLiteral(KEYBOARD_GROUP_BINARY);

// X key codes on the desk's server, and its Control + Mod1 (Alt) mask.
const QString kX11Space = QStringLiteral("65");
const QString kX11K = QStringLiteral("45");
const QString kControlAlt = QStringLiteral("12");
const QString kX11I = QStringLiteral("31");
const QString kX11C = QStringLiteral("54");
const QString kControl = QStringLiteral("4");

} // namespace

class TestDeskPreferences : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;
    QString m_target;
    bool m_layoutChanged = false;

    QString x(const QStringList &args) { return m_desk->xdotool(args); }
    void press(const QString &keys)
    {
        x({ QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"), keys });
    }
    void pressEach(const QStringList &keys)
    {
        for (const QString &key : keys) {
            press(key);
            QTest::qWait(60);
        }
    }
    QString panel() { return m_desk->panelWindow(); }
    QString trayIcon() { return m_desk->trayIcon(); }
    QString preferences()
    {
        return x({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), QStringLiteral("^Preferences$") })
            .section(u'\n', 0, 0);
    }
    QString settings()
    {
        QFile file(m_desk->nookarySettingsPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    void startNookary(const QByteArray &settingsFile = {})
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = m_desk->startNookary({ .settings = settingsFile });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(!trayIcon().isEmpty(), 10000);
    }

    void focusTarget() { QVERIFY(m_desk->focusWindow(m_target)); }

    void showPanel()
    {
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), panel(), 5000);
    }

    // The window is shown, in front, with the keyboard, at its fixed size.
    void expectPreferencesInFront()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!preferences().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), preferences(), 5000);
        const QString geometry = x({ QStringLiteral("getwindowgeometry"), preferences() });
        QVERIFY2(geometry.contains(QStringLiteral("Geometry: 470x385")), qPrintable(geometry));
        QVERIFY(panel().isEmpty());
    }

    void closePreferences()
    {
        x({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), preferences() });
        press(QStringLiteral("alt+F4"));
        QTRY_VERIFY_WITH_TIMEOUT(preferences().isEmpty(), 5000);
    }

    // The shortcut field: the last row, right of the label column.
    void clickTheShortcutField()
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), preferences(), 5000);
        QTest::qWait(200);
        x({ QStringLiteral("mousemove"), QStringLiteral("--window"), preferences(),
            QStringLiteral("250"), QStringLiteral("167"), QStringLiteral("click"),
            QStringLiteral("1") });
        QTest::qWait(200);
    }

    // Whether another program can take the combination now (Nookary holds it no longer).
    bool canBeGrabbed(const QString &keycode, const QString &modifiers)
    {
        const TestDesk::Result result = m_desk->run(kGrabber, { keycode, modifiers }, {}, 1000);
        return result.out.contains("ready");
    }

    // Whether the combination opens the panel now, pressed in the target window; the panel
    // is closed again. Unlike another grab, this never keeps the combination from Nookary.
    bool opensThePanel(const QString &keys)
    {
        focusTarget();
        press(keys);
        if (!QTest::qWaitFor([this] { return !panel().isEmpty(); }, 1500))
            return false;
        press(QStringLiteral("Escape"));
        return QTest::qWaitFor([this] { return panel().isEmpty(); }, 5000);
    }

    void setKeyboardLayout(const QStringList &setxkbmapArguments)
    {
        m_layoutChanged = true;
        QCOMPARE(m_desk->run(QStringLiteral("setxkbmap"), setxkbmapArguments).exitCode, 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>();
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        QProcess *target = m_desk->spawn(kTestWindow, { QStringLiteral("Preferences target") });
        QVERIFY(target->waitForReadyRead(10000));
        QTRY_VERIFY_WITH_TIMEOUT(
            !(m_target = x({ QStringLiteral("search"), QStringLiteral("--name"),
                  QStringLiteral("^Preferences target$") }))
                 .isEmpty(),
            5000);
        m_target = m_target.section(u'\n', 0, 0);
    }

    void theTrayMenuOpensItOverThePanel()
    {
        startNookary();
        focusTarget();
        showPanel();
        x({ QStringLiteral("mousemove"), QStringLiteral("--window"), trayIcon(),
            QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("click"),
            QStringLiteral("3") });
        QTest::qWait(500);
        // Open Nookary, Pause Nookary, Show Onboarding, Preferences…
        pressEach({ QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
            QStringLiteral("Down"), QStringLiteral("Return") });
        expectPreferencesInFront();
        QTest::qWait(300);
        QCOMPARE(m_desk->activeWindow(), preferences()); // nothing handed focus back
        if (qEnvironmentVariableIsSet("NOOKARY_SCREENSHOTS"))
            m_desk->run(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"),
                    qEnvironmentVariable("NOOKARY_SCREENSHOTS")
                        + QStringLiteral("/preferences-desk.png") });
        closePreferences();
    }

    void ctrlCommaOpensItFromThePanel()
    {
        focusTarget();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        // Reused, at its size again.
        closePreferences();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        closePreferences();
    }

    void aRecordedShortcutReplacesTheOldGrab()
    {
        focusTarget();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        QVERIFY(!canBeGrabbed(kX11Space, kControlAlt)); // Nookary holds Control+Alt+Space
        clickTheShortcutField();
        // While recording, Nookary's own grab is released.
        QTRY_VERIFY_WITH_TIMEOUT(canBeGrabbed(kX11Space, kControlAlt), 3000);
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(
            settings().contains(QStringLiteral("Nookary.hotkey.code.v1=40")), 5000);
        QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.modifiers.v1=6144")));
        QVERIFY(panel().isEmpty());
        QVERIFY(!canBeGrabbed(kX11K, kControlAlt));
        QVERIFY(canBeGrabbed(kX11Space, kControlAlt)); // the old one is no longer ours

        closePreferences();
        focusTarget();
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
        press(QStringLiteral("ctrl+alt+space"));
        QTest::qWait(500);
        QVERIFY(panel().isEmpty());
    }

    void theCurrentShortcutItselfIsRecorded()
    {
        focusTarget();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        clickTheShortcutField();
        QTest::qWait(200);
        press(QStringLiteral("ctrl+alt+k")); // the current shortcut: recorded, not a toggle
        QTest::qWait(500);
        QVERIFY(panel().isEmpty());
        QVERIFY(!preferences().isEmpty());
        QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.code.v1=40")));
        // Recording has ended and the shortcut is grabbed again: the next press toggles.
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        press(QStringLiteral("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
    }

    void holdingTheNewShortcutALittleLongOpensNothing()
    {
        focusTarget();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        clickTheShortcutField();
        // Held past the keyboard's auto-repeat delay while recording stops and the
        // shortcut is grabbed: one press, and it was the recorder's.
        x({ QStringLiteral("keydown"), QStringLiteral("ctrl+alt+i") });
        QTest::qWait(1000);
        x({ QStringLiteral("keyup"), QStringLiteral("ctrl+alt+i") });
        QTRY_VERIFY_WITH_TIMEOUT(
            settings().contains(QStringLiteral("Nookary.hotkey.code.v1=34")), 5000);
        QTest::qWait(500);
        QVERIFY(panel().isEmpty());
        QVERIFY(!preferences().isEmpty());
        // The next press is a press.
        press(QStringLiteral("ctrl+alt+i"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        press(QStringLiteral("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
    }

    void aCombinationHeldElsewhereIsReportedOnceAndRolledBack()
    {
        // Another program holds Control+Alt+J (X key code 44) with Num Lock on: the press
        // without Num Lock still reaches the recorder (a combination grabbed exactly never
        // would), and Nookary, grabbing every lock variant, is refused.
        QProcess *grabber = m_desk->spawn(kGrabber, { QStringLiteral("44"), QStringLiteral("28") });
        QVERIFY(grabber->waitForReadyRead(5000));
        startNookary("Nookary.hotkey.code.v1=40\nNookary.hotkey.modifiers.v1=6144\n");
        focusTarget();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        clickTheShortcutField();
        press(QStringLiteral("ctrl+alt+j"));

        auto alerts = [this] {
            return x({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--name"), QStringLiteral("^Shortcut is unavailable$") })
                .split(u'\n', Qt::SkipEmptyParts);
        };
        QTRY_COMPARE_WITH_TIMEOUT(alerts().size(), 1, 5000);
        x({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), alerts().first() });
        press(QStringLiteral("Return"));
        QTRY_VERIFY_WITH_TIMEOUT(alerts().isEmpty(), 5000);
        // Back to the shortcut that worked, stored, grabbed; and no second alert.
        QTRY_VERIFY_WITH_TIMEOUT(
            settings().contains(QStringLiteral("Nookary.hotkey.code.v1=40")), 5000);
        QTest::qWait(500);
        QVERIFY(alerts().isEmpty());
        closePreferences();
        focusTarget();
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        press(QStringLiteral("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
        TestDesk::stop(grabber);
    }

    void editingCombinationsFollowTheLayoutInUse()
    {
        // Stored on the US layout: Control and the key that types I there. On Dvorak that
        // key types C, and Control + C must reach the programs: the grab is let go, and
        // taken again back on the US layout. The file keeps the choice throughout.
        startNookary("Nookary.hotkey.code.v1=34\nNookary.hotkey.modifiers.v1=4096\n");
        QTRY_VERIFY_WITH_TIMEOUT(opensThePanel(QStringLiteral("ctrl+i")), 10000);
        setKeyboardLayout({ QStringLiteral("dvorak") });
        QTRY_VERIFY_WITH_TIMEOUT(canBeGrabbed(kX11I, kControl), 10000);
        setKeyboardLayout({ QStringLiteral("us") });
        QTRY_VERIFY_WITH_TIMEOUT(opensThePanel(QStringLiteral("ctrl+i")), 10000);
        QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.code.v1=34")));

        // Recorded on Dvorak: Control + C (that same key) is refused and recording goes on;
        // Control + J (the key the US layout calls C) is taken, and opens the panel.
        focusTarget();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        setKeyboardLayout({ QStringLiteral("dvorak") });
        clickTheShortcutField();
        press(QStringLiteral("ctrl+c"));
        press(QStringLiteral("ctrl+j"));
        QTRY_VERIFY_WITH_TIMEOUT(
            settings().contains(QStringLiteral("Nookary.hotkey.code.v1=8")), 5000);
        QVERIFY(settings().contains(QStringLiteral("Nookary.hotkey.modifiers.v1=4096")));
        closePreferences();
        QTRY_VERIFY_WITH_TIMEOUT(opensThePanel(QStringLiteral("ctrl+j")), 10000);

        // A switch between the keyboard's own layouts changes the group in use, not the
        // map: where that key types C again, it is let go, and taken back after. (Pressed
        // by its code: xdotool would look for J in either layout.)
        const QString controlAndThatKey = QStringLiteral("ctrl+") + kX11C;
        setKeyboardLayout({ QStringLiteral("-layout"), QStringLiteral("dvorak,us") });
        QTRY_VERIFY_WITH_TIMEOUT(opensThePanel(controlAndThatKey), 10000);
        QCOMPARE(m_desk->run(kKeyboardGroup, { QStringLiteral("1") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(canBeGrabbed(kX11C, kControl), 10000);
        QCOMPARE(m_desk->run(kKeyboardGroup, { QStringLiteral("0") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(opensThePanel(controlAndThatKey), 10000);
    }

    void historyLimitAndOpenModeAreWrittenAtOnce()
    {
        startNookary();
        focusTarget();
        showPanel();
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        QTest::qWait(200);
        // "History limit": from 25 items to 50; "Open mode": from "Centered window" to "Tray
        // popover".
        pressEach({ QStringLiteral("Tab"), QStringLiteral("Down"), QStringLiteral("Tab"),
            QStringLiteral("Left") });
        QTRY_VERIFY_WITH_TIMEOUT(
            settings().contains(QStringLiteral("Nookary.historyLimit.v2=50")), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(
            settings().contains(QStringLiteral("Nookary.openPresentation.v2=menubarPopover")),
            5000);
        if (qEnvironmentVariableIsSet("NOOKARY_SCREENSHOTS")) {
            QTest::qWait(300);
            m_desk->run(QStringLiteral("import"),
                { QStringLiteral("-window"), preferences(),
                    qEnvironmentVariable("NOOKARY_SCREENSHOTS")
                        + QStringLiteral("/preferences.png") });
        }
        closePreferences();

        // Now the popover: Ctrl+, opens the settings from it too.
        focusTarget();
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QTest::qWait(300);
        press(QStringLiteral("ctrl+comma"));
        expectPreferencesInFront();
        closePreferences();
    }

    // A test that changed the keyboard layout leaves the US one, even when it failed.
    void cleanup()
    {
        if (std::exchange(m_layoutChanged, false))
            m_desk->run(QStringLiteral("setxkbmap"), { QStringLiteral("us") });
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
    }
};

QTEST_GUILESS_MAIN(TestDeskPreferences)
#include "tst_desk_preferences.moc"
