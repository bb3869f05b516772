// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/ClipboardReadQueue.h"
#include "platform/Pasteboard.h"

#include <memory>
#include <optional>

class QClipboard;

namespace nookary {

// Pasteboard over QClipboard's CLIPBOARD selection (not the mouse selection). Qt tells of
// every change of owner (on X11, as XFixes reports it), so the change count is our own
// counter. With a reader, another program's copy is read away from the main thread, as many
// reads at once as the reader runs (`ClipboardReadQueue`), and counted once read, in the
// order copied, so the model never waits for a clipboard owner; without one (no X11),
// QClipboard is asked directly, at once.
class ClipboardPasteboard final : public Pasteboard {
    Q_OBJECT

public:
    explicit ClipboardPasteboard(QClipboard *clipboard,
        std::unique_ptr<ClipboardContentsReader> reader = nullptr, QObject *parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    ClipboardContents contents() const override;
    bool isOwnChange() const override { return m_ownChange; }
    bool isReadPending() const override { return m_queue.isPending(); }
    void setReadingPaused(bool paused) override;
    void reread() override;
    void takeBaseline() override;
    bool ownerChangesUnannounced() const override;

    void clear() override;
    void writeString(const QString &text) override;
    void writeFileURLs(const QList<QUrl> &urls) override;

private:
    void clipboardChanged();
    // What QClipboard holds now, read on this thread: only for our own data, or without a
    // reader.
    ClipboardContents clipboardContents() const;
    enum class ReadKind { copy, reread, baseline };
    void startLook(ReadKind kind);
    void countChange(bool own);
    void readLanded(ClipboardContents contents, ReadKind kind);

    QClipboard *m_clipboard;
    std::unique_ptr<ClipboardContentsReader> m_reader;
    ClipboardReadQueue m_queue;
    // What the change counted last holds; none: ask QClipboard (no reader).
    std::optional<ClipboardContents> m_snapshot;
    // Our own copy as it was when its change was counted; none once another program's came.
    std::optional<ClipboardContents> m_countedOwnCopy;
    qint64 m_changeCount = 0;
    bool m_ownChange = false;
    bool m_paused = false;
    bool m_writing = false; // inside a write of ours, whose changes are ours however Qt says
    ReadKind m_nextRead = ReadKind::copy; // of the read about to start
};

} // namespace nookary
