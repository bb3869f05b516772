// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardReadQueue.h"
#include "platform/Pasteboard.h"

namespace nookary::test {

// An in-memory clipboard. A test "copies" as another application would and reads back
// what the program wrote. Another application's copy is read through the same read queue as
// the real pasteboards: at once, or, while reads are held, when the test lets the read in
// flight land (a slow reader), with what the clipboard held when the read started. It
// counts content reads, so a test can tell that a look without a change read nothing.
class MemoryPasteboard final : public Pasteboard {
    Q_OBJECT

public:
    using Contents = ClipboardContents;

    MemoryPasteboard();

    qint64 changeCount() const override { return m_changeCount; }
    ClipboardContents contents() const override
    {
        ++m_contentReads;
        return m_counted;
    }
    bool isOwnChange() const override { return m_ownChange; }
    bool isReadPending() const override { return m_queue.isPending(); }
    void setReadingPaused(bool paused) override;
    bool isReadingPaused() const { return m_paused; }

    void clear() override { write({}); }
    void writeString(const QString &text) override { write({ text, {}, false, false }); }
    void writeFileURLs(const QList<QUrl> &urls) override;

    // Another application copies.
    void copyText(const QString &text) { copy({ text, {}, false, false }); }
    void copy(const Contents &contents);

    // While held, reads of other applications' copies wait for `landRead`.
    void holdReads(bool hold);
    // The read in flight comes back. False: none was.
    bool landRead();
    // Reads started so far (another application's owner asked).
    int readsStarted() const { return m_readsStarted; }

    // What the clipboard holds now, whoever put it there.
    const Contents &clipboard() const { return m_clipboard; }
    int contentReads() const { return m_contentReads; }

private:
    // The program's own write: counted at once, paused or not.
    void write(const Contents &contents);
    void countChange(bool own);

    ClipboardReadQueue m_queue;
    Contents m_clipboard;
    Contents m_counted; // what the change counted last holds
    Contents m_reading; // what the read in flight found
    qint64 m_changeCount = 100; // any start value; the model only compares
    quint64 m_readTicket = 0;
    mutable int m_contentReads = 0;
    int m_readsStarted = 0;
    bool m_ownChange = false;
    bool m_paused = false;
    bool m_holdReads = false;
};

} // namespace nookary::test
