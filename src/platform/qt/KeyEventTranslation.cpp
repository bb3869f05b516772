#include "KeyEventTranslation.h"

#include "platform/KeyCodeTable.h"

#include <QKeyEvent>

namespace nookary {

std::optional<quint32> virtualKeyOf(const QKeyEvent &event)
{
    // On X11 and on Wayland alike, Qt's native scan code is the XKB key code (evdev + 8).
    if (event.nativeScanCode() == 0)
        return std::nullopt;
    return KeyCodeTable::virtualKeyFromX11(event.nativeScanCode());
}

} // namespace nookary
