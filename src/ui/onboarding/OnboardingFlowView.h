// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;

namespace nookary {

class AppModel;
class KeyTranslator;
class OnboardingAnimatedPreview;
class PracticeSegmentsView;
class ShortcutGuide;

// How the walkthrough ended. In this order.
enum class OnboardingDismissReason { completed, skipped };

// The first-run walkthrough: five pages, one at a time. Four explain the product with an
// animation; the second has the user choose the global shortcut and press it five times
// before going on. The page reached is kept in the model, so that a walkthrough opened
// later starts there. The view reports how it ended through `onDismiss` and never closes
// its window itself.
class OnboardingFlowView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int pageCount = 5;
    static constexpr int shortcutStep = 1;
    static constexpr int practiceGoal = 5;

    struct Page {
        QString title;
        QString subtitle;
        // The animation's resource name and its still fallback; empty on the shortcut page.
        QString resourceName;
        QString fallbackIcon;
        QString fallbackTitle;
        QString fallbackCaption;
    };
    static const std::array<Page, pageCount> &pages();

    // What the shortcut page says where the program cannot set a global shortcut itself.
    static QString manualBindingText()
    {
        return tr("This desktop does not let apps set their own shortcuts. In your desktop's "
                  "keyboard settings, add a custom shortcut that runs this command:");
    }
    static inline const QString manualBindingCommand = QStringLiteral("Nookary --toggle");

    // `startStep` is clamped to the pages there are. Where `canRegisterShortcut` is false
    // (the session offers no global shortcuts), the shortcut page explains how to bind one
    // in the desktop instead of recording and practising it, and does not hold the user.
    OnboardingFlowView(AppModel &model, const KeyTranslator &keys, int startStep,
        std::function<void(OnboardingDismissReason)> onDismiss, bool canRegisterShortcut = true,
        QWidget *parent = nullptr);
    ~OnboardingFlowView() override;

    static int clampStep(int step);

    int stepIndex() const { return m_stepIndex; }
    int hotkeyPracticeCount() const { return m_hotkeyPracticeCount; }
    std::optional<HotkeyShortcut> initialHotkeyShortcut() const { return m_initialHotkeyShortcut; }
    bool didExplicitlySetHotkey() const { return m_didExplicitlySetHotkey; }

    bool usesVisualLayout() const { return m_stepIndex != shortcutStep; }
    // False while the user still sits on the default shortcut they arrived with: they must
    // choose one of their own before practising. Otherwise whether a shortcut is set.
    bool hasShortcutForPractice() const;
    bool canProceedFromCurrentStep() const;
    QString practiceStatusText() const;
    // The recorder shows "Not set yet" over the untouched default.
    bool onboardingTreatAsUnset() const;
    QString stepText() const;
    QString mainButtonTitle() const;

    // Page sizes from the measured page area (width W, height H). The animation is no
    // taller than the room the title and subtitle leave, and no smaller than its smallest.
    static int previewHeight(qreal areaHeight);
    static constexpr int smallestPreviewHeight = 280;
    static int segmentWidth(qreal areaWidth);
    static int cardHeight(qreal areaHeight);

    // The user's commands: "Back", the main button, "Skip" (also Escape).
    void goBack();
    void proceed();
    void skip();

    // The parts, for tests.
    QPushButton *backButton() const { return m_back; }
    QPushButton *mainButton() const { return m_main; }
    QPushButton *skipButton() const { return m_skip; }
    QLabel *titleLabel() const { return m_title; }
    QLabel *subtitleLabel() const { return m_subtitle; }
    QLabel *stepLabel() const { return m_step; }
    QLabel *statusLabel() const { return m_status; }
    QProgressBar *progressBar() const { return m_progress; }
    OnboardingAnimatedPreview *preview() const { return m_preview; }
    PracticeSegmentsView *segments() const { return m_segments; }
    QWidget *shortcutCard() const { return m_card; }
    QWidget *recorder() const { return m_recorder; }
    QWidget *pageArea() const { return m_pageArea; }
    // The page area scrolls where the screen is too small for it; header and footer stay.
    QScrollArea *pageScroller() const { return m_pageScroller; }
    // The explanation shown instead of the recorder; null where shortcuts can be registered.
    QWidget *manualBinding() const { return m_manualBinding; }
    // Its steps for each desktop; null where shortcuts can be registered.
    ShortcutGuide *shortcutGuide() const { return m_shortcutGuide; }

public Q_SLOTS:
    // "Nookary.hotkeyPressed": the global shortcut was pressed while the walkthrough shows.
    void noteHotkeyPressed();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The header, the page area and the footer, with the parts the members point to.
    void buildWidgets();
    void firstShown();
    void setStepIndex(int step);
    void followHotkeyShortcut();
    void setPracticeCount(int count);
    void rebuildRecorder();
    void focusRecorder();
    void sync();
    void showPageScrollerFocus(bool focused);
    void layoutPage();
    void fitTitle();
    void handleEscape();
    void handleReturn();
    // Tab follows the layout: Skip, the page's controls, Back, the main button.
    void applyTabOrder();
    // What readers hear of the page's progress.
    void syncAccessibleTexts();

    AppModel &m_model;
    const KeyTranslator &m_keys;
    std::function<void(OnboardingDismissReason)> m_onDismiss;
    const bool m_canRegisterShortcut;
    int m_stepIndex;
    int m_hotkeyPracticeCount = 0;
    std::optional<HotkeyShortcut> m_initialHotkeyShortcut;
    bool m_didExplicitlySetHotkey = false;
    bool m_wasShown = false;

    QLabel *m_step = nullptr;
    QPushButton *m_skip = nullptr;
    QProgressBar *m_progress = nullptr;
    QScrollArea *m_pageScroller = nullptr;
    QWidget *m_pageArea = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_subtitle = nullptr;
    OnboardingAnimatedPreview *m_preview = nullptr;
    QWidget *m_cardRow = nullptr;
    QWidget *m_card = nullptr;
    QPointer<QWidget> m_recorder;
    bool m_recorderTreatsAsUnset = false;
    PracticeSegmentsView *m_segments = nullptr;
    QLabel *m_status = nullptr;
    QWidget *m_manualBinding = nullptr;
    ShortcutGuide *m_shortcutGuide = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_main = nullptr;
};

} // namespace nookary
