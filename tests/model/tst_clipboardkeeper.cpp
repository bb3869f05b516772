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
    for (const HistoryItem &item : model.history())
        out.append(item.text);
    return out;
}

QList<QUuid> ids(const AppModel &model)
{
    QList<QUuid> out;
    for (const HistoryItem &item : model.history())
        out.append(item.id);
    return out;
}

void copyAndPoll(ModelFixture &f, const QString &text)
{
    f.pasteboard.copyText(text);
    f.model->pollClipboard();
}

ClipboardContents text(const QString &t)
{
    return { t, std::nullopt, false, false };
}

} // namespace

class TestClipboardKeeper : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aHandedOverCopyIsKeptWithoutRecordingItAgain()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        copyAndPoll(f, QStringLiteral("older"));
        copyAndPoll(f, QStringLiteral("  quitting \n"));
        const QList<QUuid> before = ids(m);

        QVERIFY(keeper.acceptsHandOver());
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("  quitting \n"))));
        // Served as the program had it, untrimmed.
        QCOMPARE(f.pasteboard.contents().text, QStringLiteral("  quitting \n"));
        m.pollClipboard();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("quitting"), QStringLiteral("older") }));
        QCOMPARE(ids(m), before);

        // Taking over an older entry's text that the watcher saw does not move that entry.
        f.pasteboard.copyText(QStringLiteral("older"));
        m.pollClipboard();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("older"), QStringLiteral("quitting") }));
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("older"))));
        m.pollClipboard();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("older"), QStringLiteral("quitting") }));

        // A cleared history stays cleared.
        copyAndPoll(f, QStringLiteral("cleared later"));
        m.clearHistory();
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("cleared later"))));
        m.pollClipboard();
        QVERIFY(m.history().isEmpty());
        // And the next copy of another program is recorded as usual.
        copyAndPoll(f, QStringLiteral("next"));
        QCOMPARE(texts(m), QStringList { QStringLiteral("next") });
    }

    void aCopyHandedOverBeforeTheWatcherSawItIsRecordedOnce()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        copyAndPoll(f, QStringLiteral("first"));
        f.pasteboard.copyText(QStringLiteral("copied and quit at once"));
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("copied and quit at once"))));
        m.pollClipboard();
        m.pollClipboard();
        QCOMPARE(texts(m),
            (QStringList { QStringLiteral("copied and quit at once"), QStringLiteral("first") }));
    }

    void aCopyRightAfterAHandOverOrAReOfferIsRecorded()
    {
        // The watcher sees both changes in one poll; the first being this program's own
        // write must not swallow the second.
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        copyAndPoll(f, QStringLiteral("handed over"));
        QVERIFY(keeper.keepHandedOver(text(QStringLiteral("handed over"))));
        f.pasteboard.copyText(QStringLiteral("copied right after"));
        m.pollClipboard();
        QCOMPARE(texts(m),
            (QStringList { QStringLiteral("copied right after"), QStringLiteral("handed over") }));

        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.contents().text, QStringLiteral("copied right after"));
        f.pasteboard.copyText(QStringLiteral("and again"));
        m.pollClipboard();
        QCOMPARE(texts(m).value(0), QStringLiteral("and again"));
        QCOMPARE(texts(m).size(), 3);
    }

    void aFileIsHandedOverAsAFile()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        const QString url = QStringLiteral("file:///tmp/a%20b.txt");
        f.pasteboard.copy({ QStringLiteral("/tmp/a b.txt"), url, false });
        m.pollClipboard();
        QVERIFY(keeper.keepHandedOver({ QStringLiteral("/tmp/a b.txt"), url, false, false }));
        QCOMPARE(f.pasteboard.contents().fileURL, url);
        m.pollClipboard();
        QCOMPARE(texts(m), QStringList { url });
        // A URL that is not a local file is kept as text.
        QVERIFY(keeper.keepHandedOver(
            { std::nullopt, QStringLiteral("https://example.org/"), false, false }));
        QCOMPARE(f.pasteboard.contents().text, QStringLiteral("https://example.org/"));
        QCOMPARE(f.pasteboard.contents().fileURL, std::nullopt);
    }

    void handOversThatAreRefused()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        copyAndPoll(f, QStringLiteral("kept"));
        const qint64 count = f.pasteboard.changeCount();

        QVERIFY(!keeper.keepHandedOver({ QStringLiteral("hunter2"), std::nullopt, true, false }));
        // Half a huge text would paste as if whole.
        QVERIFY(!keeper.keepHandedOver(
            { QStringLiteral("the first 4 MiB"), std::nullopt, false, true }));
        // An image, or an owner that did not answer in time: nothing readable.
        QVERIFY(!keeper.keepHandedOver({}));

        m.setIsTrackingPaused(true);
        QVERIFY(!keeper.acceptsHandOver());
        QVERIFY(!keeper.keepHandedOver(text(QStringLiteral("while paused"))));
        QCOMPARE(f.pasteboard.changeCount(), count);
        m.setIsTrackingPaused(false);
        QVERIFY(keeper.acceptsHandOver());
        // Refusals leave the watcher as it was: the next copy is recorded.
        copyAndPoll(f, QStringLiteral("after"));
        QCOMPARE(texts(m), (QStringList { QStringLiteral("after"), QStringLiteral("kept") }));
    }

    void theNewestEntryIsOfferedAgainWhenItsOwnerVanishes()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        copyAndPoll(f, QStringLiteral("older"));
        copyAndPoll(f, QStringLiteral("  crashed \n"));
        const QList<QUuid> before = ids(m);
        const qint64 count = f.pasteboard.changeCount();

        keeper.ownerVanished();
        QVERIFY(f.pasteboard.changeCount() > count);
        QCOMPARE(f.pasteboard.contents().text, QStringLiteral("crashed"));
        m.pollClipboard();
        QCOMPARE(ids(m), before);
        QCOMPARE(texts(m), (QStringList { QStringLiteral("crashed"), QStringLiteral("older") }));
        copyAndPoll(f, QStringLiteral("next"));
        QCOMPARE(texts(m).value(0), QStringLiteral("next"));
    }

    void aFileEntryIsOfferedAgainAsAFile()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        const QString url = QStringLiteral("file:///home/u/r%C3%A9sum%C3%A9.pdf");
        f.pasteboard.copy({ QStringLiteral("/home/u/résumé.pdf"), url, false });
        m.pollClipboard();
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.contents().fileURL, url);
        m.pollClipboard();
        QCOMPARE(texts(m), QStringList { url });
    }

    void aCopyMadeJustBeforeItsOwnerVanishedIsRecordedAndKept()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        copyAndPoll(f, QStringLiteral("older"));
        f.pasteboard.copyText(QStringLiteral("quick"));
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.contents().text, QStringLiteral("quick"));
        m.pollClipboard();
        QCOMPARE(texts(m), (QStringList { QStringLiteral("quick"), QStringLiteral("older") }));
    }

    void aCopyLongerThanAnEntryIsNotOfferedCut()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);
        const QString huge(25000, u'x');
        copyAndPoll(f, huge);
        QCOMPARE(m.history().value(0).text.size(), 20000);
        const qint64 count = f.pasteboard.changeCount();
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.changeCount(), count);
        // One of exactly the entry's length is whole, and offered again.
        copyAndPoll(f, QString(20000, u'y'));
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.contents().text, QString(20000, u'y'));
    }

    void nothingUnrecordedIsOfferedAgain()
    {
        ModelFixture f;
        AppModel &m = f.start();
        ClipboardKeeper keeper(m, f.pasteboard);

        // Nothing recorded yet.
        f.pasteboard.copyText(QStringLiteral("   "));
        m.pollClipboard();
        qint64 count = f.pasteboard.changeCount();
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.changeCount(), count);

        // A secret after a recorded copy of the same text: the secret is not it.
        copyAndPoll(f, QStringLiteral("hunter2"));
        f.pasteboard.copy({ QStringLiteral("hunter2"), std::nullopt, true });
        m.pollClipboard();
        count = f.pasteboard.changeCount();
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.changeCount(), count);

        // Blank text after a recorded copy.
        copyAndPoll(f, QStringLiteral("recorded"));
        copyAndPoll(f, QStringLiteral(" \n "));
        count = f.pasteboard.changeCount();
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.changeCount(), count);

        // A history the user cleared.
        copyAndPoll(f, QStringLiteral("recorded"));
        m.clearHistory();
        count = f.pasteboard.changeCount();
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.changeCount(), count);
        QVERIFY(m.history().isEmpty());

        // Copied while paused: neither read nor offered, paused or resumed.
        copyAndPoll(f, QStringLiteral("before the pause"));
        m.setIsTrackingPaused(true);
        f.pasteboard.copyText(QStringLiteral("while paused"));
        count = f.pasteboard.changeCount();
        keeper.ownerVanished();
        QCOMPARE(f.pasteboard.changeCount(), count);
        QCOMPARE(texts(m), QStringList { QStringLiteral("before the pause") });
    }
};

QTEST_GUILESS_MAIN(TestClipboardKeeper)
#include "tst_clipboardkeeper.moc"
