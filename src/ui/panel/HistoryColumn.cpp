// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryColumn.h"
#include "ui/Accessibility.h"

#include "model/AppModel.h"
#include "ui/panel/HistoryRow.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/RowMenu.h"
#include "ui/panel/UndoBar.h"

#include <QLocale>

namespace nookary {

HistoryColumn::HistoryColumn(
    AppModel &model, std::function<void(const QString &)> onCopy, QWidget *parent)
    : ScrollColumn(tr("History"), QString(), parent)
    , m_model(model)
    , m_panel(model.panelState())
    , m_clipboardHistory(model.clipboardHistory())
    , m_onCopy(std::move(onCopy))
    , m_empty(new EmptyState(content()))
    , m_undoBar(new UndoBar(model, AppModel::Column::history, this))
{
    addBelowRows(m_undoBar);
    connect(&m_clipboardHistory, &ClipboardHistory::changed, this, &HistoryColumn::sync);
    connect(&m_panel, &PanelState::queryChanged, this, &HistoryColumn::sync);
    connect(&m_model.settings(), &Settings::historyLimitChanged, this, &HistoryColumn::sync);
    connect(&m_panel, &PanelState::selectedColumnChanged, this, &HistoryColumn::syncSelection);
    connect(&m_panel, &PanelState::selectedHistoryIDChanged, this, &HistoryColumn::syncSelection);
    connect(&m_panel, &PanelState::selectionRevealRequested, this,
        &HistoryColumn::scrollSelectionIntoView);
    connect(&m_model, &AppModel::copyBackWaitingChanged, this, &HistoryColumn::syncSubtitle);
    sync();
}

void HistoryColumn::syncSubtitle()
{
    // A Return that seems to do nothing says what it waits for.
    header()->setSubtitle(m_model.isCopyBackWaiting()
            ? tr("Waiting for the new copy…", "while Return waits for a copy still being read")
            : tr("Up to %1").arg(QLocale().toString(m_model.settings().historyLimit())));
}

void HistoryColumn::sync()
{
    syncSubtitle();
    const QList<HistoryItem> filtered = m_panel.filteredHistory();

    // Rows live as long as their entry; an entry changes only when it is cut to keep the
    // history's memory bounded, and its row then says so.
    QHash<QUuid, const HistoryItem *> alive;
    for (const HistoryItem &item : m_clipboardHistory.items())
        alive.insert(item.id, &item);
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (const HistoryItem *item = alive.value(it.key())) {
            (*it)->setEntry(*item);
            ++it;
        } else {
            (*it)->deleteLater();
            (*it)->hide();
            it = m_rows.erase(it);
        }
    }

    QList<QWidget *> shown;
    QSet<QUuid> visible;
    for (const HistoryItem &item : filtered) {
        HistoryRow *row = m_rows.value(item.id);
        if (!row) {
            row = new HistoryRow(item, content());
            row->setPointerRest(pointerRest());
            const QUuid id = item.id;
            connect(row, &RowFrame::hovered, this, [this, id] { m_panel.selectHistory(id); });
            connect(row, &RowFrame::clicked, this, [this, id] {
                m_panel.selectHistory(id);
                if (const auto text = m_model.activateSelectedItemTextForPasteboard())
                    m_onCopy(*text);
            });
            connect(row, &RowFrame::contextMenuRequested, this,
                [this, id](QPoint global) { showContextMenu(id, global); });
            Accessibility::setName(row, row->shownText());
            m_rows.insert(id, row);
        }
        shown.append(row);
        visible.insert(item.id);
    }
    for (HistoryRow *row : std::as_const(m_rows))
        row->setVisible(visible.contains(row->id()));

    const bool searching = !m_panel.query().trimmed().isEmpty();
    m_empty->setText(searching && !m_clipboardHistory.items().isEmpty() ? tr("No results")
                                                                        : tr("No history yet"));
    m_empty->setVisible(filtered.isEmpty());
    arrange(shown, { m_empty });
    syncSelection();
}

void HistoryColumn::syncSelection()
{
    const bool active = m_panel.selectedColumn() == AppModel::Column::history;
    for (HistoryRow *row : std::as_const(m_rows))
        row->setSelected(active && row->id() == m_panel.selectedHistoryID());
}

void HistoryColumn::scrollSelectionIntoView()
{
    if (m_panel.selectedColumn() != AppModel::Column::history
        || m_panel.selectedHistoryID().isNull())
        return;
    if (HistoryRow *row = m_rows.value(m_panel.selectedHistoryID()))
        scrollToCentre(row);
}

void HistoryColumn::showContextMenu(const QUuid &id, QPoint global)
{
    HistoryRow *row = m_rows.value(id);
    if (!row)
        return;
    m_panel.selectHistory(id);
    RowMenu menu;
    menu.copy = [this, id] {
        m_panel.selectHistory(id);
        if (const auto text = m_model.activateSelectedItemTextForPasteboard())
            m_onCopy(*text);
    };
    menu.save = [this, id] { m_model.saveHistoryEntryToShelf(id); };
    menu.canSave = m_model.savedSnippets().items().size() < AppModel::shelfMax;
    menu.remove = [this, id] { m_model.removeRow(AppModel::Column::history, id); };
    menu.popUp(global.isNull() ? menuAnchor(row) : global, global.isNull(), this);
}

QList<HistoryRow *> HistoryColumn::visibleRows() const
{
    QList<HistoryRow *> out;
    for (const HistoryItem &item : m_panel.filteredHistory()) {
        if (HistoryRow *row = m_rows.value(item.id))
            out.append(row);
    }
    return out;
}

} // namespace nookary
