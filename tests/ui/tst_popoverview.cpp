// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"
#include "ui/panel/HistoryColumn.h"
#include "ui/panel/HistoryRow.h"
#include "ui/panel/OverlayScrollBar.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/SavedColumn.h"
#include "ui/panel/ShelfRow.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

struct Panel {
    ModelFixture f;
    QStringList copied;
    int pinToggles = 0;
    int preferences = 0;
    std::unique_ptr<PopoverView> view;

    explicit Panel(const QStringList &snippets = {}, const QStringList &copies = {})
    {
        AppModel &m = f.start();
        for (const QString &s : snippets)
            m.addShelfFromDrop(s);
        for (const QString &c : copies) {
            f.pasteboard.copyText(c);
            m.pollClipboard();
        }
        view = std::make_unique<PopoverView>(m,
            PopoverView::Callbacks {
                [this](const QString &t) { copied << t; },
                [this] { ++preferences; },
                [this] { ++pinToggles; },
            });
        view->resize(640, 420);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->activateWindow();
        QCoreApplication::processEvents();
    }
    AppModel &model() { return *f.model; }
    HistoryColumn *history() { return view->historyColumn(); }
    SavedColumn *saved() { return view->savedColumn(); }

    QStringList historyShown()
    {
        QStringList out;
        for (HistoryRow *row : history()->visibleRows())
            if (row->isVisible())
                out << row->shownText();
        return out;
    }
    QStringList badges()
    {
        QStringList out;
        for (ShelfRow *row : saved()->visibleRows())
            out << row->shortcutLabel();
        return out;
    }
};

void hover(QWidget *widget)
{
    QEnterEvent enter(
        QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), widget->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(widget, &enter);
}

QStringList numbered(int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("snippet %1").arg(i);
    return out;
}

} // namespace

