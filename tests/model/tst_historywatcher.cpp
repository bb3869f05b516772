// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"
#include "model/ClipboardHistory.h"
#include "model/EntryText.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

QStringList texts(const AppModel &model)
{
    QStringList out;
    for (const HistoryItem &item : model.clipboardHistory().items())
        out.append(item.text);
    return out;
}

// Another application copies, and the poll that the change arms runs.
void copyAndPoll(ModelFixture &f, const QString &text)
{
    f.pasteboard.copyText(text);
    f.model->clipboardHistory().poll();
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
        m.clipboardHistory().poll();
        QVERIFY(m.clipboardHistory().items().isEmpty());
    }

    void entriesAreTrimmedAndAnEqualOneMovesToTheTop()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("  word \n"));
        QCOMPARE(texts(m), QStringList { QStringLiteral("word") });
        const QUuid wordId = m.clipboardHistory().items().first().id;

        copyAndPoll(f, QStringLiteral("other"));
        copyAndPoll(f, QStringLiteral("word"));
        QCOMPARE(texts(m), (QStringList { QStringLiteral("word"), QStringLiteral("other") }));
        QCOMPARE(m.clipboardHistory().items().first().id, wordId);

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
        const QUuid id = m.clipboardHistory().items().first().id;
        copyAndPoll(f, QStringLiteral("x"));
        copyAndPoll(f, QStringLiteral("cafe\u0301")); // decomposed
        QCOMPARE(m.clipboardHistory().items().size(), 2);
        QCOMPARE(m.clipboardHistory().items().first().id, id);
    }

    void blankCopiesRecordNothingButAreSeen()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QSignalSpy spy(&m.clipboardHistory(), &ClipboardHistory::changed);
        copyAndPoll(f, QStringLiteral(" \n\t\u00a0\u2029 "));
        QVERIFY(m.clipboardHistory().items().isEmpty());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(m.clipboardHistory().lastChangeCount(), f.pasteboard.changeCount());
    }

    void historyKeepsTheNewestUpToTheLimit()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (int i = 0; i < 25; ++i)
            copyAndPoll(f, QString::number(i));
        copyAndPoll(f, QStringLiteral("new"));
        QCOMPARE(m.clipboardHistory().items().size(), 25);
        QCOMPARE(m.clipboardHistory().items().first().text, QStringLiteral("new"));
        QCOMPARE(m.clipboardHistory().items().last().text, QStringLiteral("1"));

        m.settings().setHistoryLimit(100);
        for (int i = 100; i < 160; ++i)
            copyAndPoll(f, QString::number(i));
        QCOMPARE(m.clipboardHistory().items().size(), 85);
        m.settings().setHistoryLimit(25);
        QCOMPARE(m.clipboardHistory().items().size(), 25);
        QCOMPARE(m.clipboardHistory().items().first().text, QStringLiteral("159"));
        QCOMPARE(m.clipboardHistory().items().last().text, QStringLiteral("135"));
    }

    void longTextsAreKeptWholeAndReadOnlyInPart()
    {
        ModelFixture f;
        AppModel &m = f.start();
        const QString log = QStringLiteral("line of a log\n").repeated(6000); // 84,000
        copyAndPoll(f, log);
        const HistoryItem &entry = m.clipboardHistory().items().first();
        QCOMPARE(entry.text, log.trimmed());
        QVERIFY(!entry.cut);
        QVERIFY(entry.isLong());
        QCOMPARE(entry.preview, log.first(20000));
        const QUuid id = entry.id;
        copyAndPoll(f, QStringLiteral("between"));
        copyAndPoll(f, log);
        QCOMPARE(m.clipboardHistory().items().size(), 2);
        QCOMPARE(m.clipboardHistory().items().first().id, id);
        // Copied back whole.
        m.panelState().selectHistory(id);
        QCOMPARE(m.activateSelectedItemTextForPasteboard(), log.trimmed());

        // 20,000 characters of combining marks would be megabytes: rows and the search read
        // at most 64 KiB, cut between characters.
        const QString heavy = QStringLiteral("e\u0301\u0302\u0303").repeated(20000);
        const QString preview = entryPreview(heavy);
        QVERIFY(preview.size() <= maxPreviewUnits);
        QVERIFY(preview.size() > maxPreviewUnits - 4);
        QCOMPARE(preview.size() % 4, 0);
        // A single character longer than that is cut between code points.
        const QString oneCharacter = QStringLiteral("a") + QString(40000, QChar(0x0301));
        QCOMPARE(entryPreview(oneCharacter).size(), maxPreviewUnits);
        QVERIFY(!isCharacterBoundary(oneCharacter, maxPreviewUnits));
        // Otherwise before the character that straddles the end, however long it is.
        const QString straddling = QStringLiteral("e\u0301").repeated(15000) + QStringLiteral("x")
            + QString(5000, QChar(0x0301)) + QStringLiteral("tail");
        QCOMPARE(characterPrefixLength(straddling, maxPreviewUnits), 30000);
        QCOMPARE(entryPreview(straddling).size(), 30000);
        const QString shortText(100, u'a');
        QVERIFY(entryPreview(shortText).isSharedWith(shortText));
    }

    void theHistorysMemoryIsBoundedInBytes()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.settings().setHistoryLimit(100);
        // One character longer than a preview holds cannot be cut without splitting it: it
        // goes instead when the memory runs out.
        const QString oneCharacter = QStringLiteral("a") + QString(100000, QChar(0x0301));
        copyAndPoll(f, oneCharacter);
        // 24 copies of 3 MiB each as the program holds them (UTF-16): 72 MiB.
        QList<QString> copies;
        for (int i = 0; i < 24; ++i) {
            copies.append(QString::number(i) + QString(3 * 512 * 1024, QChar(u'a' + i)));
            copyAndPoll(f, copies.last());
        }
        qsizetype total = 0;
        for (const HistoryItem &item : m.clipboardHistory().items())
            total += item.memoryBytes();
        QVERIFY(total <= ClipboardHistory::maxMemoryBytes);
        QCOMPARE(m.clipboardHistory().items().size(), 24);
        QVERIFY(!texts(m).contains(oneCharacter));
        // The oldest were cut to their preview and say so; the newest are whole.
        QCOMPARE(m.clipboardHistory().items().first().text, copies.last());
        QVERIFY(!m.clipboardHistory().items().first().cut);
        const HistoryItem &oldest = m.clipboardHistory().items().last();
        QVERIFY(oldest.cut);
        QCOMPARE(oldest.text, copies.first().first(20000));
        QVERIFY(oldest.text.size() <= maxPreviewUnits);

        // Copied again, a cut entry takes its whole text back and keeps its id.
        const QUuid id = oldest.id;
        copyAndPoll(f, copies.first());
        QCOMPARE(m.clipboardHistory().items().size(), 24);
        QCOMPARE(m.clipboardHistory().items().first().id, id);
        QCOMPARE(m.clipboardHistory().items().first().text, copies.first());
        QVERIFY(!m.clipboardHistory().items().first().cut);

        // Beyond the cap of one read, a text is cut there and says so.
        copyAndPoll(f, QString(maxHistoryTextUnits + 10, u'z'));
        QCOMPARE(m.clipboardHistory().items().first().text.size(), maxHistoryTextUnits);
        QVERIFY(m.clipboardHistory().items().first().cut);
        // As is one the reader cut.
        f.pasteboard.copy({ QStringLiteral("the first 4 MiB"), {}, false, true });
        QVERIFY(m.clipboardHistory().items().first().cut);
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
        QCOMPARE(m.clipboardHistory().items().first().text.size(), maxHistoryTextUnits);
        QVERIFY(m.clipboardHistory().items().first().text.startsWith(QStringLiteral("start x")));
        QCOMPARE(m.clipboardHistory().items().first().preview.size(), 20000);
    }

    void theProgramsOwnWriteIsKnownByItsChange()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("older"));
        copyAndPoll(f, QStringLiteral("entry"));
        m.panelState().selectHistory(m.clipboardHistory().items().at(1).id);
        const std::optional<QString> chosen = m.activateSelectedItemTextForPasteboard();
        QCOMPARE(chosen, QStringLiteral("older"));
        f.pasteboard.clear();
        f.pasteboard.writeString(*chosen);
        QCOMPARE(texts(m), (QStringList { QStringLiteral("older"), QStringLiteral("entry") }));
        // A copy in another program right after the copy-back is a change of its own.
        copyAndPoll(f, QStringLiteral("copied right after"));
        QCOMPARE(texts(m).value(0), QStringLiteral("copied right after"));

        // Our write while another program's copy is being read: that copy still lands.
        f.pasteboard.holdReads(true);
        f.pasteboard.copyText(QStringLiteral("being read"));
        f.pasteboard.writeString(QStringLiteral("snippet"));
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(texts(m),
            (QStringList { QStringLiteral("being read"), QStringLiteral("copied right after"),
                QStringLiteral("older"), QStringLiteral("entry") }));
        // And the copy after it is read as well.
        f.pasteboard.copyText(QStringLiteral("after the snippet"));
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(texts(m).value(0), QStringLiteral("after the snippet"));
    }

    void filesAreRecordedAsTheirURLs()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.pasteboard.copy({ QStringLiteral("report.pdf"),
            { QStringLiteral("file:///home/u/My%20report.pdf") }, false, false });
        QCOMPARE(texts(m), QStringList { QStringLiteral("file:///home/u/My%20report.pdf") });

        // Several files stay several files, one URL a line, and show the first one's name.
        f.pasteboard.copy({ QStringLiteral("a.txt b.txt c"),
            { QStringLiteral("file:///tmp/a.txt"), QStringLiteral("file:///tmp/b.txt"),
                QStringLiteral("file:///tmp/c") },
            false, false });
        const QString three = QStringLiteral("file:///tmp/a.txt\nfile:///tmp/b.txt\nfile:///tmp/c");
        QCOMPARE(m.clipboardHistory().items().first().text, three);
        QCOMPARE(entryFileURLs(three).size(), 3);
        QCOMPARE(displayText(three), QStringLiteral("a.txt"));

        // A web address in the URL list is not a file: the plain text is recorded.
        f.pasteboard.copy({ QStringLiteral("the link"), { QStringLiteral("https://example.org/") },
            false, false });
        QCOMPARE(m.clipboardHistory().items().first().text, QStringLiteral("the link"));
        // A file beside a web address keeps both.
        f.pasteboard.copy({ QStringLiteral("two"),
            { QStringLiteral("file:///tmp/a.txt"), QStringLiteral("https://example.org/") }, false,
            false });
        QCOMPARE(m.clipboardHistory().items().first().text,
            QStringLiteral("file:///tmp/a.txt\nhttps://example.org/"));

        // Found by the name its row shows, as shown.
        m.panelState().setQuery(QStringLiteral("my report"));
        QCOMPARE(m.panelState().filteredHistory().size(), 1);
        QCOMPARE(m.panelState().filteredHistory().first().text,
            QStringLiteral("file:///home/u/My%20report.pdf"));
    }

    void secretsAndNonTextAreNeverRecorded()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.pasteboard.copy({ QStringLiteral("hunter2"), {}, true, false });
        f.pasteboard.copy({}); // an image, say
        QVERIFY(m.clipboardHistory().items().isEmpty());
        QCOMPARE(m.clipboardHistory().lastChangeCount(), f.pasteboard.changeCount());
    }

    void nothingCopiedWhilePausedIsEverRecorded()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.pasteboard.holdReads(true);
        f.pasteboard.copyText(QStringLiteral("copied before the pause"));
        m.clipboardHistory().setPaused(true);
        // The clipboard reader stops too: an owner that serves one request keeps it.
        QVERIFY(f.pasteboard.isReadingPaused());
        QVERIFY(!m.clipboardHistory().isCapturePending());
        // The read in flight may find what is copied next: it is dropped.
        f.pasteboard.copyText(QStringLiteral("a password"));
        QVERIFY(f.pasteboard.landRead());
        const int reads = f.pasteboard.readsStarted();
        f.pasteboard.copyText(QStringLiteral("another password"));
        QCOMPARE(f.pasteboard.readsStarted(), reads);
        QVERIFY(m.clipboardHistory().items().isEmpty());

        // Resuming reads nothing (the owner is asked only what it offers, as an owner that
        // changes its copy unannounced might need a new baseline); the first copy after it is
        // recorded.
        m.clipboardHistory().setPaused(false);
        QVERIFY(!f.pasteboard.isReadingPaused());
        QVERIFY(f.pasteboard.landRead());
        m.clipboardHistory().poll();
        QCOMPARE(f.pasteboard.readsStarted(), reads);
        QVERIFY(m.clipboardHistory().items().isEmpty());
        f.pasteboard.copyText(QStringLiteral("after the pause"));
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(texts(m), QStringList { QStringLiteral("after the pause") });

        // A copy made just before pausing, still being read, is no copy made while paused.
        f.pasteboard.copyText(QStringLiteral("just before pausing"));
        m.clipboardHistory().setPaused(true);
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(texts(m).value(0), QStringLiteral("just before pausing"));
        m.clipboardHistory().setPaused(false);

        // The program's own copy-back while paused is its own after resume as well.
        m.clipboardHistory().setPaused(true);
        f.pasteboard.writeString(QStringLiteral("mine"));
        m.clipboardHistory().setPaused(false);
        m.clipboardHistory().poll();
        QCOMPARE(texts(m).value(0), QStringLiteral("just before pausing"));
    }

    void aPollWithoutChangeReadsOnlyTheCount()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("a"));
        const int reads = f.pasteboard.contentReads();
        m.clipboardHistory().poll();
        m.clipboardHistory().poll();
        QCOMPARE(f.pasteboard.contentReads(), reads);
    }

    void everyCopyOfABurstCountsAndTheNewestAlways()
    {
        ModelFixture f;
        AppModel &m = f.start();
        // Read at once: each copy is recorded as it happens, however close together.
        for (int i = 0; i < 10; ++i)
            f.pasteboard.copyText(QStringLiteral("quick %1").arg(i));
        QCOMPARE(m.clipboardHistory().items().size(), 10);
        QCOMPARE(m.clipboardHistory().items().first().text, QStringLiteral("quick 9"));

        // Copies while a read is in flight are read in turn once it lands; only those the
        // clipboard no longer holds when a read can start are gone.
        f.pasteboard.holdReads(true);
        f.pasteboard.copyText(QStringLiteral("first of the burst"));
        QVERIFY(m.clipboardHistory().isCapturePending());
        const int reads = f.pasteboard.readsStarted();
        for (int i = 0; i < 100; ++i)
            f.pasteboard.copyText(QStringLiteral("burst %1").arg(i));
        QCOMPARE(f.pasteboard.readsStarted(), reads); // one read at a time, nothing queued up
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(m.clipboardHistory().items().first().text, QStringLiteral("first of the burst"));
        QCOMPARE(f.pasteboard.readsStarted(), reads + 1);
        QVERIFY(m.clipboardHistory().isCapturePending());
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(m.clipboardHistory().items().first().text, QStringLiteral("burst 99"));
        QVERIFY(!m.clipboardHistory().isCapturePending());
        QVERIFY(!f.pasteboard.landRead());
        QCOMPARE(m.clipboardHistory().items().size(), 12);

        // Nothing copied: nothing is read, nothing wakes.
        const int contentReads = f.pasteboard.contentReads();
        f.clock.advance(std::chrono::seconds(10));
        QCOMPARE(f.pasteboard.contentReads(), contentReads);
        QCOMPARE(f.pasteboard.readsStarted(), reads + 1);
    }

    void whatWaitsForACopyBeingReadRunsWhenItLands()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.settings().setDefaultOpenTarget(AppModel::DefaultOpenTarget::historyFirst);
        copyAndPoll(f, QStringLiteral("previous"));
        f.pasteboard.holdReads(true);
        f.pasteboard.copyText(QStringLiteral("just copied"));

        // The panel opens before the copy is read: its row comes, and takes the default
        // selection, when it lands.
        m.applyDefaultOpenTarget();
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("previous"));
        QStringList seen;
        QObject context;
        m.clipboardHistory().whenCaptureSettled(
            &context, [&] { seen.append(*m.panelState().selectedText()); });
        QVERIFY(seen.isEmpty());
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(seen, QStringList { QStringLiteral("just copied") });

        // Once the user moved the selection, a copy landing leaves it where it is.
        m.panelState().moveSelection(AppModel::Nav::down);
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("previous"));
        f.pasteboard.copyText(QStringLiteral("later"));
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("previous"));

        // A read that never lands holds nothing up for long; a context gone cancels.
        f.pasteboard.copyText(QStringLiteral("from a silent owner"));
        {
            QObject gone;
            m.clipboardHistory().whenCaptureSettled(
                &gone, [&] { seen.append(QStringLiteral("gone")); });
        }
        m.clipboardHistory().whenCaptureSettled(
            &context, [&] { seen.append(QStringLiteral("waited")); });
        f.clock.advance(ClipboardHistory::captureWaitLimit - std::chrono::milliseconds(1));
        QCOMPARE(seen.size(), 1);
        f.clock.advance(std::chrono::milliseconds(1));
        QCOMPARE(seen, (QStringList { QStringLiteral("just copied"), QStringLiteral("waited") }));
        // Nothing waits when nothing is read.
        QVERIFY(f.pasteboard.landRead());
        m.clipboardHistory().whenCaptureSettled(
            &context, [&] { seen.append(QStringLiteral("at once")); });
        QCOMPARE(seen.last(), QStringLiteral("at once"));
    }

    void aCopyChangedUnannouncedIsReadWhenThePanelOpens()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.settings().setDefaultOpenTarget(AppModel::DefaultOpenTarget::historyFirst);
        // Tk changes what it serves without taking the clipboard anew: no change is told.
        copyAndPoll(f, QStringLiteral("alpha"));
        f.pasteboard.changeUnannounced(QStringLiteral("beta"));
        f.pasteboard.changeUnannounced(QStringLiteral("gamma"));
        QCOMPARE(texts(m), QStringList { QStringLiteral("alpha") });
        m.applyDefaultOpenTarget();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("gamma"), QStringLiteral("alpha") }));
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("gamma"));

        // Unchanged, it records nothing and moves nothing; a cleared history stays cleared.
        m.panelState().selectHistory(m.clipboardHistory().items().last().id);
        m.applyDefaultOpenTarget();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("gamma"), QStringLiteral("alpha") }));
        m.clipboardHistory().clear();
        m.applyDefaultOpenTarget();
        QVERIFY(m.clipboardHistory().items().isEmpty());

        // A slow owner's second look lands after the opening, and takes the default selection.
        copyAndPoll(f, QStringLiteral("first"));
        f.pasteboard.holdReads(true);
        f.pasteboard.changeUnannounced(QStringLiteral("second"));
        m.applyDefaultOpenTarget();
        QVERIFY(m.clipboardHistory().isCapturePending());
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("first"));
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("second"));

        // Nothing is read again while paused, nor our own copy.
        const int reads = f.pasteboard.readsStarted();
        m.clipboardHistory().setPaused(true);
        m.applyDefaultOpenTarget();
        m.clipboardHistory().setPaused(false);
        f.pasteboard.writeString(QStringLiteral("mine"));
        m.applyDefaultOpenTarget();
        QCOMPARE(f.pasteboard.readsStarted(), reads);
    }

    void everyCopyOfAnOwnerChangingItUnannouncedIsRecorded()
    {
        using std::chrono::milliseconds;
        const milliseconds look = ClipboardHistory::unannouncedLookInterval;
        ModelFixture f;
        // Tk held the clipboard before the start: that copy is where looks start from.
        f.pasteboard.copyAsTk(QStringLiteral("there before"));
        AppModel &m = f.start();
        f.pasteboard.changeUnannounced(QStringLiteral("tk-1"));
        f.clock.advance(look);
        f.pasteboard.changeUnannounced(QStringLiteral("tk-2"));
        f.clock.advance(look);
        QCOMPARE(texts(m), (QStringList { QStringLiteral("tk-2"), QStringLiteral("tk-1") }));

        // Paused, nothing is looked at; what Tk held meanwhile is the new baseline.
        const int reads = f.pasteboard.readsStarted();
        m.clipboardHistory().setPaused(true);
        f.pasteboard.changeUnannounced(QStringLiteral("a password"));
        f.clock.advance(look * 4);
        QCOMPARE(f.pasteboard.readsStarted(), reads);
        m.clipboardHistory().setPaused(false);
        m.applyDefaultOpenTarget();
        f.clock.advance(look * 2);
        QCOMPARE(texts(m), (QStringList { QStringLiteral("tk-2"), QStringLiteral("tk-1") }));
        f.pasteboard.changeUnannounced(QStringLiteral("tk-3"));
        f.clock.advance(look);
        QCOMPARE(texts(m).first(), QStringLiteral("tk-3"));

        // Another owner takes the clipboard, or our own write does: looks stop.
        f.pasteboard.copyText(QStringLiteral("from elsewhere"));
        const int before = f.pasteboard.readsStarted();
        f.clock.advance(look * 4);
        QCOMPARE(f.pasteboard.readsStarted(), before);
        f.pasteboard.copyAsTk(QStringLiteral("tk again"));
        f.pasteboard.writeString(QStringLiteral("mine"));
        f.clock.advance(look * 4);
        QCOMPARE(f.pasteboard.readsStarted(), before + 1);
        // So does a Tk that quits.
        f.pasteboard.copyAsTk(QStringLiteral("last"));
        f.pasteboard.ownerLeaves();
        const int gone = f.pasteboard.readsStarted();
        f.clock.advance(look * 4);
        QCOMPARE(f.pasteboard.readsStarted(), gone);

        // A long copy, even one cut at the cap, is looked at less often, and still looked at.
        const QString big(3'000'000, u'x');
        f.pasteboard.copy({ big, {}, false, true, 0, true });
        f.clock.advance(look);
        QCOMPARE(texts(m).first().size(), big.size());
        const int bigReads = f.pasteboard.readsStarted();
        f.clock.advance(look * 4);
        QCOMPARE(f.pasteboard.readsStarted(), bigReads);
        f.pasteboard.changeUnannounced(QStringLiteral("after the big one"));
        f.clock.advance(ClipboardHistory::unannouncedLookLongest);
        QCOMPARE(texts(m).first(), QStringLiteral("after the big one"));
    }

    void newEntriesKeepTheSelectionOnAVisibleRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        copyAndPoll(f, QStringLiteral("one"));
        QCOMPARE(m.panelState().selectedColumn(), AppModel::Column::history);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().first().id);
    }
};

QTEST_GUILESS_MAIN(TestHistoryWatcher)
#include "tst_historywatcher.moc"
