// SPDX-License-Identifier: GPL-3.0-or-later
// The first-run walkthrough on a real X server: a first manual start opens it, the global
// shortcut is practised on its second page without ever opening the panel, finishing it
// opens the panel and is remembered, and later starts open the panel at once.
#include "TestDesk.h"

#include <QtTest>

using namespace nookary::test;

namespace {

const QString kNookary = QStringLiteral(NOOKARY_BINARY);
const QString kGrabber = QStringLiteral(KEY_GRABBER_BINARY);

} // namespace

class TestDeskOnboarding : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QString x(const QStringList &args) { return m_desk->xdotool(args); }
    QString visibleNamed(const QString &pattern)
    {
        return x({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), pattern })
            .section(u'\n', 0, 0);
    }
    QString walkthrough() { return visibleNamed(QStringLiteral("^Nookary Onboarding$")); }
    QString panel() { return visibleNamed(QStringLiteral("^Nookary$")); }
    void press(const QString &keys) { x({ QStringLiteral("key"), keys }); }
    QString settingsPath() const { return m_desk->nookarySettingsPath(); }
    QString settings() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    bool settingsSay(const QString &line) const { return settings().split(u'\n').contains(line); }

    // Starts Nookary as the user would, over `settingsFile` (none: a first start ever).
    void startNookary(const std::optional<QByteArray> &settingsFile)
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = nullptr;
        if (!settingsFile)
            QFile::remove(settingsPath());
        m_nookary = m_desk->startNookary({ .settings = settingsFile.value_or(QByteArray()),
            .firstRun = true,
            .keepSettings = !settingsFile,
            .arguments = {} });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
    }

    void focusWalkthrough()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!walkthrough().isEmpty(), 5000);
        const QString id = walkthrough();
        x({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), id });
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), id, 5000);
    }

    // Where the pictures for the documentation go, when asked for.
    void screenshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("NOOKARY_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        QTest::qWait(700); // let the animation move on from its first frame
        m_desk->run(QStringLiteral("import"),
            { QStringLiteral("-window"), QStringLiteral("root"),
                folder + u'/' + name + QStringLiteral(".png") });
    }

    // Presses the global shortcut and makes sure it did not open the panel.
    void practise(const QString &shortcut)
    {
        press(shortcut);
        QTest::qWait(250);
        QVERIFY(panel().isEmpty());
        QVERIFY(!walkthrough().isEmpty());
    }

    // Goes on to the shortcut page and starts the recorder, which has the focus there.
    void startRecordingOnTheShortcutPage()
    {
        focusWalkthrough();
        press(QStringLiteral("Return"));
        expectStoredStep(1);
        press(QStringLiteral("space")); // "Choose Shortcut…"
        QTest::qWait(300);
    }

    QStringList alerts()
    {
        return x({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), QStringLiteral("^Shortcut is unavailable$") })
            .split(u'\n', Qt::SkipEmptyParts);
    }

    // Return goes on only when the page allows it; the page reached is stored at once.
    void expectStoredStep(int step)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            settingsSay(QStringLiteral("Nookary.onboarding.lastStep.v1=%1").arg(step)), 3000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>(TestDesk::Options { true, true });
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
    }

    void aFirstStartWalksThroughAndIsRememberedOnceFinished()
    {
        startNookary(std::nullopt);
        focusWalkthrough();
        QVERIFY(panel().isEmpty());
        screenshot(QStringLiteral("onboarding-welcome"));

        press(QStringLiteral("Return"));
        expectStoredStep(1);
        // The default shortcut does not count: one of the user's own must be chosen first.
        practise(QStringLiteral("ctrl+alt+space"));
        press(QStringLiteral("Return"));
        QTest::qWait(300);
        expectStoredStep(1);

        // The recorder has the focus on this page: Space starts it, Escape cancels it
        // without leaving the walkthrough, and a combination is recorded.
        press(QStringLiteral("space"));
        QTest::qWait(300);
        press(QStringLiteral("Escape"));
        QTest::qWait(300);
        QVERIFY(!walkthrough().isEmpty());
        QVERIFY(!settings().contains(QStringLiteral("Nookary.onboarding.completedVersion")));
        press(QStringLiteral("space"));
        QTest::qWait(300);
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(settingsSay(QStringLiteral("Nookary.hotkey.code.v1=40")), 3000);
        QVERIFY(settingsSay(QStringLiteral("Nookary.hotkey.modifiers.v1=6144")));
        QVERIFY(panel().isEmpty());

        // Recording counted as the first press; three more are not enough.
        for (int i = 0; i < 3; ++i)
            practise(QStringLiteral("ctrl+alt+k"));
        press(QStringLiteral("Return"));
        QTest::qWait(300);
        expectStoredStep(1);
        screenshot(QStringLiteral("onboarding-shortcut"));
        practise(QStringLiteral("ctrl+alt+k"));
        practise(QStringLiteral("ctrl+alt+k")); // a sixth changes nothing
        press(QStringLiteral("Return"));
        expectStoredStep(2);
        press(QStringLiteral("Return"));
        expectStoredStep(3);
        press(QStringLiteral("Return"));
        expectStoredStep(4);
        screenshot(QStringLiteral("onboarding-ready"));

        // "Start using Nookary": done for good, and the panel opens.
        press(QStringLiteral("Return"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QVERIFY(walkthrough().isEmpty());
        QVERIFY(settingsSay(QStringLiteral("Nookary.onboarding.completedVersion.v1=1")));

        // The next start opens the panel at once.
        TestDesk::stop(m_nookary);
        m_nookary = m_desk->spawn(kNookary, {});
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 10000);
        QTest::qWait(300);
        QVERIFY(walkthrough().isEmpty());
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
    }

    void aShortcutOfOnesOwnIsPractisedFiveTimesWithoutOpeningThePanel()
    {
        startNookary("Nookary.hotkey.code.v1=40\nNookary.hotkey.modifiers.v1=6144\n"
                     "Nookary.onboarding.lastStep.v1=1\n");
        focusWalkthrough();
        QVERIFY(panel().isEmpty());
        expectStoredStep(1);
        for (int i = 0; i < 4; ++i)
            practise(QStringLiteral("ctrl+alt+k"));
        press(QStringLiteral("Return")); // four of five: not yet
        QTest::qWait(300);
        expectStoredStep(1);
        practise(QStringLiteral("ctrl+alt+k"));
        practise(QStringLiteral("ctrl+alt+k")); // a sixth changes nothing
        press(QStringLiteral("Return"));
        expectStoredStep(2);

        // Closed with its close button: the panel opens, the walkthrough stays unfinished.
        focusWalkthrough();
        press(QStringLiteral("alt+F4")); // the window manager's close
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QVERIFY(walkthrough().isEmpty());
        QVERIFY(!settings().contains(QStringLiteral("completedVersion")));
        // With the walkthrough gone, the shortcut toggles the panel again.
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
    }

    void closingTheWalkthroughWhileRecordingLeavesTheShortcutWorking()
    {
        startNookary("Nookary.hotkey.code.v1=40\nNookary.hotkey.modifiers.v1=6144\n"
                     "Nookary.onboarding.lastStep.v1=1\n");
        focusWalkthrough();
        press(QStringLiteral("space")); // the recorder has the focus: recording
        QTest::qWait(400);
        press(QStringLiteral("alt+F4"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QVERIFY(walkthrough().isEmpty());
        QVERIFY(settingsSay(QStringLiteral("Nookary.hotkey.code.v1=40")));
        press(QStringLiteral("ctrl+alt+k")); // grabbed again
        QTRY_VERIFY_WITH_TIMEOUT(panel().isEmpty(), 5000);
    }

    void aRecordedShortcutHeldElsewhereIsReportedAndTheWalkthroughGoesOn()
    {
        // With Num Lock on, another program holds Control+Alt+K without it: the press still
        // reaches the recorder, and Nookary, grabbing every lock variant, is refused.
        if (m_nookary)
            TestDesk::stop(std::exchange(m_nookary, nullptr)); // it holds the combination
        press(QStringLiteral("Num_Lock"));
        const auto numLockOff = qScopeGuard([this] { press(QStringLiteral("Num_Lock")); });
        QProcess *grabber = m_desk->spawn(kGrabber, { QStringLiteral("45"), QStringLiteral("12") });
        const auto release = qScopeGuard([grabber] { TestDesk::stop(grabber); });
        QVERIFY(grabber->waitForReadyRead(5000));
        startNookary(std::nullopt);
        m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, "kept through it");
        QTRY_VERIFY_WITH_TIMEOUT(m_desk->output(kNookary, { QStringLiteral("--history") })
                                     .contains(QStringLiteral("kept through it")),
            3000);

        startRecordingOnTheShortcutPage();
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_COMPARE_WITH_TIMEOUT(alerts().size(), 1, 5000);
        x({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), alerts().first() });
        press(QStringLiteral("Return"));
        QTRY_VERIFY_WITH_TIMEOUT(alerts().isEmpty(), 5000);

        // Back to the shortcut that worked, once, and everything still there.
        QTest::qWait(500);
        QCOMPARE(m_nookary->state(), QProcess::Running);
        QTRY_VERIFY_WITH_TIMEOUT(settingsSay(QStringLiteral("Nookary.hotkey.code.v1=49")), 5000);
        QVERIFY(alerts().isEmpty());
        QVERIFY(!walkthrough().isEmpty());
        QVERIFY(m_desk->output(kNookary, { QStringLiteral("--history") })
                    .contains(QStringLiteral("kept through it")));

        // Another combination is taken and practised.
        focusWalkthrough();
        press(QStringLiteral("space"));
        QTest::qWait(300);
        press(QStringLiteral("ctrl+alt+l"));
        QTRY_VERIFY_WITH_TIMEOUT(settingsSay(QStringLiteral("Nookary.hotkey.code.v1=37")), 3000);
        practise(QStringLiteral("ctrl+alt+l"));
    }

    void holdingTheNewShortcutALittleLongCountsOnce()
    {
        startNookary(std::nullopt);
        startRecordingOnTheShortcutPage();
        // Held past the keyboard's auto-repeat delay while recording stops and the
        // shortcut is grabbed.
        x({ QStringLiteral("keydown"), QStringLiteral("ctrl+alt+n") });
        QTest::qWait(900);
        x({ QStringLiteral("keyup"), QStringLiteral("ctrl+alt+n") });
        QTRY_VERIFY_WITH_TIMEOUT(settingsSay(QStringLiteral("Nookary.hotkey.code.v1=45")), 3000);
        // Recorded and counted as the first press, once: three more are one short.
        for (int i = 0; i < 3; ++i)
            practise(QStringLiteral("ctrl+alt+n"));
        press(QStringLiteral("Return"));
        QTest::qWait(300);
        expectStoredStep(1);
        practise(QStringLiteral("ctrl+alt+n"));
        press(QStringLiteral("Return"));
        expectStoredStep(2);
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
    }
};

QTEST_GUILESS_MAIN(TestDeskOnboarding)
#include "tst_desk_onboarding.moc"
