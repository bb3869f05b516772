// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>
#include <Qt>

#include <optional>

namespace nookary {

// A global shortcut in the stored encoding: a macOS virtual key code and a Carbon-style
// modifier mask. Stored values keep this encoding on every platform, so a settings file
// means the same everywhere. A mask without any of the four named modifiers is no shortcut
// at all ("Off"); (0, 0) is how "Off" is stored. Key code 0 is the A key.
struct HotkeyShortcut {
    Q_GADGET
    Q_PROPERTY(quint32 keyCode MEMBER keyCode)
    Q_PROPERTY(quint32 modifiers MEMBER modifiers)

public:
    // Modifier bits. Written to the settings file; never renumber.
    static constexpr quint32 commandBit = 0x0100;
    static constexpr quint32 shiftBit = 0x0200;
    static constexpr quint32 optionBit = 0x0800;
    static constexpr quint32 controlBit = 0x1000;
    static constexpr quint32 namedModifierBits = commandBit | shiftBit | optionBit | controlBit;

    static constexpr quint32 spaceKeyCode = 49;

    quint32 keyCode = 0;
    quint32 modifiers = 0;

    // Control + Option + Space.
    static constexpr HotkeyShortcut defaultShortcut()
    {
        return { spaceKeyCode, controlBit | optionBit };
    }
    static constexpr HotkeyShortcut off() { return { 0, 0 }; }

    // The shortcut of a preset name that earlier versions stored; nothing for an unknown
    // name. Matching is exact and case-sensitive.
    static std::optional<HotkeyShortcut> fromLegacyPreset(QStringView rawValue);

    // Keyboard-event modifiers to the mask. Ctrl gives Control, Alt gives Option, Super
    // (Qt's Meta on Linux) gives Command, Shift gives Shift; locks and the keypad flag are
    // ignored.
    static quint32 carbonModifiers(Qt::KeyboardModifiers flags);

    // The names of the set modifiers, in the order Control, Alt, Super, Shift, joined with
    // " + "; empty for a mask without any of them.
    QString modifierText() const;
    // A key code's name: a named key, else its character on the US layout, else "Key <code>".
    static QString keyName(quint32 keyCode);
    // The key code of the key that gives Qt's `qtKey` on the US layout, for sessions that
    // tell no key's place; nothing for a key outside the table (keypad keys included).
    static std::optional<quint32> keyCodeForQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
    // "Control + Alt + Space", or "Off" when the shortcut is not set.
    QString displayText() const;

    // The editing commands that every program gives these combinations (Control + C copies;
    // terminals copy and paste with Control + Shift + C and V). Grabbed for the whole
    // desktop, they would stop working everywhere. Programs go by the letter a key types in
    // the layout in use, not by its place: `letter` is that letter (A to Z, upper case).
    enum class EditingCommand { selectAll, copy, paste, cut, undo, redo, save, find, close, quit };
    static std::optional<EditingCommand> editingCommand(quint32 modifiers, QChar letter);
    // Shift alone with a key that types (a letter, digit or sign, Space, Return, Tab,
    // Backspace, the keypad): grabbed, that character could no longer be typed anywhere.
    // Shift with a function, navigation or editing key (F1, Home, Insert, an arrow) is fine.
    bool typesText() const;

    // Whether the combination can be a shortcut at all, whatever the layout. A mask with
    // none of the named modifiers would grab a bare key (or only a lock) for the whole
    // desktop, and Shift with a typing key would take that character from every program:
    // either counts as no shortcut, whatever it holds, and is stored as it was. Whether it
    // edits (Control + C) depends on the layout: `KeyTranslator::isUsable` is the whole rule.
    bool isSet() const;

    friend constexpr bool operator==(const HotkeyShortcut &, const HotkeyShortcut &) = default;
};

} // namespace nookary

Q_DECLARE_METATYPE(nookary::HotkeyShortcut)
