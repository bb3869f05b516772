// SPDX-License-Identifier: GPL-3.0-or-later
// The shortcut recorder: what it shows in both styles, and how it listens to the keyboard.
// Presses are delivered to the window as the platform delivers them, with the X11 key code
// of the key's place (evdev + 8).
#include "LayoutKeyTranslator.h"
#include "ModelFixture.h"
#include "platform/x11/X11KeyTranslator.h"
#include "ui/recorder/HotkeyRecorderControl.h"
#include "ui/recorder/HotkeyRecorderState.h"
#include "ui/recorder/RecorderStyle.h"
#include "ui/recorder/ShortcutBadge.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

using Style = HotkeyRecorderControl::Style;

// X11 key codes by place.
constexpr quint32 kX11Escape = 9, kX11A = 38, kX11C = 54, kX11V = 55, kX11Z = 52, kX11K = 45,
                  kX11I = 31, kX11Q = 24, kX11Space = 65, kX11F5 = 71, kX11ControlL = 37,
                  kX11RightAlt = 108, kX11Unknown = 250;

const HotkeyShortcut kDefault = HotkeyShortcut::defaultShortcut();
const HotkeyShortcut kCtrlAltK { 40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit };

// Typing as the platform delivers it: to the window.
void typeInto(QWindow *window, const char *text)
{
    for (const char *c = text; *c; ++c)
        QTest::keyClick(window, *c);
}

// A window with the recorder and a text field beside it, as a host would have.
struct Host {
    ModelFixture f;
    QWidget window;
    HotkeyRecorderControl *control = nullptr;
    QLineEdit *field = nullptr;
    int beeps = 0;

    const X11KeyTranslator x11Keys;
    const NullKeyTranslator noPlaces;

    // `knowsPlaces` false: a session whose scan codes tell no place (Wayland). `keyboard`:
    // one whose keys type other letters than the US layout's.
    explicit Host(Style style, bool treatAsUnset = false, bool knowsPlaces = true,
        const KeyTranslator *keyboard = nullptr)
    {
        const KeyTranslator &keys = keyboard ? *keyboard
            : knowsPlaces                    ? static_cast<const KeyTranslator &>(x11Keys)
                                             : noPlaces;
        f.start();
        auto *layout = new QVBoxLayout(&window);
        field = new QLineEdit(&window);
        control = new HotkeyRecorderControl(*f.model, keys, style, treatAsUnset, &window);
        control->recorder().beep = [this] { ++beeps; };
        layout->addWidget(field);
        layout->addWidget(control);
        window.show();
        window.activateWindow();
        field->setFocus();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("window not exposed");
    }
    AppModel &model() { return *f.model; }
    void press(int key, Qt::KeyboardModifiers modifiers, quint32 x11Code, const QString &text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, x11Code, 0, 0, text);
        QCoreApplication::sendEvent(window.windowHandle(), &event);
    }
};

} // namespace

