// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace nookary {

// Tells a new press of one key from the presses that holding it down repeats. X11 repeats a
// held key as a release and a press bearing the same time; Qt marks the pair as a repeat
// only when both have arrived by the time it reads the release, which a busy program misses.
// Times are the events' own, in milliseconds.
class KeyPressFilter final {
public:
    // A key held longer than this without a repeat was let go where we did not see it (in
    // another window, say).
    static constexpr quint64 longestRepeatGap = 2500;

    // Answers whether this press is a new one: the key went up since the last press.
    bool press(quint64 time, bool markedRepeat);
    void release(quint64 time, bool markedRepeat);

private:
    bool m_down = false;
    quint64 m_pressedAt = 0;
    bool m_released = false;
    quint64 m_releasedAt = 0;
};

} // namespace nookary
