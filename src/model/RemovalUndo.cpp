// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemovalUndo.h"

#include "platform/Clock.h"

#include <utility>

namespace nookary {

RemovalUndo::RemovalUndo(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
}

std::optional<RemovalUndo::Removal> RemovalUndo::pending() const
{
    if (m_pending.isEmpty())
        return std::nullopt;
    return m_pending.last();
}

void RemovalUndo::offer(Removal removal)
{
    m_pending.append(std::move(removal));
    m_refusal.reset();
    restartWindow();
    Q_EMIT changed();
}

void RemovalUndo::dropLatest()
{
    if (m_pending.isEmpty())
        return;
    m_pending.removeLast();
    m_refusal.reset();
    if (m_pending.isEmpty())
        m_lapse.cancel();
    Q_EMIT changed();
}

void RemovalUndo::refuse(Refusal reason)
{
    if (m_pending.isEmpty())
        return;
    m_refusal = reason;
    restartWindow();
    Q_EMIT changed();
}

void RemovalUndo::setHeld(bool held)
{
    if (std::exchange(m_held, held) == held)
        return;
    if (held)
        m_lapse.cancel();
    else if (!m_pending.isEmpty())
        restartWindow();
}

void RemovalUndo::restartWindow()
{
    m_lapse.cancel();
    if (m_held)
        return;
    m_lapse = m_clock.runAfter(this, window, [this] {
        m_pending.clear();
        m_refusal.reset();
        Q_EMIT changed();
    });
}

} // namespace nookary
