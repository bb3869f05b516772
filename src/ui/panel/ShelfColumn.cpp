// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShelfColumn.h"
#include "ui/Accessibility.h"

#include "model/AppModel.h"
#include "platform/MainQueue.h"
#include "ui/panel/DragAutoScroller.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/RowMenu.h"
#include "ui/panel/ShelfDropDelegate.h"
#include "ui/panel/ShelfRow.h"
#include "ui/panel/UndoBar.h"

#include <QDrag>
#include <QDropEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>

namespace nookary {

ShelfColumn::ShelfColumn(
    AppModel &model, Clock &clock, std::function<void(const QString &)> onCopy, QWidget *parent)
    : ScrollColumn(tr("Saved"), tr("Your snippets"), parent)
    , m_model(model)
    , m_panel(model.panelState())
    , m_snippets(model.savedSnippets())
    , m_clock(clock)
    , m_onCopy(std::move(onCopy))
    , m_addRow(new AddShelfRow(content()))
    , m_empty(new EmptyState(content()))
    , m_autoScroll(new DragAutoScroller(scrollArea()))
    , m_undoBar(new UndoBar(model, AppModel::Column::saved, this))
    , m_notice(new QLabel(this))
    , m_noticeTimer(makeQuietTimer(this))
{
    addBelowRows(m_undoBar);
    m_notice->setWordWrap(true);
    m_notice->setFont(PanelStyle::subheadline());
    m_notice->setAttribute(Qt::WA_TransparentForMouseEvents); // drops go to the rows below
    const QString look = QStringLiteral(
        "QLabel { color: %1; background: %2; border-radius: 8px; padding: 6px 10px; }");
    m_notice->setStyleSheet(look.arg(PanelStyle::primary().name(QColor::HexArgb),
        PanelStyle::overlayFill().name(QColor::HexArgb)));
    m_notice->hide();
    connect(
        &m_model, &AppModel::shelfFullRefusedDrop, this, [this] { showNotice(fullListReason()); });
    // Scrolling (the wheel, a drag near the edge, a new snippet's editor brought into view)
    // moves the rows under a still pointer without telling them.
    connect(scrollArea()->verticalScrollBar(), &QScrollBar::valueChanged, this,
        &ShelfColumn::followPointerInRows);
    m_addRow->installEventFilter(this);
    // The content fills the scroll area, so below the rows is part of it.
    content()->setAcceptDrops(true);
    content()->installEventFilter(this);
    m_autoScroll->onScrolled = [this](QPoint position) { enterRowAt(position); };
    m_empty->setText(tr("No results"));
    connect(m_addRow, &AddShelfRow::clicked, this, [this] {
        commitOpenEditor();
        m_snippets.addAndEdit();
    });
    connect(&m_snippets, &Shelf::changed, this, &ShelfColumn::sync);
    connect(&m_panel, &PanelState::queryChanged, this, &ShelfColumn::sync);
    connect(&m_snippets, &Shelf::editingIDChanged, this, &ShelfColumn::syncEditing);
    connect(&m_panel, &PanelState::selectedColumnChanged, this, &ShelfColumn::syncSelection);
    connect(&m_panel, &PanelState::selectedShelfIDChanged, this, &ShelfColumn::syncSelection);
    connect(&m_panel, &PanelState::selectionRevealRequested, this,
        &ShelfColumn::scrollSelectionIntoView);
    sync();
}

ShelfColumn::~ShelfColumn() = default;

QString ShelfColumn::shortcutLabel(qsizetype index)
{
    // The digit names a key, so it stays as the key is labelled.
    return index < 9 ? tr("Ctrl+%1").arg(index + 1) : QString();
}

QString ShelfColumn::fullListReason()
{
    return tr(
        "You can save up to %Ln snippets. Delete one to make room.", nullptr, AppModel::shelfMax);
}

void ShelfColumn::setNoticeTimer(std::unique_ptr<QuietTimer> timer)
{
    m_noticeTimer = std::move(timer);
}

void ShelfColumn::showNotice(const QString &text)
{
    m_notice->setText(text);
    placeNotice();
    m_notice->show();
    m_notice->raise();
    // Another refusal meanwhile keeps it up for the whole time again.
    m_noticeTimer->start(noticeDuration, [this] { m_notice->hide(); });
}

void ShelfColumn::placeNotice()
{
    constexpr int margin = 8;
    const QRect area = scrollArea()->geometry();
    const int width = std::max(0, area.width() - 2 * margin);
    const int height = m_notice->heightForWidth(width);
    m_notice->setGeometry(area.left() + margin, area.bottom() + 1 - margin - height, width, height);
}

void ShelfColumn::resizeEvent(QResizeEvent *event)
{
    ScrollColumn::resizeEvent(event);
    placeNotice();
}

ShelfRow *ShelfColumn::makeRow(const QUuid &id, const QString &text)
{
    auto *row = new ShelfRow(id, text, content());
    row->setAcceptDrops(true);
    row->installEventFilter(this);
    connect(row, &ShelfRow::handleDragRequested, this,
        [this, row](QPoint pressedAt) { startHandleDrag(row, pressedAt); });
    row->setPointerRest(pointerRest());
    connect(row, &RowFrame::hovered, this, [this, row, id] {
        if (!row->isEditing())
            m_panel.selectShelf(id);
    });
    connect(row, &ShelfRow::copyRequested, this, [this, id](const QString &full) {
        m_panel.selectShelf(id);
        m_onCopy(full);
    });
    connect(row, &ShelfRow::editRequested, this, [this, id] {
        if (m_snippets.editingID() != id)
            commitOpenEditor();
        m_snippets.startEditing(id);
    });
    connect(row, &ShelfRow::deleteRequested, this,
        [this, id] { m_model.removeRow(AppModel::Column::saved, id); });
    connect(row, &RowFrame::contextMenuRequested, this,
        [this, id](QPoint global) { showContextMenu(id, global); });
    connect(row, &ShelfRow::draftDone, this, [this, id](const QString &draft) {
        if (m_snippets.editingID() == id)
            m_model.saveEditing(id, draft);
    });
    return row;
}

void ShelfColumn::startHandleDrag(ShelfRow *row, QPoint pressedAt)
{
    auto *drag = new QDrag(row->dragHandle());
    drag->setMimeData(DragPayload::forShelfHandle(row->id()).release());
    drag->setPixmap(row->dragPixmap());
    drag->setHotSpot(pressedAt);
    m_model.setDraggedShelfID(row->id());
    drag->exec(Qt::MoveAction); // runs the drag to its end
    // However it ended (dropped outside the column, cancelled with Escape), the reorder is
    // over: a stale id would turn the next text dropped on the column into a reorder.
    m_model.setDraggedShelfID({});
    m_autoScroll->stop();
}

void ShelfColumn::followPointerInRows()
{
    for (ShelfRow *row : std::as_const(m_rows))
        row->followPointer();
}

bool ShelfColumn::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
        // Qt tells only the row it saw the pointer enter that the pointer left; a row that
        // slid under the pointer as the column scrolled learns it from any row's news.
        followPointerInRows();
        return ScrollColumn::eventFilter(watched, event);
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        break;
    default:
        return ScrollColumn::eventFilter(watched, event);
    }
    if (watched == content())
        return handleDragEvent(content(), nullptr, event);
    if (auto *row = qobject_cast<ShelfRow *>(watched); row && m_rows.value(row->id()) == row)
        return handleDragEvent(row, row, event);
    return false;
}

