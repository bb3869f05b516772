// SPDX-License-Identifier: GPL-3.0-or-later
// Drag and drop into the saved column: what a drop carries, what the row and column
// handlers decide, their arbitration (on an injected clock), the live reorder and the
// widgets that must refuse a snippet's handle drag.
#include "FakePanelActions.h"
#include "ManualQuietTimer.h"
#include "PanelFixture.h"
#include "ui/panel/DragAutoScroller.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/ShelfColumn.h"
#include "ui/panel/ShelfDropDelegate.h"
#include "ui/panel/ShelfRow.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;

namespace {

std::unique_ptr<QMimeData> mimeWith(const QString &format, const QByteArray &bytes)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setData(format, bytes);
    return mime;
}

std::unique_ptr<QMimeData> plainText(const QString &text)
{
    return DragPayload::forHistoryEntry(text);
}

QStringList texts(const QList<ShelfItem> &items)
{
    QStringList out;
    for (const ShelfItem &item : items)
        out << item.text;
    return out;
}

struct Panel : PanelFixture {
    explicit Panel(const QStringList &snippets = {}, QSize size = { 640, 420 })
        : PanelFixture(snippets, {}, size)
    {
    }
    ShelfRow *rowAt(int index)
    {
        return saved()->row(model().savedSnippets().items().at(index).id);
    }
    QStringList shelf() { return texts(model().savedSnippets().items()); }
};

// Delivers a drag to `widget` at `at` as Qt delivers it: entering, moving, then dropping,
// each passed up to the first widget that takes it. Returns whether the drop was taken.
bool dropOn(QWidget *widget, const QMimeData &mime, QPoint at = { 4, 4 },
    Qt::DropActions actions = Qt::CopyAction)
{
    QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, actions, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget, &move);
    QDropEvent drop(at, actions, &mime, Qt::NoButton, {});
    QCoreApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

bool entered(QWidget *widget, const QMimeData &mime, Qt::DropActions actions = Qt::CopyAction)
{
    QDragEnterEvent enter(QPoint(4, 4), actions, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget, &enter);
    return enter.isAccepted();
}

} // namespace

