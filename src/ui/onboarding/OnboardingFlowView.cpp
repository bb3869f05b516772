// SPDX-License-Identifier: GPL-3.0-or-later
#include "OnboardingFlowView.h"
#include "ui/Accessibility.h"

#include "model/AppModel.h"
#include "platform/KeyTranslator.h"
#include "platform/MainQueue.h"
#include "ui/ShortcutGuide.h"
#include "ui/onboarding/OnboardingAnimatedPreview.h"
#include "ui/onboarding/OnboardingStyle.h"
#include "ui/onboarding/PracticeSegmentsView.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/recorder/HotkeyRecorderControl.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace nookary {

namespace {

constexpr int kCardMaxWidth = 760;

} // namespace

int OnboardingFlowView::clampStep(int step)
{
    return std::clamp(step, 0, pageCount - 1);
}

int OnboardingFlowView::previewHeight(qreal areaHeight)
{
    return qRound(std::clamp(areaHeight - 150, qreal(smallestPreviewHeight), qreal(500)));
}

int OnboardingFlowView::segmentWidth(qreal areaWidth)
{
    return qRound(std::clamp(
        (std::min(areaWidth, qreal(kCardMaxWidth)) - 104 - 48) / 5, qreal(44), qreal(84)));
}

int OnboardingFlowView::cardHeight(qreal areaHeight)
{
    return qRound(std::clamp(areaHeight * 0.55, qreal(240), qreal(340)));
}

OnboardingFlowView::OnboardingFlowView(AppModel &model, const KeyTranslator &keys, int startStep,
    std::function<void(OnboardingDismissReason)> onDismiss, bool canRegisterShortcut,
    QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_keys(keys)
    , m_onDismiss(std::move(onDismiss))
    , m_canRegisterShortcut(canRegisterShortcut)
    , m_stepIndex(clampStep(startStep))
{
    buildWidgets();

    connect(m_back, &QPushButton::clicked, this, &OnboardingFlowView::goBack);
    connect(m_main, &QPushButton::clicked, this, &OnboardingFlowView::proceed);
    connect(m_skip, &QPushButton::clicked, this, &OnboardingFlowView::skip);
    auto *escape = new QShortcut(
        QKeySequence(Qt::Key_Escape), this, this, &OnboardingFlowView::handleEscape);
    escape->setContext(Qt::WindowShortcut);
    // Alt+Left, as in other step-by-step windows (a recording recorder takes it first).
    auto *back = new QShortcut(QKeySequence::Back, this, this, [this] {
        if (m_back->isEnabled())
            goBack();
    });
    back->setContext(Qt::WindowShortcut);
    for (const QKeySequence &key : { QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter),
             QKeySequence(Qt::KeypadModifier | Qt::Key_Enter) }) {
        auto *enter = new QShortcut(key, this, this, &OnboardingFlowView::handleReturn);
        enter->setContext(Qt::WindowShortcut);
    }
    connect(&m_model.settings(), &Settings::hotkeyShortcutChanged, this,
        &OnboardingFlowView::followHotkeyShortcut);
    // Whatever takes focus on a page that scrolls is brought into view, once the page
    // that may just have been put up is laid out.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (!now || !m_pageArea->isAncestorOf(now))
            return;
        postToNextTurn(now, [this, now] {
            if (now->hasFocus())
                m_pageScroller->ensureWidgetVisible(now);
        });
    });

    rebuildRecorder();
    sync();
    applyTabOrder();
}

OnboardingFlowView::~OnboardingFlowView() = default;

bool OnboardingFlowView::hasShortcutForPractice() const
{
    if (m_initialHotkeyShortcut && *m_initialHotkeyShortcut == HotkeyShortcut::defaultShortcut()
        && !m_didExplicitlySetHotkey)
        return false;
    return m_keys.isUsable(m_model.settings().hotkeyShortcut());
}

bool OnboardingFlowView::canProceedFromCurrentStep() const
{
    // Nothing to practise where the desktop binds the shortcut.
    if (m_stepIndex != shortcutStep || !m_canRegisterShortcut)
        return true;
    return hasShortcutForPractice() && m_hotkeyPracticeCount >= practiceGoal;
}

QString OnboardingFlowView::practiceStatusText() const
{
    if (!hasShortcutForPractice())
        return tr("Pick one you'll actually remember.");
    if (m_hotkeyPracticeCount >= practiceGoal)
        return tr("Ready");
    return tr("%Ln of %1 completed", nullptr, m_hotkeyPracticeCount)
        .arg(QLocale().toString(practiceGoal));
}

bool OnboardingFlowView::onboardingTreatAsUnset() const
{
    return m_initialHotkeyShortcut && *m_initialHotkeyShortcut == HotkeyShortcut::defaultShortcut()
        && !m_didExplicitlySetHotkey;
}

QString OnboardingFlowView::stepText() const
{
    return tr("Step %1 of %2")
        .arg(QLocale().toString(m_stepIndex + 1), QLocale().toString(pageCount));
}

