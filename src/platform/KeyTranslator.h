// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QChar>
#include <QtGlobal>

#include <optional>

namespace nookary {

// Names a physical key by its place on the keyboard, in the stored encoding (macOS virtual
// key codes), from the native scan code a key event carries, and back; and tells what a
// key types in the layout in use now. The place lookups are pure, any thread; the rest
// main thread only.
class KeyTranslator {
public:
    virtual ~KeyTranslator() = default;

    // Nothing when the scan code names no key of the table, or the session gives none.
    virtual std::optional<quint32> virtualKey(quint32 nativeScanCode) const = 0;
    virtual std::optional<quint32> nativeScanCode(quint32 virtualKey) const = 0;
    // False where scan codes tell no place at all: callers then go by Qt's key.
    virtual bool knowsPlaces() const { return true; }
    // The letter (A to Z, upper case) that the key at this place types now, as programs
    // read it for their Control shortcuts (a layout without Latin letters lends them from
    // another layout the keyboard has); nothing for a key that types no letter. Here, the
    // US layout's: where places are unknown, keys were stored by the letter Qt gave.
    virtual std::optional<QChar> letterTyped(quint32 virtualKey) const;

    // The editing command that programs give the shortcut in the layout in use now
    // (Control and the key that types C copies, wherever that key is).
    std::optional<HotkeyShortcut::EditingCommand> editingCommand(HotkeyShortcut shortcut) const;
    // The one rule for a stored shortcut: something to register and show, now. Not set, or
    // an editing combination in the layout in use, it reads as "Off" and grabs nothing; it
    // stays stored as it was.
    bool isUsable(HotkeyShortcut shortcut) const
    {
        return shortcut.isSet() && !editingCommand(shortcut);
    }
};

// For sessions whose scan codes mean nothing known: callers fall back on Qt's key.
class NullKeyTranslator final : public KeyTranslator {
public:
    std::optional<quint32> virtualKey(quint32) const override { return std::nullopt; }
    std::optional<quint32> nativeScanCode(quint32) const override { return std::nullopt; }
    bool knowsPlaces() const override { return false; }
};

} // namespace nookary
