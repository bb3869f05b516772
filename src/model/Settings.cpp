// SPDX-License-Identifier: GPL-3.0-or-later
#include "Settings.h"

#include "model/PasteKeys.h"
#include "model/PersistedRead.h"
#include "model/SettingsKeys.h"
#include "platform/PreferencesStore.h"

#include <QMetaEnum>

#include <algorithm>
#include <climits>

namespace nookary {

namespace SK = SettingsKeys;

namespace {

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

// Enumerations are stored by their case names, which are also their Qt enum key names.
template <typename Enum> QString rawValue(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(static_cast<int>(value)));
}

template <typename Enum> std::optional<Enum> fromRawValue(const QString &raw)
{
    bool ok = false;
    const int value = QMetaEnum::fromType<Enum>().keyToValue(raw.toLatin1().constData(), &ok);
    if (!ok || raw.contains(u':')) // keyToValue also accepts qualified names
        return std::nullopt;
    return static_cast<Enum>(value);
}

template <typename Enum> Enum fallback(const SK::Setting<const char *> &setting)
{
    return *fromRawValue<Enum>(QString::fromLatin1(setting.fallback));
}

template <typename T> bool assign(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

bool isHistoryLimitOption(qint64 value)
{
    return std::find(SK::historyLimitOptions.begin(), SK::historyLimitOptions.end(), value)
        != SK::historyLimitOptions.end();
}

} // namespace

Settings::Settings(PreferencesStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    load();
}

// Persisted reads

std::optional<qint64> Settings::persistedInt(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(),
        [this](const QString &name) {
            return m_store.contains(name) ? std::optional(m_store.integer(name)) : std::nullopt;
        },
        [this](const QString &name, qint64 value) { m_store.setInteger(name, value); });
}

std::optional<bool> Settings::persistedBool(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(),
        [this](const QString &name) {
            return m_store.contains(name) ? std::optional(m_store.boolean(name)) : std::nullopt;
        },
        [this](const QString &name, bool value) { m_store.setBoolean(name, value); });
}

// For strings and data, presence is what the typed getter can give.
std::optional<QString> Settings::persistedString(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(),
        [this](const QString &name) { return m_store.string(name); },
        [this](const QString &name, const QString &value) { m_store.setString(name, value); });
}

std::optional<QByteArray> Settings::persistedData(const char *k, const char *legacy)
{
    return readMigrating(
        key(k), legacy ? key(legacy) : QString(),
        [this](const QString &name) { return m_store.data(name); },
        [this](const QString &name, const QByteArray &value) { m_store.setData(name, value); });
}

std::optional<quint32> Settings::persistedUInt32(const char *k, const char *legacy)
{
    const std::optional<qint64> value = persistedInt(k, legacy);
    // A value that does not fit the stored encoding counts as absent.
    if (!value || *value < 0 || *value > qint64(0xFFFFFFFFu))
        return std::nullopt;
    return quint32(*value);
}

// Start-up

void Settings::load()
{
    const auto completed = persistedInt(
        SK::onboardingCompletedVersion.current, SK::onboardingCompletedVersion.current);
    m_onboardingCompletedVersion = (!completed || *completed < 1)
        ? SK::onboardingCompletedVersion.fallback
        : int(std::min<qint64>(*completed, INT_MAX));

    const auto step = persistedInt(SK::onboardingLastStep.current, SK::onboardingLastStep.current);
    m_onboardingLastStep = step
        ? int(std::clamp<qint64>(*step, SK::onboardingFirstStep, SK::onboardingLastStepIndex))
        : SK::onboardingLastStep.fallback;

    const auto target
        = persistedString(SK::defaultOpenTarget.current, SK::defaultOpenTarget.legacy);
    const auto targetValue = target ? fromRawValue<DefaultOpenTarget>(*target) : std::nullopt;
    m_defaultOpenTarget = targetValue.value_or(fallback<DefaultOpenTarget>(SK::defaultOpenTarget));
    m_store.setString(key(SK::defaultOpenTarget.current), rawValue(m_defaultOpenTarget));

    const auto presentation
        = persistedString(SK::openPresentation.current, SK::openPresentation.legacy);
    const auto presentationValue
        = presentation ? fromRawValue<OpenPresentation>(*presentation) : std::nullopt;
    m_openPresentation
        = presentationValue.value_or(fallback<OpenPresentation>(SK::openPresentation));
    m_store.setString(key(SK::openPresentation.current), rawValue(m_openPresentation));

    m_keepWindowPinned = persistedBool(SK::keepWindowPinned.current, SK::keepWindowPinned.legacy)
                             .value_or(SK::keepWindowPinned.fallback);
    m_store.setBoolean(key(SK::keepWindowPinned.current), m_keepWindowPinned);

    m_pasteAfterChoosing = persistedBool(SK::pasteAfterChoosing.current, nullptr)
                               .value_or(SK::pasteAfterChoosing.fallback);
    m_store.setBoolean(key(SK::pasteAfterChoosing.current), m_pasteAfterChoosing);
    // A hand-written list may read as a string or as a list: its stored form covers both.
    if (m_store.contains(key(SK::pasteTerminalClasses.current)))
        m_pasteTerminalClasses = PasteKeys::parseClassList(
            QString::fromUtf8(m_store.storedForm(key(SK::pasteTerminalClasses.current))));

    loadHotkeyShortcut();

    const auto limit = persistedInt(SK::historyLimit.current, SK::historyLimit.legacy);
    m_historyLimit
        = (limit && isHistoryLimitOption(*limit)) ? int(*limit) : SK::historyLimit.fallback;
    m_store.setInteger(key(SK::historyLimit.current), m_historyLimit);
}

