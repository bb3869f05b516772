// SPDX-License-Identifier: GPL-3.0-or-later
// What the clipboard manager keeps when a program quits or vanishes, and that keeping it
// never records an entry twice, moves one, or brings back one the user cleared.
#include "ModelFixture.h"
#include "model/ClipboardKeeper.h"

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

QList<QUuid> ids(const AppModel &model)
{
    QList<QUuid> out;
    for (const HistoryItem &item : model.clipboardHistory().items())
        out.append(item.id);
    return out;
}

void copyAndPoll(ModelFixture &f, const QString &text)
{
    f.pasteboard.copyText(text);
    f.model->clipboardHistory().poll();
}

// The clipboard's owner goes without handing over, as the clipboard manager tells.
void vanish(ModelFixture &f, ClipboardKeeper &keeper)
{
    keeper.ownerVanished(f.pasteboard.clipboard().origin);
}

ClipboardContents text(const QString &t)
{
    return { t, {}, false, false };
}

} // namespace

class TestClipboardKeeper : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aHandedOverCopyIsKeptWithoutRecordingItAgain()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        copyAndPoll(f, QStringLiteral("older"));
        copyAndPoll(f, QStringLiteral("  quitting \n"));
        const QList<QUuid> before = ids(m);

        QVERIFY(keeper.acceptsHandOver());
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("  quitting \n"))));
        // Served as the program had it, untrimmed.
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("  quitting \n"));
        m.clipboardHistory().poll();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("quitting"), QStringLiteral("older") }));
        QCOMPARE(ids(m), before);

        // Taking over an older entry's text that the watcher saw does not move that entry.
        f.pasteboard.copyText(QStringLiteral("older"));
        m.clipboardHistory().poll();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("older"), QStringLiteral("quitting") }));
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("older"))));
        m.clipboardHistory().poll();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("older"), QStringLiteral("quitting") }));

        // A cleared history stays cleared.
        copyAndPoll(f, QStringLiteral("cleared later"));
        m.clipboardHistory().clear();
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("cleared later"))));
        m.clipboardHistory().poll();
        QVERIFY(m.clipboardHistory().items().isEmpty());
        // And the next copy of another program is recorded as usual.
        copyAndPoll(f, QStringLiteral("next"));
        QCOMPARE(texts(m), QStringList { QStringLiteral("next") });
    }

    void aCopyHandedOverWhileItIsReadIsRecordedOnce()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        copyAndPoll(f, QStringLiteral("first"));
        f.pasteboard.holdReads(true);

        // The read lands with the copy.
        f.pasteboard.copyText(QStringLiteral("copied and quit at once"));
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("copied and quit at once"))));
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(texts(m),
            (QStringList { QStringLiteral("copied and quit at once"), QStringLiteral("first") }));

        // A copy made just before, still being read, and this one noticed meanwhile: the
        // hand-over takes the clipboard before this one could be read, and records it.
        f.pasteboard.copyText(QStringLiteral("just before"));
        f.pasteboard.copyText(QStringLiteral("and quit"));
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("and quit"))));
        QVERIFY(f.pasteboard.landRead());
        QVERIFY(!f.pasteboard.landRead());
        QCOMPARE(texts(m).mid(0, 2),
            (QStringList { QStringLiteral("and quit"), QStringLiteral("just before") }));
        QCOMPARE(texts(m).size(), 4);
    }

    void aCopyRightAfterAHandOverOrAReOfferIsRecorded()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        copyAndPoll(f, QStringLiteral("handed over"));
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("handed over"))));
        copyAndPoll(f, QStringLiteral("copied right after"));
        QCOMPARE(texts(m),
            (QStringList { QStringLiteral("copied right after"), QStringLiteral("handed over") }));

        vanish(f, keeper);
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("copied right after"));
        copyAndPoll(f, QStringLiteral("and again"));
        QCOMPARE(texts(m).value(0), QStringLiteral("and again"));
        QCOMPARE(texts(m).size(), 3);
    }

    void aFileIsHandedOverAsAFile()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        const QStringList urls { QStringLiteral("file:///tmp/a%20b.txt"),
            QStringLiteral("file:///tmp/c.txt") };
        f.pasteboard.copy({ QStringLiteral("/tmp/a b.txt"), urls, false, false });
        QVERIFY(keeper.keepHandedOver({ QStringLiteral("/tmp/a b.txt"), urls, false, false }));
        QCOMPARE(f.pasteboard.clipboard().fileURLs, urls);
        QCOMPARE(texts(m), QStringList { urls.join(u'\n') });
        // A URL that is not a local file is kept as text.
        QVERIFY(keeper.keepHandedOver(
            { std::nullopt, { QStringLiteral("https://example.org/") }, false, false }));
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("https://example.org/"));
        QVERIFY(f.pasteboard.clipboard().fileURLs.isEmpty());
    }

    void handOversThatAreRefused()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        copyAndPoll(f, QStringLiteral("kept"));
        const qint64 count = f.pasteboard.changeCount();

        QVERIFY(!keeper.keepHandedOver({ QStringLiteral("hunter2"), {}, true, false }));
        // Half a huge text would paste as if whole.
        QVERIFY(!keeper.keepHandedOver({ QStringLiteral("the first 4 MiB"), {}, false, true }));
        // An image, or an owner that did not answer in time: nothing readable.
        QVERIFY(!keeper.keepHandedOver({}));

        m.clipboardHistory().setPaused(true);
        QVERIFY(!keeper.acceptsHandOver());
        QVERIFY(!keeper.keepHandedOver(text(QStringLiteral("while paused"))));
        QCOMPARE(f.pasteboard.changeCount(), count);
        m.clipboardHistory().setPaused(false);
        QVERIFY(keeper.acceptsHandOver());
        // Refusals leave the watcher as it was: the next copy is recorded.
        copyAndPoll(f, QStringLiteral("after"));
        QCOMPARE(texts(m), (QStringList { QStringLiteral("after"), QStringLiteral("kept") }));
    }

    void theNewestEntryIsOfferedAgainWhenItsOwnerVanishes()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        copyAndPoll(f, QStringLiteral("older"));
        copyAndPoll(f, QStringLiteral("  crashed \n"));
        const QList<QUuid> before = ids(m);
        const qint64 count = f.pasteboard.changeCount();

        vanish(f, keeper);
        QVERIFY(f.pasteboard.changeCount() > count);
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("crashed"));
        m.clipboardHistory().poll();
        QCOMPARE(ids(m), before);
        QCOMPARE(texts(m), (QStringList { QStringLiteral("crashed"), QStringLiteral("older") }));
        copyAndPoll(f, QStringLiteral("next"));
        QCOMPARE(texts(m).value(0), QStringLiteral("next"));
    }

    void aFileEntryIsOfferedAgainAsAFile()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        const QStringList urls { QStringLiteral("file:///home/u/r%C3%A9sum%C3%A9.pdf"),
            QStringLiteral("file:///home/u/cv.odt") };
        f.pasteboard.copy({ QStringLiteral("/home/u/résumé.pdf"), urls, false, false });
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.clipboard().fileURLs, urls);
        m.clipboardHistory().poll();
        QCOMPARE(texts(m), QStringList { urls.join(u'\n') });
    }

    void aCopyMadeJustBeforeItsOwnerVanishedIsRecordedAndKept()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        copyAndPoll(f, QStringLiteral("older"));
        f.pasteboard.copyText(QStringLiteral("quick"));
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("quick"));
        QVERIFY(f.pasteboard.isOwnChange());
        QCOMPARE(texts(m), (QStringList { QStringLiteral("quick"), QStringLiteral("older") }));

        // The owner's leaving is a change of its own, read as it is told: that read finds
        // nothing, and does not keep the copy counted before it from being offered again.
        copyAndPoll(f, QStringLiteral("then vanished"));
        f.pasteboard.holdReads(true);
        keeper.ownerVanished(f.pasteboard.ownerLeaves());
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("then vanished"));
        QVERIFY(f.pasteboard.landRead());
        QCOMPARE(texts(m).value(0), QStringLiteral("then vanished"));

        // The read that finds the clipboard empty may land before the news of the leaving.
        f.pasteboard.holdReads(false);
        copyAndPoll(f, QStringLiteral("read empty first"));
        const quint64 origin = f.pasteboard.ownerLeaves();
        m.clipboardHistory().poll();
        QVERIFY(!f.pasteboard.contents().text);
        keeper.ownerVanished(origin);
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("read empty first"));
    }

    void onlyWhatTheVanishedOwnerHeldIsOfferedAgain()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        copyAndPoll(f, QStringLiteral("base"));

        // Killed while its copy is still being read: what it held is unknown, and the newest
        // entry is not it.
        f.pasteboard.holdReads(true);
        f.pasteboard.copy({}); // a silent owner, whose read finds nothing
        const qint64 count = f.pasteboard.changeCount();
        keeper.ownerVanished(f.pasteboard.ownerLeaves());
        QCOMPARE(f.pasteboard.changeCount(), count);
        while (f.pasteboard.landRead()) { }
        QVERIFY(!f.pasteboard.clipboard().text);
        QCOMPARE(texts(m), QStringList { QStringLiteral("base") });

        // An owner that changes what it holds without taking the clipboard anew (Tk): what was
        // read of it may be stale when it goes.
        f.pasteboard.holdReads(false);
        f.pasteboard.copy({ QStringLiteral("alpha"), {}, false, false, 0, true });
        f.pasteboard.changeUnannounced(QStringLiteral("beta"));
        const qint64 before = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), before);
        // Nor once a second look found such a change.
        copyAndPoll(f, QStringLiteral("one"));
        f.pasteboard.changeUnannounced(QStringLiteral("two"));
        m.applyDefaultOpenTarget();
        QCOMPARE(texts(m).value(0), QStringLiteral("two"));
        const qint64 after = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), after);
    }

    void aCutCopyIsNotOfferedAgain()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);
        // Long copies are whole, and offered again whole.
        const QString log = QStringLiteral("a line\n").repeated(10000).trimmed();
        copyAndPoll(f, log);
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.clipboard().text, log);
        // One the reader cut would paste a part as if it were the whole.
        f.pasteboard.copy({ QStringLiteral("the first 4 MiB"), {}, false, true });
        QVERIFY(m.clipboardHistory().items().first().cut);
        const qint64 count = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), count);
    }

    void nothingUnrecordedIsOfferedAgain()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m.clipboardHistory(), f.pasteboard);

        // Nothing recorded yet.
        f.pasteboard.copyText(QStringLiteral("   "));
        m.clipboardHistory().poll();
        qint64 count = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), count);

        // A secret after a recorded copy of the same text: the secret is not it.
        copyAndPoll(f, QStringLiteral("hunter2"));
        f.pasteboard.copy({ QStringLiteral("hunter2"), {}, true, false });
        m.clipboardHistory().poll();
        count = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), count);

        // Blank text after a recorded copy.
        copyAndPoll(f, QStringLiteral("recorded"));
        copyAndPoll(f, QStringLiteral(" \n "));
        count = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), count);

        // A history the user cleared.
        copyAndPoll(f, QStringLiteral("recorded"));
        m.clipboardHistory().clear();
        count = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), count);
        QVERIFY(m.clipboardHistory().items().isEmpty());

        // Copied while paused: neither read nor offered, paused or resumed.
        copyAndPoll(f, QStringLiteral("before the pause"));
        m.clipboardHistory().setPaused(true);
        f.pasteboard.copyText(QStringLiteral("while paused"));
        count = f.pasteboard.changeCount();
        vanish(f, keeper);
        QCOMPARE(f.pasteboard.changeCount(), count);
        QCOMPARE(texts(m), QStringList { QStringLiteral("before the pause") });
    }
};

QTEST_GUILESS_MAIN(TestClipboardKeeper)
#include "tst_clipboardkeeper.moc"
