// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyTranslator.h"

namespace nookary {

std::optional<QChar> KeyTranslator::letterTyped(quint32 virtualKey) const
{
    const QString name = HotkeyShortcut::keyName(virtualKey);
    if (name.size() == 1 && name.front() >= u'A' && name.front() <= u'Z')
        return name.front();
    return std::nullopt;
}

std::optional<HotkeyShortcut::EditingCommand> KeyTranslator::editingCommand(
    HotkeyShortcut shortcut) const
{
    // Only Control (and Shift) with a letter edit: no need to ask the layout otherwise.
    if (!(shortcut.modifiers & HotkeyShortcut::controlBit))
        return std::nullopt;
    const std::optional<QChar> letter = letterTyped(shortcut.keyCode);
    return letter ? HotkeyShortcut::editingCommand(shortcut.modifiers, *letter) : std::nullopt;
}

} // namespace nookary
