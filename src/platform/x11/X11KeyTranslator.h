// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/KeyTranslator.h"
#include "platform/x11/KeyCodeTable.h"

struct xcb_connection_t;

namespace nookary {

// X11 key codes (evdev + 8, which Qt's wayland plugin reports too) by the fixed table. What
// a key types is asked of the server's keyboard map (XKB) in the layout in use; without a
// connection, or where the server does not say, it is the US layout's.
class X11KeyTranslator final : public KeyTranslator {
public:
    explicit X11KeyTranslator(xcb_connection_t *connection = nullptr)
        : m_connection(connection)
    {
    }

    std::optional<quint32> virtualKey(quint32 nativeScanCode) const override
    {
        return KeyCodeTable::virtualKeyFromX11(nativeScanCode);
    }
    std::optional<quint32> nativeScanCode(quint32 virtualKey) const override
    {
        return KeyCodeTable::x11FromVirtualKey(virtualKey);
    }
    std::optional<QChar> letterTyped(quint32 virtualKey) const override;

private:
    xcb_connection_t *m_connection;
};

} // namespace nookary