class TestPopoverView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void historyRowsFollowTheModel()
    {
        Panel p({},
            { QStringLiteral("file:///home/a/Report.pdf"), QStringLiteral("FILE:///tmp/"),
                QStringLiteral("file://"), QStringLiteral("plain\nsecond line") });
        QCOMPARE(p.historyShown(),
            (QStringList { QStringLiteral("plain\u2026"), QStringLiteral("file://"),
                QStringLiteral("tmp"), QStringLiteral("Report.pdf") }));
        QCOMPARE(p.history()->header()->subtitle(), QStringLiteral("Up to 25"));
        p.model().setHistoryLimit(50);
        QCOMPARE(p.history()->header()->subtitle(), QStringLiteral("Up to 50"));

        QVERIFY(p.history()->emptyState()->isHidden());
        p.model().setQuery(QStringLiteral("nothing like it"));
        QVERIFY(p.historyShown().isEmpty());
        QCOMPARE(p.history()->emptyState()->text(), QStringLiteral("No results"));
        QVERIFY(!p.history()->emptyState()->isHidden());

        p.model().setQuery(QString());
        p.view->clearButton()->click();
        QVERIFY(p.model().history().isEmpty());
        p.model().setQuery(QStringLiteral("x"));
        QCOMPARE(p.history()->emptyState()->text(), QStringLiteral("No history yet"));
    }

    void rowsSayWhatTheirTextDoesNotShow()
    {
        // 76,826 bytes: 75 KB, as the caps count (in units of 1024 bytes).
        const QString log = QStringLiteral("0123456789\n").repeated(6985).left(76826);
        Panel p({},
            { log, QStringLiteral("file:///tmp/a.txt\nfile:///tmp/b.txt\nfile:///tmp/c.txt"),
                QStringLiteral("short") });
        const QList<HistoryItem> &h = p.model().history();
        HistoryRow *shortRow = p.history()->row(h.at(0).id);
        HistoryRow *files = p.history()->row(h.at(1).id);
        HistoryRow *logRow = p.history()->row(h.at(2).id);
        QCOMPARE(shortRow->note(), QString());
        QCOMPARE(files->shownText(), QStringLiteral("a.txt"));
        QCOMPARE(files->note(), QStringLiteral("+2 more"));
        QCOMPARE(logRow->note(), QStringLiteral("75 KB"));
        QCOMPARE(HistoryRow::sizeText(4 * 1024 * 1024), QStringLiteral("4.0 MB"));
        // The row and its drag read the preview, not the whole text; copying takes it whole.
        QCOMPARE(logRow->text().size(), 20000);
        QTest::mouseClick(logRow, Qt::LeftButton);
        QCOMPARE(p.copied, QStringList { log });

        // Cut to keep the history's memory bounded, the same row says so.
        p.model().setHistoryLimit(100);
        for (int i = 0; i < 10; ++i)
            p.f.pasteboard.copyText(QString::number(i) + QString(4 * 1024 * 1024 - 1, u'x'));
        const auto logEntry = std::find_if(
            h.begin(), h.end(), [&](const HistoryItem &item) { return item.id == logRow->id(); });
        QVERIFY(logEntry != h.end() && logEntry->cut);
        QCOMPARE(p.history()->row(logEntry->id), logRow);
        QCOMPARE(logRow->note(), QStringLiteral("cut"));
    }

    void typingReusesRows()
    {
        Panel p({ QStringLiteral("alpha") }, { QStringLiteral("one"), QStringLiteral("two") });
        HistoryRow *one = p.history()->row(p.model().history().at(1).id);
        ShelfRow *alpha = p.saved()->row(p.model().shelf().first().id);
        p.model().setQuery(QStringLiteral("tw"));
        QVERIFY(one->isHidden());
        p.model().setQuery(QString());
        QCOMPARE(p.history()->row(p.model().history().at(1).id), one);
        QCOMPARE(p.saved()->row(p.model().shelf().first().id), alpha);
        QVERIFY(!one->isHidden());
    }

    void badgesFollowTheFilteredList()
    {
        Panel p(numbered(12));
        QStringList expected;
        for (int i = 1; i <= 9; ++i)
            expected << QStringLiteral("Ctrl+%1").arg(i);
        expected << QString() << QString() << QString();
        QCOMPARE(p.badges(), expected);

        // Snippets 4 and 7 only... and 10, 11, 12 do not contain "4" or "7".
        p.model().setQuery(QStringLiteral("snippet 4"));
        QCOMPARE(p.badges(), QStringList { QStringLiteral("Ctrl+1") });
        p.model().setQuery(QStringLiteral("1"));
        QCOMPARE(p.badges(),
            (QStringList { QStringLiteral("Ctrl+1"), QStringLiteral("Ctrl+2"),
                QStringLiteral("Ctrl+3"), QStringLiteral("Ctrl+4") }));
    }

    void theAddRowAndTheSavedEmptyState()
    {
        Panel p;
        QCOMPARE(p.saved()->addRow()->text(),
            QStringLiteral("Drag from History or add a snippet\u2026"));
        p.model().addShelfFromDrop(QStringLiteral("x"));
        QCOMPARE(p.saved()->addRow()->text(), QStringLiteral("Add a snippet\u2026"));
        QVERIFY(!p.saved()->addRow()->isHidden());
        QVERIFY(p.saved()->emptyState()->isHidden());

        p.model().setQuery(QStringLiteral("x"));
        QVERIFY(p.saved()->addRow()->isHidden());
        QVERIFY(p.saved()->emptyState()->isHidden());
        p.model().setQuery(QStringLiteral("y"));
        QVERIFY(!p.saved()->emptyState()->isHidden());
        QCOMPARE(p.saved()->emptyState()->text(), QStringLiteral("No results"));
    }

    void hoverSelectsAndClickCopies()
    {
        Panel p({ QStringLiteral("saved text") },
            { QStringLiteral("file:///tmp/a.txt"), QStringLiteral("newest") });
        HistoryRow *fileRow = p.history()->row(p.model().history().at(1).id);
        hover(fileRow);
        QCOMPARE(p.model().selectedColumn(), AppModel::Column::history);
        QCOMPARE(p.model().selectedHistoryID(), fileRow->id());
        QVERIFY(fileRow->isSelected());

        QTest::mouseClick(fileRow, Qt::LeftButton);
        QCOMPARE(p.copied, QStringList { QStringLiteral("file:///tmp/a.txt") }); // the full text
        QCOMPARE(p.model().history().first().id, fileRow->id());

        ShelfRow *snippet = p.saved()->row(p.model().shelf().first().id);
        hover(snippet);
        QVERIFY(snippet->isSelected());
        QVERIFY(!fileRow->isSelected()); // one selection in the whole panel
        QVERIFY(snippet->showsActions());
        QVERIFY(!snippet->showsBadge());

        QTest::mouseClick(snippet->dragHandle(), Qt::LeftButton);
        QCOMPARE(p.copied.size(), 1); // the handle never copies
        QTest::mouseClick(
            snippet, Qt::LeftButton, {}, QPoint(snippet->width() / 2 - 40, snippet->height() / 2));
        QCOMPARE(p.copied.last(), QStringLiteral("saved text"));
    }

    void theEditorCommitsAbandonsAndCuts()
    {
        Panel p({ QStringLiteral("first"), QStringLiteral("second") });
        const QUuid id = p.model().shelf().first().id;
        ShelfRow *row = p.saved()->row(id);
        p.model().startEditing(id);
        QVERIFY(row->isEditing());
        QCOMPARE(row->draftText(), QStringLiteral("first"));
        QTRY_VERIFY(row->editor()->hasFocus());

        row->editor()->setPlainText(QStringLiteral("  first, edited \n"));
        p.view->searchField()->setFocus(); // focus leaves the editor: the edit commits
        QTRY_VERIFY(!row->isEditing());
        QCOMPARE(p.model().shelf().first().text, QStringLiteral("first, edited"));
        QCOMPARE(row->shownText(), QStringLiteral("first, edited"));

        // Escape (the key map clears editingID) keeps the previous text.
        p.model().startEditing(id);
        QTRY_VERIFY(row->editor() && row->editor()->hasFocus());
        row->editor()->setPlainText(QStringLiteral("thrown away"));
        p.model().setEditingID({});
        QVERIFY(!row->isEditing());
        QCOMPARE(p.model().shelf().first().text, QStringLiteral("first, edited"));

        // Pasting past the limit keeps the first 20000 characters.
        p.model().startEditing(id);
        row->editor()->setPlainText(QString(30000, u'p'));
        QCOMPARE(row->draftText().size(), 20000);
        p.model().setEditingID({});
    }

    void addingASnippetOpensItsEditorAndAnAbandonedOneGoes()
    {
        Panel p({ QStringLiteral("kept") });
        QTest::mouseClick(p.saved()->addRow(), Qt::LeftButton);
        QCOMPARE(p.model().shelf().size(), 2);
        const QUuid fresh = p.model().editingID();
        ShelfRow *row = p.saved()->row(fresh);
        QVERIFY(row && row->isEditing());
        QTRY_VERIFY(row->editor()->hasFocus());

        p.model().setEditingID({}); // Escape: an empty row stays
        QCOMPARE(p.model().shelf().size(), 2);
        ShelfRow *kept = p.saved()->row(p.model().shelf().first().id);
        hover(kept);
        kept->editButton()->click();
        QCOMPARE(p.model().shelf().size(), 1);
        QVERIFY(kept->isEditing());

        // Starting another edit commits the open one first.
        kept->editor()->setPlainText(QStringLiteral("kept, changed"));
        QTest::mouseClick(p.saved()->addRow(), Qt::LeftButton);
        QCOMPARE(p.model().shelf().first().text, QStringLiteral("kept, changed"));
        QCOMPARE(p.model().shelf().size(), 2);
    }

    void deleteFromTheHoverPill()
    {
        Panel p({ QStringLiteral("a"), QStringLiteral("b") });
        ShelfRow *row = p.saved()->row(p.model().shelf().first().id);
        hover(row);
        row->deleteButton()->click();
        QCOMPARE(p.model().shelf().size(), 1);
        QCOMPARE(p.badges(), QStringList { QStringLiteral("Ctrl+1") });
    }

    void aBlankQueryIsClearedOnTheNextTurn()
    {
        Panel p({ QStringLiteral("a") });
        QTest::keyClicks(p.view->searchField(), QStringLiteral("   "));
        QCOMPARE(p.model().query(), QStringLiteral("   "));
        QTRY_COMPARE(p.model().query(), QString());
        QCOMPARE(p.view->searchField()->text(), QString());

        QTest::keyClicks(p.view->searchField(), QStringLiteral(" a "));
        QCoreApplication::processEvents();
        QCOMPARE(p.model().query(), QStringLiteral(" a "));
    }

    void theFooterFollowsThePresentation()
    {
        Panel p;
        QVERIFY(!p.view->pinButton()->isHidden());
        QVERIFY(!p.view->resizeGrip()->isHidden());
        // The footer's empty middle, between "Clear" and the pin, is a handle that moves the
        // window, not the bar the buttons sit on.
        QWidget *clear = p.view->clearButton();
        const QPoint middle
            = clear->mapTo(p.view.get(), QPoint(clear->width() + 60, clear->height() / 2));
        QVERIFY(qobject_cast<WindowDragHandle *>(p.view->childAt(middle)));
        QCOMPARE(p.view->pinButton()->toolTip(), QStringLiteral("Pin (keep open after copy)"));
        p.view->pinButton()->click();
        QVERIFY(p.model().keepWindowPinned());
        QCOMPARE(p.pinToggles, 1);
        QCOMPARE(p.view->pinButton()->toolTip(), QStringLiteral("Unpin (close after copy)"));
        p.view->settingsButton()->click();
        QCOMPARE(p.preferences, 1);
        QCOMPARE(p.view->settingsButton()->toolTip(), QStringLiteral("Preferences"));

        p.model().setOpenPresentation(AppModel::OpenPresentation::menubarPopover);
        QVERIFY(p.view->pinButton()->isHidden());
        QVERIFY(p.view->resizeGrip()->isHidden());
        for (QWidget *strip : p.view->edgeStrips())
            QVERIFY(strip->isHidden());
        QVERIFY(!p.view->clearButton()->isHidden());
        QVERIFY(!p.view->settingsButton()->isHidden());
    }

    void keyboardMovesScrollTheSelectionIntoView()
    {
        Panel p;
        p.model().setHistoryLimit(100);
        for (int i = 0; i < 60; ++i) {
            p.f.pasteboard.copyText(QStringLiteral("entry %1").arg(i));
            p.model().pollClipboard();
        }
        p.model().applyDefaultOpenTarget();
        QScrollBar *bar = p.history()->scrollArea()->verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        for (int i = 0; i < 40; ++i)
            p.model().selectHistory(p.model().history().at(i).id);
        p.model().moveSelection(AppModel::Nav::down);
        QTRY_VERIFY(bar->value() > 0);
        // It settles with the row in the middle of the column.
        HistoryRow *row = p.history()->row(p.model().selectedHistoryID());
        const QScrollArea *area = p.history()->scrollArea();
        const int centred = std::clamp(
            row->y() + row->height() / 2 - area->viewport()->height() / 2, 0, bar->maximum());
        QTRY_COMPARE(bar->value(), centred);

        // Moving in the other column leaves this one where it is.
        p.model().addShelfFromDrop(QStringLiteral("s"));
        p.model().moveSelection(AppModel::Nav::right);
        p.model().moveSelection(AppModel::Nav::down);
        QTest::qWait(50);
        QCOMPARE(bar->value(), centred);
    }

    void theScrollersTakeNoRoomAndShowOnlyWhileScrolling()
    {
        Panel p(numbered(25));
        QScrollArea *area = p.saved()->scrollArea();
        OverlayScrollBar *bar = p.saved()->overlayBar();
        QCOMPARE(area->viewport()->width(), area->width());
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        QVERIFY(bar->isHidden());
        area->verticalScrollBar()->setValue(40);
        QVERIFY(bar->isVisible());
        QVERIFY(area->viewport()->geometry().contains(bar->geometry()));
        QCOMPARE(area->viewport()->width(), area->width());
        QTRY_VERIFY(bar->isHidden());
        // The bar scrolls the content as the area's own would.
        bar->setValue(0);
        QCOMPARE(area->verticalScrollBar()->value(), 0);
    }

    void theBadgeLeavesTheTextItsRoom()
    {
        Panel p({ QString(200, u'w') });
        ShelfRow *row = p.saved()->visibleRows().first();
        QTRY_VERIFY(row->showsBadge());
        QCoreApplication::processEvents();
        // The text ends before the badge begins, however wide "Ctrl+1" is drawn.
        QVERIFY2(row->textGeometry().right() < row->badgeGeometry().left(),
            qPrintable(QStringLiteral("text ends at %1, badge starts at %2")
                           .arg(row->textGeometry().right())
                           .arg(row->badgeGeometry().left())));
    }

    void theEmptySavedColumnSaysItsSentenceWhole()
    {
        Panel p;
        p.view->resize(PopoverView::minimumPanelSize);
        QCoreApplication::processEvents();
        QLabel *label = p.saved()->addRow()->label();
        QCOMPARE(label->text(), QStringLiteral("Drag from History or add a snippet\u2026"));
        // At the smallest size the column is narrower than the sentence: it wraps, and every
        // line of it fits.
        const QFontMetrics metrics(label->font());
        QVERIFY(metrics.horizontalAdvance(label->text()) > label->contentsRect().width());
        const QRect needed
            = metrics.boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
        QVERIFY2(needed.height() <= label->contentsRect().height(),
            qPrintable(QStringLiteral("needs %1 px, has %2")
                           .arg(needed.height())
                           .arg(label->contentsRect().height())));
        QVERIFY(needed.width() <= label->contentsRect().width());
    }

    void aRestingPointerSelectsNothingUntilItMoves()
    {
        Panel p({}, { QStringLiteral("older"), QStringLiteral("newest") });
        p.view->hide();
        p.model().applyDefaultOpenTarget();
        HistoryRow *older = p.history()->row(p.model().history().at(1).id);
        // The panel appears with the pointer resting over the second row.
        QCursor::setPos(older->mapToGlobal(QPoint(5, 5)));
        p.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(p.view.get()));
        const QUuid opened = p.model().selectedHistoryID();
        QCOMPARE(opened, p.model().history().first().id);
        const QPointF resting = QCursor::pos();
        QEnterEvent enter(QPointF(5, 5), resting, resting);
        QCoreApplication::sendEvent(older, &enter);
        QMouseEvent still(
            QEvent::MouseMove, QPointF(5, 5), resting, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(older, &still);
        QCOMPARE(p.model().selectedHistoryID(), opened);

        // Once it moves, pointing selects.
        const QPointF moved = resting + QPointF(3, 0);
        QMouseEvent move(
            QEvent::MouseMove, QPointF(8, 5), moved, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(older, &move);
        QCOMPARE(p.model().selectedHistoryID(), older->id());
    }

    // The list changes under a still pointer: the hover look goes with the row the pointer
    // is over now, never with two rows at once.
    void theHoverLookFollowsThePointerWhenRowsMove()
    {
        Panel p(numbered(3));
        const QList<ShelfRow *> rows = p.saved()->visibleRows();
        QCOMPARE(rows.size(), 3);
        ShelfRow *first = rows.at(0);
        QCursor::setPos(first->mapToGlobal(QPoint(20, first->height() / 2)));
        hover(first);
        QVERIFY(first->showsActions());

        ShelfRow *third = rows.at(2);
        p.model().setQuery(third->text()); // the third row slides up under the pointer
        QCoreApplication::processEvents();
        QVERIFY(third->isVisible());
        QVERIFY(third->showsActions());
        QVERIFY(!first->showsActions());

        p.model().setQuery(QString());
        QCoreApplication::processEvents();
        QVERIFY(first->showsActions());
        QVERIFY(!first->showsBadge());
        int showing = 0;
        for (ShelfRow *row : rows)
            showing += row->showsActions() ? 1 : 0;
        QCOMPARE(showing, 1);
        QVERIFY(third->showsBadge());
    }

    void onlyLeavingTheEditForThePanelCommitsIt()
    {
        Panel p({ QStringLiteral("first") });
        const QUuid id = p.model().shelf().first().id;
        ShelfRow *row = p.saved()->row(id);
        p.model().startEditing(id);
        QTRY_VERIFY(row->editor() && row->editor()->hasFocus());
        row->editor()->setPlainText(QStringLiteral("draft"));

        // Its own context menu, or another application, takes focus for a while: the edit
        // goes on.
        for (const Qt::FocusReason reason : { Qt::PopupFocusReason, Qt::ActiveWindowFocusReason }) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QCoreApplication::sendEvent(row->editor(), &out);
            QVERIFY(row->isEditing());
            QCOMPARE(p.model().editingID(), id);
        }

        // The panel closes by anything at all (a popup's widgets get no focus-out): saved.
        p.view->hide();
        QVERIFY(!row->isEditing());
        QVERIFY(p.model().editingID().isNull());
        QCOMPARE(p.model().shelf().first().text, QStringLiteral("draft"));

        // An abandoned edit is not saved by the close.
        p.view->show();
        p.model().startEditing(id);
        row->editor()->setPlainText(QStringLiteral("thrown away"));
        p.model().setEditingID({});
        p.view->hide();
        QCOMPARE(p.model().shelf().first().text, QStringLiteral("draft"));
    }

    void aPressInAColumnLeavesTheSearchFieldFocused()
    {
        // Dragging a row starts with a press on it; typing afterwards still filters.
        Panel p({ QStringLiteral("saved") }, { QStringLiteral("copied") });
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        HistoryRow *row = p.history()->visibleRows().first();
        QTest::mousePress(row, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(p.view->searchField()->hasFocus());
        QTest::mouseRelease(row, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QWidget *below = p.saved()->scrollArea()->viewport();
        const QPoint empty(5, below->height() - 5);
        QTest::mousePress(below, Qt::LeftButton, Qt::NoModifier, empty);
        QTest::mouseRelease(below, Qt::LeftButton, Qt::NoModifier, empty);
        QVERIFY(p.view->searchField()->hasFocus());
    }

    void showingFocusesTheSearchField()
    {
        Panel p({ QStringLiteral("a") });
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        p.view->historyColumn()->setFocus();
        p.model().setFocusSearchTick(p.model().focusSearchTick() + 1);
        QTRY_VERIFY(p.view->searchField()->hasFocus());
    }
};

QTEST_MAIN(TestPopoverView)
#include "tst_popoverview.moc"
