// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"
#include "model/SettingsKeys.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
namespace SK = nookary::SettingsKeys;
using Presentation = AppModel::OpenPresentation;
using Target = AppModel::DefaultOpenTarget;

namespace {

QString k(const char *name)
{
    return QString::fromLatin1(name);
}

QByteArray ini(const QByteArray &lines)
{
    return "[General]\n" + lines;
}

} // namespace

class TestModelSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshStartWritesDefaultsForEverySetting()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QCOMPARE(m.settings().historyLimit(), 25);
        QCOMPARE(m.settings().openPresentation(), Presentation::centeredWindow);
        QCOMPARE(m.settings().defaultOpenTarget(), Target::savedFirst);
        QCOMPARE(m.settings().keepWindowPinned(), false);
        QCOMPARE(m.settings().hotkeyShortcut(), HotkeyShortcut::defaultShortcut());
        QCOMPARE(m.settings().onboardingCompletedVersion(), 0);
        QCOMPARE(m.settings().onboardingLastStep(), 0);
        QVERIFY(m.savedSnippets().items().isEmpty());

        const auto disk = f.reread();
        QCOMPARE(disk->integer(k(SK::historyLimit.current)), 25);
        QCOMPARE(disk->string(k(SK::openPresentation.current)), QStringLiteral("centeredWindow"));
        QCOMPARE(disk->string(k(SK::defaultOpenTarget.current)), QStringLiteral("savedFirst"));
        QVERIFY(disk->contains(k(SK::keepWindowPinned.current)));
        QCOMPARE(disk->integer(k(SK::hotkeyCode.current)), 49);
        QCOMPARE(disk->integer(k(SK::hotkeyModifiers.current)), 0x1800);
        QCOMPARE(disk->data(k(SK::shelf.current)), QByteArray("[]"));
        // Onboarding progress and the preset are written only when they change.
        QVERIFY(!disk->contains(k(SK::onboardingLastStep.current)));
        QVERIFY(!disk->contains(k(SK::hotkeyPreset.current)));
    }

    void legacyKeysAreTakenOverAndKept()
    {
        ModelFixture f;
        f.writeSettingsFile(ini("Velmic.historyLimit.v2=50\n"
                                "Velmic.openPresentation.v2=menubarPopover\n"
                                "Velmic.defaultOpenTarget.v1=historyFirst\n"
                                "Velmic.keepWindowPinned.v1=true\n"
                                "Velmic.hotkey.code.v1=40\n"
                                "Velmic.hotkey.modifiers.v1=4352\n"
                                "Quobble.shelf.v1=\"@ByteArray([{\\\"id\\\":\\\"6F1A2B3C-0000-4000-"
                                "8000-000000000001\\\",\\\"text\\\":\\\" kept \\\"}])\"\n"));
        AppModel &m = f.start();
        QCOMPARE(m.settings().historyLimit(), 50);
        QCOMPARE(m.settings().openPresentation(), Presentation::menubarPopover);
        QCOMPARE(m.settings().defaultOpenTarget(), Target::historyFirst);
        QCOMPARE(m.settings().keepWindowPinned(), true);
        QCOMPARE(m.settings().hotkeyShortcut(), (HotkeyShortcut { 40, 0x1100 }));
        QCOMPARE(m.savedSnippets().items().size(), 1);
        QCOMPARE(m.savedSnippets().items().first().text, QStringLiteral("kept"));

        const auto disk = f.reread();
        QCOMPARE(disk->integer(k(SK::historyLimit.current)), 50);
        QCOMPARE(disk->string(k(SK::openPresentation.current)), QStringLiteral("menubarPopover"));
        QCOMPARE(disk->integer(k(SK::hotkeyCode.current)), 40);
        QVERIFY(disk->data(k(SK::shelf.current)).value_or(QByteArray()).contains("kept"));
        for (const SK::Key &key : std::initializer_list<SK::Key> { SK::historyLimit,
                 SK::openPresentation, SK::defaultOpenTarget, SK::keepWindowPinned, SK::hotkeyCode,
                 SK::hotkeyModifiers, SK::shelf })
            QVERIFY2(disk->contains(k(key.legacy)), key.legacy);
    }

    void currentKeyWinsOverLegacy()
    {
        ModelFixture f;
        f.writeSettingsFile(ini("Nookary.historyLimit.v2=100\nVelmic.historyLimit.v2=50\n"));
        QCOMPARE(f.start().settings().historyLimit(), 100);
        QCOMPARE(f.reread()->integer(QStringLiteral("Velmic.historyLimit.v2")), 50);
    }

    void badValuesFallBackAndAreRepaired_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("out-of-range limit") << ini("Nookary.historyLimit.v2=30\n");
        QTest::newRow("negative limit") << ini("Nookary.historyLimit.v2=-100\n");
        QTest::newRow("limit is text") << ini("Nookary.historyLimit.v2=fifty\n");
        QTest::newRow("limit is data") << ini("Nookary.historyLimit.v2=@ByteArray(50)\n");
        QTest::newRow("unknown presentation") << ini("Nookary.openPresentation.v2=floating\n");
        QTest::newRow("presentation in other case")
            << ini("Nookary.openPresentation.v2=MenubarPopover\n");
        QTest::newRow("presentation is data")
            << ini("Nookary.openPresentation.v2=@ByteArray(menubarPopover)\n");
        QTest::newRow("unknown target") << ini("Nookary.defaultOpenTarget.v1=both\n");
        QTest::newRow("pinned is text") << ini("Nookary.keepWindowPinned.v1=perhaps\n");
        QTest::newRow("garbage file") << QByteArray("\x01\x02\xff\xfe=\n[[[\n\0\0\0", 12);
        QTest::newRow("values are lists")
            << ini("Nookary.historyLimit.v2=25, 50\nNookary.openPresentation.v2=a, b\n");
    }

    void badValuesFallBackAndAreRepaired()
    {
        QFETCH(QByteArray, file);
        ModelFixture f;
        f.writeSettingsFile(file);
        AppModel &m = f.start();
        QCOMPARE(m.settings().historyLimit(), 25);
        QCOMPARE(m.settings().openPresentation(), Presentation::centeredWindow);
        QCOMPARE(m.settings().defaultOpenTarget(), Target::savedFirst);
        QCOMPARE(m.settings().keepWindowPinned(), false);
        QCOMPARE(m.settings().hotkeyShortcut(), HotkeyShortcut::defaultShortcut());

        const auto disk = f.reread();
        QCOMPARE(disk->integer(k(SK::historyLimit.current)), 25);
        QCOMPARE(disk->string(k(SK::openPresentation.current)), QStringLiteral("centeredWindow"));
        QCOMPARE(disk->string(k(SK::defaultOpenTarget.current)), QStringLiteral("savedFirst"));
    }

    void shortcutComesFromCodesThenPresetThenDefault_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::newRow("stored codes")
            << ini("Nookary.hotkey.code.v1=9\nNookary.hotkey.modifiers.v1=768\n") << 9u << 0x300u;
        QTest::newRow("largest codes")
            << ini("Nookary.hotkey.code.v1=4294967295\nNookary.hotkey.modifiers.v1=4294967295\n")
            << 4294967295u << 4294967295u;
        QTest::newRow("preset only") << ini("Velmic.hotkeyPreset.v1=ctrlOptK\n") << 40u << 0x1800u;
        QTest::newRow("preset off") << ini("Nookary.hotkeyPreset.v1=off\n") << 0u << 0u;
        QTest::newRow("ISO preset")
            << ini("Nookary.hotkeyPreset.v1=ctrlCmdSectionISO\n") << 10u << 0x1100u;
        QTest::newRow("current preset wins")
            << ini("Nookary.hotkeyPreset.v1=ctrlOptV\nVelmic.hotkeyPreset.v1=ctrlOptK\n") << 9u
            << 0x1800u;
        QTest::newRow("preset in other case")
            << ini("Nookary.hotkeyPreset.v1=CtrlOptK\n") << 49u << 0x1800u;
        QTest::newRow("code without modifiers: preset decides")
            << ini("Nookary.hotkey.code.v1=9\nNookary.hotkeyPreset.v1=ctrlShiftSpace\n") << 49u
            << 0x1200u;
        QTest::newRow("code above 32 bits: preset decides") << ini(
            "Nookary.hotkey.code.v1=4294967296\nNookary.hotkey.modifiers.v1=6144\nNookary."
            "hotkeyPreset.v1=ctrlCmdGrave\n") << 50u << 0x1100u;
        QTest::newRow("negative modifiers: default")
            << ini("Nookary.hotkey.code.v1=9\nNookary.hotkey.modifiers.v1=-1\n") << 49u << 0x1800u;
        QTest::newRow("enormous code: default") << ini(
            "Nookary.hotkey.code.v1=999999999999999999999999\nNookary.hotkey.modifiers.v1=6144\n")
                                                << 49u << 0x1800u;
        QTest::newRow("nothing stored") << QByteArray() << 49u << 0x1800u;
    }

    void shortcutComesFromCodesThenPresetThenDefault()
    {
        QFETCH(QByteArray, file);
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        ModelFixture f;
        f.writeSettingsFile(file);
        const HotkeyShortcut expected { keyCode, modifiers };
        QCOMPARE(f.start().settings().hotkeyShortcut(), expected);

        // From now on both integers are stored and the preset is never written.
        QCOMPARE(f.store->writes(k(SK::hotkeyPreset.current)), 0);
        const auto disk = f.reread();
        QCOMPARE(disk->integer(k(SK::hotkeyCode.current)), qint64(keyCode));
        QCOMPARE(disk->integer(k(SK::hotkeyModifiers.current)), qint64(modifiers));
    }

    void onboardingProgressIsClamped_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("completed");
        QTest::newRow("step too high") << ini("Nookary.onboarding.lastStep.v1=9\n") << 4 << 0;
        QTest::newRow("step negative") << ini("Nookary.onboarding.lastStep.v1=-3\n") << 0 << 0;
        QTest::newRow("completed below one")
            << ini("Nookary.onboarding.completedVersion.v1=-5\n") << 0 << 0;
        QTest::newRow("completed")
            << ini("Nookary.onboarding.completedVersion.v1=1\nNookary.onboarding.lastStep.v1=3\n")
            << 3 << 1;
    }

    void onboardingProgressIsClamped()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, step);
        QFETCH(int, completed);
        ModelFixture f;
        f.writeSettingsFile(file);
        AppModel &m = f.start();
        QCOMPARE(m.settings().onboardingLastStep(), step);
        QCOMPARE(m.settings().onboardingCompletedVersion(), completed);
        QCOMPARE(m.settings().onboardingStartStepForManualShow(), completed > 0 ? 0 : step);
    }

    void onboardingOperationsWriteOnlyOnChange()
    {
        ModelFixture f;
        AppModel &m = f.start();
        const QString stepKey = k(SK::onboardingLastStep.current);
        f.store->resetCounts();

        m.settings().setOnboardingLastStep(2);
        m.settings().setOnboardingLastStep(2);
        QCOMPARE(f.store->writes(stepKey), 1);
        m.settings().setOnboardingLastStep(17);
        QCOMPARE(m.settings().onboardingLastStep(), 4);
        QCOMPARE(m.settings().onboardingStartStepForManualShow(), 4);

        m.settings().completeOnboarding();
        QCOMPARE(m.settings().onboardingCompletedVersion(), 1);
        QCOMPARE(m.settings().onboardingLastStep(), 0);
        QCOMPARE(m.settings().onboardingStartStepForManualShow(), 0);
        const auto disk = f.reread();
        QCOMPARE(disk->integer(k(SK::onboardingCompletedVersion.current)), 1);
        QCOMPARE(disk->integer(stepKey), 0);
    }

    void settingAPropertyWritesItThrough()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QSignalSpy limitSpy(&m.settings(), &Settings::historyLimitChanged);
        QSignalSpy shortcutSpy(&m.settings(), &Settings::hotkeyShortcutChanged);

        m.settings().setHistoryLimit(100);
        m.settings().setOpenPresentation(Presentation::menubarPopover);
        m.settings().setDefaultOpenTarget(Target::historyFirst);
        m.settings().setKeepWindowPinned(true);
        m.settings().setHotkeyShortcut({ 0, 0 });
        QCOMPARE(limitSpy.count(), 1);
        QCOMPARE(shortcutSpy.count(), 1);

        auto disk = f.reread();
        QCOMPARE(disk->integer(k(SK::historyLimit.current)), 100);
        QCOMPARE(disk->string(k(SK::openPresentation.current)), QStringLiteral("menubarPopover"));
        QCOMPARE(disk->string(k(SK::defaultOpenTarget.current)), QStringLiteral("historyFirst"));
        QVERIFY(disk->boolean(k(SK::keepWindowPinned.current)));
        QCOMPARE(disk->integer(k(SK::hotkeyCode.current)), 0);
        QCOMPARE(disk->integer(k(SK::hotkeyModifiers.current)), 0);

        // Any other limit becomes the default, written too.
        m.settings().setHistoryLimit(33);
        QCOMPARE(m.settings().historyLimit(), 25);
        QCOMPARE(f.reread()->integer(k(SK::historyLimit.current)), 25);

        // The next start reads what was written.
        f.model.reset();
        AppModel &again = f.start();
        QCOMPARE(again.settings().openPresentation(), Presentation::menubarPopover);
        QCOMPARE(again.settings().defaultOpenTarget(), Target::historyFirst);
        QCOMPARE(again.settings().keepWindowPinned(), true);
        QCOMPARE(again.settings().hotkeyShortcut(), HotkeyShortcut::off());
    }

    void transientPropertiesAreNeverWritten()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.store->resetCounts();
        m.panelState().setQuery(QStringLiteral("abc"));
        m.clipboardHistory().setPaused(true);
        m.setIsRecordingHotkey(true);
        m.setLaunchAtLogin(true);
        m.panelState().setSelectedColumn(AppModel::Column::history);
        QCOMPARE(f.store->totalWrites(), 0);
    }
};

QTEST_GUILESS_MAIN(TestModelSettings)
#include "tst_modelsettings.moc"