QString OnboardingFlowView::mainButtonTitle() const
{
    return m_stepIndex == pageCount - 1 ? tr("Start using Nookary") : tr("Continue");
}

void OnboardingFlowView::goBack()
{
    setStepIndex(std::max(m_stepIndex - 1, 0));
}

void OnboardingFlowView::proceed()
{
    if (m_stepIndex == pageCount - 1) {
        if (m_onDismiss)
            m_onDismiss(OnboardingDismissReason::completed);
        return;
    }
    if (canProceedFromCurrentStep())
        setStepIndex(m_stepIndex + 1);
}

void OnboardingFlowView::skip()
{
    if (m_onDismiss)
        m_onDismiss(OnboardingDismissReason::skipped);
}

void OnboardingFlowView::handleEscape()
{
    // While a shortcut is being recorded, Escape belongs to the recorder.
    if (!m_model.isRecordingHotkey())
        skip();
}

void OnboardingFlowView::handleReturn()
{
    if (!m_model.isRecordingHotkey() && m_main->isEnabled())
        proceed();
}

void OnboardingFlowView::noteHotkeyPressed()
{
    if (m_stepIndex != shortcutStep || !hasShortcutForPractice())
        return;
    setPracticeCount(std::min(m_hotkeyPracticeCount + 1, practiceGoal));
}

void OnboardingFlowView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_wasShown) {
        m_wasShown = true;
        firstShown();
    }
}

void OnboardingFlowView::firstShown()
{
    m_model.settings().setOnboardingLastStep(m_stepIndex);
    if (!m_initialHotkeyShortcut)
        m_initialHotkeyShortcut = m_model.settings().hotkeyShortcut();
    rebuildRecorder();
    sync();
    // Space and Return go on, as on every page; the header's "Skip" is not where a stray
    // key should land.
    if (m_main->isEnabled())
        m_main->setFocus();
    else if (m_stepIndex == shortcutStep)
        focusRecorder();
}

void OnboardingFlowView::setStepIndex(int step)
{
    step = clampStep(step);
    if (step == m_stepIndex)
        return;
    m_stepIndex = step;
    m_model.settings().setOnboardingLastStep(step);
    if (step != shortcutStep)
        m_hotkeyPracticeCount = 0; // coming back starts the practice again
    sync();
    m_pageScroller->verticalScrollBar()->setValue(0); // a new page starts at its title
    // On the shortcut page, Space chooses a shortcut; elsewhere it goes on.
    if (step == shortcutStep && m_canRegisterShortcut && isVisible())
        focusRecorder();
    else if (isVisible() && m_main->isEnabled())
        m_main->setFocus();
}

void OnboardingFlowView::followHotkeyShortcut()
{
    m_hotkeyPracticeCount = 0;
    if (m_initialHotkeyShortcut)
        m_didExplicitlySetHotkey = m_model.settings().hotkeyShortcut() != *m_initialHotkeyShortcut;
    // Choosing a usable shortcut counts as the first of the presses.
    if (hasShortcutForPractice())
        m_hotkeyPracticeCount = 1;
    QTimer::singleShot(0, this, [this] { rebuildRecorder(); });
    sync();
}

void OnboardingFlowView::setPracticeCount(int count)
{
    if (count == m_hotkeyPracticeCount)
        return;
    m_hotkeyPracticeCount = count;
    sync();
}

void OnboardingFlowView::rebuildRecorder()
{
    // The recorder takes "treat as unset" when it is made: a new one replaces it when that
    // changes.
    const bool treatAsUnset = onboardingTreatAsUnset();
    if (!m_canRegisterShortcut || (m_recorder && m_recorderTreatsAsUnset == treatAsUnset))
        return;
    auto *layout = static_cast<QVBoxLayout *>(m_card->layout());
    // The window's focus, not the application's: while an alert is up (a refused shortcut),
    // the recorder keeps the walkthrough's focus for when the alert goes.
    const QWidget *focused = window()->focusWidget();
    const bool hadFocus = m_recorder && focused && m_recorder->isAncestorOf(focused);
    auto *replacement = new HotkeyRecorderControl(
        m_model, m_keys, HotkeyRecorderControl::Style::onboarding, treatAsUnset, m_card);
    if (m_recorder) {
        delete layout->replaceWidget(m_recorder, replacement); // the item is ours to delete
        m_recorder->hide();
        m_recorder->deleteLater();
    } else {
        layout->insertWidget(1, replacement);
    }
    replacement->show(); // at once, not on the layout's next turn
    m_recorder = replacement;
    m_recorderTreatsAsUnset = treatAsUnset;
    applyTabOrder();
    syncAccessibleTexts();
    if (hadFocus)
        focusRecorder();
}

void OnboardingFlowView::focusRecorder()
{
    if (auto *control = qobject_cast<HotkeyRecorderControl *>(m_recorder.data());
        control && control->button())
        control->button()->setFocus();
}

