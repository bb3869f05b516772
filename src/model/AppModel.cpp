// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppModel.h"

#include "model/ClipboardHistory.h"
#include "model/EntryText.h"
#include "model/LaunchAtLogin.h"
#include "model/RemovalUndo.h"
#include "model/Settings.h"
#include "model/ShelfStorage.h"
#include "platform/Clock.h"
#include "platform/LoginItemService.h"

#include <algorithm>
#include <utility>

namespace nookary {

namespace {

template <typename T, typename Signal>
bool assign(AppModel *model, T &member, const T &value, Signal signal)
{
    if (member == value)
        return false;
    member = value;
    Q_EMIT(model->*signal)();
    return true;
}

} // namespace

AppModel::AppModel(
    PreferencesStore &store, Pasteboard &pasteboard, LoginItemService *loginItems, QObject *parent)
    : AppModel(store, pasteboard, SystemClock::shared(), loginItems, parent)
{
}

AppModel::AppModel(PreferencesStore &store, Pasteboard &pasteboard, Clock &clock,
    LoginItemService *loginItems, QObject *parent)
    : QObject(parent)
    , m_settings(std::make_unique<Settings>(store))
    , m_shelfStorage(std::make_unique<ShelfStorage>(store, *m_settings))
    , m_history(std::make_unique<ClipboardHistory>(pasteboard, clock, m_settings->historyLimit()))
    , m_shelf(std::make_unique<Shelf>(*m_shelfStorage, clock, shelfMax))
    , m_panel(std::make_unique<PanelState>(*m_history, m_shelf->items(), m_shelf->revision()))
    , m_removalUndo(std::make_unique<RemovalUndo>(clock))
    , m_nullLoginItems(loginItems ? nullptr : std::make_unique<NullLoginItemService>())
    , m_launchAtLogin(std::make_unique<LaunchAtLogin>(loginItems ? *loginItems : *m_nullLoginItems))
{
    connect(m_launchAtLogin.get(), &LaunchAtLogin::enabledChanged, this,
        &AppModel::launchAtLoginChanged);
    connect(m_settings.get(), &Settings::historyLimitChanged, this,
        [this] { m_history->setLimit(m_settings->historyLimit()); });
    connect(m_history.get(), &ClipboardHistory::changed, this, &AppModel::historyChanged);
    connect(m_shelf.get(), &Shelf::changed, this, &AppModel::shelfChanged);
    connect(m_shelf.get(), &Shelf::editingIDChanged, this, &AppModel::editingIDChanged);
    connect(m_shelf.get(), &Shelf::removed, this, [this](const QUuid &id) {
        if (selectedShelfID() == id)
            setSelectedShelfID({});
        ensureSelectionValid();
    });
    connect(m_history.get(), &ClipboardHistory::pushed, this, &AppModel::ensureSelectionValid);
    // A copy that lands while the panel is open is where the default selection would be.
    connect(m_history.get(), &ClipboardHistory::captured, this, [this] {
        if (m_selectionIsDefault) {
            applyDefaultSelection();
        } else if (m_onlyColumnChanged && selectedColumn() == Column::history) {
            if (const QList<HistoryItem> history = filteredHistory(); !history.isEmpty())
                m_panel->selectHistory(history.first().id);
        }
    });
    connect(m_history.get(), &ClipboardHistory::capturePendingChanged, this,
        &AppModel::capturePendingChanged);
    connect(m_panel.get(), &PanelState::queryChanged, this, &AppModel::queryChanged);
    connect(
        m_panel.get(), &PanelState::selectedColumnChanged, this, &AppModel::selectedColumnChanged);
    connect(m_panel.get(), &PanelState::selectedShelfIDChanged, this,
        &AppModel::selectedShelfIDChanged);
    connect(m_panel.get(), &PanelState::selectedHistoryIDChanged, this,
        &AppModel::selectedHistoryIDChanged);
    connect(m_panel.get(), &PanelState::selectionRevealRequested, this,
        &AppModel::selectionRevealRequested);
    connect(m_removalUndo.get(), &RemovalUndo::changed, this, &AppModel::undoableRemovalChanged);
    m_launchAtLogin->mirrorSystemState();
}

AppModel::~AppModel() = default;

// State of this run

bool AppModel::launchAtLogin() const
{
    return m_launchAtLogin->isEnabled();
}

void AppModel::setLaunchAtLogin(bool enabled)
{
    m_launchAtLogin->setEnabled(enabled);
}

void AppModel::setPasteAvailability(PasteService::Availability availability)
{
    assign(this, m_pasteAvailability, availability, &AppModel::pasteAvailabilityChanged);
}

void AppModel::setIsRecordingHotkey(bool recording)
{
    assign(this, m_isRecordingHotkey, recording, &AppModel::isRecordingHotkeyChanged);
}

void AppModel::setHotkeyTriggerText(const QString &text)
{
    assign(this, m_hotkeyTriggerText, text, &AppModel::hotkeyTriggerTextChanged);
}

void AppModel::setIsHotkeyUnavailable(bool unavailable)
{
    assign(this, m_isHotkeyUnavailable, unavailable, &AppModel::isHotkeyUnavailableChanged);
}

void AppModel::setEditingID(const QUuid &id)
{
    m_shelf->setEditingID(id);
}

void AppModel::setDraggedShelfID(const QUuid &id)
{
    assign(this, m_draggedShelfID, id, &AppModel::draggedShelfIDChanged);
}

// Clipboard history

bool AppModel::isTrackingPaused() const
{
    return m_history->isPaused();
}

void AppModel::setIsTrackingPaused(bool paused)
{
    if (m_history->setPaused(paused))
        Q_EMIT isTrackingPausedChanged();
}

const QList<HistoryItem> &AppModel::history() const
{
    return m_history->items();
}

qint64 AppModel::lastChangeCount() const
{
    return m_history->lastChangeCount();
}

void AppModel::pollClipboard()
{
    m_history->poll();
}

void AppModel::pushHistory(QStringView text)
{
    m_history->push(text);
}

void AppModel::clearHistory()
{
    m_history->clear();
}

bool AppModel::isCapturePending() const
{
    return m_history->isCapturePending();
}

void AppModel::whenCaptureSettled(QObject *context, std::function<void()> task)
{
    m_history->whenCaptureSettled(context, std::move(task));
}

qint64 AppModel::copiesCounted() const
{
    return m_history->copiesCounted();
}

bool AppModel::missedAwaitedCopy(qint64 since) const
{
    const bool inHistory = selectedColumn() == Column::history;
    const bool followsNewest
        = (m_selectionIsDefault
              && (inHistory || m_settings->defaultOpenTarget() == DefaultOpenTarget::historyFirst))
        || (m_onlyColumnChanged && inHistory);
    return followsNewest && m_history->missedCopySince(since);
}

void AppModel::removeHistoryEntry(const QUuid &entryID)
{
    const QUuid id = entryID; // the caller's may live in the list that changes
    QString text;
    bool cut = false;
    for (const HistoryItem &item : history()) {
        if (item.id == id) {
            text = item.text;
            cut = item.cut;
        }
    }
    const qsizetype index = m_history->remove(id);
    if (index < 0)
        return;
    const QUuid next = index < history().size() ? history().at(index).id : QUuid();
    m_removalUndo->offer({ Column::history, id, text, index, next, cut });
    ensureSelectionValid();
}

void AppModel::removeRow(Column column, const QUuid &rowID)
{
    const QUuid id = rowID; // the caller's may live in the list that changes
    auto placeAmongShown = [&](const auto &shown) {
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (shown[i].id == id)
                return i;
        }
        return qsizetype(-1);
    };
    const bool history = column == Column::history;
    const bool wasSelected
        = selectedColumn() == column && (history ? selectedHistoryID() : selectedShelfID()) == id;
    const qsizetype at
        = history ? placeAmongShown(filteredHistory()) : placeAmongShown(filteredShelf());
    if (history)
        removeHistoryEntry(id);
    else
        deleteShelf(id);
    if (!wasSelected || at < 0)
        return;
    auto neighbour = [at](const auto &shown) {
        return shown.isEmpty() ? QUuid() : shown.at(std::min(at, shown.size() - 1)).id;
    };
    const QUuid next = history ? neighbour(filteredHistory()) : neighbour(filteredShelf());
    if (next.isNull())
        return; // the selection went to the other column
    if (history)
        selectHistory(next);
    else
        selectShelf(next);
    m_panel->revealSelection();
}

