// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardPasteboard.h"

#include "platform/ClipboardFormats.h"

#include <QClipboard>
#include <QMimeData>
#include <QScopeGuard>

#include <utility>

namespace nookary {

namespace {
const QString kPasswordHintType = QString::fromLatin1(clipboardformats::passwordHintType);
const QString kUriListType = QString::fromLatin1(clipboardformats::uriListType);
} // namespace

ClipboardPasteboard::ClipboardPasteboard(
    QClipboard *clipboard, std::unique_ptr<ClipboardContentsReader> reader, QObject *parent)
    : Pasteboard(parent)
    , m_clipboard(clipboard)
    , m_reader(std::move(reader))
    , m_queue(
          [this](quint64 ticket) {
              auto landed = [this, ticket, kind = m_nextRead](ClipboardContents contents) {
                  m_queue.land(ticket,
                      [this, contents = std::move(contents), kind] { readLanded(contents, kind); });
              };
              if (m_nextRead == ReadKind::baseline)
                  m_reader->readIfChangesUnannounced(std::move(landed));
              else
                  m_reader->read(std::move(landed));
          },
          [this] { Q_EMIT readPendingChanged(); }, m_reader ? m_reader->concurrentReads() : 1)
{
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            clipboardChanged();
    });
}

void ClipboardPasteboard::clipboardChanged()
{
    if (m_writing || m_clipboard->ownsClipboard()) {
        // Our own data answers at once, and is kept as it is now: once another program
        // takes the clipboard, QClipboard would ask that program on this thread, and wait
        // for one that never answers.
        ClipboardContents own = clipboardContents();
        // Some Wayland compositors announce the selection again when focus comes back: our
        // own copy, unchanged since it was counted, is no new change.
        if (!m_writing && m_countedOwnCopy == own)
            return;
        m_countedOwnCopy = own;
        m_snapshot = std::move(own);
        m_queue.ownWrite();
        countChange(true);
        return;
    }
    m_countedOwnCopy.reset();
    if (m_paused) {
        // Nothing of it is read, not even through QClipboard: empty contents stand in. A read
        // in flight may find it, and is dropped.
        m_queue.noticed();
        m_snapshot = ClipboardContents {};
        countChange(false);
        return;
    }
    if (!m_reader) {
        m_snapshot = clipboardContents();
        countChange(false);
        return;
    }
    m_queue.noticed();
}

ClipboardContents ClipboardPasteboard::clipboardContents() const
{
    ClipboardContents contents;
    const QMimeData *mime = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!mime)
        return contents;
    if (mime->hasFormat(kPasswordHintType) && mime->data(kPasswordHintType).trimmed() == "secret") {
        contents.secret = true;
        return contents;
    }
    if (mime->hasText())
        contents.text = mime->text();
    if (mime->hasFormat(kUriListType))
        contents.fileURLs = clipboardformats::urlsOfList(mime->data(kUriListType));
    return contents;
}

ClipboardContents ClipboardPasteboard::contents() const
{
    return m_snapshot ? *m_snapshot : ClipboardContents {};
}

void ClipboardPasteboard::reread()
{
    if (m_paused || !m_reader || m_ownChange || m_queue.isPending() || !m_snapshot
        || !isWorthRereading(*m_snapshot))
        return;
    startLook(ReadKind::reread);
}

void ClipboardPasteboard::takeBaseline()
{
    if (m_paused || !m_reader || m_ownChange || m_queue.isPending())
        return;
    startLook(ReadKind::baseline);
}

void ClipboardPasteboard::startLook(ReadKind kind)
{
    const auto looking = qScopeGuard([this] { m_nextRead = ReadKind::copy; });
    m_nextRead = kind;
    m_queue.noticed();
}

bool ClipboardPasteboard::ownerChangesUnannounced() const
{
    return !m_paused && !m_ownChange && m_snapshot && m_snapshot->mayChangeUnannounced
        && isWorthRereading(*m_snapshot);
}

void ClipboardPasteboard::readLanded(ClipboardContents contents, ReadKind kind)
{
    // A read started before pausing counts, unless the owner changed while it was read: it
    // may have found a copy made while paused, whose change is not told here yet.
    if (m_paused && (contents.origin == 0 || kind != ReadKind::copy))
        return;
    switch (kind) {
    case ReadKind::copy:
        break;
    case ReadKind::reread:
        if (!m_snapshot || !changedUnannounced(*m_snapshot, contents))
            return;
        contents.mayChangeUnannounced = true;
        break;
    case ReadKind::baseline:
        // What later looks compare with, never recorded: it was there before.
        if (m_ownChange || !contents.mayChangeUnannounced || !isWorthRereading(contents))
            return;
        m_snapshot = std::move(contents);
        return;
    }
    m_snapshot = std::move(contents);
    countChange(false);
}

void ClipboardPasteboard::setReadingPaused(bool paused)
{
    m_paused = paused;
    m_queue.setPaused(paused);
}

void ClipboardPasteboard::countChange(bool own)
{
    m_ownChange = own;
    ++m_changeCount;
    Q_EMIT changeCountChanged();
}

void ClipboardPasteboard::clear()
{
    // Qt reports a cleared clipboard as owned by nobody, not by us.
    const auto writing = qScopeGuard([this, was = m_writing] { m_writing = was; });
    m_writing = true;
    m_clipboard->clear(QClipboard::Clipboard);
}

void ClipboardPasteboard::writeString(const QString &text)
{
    const auto writing = qScopeGuard([this, was = m_writing] { m_writing = was; });
    m_writing = true;
    m_clipboard->setText(text, QClipboard::Clipboard);
}

void ClipboardPasteboard::writeFileURLs(const QList<QUrl> &urls)
{
    auto *mime = new QMimeData;
    mime->setData(kUriListType, clipboardformats::uriListOf(urls));
    mime->setData(QString::fromLatin1(clipboardformats::gnomeCopiedFilesType),
        clipboardformats::gnomeCopiedFilesOf(urls));
    mime->setText(clipboardformats::textOfFileURLs(urls));
    const auto writing = qScopeGuard([this, was = m_writing] { m_writing = was; });
    m_writing = true;
    m_clipboard->setMimeData(mime, QClipboard::Clipboard);
}

} // namespace nookary
