// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>

namespace nookary {

// Names a physical key by its place on the keyboard, in the stored encoding (macOS virtual
// key codes), from the native scan code a key event carries, and back. Pure lookups; any
// thread.
class KeyTranslator {
public:
    virtual ~KeyTranslator() = default;

    // Nothing when the scan code names no key of the table, or the session gives none.
    virtual std::optional<quint32> virtualKey(quint32 nativeScanCode) const = 0;
    virtual std::optional<quint32> nativeScanCode(quint32 virtualKey) const = 0;
    // False where scan codes tell no place at all: callers then go by Qt's key.
    virtual bool knowsPlaces() const { return true; }
};

// For sessions whose scan codes mean nothing known: callers fall back on Qt's key.
class NullKeyTranslator final : public KeyTranslator {
public:
    std::optional<quint32> virtualKey(quint32) const override { return std::nullopt; }
    std::optional<quint32> nativeScanCode(quint32) const override { return std::nullopt; }
    bool knowsPlaces() const override { return false; }
};

} // namespace nookary
