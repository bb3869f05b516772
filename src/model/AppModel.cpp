#include "AppModel.h"

#include "model/EntryText.h"
#include "model/LaunchAtLogin.h"
#include "model/PersistedRead.h"
#include "model/SettingsKeys.h"
#include "platform/LoginItemService.h"
#include "platform/Pasteboard.h"
#include "platform/PreferencesStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMetaEnum>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcModel, "nookary.model")

namespace nookary {

namespace SK = SettingsKeys;

namespace {

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

// Enumerations are stored by their case names, which are also their Qt enum key names.
template <typename Enum>
QString rawValue(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(static_cast<int>(value)));
}

template <typename Enum>
std::optional<Enum> fromRawValue(const QString &raw)
{
    bool ok = false;
    const int value = QMetaEnum::fromType<Enum>().keyToValue(raw.toLatin1().constData(), &ok);
    if (!ok || raw.contains(u':')) // keyToValue also accepts qualified names
        return std::nullopt;
    return static_cast<Enum>(value);
}

template <typename T, typename Signal>
bool assign(AppModel *model, T &member, const T &value, Signal signal)
{
    if (member == value)
        return false;
    member = value;
    Q_EMIT (model->*signal)();
    return true;
}

QString uuidString(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

// The stored snippet list: a JSON array of {"id", "text"} objects, both required. Anything
// else makes the whole list undecodable.
std::optional<QList<ShelfItem>> decodeShelf(const QByteArray &data)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    QList<ShelfItem> items;
    QSet<QUuid> seen;
    const QJsonArray array = doc.array();
    items.reserve(array.size());
    for (const QJsonValue &value : array) {
        if (!value.isObject())
            return std::nullopt;
        const QJsonObject object = value.toObject();
        const QJsonValue id = object.value(QLatin1String("id"));
        const QJsonValue text = object.value(QLatin1String("text"));
        if (!id.isString() || !text.isString())
            return std::nullopt;
        const QString idText = id.toString();
        QUuid uuid = idText.size() == 36 ? QUuid::fromString(idText) : QUuid();
        if (uuid.isNull()) {
            // The all-zero id is a well-formed UUID, but here the null id means "no snippet":
            // that snippet gets an id of its own rather than costing the user the list.
            if (idText != QUuid().toString(QUuid::WithoutBraces))
                return std::nullopt;
            uuid = QUuid::createUuid();
        }
        // Rows, edits and deletes find a snippet by its id: a repeated id (a merged or
        // hand-edited file) would hide one snippet and delete both with the other.
        if (seen.contains(uuid))
            uuid = QUuid::createUuid();
        seen.insert(uuid);
        items.append(ShelfItem::make(uuid, text.toString()));
    }
    return items;
}

QByteArray encodeShelf(const QList<ShelfItem> &shelf)
{
    QJsonArray array;
    for (const ShelfItem &item : shelf)
        array.append(QJsonObject{{QLatin1String("id"), uuidString(item.id)},
                                 {QLatin1String("text"), item.text}});
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

bool isHistoryLimitOption(qint64 value)
{
    return std::find(SK::historyLimitOptions.begin(), SK::historyLimitOptions.end(), value)
        != SK::historyLimitOptions.end();
}

} // namespace

AppModel::AppModel(PreferencesStore &store, Pasteboard &pasteboard, LoginItemService *loginItems,
                   QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_pasteboard(pasteboard)
    , m_nullLoginItems(loginItems ? nullptr : std::make_unique<NullLoginItemService>())
    , m_launchAtLogin(std::make_unique<LaunchAtLogin>(loginItems ? *loginItems : *m_nullLoginItems))
{
    connect(m_launchAtLogin.get(), &LaunchAtLogin::enabledChanged, this,
            &AppModel::launchAtLoginChanged);
    // Whatever is on the clipboard at start is never recorded.
    m_lastChangeCount = m_pasteboard.changeCount();
    loadSettings();
    loadShelf();
    startClipboardWatcher();
    m_launchAtLogin->mirrorSystemState();
}

AppModel::~AppModel() = default;

// MARK: persisted reads

std::optional<qint64> AppModel::persistedInt(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(),
        [this](const QString &name) {
            return m_store.contains(name) ? std::optional(m_store.integer(name)) : std::nullopt;
        },
        [this](const QString &name, qint64 value) { m_store.setInteger(name, value); });
}

std::optional<bool> AppModel::persistedBool(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(),
        [this](const QString &name) {
            return m_store.contains(name) ? std::optional(m_store.boolean(name)) : std::nullopt;
        },
        [this](const QString &name, bool value) { m_store.setBoolean(name, value); });
}

