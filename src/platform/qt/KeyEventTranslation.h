#pragma once

#include <QtGlobal>

#include <optional>

class QKeyEvent;

namespace nookary {

// The key of a key event in the stored encoding (a macOS virtual key code, by its place on
// the keyboard), from the event's native key code. Nothing for a key the table does not know
// or an event without a native code (synthesised events, sessions that give none).
std::optional<quint32> virtualKeyOf(const QKeyEvent &event);

} // namespace nookary