bool ShelfColumn::handleDragEvent(QWidget *target, ShelfRow *row, QEvent *event)
{
    if (event->type() == QEvent::DragLeave) {
        m_autoScroll->stop();
        return false;
    }
    auto *drop = static_cast<QDropEvent *>(event);
    const QMimeData *mime = drop->mimeData();
    if (!mime || !shelfAcceptsDrag(*mime)) {
        drop->ignore();
        return true;
    }
    const ShelfDropDelegate rowDelegate(m_model, row ? row->id() : QUuid());
    const ShelfColumnDropDelegate columnDelegate(m_model, m_clock, this);
    if (event->type() == QEvent::Drop) {
        m_autoScroll->stop();
        const Qt::DropAction action
            = row ? rowDelegate.dropUpdated() : columnDelegate.dropUpdated();
        const bool taken = row ? rowDelegate.performDrop(*mime) : columnDelegate.performDrop(*mime);
        if (taken) {
            drop->setDropAction(action);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    m_autoScroll->notePointer(target->mapTo(scrollArea()->viewport(), drop->position().toPoint()));
    if (event->type() == QEvent::DragEnter && row)
        rowDelegate.dropEntered();
    drop->setDropAction(row ? rowDelegate.dropUpdated() : columnDelegate.dropUpdated());
    drop->accept();
    return true;
}

void ShelfColumn::enterRowAt(QPoint viewportPosition)
{
    if (m_model.draggedShelfID().isNull())
        return;
    const QPoint inContent = content()->mapFrom(scrollArea()->viewport(), viewportPosition);
    for (ShelfRow *row : std::as_const(m_rows)) {
        if (row->isVisible() && row->geometry().contains(inContent)) {
            ShelfDropDelegate(m_model, row->id()).dropEntered();
            return;
        }
    }
}

void ShelfColumn::commitOpenEditor()
{
    const QUuid editing = m_snippets.editingID();
    if (ShelfRow *row = m_rows.value(editing); row && row->isEditing())
        m_model.saveEditing(editing, row->draftText());
}

void ShelfColumn::sync()
{
    QHash<QUuid, QString> alive;
    for (const ShelfItem &item : m_snippets.items())
        alive.insert(item.id, item.text);
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (!alive.contains(it.key())) {
            (*it)->setEditing(false);
            (*it)->hide();
            (*it)->deleteLater();
            it = m_rows.erase(it);
        } else {
            if ((*it)->text() != alive.value(it.key()))
                (*it)->setText(alive.value(it.key()));
            ++it;
        }
    }

    const QList<ShelfItem> filtered = m_panel.filteredShelf();
    QList<QWidget *> shown;
    QSet<QUuid> visible;
    for (qsizetype i = 0; i < filtered.size(); ++i) {
        const ShelfItem &item = filtered[i];
        ShelfRow *row = m_rows.value(item.id);
        if (!row) {
            row = makeRow(item.id, item.text);
            m_rows.insert(item.id, row);
        }
        const QString badge = shortcutLabel(i);
        row->setShortcutLabel(badge);
        row->setNote(m_snippets.wasCutOnDrop(item.id)
                ? tr("cut", "a snippet that holds only the first part of what was dropped")
                : QString());
        // Readers hear where the snippet stands and its key, since they see neither.
        const QString text
            = row->shownText().trimmed().isEmpty() ? tr("empty snippet") : row->shownText();
        const QString place = QLocale().toString(i + 1);
        const QString count = QLocale().toString(filtered.size());
        Accessibility::setName(row,
            badge.isEmpty() ? tr("Saved %1 of %2: %3").arg(place, count, text)
                            : tr("Saved %1 of %2: %3, %4").arg(place, count, text, badge));
        shown.append(row);
        visible.insert(item.id);
    }
    for (ShelfRow *row : std::as_const(m_rows))
        row->setVisible(visible.contains(row->id()));

    const bool searching = !m_panel.query().trimmed().isEmpty();
    m_addRow->setListEmpty(m_snippets.items().isEmpty());
    m_addRow->setRefusal(
        m_snippets.items().size() >= AppModel::shelfMax ? fullListReason() : QString());
    m_addRow->setVisible(!searching);
    m_empty->setVisible(searching && filtered.isEmpty());
    arrange(shown, { m_empty, m_addRow });
    syncEditing();
    syncSelection();
}

void ShelfColumn::syncEditing()
{
    for (ShelfRow *row : std::as_const(m_rows))
        row->setEditing(row->id() == m_snippets.editingID());
}

void ShelfColumn::syncSelection()
{
    const bool active = m_panel.selectedColumn() == AppModel::Column::saved;
    for (ShelfRow *row : std::as_const(m_rows))
        row->setSelected(active && row->id() == m_panel.selectedShelfID());
}

void ShelfColumn::scrollSelectionIntoView()
{
    if (m_panel.selectedColumn() != AppModel::Column::saved || m_panel.selectedShelfID().isNull())
        return;
    if (ShelfRow *row = m_rows.value(m_panel.selectedShelfID()))
        scrollToCentre(row);
}

void ShelfColumn::showContextMenu(const QUuid &id, QPoint global)
{
    ShelfRow *row = m_rows.value(id);
    if (!row || row->isEditing())
        return; // the editor's own menu
    m_panel.selectShelf(id);
    const QList<ShelfItem> shown = m_panel.filteredShelf();
    qsizetype at = -1;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i].id == id)
            at = i;
    }
    RowMenu menu;
    menu.copy = [this, id] {
        m_panel.selectShelf(id);
        if (const auto text = m_model.activateSelectedItemTextForPasteboard())
            m_onCopy(*text);
    };
    menu.edit = [this, id] {
        commitOpenEditor();
        m_snippets.startEditing(id);
    };
    menu.remove = [this, id] { m_model.removeRow(AppModel::Column::saved, id); };
    menu.moveUp = [this, id] { m_model.moveShelfItemBy(id, -1); };
    menu.moveDown = [this, id] { m_model.moveShelfItemBy(id, 1); };
    menu.canMoveUp = at > 0;
    menu.canMoveDown = at >= 0 && at + 1 < shown.size();
    menu.popUp(global.isNull() ? menuAnchor(row) : global, global.isNull(), this);
}

QList<ShelfRow *> ShelfColumn::visibleRows() const
{
    QList<ShelfRow *> out;
    for (const ShelfItem &item : m_panel.filteredShelf()) {
        if (ShelfRow *row = m_rows.value(item.id))
            out.append(row);
    }
    return out;
}

} // namespace nookary
