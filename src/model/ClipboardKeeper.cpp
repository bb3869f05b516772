// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardKeeper.h"

#include "model/ClipboardHistory.h"
#include "model/EntryText.h"
#include "platform/Pasteboard.h"

#include <QUrl>

#include <algorithm>

namespace nookary {

namespace {

QList<QUrl> localFiles(const QStringList &urls)
{
    QList<QUrl> files;
    for (const QString &entry : urls) {
        QUrl url(entry, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile())
            files.append(url);
    }
    return files;
}

} // namespace

ClipboardKeeper::ClipboardKeeper(ClipboardHistory &history, Pasteboard &pasteboard)
    : m_history(history)
    , m_pasteboard(pasteboard)
{
    QObject::connect(
        &m_pasteboard, &Pasteboard::changeCountChanged, &m_context, [this] { noteCounted(); });
    noteCounted();
}

void ClipboardKeeper::noteCounted()
{
    if (m_pasteboard.isOwnChange()) {
        m_lastHeld = {};
        return;
    }
    const ClipboardContents contents = m_pasteboard.contents();
    if (contents.origin != 0 || contents.text || !contents.fileURLs.isEmpty() || contents.secret)
        m_lastHeld = contents;
}

bool ClipboardKeeper::acceptsHandOver() const
{
    return !m_history.isPaused();
}

bool ClipboardKeeper::keepHandedOver(const ClipboardContents &contents)
{
    // A cut copy would paste as if whole; better the program's usual loss than that.
    if (m_history.isPaused() || contents.secret || contents.truncated)
        return false;
    const QList<QUrl> files = localFiles(contents.fileURLs);
    const std::optional<QString> text = contents.text ? contents.text
        : contents.fileURLs.isEmpty()                 ? std::nullopt
                                      : std::optional(contents.fileURLs.join(u'\n'));
    if (files.isEmpty() && !text)
        return false;
    // The watcher records the copy when its read lands; taking it over is the program's own
    // write, which records nothing, so a copy seen already is not recorded again and a
    // cleared history stays cleared. A read still going may find this write instead of the
    // copy, or nothing: the copy is then recorded once the read landed, unless it is there.
    const bool unseen = m_pasteboard.isReadPending();
    if (!files.isEmpty())
        m_pasteboard.writeFileURLs(files);
    else
        m_pasteboard.writeString(*text);
    const std::optional<QString> entry = ClipboardHistory::entryFor(contents);
    if (unseen && entry) {
        m_history.whenCaptureSettled(&m_context, [this, entry = *entry] {
            const QString canonical = canonicalEntryText(entry);
            const QList<HistoryItem> &history = m_history.items();
            const bool recorded = std::any_of(history.begin(), history.end(),
                [&](const HistoryItem &item) { return item.canonicalText == canonical; });
            if (!recorded && !m_history.isPaused())
                m_history.push(entry);
        });
    }
    return true;
}

bool ClipboardKeeper::isNewestEntry(const QString &entry) const
{
    return !m_history.items().isEmpty()
        && canonicalEntryText(entry) == m_history.items().constFirst().canonicalText;
}

void ClipboardKeeper::ownerVanished(quint64 origin)
{
    // After our own write, what the vanished owner held was never read.
    if (m_history.isPaused() || m_pasteboard.isOwnChange())
        return;
    m_history.poll();
    if (m_history.items().isEmpty())
        return;
    // Only the copy read from that very owner is offered again: not an older one while its
    // own is still being read (or was never read), and not one of an owner that changes
    // what it holds unannounced, which may have held something else when it went.
    const ClipboardContents contents = m_lastHeld;
    if (origin == 0 || contents.origin != origin || contents.mayChangeUnannounced)
        return;
    const std::optional<QString> held = ClipboardHistory::entryFor(contents);
    if (!held || !isNewestEntry(*held))
        return;
    // A part offered again would paste as if it were the whole.
    const HistoryItem &newest = m_history.items().constFirst();
    if (newest.cut || contents.truncated)
        return;
    // The program's own write, like every other: the watcher records nothing of it.
    if (const QList<QUrl> files = entryFileURLs(newest.text); !files.isEmpty())
        m_pasteboard.writeFileURLs(files);
    else
        m_pasteboard.writeString(newest.text);
}

} // namespace nookary
