// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryPasteboard.h"

#include "platform/ClipboardFormats.h"

namespace nookary::test {

MemoryPasteboard::MemoryPasteboard()
{
    setConcurrentReads(1);
}

void MemoryPasteboard::setConcurrentReads(int reads)
{
    Q_ASSERT(!m_queue || !m_queue->isPending());
    m_queue.emplace(
        [this](quint64 ticket) {
            m_reads.push_back({ ticket, m_clipboard, m_nextRead });
            if (m_nextRead != ReadKind::baseline || m_clipboard.mayChangeUnannounced)
                ++m_readsStarted;
            if (!m_holdReads)
                landNewestRead();
        },
        [this] { Q_EMIT readPendingChanged(); }, reads);
}

void MemoryPasteboard::setReadingPaused(bool paused)
{
    m_paused = paused;
    m_queue->setPaused(paused);
}

void MemoryPasteboard::writeFileURLs(const QList<QUrl> &urls)
{
    QStringList encoded;
    for (const QUrl &url : urls)
        encoded.append(url.toString(QUrl::FullyEncoded));
    write({ clipboardformats::textOfFileURLs(urls), encoded, false, false });
}

void MemoryPasteboard::reread()
{
    if (m_paused || m_ownChange || m_queue->isPending() || !isWorthRereading(m_counted))
        return;
    m_nextRead = ReadKind::reread;
    m_queue->noticed();
    m_nextRead = ReadKind::copy;
}

void MemoryPasteboard::takeBaseline()
{
    if (m_paused || m_ownChange || m_queue->isPending())
        return;
    m_nextRead = ReadKind::baseline;
    m_queue->noticed();
    m_nextRead = ReadKind::copy;
}

bool MemoryPasteboard::ownerChangesUnannounced() const
{
    return !m_paused && !m_ownChange && m_counted.mayChangeUnannounced
        && isWorthRereading(m_counted);
}

quint64 MemoryPasteboard::ownerLeaves()
{
    const quint64 origin = m_clipboard.origin;
    m_clipboard = {};
    noticeChange();
    return origin;
}

void MemoryPasteboard::copy(const Contents &contents)
{
    m_clipboard = contents;
    if (m_clipboard.origin == 0)
        m_clipboard.origin = ++m_lastOrigin;
    noticeChange();
}

void MemoryPasteboard::noticeChange()
{
    m_queue->noticed();
    if (m_paused) {
        m_counted = {}; // not read
        countChange(false);
    }
}

void MemoryPasteboard::holdReads(bool hold)
{
    m_holdReads = hold;
}

bool MemoryPasteboard::landRead()
{
    return land(m_reads.begin());
}

bool MemoryPasteboard::landNewestRead()
{
    return land(m_reads.empty() ? m_reads.end() : std::prev(m_reads.end()));
}

bool MemoryPasteboard::land(std::deque<Read>::iterator read)
{
    if (read == m_reads.end())
        return false;
    const Read landed = *read;
    m_reads.erase(read);
    m_queue->land(landed.ticket, [this, landed] {
        Contents found = landed.found;
        if (m_paused && landed.kind != ReadKind::copy)
            return;
        if (landed.kind == ReadKind::baseline) {
            if (!m_ownChange && found.mayChangeUnannounced && isWorthRereading(found))
                m_counted = found; // what later looks compare with, not counted
            return;
        }
        if (landed.kind == ReadKind::reread) {
            if (!changedUnannounced(m_counted, found))
                return;
            found.mayChangeUnannounced = true;
        }
        m_counted = found;
        countChange(false);
    });
    return true;
}

void MemoryPasteboard::write(const Contents &contents)
{
    m_clipboard = contents;
    m_counted = contents;
    m_queue->ownWrite();
    countChange(true);
}

void MemoryPasteboard::countChange(bool own)
{
    m_ownChange = own;
    ++m_changeCount;
    Q_EMIT changeCountChanged();
}

} // namespace nookary::test