// For strings and data, presence is what the typed getter can give.
std::optional<QString> AppModel::persistedString(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(), [this](const QString &name) { return m_store.string(name); },
        [this](const QString &name, const QString &value) { m_store.setString(name, value); });
}

std::optional<QByteArray> AppModel::persistedData(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(), [this](const QString &name) { return m_store.data(name); },
        [this](const QString &name, const QByteArray &value) { m_store.setData(name, value); });
}

std::optional<quint32> AppModel::persistedUInt32(const char *k, const char *legacy)
{
    const std::optional<qint64> value = persistedInt(k, legacy);
    // A value that does not fit the stored encoding counts as absent.
    if (!value || *value < 0 || *value > qint64(0xFFFFFFFFu))
        return std::nullopt;
    return quint32(*value);
}

// MARK: start-up

void AppModel::loadSettings()
{
    const auto completed = persistedInt(SK::onboardingCompletedVersion.current,
                                        SK::onboardingCompletedVersion.current);
    m_onboardingCompletedVersion = (!completed || *completed < 1) ? 0 : int(std::min<qint64>(*completed, INT_MAX));

    const auto step = persistedInt(SK::onboardingLastStep.current, SK::onboardingLastStep.current);
    m_onboardingLastStep = step ? int(std::clamp<qint64>(*step, SK::onboardingFirstStep,
                                                         SK::onboardingLastStepIndex))
                                : 0;

    const auto target = persistedString(SK::defaultOpenTarget.current, SK::defaultOpenTarget.legacy);
    const auto targetValue = target ? fromRawValue<DefaultOpenTarget>(*target) : std::nullopt;
    m_defaultOpenTarget = targetValue.value_or(DefaultOpenTarget::savedFirst);
    m_store.setString(key(SK::defaultOpenTarget.current), rawValue(m_defaultOpenTarget));

    const auto presentation = persistedString(SK::openPresentation.current, SK::openPresentation.legacy);
    const auto presentationValue = presentation ? fromRawValue<OpenPresentation>(*presentation)
                                                : std::nullopt;
    m_openPresentation = presentationValue.value_or(OpenPresentation::centeredWindow);
    m_store.setString(key(SK::openPresentation.current), rawValue(m_openPresentation));

    m_keepWindowPinned = persistedBool(SK::keepWindowPinned.current, SK::keepWindowPinned.legacy)
                             .value_or(false);
    m_store.setBoolean(key(SK::keepWindowPinned.current), m_keepWindowPinned);

    loadHotkeyShortcut();

    const auto limit = persistedInt(SK::historyLimit.current, SK::historyLimit.legacy);
    m_historyLimit = (limit && isHistoryLimitOption(*limit)) ? int(*limit) : SK::defaultHistoryLimit;
    m_store.setInteger(key(SK::historyLimit.current), m_historyLimit);
}

void AppModel::loadHotkeyShortcut()
{
    std::optional<HotkeyShortcut> shortcut;
    if (const auto code = persistedUInt32(SK::hotkeyCode.current, SK::hotkeyCode.legacy)) {
        if (const auto modifiers = persistedUInt32(SK::hotkeyModifiers.current,
                                                   SK::hotkeyModifiers.legacy))
            shortcut = HotkeyShortcut{*code, *modifiers};
    }
    if (!shortcut) {
        // Unlike every other legacy value, a preset is never copied to its current key: it
        // is superseded by the two integers written below.
        auto preset = m_store.string(key(SK::hotkeyPreset.current));
        if (!preset)
            preset = m_store.string(key(SK::hotkeyPreset.legacy));
        if (preset)
            shortcut = HotkeyShortcut::fromLegacyPreset(*preset);
    }
    m_hotkeyShortcut = shortcut.value_or(HotkeyShortcut::defaultShortcut());
    persistHotkeyShortcut();
}

