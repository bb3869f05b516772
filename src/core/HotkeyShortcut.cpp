// SPDX-License-Identifier: GPL-3.0-or-later
#include "HotkeyShortcut.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <utility>

namespace nookary {

namespace {

struct LegacyPreset {
    const char16_t *rawValue;
    HotkeyShortcut shortcut;
};

constexpr quint32 kControl = HotkeyShortcut::controlBit;
constexpr quint32 kOption = HotkeyShortcut::optionBit;
constexpr quint32 kCommand = HotkeyShortcut::commandBit;
constexpr quint32 kShift = HotkeyShortcut::shiftBit;

constexpr std::array<LegacyPreset, 9> kLegacyPresets { {
    { u"off", { 0, 0 } },
    { u"ctrlOptSpace", { 49, kControl | kOption } },
    { u"ctrlCmdSpace", { 49, kControl | kCommand } },
    { u"ctrlShiftSpace", { 49, kControl | kShift } },
    { u"ctrlOptCmdSpace", { 49, kControl | kOption | kCommand } },
    { u"ctrlOptK", { 40, kControl | kOption } },
    { u"ctrlOptV", { 9, kControl | kOption } },
    { u"ctrlCmdGrave", { 50, kControl | kCommand } },
    { u"ctrlCmdSectionISO", { 10, kControl | kCommand } },
} };

} // namespace

std::optional<HotkeyShortcut> HotkeyShortcut::fromLegacyPreset(QStringView rawValue)
{
    for (const LegacyPreset &preset : kLegacyPresets) {
        if (rawValue == QStringView(preset.rawValue))
            return preset.shortcut;
    }
    return std::nullopt;
}

namespace {

// Named keys first. The names a user reads follow a PC keyboard: code 51 is the key macOS
// calls Delete and a PC labels Backspace; 117 is Forward Delete, a PC's Delete.
constexpr std::array<std::pair<quint32, const char16_t *>, 34> kNamedKeys { {
    { 36, u"Return" },
    { 48, u"Tab" },
    { 49, u"Space" },
    { 51, u"Backspace" },
    { 53, u"Esc" },
    { 64, u"F17" },
    { 79, u"F18" },
    { 80, u"F19" },
    { 90, u"F20" },
    { 96, u"F5" },
    { 97, u"F6" },
    { 98, u"F7" },
    { 99, u"F3" },
    { 100, u"F8" },
    { 101, u"F9" },
    { 103, u"F11" },
    { 105, u"F13" },
    { 106, u"F16" },
    { 107, u"F14" },
    { 109, u"F10" },
    { 111, u"F12" },
    { 113, u"F15" },
    { 115, u"Home" },
    { 116, u"Page Up" },
    { 117, u"Delete" },
    { 118, u"F4" },
    { 119, u"End" },
    { 120, u"F2" },
    { 121, u"Page Down" },
    { 122, u"F1" },
    { 123, u"Left Arrow" },
    { 124, u"Right Arrow" },
    { 125, u"Down Arrow" },
    { 126, u"Up Arrow" },
} };

// The character of each key of the main block on the US layout; code 10 is the section
// sign key of ISO keyboards.
constexpr std::array<std::pair<quint32, char16_t>, 48> kAnsiKeys { {
    { 0, u'A' },
    { 1, u'S' },
    { 2, u'D' },
    { 3, u'F' },
    { 4, u'H' },
    { 5, u'G' },
    { 6, u'Z' },
    { 7, u'X' },
    { 8, u'C' },
    { 9, u'V' },
    { 10, u'\u00A7' },
    { 11, u'B' },
    { 12, u'Q' },
    { 13, u'W' },
    { 14, u'E' },
    { 15, u'R' },
    { 16, u'Y' },
    { 17, u'T' },
    { 18, u'1' },
    { 19, u'2' },
    { 20, u'3' },
    { 21, u'4' },
    { 22, u'6' },
    { 23, u'5' },
    { 24, u'=' },
    { 25, u'9' },
    { 26, u'7' },
    { 27, u'-' },
    { 28, u'8' },
    { 29, u'0' },
    { 30, u']' },
    { 31, u'O' },
    { 32, u'U' },
    { 33, u'[' },
    { 34, u'I' },
    { 35, u'P' },
    { 37, u'L' },
    { 38, u'J' },
    { 39, u'\'' },
    { 40, u'K' },
    { 41, u';' },
    { 42, u'\\' },
    { 43, u',' },
    { 44, u'/' },
    { 45, u'N' },
    { 46, u'M' },
    { 47, u'.' },
    { 50, u'`' },
} };

} // namespace

quint32 HotkeyShortcut::carbonModifiers(Qt::KeyboardModifiers flags)
{
    quint32 mask = 0;
    if (flags & Qt::ControlModifier)
        mask |= controlBit;
    if (flags & Qt::AltModifier)
        mask |= optionBit;
    if (flags & Qt::MetaModifier)
        mask |= commandBit;
    if (flags & Qt::ShiftModifier)
        mask |= shiftBit;
    return mask;
}

QString HotkeyShortcut::modifierText() const
{
    QStringList names;
    if (modifiers & controlBit)
        names << QStringLiteral("Control");
    if (modifiers & optionBit)
        names << QStringLiteral("Alt");
    if (modifiers & commandBit)
        names << QStringLiteral("Super");
    if (modifiers & shiftBit)
        names << QStringLiteral("Shift");
    return names.join(QStringLiteral(" + "));
}

QString HotkeyShortcut::keyName(quint32 code)
{
    for (const auto &[named, name] : kNamedKeys) {
        if (named == code)
            return QString::fromUtf16(name);
    }
    for (const auto &[ansi, character] : kAnsiKeys) {
        if (ansi == code)
            return QString(QChar(character));
    }
    return QStringLiteral("Key %1").arg(code);
}

std::optional<quint32> HotkeyShortcut::keyCodeForQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier)
        return std::nullopt;
    static constexpr std::array<std::pair<int, quint32>, 34> kQtNamedKeys { {
        { Qt::Key_Return, 36 },
        { Qt::Key_Tab, 48 },
        { Qt::Key_Space, 49 },
        { Qt::Key_Backspace, 51 },
        { Qt::Key_Escape, 53 },
        { Qt::Key_F1, 122 },
        { Qt::Key_F2, 120 },
        { Qt::Key_F3, 99 },
        { Qt::Key_F4, 118 },
        { Qt::Key_F5, 96 },
        { Qt::Key_F6, 97 },
        { Qt::Key_F7, 98 },
        { Qt::Key_F8, 100 },
        { Qt::Key_F9, 101 },
        { Qt::Key_F10, 109 },
        { Qt::Key_F11, 103 },
        { Qt::Key_F12, 111 },
        { Qt::Key_F13, 105 },
        { Qt::Key_F14, 107 },
        { Qt::Key_F15, 113 },
        { Qt::Key_F16, 106 },
        { Qt::Key_F17, 64 },
        { Qt::Key_F18, 79 },
        { Qt::Key_F19, 80 },
        { Qt::Key_F20, 90 },
        { Qt::Key_Home, 115 },
        { Qt::Key_PageUp, 116 },
        { Qt::Key_Delete, 117 },
        { Qt::Key_End, 119 },
        { Qt::Key_PageDown, 121 },
        { Qt::Key_Left, 123 },
        { Qt::Key_Right, 124 },
        { Qt::Key_Down, 125 },
        { Qt::Key_Up, 126 },
    } };
    for (const auto &[key, code] : kQtNamedKeys) {
        if (key == qtKey)
            return code;
    }
    // Qt's keys for letters, digits and the main block's signs are their Latin-1 codes.
    if (qtKey > 0x20 && qtKey < 0x100) {
        for (const auto &[code, character] : kAnsiKeys) {
            if (character == char16_t(qtKey))
                return code;
        }
    }
    return std::nullopt;
}

