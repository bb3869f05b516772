// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"
#include "model/EntryText.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

QStringList texts(const AppModel &model)
{
    QStringList out;
    for (const HistoryItem &item : model.history())
        out.append(item.text);
    return out;
}

// Another application copies, and the poll that the change arms runs.
void copyAndPoll(ModelFixture &f, const QString &text)
{
    f.pasteboard.copyText(text);
    f.model->pollClipboard();
}

qsizetype graphemeCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype n = 0;
    while (finder.toNextBoundary() != -1)
        ++n;
    return n;
}

} // namespace

class TestHistoryWatcher : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clipboardAtStartIsNeverRecorded()
    {
        ModelFixture f;
        f.pasteboard.copyText(QStringLiteral("there before"));
        AppModel &m = f.start();
        m.pollClipboard();
        QVERIFY(m.history().isEmpty());
    }

    void entriesAreTrimmedAndAnEqualOneMovesToTheTop()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("  word \n"));
        QCOMPARE(texts(m), QStringList { QStringLiteral("word") });
        const QUuid wordId = m.history().first().id;

        copyAndPoll(f, QStringLiteral("other"));
        copyAndPoll(f, QStringLiteral("word"));
        QCOMPARE(texts(m), (QStringList { QStringLiteral("word"), QStringLiteral("other") }));
        QCOMPARE(m.history().first().id, wordId);

        // Matching is case-sensitive; inner white space is kept.
        copyAndPoll(f, QStringLiteral("Word"));
        copyAndPoll(f, QStringLiteral("two\n  lines"));
        QCOMPARE(texts(m),
            (QStringList { QStringLiteral("two\n  lines"), QStringLiteral("Word"),
                QStringLiteral("word"), QStringLiteral("other") }));
    }

    void canonicallyEquivalentTextsAreOneEntry()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("caf\u00e9")); // precomposed
        const QUuid id = m.history().first().id;
        copyAndPoll(f, QStringLiteral("x"));
        copyAndPoll(f, QStringLiteral("cafe\u0301")); // decomposed
        QCOMPARE(m.history().size(), 2);
        QCOMPARE(m.history().first().id, id);
    }

    void blankCopiesRecordNothingButAreSeen()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QSignalSpy spy(&m, &AppModel::historyChanged);
        copyAndPoll(f, QStringLiteral(" \n\t\u00a0\u2029 "));
        QVERIFY(m.history().isEmpty());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(m.lastChangeCount(), f.pasteboard.changeCount());
    }

    void historyKeepsTheNewestUpToTheLimit()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (int i = 0; i < 25; ++i)
            copyAndPoll(f, QString::number(i));
        copyAndPoll(f, QStringLiteral("new"));
        QCOMPARE(m.history().size(), 25);
        QCOMPARE(m.history().first().text, QStringLiteral("new"));
        QCOMPARE(m.history().last().text, QStringLiteral("1"));

        m.setHistoryLimit(100);
        for (int i = 100; i < 160; ++i)
            copyAndPoll(f, QString::number(i));
        QCOMPARE(m.history().size(), 85);
        m.setHistoryLimit(25);
        QCOMPARE(m.history().size(), 25);
        QCOMPARE(m.history().first().text, QStringLiteral("159"));
        QCOMPARE(m.history().last().text, QStringLiteral("135"));
    }

    void longTextsAreCutToTwentyThousandCharacters()
    {
        ModelFixture f;
        AppModel &m = f.start();
        const QString long25k = QString(25000, u'a');
        copyAndPoll(f, long25k);
        QCOMPARE(m.history().first().text.size(), 20000);
        const QUuid id = m.history().first().id;
        copyAndPoll(f, QStringLiteral("between"));
        copyAndPoll(f, long25k);
        QCOMPARE(m.history().size(), 2);
        QCOMPARE(m.history().first().id, id);
    }

    void theCutCountsUserPerceivedCharacters()
    {
        // "e" + combining acute is one character of two code units; a family emoji is one
        // character of eleven.
        const QString accented = QStringLiteral("e\u0301");
        const QString family
            = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466");
        QString text;
        for (int i = 0; i < 12000; ++i)
            text += accented;
        for (int i = 0; i < 9000; ++i)
            text += family;
        const auto cut = normalizedEntryText(text);
        QVERIFY(cut);
        QCOMPARE(graphemeCount(*cut), 20000);
        QCOMPARE(cut->size(), 12000 * 2 + 8000 * family.size());
        QVERIFY(cut->endsWith(family));

        // Exactly the limit is kept whole, even when it is far longer in code units.
        QString exact;
        for (int i = 0; i < 20000; ++i)
            exact += family;
        QCOMPARE(normalizedEntryText(exact)->size(), exact.size());
    }

    void theCutNeverSplitsACharacter()
    {
        // The 20000th character is "a" with a skin-tone modifier, whose surrogate pair
        // straddles the point where a first look at the text would stop.
        const QString grin = QStringLiteral("\U0001F600");
        const QString toned = QStringLiteral("a\U0001F3FB");
        QString text;
        for (int i = 0; i < 19999; ++i)
            text += grin;
        const qsizetype end = text.size() + toned.size();
        text += toned + QStringLiteral("bcd");
        const auto cut = normalizedEntryText(text);
        QVERIFY(cut);
        QCOMPARE(cut->size(), end);
        QVERIFY(cut->endsWith(toned));
        QCOMPARE(graphemeCount(*cut), 20000);
    }

    void theCutLeavesNoTrailingSpaceOrLineBreak()
    {
        // The 20000th character is a space, or the first half of a line break.
        const auto words = normalizedEntryText(QStringLiteral("word ").repeated(5000));
        QVERIFY(words);
        QCOMPARE(words->size(), 19999);
        QVERIFY(words->endsWith(QStringLiteral("word")));
        const auto lines = normalizedEntryText(QString(19999, u'a') + QStringLiteral("\r\nb"));
        QVERIFY(lines);
        QCOMPARE(*lines, QString(19999, u'a'));

        QCOMPARE(firstCharacters(QStringLiteral("abc"), 0), QString());
        QCOMPARE(firstCharacters(QStringLiteral("abc"), -1), QString());
    }

    void hugeClipboardTextIsCutWithoutCopyingItWhole()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QString huge(50 * 1000 * 1000, u'x');
        huge.prepend(QStringLiteral("  start "));
        copyAndPoll(f, huge);
        QCOMPARE(m.history().first().text.size(), 20000);
        QVERIFY(m.history().first().text.startsWith(QStringLiteral("start x")));
    }

    void theProgramsOwnWriteIsSkippedOnce()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.markProgrammaticWrite(QStringLiteral("mine"));
        f.pasteboard.writeString(QStringLiteral("mine"));
        m.pollClipboard();
        QVERIFY(m.history().isEmpty());
        QVERIFY(!m.ignoreNextPasteboardChange());
        QVERIFY(!m.lastProgrammaticWrite());

        // Skipped whatever arrived, and only once.
        m.markProgrammaticWrite(QStringLiteral("mine"));
        copyAndPoll(f, QStringLiteral("someone else's"));
        QVERIFY(m.history().isEmpty());
        copyAndPoll(f, QStringLiteral("mine"));
        QCOMPARE(texts(m), QStringList { QStringLiteral("mine") });
    }

    void aFileReferenceIsRecordedAsItsURL()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.pasteboard.copy({ QStringLiteral("report.pdf"),
            QStringLiteral("file:///home/u/My%20report.pdf"), false });
        m.pollClipboard();
        QCOMPARE(texts(m), QStringList { QStringLiteral("file:///home/u/My%20report.pdf") });

        // A web address in the URL list is not a file: the plain text is recorded.
        f.pasteboard.copy(
            { QStringLiteral("the link"), QStringLiteral("https://example.org/"), false });
        m.pollClipboard();
        QCOMPARE(m.history().first().text, QStringLiteral("the link"));
    }

    void secretsAndNonTextAreNeverRecorded()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.pasteboard.copy({ QStringLiteral("hunter2"), std::nullopt, true });
        m.pollClipboard();
        f.pasteboard.copy({ std::nullopt, std::nullopt, false }); // an image, say
        m.pollClipboard();
        QVERIFY(m.history().isEmpty());
        QCOMPARE(m.lastChangeCount(), f.pasteboard.changeCount());
    }

    void pausedPollsReadNothingAndResumeRecordsOnce()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.setIsTrackingPaused(true);
        // The clipboard reader stops too: an owner that serves one request keeps it.
        QVERIFY(f.pasteboard.isReadingPaused());
        const int reads = f.pasteboard.contentReads();
        copyAndPoll(f, QStringLiteral("while paused"));
        QCOMPARE(f.pasteboard.contentReads(), reads);
        QVERIFY(m.history().isEmpty());

        m.setIsTrackingPaused(false);
        QVERIFY(!f.pasteboard.isReadingPaused());
        m.pollClipboard();
        m.pollClipboard();
        QCOMPARE(texts(m), QStringList { QStringLiteral("while paused") });

        // The program's own copy-back while paused is still known as its own after resume.
        m.setIsTrackingPaused(true);
        m.markProgrammaticWrite(QStringLiteral("mine"));
        f.pasteboard.writeString(QStringLiteral("mine"));
        m.setIsTrackingPaused(false);
        m.pollClipboard();
        QCOMPARE(texts(m), QStringList { QStringLiteral("while paused") });
    }

    void aPollWithoutChangeReadsOnlyTheCount()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("a"));
        const int reads = f.pasteboard.contentReads();
        m.pollClipboard();
        m.pollClipboard();
        QCOMPARE(f.pasteboard.contentReads(), reads);
    }

    void aChangeArmsOnePollAndIdleArmsNone()
    {
        ModelFixture f;
        AppModel &m = f.start();
        const std::chrono::milliseconds interval(AppModel::pollIntervalMs);
        QSignalSpy spy(&m, &AppModel::historyChanged);
        f.pasteboard.copyText(QStringLiteral("first"));
        f.pasteboard.copyText(QStringLiteral("second"));
        f.clock.advance(interval - std::chrono::milliseconds(1));
        QCOMPARE(spy.size(), 0); // one interval after the change, not before
        f.clock.advance(std::chrono::milliseconds(1));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(texts(m), QStringList { QStringLiteral("second") });
        // Nothing copied: nothing polls.
        const int reads = f.pasteboard.contentReads();
        QVERIFY(reads > 0);
        f.clock.advance(2 * interval);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(f.pasteboard.contentReads(), reads);

        // Resuming arms a poll for what was copied while paused.
        m.setIsTrackingPaused(true);
        f.pasteboard.copyText(QStringLiteral("during pause"));
        f.clock.advance(2 * interval);
        QCOMPARE(spy.size(), 1);
        m.setIsTrackingPaused(false);
        f.clock.advance(interval);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(m.history().first().text, QStringLiteral("during pause"));
    }

    void newEntriesKeepTheSelectionOnAVisibleRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("one"));
        QCOMPARE(m.selectedColumn(), AppModel::Column::history);
        QCOMPARE(m.selectedHistoryID(), m.history().first().id);
    }
};

QTEST_GUILESS_MAIN(TestHistoryWatcher)
#include "tst_historywatcher.moc"
