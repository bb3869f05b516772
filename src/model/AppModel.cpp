#include "AppModel.h"

#include "model/ClipboardHistory.h"
#include "model/EntryText.h"
#include "model/LaunchAtLogin.h"
#include "model/Settings.h"
#include "model/ShelfStorage.h"
#include "platform/Clock.h"
#include "platform/LoginItemService.h"

#include <algorithm>
#include <utility>

namespace nookary {

static_assert(AppModel::pollIntervalMs == ClipboardHistory::pollInterval.count());

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
    , m_clock(clock)
    , m_settings(std::make_unique<Settings>(store))
    , m_shelfStorage(std::make_unique<ShelfStorage>(store, *m_settings))
    , m_history(std::make_unique<ClipboardHistory>(pasteboard, clock, m_settings->historyLimit()))
    , m_shelf(m_shelfStorage->load(shelfMax))
    , m_shelfRevision(1)
    , m_panel(std::make_unique<PanelState>(*m_history, m_shelf, m_shelfRevision))
    , m_nullLoginItems(loginItems ? nullptr : std::make_unique<NullLoginItemService>())
    , m_launchAtLogin(std::make_unique<LaunchAtLogin>(loginItems ? *loginItems : *m_nullLoginItems))
{
    connect(m_launchAtLogin.get(), &LaunchAtLogin::enabledChanged, this,
        &AppModel::launchAtLoginChanged);
    connect(m_history.get(), &ClipboardHistory::changed, this, &AppModel::historyChanged);
    connect(m_history.get(), &ClipboardHistory::pushed, this, &AppModel::ensureSelectionValid);
    connect(m_panel.get(), &PanelState::queryChanged, this, &AppModel::queryChanged);
    connect(
        m_panel.get(), &PanelState::selectedColumnChanged, this, &AppModel::selectedColumnChanged);
    connect(m_panel.get(), &PanelState::selectedShelfIDChanged, this,
        &AppModel::selectedShelfIDChanged);
    connect(m_panel.get(), &PanelState::selectedHistoryIDChanged, this,
        &AppModel::selectedHistoryIDChanged);
    connect(m_panel.get(), &PanelState::selectionScrollTickChanged, this,
        &AppModel::selectionScrollTickChanged);
    m_launchAtLogin->mirrorSystemState();
}

AppModel::~AppModel()
{
    // A reorder written on the next turn is not lost to a quit in this one.
    if (m_pendingShelfWrite.isPending())
        writeShelf();
}

void AppModel::shelfDidChange(ShelfWrite write)
{
    ++m_shelfRevision;
    if (write == ShelfWrite::now)
        writeShelf();
    else if (!m_pendingShelfWrite.isPending())
        m_pendingShelfWrite
            = m_clock.runAfter(this, std::chrono::milliseconds(0), [this] { writeShelf(); });
    Q_EMIT shelfChanged();
}

void AppModel::writeShelf()
{
    m_pendingShelfWrite.cancel();
    m_shelfStorage->save(m_shelf);
}

// MARK: settings

int AppModel::historyLimit() const
{
    return m_settings->historyLimit();
}

void AppModel::setHistoryLimit(int limit)
{
    if (m_settings->setHistoryLimit(limit))
        Q_EMIT historyLimitChanged();
    m_history->setLimit(m_settings->historyLimit());
}

AppModel::OpenPresentation AppModel::openPresentation() const
{
    return m_settings->openPresentation();
}

void AppModel::setOpenPresentation(OpenPresentation presentation)
{
    if (m_settings->setOpenPresentation(presentation))
        Q_EMIT openPresentationChanged();
}

AppModel::DefaultOpenTarget AppModel::defaultOpenTarget() const
{
    return m_settings->defaultOpenTarget();
}

void AppModel::setDefaultOpenTarget(DefaultOpenTarget target)
{
    if (m_settings->setDefaultOpenTarget(target))
        Q_EMIT defaultOpenTargetChanged();
}

bool AppModel::keepWindowPinned() const
{
    return m_settings->keepWindowPinned();
}

void AppModel::setKeepWindowPinned(bool pinned)
{
    if (m_settings->setKeepWindowPinned(pinned))
        Q_EMIT keepWindowPinnedChanged();
}

HotkeyShortcut AppModel::hotkeyShortcut() const
{
    return m_settings->hotkeyShortcut();
}

void AppModel::setHotkeyShortcut(HotkeyShortcut shortcut)
{
    if (m_settings->setHotkeyShortcut(shortcut))
        Q_EMIT hotkeyShortcutChanged();
}

int AppModel::onboardingLastStep() const
{
    return m_settings->onboardingLastStep();
}

int AppModel::onboardingCompletedVersion() const
{
    return m_settings->onboardingCompletedVersion();
}

void AppModel::setOnboardingLastStep(int step)
{
    if (m_settings->setOnboardingLastStep(step))
        Q_EMIT onboardingLastStepChanged();
}

void AppModel::completeOnboarding()
{
    const Settings::OnboardingChange change = m_settings->completeOnboarding();
    if (change.completedVersion)
        Q_EMIT onboardingCompletedVersionChanged();
    if (change.lastStep)
        Q_EMIT onboardingLastStepChanged();
}

int AppModel::onboardingStartStepForManualShow() const
{
    return m_settings->onboardingStartStepForManualShow();
}

// MARK: state of this run

bool AppModel::launchAtLogin() const
{
    return m_launchAtLogin->isEnabled();
}

void AppModel::setLaunchAtLogin(bool enabled)
{
    m_launchAtLogin->setEnabled(enabled);
}

void AppModel::setFocusSearchTick(int tick)
{
    assign(this, m_focusSearchTick, tick, &AppModel::focusSearchTickChanged);
}

void AppModel::setIsRecordingHotkey(bool recording)
{
    assign(this, m_isRecordingHotkey, recording, &AppModel::isRecordingHotkeyChanged);
}

void AppModel::setEditingID(const QUuid &id)
{
    const qsizetype previous = shelfIndex(m_editingID);
    if (id != m_editingID && previous >= 0 && trimmedEntryText(m_shelf[previous].text).isEmpty())
        m_abandonedEmptyID = m_editingID;
    assign(this, m_editingID, id, &AppModel::editingIDChanged);
}

void AppModel::setDraggedShelfID(const QUuid &id)
{
    assign(this, m_draggedShelfID, id, &AppModel::draggedShelfIDChanged);
}

// MARK: clipboard history

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

void AppModel::markProgrammaticWrite(const QString &text)
{
    m_history->markProgrammaticWrite(text);
}

bool AppModel::ignoreNextPasteboardChange() const
{
    return m_history->ignoreNextPasteboardChange();
}

std::optional<QString> AppModel::lastProgrammaticWrite() const
{
    return m_history->lastProgrammaticWrite();
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

// MARK: query, filters and selection

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
    m_panel->setSelectedColumn(column);
}

void AppModel::setSelectedShelfID(const QUuid &id)
{
    m_panel->setSelectedShelfID(id);
}

void AppModel::setSelectedHistoryID(const QUuid &id)
{
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
    m_panel->selectShelf(id);
}

void AppModel::selectHistory(const QUuid &id)
{
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
    const QList<HistoryItem> history = filteredHistory();
    if (defaultOpenTarget() == DefaultOpenTarget::historyFirst && !history.isEmpty())
        selectHistory(history.first().id);
    else
        selectDefaultOnOpen(true);
}

void AppModel::moveSelection(Nav direction)
{
    m_panel->moveSelection(direction);
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
    markProgrammaticWrite(*text);
    return text;
}

// MARK: saved snippets

qsizetype AppModel::shelfIndex(const QUuid &id) const
{
    if (id.isNull())
        return -1;
    for (qsizetype i = 0; i < m_shelf.size(); ++i) {
        if (m_shelf[i].id == id)
            return i;
    }
    return -1;
}

void AppModel::addShelfFromDrop(const QString &text, const QUuid &before)
{
    const std::optional<QString> normalized = normalizedEntryText(text);
    if (!normalized)
        return;
    // A text saved in another composition of the same characters looks identical: the
    // same snippet.
    const QString canonical = canonicalEntryText(*normalized);
    const bool known = std::any_of(m_shelf.begin(), m_shelf.end(), [&](const ShelfItem &item) {
        return item.text == *normalized || canonicalEntryText(item.text) == canonical;
    });
    if (known) {
        ensureSelectionValid();
        return;
    }
    if (m_shelf.size() >= shelfMax) {
        Q_EMIT alertBeep();
        return;
    }
    const ShelfItem item = ShelfItem::make(QUuid::createUuid(), *normalized);
    const qsizetype at = shelfIndex(before);
    if (at >= 0)
        m_shelf.insert(at, item);
    else
        m_shelf.append(item);
    shelfDidChange();
    ensureSelectionValid();
}

void AppModel::addShelfAndEdit()
{
    discardEditingIfEmpty();
    setEditingID({});
    if (m_shelf.size() >= shelfMax)
        return;
    const ShelfItem item = ShelfItem::make(QUuid::createUuid(), QString());
    m_shelf.append(item);
    shelfDidChange();
    setEditingID(item.id);
}

void AppModel::startEditing(const QUuid &id)
{
    if (m_abandonedEmptyID == id)
        m_abandonedEmptyID = QUuid(); // taken up again
    if (m_editingID != id)
        discardEditingIfEmpty();
    setEditingID(id);
}

void AppModel::saveEditing(const QUuid &id, const QString &newText)
{
    const std::optional<QString> normalized = normalizedEntryText(newText);
    if (!normalized) {
        deleteShelf(id);
        setEditingID({});
        ensureSelectionValid();
        return;
    }
    const qsizetype index = shelfIndex(id);
    if (index < 0)
        return;
    m_shelf[index] = ShelfItem::make(id, *normalized);
    shelfDidChange();
    setEditingID({});
    ensureSelectionValid();
}

void AppModel::discardEditingIfEmpty()
{
    for (const QUuid id : { m_editingID, std::exchange(m_abandonedEmptyID, QUuid()) }) {
        const qsizetype index = shelfIndex(id);
        if (index >= 0 && trimmedEntryText(m_shelf[index].text).isEmpty())
            deleteShelf(id);
    }
}

void AppModel::deleteShelf(const QUuid &id)
{
    const qsizetype removed
        = m_shelf.removeIf([&](const ShelfItem &item) { return item.id == id; });
    if (removed > 0)
        shelfDidChange();
    if (m_editingID == id)
        setEditingID({});
    if (selectedShelfID() == id)
        setSelectedShelfID({});
    ensureSelectionValid();
}

void AppModel::moveShelfItem(const QUuid &draggedID, const QUuid &overID)
{
    if (draggedID == overID)
        return;
    const qsizetype from = shelfIndex(draggedID);
    const qsizetype to = shelfIndex(overID);
    if (from < 0 || to < 0)
        return;
    // One change: a list announced without the dragged snippet would make the panel drop its
    // row (and with it the drag's source and any open editor). This runs at every step of a
    // drag and each write waits for the disk, so the list is written after the panel has
    // drawn the step, once for the steps of one turn.
    m_shelf.move(from, to);
    shelfDidChange(ShelfWrite::soon);
    ensureSelectionValid();
}

std::optional<ShelfItem> AppModel::savedItemForShortcut(int index) const
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
    m_shelfRowDropPriorityUntil = m_clock.now() + shelfDropArbitrationWindow;
}

bool AppModel::shelfColumnDropAllowed() const
{
    return m_clock.now() > m_shelfRowDropPriorityUntil;
}

} // namespace nookary
