// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelFixture.h"
#include "model/RemovalUndo.h"
#include "ui/KeyNames.h"
#include "ui/panel/HistoryColumn.h"
#include "ui/panel/HistoryRow.h"
#include "ui/panel/OverlayScrollBar.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/ShelfColumn.h"
#include "ui/panel/ShelfRow.h"
#include "ui/panel/UndoBar.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QMenu>

#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

struct Panel : PanelFixture {
    using PanelFixture::PanelFixture;

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

// The open row menu's items, and whether each is enabled.
QStringList menuItems(QMenu *menu)
{
    QStringList out;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator())
            out << action->text() + (action->isEnabled() ? "" : " (off)");
    }
    return out;
}

QMenu *openMenuOn(QWidget *row)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), row->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(row, &event);
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

QAction *menuAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QStringList numbered(int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("snippet %1").arg(i);
    return out;
}

} // namespace

class TestPanelView : public QObject {
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
        p.model().settings().setHistoryLimit(50);
        QCOMPARE(p.history()->header()->subtitle(), QStringLiteral("Up to 50"));

        QVERIFY(p.history()->emptyState()->isHidden());
        p.model().panelState().setQuery(QStringLiteral("nothing like it"));
        QVERIFY(p.historyShown().isEmpty());
        QCOMPARE(p.history()->emptyState()->text(), QStringLiteral("No results"));
        QVERIFY(!p.history()->emptyState()->isHidden());

