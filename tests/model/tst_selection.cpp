// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using Column = AppModel::Column;
using Nav = AppModel::Nav;

namespace {

void saveAll(AppModel &m, const QStringList &snippets)
{
    for (const QString &text : snippets)
        m.addShelfFromDrop(text);
}

} // namespace

class TestSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filteringIsATrimmedCaseInsensitiveSubstring()
    {
        ModelFixture f;
        AppModel &m = f.start();
        saveAll(
            m, { QStringLiteral("Snowball"), QStringLiteral("s n o w"), QStringLiteral("other") });
        f.copyAll({ QStringLiteral("BLOWN"), QStringLiteral("nothing") });

        m.setQuery(QStringLiteral("   "));
        QCOMPARE(m.filteredShelf().size(), 3);
        QCOMPARE(m.filteredHistory().size(), 2);

        m.setQuery(QStringLiteral("  OW "));
        QCOMPARE(texts(m.filteredShelf()), QStringList { QStringLiteral("Snowball") });
        QCOMPARE(texts(m.filteredHistory()), QStringList { QStringLiteral("BLOWN") });

        // The cached result follows changes of the lists.
        m.addShelfFromDrop(QStringLiteral("bowl"));
        f.copyAll({ QStringLiteral("tow") });
        QCOMPARE(texts(m.filteredShelf()),
            (QStringList { QStringLiteral("Snowball"), QStringLiteral("bowl") }));
        QCOMPARE(texts(m.filteredHistory()),
            (QStringList { QStringLiteral("tow"), QStringLiteral("BLOWN") }));
        m.saveEditing(m.shelf().first().id, QStringLiteral("Sunball"));
        QCOMPARE(texts(m.filteredShelf()), QStringList { QStringLiteral("bowl") });
    }

    void aQueryFindsEitherCompositionOfAnAccentedLetter()
    {
        const QString composed = QStringLiteral("caf\u00e9");
        const QString decomposed = QStringLiteral("cafe\u0301");
        ModelFixture f;
        AppModel &m = f.start();
        saveAll(m, { QStringLiteral("Menu du ") + decomposed.toUpper(), QStringLiteral("tea") });
        f.copyAll({ composed + QStringLiteral(" au lait"), decomposed + QStringLiteral(" noir"),
            QStringLiteral("cafe") });

        for (const QString &query : { composed, decomposed, QStringLiteral("CAF\u00c9") }) {
            m.setQuery(query);
            QCOMPARE(texts(m.filteredShelf()),
                QStringList { QStringLiteral("Menu du ") + decomposed.toUpper() });
            QCOMPARE(texts(m.filteredHistory()),
                (QStringList {
                    decomposed + QStringLiteral(" noir"), composed + QStringLiteral(" au lait") }));
        }
    }

    void repairKeepsTheSelectionOnAVisibleRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("gamma"), QStringLiteral("beta"), QStringLiteral("alpha") });
        m.selectHistory(m.history().at(1).id); // beta
        m.setQuery(QStringLiteral("mm"));
        m.ensureSelectionValid();
        QCOMPARE(m.selectedHistoryID(), m.history().at(2).id); // gamma, the first match

        // Nothing matches in history: the first snippet that does.
        saveAll(m, { QStringLiteral("summer") });
        m.setQuery(QStringLiteral("umm"));
        m.ensureSelectionValid();
        QCOMPARE(m.selectedColumn(), Column::saved);
        QCOMPARE(m.selectedShelfID(), m.shelf().first().id);

        // Nothing matches anywhere: both ids clear, the column stays.
        m.setQuery(QStringLiteral("zzz"));
        m.ensureSelectionValid();
        QCOMPARE(m.selectedColumn(), Column::saved);
        QVERIFY(m.selectedShelfID().isNull());
        QVERIFY(m.selectedHistoryID().isNull());
    }

    void deletingTheSelectedSnippetSelectsTheNextBestRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        saveAll(m, { QStringLiteral("one"), QStringLiteral("two") });
        f.copyAll({ QStringLiteral("history row") });
        m.selectShelf(m.shelf().at(1).id);
        m.deleteShelf(m.shelf().at(1).id);
        QCOMPARE(m.selectedShelfID(), m.shelf().first().id);
        m.deleteShelf(m.shelf().first().id);
        QCOMPARE(m.selectedColumn(), Column::history);
        QCOMPARE(m.selectedHistoryID(), m.history().first().id);
    }

    void openingSelectsThePreferredColumnsTopRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("h2"), QStringLiteral("h1") });
        m.applyDefaultOpenTarget(); // saved first, but none saved
        QCOMPARE(m.selectedColumn(), Column::history);
        QCOMPARE(m.selectedHistoryID(), m.history().first().id);

        saveAll(m, { QStringLiteral("s1"), QStringLiteral("s2") });
        m.selectShelf(m.shelf().at(1).id);
        m.applyDefaultOpenTarget();
        QCOMPARE(m.selectedShelfID(), m.shelf().first().id);

        m.settings().setDefaultOpenTarget(AppModel::DefaultOpenTarget::historyFirst);
        m.applyDefaultOpenTarget();
        QCOMPARE(m.selectedColumn(), Column::history);
        QCOMPARE(m.selectedHistoryID(), m.history().first().id);
        QVERIFY(m.selectedShelfID().isNull());

        // History first, but the history is filtered empty: the first snippet.
        m.setQuery(QStringLiteral("s"));
        m.applyDefaultOpenTarget();
        QCOMPARE(m.selectedColumn(), Column::saved);
        QCOMPARE(m.selectedShelfID(), m.shelf().first().id);

        m.setQuery(QStringLiteral("nothing at all"));
        m.selectDefaultOnOpen(true);
        QVERIFY(m.selectedShelfID().isNull() && m.selectedHistoryID().isNull());
    }

    void arrowsMoveWithoutWrappingAndAcrossColumns()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"),
            QStringLiteral("2"), QStringLiteral("1") });
        QSignalSpy reveals(&m, &AppModel::selectionRevealRequested);
        m.selectHistory(m.history().at(2).id);
        m.moveSelection(Nav::down);
        QCOMPARE(m.selectedHistoryID(), m.history().at(3).id);
        m.moveSelection(Nav::down);
        m.moveSelection(Nav::down);
        QCOMPARE(m.selectedHistoryID(), m.history().at(4).id);
        QCOMPARE(reveals.count(), 3); // also when the selection stayed at the end
        m.selectHistory(m.history().first().id);
        m.moveSelection(Nav::up);
        QCOMPARE(m.selectedHistoryID(), m.history().first().id);

        // Right with no snippets: the selection stays, and is still revealed.
        reveals.clear();
        m.moveSelection(Nav::right);
        QCOMPARE(m.selectedColumn(), Column::history);
        QCOMPARE(reveals.count(), 1);

        saveAll(m, { QStringLiteral("a"), QStringLiteral("b") });
        m.selectHistory(m.history().at(1).id);
        m.moveSelection(Nav::right);
        QCOMPARE(m.selectedColumn(), Column::saved);
        QCOMPARE(m.selectedShelfID(), m.shelf().first().id);
        m.moveSelection(Nav::down);
        // Back left: the history id was cleared by selecting a snippet, so its first row.
        m.moveSelection(Nav::left);
        QCOMPARE(m.selectedHistoryID(), m.history().first().id);

        // Up or down in a column filtered empty changes nothing at all.
        m.setQuery(QStringLiteral("a"));
        m.selectHistory({});
        m.setSelectedColumn(Column::history);
        reveals.clear();
        m.setQuery(QStringLiteral("nothing"));
        m.moveSelection(Nav::down);
        QCOMPARE(reveals.count(), 0);
    }

    void handingOverMovesHistory()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("fourth"), QStringLiteral("third"), QStringLiteral("second"),
            QStringLiteral("first") });
        const QUuid id = m.history().at(3).id;
        m.selectHistory(id);
        QCOMPARE(m.activateSelectedItemTextForPasteboard(), QStringLiteral("fourth"));
        QCOMPARE(m.history().first().id, id);

        // The write that follows is not recorded again.
        f.pasteboard.writeString(QStringLiteral("fourth"));
        m.pollClipboard();
        QCOMPARE(m.history().size(), 4);
        QCOMPARE(m.history().first().id, id);

        // A snippet is handed over as it is; the history is untouched.
        saveAll(m, { QStringLiteral("snippet") });
        m.selectShelf(m.shelf().first().id);
        QCOMPARE(m.activateSelectedItemTextForPasteboard(), QStringLiteral("snippet"));
        QCOMPARE(m.history().size(), 4);

        m.selectShelf({});
        QCOMPARE(m.activateSelectedItemTextForPasteboard(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
