// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardKeeper.h"

#include "model/AppModel.h"
#include "model/EntryText.h"
#include "platform/Pasteboard.h"

#include <QUrl>

namespace nookary {

namespace {

// A local file's URL as the watcher accepts one, else nothing.
std::optional<QUrl> fileURL(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    QUrl url(*text, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
        return std::nullopt;
    return url;
}

} // namespace

ClipboardKeeper::ClipboardKeeper(AppModel &model, Pasteboard &pasteboard)
    : m_model(model)
    , m_pasteboard(pasteboard)
{
}

std::optional<QString> ClipboardKeeper::entryFor(const ClipboardContents &contents)
{
    if (contents.secret)
        return std::nullopt;
    if (const auto url = fileURL(contents.fileURL))
        return url->toString(QUrl::FullyEncoded);
    if (!contents.text)
        return std::nullopt;
    return normalizedEntryText(*contents.text);
}

bool ClipboardKeeper::acceptsHandOver() const
{
    return !m_model.isTrackingPaused();
}

bool ClipboardKeeper::keepHandedOver(const ClipboardContents &contents)
{
    // A cut copy would paste as if whole; better the program's usual loss than that.
    if (m_model.isTrackingPaused() || contents.secret || contents.truncated)
        return false;
    const std::optional<QUrl> file = fileURL(contents.fileURL);
    const std::optional<QString> text = file ? QString::fromUtf8(file->toEncoded())
        : contents.text                      ? contents.text
                                             : contents.fileURL;
    if (!text)
        return false;
    // Taking over the newest entry, or what the watcher skips, records nothing by itself. A
    // copy the watcher has seen but that is no longer the newest entry (the history was
    // cleared since) must not come back: that write is marked as the program's own. The mark
    // swallows whatever else the next poll sees, so it is made only where it is needed.
    const std::optional<QString> entry = entryFor(contents);
    if (entry && !isNewestEntry(*entry) && m_model.lastChangeCount() == m_pasteboard.changeCount())
        m_model.markProgrammaticWrite(*text);
    if (file)
        m_pasteboard.writeFileURL(*file);
    else
        m_pasteboard.writeString(*text);
    return true;
}

bool ClipboardKeeper::isNewestEntry(const QString &entry) const
{
    return !m_model.history().isEmpty()
        && canonicalEntryText(entry) == m_model.history().constFirst().canonicalText;
}

void ClipboardKeeper::ownerVanished()
{
    if (m_model.isTrackingPaused())
        return;
    // A copy made just before its owner vanished is recorded first, by the usual rules, so
    // that it is what gets kept.
    if (m_model.lastChangeCount() != m_pasteboard.changeCount())
        m_model.pollClipboard();
    if (m_model.history().isEmpty() || m_pasteboard.isMarkedSecret())
        return;
    const ClipboardContents contents { m_pasteboard.string(), m_pasteboard.fileURLString(), false,
        false };
    const std::optional<QString> held = entryFor(contents);
    if (!held || !isNewestEntry(*held))
        return;
    // An entry cut to the history's length is not what the owner held: offering it would
    // paste a part as if it were the whole.
    if (!fileURL(contents.fileURL) && trimmedEntryText(*contents.text).size() != held->size())
        return;
    // Not marked as the program's own write: the watcher finds the newest entry again and
    // changes nothing, while a mark would swallow a copy made before its poll.
    const HistoryItem &newest = m_model.history().constFirst();
    if (const auto file = fileURL(newest.text))
        m_pasteboard.writeFileURL(*file);
    else
        m_pasteboard.writeString(newest.text);
}

} // namespace nookary
