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
    connect(m_shelf.get(), &Shelf::removed, this, [this](const QUuid &id) {
        if (m_panel->selectedShelfID() == id)
            m_panel->setSelectedShelfID({});
        m_panel->ensureSelectionValid();
    });
    connect(m_history.get(), &ClipboardHistory::pushed, m_panel.get(),
        &PanelState::ensureSelectionValid);
    // A copy that lands while the panel is open is where the default selection would be.
    connect(m_history.get(), &ClipboardHistory::captured, this,
        [this] { m_panel->followLandedCopy(historyFirst()); });
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

void AppModel::setDraggedShelfID(const QUuid &id)
{
    assign(this, m_draggedShelfID, id, &AppModel::draggedShelfIDChanged);
}

// Clipboard history

bool AppModel::missedAwaitedCopy(qint64 since) const
{
    return m_panel->followsNewestCopy(historyFirst()) && m_history->missedCopySince(since);
}

void AppModel::removeHistoryEntry(const QUuid &entryID)
{
    const QUuid id = entryID; // the caller's may live in the list that changes
    QString text;
    bool cut = false;
    for (const HistoryItem &item : m_history->items()) {
        if (item.id == id) {
            text = item.text;
            cut = item.cut;
        }
    }
    const qsizetype index = m_history->remove(id);
    if (index < 0)
        return;
    const QUuid next
        = index < m_history->items().size() ? m_history->items().at(index).id : QUuid();
    m_removalUndo->offer({ Column::history, id, text, index, next, cut });
    m_panel->ensureSelectionValid();
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
    const bool wasSelected = m_panel->selectedColumn() == column
        && (history ? m_panel->selectedHistoryID() : m_panel->selectedShelfID()) == id;
    const qsizetype at = history ? placeAmongShown(m_panel->filteredHistory())
                                 : placeAmongShown(m_panel->filteredShelf());
    if (history)
        removeHistoryEntry(id);
    else
        deleteShelf(id);
    if (!wasSelected || at < 0)
        return;
    auto neighbour = [at](const auto &shown) {
        return shown.isEmpty() ? QUuid() : shown.at(std::min(at, shown.size() - 1)).id;
    };
    const QUuid next
        = history ? neighbour(m_panel->filteredHistory()) : neighbour(m_panel->filteredShelf());
    if (next.isNull())
        return; // the selection went to the other column
    if (history)
        m_panel->selectHistory(next);
    else
        m_panel->selectShelf(next);
    m_panel->revealSelection();
}

bool AppModel::saveHistoryEntryToShelf(const QUuid &id)
{
    for (const HistoryItem &item : m_history->items()) {
        if (item.id == id) {
            if (m_shelf->addFromDrop(item.text, {}, item.cut) == Shelf::Added::full)
                return false;
            m_panel->ensureSelectionValid();
            return true;
        }
    }
    return true;
}

// Opening and copying back

void AppModel::applyDefaultOpenTarget()
{
    // A second Nookary sharing the settings file (another display, another machine on the
    // same home) may have changed the snippets since: the panel opens on the stored list.
    m_shelf->reloadIfChangedElsewhere();
    m_history->reread();
    m_panel->selectDefault(historyFirst());
}

bool AppModel::historyFirst() const
{
    return m_settings->defaultOpenTarget() == DefaultOpenTarget::historyFirst;
}

void AppModel::setCopyBackWaiting(bool waiting)
{
    if (std::exchange(m_copyBackWaiting, waiting) != waiting)
        Q_EMIT copyBackWaitingChanged();
}

std::optional<QString> AppModel::activateSelectedItemTextForPasteboard()
{
    const std::optional<QString> text = m_panel->selectedText();
    if (!text)
        return std::nullopt;
    if (m_panel->selectedColumn() == Column::history)
        m_history->push(*text);
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
        m_panel->ensureSelectionValid();
        return;
    }
}

void AppModel::saveEditing(const QUuid &id, const QString &newText)
{
    m_shelf->saveEditing(id, newText);
    m_panel->ensureSelectionValid();
}

void AppModel::deleteShelf(const QUuid &snippetID)
{
    const QUuid id = snippetID; // the caller's may live in the list that changes
    const qsizetype index = m_shelf->indexOf(id);
    if (index >= 0) {
        const QString text = m_shelf->items().at(index).text;
        m_shelf->remove(id);
        const QUuid next
            = index < m_shelf->items().size() ? m_shelf->items().at(index).id : QUuid();
        m_removalUndo->offer({ Column::saved, id, text, index, next });
    }
    if (m_panel->selectedShelfID() == id)
        m_panel->setSelectedShelfID({});
    m_panel->ensureSelectionValid();
}

void AppModel::moveShelfItem(const QUuid &draggedID, const QUuid &overID)
{
    m_shelf->move(draggedID, overID);
    m_panel->ensureSelectionValid();
}

SnippetTransfer::ImportResult AppModel::importSavedSnippets(const QStringList &texts)
{
    const SnippetTransfer::ImportResult result = m_shelf->importTexts(texts);
    m_panel->ensureSelectionValid();
    return result;
}

QStringList AppModel::savedSnippetTexts() const
{
    QStringList texts;
    for (const ShelfItem &item : m_shelf->items()) {
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
    const QList<ShelfItem> shown = m_panel->filteredShelf();
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
        switch (m_history->restore(item, placeIn(m_history->items()))) {
        case ClipboardHistory::Restored::restored:
            break;
        case ClipboardHistory::Restored::alreadyThere:
            for (const HistoryItem &entry : m_history->items()) {
                if (entry.canonicalText == item.canonicalText)
                    select = entry.id;
            }
            break;
        case ClipboardHistory::Restored::beyondLimit:
            return refuse(RemovalUndo::Refusal::historyFull);
        }
        m_removalUndo->dropLatest();
        m_panel->selectHistory(select);
    } else {
        const ShelfItem item = ShelfItem::make(removal->id, removal->text);
        switch (m_shelf->restore(item, placeIn(m_shelf->items()))) {
        case Shelf::Added::added:
        case Shelf::Added::blank:
            break;
        case Shelf::Added::alreadySaved: {
            const QString canonical = canonicalEntryText(item.text);
            for (const ShelfItem &saved : m_shelf->items()) {
                if (saved.id == item.id || canonicalEntryText(saved.text) == canonical)
                    select = saved.id;
            }
            break;
        }
        case Shelf::Added::full:
            return refuse(RemovalUndo::Refusal::savedFull);
        }
        m_removalUndo->dropLatest();
        m_panel->selectShelf(select);
    }
    m_panel->ensureSelectionValid();
    m_panel->revealSelection();
    return true;
}

void AppModel::setRemovalUndoHeld(bool held)
{
    m_removalUndo->setHeld(held);
}

} // namespace nookary