        p.model().panelState().setQuery(QString());
        p.view->clearButton()->click();
        QVERIFY(p.model().clipboardHistory().items().isEmpty());
        p.model().panelState().setQuery(QStringLiteral("x"));
        QCOMPARE(p.history()->emptyState()->text(), QStringLiteral("No history yet"));
    }

    void rowsSayWhatTheirTextDoesNotShow()
    {
        // 76,826 bytes: 75 KB, as the caps count (in units of 1024 bytes).
        const QString log = QStringLiteral("0123456789\n").repeated(6985).left(76826);
        Panel p({},
            { log, QStringLiteral("file:///tmp/a.txt\nfile:///tmp/b.txt\nfile:///tmp/c.txt"),
                QStringLiteral("short") });
        const QList<HistoryItem> &h = p.model().clipboardHistory().items();
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
        p.model().settings().setHistoryLimit(100);
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
        HistoryRow *one = p.history()->row(p.model().clipboardHistory().items().at(1).id);
        ShelfRow *alpha = p.saved()->row(p.model().savedSnippets().items().first().id);
        p.model().panelState().setQuery(QStringLiteral("tw"));
        QVERIFY(one->isHidden());
        p.model().panelState().setQuery(QString());
        QCOMPARE(p.history()->row(p.model().clipboardHistory().items().at(1).id), one);
        QCOMPARE(p.saved()->row(p.model().savedSnippets().items().first().id), alpha);
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
        p.model().panelState().setQuery(QStringLiteral("snippet 4"));
        QCOMPARE(p.badges(), QStringList { QStringLiteral("Ctrl+1") });
        p.model().panelState().setQuery(QStringLiteral("1"));
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

        p.model().panelState().setQuery(QStringLiteral("x"));
        QVERIFY(p.saved()->addRow()->isHidden());
        QVERIFY(p.saved()->emptyState()->isHidden());
        p.model().panelState().setQuery(QStringLiteral("y"));
        QVERIFY(!p.saved()->emptyState()->isHidden());
        QCOMPARE(p.saved()->emptyState()->text(), QStringLiteral("No results"));
    }

    void hoverSelectsAndClickCopies()
    {
        Panel p({ QStringLiteral("saved text") },
            { QStringLiteral("file:///tmp/a.txt"), QStringLiteral("newest") });
        HistoryRow *fileRow = p.history()->row(p.model().clipboardHistory().items().at(1).id);
        hover(fileRow);
        QCOMPARE(p.model().panelState().selectedColumn(), AppModel::Column::history);
        QCOMPARE(p.model().panelState().selectedHistoryID(), fileRow->id());
        QVERIFY(fileRow->isSelected());

        QTest::mouseClick(fileRow, Qt::LeftButton);
        QCOMPARE(p.copied, QStringList { QStringLiteral("file:///tmp/a.txt") }); // the full text
        QCOMPARE(p.model().clipboardHistory().items().first().id, fileRow->id());

        ShelfRow *snippet = p.saved()->row(p.model().savedSnippets().items().first().id);
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
        const QUuid id = p.model().savedSnippets().items().first().id;
        ShelfRow *row = p.saved()->row(id);
        p.model().savedSnippets().startEditing(id);
        QVERIFY(row->isEditing());
        QCOMPARE(row->draftText(), QStringLiteral("first"));
        QTRY_VERIFY(row->editor()->hasFocus());

        row->editor()->setPlainText(QStringLiteral("  first, edited \n"));
        p.view->searchField()->setFocus(); // focus leaves the editor: the edit commits
        QTRY_VERIFY(!row->isEditing());
        QCOMPARE(p.model().savedSnippets().items().first().text, QStringLiteral("first, edited"));
        QCOMPARE(row->shownText(), QStringLiteral("first, edited"));

        // Escape (the key map clears editingID) keeps the previous text.
        p.model().savedSnippets().startEditing(id);
        QTRY_VERIFY(row->editor() && row->editor()->hasFocus());
        row->editor()->setPlainText(QStringLiteral("thrown away"));
        p.model().savedSnippets().setEditingID({});
        QVERIFY(!row->isEditing());
        QCOMPARE(p.model().savedSnippets().items().first().text, QStringLiteral("first, edited"));

        // Pasting past the limit keeps the first 20000 characters.
        p.model().savedSnippets().startEditing(id);
        row->editor()->setPlainText(QString(30000, u'p'));
        QCOMPARE(row->draftText().size(), 20000);
        p.model().savedSnippets().setEditingID({});
    }

    void addingASnippetOpensItsEditorAndAnAbandonedOneGoes()
    {
        Panel p({ QStringLiteral("kept") });
        QTest::mouseClick(p.saved()->addRow(), Qt::LeftButton);
        QCOMPARE(p.model().savedSnippets().items().size(), 2);
        const QUuid fresh = p.model().savedSnippets().editingID();
        ShelfRow *row = p.saved()->row(fresh);
        QVERIFY(row && row->isEditing());
        QTRY_VERIFY(row->editor()->hasFocus());

        p.model().savedSnippets().setEditingID({}); // Escape: an empty row stays
        QCOMPARE(p.model().savedSnippets().items().size(), 2);
        ShelfRow *kept = p.saved()->row(p.model().savedSnippets().items().first().id);
        hover(kept);
        kept->editButton()->click();
        QCOMPARE(p.model().savedSnippets().items().size(), 1);
        QVERIFY(kept->isEditing());

        // Starting another edit commits the open one first.
        kept->editor()->setPlainText(QStringLiteral("kept, changed"));
        QTest::mouseClick(p.saved()->addRow(), Qt::LeftButton);
        QCOMPARE(p.model().savedSnippets().items().first().text, QStringLiteral("kept, changed"));
        QCOMPARE(p.model().savedSnippets().items().size(), 2);
    }

    void deleteFromTheHoverPill()
    {
        Panel p({ QStringLiteral("a"), QStringLiteral("b") });
        ShelfRow *row = p.saved()->row(p.model().savedSnippets().items().first().id);
        hover(row);
        row->deleteButton()->click();
        QCOMPARE(p.model().savedSnippets().items().size(), 1);
        QCOMPARE(p.badges(), QStringList { QStringLiteral("Ctrl+1") });
    }

    void aBlankQueryIsClearedOnTheNextTurn()
    {
        Panel p({ QStringLiteral("a") });
        QTest::keyClicks(p.view->searchField(), QStringLiteral("   "));
        QCOMPARE(p.model().panelState().query(), QStringLiteral("   "));
        QTRY_COMPARE(p.model().panelState().query(), QString());
        QCOMPARE(p.view->searchField()->text(), QString());

        QTest::keyClicks(p.view->searchField(), QStringLiteral(" a "));
        QCoreApplication::processEvents();
        QCOMPARE(p.model().panelState().query(), QStringLiteral(" a "));
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
        QVERIFY(p.model().settings().keepWindowPinned());
        QCOMPARE(p.view->pinButton()->toolTip(), QStringLiteral("Unpin (close after copy)"));
        p.view->settingsButton()->click();
        QCOMPARE(p.actions.calls, QStringList { QStringLiteral("preferences") });
        QCOMPARE(p.view->settingsButton()->toolTip(), QStringLiteral("Preferences (Ctrl+,)"));
        // The grip says what it does where the pointer rests on it.
        QWidget *grip = p.view->resizeGrip();
        const QPoint centre = grip->rect().center();
        QWidget *under = grip->childAt(centre) ? grip->childAt(centre) : grip;
        QHelpEvent help(QEvent::ToolTip, under->mapFrom(grip, centre), grip->mapToGlobal(centre));
        QCoreApplication::sendEvent(under, &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("Drag to resize"));
        QToolTip::hideText();

        p.model().settings().setOpenPresentation(AppModel::OpenPresentation::menubarPopover);
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
        p.model().settings().setHistoryLimit(100);
        for (int i = 0; i < 60; ++i) {
            p.f.pasteboard.copyText(QStringLiteral("entry %1").arg(i));
            p.model().clipboardHistory().poll();
        }
        p.model().applyDefaultOpenTarget();
        QScrollBar *bar = p.history()->scrollArea()->verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        for (int i = 0; i < 40; ++i)
            p.model().panelState().selectHistory(p.model().clipboardHistory().items().at(i).id);
        p.model().panelState().moveSelection(AppModel::Nav::down);
        QTRY_VERIFY(bar->value() > 0);
        // It settles with the row in the middle of the column.
        HistoryRow *row = p.history()->row(p.model().panelState().selectedHistoryID());
        const QScrollArea *area = p.history()->scrollArea();
        const int centred = std::clamp(
            row->y() + row->height() / 2 - area->viewport()->height() / 2, 0, bar->maximum());
        QTRY_COMPARE(bar->value(), centred);

        // Moving in the other column leaves this one where it is.
        p.model().addShelfFromDrop(QStringLiteral("s"));
        p.model().panelState().moveSelection(AppModel::Nav::right);
        p.model().panelState().moveSelection(AppModel::Nav::down);
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
        p.view->resize(PanelView::minimumPanelSize);
        QCoreApplication::processEvents();
        QLabel *label = p.saved()->addRow()->label();
        QCOMPARE(label->text(), QStringLiteral("Drag from History or add a snippet\u2026"));
        // At the smallest size the column is narrower than the sentence: it wraps, and every
        // line of it fits. Where the default font draws it narrow enough for one line, a
        // larger size of that font makes it wider than the column again.
        QFont font = label->font();
        while (QFontMetrics(font).horizontalAdvance(label->text()) <= label->contentsRect().width())
            font.setPixelSize(font.pixelSize() + 1);
        label->setFont(font);
        const QFontMetrics metrics(label->font());
        const auto needed = [&] {
            return metrics.boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
        };
        QTRY_VERIFY2(needed().height() <= label->contentsRect().height(),
            qPrintable(QStringLiteral("needs %1 px, has %2")
                           .arg(needed().height())
                           .arg(label->contentsRect().height())));
        QVERIFY(needed().height() > metrics.lineSpacing()); // wrapped
        QVERIFY(needed().width() <= label->contentsRect().width());
    }

    void aRestingPointerSelectsNothingUntilItMoves()
    {
        Panel p({}, { QStringLiteral("older"), QStringLiteral("newest") });
        p.view->hide();
        p.model().applyDefaultOpenTarget();
        HistoryRow *older = p.history()->row(p.model().clipboardHistory().items().at(1).id);
        // The panel appears with the pointer resting over the second row.
        QCursor::setPos(older->mapToGlobal(QPoint(5, 5)));
        p.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(p.view.get()));
        const QUuid opened = p.model().panelState().selectedHistoryID();
        QCOMPARE(opened, p.model().clipboardHistory().items().first().id);
        const QPointF resting = QCursor::pos();
        QEnterEvent enter(QPointF(5, 5), resting, resting);
        QCoreApplication::sendEvent(older, &enter);
        QMouseEvent still(
            QEvent::MouseMove, QPointF(5, 5), resting, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(older, &still);
        QCOMPARE(p.model().panelState().selectedHistoryID(), opened);

        // Once it moves, pointing selects.
        const QPointF moved = resting + QPointF(3, 0);
        QMouseEvent move(
            QEvent::MouseMove, QPointF(8, 5), moved, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(older, &move);
        QCOMPARE(p.model().panelState().selectedHistoryID(), older->id());
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
        p.model().panelState().setQuery(third->text()); // the third row slides up under the pointer
        QCoreApplication::processEvents();
        QVERIFY(third->isVisible());
        QVERIFY(third->showsActions());
        QVERIFY(!first->showsActions());

        p.model().panelState().setQuery(QString());
        QCoreApplication::processEvents();
        QVERIFY(first->showsActions());
        QVERIFY(!first->showsBadge());
        int showing = 0;
        for (ShelfRow *row : rows)
            showing += row->showsActions() ? 1 : 0;
        QCOMPARE(showing, 1);
        QVERIFY(third->showsBadge());
    }

    // The column scrolls under a still pointer (the wheel, a new snippet's editor brought
    // into view): the edit and delete buttons go to the row now under it.
    void theHoverLookFollowsThePointerWhenTheColumnScrolls()
    {
        Panel p(numbered(25));
        const QList<ShelfRow *> rows = p.saved()->visibleRows();
        ShelfRow *second = rows.at(1);
        QCursor::setPos(second->mapToGlobal(QPoint(20, second->height() / 2)));
        hover(second);
        QVERIFY(second->showsActions());

        QScrollBar *bar = p.saved()->scrollArea()->verticalScrollBar();
        bar->setValue(bar->value() + rows.at(4)->y() - rows.at(1)->y());
        QCoreApplication::processEvents();
        ShelfRow *under = nullptr;
        int showing = 0;
        for (ShelfRow *row : rows) {
            if (row->rect().contains(row->mapFromGlobal(QCursor::pos())))
                under = row;
            showing += row->showsActions() ? 1 : 0;
        }
        QCOMPARE(under, rows.at(4));
        QVERIFY(under->showsActions());
        QVERIFY(second->showsBadge());
        QCOMPARE(showing, 1);

        // The pointer goes on to the add row. Qt tells the row it saw the pointer enter
        // that the pointer left, not the one that slid under it.
        AddShelfRow *add = p.saved()->addRow();
        p.saved()->scrollArea()->verticalScrollBar()->setValue(bar->maximum());
        QCoreApplication::processEvents();
        QCursor::setPos(add->mapToGlobal(add->rect().center()));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(second, &leave);
        hover(add);
        for (ShelfRow *row : rows)
            QVERIFY2(!row->showsActions(), qPrintable(row->text()));
    }

    void onlyLeavingTheEditForThePanelCommitsIt()
    {
        Panel p({ QStringLiteral("first") });
        const QUuid id = p.model().savedSnippets().items().first().id;
        ShelfRow *row = p.saved()->row(id);
        p.model().savedSnippets().startEditing(id);
        QTRY_VERIFY(row->editor() && row->editor()->hasFocus());
        row->editor()->setPlainText(QStringLiteral("draft"));

        // Its own context menu, or another application, takes focus for a while: the edit
        // goes on.
        for (const Qt::FocusReason reason : { Qt::PopupFocusReason, Qt::ActiveWindowFocusReason }) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QCoreApplication::sendEvent(row->editor(), &out);
            QVERIFY(row->isEditing());
            QCOMPARE(p.model().savedSnippets().editingID(), id);
        }

        // The panel closes by anything at all (a popup's widgets get no focus-out): saved.
        p.view->hide();
        QVERIFY(!row->isEditing());
        QVERIFY(p.model().savedSnippets().editingID().isNull());
        QCOMPARE(p.model().savedSnippets().items().first().text, QStringLiteral("draft"));

        // An abandoned edit is not saved by the close.
        p.view->show();
        p.model().savedSnippets().startEditing(id);
        row->editor()->setPlainText(QStringLiteral("thrown away"));
        p.model().savedSnippets().setEditingID({});
        p.view->hide();
        QCOMPARE(p.model().savedSnippets().items().first().text, QStringLiteral("draft"));
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
        p.view->focusSearch();
        QTRY_VERIFY(p.view->searchField()->hasFocus());
    }

    void rowsAreAListThatReadersCanRead()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two") },
            { QStringLiteral("h1"), QStringLiteral("h2\nsecond line") });
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(p.history()->content());
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("History"));
        QCOMPARE(list->childCount(), 2);
        QAccessibleInterface *row = list->child(0);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("h2\u2026"));
        QCOMPARE(row->childCount(), 0); // the drawn text is the row's name, not a child

        QAccessibleInterface *saved = QAccessible::queryAccessibleInterface(p.saved()->content());
        QCOMPARE(saved->text(QAccessible::Name), QStringLiteral("Saved"));
        QCOMPARE(
            saved->child(1)->text(QAccessible::Name), QStringLiteral("Saved 2 of 2: two, Ctrl+2"));
        QAccessibleInterface *add = saved->child(2);
        QCOMPARE(add->role(), QAccessible::Button);
        QCOMPARE(add->text(QAccessible::Name), QStringLiteral("Add a snippet\u2026"));
        // Filtered, the list holds only what shows, numbered as shown.
        p.model().panelState().setQuery(QStringLiteral("tw"));
        QCOMPARE(saved->childCount(), 1);
        QCOMPARE(
            saved->child(0)->text(QAccessible::Name), QStringLiteral("Saved 1 of 1: two, Ctrl+1"));
        p.model().panelState().setQuery(QString());

        p.model().panelState().selectShelf(p.model().savedSnippets().items().first().id);
        QVERIFY(saved->child(0)->state().selected);
        QVERIFY(!saved->child(1)->state().selected);
        add->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(p.model().savedSnippets().items().size(), 3);
        QCOMPARE(
            p.model().savedSnippets().editingID(), p.model().savedSnippets().items().last().id);

        auto nameOf = [](QWidget *w) {
            return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        };
        QCOMPARE(nameOf(p.view->searchField()), QStringLiteral("Search"));
        QCOMPARE(nameOf(p.view->clearButton()), QStringLiteral("Clear history"));
        QCOMPARE(nameOf(p.view->settingsButton()), QStringLiteral("Preferences"));
        QCOMPARE(nameOf(p.view->pinButton()), QStringLiteral("Pin"));
        QVERIFY(!QAccessible::queryAccessibleInterface(p.view->pinButton())->state().checked);
        p.view->pinButton()->click();
        QVERIFY(QAccessible::queryAccessibleInterface(p.view->pinButton())->state().checked);
        QAccessibleInterface *grip = QAccessible::queryAccessibleInterface(p.view->resizeGrip());
        QCOMPARE(grip->role(), QAccessible::Grip);
        QCOMPARE(grip->text(QAccessible::Name), QStringLiteral("Resize"));
        for (QWidget *strip : p.view->edgeStrips())
            QVERIFY(QAccessible::queryAccessibleInterface(strip)->state().invisible);
    }

    void theSelectedRowStandsForTheFocus()
    {
        // The event itself needs a reader's bridge: tst_desk_accessibility hears it.
        Panel p({}, { QStringLiteral("h1"), QStringLiteral("h2") });
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        p.model().panelState().selectHistory(p.model().clipboardHistory().items().first().id);
        p.model().panelState().moveSelection(AppModel::Nav::down);
        auto state = [&p](int i) {
            return QAccessible::queryAccessibleInterface(p.history()->visibleRows().at(i))->state();
        };
        QVERIFY(!state(0).focused);
        QVERIFY(state(1).focused && state(1).selected);
        // With the keys on a button, the row is only selected: readers hear the button.
        p.view->clearButton()->setFocus();
        QVERIFY(!state(1).focused && state(1).selected);
    }

    void aFilterThatEmptiesBothListsSaysSo()
    {
        Panel p({ QStringLiteral("saved") }, { QStringLiteral("copied") });
        auto description = [&p] { return p.view->searchField()->accessibleDescription(); };
        p.model().panelState().setQuery(QStringLiteral("sav"));
        QTRY_COMPARE(p.model().panelState().selectedColumn(), AppModel::Column::saved);
        QCOMPARE(description(), QString());
        p.model().panelState().setQuery(QStringLiteral("nothing like it"));
        QTRY_COMPARE(description(), QStringLiteral("No results"));
        p.model().panelState().setQuery(QStringLiteral("cop"));
        QTRY_COMPARE(description(), QString());
    }

    void anEndedEditGivesTheKeysBackOnTheRowEdited()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two") });
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        p.model().panelState().selectShelf(p.model().savedSnippets().items().first().id);
        const QUuid second = p.model().savedSnippets().items().at(1).id;
        ShelfRow *row = p.saved()->row(second);
        hover(row);
        row->editButton()->click();
        QTRY_VERIFY(row->editor() && row->editor()->hasFocus());
        row->editor()->setPlainText(QStringLiteral("two, edited"));
        row->editor()->clearFocus(); // what Return does through the key map
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        QCOMPARE(p.model().savedSnippets().items().at(1).text, QStringLiteral("two, edited"));
        QCOMPARE(p.model().panelState().selectedShelfID(), second);
        QVERIFY(QAccessible::queryAccessibleInterface(row)->state().focused);

        // Abandoned with Escape, likewise.
        p.model().panelState().selectShelf(p.model().savedSnippets().items().first().id);
        p.model().savedSnippets().startEditing(second);
        QTRY_VERIFY(row->editor() && row->editor()->hasFocus());
        p.model().savedSnippets().setEditingID({});
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        QCOMPARE(p.model().panelState().selectedShelfID(), second);
    }

    void aRowsMenuOffersWhatAppliesAndDeletingCanBeUndone()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two") }, { QStringLiteral("h") });
        QMenu *menu = openMenuOn(p.history()->visibleRows().first());
        QVERIFY(menu);
        QCOMPARE(menuItems(menu),
            (QStringList { QStringLiteral("Copy"), QStringLiteral("Save to Saved"),
                QStringLiteral("Delete") }));
        QCOMPARE(p.model().panelState().selectedColumn(), AppModel::Column::history);
        // Each item shows its key; Return is the highlighted item's, not Copy's.
        QAction *remove = menuAction(menu, QStringLiteral("Delete"));
        QCOMPARE(remove->shortcut(), QKeySequence(Qt::Key_Delete));
        menu->setActiveAction(remove);
        QTest::keyClick(menu, Qt::Key_Return);
        QVERIFY(p.model().clipboardHistory().items().isEmpty());
        QVERIFY(p.copied.isEmpty());
        UndoBar *bar = p.history()->undoBar();
        QVERIFY(bar->isVisible());
        QVERIFY(!p.saved()->undoBar()->isVisible());
        QCOMPARE(bar->label()->text() + u' ' + bar->undoButton()->text(),
            QStringLiteral("Deleted. Undo"));
        bar->undoButton()->click();
        QCOMPARE(p.model().clipboardHistory().items().size(), 1);
        QVERIFY(!bar->isVisible());

        menu = openMenuOn(p.saved()->visibleRows().first());
        QCOMPARE(menuItems(menu),
            (QStringList { QStringLiteral("Copy"), QStringLiteral("Edit"), QStringLiteral("Delete"),
                QStringLiteral("Move Up (off)"), QStringLiteral("Move Down") }));
        menuAction(menu, QStringLiteral("Move Down"))->trigger();
        menu->close();
        QCOMPARE(p.model().savedSnippets().items().last().text, QStringLiteral("one"));
        menu = openMenuOn(p.saved()->visibleRows().first());
        menuAction(menu, QStringLiteral("Copy"))->trigger();
        menu->close();
        QCOMPARE(p.copied, QStringList { QStringLiteral("two") });
    }

    void theUndoBarWaitsWhileItHasTheKeysAndSaysWhyItCannotUndo()
    {
        Panel p(numbered(AppModel::shelfMax), { QStringLiteral("h") });
        AppModel &m = p.model();
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        m.removeHistoryEntry(m.clipboardHistory().items().first().id);
        UndoBar *bar = p.history()->undoBar();
        bar->undoButton()->setFocus();
        p.f.clock.advance(RemovalUndo::window * 3);
        QVERIFY(bar->isVisible());
        p.view->searchField()->setFocus();
        p.f.clock.advance(RemovalUndo::window);
        QVERIFY(!bar->isVisible());

        // Saved filled again meanwhile: the bar stays, and says why.
        m.deleteShelf(m.savedSnippets().items().first().id);
        m.addShelfFromDrop(QStringLiteral("one more"));
        bar = p.saved()->undoBar();
        bar->undoButton()->setFocus();
        bar->undoButton()->click();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->label()->text(), QStringLiteral("Saved is full, so it cannot go back."));
        QCOMPARE(bar->accessibleName(), bar->label()->text());
        QCOMPARE(m.savedSnippets().items().size(), AppModel::shelfMax);
        // With room again it goes back; the bar goes, and the keys go back to the search
        // field, not to the next button.
        p.f.clock.advance(RemovalUndo::window * 3);
        m.saveEditing(m.savedSnippets().items().last().id, QString()); // emptied, so dropped
        bar->undoButton()->click();
        QCOMPARE(m.savedSnippets().items().first().text, QStringLiteral("snippet 1"));
        QVERIFY(!bar->isVisible());
        QTRY_VERIFY(p.view->searchField()->hasFocus());
    }

    void keyNamesAreTheKeyboardsOwn()
    {
        KeyNames::install(); // as the program does
        Panel p({ QStringLiteral("a") });
        ShelfRow *row = p.saved()->visibleRows().first();
        QCOMPARE(row->deleteButton()->toolTip(), QStringLiteral("Delete (Delete)"));
        QMenu *menu = openMenuOn(row);
        QVERIFY(menu);
        QCOMPARE(menuAction(menu, QStringLiteral("Delete"))
                     ->shortcut()
                     .toString(QKeySequence::NativeText),
            QStringLiteral("Delete"));
        menu->close();
    }

    void tabGoesThroughTheControlsInReadingOrder()
    {
        Panel p({ QStringLiteral("one") }, { QStringLiteral("h") });
        QTRY_VERIFY(p.view->searchField()->hasFocus());
        p.model().removeHistoryEntry(
            p.model().clipboardHistory().items().first().id); // shows the history's Undo
        QList<QWidget *> reached;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget();
        }
        QCOMPARE(reached,
            (QList<QWidget *> { p.history()->undoBar()->undoButton(), p.saved()->addRow(),
                p.view->clearButton(), p.view->pinButton(), p.view->settingsButton(),
                p.view->searchField() }));
        // Space presses the button that has focus; Return too.
        p.view->pinButton()->setFocus();
        QTest::keyClick(p.view->pinButton(), Qt::Key_Return);
        QTRY_VERIFY(p.model().settings().keepWindowPinned());
        p.saved()->addRow()->setFocus();
        QTest::keyClick(p.saved()->addRow(), Qt::Key_Space);
        QCOMPARE(p.model().savedSnippets().items().size(), 2);
    }
};

QTEST_MAIN(TestPanelView)
#include "tst_panelview.moc"
