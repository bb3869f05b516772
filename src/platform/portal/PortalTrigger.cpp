// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalTrigger.h"

#include <QStringList>

#include <array>
#include <utility>

namespace nookary::PortalTrigger {

namespace {

// Keys whose keysym name is not their US-layout character, by stored key code.
constexpr std::array<std::pair<quint32, const char *>, 26> kKeysymNames { {
    { 36, "Return" },
    { 48, "Tab" },
    { 49, "space" },
    { 51, "BackSpace" },
    { 53, "Escape" },
    { 115, "Home" },
    { 116, "Prior" },
    { 117, "Delete" },
    { 119, "End" },
    { 121, "Next" },
    { 123, "Left" },
    { 124, "Right" },
    { 125, "Down" },
    { 126, "Up" },
    { 10, "section" },
    { 24, "equal" },
    { 27, "minus" },
    { 30, "bracketright" },
    { 33, "bracketleft" },
    { 39, "apostrophe" },
    { 41, "semicolon" },
    { 42, "backslash" },
    { 43, "comma" },
    { 44, "slash" },
    { 47, "period" },
    { 50, "grave" },
} };

QString keysymName(quint32 keyCode)
{
    for (const auto &[code, name] : kKeysymNames) {
        if (code == keyCode)
            return QString::fromLatin1(name);
    }
    const QString name = HotkeyShortcut::keyName(keyCode);
    // Function keys keep their names; a letter or digit is its own keysym, in lower case.
    if (name.size() == 1 && name.at(0).isLetterOrNumber())
        return name.toLower();
    if (name.size() >= 2 && name.at(0) == u'F' && name.mid(1).toInt() > 0)
        return name;
    return {};
}

} // namespace

QString preferredTrigger(HotkeyShortcut shortcut)
{
    if (!shortcut.isSet())
        return {};
    const QString key = keysymName(shortcut.keyCode);
    if (key.isEmpty())
        return {};
    QStringList parts;
    if (shortcut.modifiers & HotkeyShortcut::shiftBit)
        parts << QStringLiteral("SHIFT");
    if (shortcut.modifiers & HotkeyShortcut::controlBit)
        parts << QStringLiteral("CTRL");
    if (shortcut.modifiers & HotkeyShortcut::optionBit)
        parts << QStringLiteral("ALT");
    if (shortcut.modifiers & HotkeyShortcut::commandBit)
        parts << QStringLiteral("LOGO");
    parts << key;
    return parts.join(u'+');
}

} // namespace nookary::PortalTrigger
