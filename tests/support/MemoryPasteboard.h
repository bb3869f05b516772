// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardReadQueue.h"
#include "platform/Pasteboard.h"

#include <deque>
#include <optional>

namespace nookary::test {

// An in-memory clipboard. A test "copies" as another application would and reads back
// what the program wrote. Another application's copy is read through the same read queue as
// the real pasteboards: at once, or, while reads are held, when the test lets a read in
// flight land (a slow reader), with what the clipboard held when the read started. One read
// runs at a time unless `setConcurrentReads` says otherwise, as the X11 reader does. It
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
    bool isReadPending() const override { return m_queue->isPending(); }
    void setReadingPaused(bool paused) override;
    bool isReadingPaused() const { return m_paused; }
    void reread() override;
    void takeBaseline() override;
    bool ownerChangesUnannounced() const override;

    void clear() override { write({}); }
    void writeString(const QString &text) override { write({ text, {}, false, false }); }
    void writeFileURLs(const QList<QUrl> &urls) override;

    // Another application copies, taking the clipboard anew: its copy gets an origin of its
    // own unless `contents` names one.
    void copyText(const QString &text) { copy({ text, {}, false, false }); }
    // A copy as Tk makes it, by an owner that changes what it holds unannounced (its later
    // copies through `changeUnannounced`).
    void copyAsTk(const QString &text)
    {
        Contents tk { text, {}, false, false };
        tk.mayChangeUnannounced = true;
        copy(tk);
    }
    void copy(const Contents &contents);
    // The owner of the clipboard changes what it holds without taking the clipboard anew,
    // as Tk does: no change is told.
    void changeUnannounced(const QString &text) { m_clipboard.text = text; }
    // The owner goes away, leaving the clipboard empty (a change told, like any other).
    // Returns the origin of what it held, as the clipboard manager reports it.
    quint64 ownerLeaves();

    // While held, reads of other applications' copies wait for `landRead`.
    void holdReads(bool hold);
    // The oldest read in flight comes back (counted once the reads before it were). False:
    // none was in flight.
    bool landRead();
    // The newest read in flight comes back, before older ones (their owners are slower).
    bool landNewestRead();
    // How many reads may run at once; only while none is pending.
    void setConcurrentReads(int reads);
    // Reads started so far (another application's copy asked for; not a look that asks an
    // owner only what it offers).
    int readsStarted() const { return m_readsStarted; }

    // What the clipboard holds now, whoever put it there.
    const Contents &clipboard() const { return m_clipboard; }
    int contentReads() const { return m_contentReads; }

private:
    // The program's own write: counted at once, paused or not.
    void write(const Contents &contents);
    void noticeChange();
    void countChange(bool own);

    enum class ReadKind { copy, reread, baseline };
    struct Read {
        quint64 ticket = 0;
        Contents found; // what the clipboard held when it started
        ReadKind kind = ReadKind::copy;
    };
    bool land(std::deque<Read>::iterator read);

    std::optional<ClipboardReadQueue> m_queue;
    Contents m_clipboard;
    Contents m_counted; // what the change counted last holds
    std::deque<Read> m_reads; // in flight, in the order started
    qint64 m_changeCount = 100; // any start value; the model only compares
    mutable int m_contentReads = 0;
    int m_readsStarted = 0;
    bool m_ownChange = false;
    bool m_paused = false;
    bool m_holdReads = false;
    ReadKind m_nextRead = ReadKind::copy; // of the read about to start
    quint64 m_lastOrigin = 0;
};

} // namespace nookary::test
