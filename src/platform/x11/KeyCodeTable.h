// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>

namespace nookary {

// Stored shortcuts use macOS virtual key codes, which name a key by its place on the
// keyboard. This table maps them to and from X11 key codes (the evdev code + 8, what
// QKeyEvent::nativeScanCode() gives on X11) by that same place, whatever the layout.
namespace KeyCodeTable {

std::optional<quint32> virtualKeyFromX11(quint32 x11KeyCode);
std::optional<quint32> x11FromVirtualKey(quint32 virtualKeyCode);

} // namespace KeyCodeTable

} // namespace nookary
