// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <deque>
#include <functional>

namespace nookary {

// When a pasteboard reads another program's copy. A copy noticed is read at once, even while
// older reads are still in flight, so that an owner that answers slowly or never holds up no
// copy made after it: up to `maxInFlight` reads run at once (as many as the reader can), and
// at most `maxPending` are started and not yet counted. Copies noticed beyond that share one
// later read, since by then the clipboard holds only the newest of them. Reads are counted in
// the order they started, the order of the copies, so a slow owner's copy comes before the
// ones made after it. A burst of any length costs a bounded number of reads, and its last
// copy is always read. Main thread only.
class ClipboardReadQueue final {
public:
    static constexpr int maxPending = 8;

    // `startRead` reads the clipboard as it is now; its result comes back through `land`
    // with the ticket. `pendingChanged` is told each time `isPending` changes.
    ClipboardReadQueue(std::function<void(quint64 ticket)> startRead,
        std::function<void()> pendingChanged, int maxInFlight = 1);

    // Another program's copy was noticed. While paused nothing is read: a read in flight may
    // then find this copy, and is dropped when it lands.
    void noticed();
    // The program's own write took the clipboard: a copy noticed but not yet read is gone.
    void ownWrite();
    // Nothing noticed while paused is read, then or later. Reads started before go on: the
    // copies they read were made before.
    void setPaused(bool paused);
    // A read came back. Unless it was dropped, `deliver` counts it once every read started
    // before it has been counted; then the next read starts, or the queue goes idle.
    void land(quint64 ticket, std::function<void()> deliver);

    // A copy noticed has not been counted yet (a read is in flight, waits to be counted, or
    // waits to start).
    bool isPending() const { return !m_reads.empty(); }

private:
    struct Read {
        quint64 ticket = 0;
        bool landed = false;
        bool dropped = false;
        std::function<void()> deliver = {};
    };

    bool canStart() const;
    void start();
    void deliverLanded();
    void announce();

    std::function<void(quint64)> m_startRead;
    std::function<void()> m_pendingChanged;
    const int m_maxInFlight;
    std::deque<Read> m_reads; // started and not yet counted, in the order started
    int m_inFlight = 0;
    quint64 m_lastTicket = 0;
    bool m_readAgain = false;
    bool m_paused = false;
    bool m_delivering = false;
    bool m_announcedPending = false;
};

} // namespace nookary