void Settings::loadHotkeyShortcut()
{
    std::optional<HotkeyShortcut> shortcut;
    if (const auto code = persistedUInt32(SK::hotkeyCode.current, SK::hotkeyCode.legacy)) {
        if (const auto modifiers
            = persistedUInt32(SK::hotkeyModifiers.current, SK::hotkeyModifiers.legacy))
            shortcut = HotkeyShortcut { *code, *modifiers };
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
    m_hotkeyShortcut = shortcut.value_or(SK::defaultHotkeyShortcut);
    persistHotkeyShortcut();
}

void Settings::persistHotkeyShortcut()
{
    m_store.setInteger(key(SK::hotkeyCode.current), m_hotkeyShortcut.keyCode);
    m_store.setInteger(key(SK::hotkeyModifiers.current), m_hotkeyShortcut.modifiers);
}

// Write-through

void Settings::setHistoryLimit(int limit)
{
    const int value = isHistoryLimitOption(limit) ? limit : SK::historyLimit.fallback;
    m_store.setInteger(key(SK::historyLimit.current), value);
    if (assign(m_historyLimit, value))
        Q_EMIT historyLimitChanged();
}

void Settings::setOpenPresentation(OpenPresentation presentation)
{
    m_store.setString(key(SK::openPresentation.current), rawValue(presentation));
    if (assign(m_openPresentation, presentation))
        Q_EMIT openPresentationChanged();
}

void Settings::setDefaultOpenTarget(DefaultOpenTarget target)
{
    m_store.setString(key(SK::defaultOpenTarget.current), rawValue(target));
    if (assign(m_defaultOpenTarget, target))
        Q_EMIT defaultOpenTargetChanged();
}

void Settings::setKeepWindowPinned(bool pinned)
{
    m_store.setBoolean(key(SK::keepWindowPinned.current), pinned);
    if (assign(m_keepWindowPinned, pinned))
        Q_EMIT keepWindowPinnedChanged();
}

void Settings::setPasteAfterChoosing(bool paste)
{
    m_store.setBoolean(key(SK::pasteAfterChoosing.current), paste);
    if (assign(m_pasteAfterChoosing, paste))
        Q_EMIT pasteAfterChoosingChanged();
}

void Settings::setHotkeyShortcut(HotkeyShortcut shortcut)
{
    const bool changed = assign(m_hotkeyShortcut, shortcut);
    persistHotkeyShortcut();
    if (changed)
        Q_EMIT hotkeyShortcutChanged();
}

// Onboarding

void Settings::setOnboardingLastStep(int step)
{
    const int clamped = std::clamp(step, SK::onboardingFirstStep, SK::onboardingLastStepIndex);
    if (clamped == m_onboardingLastStep)
        return;
    m_onboardingLastStep = clamped;
    m_store.setInteger(key(SK::onboardingLastStep.current), clamped);
    Q_EMIT onboardingLastStepChanged();
}

void Settings::completeOnboarding()
{
    const bool completedVersion
        = assign(m_onboardingCompletedVersion, SK::onboardingCurrentVersion);
    const bool lastStep = assign(m_onboardingLastStep, SK::onboardingFirstStep);
    m_store.setInteger(key(SK::onboardingCompletedVersion.current), SK::onboardingCurrentVersion);
    m_store.setInteger(key(SK::onboardingLastStep.current), SK::onboardingFirstStep);
    if (completedVersion)
        Q_EMIT onboardingCompletedVersionChanged();
    if (lastStep)
        Q_EMIT onboardingLastStepChanged();
}

int Settings::onboardingStartStepForManualShow() const
{
    if (m_onboardingCompletedVersion > 0)
        return SK::onboardingFirstStep;
    return std::clamp(m_onboardingLastStep, SK::onboardingFirstStep, SK::onboardingLastStepIndex);
}

} // namespace nookary
