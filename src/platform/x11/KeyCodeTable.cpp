// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyCodeTable.h"

#include <array>
#include <utility>

namespace nookary {

namespace {

// {evdev code, macOS virtual key code}. An X11 key code is the evdev code + 8.
constexpr std::pair<quint32, quint32> kKeys[] = {
    // Main block, by rows.
    { 1, 53 }, // Esc
    { 41, 50 },
    { 2, 18 },
    { 3, 19 },
    { 4, 20 },
    { 5, 21 },
    { 6, 23 },
    { 7, 22 }, // ` 1 2 3 4 5 6
    { 8, 26 },
    { 9, 28 },
    { 10, 25 },
    { 11, 29 },
    { 12, 27 },
    { 13, 24 }, // 7 8 9 0 - =
    { 14, 51 }, // Backspace
    { 15, 48 },
    { 16, 12 },
    { 17, 13 },
    { 18, 14 },
    { 19, 15 },
    { 20, 17 }, // Tab Q W E R T
    { 21, 16 },
    { 22, 32 },
    { 23, 34 },
    { 24, 31 },
    { 25, 35 },
    { 26, 33 }, // Y U I O P [
    { 27, 30 },
    { 43, 42 }, // ] backslash
    { 58, 57 },
    { 30, 0 },
    { 31, 1 },
    { 32, 2 },
    { 33, 3 },
    { 34, 5 },
    { 35, 4 }, // Caps A S D F G H
    { 36, 38 },
    { 37, 40 },
    { 38, 37 },
    { 39, 41 },
    { 40, 39 },
    { 28, 36 }, // J K L ; ' Return
    { 42, 56 },
    { 86, 10 },
    { 44, 6 },
    { 45, 7 },
    { 46, 8 },
    { 47, 9 }, // Shift, ISO key, Z X C V
    { 48, 11 },
    { 49, 45 },
    { 50, 46 },
    { 51, 43 },
    { 52, 47 },
    { 53, 44 }, // B N M , . /
    { 54, 60 }, // right Shift
    { 29, 59 },
    { 125, 55 },
    { 56, 58 },
    { 57, 49 },
    { 100, 61 },
    { 126, 54 },
    { 97, 62 }, // bottom row
    // Function keys.
    { 59, 122 },
    { 60, 120 },
    { 61, 99 },
    { 62, 118 },
    { 63, 96 },
    { 64, 97 },
    { 65, 98 },
    { 66, 100 },
    { 67, 101 },
    { 68, 109 },
    { 87, 103 },
    { 88, 111 },
    { 183, 105 },
    { 184, 107 },
    { 185, 113 },
    { 186, 106 },
    { 187, 64 },
    { 188, 79 },
    { 189, 80 },
    { 190, 90 },
    // Navigation.
    { 110, 114 },
    { 102, 115 },
    { 104, 116 },
    { 111, 117 },
    { 107, 119 },
    { 109, 121 },
    { 105, 123 },
    { 106, 124 },
    { 108, 125 },
    { 103, 126 },
    // Keypad.
    { 69, 71 },
    { 117, 81 },
    { 98, 75 },
    { 55, 67 },
    { 71, 89 },
    { 72, 91 },
    { 73, 92 },
    { 74, 78 },
    { 75, 86 },
    { 76, 87 },
    { 77, 88 },
    { 78, 69 },
    { 79, 83 },
    { 80, 84 },
    { 81, 85 },
    { 96, 76 },
    { 82, 82 },
    { 83, 65 },
    { 121, 95 },
    // Volume.
    { 113, 74 },
    { 114, 73 },
    { 115, 72 },
};

constexpr quint32 kX11Offset = 8;

} // namespace

std::optional<quint32> KeyCodeTable::virtualKeyFromX11(quint32 x11KeyCode)
{
    for (const auto &[evdev, virtualKey] : kKeys) {
        if (evdev + kX11Offset == x11KeyCode)
            return virtualKey;
    }
    return std::nullopt;
}

std::optional<quint32> KeyCodeTable::x11FromVirtualKey(quint32 virtualKeyCode)
{
    for (const auto &[evdev, virtualKey] : kKeys) {
        if (virtualKey == virtualKeyCode)
            return evdev + kX11Offset;
    }
    return std::nullopt;
}

} // namespace nookary
