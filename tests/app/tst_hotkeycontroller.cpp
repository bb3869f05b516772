// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeShellServices.h"
#include "LayoutKeyTranslator.h"
#include "MemoryPasteboard.h"
#include "ModelFixture.h"
#include "app/AppDelegate.h"
#include "app/HotkeyController.h"
#include "model/SettingsKeys.h"
#include "ui/onboarding/OnboardingFlowView.h"
#include "ui/onboarding/OnboardingWindowController.h"

#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

const HotkeyShortcut kDefault = HotkeyShortcut::defaultShortcut();
const HotkeyShortcut kCmdShiftV { 9, 0x300 };
const HotkeyShortcut kCtrlOptK { 40, 0x1800 };

struct Hotkeys {
    ModelFixture f;
    FakeGlobalHotkeyService service;
    LayoutKeyTranslator keys { LayoutKeyTranslator::us() };
    int alerts = 0;
    std::unique_ptr<HotkeyController> controller;

    Hotkeys()
    {
        f.start();
        controller
            = std::make_unique<HotkeyController>(*f.model, service, keys, [this] { ++alerts; });
    }
    // As at launch: the stored shortcut quietly, then every change with alerts.
    void launch()
    {
        controller->applyStoredShortcutAtLaunch();
        controller->followModel();
    }
    qint64 storedCode() const
    {
        return f.reread()->integer(QString::fromLatin1(SettingsKeys::hotkeyCode.current));
    }
};

// The whole program launched over a settings file, with combinations another program holds.
struct Launch {
    QTemporaryDir dir;
    FakeStatusItem *item = nullptr;
    std::unique_ptr<AppDelegate> delegate;

    Launch(const QByteArray &settings, HotkeyShortcut taken, bool fromLoginItem = true)
    {
        const QString path = dir.filePath(QStringLiteral("N.conf"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the settings file");
        file.write("[General]\n" + settings);
        file.close();
        PlatformServices services;
        services.preferences = std::make_unique<SettingsPreferencesStore>(path);
        services.pasteboard = std::make_unique<MemoryPasteboard>();
        auto hotkeys = std::make_unique<FakeGlobalHotkeyService>();
        hotkeys->taken = { taken };
        services.hotkeys = std::move(hotkeys);
        auto tray = std::make_unique<FakeStatusItem>();
        item = tray.get();
        services.statusItem = std::move(tray);
        delegate = std::make_unique<AppDelegate>(std::move(services), fromLoginItem);
        delegate->start();
        QTest::qWait(20);
    }
};

} // namespace

class TestHotkeyController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void applyingRegistersAndRemembers()
    {
        Hotkeys h;
        h.launch();
        QCOMPARE(h.service.registered, kDefault);
        h.f.model->settings().setHotkeyShortcut(kCmdShiftV);
        QCOMPARE(h.service.registered, kCmdShiftV);
        QCOMPARE(h.controller->lastRegisteredShortcut(), kCmdShiftV);
        QCOMPARE(h.alerts, 0);
    }

    void aShortcutWithoutNamedModifiersRegistersNothing()
    {
        Hotkeys h;
        h.launch();
        // A bare key, or one with only a lock or an unknown bit, would take that key from
        // every other program.
        for (const HotkeyShortcut off : { HotkeyShortcut { 49, 0x0001 },
                 HotkeyShortcut { 49, 0x0400 }, HotkeyShortcut { 49, 0 }, HotkeyShortcut::off() }) {
            h.f.model->settings().setHotkeyShortcut(off);
            QCOMPARE(h.service.registered, std::nullopt);
            QCOMPARE(h.controller->lastRegisteredShortcut(), HotkeyShortcut::off());
        }
        QCOMPARE(h.alerts, 0);
        // Key code 0 is the A key: Control+Alt+A is a shortcut like any other.
        h.f.model->settings().setHotkeyShortcut({ 0, 0x1800 });
        QCOMPARE(h.service.registered, (HotkeyShortcut { 0, 0x1800 }));
    }

