// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace nookary {

class AppModel;
class FocusHandBack;
class KeyTranslator;
class OnboardingWindowController;
class PanelPresenter;
class PreferencesWindowController;

// The program's ordinary windows beside the panel: the walkthrough and the settings window.
// Opening either closes the panel; the walkthrough opens the panel again when it ends, if
// asked to.
class AuxiliaryWindows final : public QObject {
    Q_OBJECT

public:
    // `showPanel` opens the panel after a walkthrough that asked for it. Everything given
    // must outlive this object. Where `canRegisterShortcut` is false, both windows tell how
    // to bind the shortcut in the desktop instead of recording one, and `copyText` puts the
    // commands they show on the clipboard.
    AuxiliaryWindows(AppModel &model, const KeyTranslator &keys, PanelPresenter &presenter,
        FocusHandBack &focus, std::function<void()> showPanel,
        std::function<void(const QString &)> copyText, bool canRegisterShortcut = true,
        QObject *parent = nullptr);
    ~AuxiliaryWindows() override;

    // The walkthrough on `startStep`; one at a time (a minimised one is brought back).
    // `forceNewInstance` replaces a running one without reporting its end.
    void presentOnboarding(int startStep, bool showMainUIAfterDismiss, bool forceNewInstance);
    void openPreferences();
    // The global shortcut was pressed while the walkthrough shows; its practice page counts it.
    void tellOnboardingHotkeyPressed();

    // "Visible" is shown and not minimised.
    bool isOnboardingVisible() const;
    bool isAnyVisible() const;

    OnboardingWindowController *onboarding() const;
    PreferencesWindowController *preferences() const { return m_preferences.get(); }

Q_SIGNALS:
    // The walkthrough ended, finished or not.
    void onboardingClosed();

private:
    void onboardingEnded(bool completed, bool showMainUIAfterDismiss);

    AppModel &m_model;
    const KeyTranslator &m_keys;
    PanelPresenter &m_presenter;
    FocusHandBack &m_focus;
    std::function<void()> m_showPanel;
    std::function<void(const QString &)> m_copyText;
    const bool m_canRegisterShortcut;
    // Exists from presentOnboarding until its result; deleted on the turn after, since the
    // result arrives from inside its own window's events.
    QPointer<OnboardingWindowController> m_onboarding;
    std::unique_ptr<PreferencesWindowController> m_preferences;
};

} // namespace nookary