void AppModel::persistHotkeyShortcut()
{
    m_store.setInteger(key(SK::hotkeyCode.current), m_hotkeyShortcut.keyCode);
    m_store.setInteger(key(SK::hotkeyModifiers.current), m_hotkeyShortcut.modifiers);
}

void AppModel::loadShelf()
{
    // Every path below that replaces what the user stored keeps a copy of it first: the
    // user's snippets are worth more than our strictness.
    const QString shelfKey = key(SK::shelf.current);
    if (m_store.contains(shelfKey) && !m_store.data(shelfKey)) {
        // Not binary data (a hand-edited or synced file can give text, a list or another
        // type): replaced below by the legacy list or by an empty one.
        keepShelfCopy(m_store.storedForm(shelfKey), "could not be read");
    }
    const QString legacyKey = key(SK::shelf.legacy);
    if (!m_store.data(shelfKey) && m_store.contains(legacyKey) && !m_store.data(legacyKey)) {
        // The legacy key is never removed, but the file's next write respells it; taken
        // only while no current list exists, so that this happens once.
        keepShelfCopy(m_store.storedForm(legacyKey), "could not be read");
    }
    const std::optional<QByteArray> data = persistedData(SK::shelf.current, SK::shelf.legacy);
    const std::optional<QList<ShelfItem>> decoded = data ? decodeShelf(*data) : std::nullopt;
    QList<ShelfItem> loaded;
    if (decoded) {
        bool shortened = false;
        for (qsizetype i = 0; i < decoded->size(); ++i) {
            const ShelfItem &item = decoded->at(i);
            const std::optional<QString> text = normalizedEntryText(item.text);
            if (!text)
                continue; // a blank snippet holds nothing to lose
            if (i >= shelfMax || text->size() < trimmedEntryText(item.text).size()) {
                shortened = true;
                if (i >= shelfMax)
                    continue;
            }
            loaded.append(ShelfItem::make(item.id, *text));
        }
        if (shortened)
            keepShelfCopy(*data, "were more or longer than kept");
    } else if (data) {
        keepShelfCopy(*data, "could not be read");
    }
    m_shelf = loaded;
    ++m_shelfRevision;
    persistShelf();
}

void AppModel::keepShelfCopy(const QByteArray &stored, const char *reason)
{
    if (stored.isEmpty())
        return;
    const QString copy = m_store.keepCopy(QStringLiteral("snippets"), stored);
    qCWarning(lcModel).noquote()
        << "The saved snippets" << reason << "and were replaced;"
        << (copy.isEmpty() ? QStringLiteral("keeping a copy of them failed")
                           : QStringLiteral("their stored form was kept at ") + copy);
}

void AppModel::persistShelf()
{
    m_store.setData(key(SK::shelf.current), encodeShelf(m_shelf));
}

void AppModel::shelfDidChange()
{
    ++m_shelfRevision;
    persistShelf();
    Q_EMIT shelfChanged();
}

void AppModel::historyDidChange()
{
    ++m_historyRevision;
    Q_EMIT historyChanged();
}

// MARK: write-through properties

void AppModel::setQuery(const QString &query)
{
    assign(this, m_query, query, &AppModel::queryChanged);
}

void AppModel::setIsTrackingPaused(bool paused)
{
    if (!assign(this, m_isTrackingPaused, paused, &AppModel::isTrackingPausedChanged))
        return;
    // Paused means nothing another program copies is even read; resuming reads once.
    m_pasteboard.setReadingPaused(paused);
    if (!paused)
        armPoll(); // what was copied meanwhile is recorded at the first poll after resume
}

void AppModel::setHistoryLimit(int limit)
{
    const int value = isHistoryLimitOption(limit) ? limit : SK::defaultHistoryLimit;
    m_store.setInteger(key(SK::historyLimit.current), value);
    assign(this, m_historyLimit, value, &AppModel::historyLimitChanged);
    trimHistoryToLimit();
}

void AppModel::setOpenPresentation(OpenPresentation presentation)
{
    m_store.setString(key(SK::openPresentation.current), rawValue(presentation));
    assign(this, m_openPresentation, presentation, &AppModel::openPresentationChanged);
}

