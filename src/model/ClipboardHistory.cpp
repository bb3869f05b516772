// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardHistory.h"

#include "model/EntryText.h"
#include "platform/Clock.h"
#include "platform/Pasteboard.h"

#include <QUrl>

#include <algorithm>

namespace nookary {

ClipboardHistory::ClipboardHistory(Pasteboard &pasteboard, Clock &clock, int limit, QObject *parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_clock(clock)
    , m_limit(limit)
    , m_lastChangeCount(pasteboard.changeCount())
{
    connect(&m_pasteboard, &Pasteboard::changeCountChanged, this, &ClipboardHistory::armPoll);
}

void ClipboardHistory::didChange()
{
    ++m_revision;
    Q_EMIT changed();
}

void ClipboardHistory::setLimit(int limit)
{
    m_limit = limit;
    if (m_items.size() <= m_limit)
        return;
    m_items.resize(m_limit);
    didChange();
}

bool ClipboardHistory::setPaused(bool paused)
{
    if (m_paused == paused)
        return false;
    m_paused = paused;
    // Paused means nothing another program copies is even read; resuming reads once.
    m_pasteboard.setReadingPaused(paused);
    if (!paused)
        armPoll(); // what was copied meanwhile is recorded at the first poll after resume
    return true;
}

void ClipboardHistory::armPoll()
{
    // A poll already due will see this change too, as a repeating poll would.
    if (!m_pendingPoll.isPending())
        m_pendingPoll = m_clock.runAfter(this, pollInterval, [this] { poll(); });
}

void ClipboardHistory::markProgrammaticWrite(const QString &text)
{
    m_ignoreNextPasteboardChange = true;
    m_lastProgrammaticWrite = text;
}

void ClipboardHistory::poll()
{
    if (m_paused)
        return;
    const qint64 count = m_pasteboard.changeCount();
    if (count == m_lastChangeCount)
        return;
    m_lastChangeCount = count;

    if (m_ignoreNextPasteboardChange) {
        m_ignoreNextPasteboardChange = false;
        m_lastProgrammaticWrite.reset();
        return;
    }
    if (m_pasteboard.isMarkedSecret())
        return;

    if (const auto urlString = m_pasteboard.fileURLString()) {
        const QUrl url(*urlString, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile()) {
            push(url.toString(QUrl::FullyEncoded));
            return;
        }
    }

    const std::optional<QString> text = m_pasteboard.string();
    if (!text)
        return;
    const QStringView trimmed = trimmedEntryText(*text);
    if (trimmed.isEmpty())
        return;
    if (m_lastProgrammaticWrite) {
        const QString &written = *m_lastProgrammaticWrite;
        // Canonically equivalent texts differ in length by a small factor at most; skip
        // normalising a huge text that cannot match.
        const bool couldMatch = trimmed.size() <= 4 * written.size() + 16
            && written.size() <= 4 * trimmed.size() + 16;
        if (trimmed == written
            || (couldMatch
                && canonicalEntryText(trimmed.toString()) == canonicalEntryText(written))) {
            m_lastProgrammaticWrite.reset();
            return;
        }
    }
    push(trimmed);
}

void ClipboardHistory::push(QStringView text)
{
    const std::optional<QString> normalized = normalizedEntryText(text);
    if (!normalized)
        return;
    HistoryItem item = HistoryItem::make(QUuid::createUuid(), *normalized);
    const auto existing = std::find_if(m_items.begin(), m_items.end(),
        [&](const HistoryItem &h) { return h.canonicalText == item.canonicalText; });
    const bool alreadyOnTop = existing == m_items.begin() && existing != m_items.end();
    if (!alreadyOnTop) {
        if (existing != m_items.end()) {
            item = *existing; // keeps its id
            m_items.erase(existing);
        }
        m_items.prepend(item);
        if (m_items.size() > m_limit)
            m_items.resize(m_limit);
        didChange();
    }
    Q_EMIT pushed();
}

qsizetype ClipboardHistory::remove(const QUuid &id)
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].id == id) {
            m_items.removeAt(i);
            didChange();
            return i;
        }
    }
    return -1;
}

bool ClipboardHistory::restore(const HistoryItem &item, qsizetype index)
{
    const bool known = std::any_of(m_items.begin(), m_items.end(),
        [&](const HistoryItem &h) { return h.canonicalText == item.canonicalText; });
    if (known || index >= m_limit)
        return false;
    m_items.insert(std::clamp<qsizetype>(index, 0, m_items.size()), item);
    if (m_items.size() > m_limit)
        m_items.resize(m_limit);
    didChange();
    return true;
}

void ClipboardHistory::clear()
{
    if (m_items.isEmpty())
        return;
    m_items.clear();
    didChange();
}

} // namespace nookary
