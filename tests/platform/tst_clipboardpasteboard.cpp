// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/ClipboardPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

using namespace nookary;

namespace {

// Stands in for the X11 reader: counts how often another program's copy is read, and
// answers on a later turn, as the reader thread does.
class CountingReader final : public ClipboardContentsReader {
public:
    explicit CountingReader(int &reads)
        : m_reads(reads)
    {
    }

    void read(std::function<void(ClipboardContents)> done) override
    {
        ++m_reads;
        const QString text = QGuiApplication::clipboard()->text();
        QTimer::singleShot(0, qApp, [done, text] { done({ text, std::nullopt, false }); });
    }

private:
    int &m_reads;
};

} // namespace

class TestClipboardPasteboard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pausedReadsNothingAndResumeReadsOnce()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        int reads = 0;
        ClipboardPasteboard pasteboard(clipboard, std::make_unique<CountingReader>(reads));
        if (clipboard->ownsClipboard())
            QSKIP("this platform reports every copy as the program's own");
        QSignalSpy counted(&pasteboard, &Pasteboard::changeCountChanged);

        clipboard->setText(QStringLiteral("before"));
        QTRY_COMPARE(counted.count(), 1);
        QCOMPARE(reads, 1);
        const qint64 before = pasteboard.changeCount();

        pasteboard.setReadingPaused(true);
        clipboard->setText(QStringLiteral("a password"));
        clipboard->setText(QStringLiteral("the last copy"));
        QTest::qWait(20);
        QCOMPARE(reads, 1);
        QCOMPARE(pasteboard.changeCount(), before);
        // Nothing is held of what was copied meanwhile, nor read on demand.
        QCOMPARE(pasteboard.string(), std::nullopt);

        pasteboard.setReadingPaused(false);
        QTRY_COMPARE(counted.count(), 2);
        QCOMPARE(reads, 2);
        QCOMPARE(pasteboard.string(), QStringLiteral("the last copy"));

        // Pausing and resuming with no copy between reads nothing.
        pasteboard.setReadingPaused(true);
        pasteboard.setReadingPaused(false);
        QTest::qWait(20);
        QCOMPARE(reads, 2);
        QCOMPARE(counted.count(), 2);
    }
};

QTEST_MAIN(TestClipboardPasteboard)
#include "tst_clipboardpasteboard.moc"