class TestHotkeyRecorder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theTextsOfBothStyles_data()
    {
        QTest::addColumn<HotkeyShortcut>("shortcut");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<bool>("treatAsUnset");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<QString>("button");
        QTest::newRow("default") << kDefault << false << false << "Control + Alt + Space"
                                 << "Control + Alt + Space"
                                 << "Change\u2026";
        QTest::newRow("off") << HotkeyShortcut::off() << false << false << "Off"
                             << "Not set yet"
                             << "Choose Shortcut\u2026";
        QTest::newRow("recording") << kDefault << true << false << "Press new shortcut"
                                   << "Control + Alt + Space"
                                   << "Cancel";
        QTest::newRow("walkthrough, not chosen yet")
            << kCtrlAltK << false << true << "Control + Alt + K"
            << "Not set yet"
            << "Choose Shortcut\u2026";
        QTest::newRow("unnamed key") << HotkeyShortcut { 65, HotkeyShortcut::commandBit } << false
                                     << false << "Super + Key 65"
                                     << "Super + Key 65"
                                     << "Change\u2026";
    }
    void theTextsOfBothStyles()
    {
        QFETCH(HotkeyShortcut, shortcut);
        QFETCH(bool, recording);
        QFETCH(bool, treatAsUnset);
        QFETCH(QString, field);
        QFETCH(QString, badge);
        QFETCH(QString, button);
        QCOMPARE(HotkeyRecorderControl::settingsFieldText(shortcut, recording), field);
        QCOMPARE(
            HotkeyRecorderControl::onboardingBadgeText(shortcut, Style::onboarding, treatAsUnset),
            badge);
        QCOMPARE(HotkeyRecorderControl::onboardingButtonTitle(
                     shortcut, Style::onboarding, treatAsUnset, recording),
            button);
    }

    void ctrlAltKIsCapturedAndRecordingEnds()
    {
        Host h(Style::settings);
        QVERIFY(!h.model().isRecordingHotkey());
        QTest::mouseClick(h.control->field(), Qt::LeftButton);
        QVERIFY(h.control->isRecording());
        QVERIFY(h.model().isRecordingHotkey());
        QCOMPARE(h.control->field()->text(), QStringLiteral("Press new shortcut"));
        QCOMPARE(h.control->field()->toolTip(),
            QStringLiteral("Press a new shortcut now. Press Esc to cancel."));
        QCOMPARE(h.control->field()->textColor(), RecorderStyle::accent(*h.control->field()));

        h.press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, kX11K, QStringLiteral("k"));
        QCOMPARE(h.model().settings().hotkeyShortcut(), kCtrlAltK);
        QVERIFY(!h.control->isRecording());
        QVERIFY(!h.model().isRecordingHotkey());
        QCOMPARE(h.control->field()->text(), QStringLiteral("Control + Alt + K"));
        QCOMPARE(
            h.control->field()->toolTip(), QStringLiteral("Click to set a new keyboard shortcut."));
        QCOMPARE(h.beeps, 0);
        QVERIFY(h.field->text().isEmpty()); // the press was the recorder's alone
    }

    void whereNoPlaceIsKnownQtsKeyIsRecorded()
    {
        Host h(Style::settings, false, false);
        h.control->start();
        // Whatever scan code the session sends, the key is Qt's.
        h.press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 9, QStringLiteral("k"));
        QCOMPARE(h.model().settings().hotkeyShortcut(), kCtrlAltK);
        QVERIFY(!h.control->isRecording());
        QCOMPARE(h.beeps, 0);
        h.control->start();
        h.press(Qt::Key_Escape, {}, 0);
        QVERIFY(!h.control->isRecording());
        QCOMPARE(h.model().settings().hotkeyShortcut(), kCtrlAltK);
        // A key outside the table still beeps and keeps listening.
        h.control->start();
        h.press(Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier, 0);
        QCOMPARE(h.beeps, 1);
        QVERIFY(h.control->isRecording());
        h.press(Qt::Key_Escape, {}, 0);
    }

    void combinationsThatBreakTypingAreRefused()
    {
        Host h(Style::settings);
        h.control->toggle();
        // Shift with a typing key types: it beeps like a bare key, without a word.
        h.press(Qt::Key_A, Qt::ShiftModifier, kX11A, QStringLiteral("A"));
        h.press(Qt::Key_Space, Qt::ShiftModifier, kX11Space, QStringLiteral(" "));
        QCOMPARE(h.beeps, 2);
        QVERIFY(h.control->isRecording());
        QVERIFY(!h.control->note()->isVisibleTo(&h.window));

        // A standard editing combination says why, under the field, and recording goes on.
        h.press(Qt::Key_C, Qt::ControlModifier, kX11C, QStringLiteral("\x03"));
        QCOMPARE(h.beeps, 3);
        QVERIFY(h.control->isRecording());
        QCOMPARE(h.control->note()->text(), QStringLiteral("Apps use Control + C to copy."));
        QVERIFY(h.control->note()->isVisibleTo(&h.window));
        h.press(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier, kX11V);
        QCOMPARE(
            h.control->note()->text(), QStringLiteral("Apps use Control + Shift + V to paste."));
        QCOMPARE(h.beeps, 4);
        QCOMPARE(h.model().settings().hotkeyShortcut(), kDefault);
        QVERIFY(h.field->text().isEmpty());

        // Shift with a function key is a shortcut; the reason goes at once, not only once
        // the new shortcut has been applied.
        QString noteWhenApplied = QStringLiteral("not applied");
        connect(&h.model().settings(), &Settings::hotkeyShortcutChanged, &h.window,
            [&] { noteWhenApplied = h.control->noteText(); });
        h.press(Qt::Key_F5, Qt::ShiftModifier, kX11F5);
        QCOMPARE(noteWhenApplied, QString());
        QCOMPARE(h.model().settings().hotkeyShortcut(),
            (HotkeyShortcut { 96, HotkeyShortcut::shiftBit }));
        QCOMPARE(h.control->field()->text(), QStringLiteral("Shift + F5"));
        QVERIFY(!h.control->note()->isVisibleTo(&h.window));
        QCOMPARE(h.beeps, 4);

        // Each refused press says its own reason, or none: the last one goes.
        h.control->toggle();
        h.press(Qt::Key_Z, Qt::ControlModifier, kX11Z);
        QCOMPARE(h.control->note()->text(), QStringLiteral("Apps use Control + Z to undo."));
        h.press(Qt::Key_A, Qt::ShiftModifier, kX11A, QStringLiteral("A"));
        QVERIFY(!h.control->note()->isVisibleTo(&h.window));
        h.press(Qt::Key_Z, Qt::ControlModifier, kX11Z);
        h.press(Qt::Key_K, {}, kX11K, QStringLiteral("k"));
        QVERIFY(!h.control->note()->isVisibleTo(&h.window));
        // Cancelled after a refusal: nothing is left under the field.
        h.press(Qt::Key_Z, Qt::ControlModifier, kX11Z);
        QVERIFY(h.control->note()->isVisibleTo(&h.window));
        h.press(Qt::Key_Escape, {}, kX11Escape);
        QVERIFY(!h.control->note()->isVisibleTo(&h.window));
    }

    void editingCombinationsGoByTheLetterTheKeyTypes()
    {
        // On Dvorak the key at the US layout's I types C, and its C types J. Names shown
        // stay by place.
        const X11KeyTranslator places;
        const LayoutKeyTranslator dvorak(LayoutKeyTranslator::dvorak(), &places);
        Host h(Style::settings, false, true, &dvorak);
        h.control->toggle();
        h.press(Qt::Key_C, Qt::ControlModifier, kX11I, QStringLiteral("\x03"));
        QCOMPARE(h.beeps, 1);
        QCOMPARE(h.control->note()->text(), QStringLiteral("Apps use Control + C to copy."));
        h.press(Qt::Key_J, Qt::ControlModifier, kX11C, QStringLiteral("\x0a"));
        QCOMPARE(h.model().settings().hotkeyShortcut(),
            (HotkeyShortcut { 8, HotkeyShortcut::controlBit }));
        QCOMPARE(h.control->field()->text(), QStringLiteral("Control + C"));

        // A stored shortcut reads as the layout in use makes it: Control and the key that
        // types C is off.
        h.model().settings().setHotkeyShortcut({ 34, HotkeyShortcut::controlBit });
        QCOMPARE(h.control->field()->text(), QStringLiteral("Off"));
        Host us(Style::onboarding);
        us.model().settings().setHotkeyShortcut({ 8, HotkeyShortcut::controlBit });
        QCOMPARE(us.control->badge()->text(), QStringLiteral("Not set yet"));

        // AZERTY: the US layout's A types Q, its Q types A; the reason names the letter typed.
        const LayoutKeyTranslator azerty(LayoutKeyTranslator::azerty(), &places);
        Host french(Style::onboarding, false, true, &azerty);
        french.control->toggle();
        french.press(Qt::Key_Q, Qt::ControlModifier, kX11A);
        QCOMPARE(french.control->note()->text(), QStringLiteral("Apps use Control + Q to quit."));
        french.press(Qt::Key_A, Qt::ControlModifier, kX11Q);
        QCOMPARE(
            french.control->note()->text(), QStringLiteral("Apps use Control + A to select all."));
        QCOMPARE(french.beeps, 2);
        QVERIFY(french.control->isRecording());
    }

    void aShortcutAnotherProgramHoldsIsMarked()
    {
        Host settings(Style::settings);
        Host walkthrough(Style::onboarding, false);
        Host unset(Style::onboarding, true);
        for (Host *h : { &settings, &walkthrough, &unset })
            h->model().setIsHotkeyUnavailable(true);
        // The stored shortcut stays shown, marked.
        QCOMPARE(settings.control->field()->text(), QStringLiteral("Control + Alt + Space"));
        QCOMPARE(settings.control->note()->text(), QStringLiteral("In use by another program"));
        QVERIFY(settings.control->note()->isVisibleTo(&settings.window));
        QCOMPARE(walkthrough.control->note()->text(), QStringLiteral("In use by another program"));
        // Where no shortcut is shown, there is nothing to mark.
        QVERIFY(!unset.control->note()->isVisibleTo(&unset.window));
        settings.control->toggle();
        QVERIFY(!settings.control->note()->isVisibleTo(&settings.window));
        settings.control->toggle();
        settings.model().setIsHotkeyUnavailable(false);
        QVERIFY(!settings.control->note()->isVisibleTo(&settings.window));
    }

    void escapeCancelsWhateverIsHeld()
    {
        Host h(Style::settings);
        h.control->toggle();
        h.press(Qt::Key_Escape, Qt::MetaModifier | Qt::ShiftModifier, kX11Escape);
        QVERIFY(!h.control->isRecording());
        QVERIFY(!h.model().isRecordingHotkey());
        QCOMPARE(h.model().settings().hotkeyShortcut(), kDefault);
        QCOMPARE(h.beeps, 0);
    }

    void modifiersAloneAreIgnoredAndBareKeysBeep()
    {
        Host h(Style::settings);
        h.control->toggle();
        h.press(Qt::Key_Control, Qt::ControlModifier, kX11ControlL);
        h.press(Qt::Key_AltGr, Qt::GroupSwitchModifier, kX11RightAlt); // AltGr, ISO_Level3_Shift
        QCOMPARE(h.beeps, 0);
        QVERIFY(h.control->isRecording());
        h.press(Qt::Key_F5, Qt::NoModifier, kX11F5);
        QCOMPARE(h.beeps, 1);
        h.press(Qt::Key_A, Qt::NoModifier, kX11A, QStringLiteral("a"));
        QCOMPARE(h.beeps, 2);
        // A key the table cannot place could be neither grabbed nor named: never stored.
        h.press(Qt::Key_unknown, Qt::ControlModifier, kX11Unknown);
        h.press(Qt::Key_K, Qt::ControlModifier, 0);
        QCOMPARE(h.beeps, 4);
        QVERIFY(h.control->isRecording());
        QCOMPARE(h.model().settings().hotkeyShortcut(), kDefault);
        QVERIFY(h.field->text().isEmpty());
        h.press(
            Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier, kX11Space, QStringLiteral(" "));
        QCOMPARE(h.model().settings().hotkeyShortcut(),
            (HotkeyShortcut { 49, HotkeyShortcut::controlBit | HotkeyShortcut::shiftBit }));
    }

    void whileRecordingNoShortcutOrControlTakesAKey()
    {
        Host h(Style::settings);
        int fired = 0;
        auto *quit = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Q")), &h.window);
        connect(quit, &QShortcut::activated, [&fired] { ++fired; });
        QTest::keyClick(h.window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(fired, 1); // the shortcut works while not recording

        h.control->toggle();
        QTest::keyClick(h.window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        typeInto(h.window.windowHandle(), "abc");
        QCOMPARE(fired, 0 + 1);
        QVERIFY(h.field->text().isEmpty());
        QVERIFY(h.control->isRecording());
    }

    void startingTwiceKeepsTheFirstListener()
    {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const X11KeyTranslator keys;
        HotkeyRecorderState state(keys);
        QList<HotkeyShortcut> first, second;
        int changes = 0;
        connect(&state, &HotkeyRecorderState::isRecordingChanged, [&changes] { ++changes; });
        state.startRecording([&first](HotkeyShortcut s) { first << s; });
        state.startRecording([&second](HotkeyShortcut s) { second << s; });
        QCOMPARE(changes, 1);
        QKeyEvent press(
            QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, kX11K, 0, 0);
        QCoreApplication::sendEvent(window.windowHandle(), &press);
        QCOMPARE(first, QList<HotkeyShortcut> { kCtrlAltK });
        QVERIFY(second.isEmpty());
        QVERIFY(!state.isRecording());
        state.stopRecording(); // safe when idle, and still announced
        QCOMPARE(changes, 3);
    }

    void leavingTheScreenWhileRecordingLeavesNothingBehind()
    {
        Host h(Style::settings);
        h.control->toggle();
        QVERIFY(h.model().isRecordingHotkey());
        h.window.hide();
        QVERIFY(!h.control->isRecording());
        QVERIFY(!h.model().isRecordingHotkey());

        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        h.control->toggle();
        delete h.control;
        QVERIFY(!h.model().isRecordingHotkey());
        h.field->setFocus();
        typeInto(h.window.windowHandle(), "ok");
        QCOMPARE(h.field->text(), QStringLiteral("ok")); // no listener left behind
    }

    void workingElsewhereEndsTheRecording()
    {
        // Recording keeps the global shortcut released; left running in a window in the
        // background it would leave the user without one.
        Host h(Style::settings);
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        h.control->toggle();
        QVERIFY(h.control->isRecording());
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QVERIFY(!h.control->isActiveWindow());
        QTRY_VERIFY(!h.control->isRecording());
        QVERIFY(!h.model().isRecordingHotkey());
    }

    void anOldShortcutPressedOnTheFieldStartsNothing()
    {
        Host h(Style::settings);
        auto *field = h.control->findChild<ShortcutField *>();
        QVERIFY(field);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!h.control->isRecording());
        QTest::keyClick(field, Qt::Key_Space);
        QVERIFY(h.control->isRecording());
    }

    void thePullDownsRules()
    {
        Host h(Style::settings);
        QToolButton *pullDown = h.control->pullDown();
        QVERIFY(pullDown->isEnabled());
        QVERIFY(h.control->newShortcutAction()->isEnabled());
        QVERIFY(!h.control->resetAction()->isEnabled()); // the default is in place
        QVERIFY(h.control->disableAction()->isEnabled());
        QCOMPARE(pullDown->menu()->actions().size(), 4);
        QVERIFY(pullDown->menu()->actions().at(1)->isSeparator());

        h.control->disableAction()->trigger();
        QCOMPARE(h.model().settings().hotkeyShortcut(), HotkeyShortcut::off());
        QCOMPARE(h.control->field()->text(), QStringLiteral("Off"));
        QCOMPARE(h.control->field()->textColor(), RecorderStyle::secondary(*h.control->field()));
        QVERIFY(!h.control->disableAction()->isEnabled());
        QVERIFY(h.control->resetAction()->isEnabled());

        h.control->newShortcutAction()->trigger();
        QVERIFY(h.control->isRecording());
        QVERIFY(!pullDown->isEnabled());
        QVERIFY(!h.control->newShortcutAction()->isEnabled());
        QVERIFY(h.control->resetAction()->isEnabled());
        QVERIFY(h.control->disableAction()->isEnabled());

        h.control->resetAction()->trigger();
        QVERIFY(!h.control->isRecording());
        QVERIFY(!h.model().isRecordingHotkey());
        QCOMPARE(h.model().settings().hotkeyShortcut(), kDefault);
        QCOMPARE(h.control->field()->textColor(), RecorderStyle::primary(*h.control->field()));
    }

    void theWalkthroughStyle()
    {
        Host h(Style::onboarding, true);
        ShortcutBadge *badge = h.control->badge();
        QPushButton *button = h.control->button();
        QVERIFY(!h.control->field() && !h.control->pullDown());
        QVERIFY(badge->isEmphasized());
        QCOMPARE(badge->text(), QStringLiteral("Not set yet"));
        QCOMPARE(button->text(), QStringLiteral("Choose Shortcut\u2026"));
        QVERIFY(button->property("prominent").toBool());
        QVERIFY(!h.control->hint()->isVisible());

        button->click();
        QVERIFY(h.control->isRecording());
        QCOMPARE(button->text(), QStringLiteral("Cancel"));
        QVERIFY(!button->property("prominent").toBool());
        QVERIFY(badge->isRecording());
        QVERIFY(h.control->hint()->isVisible());
        QCOMPARE(
            h.control->hint()->text(), QStringLiteral("Press a new shortcut now (Esc to cancel)"));
        button->click(); // "Cancel"
        QVERIFY(!h.control->isRecording());
        QVERIFY(!h.model().isRecordingHotkey());

        Host set(Style::onboarding, false);
        QCOMPARE(set.control->badge()->text(), QStringLiteral("Control + Alt + Space"));
        QCOMPARE(set.control->button()->text(), QStringLiteral("Change\u2026"));
        QVERIFY(!set.control->button()->property("prominent").toBool());
        set.control->button()->click();
        set.press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, kX11K);
        QCOMPARE(set.control->badge()->text(), QStringLiteral("Control + Alt + K"));
        QCOMPARE(set.control->button()->text(), QStringLiteral("Change\u2026"));
    }

    void theDesktopsOwnTriggerIsShownWhereItChoseOne()
    {
        // The portal may bind another combination than the stored one: both looks show the
        // desktop's words, until recording or until the shortcut is switched off.
        Host settings(Style::settings);
        Host walkthrough(Style::onboarding, false);
        for (Host *h : { &settings, &walkthrough })
            h->model().setHotkeyTriggerText(QStringLiteral("Meta+Shift+V"));
        QCOMPARE(settings.control->settingsFieldText(), QStringLiteral("Meta+Shift+V"));
        QCOMPARE(walkthrough.control->badge()->text(), QStringLiteral("Meta+Shift+V"));
        settings.control->start();
        QCOMPARE(settings.control->settingsFieldText(), QStringLiteral("Press new shortcut"));
        settings.control->recorder().stopRecording();
        settings.model().settings().setHotkeyShortcut(HotkeyShortcut::off());
        QCOMPARE(settings.control->settingsFieldText(), QStringLiteral("Off"));
        // Still the untouched default in the walkthrough: nothing to show yet.
        Host unset(Style::onboarding, true);
        unset.model().setHotkeyTriggerText(QStringLiteral("Meta+Shift+V"));
        QCOMPARE(unset.control->badge()->text(), QStringLiteral("Not set yet"));
    }

    void theBadgesTwoSizes()
    {
        ShortcutBadge large(true), small(false);
        large.setText(QStringLiteral("Control + Alt + Space"));
        small.setText(QStringLiteral("Control + Alt + Space"));
        QVERIFY(large.sizeHint().height() > small.sizeHint().height() + 20);
        QVERIFY(large.sizeHint().width() > small.sizeHint().width());
    }
};

QTEST_MAIN(TestHotkeyRecorder)
#include "tst_hotkeyrecorder.moc"
