// SPDX-License-Identifier: GPL-3.0-or-later
#include "LayoutKeyTranslator.h"
#include "core/HotkeyShortcut.h"

#include <QtTest>

using namespace nookary;
using namespace nookary::test;

class TestHotkeyShortcut : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void qtsKeyNamesTheKeyWhereNoPlaceIsKnown()
    {
        // Every key the table names is reached from its Qt key, and named back the same.
        const auto code = [](int key, Qt::KeyboardModifiers modifiers = {}) {
            return HotkeyShortcut::keyCodeForQtKey(key, modifiers);
        };
        QCOMPARE(code(Qt::Key_K), 40u);
        QCOMPARE(code(Qt::Key_V), 9u);
        QCOMPARE(code(Qt::Key_0), 29u);
        QCOMPARE(code(Qt::Key_Space), 49u);
        QCOMPARE(code(Qt::Key_Comma), 43u);
        QCOMPARE(code(Qt::Key_QuoteLeft), 50u);
        QCOMPARE(code(Qt::Key_section), 10u);
        QCOMPARE(code(Qt::Key_F12), 111u);
        QCOMPARE(code(Qt::Key_Escape), 53u);
        QCOMPARE(code(Qt::Key_PageDown), 121u);
        for (quint32 c = 0; c < 128; ++c) {
            const QString name = HotkeyShortcut::keyName(c);
            if (name.size() == 1 && name.at(0) != u'\u00A7')
                QCOMPARE(code(name.at(0).unicode()), c);
        }
        // Keypad keys and keys outside the table have no code.
        QCOMPARE(code(Qt::Key_1, Qt::KeypadModifier), std::nullopt);
        QCOMPARE(code(Qt::Key_Exclam), std::nullopt);
        QCOMPARE(code(Qt::Key_Control), std::nullopt);
        QCOMPARE(code(Qt::Key_VolumeUp), std::nullopt);
    }

    void presetsAreExactNames()
    {
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"ctrlCmdSectionISO"),
            (HotkeyShortcut { 10, 0x1100 }));
        QCOMPARE(
            HotkeyShortcut::fromLegacyPreset(u"ctrlOptCmdSpace"), (HotkeyShortcut { 49, 0x1900 }));
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"off"), HotkeyShortcut::off());
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"Off"), std::nullopt);
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"ctrlOptSpace "), std::nullopt);
    }

    void modifiersFromKeyboardFlags()
    {
        QCOMPARE(HotkeyShortcut::carbonModifiers(
                     Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier),
            0x1200u);
        QCOMPARE(HotkeyShortcut::carbonModifiers(Qt::AltModifier | Qt::MetaModifier), 0x0900u);
        QCOMPARE(HotkeyShortcut::carbonModifiers(Qt::GroupSwitchModifier), 0u);
    }

    void namesAndDisplayText_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<QString>("modifierText");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("set");
        QTest::newRow("default") << 49u << 0x1800u << QStringLiteral("Control + Alt")
                                 << QStringLiteral("Control + Alt + Space") << true;
        // Key code 0 is the A key like any other.
        QTest::newRow("all four in order, A")
            << 0u << 0x1B00u << QStringLiteral("Control + Alt + Super + Shift")
            << QStringLiteral("Control + Alt + Super + Shift + A") << true;
        QTest::newRow("super shift") << 40u << 0x0300u << QStringLiteral("Super + Shift")
                                     << QStringLiteral("Super + Shift + K") << true;
        QTest::newRow("section sign") << 10u << 0x1100u << QStringLiteral("Control + Super")
                                      << QStringLiteral("Control + Super + \u00a7") << true;
        QTest::newRow("backspace") << 51u << 0x1000u << QStringLiteral("Control")
                                   << QStringLiteral("Control + Backspace") << true;
        QTest::newRow("forward delete") << 117u << 0x1000u << QStringLiteral("Control")
                                        << QStringLiteral("Control + Delete") << true;
        QTest::newRow("keypad enter")
            << 76u << 0x0800u << QStringLiteral("Alt") << QStringLiteral("Alt + Key 76") << true;
        QTest::newRow("unnamed bits beside a named one")
            << 49u << 0x1401u << QStringLiteral("Control") << QStringLiteral("Control + Space")
            << true;
        // Without a named modifier there is nothing to register: a bare key would be taken
        // from the whole desktop.
        QTest::newRow("unnamed bit only")
            << 49u << 0x0001u << QString() << QStringLiteral("Off") << false;
        QTest::newRow("caps lock bit only")
            << 49u << 0x0400u << QString() << QStringLiteral("Off") << false;
        QTest::newRow("no modifiers") << 49u << 0u << QString() << QStringLiteral("Off") << false;
        QTest::newRow("stored off") << 0u << 0u << QString() << QStringLiteral("Off") << false;
        // Combinations that would break typing everywhere are no shortcut either.
        QTest::newRow("shift and a letter")
            << 0u << 0x0200u << QStringLiteral("Shift") << QStringLiteral("Off") << false;
        QTest::newRow("shift and a sign")
            << 50u << 0x0200u << QStringLiteral("Shift") << QStringLiteral("Off") << false;
        for (const quint32 typing : { 36u, 48u, 49u, 51u, 83u, 76u })
            QTest::addRow("shift and typing key %u", typing)
                << typing << 0x0200u << QStringLiteral("Shift") << QStringLiteral("Off") << false;
        QTest::newRow("shift F1") << 122u << 0x0200u << QStringLiteral("Shift")
                                  << QStringLiteral("Shift + F1") << true;
        QTest::newRow("shift up") << 126u << 0x0200u << QStringLiteral("Shift")
                                  << QStringLiteral("Shift + Up Arrow") << true;
        QTest::newRow("shift insert") << 114u << 0x0200u << QStringLiteral("Shift")
                                      << QStringLiteral("Shift + Key 114") << true;
    }

    void namesAndDisplayText()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        QFETCH(QString, modifierText);
        QFETCH(QString, display);
        QFETCH(bool, set);
        const HotkeyShortcut shortcut { keyCode, modifiers };
        QCOMPARE(shortcut.modifierText(), modifierText);
        QCOMPARE(shortcut.displayText(), display);
        QCOMPARE(shortcut.isSet(), set);
    }

    void editingCombinationsGoByTheLetterTheKeyTypes()
    {
        using Command = HotkeyShortcut::EditingCommand;
        const quint32 control = HotkeyShortcut::controlBit, shift = HotkeyShortcut::shiftBit;
        const QString letters = QStringLiteral("ACVXZYSFWQ");
        for (const QChar letter : letters) {
            QVERIFY(HotkeyShortcut::editingCommand(control, letter));
            QVERIFY(HotkeyShortcut::editingCommand(control, letter.toLower()));
        }
        QCOMPARE(HotkeyShortcut::editingCommand(control | shift, u'C'), Command::copy);
        QCOMPARE(HotkeyShortcut::editingCommand(control | shift, u'V'), Command::paste);
        // Only those exact combinations: another modifier beside them makes a shortcut.
        const std::pair<quint32, char16_t> others[]
            = { { control | shift, u'A' }, { control | HotkeyShortcut::optionBit, u'C' },
                  { HotkeyShortcut::commandBit, u'C' }, { control, u'K' }, { control, u'\u00e9' } };
        for (const auto &[modifiers, letter] : others)
            QCOMPARE(HotkeyShortcut::editingCommand(modifiers, letter), std::nullopt);

        // A stored shortcut names a place: whether it edits depends on what the key types
        // in the layout in use. On Dvorak the US layout's I types C, its C types J.
        const HotkeyShortcut placeOfC { 8, control }, placeOfI { 34, control };
        const NullKeyTranslator usLayout;
        QVERIFY(!usLayout.isUsable(placeOfC));
        QVERIFY(usLayout.isUsable(placeOfI));
        const LayoutKeyTranslator dvorak(LayoutKeyTranslator::dvorak());
        QCOMPARE(dvorak.editingCommand(placeOfI), Command::copy);
        QVERIFY(!dvorak.isUsable(placeOfI));
        QVERIFY(dvorak.isUsable(placeOfC));
        QVERIFY(dvorak.isUsable({ 34, control | HotkeyShortcut::optionBit }));
        // A key that types no letter edits nothing; what never is a shortcut stays none.
        QVERIFY(dvorak.isUsable({ 6, control }));
        QVERIFY(!dvorak.isUsable({ 34, 0 }));
        QVERIFY(!dvorak.isUsable({ 34, shift }));
    }

    void keyNames()
    {
        QCOMPARE(HotkeyShortcut::keyName(0), QStringLiteral("A"));
        QCOMPARE(HotkeyShortcut::keyName(39), QStringLiteral("'"));
        QCOMPARE(HotkeyShortcut::keyName(42), QStringLiteral("\\"));
        QCOMPARE(HotkeyShortcut::keyName(50), QStringLiteral("`"));
        QCOMPARE(HotkeyShortcut::keyName(65), QStringLiteral("Key 65"));
        QCOMPARE(HotkeyShortcut::keyName(122), QStringLiteral("F1"));
        QCOMPARE(HotkeyShortcut::keyName(126), QStringLiteral("Up Arrow"));
        QCOMPARE(HotkeyShortcut::keyName(4294967295u), QStringLiteral("Key 4294967295"));
    }
};

QTEST_GUILESS_MAIN(TestHotkeyShortcut)
#include "tst_hotkeyshortcut.moc"
