// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelFixture.h"
#include "platform/KeyTranslator.h"
#include "platform/qt/TrayStatusItem.h"
#include "ui/Alert.h"
#include "ui/panel/HistoryColumn.h"
#include "ui/panel/HistoryRow.h"
#include "ui/panel/PanelKeyMap.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/ShelfColumn.h"
#include "ui/panel/ShelfRow.h"
#include "ui/panel/UndoBar.h"
#include "ui/preferences/SegmentedControl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

const QString kHebrew = QStringLiteral("שלום, עולם.");
const QString kEnglish = QStringLiteral("Hello, world.");

// The panel with one copy and one snippet, in the application's direction of the moment.
// One text, saved and copied, in the panel at its smallest.
struct Panel : PanelFixture {
    explicit Panel(const QString &text)
        : PanelFixture({ text }, { text }, PanelView::minimumPanelSize)
    {
    }
    HistoryRow *historyRow() const { return view->historyColumn()->visibleRows().value(0); }
    ShelfRow *shelfRow() const { return view->shelfColumn()->visibleRows().value(0); }
};

// The columns the ink of a widget's text spans, drawn as it draws itself.
std::pair<int, int> inkSpan(QWidget *label)
{
    QImage image(label->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    label->render(&image, {}, {}, QWidget::DrawChildren);
    int first = image.width();
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return { first, last };
}

// The edge a short text hugs.
Qt::LayoutDirection inkSide(QWidget *widget)
{
    const auto [first, last] = inkSpan(widget);
    return first <= widget->width() - 1 - last ? Qt::LeftToRight : Qt::RightToLeft;
}

void hover(QWidget *widget)
{
    const QPointF at = widget->mapToGlobal(QPointF(2, 2));
    QEnterEvent enter(QPointF(2, 2), at, at);
    QCoreApplication::sendEvent(widget, &enter);
    QCoreApplication::processEvents();
}

} // namespace

