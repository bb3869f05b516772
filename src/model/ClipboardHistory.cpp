// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardHistory.h"

#include "model/EntryText.h"
#include "platform/Clock.h"
#include "platform/Pasteboard.h"

#include <QHash>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace nookary {

ClipboardHistory::ClipboardHistory(Pasteboard &pasteboard, Clock &clock, int limit, QObject *parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_clock(clock)
    , m_limit(limit)
    , m_lastChangeCount(pasteboard.changeCount())
{
    connect(&m_pasteboard, &Pasteboard::changeCountChanged, this, &ClipboardHistory::poll);
    connect(&m_pasteboard, &Pasteboard::readPendingChanged, this, [this] {
        followUnannouncedChanges();
        Q_EMIT capturePendingChanged();
        if (!isCapturePending())
            settle();
    });
    // An owner that changes its copy unannounced may hold the clipboard already: its later
    // copies are found only by looking again, against what it holds now.
    m_pasteboard.takeBaseline();
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
    // Paused means nothing another program copies is even read, then or later.
    m_pasteboard.setReadingPaused(paused);
    // What such an owner came to hold while paused is where later looks start from.
    if (!paused)
        m_pasteboard.takeBaseline();
    followUnannouncedChanges();
    Q_EMIT capturePendingChanged();
    if (!isCapturePending())
        settle();
    return true;
}

bool ClipboardHistory::isCapturePending() const
{
    return !m_paused && m_pasteboard.isReadPending();
}

void ClipboardHistory::whenCaptureSettled(QObject *context, std::function<void()> task)
{
    if (!isCapturePending()) {
        task();
        return;
    }
    m_waiting.push_back({ context, std::move(task) });
    // A burst of copies keeps reads coming; the wait ends with the reader's deadline anyway.
    if (!m_waitLimit.isPending())
        m_waitLimit = m_clock.runAfter(this, captureWaitLimit, [this] { settle(); });
}

void ClipboardHistory::settle()
{
    m_waitLimit.cancel();
    const std::vector<Waiting> waiting = std::exchange(m_waiting, {});
    for (const Waiting &w : waiting) {
        if (w.context)
            w.task();
    }
}

void ClipboardHistory::followUnannouncedChanges()
{
    if (m_paused || !m_pasteboard.ownerChangesUnannounced()) {
        m_nextLook.cancel();
        return;
    }
    if (m_nextLook.isPending())
        return;
    const std::optional<QString> held = m_pasteboard.contents().text;
    const qint64 steps = std::max<qint64>(1, held ? held->size() / (32 * 1024) : 0);
    const auto delay = std::min<std::chrono::milliseconds>(
        unannouncedLookInterval * steps, unannouncedLookLongest);
    m_nextLook = m_clock.runAfter(this, delay, [this] {
        m_pasteboard.reread();
        followUnannouncedChanges();
    });
}

void ClipboardHistory::poll()
{
    const qint64 count = m_pasteboard.changeCount();
    if (count == m_lastChangeCount)
        return;
    m_lastChangeCount = count;
    followUnannouncedChanges();
    // Our own write is known by the change it caused, so a copy made right after it in
    // another program is a change of its own, and recorded. While paused, the pasteboard
    // reads nothing copied meanwhile, but a copy made before that lands now is recorded.
    if (m_pasteboard.isOwnChange())
        return;
    ++m_copiesCounted;
    m_newestCopyRecorded = record(m_pasteboard.contents());
}

bool ClipboardHistory::missedCopySince(qint64 copiesCounted) const
{
    // A copy still being read when the wait ran out is missed as well.
    return isCapturePending() || (m_copiesCounted > copiesCounted && !m_newestCopyRecorded);
}

void ClipboardHistory::reread()
{
    if (!m_paused)
        m_pasteboard.reread();
}

std::optional<QString> ClipboardHistory::entryFor(const ClipboardContents &contents, bool *cut)
{
    if (contents.secret)
        return std::nullopt;
    QStringList files;
    QStringList urls;
    for (const QString &entry : contents.fileURLs) {
        const QUrl url(entry, QUrl::StrictMode);
        if (!url.isValid())
            continue;
        urls.append(url.toString(QUrl::FullyEncoded));
        if (url.isLocalFile())
            files.append(urls.last());
    }
    // Files beside web addresses keep them too, as a text of the addresses.
    if (!files.isEmpty())
        return urls.join(u'\n');
    if (!contents.text)
        return std::nullopt;
    if (cut)
        *cut = *cut || contents.truncated;
    return historyEntryText(*contents.text, cut);
}

bool ClipboardHistory::record(const ClipboardContents &contents)
{
    bool cut = false;
    const std::optional<QString> entry = entryFor(contents, &cut);
    if (!entry)
        return false;
    pushEntry(*entry, cut);
    Q_EMIT captured();
    return true;
}

void ClipboardHistory::push(QStringView text)
{
    bool cut = false;
    if (const std::optional<QString> entry = historyEntryText(text.toString(), &cut))
        pushEntry(*entry, cut);
}

void ClipboardHistory::pushEntry(const QString &text, bool cut)
{
    HistoryItem item = HistoryItem::make(QUuid::createUuid(), text, cut);
    std::optional<size_t> hash; // of the new text, for entries cut to save memory
    const auto existing = std::find_if(m_items.begin(), m_items.end(), [&](const HistoryItem &h) {
        if (h.canonicalText == item.canonicalText)
            return true;
        if (!h.wholeTextHash || !item.isLong())
            return false;
        if (!hash)
            hash = qHash(item.canonicalText, 0);
        return *h.wholeTextHash == *hash;
    });
    const bool alreadyOnTop = existing == m_items.begin() && existing != m_items.end();
    if (!alreadyOnTop) {
        if (existing != m_items.end()) {
            // It keeps its id; one cut to save memory takes the whole text back.
            if (existing->wholeTextHash)
                item.id = existing->id;
            else
                item = *existing;
            m_items.erase(existing);
        }
        m_items.prepend(item);
        if (m_items.size() > m_limit)
            m_items.resize(m_limit);
        keepMemoryBound();
        didChange();
    }
    Q_EMIT pushed();
}

void ClipboardHistory::keepMemoryBound()
{
    qsizetype total = 0;
    for (const HistoryItem &item : std::as_const(m_items))
        total += item.memoryBytes();
    for (qsizetype i = m_items.size() - 1; i >= 0 && total > maxMemoryBytes; --i) {
        if (!m_items.at(i).isLong())
            continue;
        HistoryItem &item = m_items[i];
        total -= item.memoryBytes();
        // A cut never ends inside a character: one that cannot be cut goes.
        if (item.cutToPreview())
            total += item.memoryBytes();
        else
            m_items.removeAt(i);
    }
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

ClipboardHistory::Restored ClipboardHistory::restore(const HistoryItem &item, qsizetype index)
{
    const bool known = std::any_of(m_items.begin(), m_items.end(),
        [&](const HistoryItem &h) { return h.canonicalText == item.canonicalText; });
    if (known)
        return Restored::alreadyThere;
    index = std::clamp<qsizetype>(index, 0, m_items.size());
    if (index >= m_limit)
        return Restored::beyondLimit;
    m_items.insert(index, item);
    if (m_items.size() > m_limit)
        m_items.resize(m_limit);
    didChange();
    return Restored::restored;
}

void ClipboardHistory::clear()
{
    if (m_items.isEmpty())
        return;
    m_items.clear();
    didChange();
}

} // namespace nookary
