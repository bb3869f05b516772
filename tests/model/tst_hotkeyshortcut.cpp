#include "model/HotkeyShortcut.h"
#include "platform/KeyCodeTable.h"

#include <QtTest>

using namespace nookary;

class TestHotkeyShortcut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void presetsAreExactNames()
    {
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"ctrlCmdSectionISO"), (HotkeyShortcut{10, 0x1100}));
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"ctrlOptCmdSpace"), (HotkeyShortcut{49, 0x1900}));
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"off"), HotkeyShortcut::off());
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"Off"), std::nullopt);
        QCOMPARE(HotkeyShortcut::fromLegacyPreset(u"ctrlOptSpace "), std::nullopt);
    }

    void modifiersFromKeyboardFlags()
    {
        QCOMPARE(HotkeyShortcut::carbonModifiers(Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier),
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
        QTest::newRow("default") << 49u << 0x1800u << QStringLiteral("Control + Alt") << QStringLiteral("Control + Alt + Space") << true;
        // Key code 0 is the A key like any other.
        QTest::newRow("all four in order, A") << 0u << 0x1B00u << QStringLiteral("Control + Alt + Super + Shift")
                                              << QStringLiteral("Control + Alt + Super + Shift + A") << true;
        QTest::newRow("super shift") << 40u << 0x0300u << QStringLiteral("Super + Shift") << QStringLiteral("Super + Shift + K") << true;
        QTest::newRow("section sign") << 10u << 0x1100u << QStringLiteral("Control + Super") << QStringLiteral("Control + Super + \u00a7") << true;
        QTest::newRow("backspace") << 51u << 0x1000u << QStringLiteral("Control") << QStringLiteral("Control + Backspace") << true;
        QTest::newRow("forward delete") << 117u << 0x1000u << QStringLiteral("Control") << QStringLiteral("Control + Delete") << true;
        QTest::newRow("keypad enter") << 76u << 0x0800u << QStringLiteral("Alt") << QStringLiteral("Alt + Key 76") << true;
        QTest::newRow("unnamed bits beside a named one") << 49u << 0x1401u << QStringLiteral("Control") << QStringLiteral("Control + Space") << true;
        // Without a named modifier there is nothing to register: a bare key would be taken
        // from the whole desktop.
        QTest::newRow("unnamed bit only") << 49u << 0x0001u << QString() << QStringLiteral("Off") << false;
        QTest::newRow("caps lock bit only") << 49u << 0x0400u << QString() << QStringLiteral("Off") << false;
        QTest::newRow("no modifiers") << 49u << 0u << QString() << QStringLiteral("Off") << false;
        QTest::newRow("stored off") << 0u << 0u << QString() << QStringLiteral("Off") << false;
    }

    void namesAndDisplayText()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        QFETCH(QString, modifierText);
        QFETCH(QString, display);
        QFETCH(bool, set);
        const HotkeyShortcut shortcut{keyCode, modifiers};
        QCOMPARE(shortcut.modifierText(), modifierText);
        QCOMPARE(shortcut.displayText(), display);
        QCOMPARE(shortcut.isSet(), set);
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

    void keyTableIsPositionalAndRoundTrips()
    {
        // X11 key codes of a PC keyboard (evdev + 8).
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(65), 49u); // space
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(38), 0u);  // A
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(45), 40u); // K
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(22), 51u); // BackSpace
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(119), 117u); // Delete
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(49), 50u); // grave
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(94), 10u); // the ISO key left of Z
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(104), 76u); // keypad Enter
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(37), 59u); // left Control
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(0), std::nullopt);
        QCOMPARE(KeyCodeTable::x11FromVirtualKey(65535), std::nullopt);

        // Every key that has a name, and every character key, has a place on the keyboard;
        // each virtual key maps to one X11 key code and back.
        for (quint32 code = 0; code < 128; ++code) {
            const bool named = !HotkeyShortcut::keyName(code).startsWith(QStringLiteral("Key "));
            const auto x11 = KeyCodeTable::x11FromVirtualKey(code);
            if (named)
                QVERIFY2(x11, qPrintable(HotkeyShortcut::keyName(code)));
            if (x11)
                QCOMPARE(KeyCodeTable::virtualKeyFromX11(*x11), code);
        }
        // The digits, F1 to F20 and the keypad digits.
        for (const quint32 code : {18u, 19u, 20u, 21u, 23u, 22u, 26u, 28u, 25u, 29u, 82u, 83u, 84u,
                                   85u, 86u, 87u, 88u, 89u, 91u, 92u, 105u, 107u, 113u, 106u, 64u, 79u, 80u, 90u})
            QVERIFY(KeyCodeTable::x11FromVirtualKey(code));
    }
};

QTEST_GUILESS_MAIN(TestHotkeyShortcut)
#include "tst_hotkeyshortcut.moc"