class TestRightToLeft : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QGuiApplication::setLayoutDirection(Qt::LeftToRight); }

    // A row lays out its text by the text's first strong character, whatever the panel's
    // direction: Hebrew starts at the right edge (its full stop then on the left), English
    // at the left; digits and signs alone follow the panel.
    void aRowLaysOutItsTextByItsFirstStrongCharacter_data()
    {
        QTest::addColumn<Qt::LayoutDirection>("panel");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::LayoutDirection>("expected");
        QTest::newRow("Hebrew, English panel") << Qt::LeftToRight << kHebrew << Qt::RightToLeft;
        QTest::newRow("Hebrew after digits and quotes")
            << Qt::LeftToRight << QStringLiteral("12 \"שלום\"") << Qt::RightToLeft;
        QTest::newRow("Arabic") << Qt::LeftToRight << QStringLiteral("مرحبا بالعالم!")
                                << Qt::RightToLeft;
        QTest::newRow("English, mirrored panel") << Qt::RightToLeft << kEnglish << Qt::LeftToRight;
        QTest::newRow("digits, English panel")
            << Qt::LeftToRight << QStringLiteral("12:30") << Qt::LeftToRight;
        QTest::newRow("digits, mirrored panel")
            << Qt::RightToLeft << QStringLiteral("12:30") << Qt::RightToLeft;
    }
    void aRowLaysOutItsTextByItsFirstStrongCharacter()
    {
        QFETCH(Qt::LayoutDirection, panel);
        QFETCH(QString, text);
        QFETCH(Qt::LayoutDirection, expected);
        QGuiApplication::setLayoutDirection(panel);
        Panel p(text);
        for (RowFrame *row :
            { static_cast<RowFrame *>(p.historyRow()), static_cast<RowFrame *>(p.shelfRow()) }) {
            auto *label = row->findChild<ElidedLabel *>();
            QVERIFY(label);
            QCOMPARE(label->textDirection(), expected);
            const auto [first, last] = inkSpan(label);
            QVERIFY2(last > first, "nothing drawn");
            // A short text hugs the edge it starts from and leaves the other one free.
            const int fromStart = expected == Qt::LeftToRight ? first : label->width() - 1 - last;
            const int fromEnd = expected == Qt::LeftToRight ? label->width() - 1 - last : first;
            QVERIFY2(fromStart <= 2 && fromEnd > label->width() / 3,
                qPrintable(
                    QStringLiteral("ink %1 to %2 of %3").arg(first).arg(last).arg(label->width())));
        }
    }

    // Under a right-to-left language the panel mirrors: the history column stands on the
    // right, a snippet's handle on its right and its badge on its left, and Left and Right
    // select the column on their side of the screen.
    void theMirroredPanelAndItsArrowKeys()
    {
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
        Panel p(kEnglish);
        QVERIFY(p.view->historyColumn()->x() > p.view->shelfColumn()->x());
        ShelfRow *row = p.shelfRow();
        QVERIFY(row->showsBadge());
        QVERIFY(row->badgeGeometry().right() < row->textGeometry().left());
        QVERIFY(row->dragHandle()->x() > row->textGeometry().right());

        AppModel &model = *p.f.model;
        FakePanelActions host;
        PanelKeyMap keys(model, host);
        const auto press = [&](int key) {
            const QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            return keys.handle(PanelKey::fromEvent(event, NullKeyTranslator()));
        };
        model.panelState().selectHistory(model.clipboardHistory().items().first().id);
        QCOMPARE(press(Qt::Key_Left), PanelKeyMap::Decision::consume);
        QCOMPARE(model.panelState().selectedColumn(), AppModel::Column::saved);
        QCOMPARE(press(Qt::Key_Right), PanelKeyMap::Decision::consume);
        QCOMPARE(model.panelState().selectedColumn(), AppModel::Column::history);

        // A removal's undo bar: its words first from the right, indented as in English.
        const auto undoBar = [&](Qt::LayoutDirection direction) {
            QGuiApplication::setLayoutDirection(direction);
            auto bar = std::make_unique<UndoBar>(model, AppModel::Column::saved);
            bar->resize(300, bar->sizeHint().height());
            bar->layout()->activate();
            return bar;
        };
        const auto ltr = undoBar(Qt::LeftToRight);
        const auto rtl = undoBar(Qt::RightToLeft);
        const QRect words = rtl->findChild<QLabel *>()->geometry();
        QVERIFY(words.x() > rtl->findChild<SymbolButton *>()->x());
        QCOMPARE(rtl->width() - 1 - words.right(), ltr->findChild<QLabel *>()->x());

        // The settings' segments too: the first stands on the right, Left goes to the next.
        SegmentedControl segments({ QStringLiteral("one"), QStringLiteral("two") });
        segments.resize(segments.sizeHint());
        segments.setCurrentIndex(0);
        QVERIFY(segments.segmentRect(0).x() > segments.segmentRect(1).x());
        QTest::keyClick(&segments, Qt::Key_Left);
        QCOMPARE(segments.currentIndex(), 1);
        QTest::keyClick(&segments, Qt::Key_Right);
        QCOMPARE(segments.currentIndex(), 0);

        // An empty search field's caret stands at the leading edge, by its placeholder.
        QLineEdit *search = p.view->searchField();
        search->grab();
        QVERIFY(search->inputMethodQuery(Qt::ImCursorRectangle).toRect().x() > search->width() / 2);
    }

    // Under the pointer, a snippet whose text starts at the buttons' side (Hebrew in an
    // English panel, English in a mirrored one) keeps clear of the edit and delete buttons.
    // The editor lays the text out from the side the row did, and an empty one the panel's.
    void aSnippetKeepsItsSideUnderThePointerAndInTheEditor_data()
    {
        QTest::addColumn<Qt::LayoutDirection>("panel");
        QTest::addColumn<QString>("text");
        QTest::newRow("Hebrew, English panel") << Qt::LeftToRight << kHebrew;
        QTest::newRow("English, mirrored panel") << Qt::RightToLeft << kEnglish;
        QTest::newRow("English, English panel") << Qt::LeftToRight << kEnglish;
        QTest::newRow("Hebrew, mirrored panel") << Qt::RightToLeft << kHebrew;
    }
    void aSnippetKeepsItsSideUnderThePointerAndInTheEditor()
    {
        QFETCH(Qt::LayoutDirection, panel);
        QFETCH(QString, text);
        QGuiApplication::setLayoutDirection(panel);
        Panel p(text);
        ShelfRow *row = p.shelfRow();
        auto *label = row->findChild<ElidedLabel *>();
        const Qt::LayoutDirection side = inkSide(label);

        hover(row);
        QVERIFY(row->showsActions());
        const auto [first, last] = inkSpan(label);
        const QRect ink(label->x() + first, label->y(), last - first + 1, label->height());
        QVERIFY2(!ink.intersects(row->editButton()->parentWidget()->geometry()),
            qPrintable(QStringLiteral("ink from %1 to %2").arg(ink.left()).arg(ink.right())));

        row->setEditing(true);
        QCoreApplication::processEvents();
        QCOMPARE(inkSide(row->editor()->viewport()), side);
        row->setEditing(false);

        p.f.model->savedSnippets().addAndEdit();
        QCoreApplication::processEvents();
        const auto editing = p.view->shelfColumn()->visibleRows();
        const auto fresh = std::find_if(
            editing.begin(), editing.end(), [](ShelfRow *r) { return r->isEditing(); });
        QVERIFY(fresh != editing.end());
        SnippetEditor *editor = (*fresh)->editor();
        QCOMPARE(
            editor->cursorRect().x() > editor->viewport()->width() / 2, panel == Qt::RightToLeft);
    }

    // A mirrored tray menu shows a shortcut as its keys are labelled: "Ctrl+,", not ",+Ctrl".
    void anAlertShowsItsTitleWholeAndItsButtonsWordsAlone_data()
    {
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("left to right") << Qt::LeftToRight;
        QTest::newRow("mirrored") << Qt::RightToLeft;
    }

    void anAlertShowsItsTitleWholeAndItsButtonsWordsAlone()
    {
        // A long title over a short text: the window manager cut it to "Tastenkür…verfügbar".
        QFETCH(Qt::LayoutDirection, direction);
        QGuiApplication::setLayoutDirection(direction);
        const QString title = QStringLiteral("Tastenkürzel nicht verfügbar");
        const auto box = Alert::make(
            QMessageBox::Warning, title, QStringLiteral("Nein."), QStringLiteral("Kurz."));
        box->show();
        QCoreApplication::processEvents();
        QCOMPARE(box->windowTitle(), title);
        QVERIFY2(box->width() >= Alert::widthForTitle(title, box->font()),
            qPrintable(QString::number(box->width())));
        QVERIFY(box->width() > Alert::widthForTitle(QStringLiteral("OK"), box->font()));
        // Qt squeezes a mirrored button's words against its edge beside an icon.
        const auto buttons = box->buttons();
        for (QAbstractButton *button : buttons)
            QVERIFY(direction == Qt::LeftToRight || button->icon().isNull());
    }

    void theTrayMenuShowsShortcutsLeftToRight()
    {
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
        TrayStatusItem item;
        item.setMenuBuilder([](QMenu &menu) {
            menu.addAction(
                QStringLiteral("Preferences"), QKeySequence(QStringLiteral("Ctrl+,")), [] {});
        });
        QMenu *menu = nullptr;
        for (QWidget *widget : QApplication::allWidgets())
            menu = menu ? menu : qobject_cast<QMenu *>(widget);
        QVERIFY(menu);
        Q_EMIT menu->aboutToShow();
        menu->adjustSize();
        const QImage image = menu->grab().toImage();
        const QRect row = menu->actionGeometry(menu->actions().value(0)).adjusted(2, 2, -2, -2);
        const int paper = qGray(image.pixel(row.topLeft()));
        // The rows the ink of columns [from, to) spans.
        const auto inkRows = [&](int from, int to) {
            int top = row.bottom() + 1;
            int bottom = -1;
            for (int x = from; x < to; ++x) {
                for (int y = row.top(); y <= row.bottom(); ++y) {
                    if (std::abs(qGray(image.pixel(x, y)) - paper) > 96) {
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
                }
            }
            return bottom - top + 1;
        };
        int left = row.left();
        while (left <= row.right() && inkRows(left, left + 1) <= 0)
            ++left;
        // The leftmost glyph is the C, as tall as the text, not the low comma.
        QVERIFY2(inkRows(left, left + 2) * 2 > inkRows(row.left(), row.right() + 1),
            qPrintable(QStringLiteral("%1 of %2 rows")
                           .arg(inkRows(left, left + 2))
                           .arg(inkRows(row.left(), row.right() + 1))));
    }
};

QTEST_MAIN(TestRightToLeft)
#include "tst_righttoleft.moc"
