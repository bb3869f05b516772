// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/ClipboardPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

#include <deque>

using namespace nookary;

namespace {

// Stands in for the X11 reader, a slow one: takes what the clipboard holds when a read
// starts, and answers when the test says so. (Qt's offscreen clipboard reports nothing as
// owned by this program, so QClipboard::setText stands for another program's copy.)
class SlowReader final : public ClipboardContentsReader {
public:
    explicit SlowReader(int readsAtOnce)
        : m_readsAtOnce(readsAtOnce)
    {
    }

    void read(std::function<void(ClipboardContents)> done) override
    {
        m_reads.push_back({ QGuiApplication::clipboard()->text(), std::move(done) });
        ++started;
    }
    int concurrentReads() const override { return m_readsAtOnce; }

    // The oldest read in flight answers, or the newest (an older owner being slower).
    bool answer() { return answer(m_reads.begin()); }
    bool answerNewest() { return !m_reads.empty() && answer(std::prev(m_reads.end())); }
    int inFlight() const { return int(m_reads.size()); }

    int started = 0;

private:
    using Read = std::pair<QString, std::function<void(ClipboardContents)>>;
    bool answer(std::deque<Read>::iterator read)
    {
        if (read == m_reads.end())
            return false;
        auto [text, done] = std::move(*read);
        m_reads.erase(read);
        done({ text, {}, false, false, quint64(++m_answered) });
        return true;
    }

    const int m_readsAtOnce;
    int m_answered = 0;

    std::deque<Read> m_reads;
};

struct Board {
    explicit Board(int readsAtOnce = 1)
    {
        auto owned = std::make_unique<SlowReader>(readsAtOnce);
        reader = owned.get();
        pasteboard = std::make_unique<ClipboardPasteboard>(clipboard, std::move(owned));
    }
    // Every change in the order counted, as the model sees them.
    void record()
    {
        QObject::connect(
            pasteboard.get(), &Pasteboard::changeCountChanged, pasteboard.get(), [this] {
                const ClipboardContents c = pasteboard->contents();
                seen.append((pasteboard->isOwnChange() ? QStringLiteral("own:") : QString())
                    + c.text.value_or(QStringLiteral("-")));
            });
    }

    QClipboard *clipboard = QGuiApplication::clipboard();
    SlowReader *reader = nullptr;
    std::unique_ptr<ClipboardPasteboard> pasteboard;
    QStringList seen;
};

} // namespace

