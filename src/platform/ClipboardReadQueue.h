// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>

namespace nookary {

// When a pasteboard reads another program's copy. One read at a time: a copy noticed while
// a read is in flight is read as soon as that one lands, each in turn. Copies noticed before
// a read could start share that read, since by then the clipboard holds only the newest of
// them. So a burst of any length costs one read in flight and one waiting, and its last copy
// is always read. Main thread only.
class ClipboardReadQueue final {
public:
    // `startRead` reads the clipboard as it is now; its result comes back through `land`
    // with the ticket. `pendingChanged` is told each time `isPending` changes.
    ClipboardReadQueue(
        std::function<void(quint64 ticket)> startRead, std::function<void()> pendingChanged);

    // Another program's copy was noticed. Nothing is read while paused.
    void noticed();
    // The program's own write took the clipboard: a copy noticed but not yet read is gone.
    void ownWrite();
    // A read in flight when pausing is dropped when it lands; nothing noticed meanwhile is
    // read later.
    void setPaused(bool paused);
    // A read came back. Unless it was dropped, `deliver` counts it; then the next read
    // starts, or the queue goes idle.
    void land(quint64 ticket, const std::function<void()> &deliver);

    // A copy noticed has not been read yet (a read is in flight or waits).
    bool isPending() const { return m_inFlight != 0; }

private:
    void start();
    void setIdle();

    std::function<void(quint64)> m_startRead;
    std::function<void()> m_pendingChanged;
    quint64 m_lastTicket = 0;
    quint64 m_inFlight = 0; // the ticket of the read in flight; 0: none
    bool m_readAgain = false;
    bool m_paused = false;
};

} // namespace nookary