    void whatTheKeyTypesInTheLayoutInUseDecidesWhetherItIsGrabbed()
    {
        // On Dvorak the US layout's I types C: with Control it would take copying from every
        // program. Its C types J.
        const HotkeyShortcut placeOfI { 34, HotkeyShortcut::controlBit },
            placeOfC { 8, HotkeyShortcut::controlBit };
        Hotkeys h;
        h.keys.letters = LayoutKeyTranslator::dvorak();
        h.launch();
        h.f.model->settings().setHotkeyShortcut(placeOfI);
        QCOMPARE(h.service.registered, std::nullopt);
        h.f.model->settings().setHotkeyShortcut(placeOfC);
        QCOMPARE(h.service.registered, placeOfC);

        // The user switches to the US layout, where that key types C: it is let go, and
        // taken again back on Dvorak. The choice stays stored throughout.
        h.keys.letters = LayoutKeyTranslator::us();
        Q_EMIT h.service.keyboardChanged();
        QCOMPARE(h.service.registered, std::nullopt);
        h.keys.letters = LayoutKeyTranslator::dvorak();
        Q_EMIT h.service.keyboardChanged();
        QCOMPARE(h.service.registered, placeOfC);
        QTest::qWait(20);
        QCOMPARE(h.alerts, 0);
        QCOMPARE(h.storedCode(), 8);
    }

    void recordingReleasesTheGrabUntilItEnds()
    {
        Hotkeys h;
        h.launch();
        AppModel &model = *h.f.model;
        // While recording, our own grab is gone, or pressing it would toggle the panel.
        model.setIsRecordingHotkey(true);
        QVERIFY(!h.service.registered);
        QVERIFY(h.controller->isSuspended());
        model.settings().setHotkeyShortcut(kCtrlOptK); // captured
        QVERIFY(!h.service.registered);
        model.setIsRecordingHotkey(false);
        QCOMPARE(h.service.registered, kCtrlOptK);
        QCOMPARE(h.controller->lastRegisteredShortcut(), kCtrlOptK);

        // Cancelled: the shortcut of the moment is grabbed again, quietly.
        model.setIsRecordingHotkey(true);
        QVERIFY(!h.service.registered);
        model.setIsRecordingHotkey(false);
        QCOMPARE(h.service.registered, kCtrlOptK);
        QCOMPARE(h.alerts, 0);

        // A captured combination the desktop refuses: one alert, and back to the last one.
        h.service.taken << kCmdShiftV;
        model.setIsRecordingHotkey(true);
        model.settings().setHotkeyShortcut(kCmdShiftV);
        model.setIsRecordingHotkey(false);
        QCOMPARE(h.service.registered, kCtrlOptK);
        QTRY_COMPARE(h.alerts, 1);
        QTRY_COMPARE(model.settings().hotkeyShortcut(), kCtrlOptK);
        QCOMPARE(h.storedCode(), 40);
        QTest::qWait(20);
        QCOMPARE(h.alerts, 1);
        QCOMPARE(h.service.registered, kCtrlOptK);
    }

    void aRefusedShortcutIsReportedOnceAndRolledBack()
    {
        Hotkeys h;
        std::optional<HotkeyShortcut> shownOver;
        h.controller
            = std::make_unique<HotkeyController>(*h.f.model, h.service, h.keys, [&h, &shownOver] {
                  ++h.alerts;
                  shownOver = h.f.model->settings().hotkeyShortcut();
              });
        h.launch();
        h.f.model->settings().setHotkeyShortcut(kCmdShiftV);
        h.service.taken = { kCtrlOptK };
        // The refusal is found inside whatever changed the shortcut (a recorder's own signal):
        // the alert, whose event loop could end that caller, waits for the next turn.
        h.f.model->settings().setHotkeyShortcut(kCtrlOptK);
        QCOMPARE(h.alerts, 0);
        // The working shortcut is taken again at once; the alert comes next, and the model
        // goes back once it is dismissed.
        QCOMPARE(h.service.registered, kCmdShiftV);
        QTRY_COMPARE(h.alerts, 1);
        QCOMPARE(shownOver, kCtrlOptK);
        QCOMPARE(h.f.model->settings().hotkeyShortcut(), kCmdShiftV);
        QCOMPARE(h.storedCode(), 9);
        QTest::qWait(20);
        QCOMPARE(h.alerts, 1);
        QCOMPARE(h.service.registered, kCmdShiftV);
    }