class TestShelfDrop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theDroppedTextIsReadFromItsRawBytes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // null: nothing is taken

        QTest::newRow("charset utf-8")
            << "text/plain;charset=utf-8" << QByteArray("  caf\xc3\xa9 \n") << "café";
        QTest::newRow("charset in capitals")
            << "text/plain;charset=UTF-8" << QByteArray("x") << "x";
        QTest::newRow("UTF8_STRING") << "UTF8_STRING" << QByteArray("\xe2\x82\xac 5") << "€ 5";
        QTest::newRow("plain") << "text/plain" << QByteArray("plain") << "plain";
        QTest::newRow("a C string") << "text/plain;charset=utf-8" << QByteArray("c", 2) << "c";
        QTest::newRow("invalid utf-8")
            << "text/plain;charset=utf-8" << QByteArray("ok \xff\xfe") << QString();
        QTest::newRow("cut sequence") << "UTF8_STRING" << QByteArray("ok \xc3") << QString();
        QTest::newRow("blank") << "text/plain" << QByteArray(" \n\t\r\n ") << QString();
        QTest::newRow("no text") << "text/uri-list" << QByteArray("file:///tmp/a\r\n") << QString();
    }
    void theDroppedTextIsReadFromItsRawBytes()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const auto mime = mimeWith(format, bytes);
        QCOMPARE(DragPayload::droppedText(*mime).value_or(QString()), expected);
        QCOMPARE(shelfAcceptsDrag(*mime), format != QLatin1String("text/uri-list"));
    }

    void theDragPayloads()
    {
        const QUuid id = QUuid::createUuid();
        const auto handle = DragPayload::forShelfHandle(id);
        QCOMPARE(handle->text().size(), 36);
        QCOMPARE(handle->text(), handle->text().toUpper());
        QCOMPARE(QUuid::fromString(handle->text()), id);
        QVERIFY(DragPayload::isShelfHandleDrag(*handle));
        const auto entry = DragPayload::forHistoryEntry(QStringLiteral(" full\ntext "));
        QCOMPARE(entry->text(), QStringLiteral(" full\ntext "));
        QVERIFY(!DragPayload::isShelfHandleDrag(*entry));
    }

    void aDropOnARowInsertsInFrontOfIt()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") });
        // On a row's text: Qt passes it to the row, which takes it.
        QVERIFY(
            dropOn(p.rowAt(1)->findChild<ElidedLabel *>(), *plainText(QStringLiteral("  new \n"))));
        QCOMPARE(p.shelf(), (QStringList { "one", "new", "two", "three" }));
    }

    void aDropOutsideTheRowsGoesToTheTop()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two") });
        p.model().panelState().setQuery(
            QStringLiteral("two")); // the top of the whole list, not the filtered one
        QVERIFY(dropOn(p.saved()->content(), *plainText(QStringLiteral("zwei two"))));
        QCOMPARE(p.shelf(), (QStringList { "one", "two" })); // applied a moment later
        p.f.clock.advance(ShelfColumnDropDelegate::applyDelay);
        QCOMPARE(p.shelf(), (QStringList { "zwei two", "one", "two" }));

        Panel empty;
        QVERIFY(dropOn(empty.saved()->addRow(), *plainText(QStringLiteral("only"))));
        empty.f.clock.advance(ShelfColumnDropDelegate::applyDelay);
        QCOMPARE(empty.shelf(), QStringList { "only" });
    }

    void aDropThatKeepsOnlyPartOfItsTextSaysSo()
    {
        Panel p({ QStringLiteral("one") });
        // Longer than a snippet keeps, or the first part of a long history entry.
        QVERIFY(dropOn(p.rowAt(0), *plainText(QString(25000, u'a'))));
        QVERIFY(dropOn(p.rowAt(0), *DragPayload::forHistoryEntry(QString(20000, u'b'), true)));
        QVERIFY(dropOn(p.rowAt(0), *plainText(QStringLiteral("whole"))));
        QCOMPARE(p.model().savedSnippets().items().at(0).text, QStringLiteral("whole"));
        QCOMPARE(p.rowAt(0)->findChild<RowNote *>()->text(), QString());
        QCOMPARE(p.model().savedSnippets().items().at(1).text, QString(20000, u'b'));
        QCOMPARE(p.rowAt(1)->findChild<RowNote *>()->text(), QStringLiteral("cut"));
        QCOMPARE(p.model().savedSnippets().items().at(2).text.size(), 20000);
        QCOMPARE(p.rowAt(2)->findChild<RowNote *>()->text(), QStringLiteral("cut"));
        // Edited, it is the user's own text.
        p.model().saveEditing(p.model().savedSnippets().items().at(1).id, QStringLiteral("edited"));
        QCOMPARE(p.rowAt(1)->findChild<RowNote *>()->text(), QString());
    }

    void aRowDropWinsOverTheColumnForItsWindow()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two") });
        ShelfDropDelegate row(p.model(), p.model().savedSnippets().items().at(1).id);
        ShelfColumnDropDelegate column(p.model(), p.f.clock, p.saved());
        // One drop reaching both: only the row's insertion happens.
        QVERIFY(row.performDrop(*plainText(QStringLiteral("both"))));
        QVERIFY(column.performDrop(*plainText(QStringLiteral("both"))));
        // A different text on the column, applied inside the window (at 110 of 120 ms), is
        // dropped too.
        p.f.clock.advance(80ms);
        QVERIFY(column.performDrop(*plainText(QStringLiteral("late"))));
        p.f.clock.advance(ShelfColumnDropDelegate::applyDelay);
        QCOMPARE(p.shelf(), (QStringList { "one", "both", "two" }));
        // Once the window has passed, the column adds at the top.
        p.f.clock.advance(11ms);
        QVERIFY(column.performDrop(*plainText(QStringLiteral("later"))));
        QCOMPARE(p.shelf(), (QStringList { "one", "both", "two" }));
        p.f.clock.advance(ShelfColumnDropDelegate::applyDelay);
        QCOMPARE(p.shelf(), (QStringList { "later", "one", "both", "two" }));
    }

    void badDropsChangeNothing()
    {
        QStringList full;
        for (int i = 1; i <= AppModel::shelfMax; ++i)
            full << QStringLiteral("s%1").arg(i);
        Panel p(full);
        QSignalSpy beeps(&p.model(), &AppModel::alertBeep);
        const QStringList before = p.shelf();
        ShelfRow *row = p.rowAt(3);
        QVERIFY(dropOn(row, *plainText(QStringLiteral("26th"))));
        QCOMPARE(beeps.size(), 1);
        QVERIFY(dropOn(row, *plainText(QStringLiteral("s2")))); // a duplicate does not beep
        QVERIFY(dropOn(row, *plainText(QStringLiteral(" \n "))));
        QVERIFY(dropOn(row, *mimeWith(QStringLiteral("text/plain;charset=utf-8"), "\xc0\xaf")));
        p.f.clock.advance(1s); // past the window the row drops opened
        QVERIFY(dropOn(p.saved()->content(), *plainText(QStringLiteral("27th"))));
        p.f.clock.advance(ShelfColumnDropDelegate::applyDelay);
        QCOMPARE(beeps.size(), 2);
        QVERIFY(!dropOn(row, *mimeWith(QStringLiteral("image/png"), "\x89PNG")));
        QCOMPARE(p.shelf(), before);

        // A megabyte of text is kept as its first 20000 characters.
        p.model().deleteShelf(p.model().savedSnippets().items().last().id);
        QVERIFY(dropOn(row, *plainText(QString(1 << 20, u'm'))));
        QCOMPARE(p.model().savedSnippets().items().at(3).text.size(), 20000);
        QCOMPARE(p.model().savedSnippets().items().size(), AppModel::shelfMax);
    }

    // A full list says why it takes nothing more, rather than ignoring the user.
    void aFullListSaysWhy()
    {
        QStringList full;
        for (int i = 1; i <= AppModel::shelfMax; ++i)
            full << QStringLiteral("s%1").arg(i);
        Panel p(full);
        auto timer = std::make_unique<ManualQuietTimer>();
        ManualQuietTimer *quiet = timer.get();
        p.saved()->setNoticeTimer(std::move(timer));
        QLabel *notice = p.saved()->notice();

        AddShelfRow *add = p.saved()->addRow();
        QVERIFY(!add->isEnabled());
        QVERIFY(add->toolTip().contains(QString::number(AppModel::shelfMax)));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), add->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(add, &help);
        QTRY_COMPARE(QToolTip::text(), add->toolTip());
        QToolTip::hideText();
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(p.model().savedSnippets().editingID().isNull());
        QVERIFY(notice->isHidden());

        QVERIFY(dropOn(p.rowAt(3), *plainText(QStringLiteral("s2")))); // already saved: no refusal
        QVERIFY(notice->isHidden());
        QVERIFY(dropOn(p.rowAt(3), *plainText(QStringLiteral("26th"))));
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), add->toolTip());
        // Whole, over the bottom of the column.
        QVERIFY(p.saved()->rect().contains(notice->geometry()));
        QVERIFY(notice->height() >= notice->heightForWidth(notice->width()));
        QVERIFY(notice->geometry().bottom() > p.saved()->height() / 2);
        quiet->fire();
        QVERIFY(notice->isHidden());

        // Deleting one makes room again.
        p.model().deleteShelf(p.model().savedSnippets().items().first().id);
        QVERIFY(add->isEnabled());
        QVERIFY(add->toolTip().isEmpty());
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(!p.model().savedSnippets().editingID().isNull());
        QVERIFY(!add->isEnabled());
    }

    void aHandleDragReordersLiveAndKeepsTheRows()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") });
        QList<QPointer<ShelfRow>> rows { p.rowAt(0), p.rowAt(1), p.rowAt(2) };
        p.model().savedSnippets().startEditing(
            p.model().savedSnippets().items().at(1).id); // an open editor survives the moves
        QTRY_VERIFY(rows[1]->editor() && rows[1]->editor()->hasFocus());
        QPointer<SnippetEditor> editor = rows[1]->editor();
        p.f.store->resetCounts();

        const QUuid third = p.model().savedSnippets().items().at(2).id;
        p.model().setDraggedShelfID(third);
        const auto payload = DragPayload::forShelfHandle(third);
        QVERIFY(entered(rows[1], *payload, Qt::MoveAction));
        QCOMPARE(p.shelf(), (QStringList { "one", "three", "two" }));
        // Over the open editor: it refuses the id, the row behind it takes the drag.
        QVERIFY(entered(editor->viewport(), *payload, Qt::MoveAction));
        QCOMPARE(p.shelf(), (QStringList { "one", "two", "three" }));
        QVERIFY(entered(rows[0], *payload, Qt::MoveAction));
        QCOMPARE(p.shelf(), (QStringList { "three", "one", "two" }));
        // Written after the steps of one turn, once.
        QCOMPARE(p.f.store->writes(QStringLiteral("Nookary.shelf.v1")), 0);
        p.f.clock.advance(0ms);
        QCOMPARE(p.f.store->writes(QStringLiteral("Nookary.shelf.v1")), 1);
        QCOMPARE(p.saved()->visibleRows(), (QList<ShelfRow *> { rows[2], rows[0], rows[1] }));
        for (const auto &row : rows)
            QVERIFY(row);
        QVERIFY(editor && rows[1]->editor() == editor);
        QVERIFY(editor->toPlainText() == QStringLiteral("two"));

        // Released over the column: the order stays, no text is read.
        QVERIFY(dropOn(p.saved()->content(), *payload, { 4, 4 }, Qt::MoveAction));
        QVERIFY(p.model().draggedShelfID().isNull());
        p.f.clock.advance(ShelfColumnDropDelegate::applyDelay * 3);
        QCOMPARE(p.shelf(), (QStringList { "three", "one", "two" }));
    }

    void aHandleDragThatEndsAnywhereLeavesNoReorderBehind()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two") });
        ShelfRow *row = p.rowAt(1);
        QSignalSpy changes(&p.model(), &AppModel::draggedShelfIDChanged);
        QWidget *handle = row->dragHandle();
        const QPoint start(handle->width() / 2, handle->height() / 2);
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTest::mouseMove(handle, start + QPoint(0, 2 * QApplication::startDragDistance()));
        // The drag ran (and ended without a drop here): the id was set, then cleared.
        QCOMPARE(changes.size(), 2);
        QVERIFY(p.model().draggedShelfID().isNull());
        QTest::mouseRelease(handle, Qt::LeftButton);

        // So a text dropped next is saved, not taken for a reorder.
        QVERIFY(dropOn(p.rowAt(0), *plainText(QStringLiteral("next"))));
        QCOMPARE(p.shelf(), (QStringList { "next", "one", "two" }));
    }

    void theSearchFieldRefusesAHandleDrag()
    {
        Panel p({ QStringLiteral("one") });
        QLineEdit *search = p.view->searchField();
        QVERIFY(!entered(search,
            *DragPayload::forShelfHandle(p.model().savedSnippets().items().first().id),
            Qt::MoveAction));
        QVERIFY(entered(search, *plainText(QStringLiteral("words"))));
    }

    void theColumnScrollsNearItsEdgesDuringADrag()
    {
        QStringList many;
        for (int i = 1; i <= AppModel::shelfMax; ++i)
            many << QStringLiteral("snippet %1").arg(i);
        Panel p(many, { 640, 400 });
        DragAutoScroller *scroller = p.saved()->autoScroller();
        QScrollBar *bar = p.saved()->scrollArea()->verticalScrollBar();
        const int height = p.saved()->scrollArea()->viewport()->height();
        QVERIFY(bar->maximum() > 0);

        scroller->notePointer({ 20, height / 2 });
        QVERIFY(!scroller->isScrolling());
        QVERIFY(!scroller->tick());
        scroller->notePointer({ 20, height - 2 });
        QVERIFY(scroller->isScrolling());
        while (scroller->tick()) { }
        QCOMPARE(bar->value(), bar->maximum());
        scroller->notePointer({ 20, 3 });
        QVERIFY(scroller->tick());
        QVERIFY(bar->value() < bar->maximum());

        // A snippet dragged by its handle follows the rows that pass under the pointer.
        bar->setValue(0);
        const QUuid first = p.model().savedSnippets().items().first().id;
        p.model().setDraggedShelfID(first);
        scroller->notePointer({ 20, height - 2 });
        for (int i = 0; i < 5; ++i)
            scroller->tick();
        QVERIFY(p.saved()->visibleRows().indexOf(p.saved()->row(first)) > 0);
        scroller->stop();
        QVERIFY(!scroller->isScrolling());
        p.model().setDraggedShelfID({});
    }
};

QTEST_MAIN(TestShelfDrop)
#include "tst_shelfdrop.moc"