void OnboardingFlowView::sync()
{
    const Page &page = pages()[std::size_t(m_stepIndex)];
    m_step->setText(stepText());
    m_progress->setValue(m_stepIndex + 1);
    m_title->setText(page.title);
    m_subtitle->setText(page.subtitle);
    m_back->setEnabled(m_stepIndex > 0);
    m_main->setText(mainButtonTitle());
    Accessibility::setName(m_main, m_main->text());
    m_main->setEnabled(canProceedFromCurrentStep());

    const bool visual = usesVisualLayout();
    if (visual)
        m_preview->setContent(
            { page.resourceName, page.fallbackIcon, page.fallbackTitle, page.fallbackCaption });
    m_preview->setVisible(visual);
    m_cardRow->setVisible(!visual);

    const bool practising = hasShortcutForPractice();
    m_segments->setState(m_hotkeyPracticeCount, practising);
    m_status->setText(practiceStatusText());
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
        practising && m_hotkeyPracticeCount >= practiceGoal ? OnboardingStyle::green(*this)
                                                            : OnboardingStyle::secondary(*this));
    m_status->setPalette(palette);
    syncAccessibleTexts();
    layoutPage();
}

void OnboardingFlowView::applyTabOrder()
{
    QList<QWidget *> order { m_skip, m_pageScroller };
    if (auto *control = qobject_cast<HotkeyRecorderControl *>(m_recorder.data());
        control && control->button())
        order << control->button();
    if (m_manualBinding) {
        if (auto *command
            = m_manualBinding->findChild<QLabel *>(QStringLiteral("manualBindingCommand")))
            order << command;
        if (m_shortcutGuide)
            order << m_shortcutGuide->desktopChooser() << m_shortcutGuide->copyButton()
                  << m_shortcutGuide->commandsView();
    }
    order << m_back << m_main;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void OnboardingFlowView::syncAccessibleTexts()
{
    Accessibility::setName(m_progress, stepText());
    Accessibility::setName(m_pageScroller, m_title->text());
    const QString practice
        = m_canRegisterShortcut && m_stepIndex == shortcutStep ? practiceStatusText() : QString();
    Accessibility::setDescription(m_segments, practice);
    // The practice goes on while the shortcut's button has focus: a reader announces a
    // change of the focused control's description, and so each press.
    if (auto *control = qobject_cast<HotkeyRecorderControl *>(m_recorder.data());
        control && control->button())
        Accessibility::setDescription(control->button(), practice);
}

bool OnboardingFlowView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pageScroller->viewport() && event->type() == QEvent::Resize)
        layoutPage();
    if (watched == m_pageScroller
        && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        showPageScrollerFocus(event->type() == QEvent::FocusIn);
    return QWidget::eventFilter(watched, event);
}

void OnboardingFlowView::showPageScrollerFocus(bool focused)
{
    // The frame is always there, so that the page does not move as the focus comes.
    QPalette palette = m_pageScroller->palette();
    palette.setColor(QPalette::WindowText,
        focused ? palette.color(QPalette::Highlight) : palette.color(QPalette::Window));
    m_pageScroller->setPalette(palette);
}

void OnboardingFlowView::layoutPage()
{
    const QSize area = m_pageScroller->viewport()->size();
    fitTitle();
    // The animation's height allows for a title and subtitle of the design's font; a font
    // that takes more room takes it from the animation, down to its smallest, rather than
    // make the page scroll.
    int preview = previewHeight(area.height());
    if (m_preview->isVisibleTo(m_pageArea)) {
        const int others = m_pageArea->layout()->heightForWidth(area.width())
            - qRound(m_preview->preferredHeight());
        preview = std::max(smallestPreviewHeight, std::min(preview, area.height() - others));
    }
    m_preview->setPreferredHeight(preview);
    m_card->setMinimumHeight(cardHeight(area.height()));
    const QMargins margins = m_pageArea->layout()->contentsMargins();
    m_card->setFixedWidth(
        std::max(0, std::min(area.width() - margins.left() - margins.right(), kCardMaxWidth)));
    m_segments->setSegmentWidth(segmentWidth(area.width()));
}

void OnboardingFlowView::fitTitle()
{
    // At most two lines; a longer title may shrink to 90 % before it is cut.
    const QMargins margins = m_pageArea->layout()->contentsMargins();
    const int width
        = std::max(1, m_pageScroller->viewport()->width() - margins.left() - margins.right());
    QFont font = OnboardingStyle::pageTitle();
    auto linesFor = [&](const QFont &f) {
        const QFontMetrics metrics(f);
        const QRect box
            = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, m_title->text());
        return (box.height() + metrics.lineSpacing() - 1) / metrics.lineSpacing();
    };
    if (linesFor(font) > 2)
        font = OnboardingStyle::pageTitle(qRound(36 * 0.9));
    m_title->setFont(font);
    m_title->setMaximumHeight(2 * QFontMetrics(font).lineSpacing() + 2);
}

} // namespace nookary