class TestClipboardPasteboard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (QGuiApplication::clipboard()->ownsClipboard())
            QSKIP("this platform reports every copy as the program's own");
    }

    void copiesAreReadOneAtATimeAndEachCounted()
    {
        Board b;
        b.record();
        QSignalSpy pending(b.pasteboard.get(), &Pasteboard::readPendingChanged);
        b.clipboard->setText(QStringLiteral("one"));
        QVERIFY(b.pasteboard->isReadPending());
        // A burst while the read is in flight waits for it, as one read of the newest.
        for (int i = 0; i < 100; ++i)
            b.clipboard->setText(QStringLiteral("burst %1").arg(i));
        QCOMPARE(b.reader->started, 1);
        QVERIFY(b.reader->answer());
        QCOMPARE(b.reader->started, 2);
        QVERIFY(b.pasteboard->isReadPending());
        QVERIFY(b.reader->answer());
        QVERIFY(!b.pasteboard->isReadPending());
        QCOMPARE(b.seen, (QStringList { QStringLiteral("one"), QStringLiteral("burst 99") }));
        QCOMPARE(pending.count(), 2); // on, then off once

        // Our own writes count at once and are known as ours; a copy right after is read.
        b.pasteboard->clear();
        b.pasteboard->writeString(QStringLiteral("mine"));
        b.clipboard->setText(QStringLiteral("theirs"));
        QVERIFY(b.reader->answer());
        QCOMPARE(b.seen.mid(2),
            (QStringList {
                QStringLiteral("own:-"), QStringLiteral("own:mine"), QStringLiteral("theirs") }));
    }

    void aSlowOwnerHoldsUpNoCopyMadeAfterIt()
    {
        Board b(3);
        b.record();
        QSignalSpy pending(b.pasteboard.get(), &Pasteboard::readPendingChanged);
        b.clipboard->setText(QStringLiteral("slow owner"));
        // Each copy after it is read at once, and counted after it, in the order copied.
        b.clipboard->setText(QStringLiteral("A"));
        QVERIFY(b.reader->answerNewest());
        b.clipboard->setText(QStringLiteral("B"));
        QCOMPARE(b.reader->started, 3);
        QVERIFY(b.reader->answerNewest());
        QVERIFY(b.seen.isEmpty());
        QVERIFY(b.pasteboard->isReadPending());
        QVERIFY(b.reader->answer());
        QCOMPARE(b.seen,
            (QStringList {
                QStringLiteral("slow owner"), QStringLiteral("A"), QStringLiteral("B") }));
        QVERIFY(!b.pasteboard->isReadPending());
        QCOMPARE(pending.count(), 2);

        // Owners that never answer hold up as many reads as run at once, no more; a burst
        // meanwhile costs one read, of its newest copy.
        for (int i = 0; i < 100; ++i)
            b.clipboard->setText(QStringLiteral("burst %1").arg(i));
        QCOMPARE(b.reader->inFlight(), 3);
        while (b.reader->answer()) { }
        QCOMPARE(b.reader->started, 7);
        QCOMPARE(b.seen.last(), QStringLiteral("burst 99"));
        QVERIFY(!b.pasteboard->isReadPending());
    }

    void aWriteWhileACopyIsReadCountsBothAndDropsWhatItReplaced()
    {
        Board b;
        b.record();
        b.clipboard->setText(QStringLiteral("being read"));
        b.clipboard->setText(QStringLiteral("gone before it could be read"));
        b.pasteboard->writeString(QStringLiteral("mine"));
        QVERIFY(b.reader->answer());
        QVERIFY(!b.reader->answer());
        QVERIFY(!b.pasteboard->isReadPending());
        QCOMPARE(
            b.seen, (QStringList { QStringLiteral("own:mine"), QStringLiteral("being read") }));
    }

    void pausedReadsNothingThenOrLater()
    {
        Board b;
        b.record();
        b.clipboard->setText(QStringLiteral("read when paused"));
        b.pasteboard->setReadingPaused(true);
        QVERIFY(b.pasteboard->isReadPending()); // of a copy made before
        b.clipboard->setText(QStringLiteral("a password"));
        // The read in flight may have found the password: dropped.
        QVERIFY(b.reader->answer());
        QVERIFY(!b.pasteboard->isReadPending());
        QCOMPARE(b.reader->started, 1);
        // Counted, but nothing of it is held, nor read on demand.
        QCOMPARE(b.seen, QStringList { QStringLiteral("-") });
        QCOMPARE(b.pasteboard->contents(), ClipboardContents {});

        b.pasteboard->setReadingPaused(false);
        QCOMPARE(b.reader->started, 1);
        b.clipboard->setText(QStringLiteral("after"));
        QVERIFY(b.reader->answer());
        QCOMPARE(b.seen.last(), QStringLiteral("after"));

        // A copy made before pausing, its read still in flight, counts when it lands.
        b.clipboard->setText(QStringLiteral("just before pausing"));
        b.pasteboard->setReadingPaused(true);
        QVERIFY(b.reader->answer());
        QCOMPARE(b.seen.last(), QStringLiteral("just before pausing"));
    }

    void filesAreWrittenSoThatFileManagersPasteThem()
    {
        Board b;
        const QList<QUrl> files { QUrl::fromLocalFile(QStringLiteral("/tmp/a b.txt")),
            QUrl::fromLocalFile(QStringLiteral("/tmp/c")) };
        b.pasteboard->writeFileURLs(files);
        const QMimeData *mime = b.clipboard->mimeData();
        QCOMPARE(mime->data(QStringLiteral("text/uri-list")),
            QByteArray("file:///tmp/a%20b.txt\r\nfile:///tmp/c\r\n"));
        QCOMPARE(mime->data(QStringLiteral("x-special/gnome-copied-files")),
            QByteArray("copy\nfile:///tmp/a%20b.txt\nfile:///tmp/c"));
        // Several files are their paths as text; a single one stays its URL.
        QCOMPARE(mime->text(), QStringLiteral("/tmp/a b.txt\n/tmp/c"));
        QVERIFY(b.pasteboard->isOwnChange());
        QCOMPARE(b.pasteboard->contents().fileURLs,
            (QStringList {
                QStringLiteral("file:///tmp/a%20b.txt"), QStringLiteral("file:///tmp/c") }));
        b.pasteboard->writeFileURL(files.first());
        QCOMPARE(b.clipboard->mimeData()->text(), QStringLiteral("file:///tmp/a%20b.txt"));
    }
};

QTEST_MAIN(TestClipboardPasteboard)
#include "tst_clipboardpasteboard.moc"
