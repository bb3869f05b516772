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
    m_lapse.cancel();
    m_lapse = m_clock.runAfter(this, window, [this] {
        m_pending.clear();
        Q_EMIT changed();
    });
    Q_EMIT changed();
}

std::optional<RemovalUndo::Removal> RemovalUndo::take()
{
    if (m_pending.isEmpty())
        return std::nullopt;
    Removal taken = m_pending.takeLast();
    if (m_pending.isEmpty())
        m_lapse.cancel();
    Q_EMIT changed();
    return taken;
}

} // namespace nookary
