// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardReadQueue.h"

#include <algorithm>
#include <utility>

namespace nookary {

ClipboardReadQueue::ClipboardReadQueue(std::function<void(quint64 ticket)> startRead,
    std::function<void()> pendingChanged, int maxInFlight)
    : m_startRead(std::move(startRead))
    , m_pendingChanged(std::move(pendingChanged))
    , m_maxInFlight(std::max(1, maxInFlight))
{
}

void ClipboardReadQueue::noticed()
{
    if (m_paused) {
        for (Read &read : m_reads) {
            if (!read.landed)
                read.dropped = true;
        }
        return;
    }
    if (canStart())
        start();
    else
        m_readAgain = true;
}

void ClipboardReadQueue::ownWrite()
{
    m_readAgain = false;
}

void ClipboardReadQueue::setPaused(bool paused)
{
    m_paused = paused;
    if (paused)
        m_readAgain = false;
}

void ClipboardReadQueue::land(quint64 ticket, std::function<void()> deliver)
{
    const auto read = std::find_if(m_reads.begin(), m_reads.end(),
        [ticket](const Read &r) { return r.ticket == ticket && !r.landed; });
    if (read == m_reads.end())
        return;
    read->landed = true;
    read->deliver = std::move(deliver);
    --m_inFlight;
    // A read that lands while earlier ones are counted (a reader answering at once) waits
    // for its turn in the loop already running.
    if (!m_delivering)
        deliverLanded();
}

bool ClipboardReadQueue::canStart() const
{
    return m_inFlight < m_maxInFlight && m_reads.size() < std::size_t(maxPending);
}

void ClipboardReadQueue::start()
{
    const quint64 ticket = ++m_lastTicket;
    m_reads.push_back({ ticket });
    ++m_inFlight;
    if (!m_delivering)
        announce();
    // A reader may answer at once, from inside this call.
    m_startRead(ticket);
}

void ClipboardReadQueue::deliverLanded()
{
    m_delivering = true;
    while (true) {
        if (!m_reads.empty() && m_reads.front().landed) {
            // It stays pending while it is counted.
            const std::function<void()> deliver = std::exchange(m_reads.front().deliver, {});
            if (!m_reads.front().dropped && deliver)
                deliver();
            m_reads.pop_front();
        } else if (m_readAgain && !m_paused && canStart()) {
            m_readAgain = false;
            start();
        } else {
            break;
        }
    }
    m_delivering = false;
    announce();
}

void ClipboardReadQueue::announce()
{
    if (isPending() == m_announcedPending)
        return;
    m_announcedPending = isPending();
    m_pendingChanged();
}

} // namespace nookary
