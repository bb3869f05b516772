// SPDX-License-Identifier: GPL-3.0-or-later
#include "AuxiliaryWindows.h"

#include "app/FocusHandBack.h"
#include "app/PanelPresenter.h"
#include "model/AppModel.h"
#include "platform/MainQueue.h"
#include "ui/ShortcutGuide.h"
#include "ui/onboarding/OnboardingFlowView.h"
#include "ui/onboarding/OnboardingWindowController.h"
#include "ui/preferences/PreferencesView.h"
#include "ui/preferences/PreferencesWindowController.h"

#include <utility>

namespace nookary {

AuxiliaryWindows::AuxiliaryWindows(AppModel &model, const KeyTranslator &keys,
    PanelPresenter &presenter, FocusHandBack &focus, std::function<void()> showPanel,
    std::function<void(const QString &)> copyText, bool canRegisterShortcut, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_keys(keys)
    , m_presenter(presenter)
    , m_focus(focus)
    , m_showPanel(std::move(showPanel))
    , m_copyText(std::move(copyText))
    , m_canRegisterShortcut(canRegisterShortcut)
{
}

AuxiliaryWindows::~AuxiliaryWindows()
{
    delete m_onboarding.data();
}

OnboardingWindowController *AuxiliaryWindows::onboarding() const
{
    return m_onboarding;
}

bool AuxiliaryWindows::isOnboardingVisible() const
{
    return m_onboarding && m_onboarding->isWindowVisible();
}

bool AuxiliaryWindows::isAnyVisible() const
{
    return isOnboardingVisible() || (m_preferences && m_preferences->isVisible());
}

void AuxiliaryWindows::presentOnboarding(
    int startStep, bool showMainUIAfterDismiss, bool forceNewInstance)
{
    if (forceNewInstance && m_onboarding) {
        OnboardingWindowController *old = m_onboarding;
        m_onboarding.clear();
        old->setDidEmitResult(true);
        old->close();
        old->deleteLater();
    }
    // Focus stays with Nookary: the walkthrough opens in front, and the panel closing for it
    // hands nothing back (that would put the earlier window over the walkthrough).
    m_focus.forget();
    // One walkthrough at a time: a minimised one is brought back rather than left behind
    // a second.
    if (!isOnboardingVisible() && m_presenter.isPanelOpen()) {
        m_presenter.suppressFinalizeAfterUICloseOnce();
        m_presenter.closeUI();
    }
    if (!m_onboarding) {
        QPointer<AuxiliaryWindows> self(this);
        auto *controller = new OnboardingWindowController(
            m_model, m_keys, startStep,
            [self, showMainUIAfterDismiss](OnboardingWindowController::Result result) {
                if (self)
                    self->onboardingEnded(result != OnboardingWindowController::Result::closed,
                        showMainUIAfterDismiss);
            },
            m_canRegisterShortcut, this);
        if (ShortcutGuide *guide = controller->flowView()->shortcutGuide())
            connect(guide, &ShortcutGuide::copyRequested, this, m_copyText);
        m_onboarding = controller;
    }
    OnboardingWindowController::applyAdaptiveSizing(m_onboarding->window());
    m_onboarding->showWindow();
}

void AuxiliaryWindows::tellOnboardingHotkeyPressed()
{
    if (m_onboarding)
        m_onboarding->flowView()->noteHotkeyPressed();
}

void AuxiliaryWindows::onboardingEnded(bool completed, bool showMainUIAfterDismiss)
{
    if (completed)
        m_model.settings().completeOnboarding();
    if (OnboardingWindowController *done = m_onboarding) {
        m_onboarding.clear();
        done->deleteLater();
    }
    if (showMainUIAfterDismiss) {
        QPointer<AuxiliaryWindows> self(this);
        postToNextTurn(this, [self] {
            if (self)
                self->m_showPanel();
        });
    }
    Q_EMIT onboardingClosed();
}

void AuxiliaryWindows::openPreferences()
{
    // Focus stays with Nookary while its settings are open.
    m_focus.forget();
    if (m_presenter.isPanelOpen()) {
        m_presenter.suppressFinalizeAfterUICloseOnce();
        m_presenter.closeUI();
    }
    if (!m_preferences) {
        m_preferences
            = std::make_unique<PreferencesWindowController>(m_model, m_keys, m_canRegisterShortcut);
        if (ShortcutGuide *guide = m_preferences->view()->shortcutGuide())
            connect(guide, &ShortcutGuide::copyRequested, this, m_copyText);
    }
    m_preferences->prepareForDisplay();
    QPointer<AuxiliaryWindows> self(this);
    postToNextTurn(this, [self] {
        if (self && self->m_preferences)
            self->m_preferences->showWindow();
    });
}

} // namespace nookary