    void aRefusalAtLaunchKeepsTheStoredShortcut()
    {
        Hotkeys h;
        h.f.model->settings().setHotkeyShortcut(kCtrlOptK); // stored by an earlier run
        h.service.taken = { kCtrlOptK };
        QSignalSpy told(h.controller.get(), &HotkeyController::refusedAtLaunch);
        h.launch();
        // Kept, marked, told once; nothing grabbed in its place, no alert.
        QTest::qWait(20);
        QCOMPARE(h.f.model->settings().hotkeyShortcut(), kCtrlOptK);
        QCOMPARE(h.storedCode(), 40);
        QVERIFY(h.f.model->isHotkeyUnavailable());
        QCOMPARE(told.size(), 1);
        QCOMPARE(told.first().first().value<HotkeyShortcut>(), kCtrlOptK);
        QCOMPARE(h.service.registered, std::nullopt);
        QCOMPARE(h.alerts, 0);

        // A recording cancelled tries it again, quietly, and keeps it.
        h.f.model->setIsRecordingHotkey(true);
        h.f.model->setIsRecordingHotkey(false);
        QTest::qWait(20);
        QCOMPARE(h.f.model->settings().hotkeyShortcut(), kCtrlOptK);
        QVERIFY(h.f.model->isHotkeyUnavailable());
        QCOMPARE(h.alerts, 0);

        // A new shortcut that is refused too goes back to the user's own.
        h.service.taken << kCmdShiftV;
        h.f.model->settings().setHotkeyShortcut(kCmdShiftV);
        QTRY_COMPARE(h.alerts, 1);
        QTRY_COMPARE(h.f.model->settings().hotkeyShortcut(), kCtrlOptK);
        QCOMPARE(h.storedCode(), 40);
        QVERIFY(h.f.model->isHotkeyUnavailable());
        QTest::qWait(20);
        QCOMPARE(h.alerts, 1);

        // Once the other program lets go, the next start takes it.
        h.service.taken.clear();
        Hotkeys next;
        next.f.model->settings().setHotkeyShortcut(kCtrlOptK);
        next.launch();
        QCOMPARE(next.service.registered, kCtrlOptK);
        QVERIFY(!next.f.model->isHotkeyUnavailable());
        // And in this run, a shortcut that works clears the mark.
        h.f.model->settings().setHotkeyShortcut(kDefault);
        QCOMPARE(h.service.registered, kDefault);
        QVERIFY(!h.f.model->isHotkeyUnavailable());
    }

    void theRollbackCannotLoop()
    {
        // Both the new shortcut and the one to go back to are refused.
        Hotkeys h;
        h.launch();
        h.service.taken = { kCtrlOptK, kDefault };
        h.f.model->settings().setHotkeyShortcut(kCtrlOptK);
        QTRY_COMPARE(h.f.model->settings().hotkeyShortcut(), kDefault);
        const int registrations = h.service.registrations;
        QTest::qWait(50);
        QCOMPARE(h.service.registrations, registrations); // settled
        QCOMPARE(h.alerts, 1);
        QCOMPARE(h.service.registered, std::nullopt);
        QVERIFY(h.f.model->isHotkeyUnavailable());

        // Applying the refused working shortcut itself stops at once.
        h.controller->applyHotkeyShortcut(kDefault, true);
        QTRY_COMPARE(h.alerts, 2);
        QTest::qWait(50);
        QCOMPARE(h.alerts, 2);
        QCOMPARE(h.f.model->settings().hotkeyShortcut(), kDefault);
    }

    void aSessionWithoutGlobalShortcutsKeepsTheStoredOne()
    {
        Hotkeys h;
        h.f.model->settings().setHotkeyShortcut(kCtrlOptK);
        h.service.available = false;
        h.launch();
        h.f.model->settings().setHotkeyShortcut(kCmdShiftV);
        QTest::qWait(20);
        QCOMPARE(h.alerts, 0);
        QCOMPARE(h.f.model->settings().hotkeyShortcut(), kCmdShiftV);
        QCOMPARE(h.storedCode(), 9);
    }

