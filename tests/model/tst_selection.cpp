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

        m.panelState().setQuery(QStringLiteral("   "));
        QCOMPARE(m.panelState().filteredShelf().size(), 3);
        QCOMPARE(m.panelState().filteredHistory().size(), 2);

        m.panelState().setQuery(QStringLiteral("  OW "));
        QCOMPARE(texts(m.panelState().filteredShelf()), QStringList { QStringLiteral("Snowball") });
        QCOMPARE(texts(m.panelState().filteredHistory()), QStringList { QStringLiteral("BLOWN") });

        // The cached result follows changes of the lists.
        m.addShelfFromDrop(QStringLiteral("bowl"));
        f.copyAll({ QStringLiteral("tow") });
        QCOMPARE(texts(m.panelState().filteredShelf()),
            (QStringList { QStringLiteral("Snowball"), QStringLiteral("bowl") }));
        QCOMPARE(texts(m.panelState().filteredHistory()),
            (QStringList { QStringLiteral("tow"), QStringLiteral("BLOWN") }));
        m.saveEditing(m.savedSnippets().items().first().id, QStringLiteral("Sunball"));
        QCOMPARE(texts(m.panelState().filteredShelf()), QStringList { QStringLiteral("bowl") });
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
            m.panelState().setQuery(query);
            QCOMPARE(texts(m.panelState().filteredShelf()),
                QStringList { QStringLiteral("Menu du ") + decomposed.toUpper() });
            QCOMPARE(texts(m.panelState().filteredHistory()),
                (QStringList {
                    decomposed + QStringLiteral(" noir"), composed + QStringLiteral(" au lait") }));
        }
    }

    void repairKeepsTheSelectionOnAVisibleRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("gamma"), QStringLiteral("beta"), QStringLiteral("alpha") });
        m.panelState().selectHistory(m.clipboardHistory().items().at(1).id); // beta
        m.panelState().setQuery(QStringLiteral("mm"));
        m.panelState().ensureSelectionValid();
        QCOMPARE(m.panelState().selectedHistoryID(),
            m.clipboardHistory().items().at(2).id); // gamma, the first match

        // Nothing matches in history: the first snippet that does.
        saveAll(m, { QStringLiteral("summer") });
        m.panelState().setQuery(QStringLiteral("umm"));
        m.panelState().ensureSelectionValid();
        QCOMPARE(m.panelState().selectedColumn(), Column::saved);
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().first().id);

        // Nothing matches anywhere: both ids clear, the column stays.
        m.panelState().setQuery(QStringLiteral("zzz"));
        m.panelState().ensureSelectionValid();
        QCOMPARE(m.panelState().selectedColumn(), Column::saved);
        QVERIFY(m.panelState().selectedShelfID().isNull());
        QVERIFY(m.panelState().selectedHistoryID().isNull());
    }

    void deletingTheSelectedSnippetSelectsTheNextBestRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        saveAll(m, { QStringLiteral("one"), QStringLiteral("two") });
        f.copyAll({ QStringLiteral("history row") });
        m.panelState().selectShelf(m.savedSnippets().items().at(1).id);
        m.deleteShelf(m.savedSnippets().items().at(1).id);
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().first().id);
        m.deleteShelf(m.savedSnippets().items().first().id);
        QCOMPARE(m.panelState().selectedColumn(), Column::history);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().first().id);
    }

    void openingSelectsThePreferredColumnsTopRow()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("h2"), QStringLiteral("h1") });
        m.applyDefaultOpenTarget(); // saved first, but none saved
        QCOMPARE(m.panelState().selectedColumn(), Column::history);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().first().id);

        saveAll(m, { QStringLiteral("s1"), QStringLiteral("s2") });
        m.panelState().selectShelf(m.savedSnippets().items().at(1).id);
        m.applyDefaultOpenTarget();
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().first().id);

        m.settings().setDefaultOpenTarget(AppModel::DefaultOpenTarget::historyFirst);
        m.applyDefaultOpenTarget();
        QCOMPARE(m.panelState().selectedColumn(), Column::history);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().first().id);
        QVERIFY(m.panelState().selectedShelfID().isNull());

        // History first, but the history is filtered empty: the first snippet.
        m.panelState().setQuery(QStringLiteral("s"));
        m.applyDefaultOpenTarget();
        QCOMPARE(m.panelState().selectedColumn(), Column::saved);
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().first().id);

        m.panelState().setQuery(QStringLiteral("nothing at all"));
        m.panelState().selectDefaultOnOpen(true);
        QVERIFY(m.panelState().selectedShelfID().isNull()
            && m.panelState().selectedHistoryID().isNull());
    }

    void aRowTheUserChoseStaysAsCopiesLand()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.settings().setDefaultOpenTarget(AppModel::DefaultOpenTarget::historyFirst);
        f.copyAll({ QStringLiteral("older"), QStringLiteral("old") });
        m.applyDefaultOpenTarget();
        f.copyAll({ QStringLiteral("new") });
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("new"));
        // A row under the pointer or clicked is selected on the panel state: the user's.
        m.panelState().selectHistory(m.clipboardHistory().items().last().id);
        f.copyAll({ QStringLiteral("newer") });
        QCOMPARE(m.panelState().selectedText(), QStringLiteral("older"));
    }

    void arrowsMoveWithoutWrappingAndAcrossColumns()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"),
            QStringLiteral("2"), QStringLiteral("1") });
        QSignalSpy reveals(&m.panelState(), &PanelState::selectionRevealRequested);
        m.panelState().selectHistory(m.clipboardHistory().items().at(2).id);
        m.panelState().moveSelection(Nav::down);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().at(3).id);
        m.panelState().moveSelection(Nav::down);
        m.panelState().moveSelection(Nav::down);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().at(4).id);
        QCOMPARE(reveals.count(), 3); // also when the selection stayed at the end
        m.panelState().selectHistory(m.clipboardHistory().items().first().id);
        m.panelState().moveSelection(Nav::up);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().first().id);

        // Right with no snippets: the selection stays, and is still revealed.
        reveals.clear();
        m.panelState().moveSelection(Nav::right);
        QCOMPARE(m.panelState().selectedColumn(), Column::history);
        QCOMPARE(reveals.count(), 1);

        saveAll(m, { QStringLiteral("a"), QStringLiteral("b") });
        m.panelState().selectHistory(m.clipboardHistory().items().at(1).id);
        m.panelState().moveSelection(Nav::right);
        QCOMPARE(m.panelState().selectedColumn(), Column::saved);
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().first().id);
        m.panelState().moveSelection(Nav::down);
        // Back left: the history id was cleared by selecting a snippet, so its first row.
        m.panelState().moveSelection(Nav::left);
        QCOMPARE(m.panelState().selectedHistoryID(), m.clipboardHistory().items().first().id);

        // Up or down in a column filtered empty changes nothing at all.
        m.panelState().setQuery(QStringLiteral("a"));
        m.panelState().selectHistory({});
        m.panelState().setSelectedColumn(Column::history);
        reveals.clear();
        m.panelState().setQuery(QStringLiteral("nothing"));
        m.panelState().moveSelection(Nav::down);
        QCOMPARE(reveals.count(), 0);
    }

    void handingOverMovesHistory()
    {
        ModelFixture f;
        AppModel &m = f.start();
        f.copyAll({ QStringLiteral("fourth"), QStringLiteral("third"), QStringLiteral("second"),
            QStringLiteral("first") });
        const QUuid id = m.clipboardHistory().items().at(3).id;
        m.panelState().selectHistory(id);
        QCOMPARE(m.activateSelectedItemTextForPasteboard(), QStringLiteral("fourth"));
        QCOMPARE(m.clipboardHistory().items().first().id, id);

        // The write that follows is not recorded again.
        f.pasteboard.writeString(QStringLiteral("fourth"));
        m.clipboardHistory().poll();
        QCOMPARE(m.clipboardHistory().items().size(), 4);
        QCOMPARE(m.clipboardHistory().items().first().id, id);

        // A snippet is handed over as it is; the history is untouched.
        saveAll(m, { QStringLiteral("snippet") });
        m.panelState().selectShelf(m.savedSnippets().items().first().id);
        QCOMPARE(m.activateSelectedItemTextForPasteboard(), QStringLiteral("snippet"));
        QCOMPARE(m.clipboardHistory().items().size(), 4);

        m.panelState().selectShelf({});
        QCOMPARE(m.activateSelectedItemTextForPasteboard(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
