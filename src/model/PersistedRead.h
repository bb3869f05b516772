// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PreferencesStore.h"

#include <QString>

#include <optional>

namespace nookary {

// The rule every versioned setting is read by: the current key if it holds a value of the
// type; else the legacy key, whose value is then copied to the current key (the legacy key
// stays); else nothing. `read` says whether a key holds such a value, and which; `write`
// stores one.
template <typename Read, typename Write>
auto readMigrating(const QString &current, const QString &legacy, Read read, Write write)
    -> decltype(read(QString()))
{
    if (auto value = read(current))
        return value;
    if (!legacy.isEmpty()) {
        if (auto value = read(legacy)) {
            write(current, *value);
            return value;
        }
    }
    return std::nullopt;
}

// A floating-point setting read by that rule.
inline std::optional<double> persistedDouble(
    PreferencesStore &store, const QString &key, const QString &legacy)
{
    return readMigrating(
        key, legacy,
        [&store](const QString &name) {
            return store.contains(name) ? std::optional(store.real(name)) : std::nullopt;
        },
        [&store](const QString &name, double value) { store.setReal(name, value); });
}

} // namespace nookary