    // A desktop that answers later (the portal): the answer is handled as an immediate one.
    void aLaterBindingIsRememberedWithTheDesktopsTrigger()
    {
        Hotkeys h;
        h.service.later = true;
        h.launch();
        QVERIFY(h.controller->isAwaitingAnswer());
        QVERIFY(!h.controller->isRegistered());
        h.service.bindLater(QStringLiteral("Ctrl+Alt+Space"));
        QVERIFY(h.controller->isRegistered());
        QVERIFY(!h.controller->isAwaitingAnswer());
        QCOMPARE(h.f.model->hotkeyTriggerText(), QStringLiteral("Ctrl+Alt+Space"));

        h.f.model->settings().setHotkeyShortcut(kCmdShiftV);
        // Until the desktop answers, the texts show the stored shortcut, not the old trigger.
        QCOMPARE(h.f.model->hotkeyTriggerText(), QString());
        h.service.bindLater(QStringLiteral("Meta+Shift+V"));
        QCOMPARE(h.controller->lastRegisteredShortcut(), kCmdShiftV);
        QCOMPARE(h.f.model->hotkeyTriggerText(), QStringLiteral("Meta+Shift+V"));
        // The user rebinds it in the desktop's settings.
        Q_EMIT h.service.triggerChanged(QStringLiteral("Meta+V"));
        QCOMPARE(h.f.model->hotkeyTriggerText(), QStringLiteral("Meta+V"));
        QCOMPARE(h.alerts, 0);
    }

    void aLaterRefusalIsReportedOnceAndRolledBack()
    {
        Hotkeys h;
        h.service.later = true;
        h.launch();
        h.service.bindLater();
        h.f.model->settings().setHotkeyShortcut(kCmdShiftV);
        QCOMPARE(h.service.awaiting, kCmdShiftV);
        QCOMPARE(h.alerts, 0); // nothing said before the desktop answers
        h.service.refuseLater();
        QTRY_COMPARE(h.alerts, 1);
        // The working shortcut is asked for once more, through the model going back.
        QTRY_COMPARE(h.f.model->settings().hotkeyShortcut(), kDefault);
        QCOMPARE(h.storedCode(), 49);
        QCOMPARE(h.service.awaiting, kDefault);
        h.service.bindLater();
        QCOMPARE(h.service.registered, kDefault);
        QTest::qWait(20);
        QCOMPARE(h.alerts, 1);
        QVERIFY(h.controller->isRegistered());
    }

    void aLaterRefusalAtLaunchKeepsTheStoredShortcut()
    {
        Hotkeys h;
        h.f.model->settings().setHotkeyShortcut(kCtrlOptK); // stored by an earlier run
        h.service.later = true;
        QSignalSpy told(h.controller.get(), &HotkeyController::refusedAtLaunch);
        h.launch();
        h.service.refuseLater();
        const int registrations = h.service.registrations;
        QTest::qWait(50);
        QCOMPARE(h.service.registrations, registrations); // not asked again
        QCOMPARE(h.alerts, 0);
        QCOMPARE(told.size(), 1);
        QVERIFY(!h.controller->isRegistered());
        QVERIFY(h.f.model->isHotkeyUnavailable());
        QCOMPARE(h.f.model->settings().hotkeyShortcut(), kCtrlOptK);
        QCOMPARE(h.storedCode(), 40);
    }

    void anAnswerToAReplacedRegistrationIsIgnored()
    {
        Hotkeys h;
        h.service.later = true;
        h.launch();
        h.service.bindLater();
        // The desktop never answers for the first; recording replaces it.
        h.f.model->settings().setHotkeyShortcut(kCmdShiftV);
        h.f.model->setIsRecordingHotkey(true);
        QVERIFY(!h.controller->isAwaitingAnswer());
        // A stray answer meanwhile changes nothing.
        Q_EMIT h.service.registrationRefused();
        Q_EMIT h.service.registrationBound(QStringLiteral("Ctrl+X"));
        QTest::qWait(20);
        QCOMPARE(h.alerts, 0);
        QCOMPARE(h.f.model->settings().hotkeyShortcut(), kCmdShiftV);
        QCOMPARE(h.f.model->hotkeyTriggerText(), QString());
        h.f.model->setIsRecordingHotkey(false);
        QCOMPARE(h.service.awaiting, kCmdShiftV);
    }

