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
        const QUuid b = m.history().at(1).id;
        m.selectHistory(b);
        QSignalSpy offered(&m, &AppModel::undoableRemovalChanged);
        m.removeHistoryEntry(b);
        QCOMPARE(texts(m.history()), (QStringList { QStringLiteral("c"), QStringLiteral("a") }));
        QCOMPARE(m.undoableRemoval(), Column::history);
        QCOMPARE(offered.size(), 1);
        // A copy made meanwhile goes on top; the entry still goes back to its own place.
        f.copyAll({ QStringLiteral("d") });
        QVERIFY(m.undoRemoval());
        QCOMPARE(texts(m.history()),
            (QStringList { QStringLiteral("d"), QStringLiteral("c"), QStringLiteral("b"),
                QStringLiteral("a") }));
        QCOMPARE(m.history().at(2).id, b);
        QCOMPARE(m.selectedColumn(), Column::history);
        QCOMPARE(m.selectedHistoryID(), b);
        QVERIFY(!m.undoableRemoval());
        QVERIFY(!m.undoRemoval()); // once only
    }

    void anEntryCopiedAgainIsNotRestoredTwice()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll(abc());
        m.removeHistoryEntry(m.history().first().id);
        f.copyAll({ QStringLiteral("c") });
        // Its text is there already: that counts as back, and the keys stand on it.
        QVERIFY(m.undoRemoval());
        QCOMPARE(texts(m.history()),
            (QStringList { QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a") }));
        QCOMPARE(m.selectedHistoryID(), m.history().first().id);
        QVERIFY(!m.undoableRemoval());
    }

    // An entry holding only part of its copy must not come back, or be saved, as if whole.
    void aCutEntryStaysMarkedCut()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.pasteboard.copy({ QStringLiteral("the start of a long log"), {}, false, true });
        QVERIFY(m.history().first().cut);
        const QUuid id = m.history().first().id;
        m.removeHistoryEntry(id);
        QVERIFY(m.undoRemoval());
        QCOMPARE(m.history().first().id, id);
        QVERIFY(m.history().first().cut);
        m.saveHistoryEntryToShelf(id);
        QVERIFY(m.snippetWasCutOnDrop(m.shelf().last().id));
    }

    void aDeletedSnippetComesBackWithItsIdAndIsStored()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const QString &s : abc())
            m.addShelfFromDrop(s);
        const ShelfItem b = m.shelf().at(1);
        m.deleteShelf(b.id);
        QCOMPARE(m.undoableRemoval(), Column::saved);
        QVERIFY(m.undoRemoval());
        QCOMPARE(m.shelf().at(1), b);
        QCOMPARE(m.selectedShelfID(), b.id);
        // What the next start reads has it back, in its place.
        f.start();
        QCOMPARE(texts(f.model->shelf()), abc());
    }

    void removalsComeBackLatestFirstUntilTheWindowPasses()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const QString &s : abc())
            m.addShelfFromDrop(s);
        f.copyAll({ QStringLiteral("h") });
        m.deleteShelf(m.shelf().first().id);
        f.clock.advance(RemovalUndo::window / 2);
        m.removeHistoryEntry(m.history().first().id); // the window starts anew
        QCOMPARE(m.undoableRemoval(), Column::history);
        f.clock.advance(RemovalUndo::window - std::chrono::milliseconds(1));
        QVERIFY(m.undoRemoval());
        QCOMPARE(texts(m.history()), QStringList { QStringLiteral("h") });
        QCOMPARE(m.undoableRemoval(), Column::saved); // the one before is next
        f.clock.advance(std::chrono::milliseconds(1));
        QVERIFY(!m.undoableRemoval());
        QVERIFY(!m.undoRemoval());
        QCOMPARE(texts(m.shelf()), (QStringList { QStringLiteral("b"), QStringLiteral("c") }));
    }

    void aFullListRefusesAndKeepsTheRemovalPending()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (int i = 0; i < AppModel::shelfMax; ++i)
            m.addShelfFromDrop(QStringLiteral("snippet %1").arg(i));
        const ShelfItem removed = m.shelf().at(3);
        m.deleteShelf(removed.id);
        m.addShelfFromDrop(QStringLiteral("the 25th again"));
        QSignalSpy beeps(&m, &AppModel::alertBeep);
        QVERIFY(!m.undoRemoval());
        QCOMPARE(beeps.size(), 1);
        QCOMPARE(m.shelf().size(), AppModel::shelfMax);
        // Nothing is thrown away: it stays offered, with the reason, for a whole window.
        QCOMPARE(m.undoableRemoval(), Column::saved);
        QCOMPARE(m.undoRefusal(), AppModel::UndoRefusal::savedFull);
        f.clock.advance(RemovalUndo::window - std::chrono::milliseconds(1));
        m.deleteShelf(m.shelf().last().id);
        QVERIFY(m.undoRemoval()); // the latest first
        QVERIFY(!m.undoRemoval());
        QCOMPARE(m.undoRefusal(), AppModel::UndoRefusal::savedFull);

        // A history at its limit: the entry that was the oldest has no place left.
        m.settings().setHistoryLimit(25);
        for (int i = 0; i < 25; ++i)
            f.copyAll({ QStringLiteral("copy %1").arg(i) });
        const QUuid oldest = m.history().last().id;
        m.removeHistoryEntry(oldest);
        f.copyAll({ QStringLiteral("newer") });
        const QStringList before = texts(m.history());
        QVERIFY(!m.undoRemoval());
        QCOMPARE(m.undoRefusal(), AppModel::UndoRefusal::historyFull);
        QCOMPARE(texts(m.history()), before);
        QCOMPARE(m.undoableRemoval(), Column::history);
        // One from the middle goes back; the oldest gives way, as it would have to the copy.
        m.removeHistoryEntry(m.history().at(5).id);
        f.copyAll({ QStringLiteral("newest") });
        QVERIFY(m.undoRemoval());
        QCOMPARE(m.history().size(), 25);
        QCOMPARE(m.history().at(6).text, before.at(5));
        QVERIFY(!m.undoRefusal());
    }

    void aRemovalWaitsWhileTheUserIsAtUndo()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll(abc());
        m.removeHistoryEntry(m.history().first().id);
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
        QVERIFY(m.saveHistoryEntryToShelf(m.history().first().id));
        QVERIFY(m.saveHistoryEntryToShelf(m.history().first().id)); // saved already
        QCOMPARE(
            texts(m.shelf()), (QStringList { QStringLiteral("kept"), QStringLiteral("new one") }));
        // A full list refuses, so that the caller can say why.
        while (m.shelf().size() < AppModel::shelfMax)
            m.addShelfFromDrop(QStringLiteral("snippet %1").arg(m.shelf().size()));
        f.copyAll({ QStringLiteral("one too many") });
        QVERIFY(!m.saveHistoryEntryToShelf(m.history().first().id));
        QCOMPARE(m.shelf().size(), AppModel::shelfMax);
    }

    void snippetsMoveAmongThoseShown()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const QString &s : { QStringLiteral("x1"), QStringLiteral("y"), QStringLiteral("x2") })
            m.addShelfFromDrop(s);
        const QUuid x2 = m.shelf().at(2).id;
        QSignalSpy reveals(&m, &AppModel::selectionRevealRequested);
        // Filtered to x1 and x2: up from x2 passes the hidden y in one step.
        m.setQuery(QStringLiteral("x"));
        QVERIFY(m.moveShelfItemBy(x2, -1));
        QCOMPARE(texts(m.shelf()),
            (QStringList { QStringLiteral("x2"), QStringLiteral("x1"), QStringLiteral("y") }));
        QCOMPARE(reveals.count(), 1);
        QVERIFY(!m.moveShelfItemBy(x2, -1)); // at the top
        m.setQuery(QString());
        QVERIFY(m.moveShelfItemBy(x2, 1));
        QVERIFY(m.moveShelfItemBy(x2, 1));
        QVERIFY(!m.moveShelfItemBy(x2, 1)); // at the bottom
        QCOMPARE(texts(m.shelf()),
            (QStringList { QStringLiteral("x1"), QStringLiteral("y"), QStringLiteral("x2") }));
    }
};

QTEST_GUILESS_MAIN(TestRemoval)
#include "tst_removal.moc"
