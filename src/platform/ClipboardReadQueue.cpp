// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardReadQueue.h"

#include <utility>

namespace nookary {

ClipboardReadQueue::ClipboardReadQueue(
    std::function<void(quint64 ticket)> startRead, std::function<void()> pendingChanged)
    : m_startRead(std::move(startRead))
    , m_pendingChanged(std::move(pendingChanged))
{
}

void ClipboardReadQueue::noticed()
{
    if (m_paused)
        return;
    if (m_inFlight != 0) {
        m_readAgain = true;
        return;
    }
    start();
}

void ClipboardReadQueue::ownWrite()
{
    m_readAgain = false;
}

void ClipboardReadQueue::setPaused(bool paused)
{
    m_paused = paused;
    if (paused)
        setIdle();
}

void ClipboardReadQueue::land(quint64 ticket, const std::function<void()> &deliver)
{
    if (ticket == 0 || ticket != m_inFlight)
        return; // dropped by a pause
    deliver();
    if (std::exchange(m_readAgain, false) && !m_paused)
        start();
    else
        setIdle();
}

void ClipboardReadQueue::start()
{
    const bool wasIdle = m_inFlight == 0;
    const quint64 ticket = m_inFlight = ++m_lastTicket;
    if (wasIdle)
        m_pendingChanged();
    // A reader may answer at once, from inside this call.
    m_startRead(ticket);
}

void ClipboardReadQueue::setIdle()
{
    m_readAgain = false;
    if (std::exchange(m_inFlight, 0) != 0)
        m_pendingChanged();
}

} // namespace nookary