    void aRefusalAtLaunchIsToldOnceByTheTray()
    {
        Launch l("Nookary.hotkey.code.v1=40\nNookary.hotkey.modifiers.v1=6144\n", kCtrlOptK);
        QCOMPARE(l.item->messages.size(), 1);
        QCOMPARE(l.item->messages.first().first(), QStringLiteral("Shortcut is unavailable"));
        QVERIFY(l.item->messages.first().last().startsWith(
            QStringLiteral("Control + Alt + K is in use by another program")));
        QVERIFY(l.item->messages.first().last().contains(QStringLiteral("It stays your shortcut")));
        QCOMPARE(l.delegate->model().settings().hotkeyShortcut(), kCtrlOptK);
        QVERIFY(l.delegate->model().isHotkeyUnavailable());
        // Opening the settings and cancelling a recording tells nothing more.
        l.delegate->model().setIsRecordingHotkey(true);
        l.delegate->model().setIsRecordingHotkey(false);
        QTest::qWait(20);
        QCOMPARE(l.item->messages.size(), 1);
    }

    void theDefaultHeldAtLaunchPointsToChoosingAnother()
    {
        // Nobody chose it: "it stays your shortcut" would be news about nothing.
        const QString choose
            = QStringLiteral("Control + Alt + Space is in use by another program, so it does "
                             "not open Nookary. Choose another shortcut under Preferences in "
                             "Nookary's tray menu.");
        Launch atLogin({}, kDefault);
        QCOMPARE(atLogin.item->messages.size(), 1);
        QCOMPARE(atLogin.item->messages.first().last(), choose);

        // A first manual start opens the walkthrough: the notice would cover it, and its
        // shortcut page asks for a shortcut anyway. Skipped, the user is told then.
        Launch skipped({}, kDefault, false);
        QTRY_VERIFY(skipped.delegate->onboarding());
        QVERIFY(skipped.delegate->model().isHotkeyUnavailable());
        QTest::qWait(20);
        QVERIFY(skipped.item->messages.isEmpty());
        skipped.delegate->onboarding()->flowView()->skip();
        QTRY_COMPARE(skipped.item->messages.size(), 1);
        QCOMPARE(skipped.item->messages.first().last(), choose);

        // One that works chosen in the walkthrough: nothing left to tell.
        Launch chosen({}, kDefault, false);
        QTRY_VERIFY(chosen.delegate->onboarding());
        chosen.delegate->model().settings().setHotkeyShortcut(kCtrlOptK);
        QVERIFY(!chosen.delegate->model().isHotkeyUnavailable());
        chosen.delegate->onboarding()->flowView()->skip();
        QTest::qWait(20);
        QVERIFY(chosen.item->messages.isEmpty());
    }

    void twoPressesToggleThePanel()
    {
        QTemporaryDir dir;
        PlatformServices services;
        services.preferences
            = std::make_unique<SettingsPreferencesStore>(dir.filePath(QStringLiteral("N.conf")));
        services.pasteboard = std::make_unique<MemoryPasteboard>();
        auto hotkeys = std::make_unique<FakeGlobalHotkeyService>();
        FakeGlobalHotkeyService *service = hotkeys.get();
        services.hotkeys = std::move(hotkeys);
        AppDelegate delegate(std::move(services), true);
        delegate.start();
        QCOMPARE(service->registered, kDefault);

        service->press();
        QVERIFY(!delegate.isPanelOpen()); // on the next turn
        QTRY_VERIFY(delegate.isPanelOpen());
        service->press();
        QTRY_VERIFY(!delegate.isPanelOpen());
    }
};

QTEST_MAIN(TestHotkeyController)
#include "tst_hotkeycontroller.moc"