namespace {

constexpr std::array<quint32, 4> kTypingNamedKeys { 36, 48, 49, 51 }; // Return Tab Space Backspace
// The keypad's digits, signs and Enter; not its Clear (Num Lock) key.
constexpr std::array<quint32, 18> kKeypadTypingKeys { 65, 67, 69, 75, 76, 78, 81, 82, 83, 84, 85,
    86, 87, 88, 89, 91, 92, 95 };

constexpr std::array<std::pair<char16_t, HotkeyShortcut::EditingCommand>, 10> kControlEditing { {
    { u'A', HotkeyShortcut::EditingCommand::selectAll },
    { u'C', HotkeyShortcut::EditingCommand::copy },
    { u'V', HotkeyShortcut::EditingCommand::paste },
    { u'X', HotkeyShortcut::EditingCommand::cut },
    { u'Z', HotkeyShortcut::EditingCommand::undo },
    { u'Y', HotkeyShortcut::EditingCommand::redo },
    { u'S', HotkeyShortcut::EditingCommand::save },
    { u'F', HotkeyShortcut::EditingCommand::find },
    { u'W', HotkeyShortcut::EditingCommand::close },
    { u'Q', HotkeyShortcut::EditingCommand::quit },
} };

template <typename Container> bool contains(const Container &keys, quint32 code)
{
    return std::ranges::find(keys, code) != keys.end();
}

} // namespace

std::optional<HotkeyShortcut::EditingCommand> HotkeyShortcut::editingCommand(
    quint32 modifiers, QChar letter)
{
    const quint32 named = modifiers & namedModifierBits;
    const char16_t upper = letter.toUpper().unicode();
    if (named == controlBit) {
        for (const auto &[editingLetter, command] : kControlEditing) {
            if (editingLetter == upper)
                return command;
        }
    } else if (named == (controlBit | shiftBit)) {
        if (upper == u'C')
            return EditingCommand::copy;
        if (upper == u'V')
            return EditingCommand::paste;
    }
    return std::nullopt;
}

bool HotkeyShortcut::typesText() const
{
    if ((modifiers & namedModifierBits) != shiftBit)
        return false;
    const bool character = std::ranges::any_of(
        kAnsiKeys, [this](const auto &entry) { return entry.first == keyCode; });
    return character || contains(kTypingNamedKeys, keyCode) || contains(kKeypadTypingKeys, keyCode);
}

bool HotkeyShortcut::isSet() const
{
    return (modifiers & namedModifierBits) != 0 && !typesText();
}

QString HotkeyShortcut::displayText() const
{
    if (!isSet())
        return QStringLiteral("Off");
    return modifierText() + QStringLiteral(" + ") + keyName(keyCode);
}

} // namespace nookary
