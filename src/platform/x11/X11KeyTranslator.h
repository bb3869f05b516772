// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/KeyTranslator.h"
#include "platform/x11/KeyCodeTable.h"

namespace nookary {

// X11 key codes (evdev + 8, which Qt's wayland plugin reports too) by the fixed table.
class X11KeyTranslator final : public KeyTranslator {
public:
    std::optional<quint32> virtualKey(quint32 nativeScanCode) const override
    {
        return KeyCodeTable::virtualKeyFromX11(nativeScanCode);
    }
    std::optional<quint32> nativeScanCode(quint32 virtualKey) const override
    {
        return KeyCodeTable::x11FromVirtualKey(virtualKey);
    }
};

} // namespace nookary
