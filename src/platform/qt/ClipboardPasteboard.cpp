// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardPasteboard.h"

#include "platform/ClipboardFormats.h"

#include <QClipboard>
#include <QMimeData>

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
{
    connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            clipboardChanged();
    });
}

void ClipboardPasteboard::clipboardChanged()
{
    const bool ours = m_clipboard->ownsClipboard();
    // Some Wayland compositors announce the selection again when focus comes back: our own
    // copy, unchanged since it was counted, is no new change.
    if (ours && m_countedOwnCopy && *m_countedOwnCopy == ownCopy())
        return;
    m_countedOwnCopy.reset();
    ++m_generation; // a newer change supersedes a read in flight
    if (ours) {
        m_countedOwnCopy = ownCopy();
        m_snapshot.reset(); // our own data answers at once
        // With a reader, our own data is kept as it is now: once another program takes the
        // clipboard, QClipboard would ask that program on this thread, and wait for one
        // that never answers, until its copy has been read.
        if (m_reader)
            m_snapshot = ClipboardContents { string(), fileURLString(), isMarkedSecret() };
        m_changedWhilePaused = false;
        countChange();
        return;
    }
    if (m_paused) {
        // Nothing of it is read, not even through QClipboard: an empty snapshot stands in.
        m_snapshot = ClipboardContents {};
        m_changedWhilePaused = true;
        return;
    }
    readOthersCopy();
}

std::pair<std::optional<QString>, std::optional<QString>> ClipboardPasteboard::ownCopy() const
{
    const QMimeData *mime = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!mime)
        return {};
    return { mime->hasText() ? std::optional(mime->text()) : std::nullopt,
        mime->hasUrls() ? std::optional(mime->urls().value(0).toString()) : std::nullopt };
}

void ClipboardPasteboard::readOthersCopy()
{
    if (!m_reader) {
        m_snapshot.reset(); // QClipboard is asked when the contents are wanted
        countChange();
        return;
    }
    m_reader->read([this, generation = m_generation](ClipboardContents contents) {
        if (generation != m_generation)
            return;
        m_snapshot = std::move(contents);
        countChange();
    });
}

void ClipboardPasteboard::setReadingPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (!paused && std::exchange(m_changedWhilePaused, false)) {
        ++m_generation;
        readOthersCopy();
    }
}

void ClipboardPasteboard::countChange()
{
    ++m_changeCount;
    Q_EMIT changeCountChanged();
}

std::optional<QString> ClipboardPasteboard::string() const
{
    if (m_snapshot)
        return m_snapshot->text;
    const QMimeData *mime = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!mime || !mime->hasText())
        return std::nullopt;
    return mime->text();
}

std::optional<QString> ClipboardPasteboard::fileURLString() const
{
    if (m_snapshot)
        return m_snapshot->fileURL;
    const QMimeData *mime = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!mime || !mime->hasFormat(kUriListType))
        return std::nullopt;
    return clipboardformats::firstUrlOfList(mime->data(kUriListType));
}

bool ClipboardPasteboard::isMarkedSecret() const
{
    if (m_snapshot)
        return m_snapshot->secret;
    const QMimeData *mime = m_clipboard->mimeData(QClipboard::Clipboard);
    return mime && mime->hasFormat(kPasswordHintType)
        && mime->data(kPasswordHintType).trimmed() == "secret";
}

bool ClipboardPasteboard::holdsOwnWrite() const
{
    return m_clipboard->ownsClipboard();
}

void ClipboardPasteboard::clear()
{
    m_countedOwnCopy.reset(); // written again, it counts again
    m_clipboard->clear(QClipboard::Clipboard);
}

void ClipboardPasteboard::writeString(const QString &text)
{
    m_countedOwnCopy.reset(); // written again, it counts again
    m_clipboard->setText(text, QClipboard::Clipboard);
}

void ClipboardPasteboard::writeFileURL(const QUrl &url)
{
    m_countedOwnCopy.reset(); // written again, it counts again
    auto *mime = new QMimeData;
    mime->setUrls({ url });
    const QByteArray encoded = url.toEncoded();
    mime->setData(QString::fromLatin1(clipboardformats::gnomeCopiedFilesType), "copy\n" + encoded);
    mime->setText(QString::fromUtf8(encoded));
    m_clipboard->setMimeData(mime, QClipboard::Clipboard);
}

} // namespace nookary
