// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"
#include "model/RemovalUndo.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using Column = AppModel::Column;

namespace {

QStringList abc()
{
    return { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") };
}

} // namespace

// Removing one entry or snippet, taking the removal back, and moving a snippet by keys.
class TestRemoval : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aRemovedHistoryEntryComesBackWhereItWas()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll(abc()); // c b a
        const QUuid b = m.clipboardHistory().items().at(1).id;
        m.panelState().selectHistory(b);
        QSignalSpy offered(&m, &AppModel::undoableRemovalChanged);
        m.removeHistoryEntry(b);
        QCOMPARE(texts(m.clipboardHistory().items()),
            (QStringList { QStringLiteral("c"), QStringLiteral("a") }));
        QCOMPARE(m.undoableRemoval(), Column::history);
        QCOMPARE(offered.size(), 1);
        // A copy made meanwhile goes on top; the entry still goes back to its own place.
        f.copyAll({ QStringLiteral("d") });
        QVERIFY(m.undoRemoval());
        QCOMPARE(texts(m.clipboardHistory().items()),
            (QStringList { QStringLiteral("d"), QStringLiteral("c"), QStringLiteral("b"),
                QStringLiteral("a") }));
        QCOMPARE(m.clipboardHistory().items().at(2).id, b);
        QCOMPARE(m.panelState().selectedColumn(), Column::history);
        QCOMPARE(m.panelState().selectedHistoryID(), b);
        QVERIFY(!m.undoableRemoval());
        QVERIFY(!m.undoRemoval()); // once only
    }

    void anEntryCopiedAgainIsNotRestoredTwice()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll(abc());
        m.removeHistoryEntry(m.clipboardHistory().items().first().id);
        f.copyAll({ QStringLiteral("c") });
        // Its text is there already: that counts as back, and the keys stand on it.
        QVERIFY(m.undoRemoval());
        QCOMPARE(texts(m.clipboardHistory().items()),
            (QStringList { QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a") }));
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().first().id);
        QVERIFY(!m.undoableRemoval());
    }

    // An entry holding only part of its copy must not come back, or be saved, as if whole.
    void aCutEntryStaysMarkedCut()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.pasteboard.copy({ QStringLiteral("the start of a long log"), {}, false, true });
        QVERIFY(m.clipboardHistory().items().first().cut);
        const QUuid id = m.clipboardHistory().items().first().id;
        m.removeHistoryEntry(id);
        QVERIFY(m.undoRemoval());
        QCOMPARE(m.clipboardHistory().items().first().id, id);
        QVERIFY(m.clipboardHistory().items().first().cut);
        m.saveHistoryEntryToShelf(id);
        QVERIFY(m.savedSnippets().wasCutOnDrop(m.savedSnippets().items().last().id));
    }

    void aDeletedSnippetComesBackWithItsIdAndIsStored()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const QString &s : abc())
            m.addShelfFromDrop(s);
        const ShelfItem b = m.savedSnippets().items().at(1);
        m.deleteShelf(b.id);
        QCOMPARE(m.undoableRemoval(), Column::saved);
        QVERIFY(m.undoRemoval());
        QCOMPARE(m.savedSnippets().items().at(1), b);
        QCOMPARE(m.panelState().selectedShelfID(), b.id);
        // What the next start reads has it back, in its place.
        f.start();
        QCOMPARE(texts(f.model->savedSnippets().items()), abc());
    }

    void removalsComeBackLatestFirstUntilTheWindowPasses()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const QString &s : abc())
            m.addShelfFromDrop(s);
        f.copyAll({ QStringLiteral("h") });
        m.deleteShelf(m.savedSnippets().items().first().id);
        f.clock.advance(RemovalUndo::window / 2);
        m.removeHistoryEntry(m.clipboardHistory().items().first().id); // the window starts anew
        QCOMPARE(m.undoableRemoval(), Column::history);
        f.clock.advance(RemovalUndo::window - std::chrono::milliseconds(1));
        QVERIFY(m.undoRemoval());
        QCOMPARE(texts(m.clipboardHistory().items()), QStringList { QStringLiteral("h") });
        QCOMPARE(m.undoableRemoval(), Column::saved); // the one before is next
        f.clock.advance(std::chrono::milliseconds(1));
        QVERIFY(!m.undoableRemoval());
        QVERIFY(!m.undoRemoval());
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList { QStringLiteral("b"), QStringLiteral("c") }));
    }

    void aFullListRefusesAndKeepsTheRemovalPending()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (int i = 0; i < AppModel::shelfMax; ++i)
            m.addShelfFromDrop(QStringLiteral("snippet %1").arg(i));
        const ShelfItem removed = m.savedSnippets().items().at(3);
        m.deleteShelf(removed.id);
        m.addShelfFromDrop(QStringLiteral("the 25th again"));
        QSignalSpy beeps(&m, &AppModel::alertBeep);
        QVERIFY(!m.undoRemoval());
        QCOMPARE(beeps.size(), 1);
        QCOMPARE(m.savedSnippets().items().size(), AppModel::shelfMax);
        // Nothing is thrown away: it stays offered, with the reason, for a whole window.
        QCOMPARE(m.undoableRemoval(), Column::saved);
        QCOMPARE(m.undoRefusal(), AppModel::UndoRefusal::savedFull);
        f.clock.advance(RemovalUndo::window - std::chrono::milliseconds(1));
        m.deleteShelf(m.savedSnippets().items().last().id);
        QVERIFY(m.undoRemoval()); // the latest first
        QVERIFY(!m.undoRemoval());
        QCOMPARE(m.undoRefusal(), AppModel::UndoRefusal::savedFull);

        // A history at its limit: the entry that was the oldest has no place left.
        m.settings().setHistoryLimit(25);
        for (int i = 0; i < 25; ++i)
            f.copyAll({ QStringLiteral("copy %1").arg(i) });
        const QUuid oldest = m.clipboardHistory().items().last().id;
        m.removeHistoryEntry(oldest);
        f.copyAll({ QStringLiteral("newer") });
        const QStringList before = texts(m.clipboardHistory().items());
        QVERIFY(!m.undoRemoval());
        QCOMPARE(m.undoRefusal(), AppModel::UndoRefusal::historyFull);
        QCOMPARE(texts(m.clipboardHistory().items()), before);
        QCOMPARE(m.undoableRemoval(), Column::history);
        // One from the middle goes back; the oldest gives way, as it would have to the copy.
        m.removeHistoryEntry(m.clipboardHistory().items().at(5).id);
        f.copyAll({ QStringLiteral("newest") });
        QVERIFY(m.undoRemoval());
        QCOMPARE(m.clipboardHistory().items().size(), 25);
        QCOMPARE(m.clipboardHistory().items().at(6).text, before.at(5));
        QVERIFY(!m.undoRefusal());
    }

    void aRemovalWaitsWhileTheUserIsAtUndo()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll(abc());
        m.removeHistoryEntry(m.clipboardHistory().items().first().id);
        m.setRemovalUndoHeld(true);
        f.clock.advance(RemovalUndo::window * 3);
        QCOMPARE(m.undoableRemoval(), Column::history);
        // Let go, it has a whole window again.
        m.setRemovalUndoHeld(false);
        f.clock.advance(RemovalUndo::window - std::chrono::milliseconds(1));
        QCOMPARE(m.undoableRemoval(), Column::history);
        f.clock.advance(std::chrono::milliseconds(1));
        QVERIFY(!m.undoableRemoval());
    }

    void savingAnEntryAppendsItOnce()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.addShelfFromDrop(QStringLiteral("kept"));
        f.copyAll({ QStringLiteral("new one") });
        QVERIFY(m.saveHistoryEntryToShelf(m.clipboardHistory().items().first().id));
        QVERIFY(
            m.saveHistoryEntryToShelf(m.clipboardHistory().items().first().id)); // saved already
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList { QStringLiteral("kept"), QStringLiteral("new one") }));
        // A full list refuses, so that the caller can say why.
        while (m.savedSnippets().items().size() < AppModel::shelfMax)
            m.addShelfFromDrop(QStringLiteral("snippet %1").arg(m.savedSnippets().items().size()));
        f.copyAll({ QStringLiteral("one too many") });
        QVERIFY(!m.saveHistoryEntryToShelf(m.clipboardHistory().items().first().id));
        QCOMPARE(m.savedSnippets().items().size(), AppModel::shelfMax);
    }

    void snippetsMoveAmongThoseShown()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const QString &s : { QStringLiteral("x1"), QStringLiteral("y"), QStringLiteral("x2") })
            m.addShelfFromDrop(s);
        const QUuid x2 = m.savedSnippets().items().at(2).id;
        QSignalSpy reveals(&m.panelState(), &PanelState::selectionRevealRequested);
        // Filtered to x1 and x2: up from x2 passes the hidden y in one step.
        m.panelState().setQuery(QStringLiteral("x"));
        QVERIFY(m.moveShelfItemBy(x2, -1));
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList { QStringLiteral("x2"), QStringLiteral("x1"), QStringLiteral("y") }));
        QCOMPARE(reveals.count(), 1);
        QVERIFY(!m.moveShelfItemBy(x2, -1)); // at the top
        m.panelState().setQuery(QString());
        QVERIFY(m.moveShelfItemBy(x2, 1));
        QVERIFY(m.moveShelfItemBy(x2, 1));
        QVERIFY(!m.moveShelfItemBy(x2, 1)); // at the bottom
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList { QStringLiteral("x1"), QStringLiteral("y"), QStringLiteral("x2") }));
    }
};

QTEST_GUILESS_MAIN(TestRemoval)
#include "tst_removal.moc"