void AppModel::setDefaultOpenTarget(DefaultOpenTarget target)
{
    m_store.setString(key(SK::defaultOpenTarget.current), rawValue(target));
    assign(this, m_defaultOpenTarget, target, &AppModel::defaultOpenTargetChanged);
}

void AppModel::setKeepWindowPinned(bool pinned)
{
    m_store.setBoolean(key(SK::keepWindowPinned.current), pinned);
    assign(this, m_keepWindowPinned, pinned, &AppModel::keepWindowPinnedChanged);
}

void AppModel::setHotkeyShortcut(HotkeyShortcut shortcut)
{
    const bool changed = m_hotkeyShortcut != shortcut;
    m_hotkeyShortcut = shortcut;
    persistHotkeyShortcut();
    if (changed)
        Q_EMIT hotkeyShortcutChanged();
}

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

void AppModel::setSelectedColumn(Column column)
{
    assign(this, m_selectedColumn, column, &AppModel::selectedColumnChanged);
}

void AppModel::setSelectedShelfID(const QUuid &id)
{
    assign(this, m_selectedShelfID, id, &AppModel::selectedShelfIDChanged);
}

void AppModel::setSelectedHistoryID(const QUuid &id)
{
    assign(this, m_selectedHistoryID, id, &AppModel::selectedHistoryIDChanged);
}

// MARK: onboarding

void AppModel::setOnboardingLastStep(int step)
{
    const int clamped = std::clamp(step, SK::onboardingFirstStep, SK::onboardingLastStepIndex);
    if (clamped == m_onboardingLastStep)
        return;
    m_onboardingLastStep = clamped;
    Q_EMIT onboardingLastStepChanged();
    m_store.setInteger(key(SK::onboardingLastStep.current), clamped);
}

void AppModel::completeOnboarding()
{
    assign(this, m_onboardingCompletedVersion, SK::onboardingCurrentVersion,
           &AppModel::onboardingCompletedVersionChanged);
    assign(this, m_onboardingLastStep, SK::onboardingFirstStep, &AppModel::onboardingLastStepChanged);
    m_store.setInteger(key(SK::onboardingCompletedVersion.current), SK::onboardingCurrentVersion);
    m_store.setInteger(key(SK::onboardingLastStep.current), SK::onboardingFirstStep);
}

int AppModel::onboardingStartStepForManualShow() const
{
    if (m_onboardingCompletedVersion > 0)
        return SK::onboardingFirstStep;
    return std::clamp(m_onboardingLastStep, SK::onboardingFirstStep, SK::onboardingLastStepIndex);
}

// MARK: clipboard watcher

void AppModel::startClipboardWatcher()
{
    m_pollTimer.setSingleShot(true);
    m_pollTimer.setInterval(pollIntervalMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &AppModel::pollClipboard);
    connect(&m_pasteboard, &Pasteboard::changeCountChanged, this, &AppModel::armPoll);
}

void AppModel::armPoll()
{
    // A poll already due will see this change too, as a repeating poll would.
    if (!m_pollTimer.isActive())
        m_pollTimer.start();
}

void AppModel::markProgrammaticWrite(const QString &text)
{
    m_ignoreNextPasteboardChange = true;
    m_lastProgrammaticWrite = text;
}

void AppModel::pollClipboard()
{
    if (m_isTrackingPaused)
        return;
    const qint64 count = m_pasteboard.changeCount();
    if (count == m_lastChangeCount)
        return;
    m_lastChangeCount = count;

    if (m_ignoreNextPasteboardChange) {
        m_ignoreNextPasteboardChange = false;
        m_lastProgrammaticWrite.reset();
        return;
    }
    if (m_pasteboard.isMarkedSecret())
        return;

    if (const auto urlString = m_pasteboard.fileURLString()) {
        const QUrl url(*urlString, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile()) {
            pushHistory(url.toString(QUrl::FullyEncoded));
            return;
        }
    }

    const std::optional<QString> text = m_pasteboard.string();
    if (!text)
        return;
    const QStringView trimmed = trimmedEntryText(*text);
    if (trimmed.isEmpty())
        return;
    if (m_lastProgrammaticWrite) {
        const QString &written = *m_lastProgrammaticWrite;
        // Canonically equivalent texts differ in length by a small factor at most; skip
        // normalising a huge text that cannot match.
        const bool couldMatch = trimmed.size() <= 4 * written.size() + 16
            && written.size() <= 4 * trimmed.size() + 16;
        if (trimmed == written
            || (couldMatch && canonicalEntryText(trimmed.toString()) == canonicalEntryText(written))) {
            m_lastProgrammaticWrite.reset();
            return;
        }
    }
    pushHistory(trimmed);
}