bool AppModel::saveHistoryEntryToShelf(const QUuid &id)
{
    for (const HistoryItem &item : history()) {
        if (item.id == id) {
            if (m_shelf->addFromDrop(item.text, {}, item.cut) == Shelf::Added::full)
                return false;
            ensureSelectionValid();
            return true;
        }
    }
    return true;
}

// Query, filters and selection

QString AppModel::query() const
{
    return m_panel->query();
}

void AppModel::setQuery(const QString &query)
{
    m_panel->setQuery(query);
}

void AppModel::setSelectedColumn(Column column)
{
    m_selectionIsDefault = false;
    m_onlyColumnChanged = false;
    m_panel->setSelectedColumn(column);
}

void AppModel::setSelectedShelfID(const QUuid &id)
{
    m_selectionIsDefault = false;
    m_onlyColumnChanged = false;
    m_panel->setSelectedShelfID(id);
}

void AppModel::setSelectedHistoryID(const QUuid &id)
{
    m_selectionIsDefault = false;
    m_onlyColumnChanged = false;
    m_panel->setSelectedHistoryID(id);
}

QList<ShelfItem> AppModel::filteredShelf() const
{
    return m_panel->filteredShelf();
}

QList<HistoryItem> AppModel::filteredHistory() const
{
    return m_panel->filteredHistory();
}

