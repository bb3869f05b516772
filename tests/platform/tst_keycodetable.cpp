// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/HotkeyShortcut.h"
#include "platform/x11/KeyCodeTable.h"
#include "platform/x11/X11KeyTranslator.h"

#include <QtTest>

using namespace nookary;

// The fixed table between X11 key codes and the stored encoding's virtual key codes.
class TestKeyCodeTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyTableIsPositionalAndRoundTrips()
    {
        // X11 key codes of a PC keyboard (evdev + 8).
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(65), 49u); // space
        QCOMPARE(KeyCodeTable::virtualKeyFromX11(38), 0u); // A
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
        for (const quint32 code : { 18u, 19u, 20u, 21u, 23u, 22u, 26u, 28u, 25u, 29u, 82u, 83u, 84u,
                 85u, 86u, 87u, 88u, 89u, 91u, 92u, 105u, 107u, 113u, 106u, 64u, 79u, 80u, 90u })
            QVERIFY(KeyCodeTable::x11FromVirtualKey(code));
    }

    void translatorNamesKeysByPlace()
    {
        // Key code 11 is the 2 of the main row whatever the layout puts there; 88 is the
        // keypad's 2.
        const X11KeyTranslator keys;
        QCOMPARE(keys.virtualKey(11), 19u);
        QCOMPARE(keys.virtualKey(88), 84u);
        QCOMPARE(keys.virtualKey(0), std::nullopt);
        QCOMPARE(keys.nativeScanCode(19), 11u);
    }
};

QTEST_GUILESS_MAIN(TestKeyCodeTable)
#include "tst_keycodetable.moc"
