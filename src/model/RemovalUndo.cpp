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

void RemovalUndo::offer(Removal removal)
{
    m_pending = std::move(removal);
    m_lapse.cancel();
    m_lapse = m_clock.runAfter(this, window, [this] { take(); });
    Q_EMIT changed();
}

std::optional<RemovalUndo::Removal> RemovalUndo::take()
{
    m_lapse.cancel();
    std::optional<Removal> taken = std::exchange(m_pending, std::nullopt);
    if (taken)
        Q_EMIT changed();
    return taken;
}

} // namespace nookary
