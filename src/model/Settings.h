// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"
#include "model/OpenOptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace nookary {

class PreferencesStore;

// The user's settings as the model keeps them. Each is read once at start by the table in
// SettingsKeys.h (the current key, else the legacy key, whose value is then copied over,
// else the table's fallback, always within its bounds) and written back at once, then
// written through at every change, and signalled when it changed. Views and the shell that
// read or change a setting take this object from the model. Main thread only.
class Settings final : public QObject {
    Q_OBJECT

public:
    using OpenPresentation = OpenOptions::OpenPresentation;
    using DefaultOpenTarget = OpenOptions::DefaultOpenTarget;

    explicit Settings(PreferencesStore &store, QObject *parent = nullptr);

    int historyLimit() const { return m_historyLimit; }
    // Any value but one of the options becomes the fallback.
    void setHistoryLimit(int limit);
    OpenPresentation openPresentation() const { return m_openPresentation; }
    void setOpenPresentation(OpenPresentation presentation);
    DefaultOpenTarget defaultOpenTarget() const { return m_defaultOpenTarget; }
    void setDefaultOpenTarget(DefaultOpenTarget target);
    bool keepWindowPinned() const { return m_keepWindowPinned; }
    void setKeepWindowPinned(bool pinned);
    HotkeyShortcut hotkeyShortcut() const { return m_hotkeyShortcut; }
    void setHotkeyShortcut(HotkeyShortcut shortcut);
    bool pasteAfterChoosing() const { return m_pasteAfterChoosing; }
    void setPasteAfterChoosing(bool paste);
    // The window classes the user added to the terminals, as read at start.
    QStringList pasteTerminalClasses() const { return m_pasteTerminalClasses; }

    int onboardingLastStep() const { return m_onboardingLastStep; }
    // Kept within the walkthrough's steps.
    void setOnboardingLastStep(int step);
    int onboardingCompletedVersion() const { return m_onboardingCompletedVersion; }
    // Marks the current walkthrough completed and its progress back at the first step.
    void completeOnboarding();
    int onboardingStartStepForManualShow() const;

    // The versioned-read rule, for the keys other parts of the model keep.
    std::optional<QByteArray> persistedData(const char *key, const char *legacyKey);

Q_SIGNALS:
    void historyLimitChanged();
    void openPresentationChanged();
    void defaultOpenTargetChanged();
    void keepWindowPinnedChanged();
    void hotkeyShortcutChanged();
    void pasteAfterChoosingChanged();
    void onboardingLastStepChanged();
    void onboardingCompletedVersionChanged();

private:
    std::optional<qint64> persistedInt(const char *key, const char *legacyKey);
    std::optional<bool> persistedBool(const char *key, const char *legacyKey);
    std::optional<QString> persistedString(const char *key, const char *legacyKey);
    std::optional<quint32> persistedUInt32(const char *key, const char *legacyKey);
    void load();
    void loadHotkeyShortcut();
    void persistHotkeyShortcut();

    PreferencesStore &m_store;
    // Set from the table by load(); no value is assumed here.
    int m_historyLimit = 0;
    OpenPresentation m_openPresentation {};
    DefaultOpenTarget m_defaultOpenTarget {};
    bool m_keepWindowPinned = false;
    bool m_pasteAfterChoosing = false;
    QStringList m_pasteTerminalClasses;
    HotkeyShortcut m_hotkeyShortcut {};
    int m_onboardingLastStep = 0;
    int m_onboardingCompletedVersion = 0;
};

} // namespace nookary