void AppModel::selectShelf(const QUuid &id)
{
    m_selectionIsDefault = false;
    m_onlyColumnChanged = false;
    m_panel->selectShelf(id);
}

void AppModel::selectHistory(const QUuid &id)
{
    m_selectionIsDefault = false;
    m_onlyColumnChanged = false;
    m_panel->selectHistory(id);
}

void AppModel::ensureSelectionValid()
{
    m_panel->ensureSelectionValid();
}

void AppModel::selectDefaultOnOpen(bool preferSaved)
{
    m_panel->selectDefaultOnOpen(preferSaved);
}

void AppModel::applyDefaultOpenTarget()
{
    // A second Nookary sharing the settings file (another display, another machine on the
    // same home) may have changed the snippets since: the panel opens on the stored list.
    m_shelf->reloadIfChangedElsewhere();
    m_history->reread();
    applyDefaultSelection();
}

void AppModel::applyDefaultSelection()
{
    const QList<HistoryItem> history = filteredHistory();
    if (m_settings->defaultOpenTarget() == DefaultOpenTarget::historyFirst && !history.isEmpty())
        selectHistory(history.first().id);
    else
        selectDefaultOnOpen(true);
    m_selectionIsDefault = true;
    m_onlyColumnChanged = false;
}

void AppModel::moveSelection(Nav direction)
{
    const bool followedNewest = m_selectionIsDefault || m_onlyColumnChanged;
    m_selectionIsDefault = false;
    m_panel->moveSelection(direction);
    // From the default selection, a change of column reaches the history's first row: where
    // the copy the user just made lands.
    m_onlyColumnChanged = followedNewest && (direction == Nav::left || direction == Nav::right);
}

void AppModel::setCopyBackWaiting(bool waiting)
{
    if (std::exchange(m_copyBackWaiting, waiting) != waiting)
        Q_EMIT copyBackWaitingChanged();
}

std::optional<QString> AppModel::selectedText() const
{
    return m_panel->selectedText();
}

std::optional<QString> AppModel::activateSelectedItemTextForPasteboard()
{
    const std::optional<QString> text = selectedText();
    if (!text)
        return std::nullopt;
    if (selectedColumn() == Column::history)
        pushHistory(*text);
    return text;
}

// Saved snippets

void AppModel::addShelfFromDrop(const QString &text, const QUuid &before, bool partial)
{
    switch (m_shelf->addFromDrop(text, before, partial)) {
    case Shelf::Added::full:
        Q_EMIT alertBeep();
        Q_EMIT shelfFullRefusedDrop();
        return;
    case Shelf::Added::blank:
        return;
    case Shelf::Added::added:
    case Shelf::Added::alreadySaved:
        ensureSelectionValid();
        return;
    }
}

void AppModel::addShelfAndEdit()
{
    m_shelf->addAndEdit();
}

void AppModel::startEditing(const QUuid &id)
{
    m_shelf->startEditing(id);
}

void AppModel::saveEditing(const QUuid &id, const QString &newText)
{
    m_shelf->saveEditing(id, newText);
    ensureSelectionValid();
}

void AppModel::deleteShelf(const QUuid &snippetID)
{
    const QUuid id = snippetID; // the caller's may live in the list that changes
    const qsizetype index = m_shelf->indexOf(id);
    if (index >= 0) {
        const QString text = shelf().at(index).text;
        m_shelf->remove(id);
        const QUuid next = index < shelf().size() ? shelf().at(index).id : QUuid();
        m_removalUndo->offer({ Column::saved, id, text, index, next });
    }
    if (selectedShelfID() == id)
        setSelectedShelfID({});
    ensureSelectionValid();
}

void AppModel::moveShelfItem(const QUuid &draggedID, const QUuid &overID)
{
    m_shelf->move(draggedID, overID);
    ensureSelectionValid();
}

