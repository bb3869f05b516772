// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryPasteboard.h"

#include "platform/ClipboardFormats.h"

namespace nookary::test {

MemoryPasteboard::MemoryPasteboard()
    : m_queue(
        [this](quint64 ticket) {
            m_readTicket = ticket;
            m_reading = m_clipboard;
            ++m_readsStarted;
            if (!m_holdReads)
                landRead();
        },
        [this] { Q_EMIT readPendingChanged(); })
{
}

void MemoryPasteboard::setReadingPaused(bool paused)
{
    m_paused = paused;
    m_queue.setPaused(paused);
}

void MemoryPasteboard::writeFileURLs(const QList<QUrl> &urls)
{
    QStringList encoded;
    for (const QUrl &url : urls)
        encoded.append(url.toString(QUrl::FullyEncoded));
    write({ clipboardformats::textOfFileURLs(urls), encoded, false, false });
}

void MemoryPasteboard::copy(const Contents &contents)
{
    m_clipboard = contents;
    if (m_paused) {
        m_counted = {}; // not read
        countChange(false);
        return;
    }
    m_queue.noticed();
}

void MemoryPasteboard::holdReads(bool hold)
{
    m_holdReads = hold;
}

bool MemoryPasteboard::landRead()
{
    if (!m_queue.isPending())
        return false;
    m_queue.land(m_readTicket, [this] {
        m_counted = m_reading;
        countChange(false);
    });
    return true;
}

void MemoryPasteboard::write(const Contents &contents)
{
    m_clipboard = contents;
    m_counted = contents;
    m_queue.ownWrite();
    countChange(true);
}

void MemoryPasteboard::countChange(bool own)
{
    m_ownChange = own;
    ++m_changeCount;
    Q_EMIT changeCountChanged();
}

} // namespace nookary::test