void AppModel::pushHistory(QStringView text)
{
    const std::optional<QString> normalized = normalizedEntryText(text);
    if (!normalized)
        return;
    HistoryItem item = HistoryItem::make(QUuid::createUuid(), *normalized);
    const auto existing = std::find_if(m_history.begin(), m_history.end(), [&](const HistoryItem &h) {
        return h.canonicalText == item.canonicalText;
    });
    const bool alreadyOnTop = existing == m_history.begin() && existing != m_history.end();
    if (!alreadyOnTop) {
        if (existing != m_history.end()) {
            item = *existing; // keeps its id
            m_history.erase(existing);
        }
        m_history.prepend(item);
        if (m_history.size() > m_historyLimit)
            m_history.resize(m_historyLimit);
        historyDidChange();
    }
    ensureSelectionValid();
}

void AppModel::clearHistory()
{
    if (m_history.isEmpty())
        return;
    m_history.clear();
    historyDidChange();
}

void AppModel::trimHistoryToLimit()
{
    if (m_history.size() <= m_historyLimit)
        return;
    m_history.resize(m_historyLimit);
    historyDidChange();
}

// MARK: filtering and selection

QString AppModel::filterNeedle() const
{
    return foldedEntryText(m_query.trimmed());
}

namespace {

template <typename Item, typename Cache>
const QList<Item> &filtered(const QList<Item> &items, quint64 revision, const QString &needle,
                            Cache &cache)
{
    if (cache.revision == revision && cache.needle == needle)
        return cache.result;
    cache.revision = revision;
    cache.needle = needle;
    if (needle.isEmpty()) {
        cache.result = items;
        return cache.result;
    }
    cache.result.clear();
    for (const Item &item : items) {
        if (item.foldedText.contains(needle))
            cache.result.append(item);
    }
    return cache.result;
}

} // namespace

QList<ShelfItem> AppModel::filteredShelf() const
{
    return filtered(m_shelf, m_shelfRevision, filterNeedle(), m_shelfFilter);
}

QList<HistoryItem> AppModel::filteredHistory() const
{
    return filtered(m_history, m_historyRevision, filterNeedle(), m_historyFilter);
}

void AppModel::selectShelf(const QUuid &id)
{
    setSelectedColumn(Column::saved);
    setSelectedShelfID(id);
    if (!id.isNull())
        setSelectedHistoryID({});
}

void AppModel::selectHistory(const QUuid &id)
{
    setSelectedColumn(Column::history);
    setSelectedHistoryID(id);
    if (!id.isNull())
        setSelectedShelfID({});
}

void AppModel::ensureSelectionValid()
{
    const QList<ShelfItem> shelf = filteredShelf();
    const QList<HistoryItem> history = filteredHistory();
    auto contains = [](const auto &list, const QUuid &id) {
        return !id.isNull() && std::any_of(list.begin(), list.end(),
                                           [&](const auto &item) { return item.id == id; });
    };
    if (m_selectedColumn == Column::history) {
        if (!history.isEmpty()) {
            if (!contains(history, m_selectedHistoryID))
                setSelectedHistoryID(history.first().id);
        } else if (!shelf.isEmpty()) {
            selectShelf(shelf.first().id);
        } else {
            setSelectedShelfID({});
            setSelectedHistoryID({});
        }
    } else {
        if (!shelf.isEmpty()) {
            if (!contains(shelf, m_selectedShelfID))
                setSelectedShelfID(shelf.first().id);
        } else if (!history.isEmpty()) {
            selectHistory(history.first().id);
        } else {
            setSelectedShelfID({});
            setSelectedHistoryID({});
        }
    }
}

