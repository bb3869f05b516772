#include "AppModel.h"

#include "model/EntryText.h"
#include "model/SettingsKeys.h"
#include "platform/Pasteboard.h"
#include "platform/PreferencesStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMetaEnum>
#include <QUrl>

#include <algorithm>

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

HistoryItem makeHistoryItem(const QString &text)
{
    return HistoryItem{QUuid::createUuid(), text, canonicalEntryText(text)};
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
        const QUuid uuid = QUuid::fromString(id.toString());
        if (uuid.isNull() || id.toString().size() != 36)
            return std::nullopt;
        items.append(ShelfItem{uuid, text.toString()});
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

AppModel::AppModel(PreferencesStore &store, Pasteboard &pasteboard, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_pasteboard(pasteboard)
{
    // Whatever is on the clipboard at start is never recorded.
    m_lastChangeCount = m_pasteboard.changeCount();
    loadSettings();
    loadShelf();
    startClipboardWatcher();
}

AppModel::~AppModel() = default;

// MARK: persisted reads

std::optional<qint64> AppModel::persistedInt(const char *k, const char *legacy)
{
    if (m_store.contains(key(k)))
        return m_store.integer(key(k));
    if (legacy && m_store.contains(key(legacy))) {
        const qint64 value = m_store.integer(key(legacy));
        m_store.setInteger(key(k), value);
        return value;
    }
    return std::nullopt;
}

std::optional<bool> AppModel::persistedBool(const char *k, const char *legacy)
{
    if (m_store.contains(key(k)))
        return m_store.boolean(key(k));
    if (legacy && m_store.contains(key(legacy))) {
        const bool value = m_store.boolean(key(legacy));
        m_store.setBoolean(key(k), value);
        return value;
    }
    return std::nullopt;
}

std::optional<QString> AppModel::persistedString(const char *k, const char *legacy)
{
    if (auto value = m_store.string(key(k)))
        return value;
    if (legacy) {
        if (auto value = m_store.string(key(legacy))) {
            m_store.setString(key(k), *value);
            return value;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> AppModel::persistedData(const char *k, const char *legacy)
{
    if (auto value = m_store.data(key(k)))
        return value;
    if (legacy) {
        if (auto value = m_store.data(key(legacy))) {
            m_store.setData(key(k), *value);
            return value;
        }
    }
    return std::nullopt;
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
    QList<ShelfItem> loaded;
    if (const auto data = persistedData(SK::shelf.current, SK::shelf.legacy)) {
        if (const auto decoded = decodeShelf(*data)) {
            for (const ShelfItem &item : decoded->mid(0, shelfMax)) {
                if (auto text = normalizedEntryText(item.text))
                    loaded.append(ShelfItem{item.id, *text});
            }
        }
    }
    m_shelf = loaded;
    persistShelf();
}

void AppModel::persistShelf()
{
    m_store.setData(key(SK::shelf.current), encodeShelf(m_shelf));
}

// MARK: write-through properties

void AppModel::setQuery(const QString &query)
{
    assign(this, m_query, query, &AppModel::queryChanged);
}

void AppModel::setIsTrackingPaused(bool paused)
{
    if (assign(this, m_isTrackingPaused, paused, &AppModel::isTrackingPausedChanged) && !paused)
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

void AppModel::setLaunchAtLogin(bool enabled)
{
    assign(this, m_launchAtLogin, enabled, &AppModel::launchAtLoginChanged);
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
    HistoryItem item = makeHistoryItem(*normalized);
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
        Q_EMIT historyChanged();
    }
    ensureSelectionValid();
}

void AppModel::trimHistoryToLimit()
{
    if (m_history.size() <= m_historyLimit)
        return;
    m_history.resize(m_historyLimit);
    Q_EMIT historyChanged();
}

// MARK: filtering and selection

QList<ShelfItem> AppModel::filteredShelf() const
{
    const QString needle = m_query.trimmed().toLower();
    if (needle.isEmpty())
        return m_shelf;
    QList<ShelfItem> result;
    for (const ShelfItem &item : m_shelf) {
        if (item.text.toLower().contains(needle))
            result.append(item);
    }
    return result;
}

QList<HistoryItem> AppModel::filteredHistory() const
{
    const QString needle = m_query.trimmed().toLower();
    if (needle.isEmpty())
        return m_history;
    QList<HistoryItem> result;
    for (const HistoryItem &item : m_history) {
        if (item.text.toLower().contains(needle))
            result.append(item);
    }
    return result;
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

} // namespace nookary