SnippetTransfer::ImportResult AppModel::importSavedSnippets(const QStringList &texts)
{
    const SnippetTransfer::ImportResult result = m_shelf->importTexts(texts);
    ensureSelectionValid();
    return result;
}

QStringList AppModel::savedSnippetTexts() const
{
    QStringList texts;
    for (const ShelfItem &item : shelf()) {
        if (!trimmedEntryText(item.text).isEmpty()) // one being typed in the panel
            texts.append(item.text);
    }
    return texts;
}

std::optional<qsizetype> AppModel::exportSavedSnippets(const QString &path, QString *error) const
{
    const QStringList texts = savedSnippetTexts();
    if (!SnippetTransfer::writeFile(path, texts, m_shelfStorage->filePath(), error))
        return std::nullopt;
    return texts.size();
}

bool AppModel::moveShelfItemBy(const QUuid &id, int offset)
{
    const QList<ShelfItem> shown = filteredShelf();
    qsizetype at = -1;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i].id == id)
            at = i;
    }
    const qsizetype to = at + offset;
    if (at < 0 || to < 0 || to >= shown.size())
        return false;
    moveShelfItem(id, shown[to].id);
    m_panel->revealSelection();
    return true;
}

std::optional<AppModel::Column> AppModel::undoableRemoval() const
{
    if (const auto pending = m_removalUndo->pending())
        return pending->column;
    return std::nullopt;
}

std::optional<AppModel::UndoRefusal> AppModel::undoRefusal() const
{
    const std::optional<RemovalUndo::Refusal> refusal = m_removalUndo->refusal();
    if (!refusal)
        return std::nullopt;
    return *refusal == RemovalUndo::Refusal::savedFull ? UndoRefusal::savedFull
                                                       : UndoRefusal::historyFull;
}

bool AppModel::undoRemoval()
{
    const std::optional<RemovalUndo::Removal> removal = m_removalUndo->pending();
    if (!removal)
        return false;
    // Back in front of the one that followed it, wherever that is now.
    auto placeIn = [&](const auto &list) {
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (!removal->before.isNull() && list[i].id == removal->before)
                return i;
        }
        return removal->before.isNull() ? list.size() : removal->index;
    };
    // Taken only once it is back: a removal that finds no room is never thrown away.
    auto refuse = [this](RemovalUndo::Refusal reason) {
        m_removalUndo->refuse(reason);
        Q_EMIT alertBeep();
        return false;
    };
    QUuid select = removal->id;
    if (removal->column == Column::history) {
        const HistoryItem item = HistoryItem::make(removal->id, removal->text, removal->cut);
        switch (m_history->restore(item, placeIn(history()))) {
        case ClipboardHistory::Restored::restored:
            break;
        case ClipboardHistory::Restored::alreadyThere:
            for (const HistoryItem &entry : history()) {
                if (entry.canonicalText == item.canonicalText)
                    select = entry.id;
            }
            break;
        case ClipboardHistory::Restored::beyondLimit:
            return refuse(RemovalUndo::Refusal::historyFull);
        }
        m_removalUndo->dropLatest();
        selectHistory(select);
    } else {
        const ShelfItem item = ShelfItem::make(removal->id, removal->text);
        switch (m_shelf->restore(item, placeIn(shelf()))) {
        case Shelf::Added::added:
        case Shelf::Added::blank:
            break;
        case Shelf::Added::alreadySaved: {
            const QString canonical = canonicalEntryText(item.text);
            for (const ShelfItem &saved : shelf()) {
                if (saved.id == item.id || canonicalEntryText(saved.text) == canonical)
                    select = saved.id;
            }
            break;
        }
        case Shelf::Added::full:
            return refuse(RemovalUndo::Refusal::savedFull);
        }
        m_removalUndo->dropLatest();
        selectShelf(select);
    }
    ensureSelectionValid();
    m_panel->revealSelection();
    return true;
}

void AppModel::setRemovalUndoHeld(bool held)
{
    m_removalUndo->setHeld(held);
}

std::optional<ShelfItem> AppModel::shelfItemForShortcut(int index) const
{
    if (index < 1 || index > 9)
        return std::nullopt;
    const QList<ShelfItem> shelf = filteredShelf();
    if (index > shelf.size())
        return std::nullopt;
    return shelf[index - 1];
}

void AppModel::noteShelfRowDrop()
{
    m_shelf->noteRowDrop();
}

bool AppModel::shelfColumnDropAllowed() const
{
    return m_shelf->columnDropAllowed();
}

} // namespace nookary
