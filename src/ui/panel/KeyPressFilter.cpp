// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyPressFilter.h"

#include <utility>

namespace nookary {

bool KeyPressFilter::press(quint64 time, bool markedRepeat)
{
    // A time of 0 is unknown (a synthetic event), not the same moment.
    const bool releaseWasRepeat = m_released && time != 0 && m_releasedAt == time;
    const bool stillDown = m_down && time >= m_pressedAt && time - m_pressedAt <= longestRepeatGap;
    const bool isNew = !markedRepeat && !releaseWasRepeat && !stillDown;
    m_down = true;
    m_pressedAt = time;
    m_released = false;
    return isNew;
}

void KeyPressFilter::release(quint64 time, bool markedRepeat)
{
    if (markedRepeat)
        return;
    m_down = false;
    m_released = true;
    m_releasedAt = time;
}

} // namespace nookary