void AppModel::selectDefaultOnOpen(bool preferSaved)
{
    const QList<ShelfItem> shelf = filteredShelf();
    const QList<HistoryItem> history = filteredHistory();
    if (preferSaved && !shelf.isEmpty()) {
        selectShelf(shelf.first().id);
    } else if (!history.isEmpty()) {
        selectHistory(history.first().id);
    } else if (!shelf.isEmpty()) {
        selectShelf(shelf.first().id);
    } else {
        setSelectedShelfID({});
        setSelectedHistoryID({});
    }
}

void AppModel::applyDefaultOpenTarget()
{
    const QList<HistoryItem> history = filteredHistory();
    if (m_defaultOpenTarget == DefaultOpenTarget::historyFirst && !history.isEmpty())
        selectHistory(history.first().id);
    else
        selectDefaultOnOpen(true);
}

void AppModel::moveSelection(Nav direction)
{
    ensureSelectionValid();
    const QList<ShelfItem> shelf = filteredShelf();
    const QList<HistoryItem> history = filteredHistory();
    auto indexOf = [](const auto &list, const QUuid &id) -> qsizetype {
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list[i].id == id)
                return i;
        }
        return -1;
    };
    auto step = [&](const auto &list, const QUuid &selected, auto select) {
        if (list.isEmpty())
            return false;
        const qsizetype index = std::max<qsizetype>(indexOf(list, selected), 0);
        const qsizetype next = direction == Nav::down ? std::min(index + 1, list.size() - 1)
                                                      : std::max<qsizetype>(index - 1, 0);
        select(list[next].id);
        return true;
    };
    auto jump = [&](const auto &list, const QUuid &remembered, auto select) {
        if (!list.isEmpty())
            select(indexOf(list, remembered) >= 0 ? remembered : list.first().id);
    };
    const auto selectShelfRow = [this](const QUuid &id) { selectShelf(id); };
    const auto selectHistoryRow = [this](const QUuid &id) { selectHistory(id); };

    switch (direction) {
    case Nav::up:
    case Nav::down: {
        const bool moved = m_selectedColumn == Column::history
            ? step(history, m_selectedHistoryID, selectHistoryRow)
            : step(shelf, m_selectedShelfID, selectShelfRow);
        if (!moved)
            return; // an empty column: not even the scroll counter moves
        break;
    }
    case Nav::left:
        jump(history, m_selectedHistoryID, selectHistoryRow);
        break;
    case Nav::right:
        jump(shelf, m_selectedShelfID, selectShelfRow);
        break;
    }
    ++m_selectionScrollTick;
    Q_EMIT selectionScrollTickChanged();
}

std::optional<QString> AppModel::selectedText() const
{
    if (m_selectedColumn == Column::history) {
        for (const HistoryItem &item : m_history) {
            if (!m_selectedHistoryID.isNull() && item.id == m_selectedHistoryID)
                return item.text;
        }
        return std::nullopt;
    }
    const qsizetype index = shelfIndex(m_selectedShelfID);
    return index < 0 ? std::nullopt : std::optional<QString>(m_shelf[index].text);
}

std::optional<QString> AppModel::activateSelectedItemTextForPasteboard()
{
    const std::optional<QString> text = selectedText();
    if (!text)
        return std::nullopt;
    if (m_selectedColumn == Column::history)
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
    for (const QUuid id : {m_editingID, std::exchange(m_abandonedEmptyID, QUuid())}) {
        const qsizetype index = shelfIndex(id);
        if (index >= 0 && trimmedEntryText(m_shelf[index].text).isEmpty())
            deleteShelf(id);
    }
}

void AppModel::deleteShelf(const QUuid &id)
{
    const qsizetype removed = m_shelf.removeIf([&](const ShelfItem &item) { return item.id == id; });
    if (removed > 0)
        shelfDidChange();
    if (m_editingID == id)
        setEditingID({});
    if (m_selectedShelfID == id)
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
    // One change, written once: this runs at every step of a drag, each write reaches the
    // disk, and a list announced without the dragged snippet would make the panel drop its
    // row (and with it the drag's source and any open editor).
    m_shelf.move(from, to);
    shelfDidChange();
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
    m_shelfRowDropPriorityUntil = m_clock() + shelfDropArbitrationWindow;
}

bool AppModel::shelfColumnDropAllowed() const
{
    return m_clock() > m_shelfRowDropPriorityUntil;
}

} // namespace nookary
