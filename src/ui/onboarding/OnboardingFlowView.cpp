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
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
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

// The shortcut page's card: a thin veil on a rounded shape with a hairline border.
class ShortcutCard final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        constexpr qreal radius = 12;
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), radius, radius);
        painter.fillPath(shape, OnboardingStyle::veil(*this, 0.05f));
        painter.setPen(QPen(OnboardingStyle::veil(*this, 0.08f), 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
};

void setSecondary(QLabel *label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, OnboardingStyle::secondary(*label));
    label->setPalette(palette);
}

// How to bind the command in the desktop: the words, the command to copy, an example.
QWidget *makeManualBinding(QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *stack = new QVBoxLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(14);
    auto *text = new QLabel(OnboardingFlowView::manualBindingText(), box);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    text->setFont(OnboardingStyle::title3());
    auto *command = new QLabel(OnboardingFlowView::manualBindingCommand, box);
    command->setObjectName(QStringLiteral("manualBindingCommand"));
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(mono.pointSizeF() * 1.4);
    mono.setWeight(QFont::DemiBold);
    command->setFont(mono);
    command->setAlignment(Qt::AlignCenter);
    command->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *guide = new ShortcutGuide(box);
    guide->setObjectName(QStringLiteral("shortcutGuide"));
    stack->addWidget(text);
    stack->addWidget(command);
    stack->addWidget(guide);
    return box;
}

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

const std::array<OnboardingFlowView::Page, OnboardingFlowView::pageCount> &
OnboardingFlowView::pages()
{
    // Filled at every call, so that the texts follow the translation installed by then.
    static std::array<Page, pageCount> table;
    table = { {
        { tr("Never lose your go-to prompts, text, or files"),
            tr("Everything you use most, right where you left it."), QStringLiteral("welcome"),
            QStringLiteral("sparkles.rectangle.stack"), tr("Clipboard history + saved snippets"),
            tr("Minimal, fast, always ready.") },
        { tr("This is how you'll open Nookary"),
            tr("If Nookary gets hidden in a crowded tray, this is how you'll open it."), {}, {}, {},
            {} },
        { tr("Copy once. Find it instantly."), tr("Every copy lands in History automatically."),
            QStringLiteral("capture"), QStringLiteral("doc.on.clipboard"), tr("Copy in any app"),
            tr("Everything appears in History automatically") },
        { tr("Keep your best snippets close"),
            tr("Drag from History to Saved for one-click reuse."), QStringLiteral("save"),
            QStringLiteral("rectangle.stack.badge.plus"), tr("Save what matters"),
            tr("Drag from History to Saved or add manually") },
        { tr("You're ready"), tr("Open Nookary from its tray icon or with your shortcut."),
            QStringLiteral("finish"), QStringLiteral("checkmark.circle"), tr("You're all set"),
            tr("Open from the tray or with your shortcut") },
    } };
    return table;
}

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
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    // Header: the product, the step, "Skip", and the progress.
    auto *header = new QWidget(this);
    auto *headerStack = new QVBoxLayout(header);
    headerStack->setContentsMargins(20, 20, 20, 20);
    headerStack->setSpacing(12);
    auto *headerRow = new QHBoxLayout;
    auto *names = new QVBoxLayout;
    names->setSpacing(4);
    auto *product = new QLabel(QStringLiteral("Nookary"), header);
    product->setFont(OnboardingStyle::title2());
    m_step = new QLabel(header);
    m_step->setFont(OnboardingStyle::subheadline());
    setSecondary(m_step);
    names->addWidget(product);
    names->addWidget(m_step);
    headerRow->addLayout(names);
    headerRow->addStretch(1);
    m_skip = new QPushButton(tr("Skip"), header);
    Accessibility::setName(m_skip, m_skip->text());
    m_skip->setAutoDefault(false);
    headerRow->addWidget(m_skip, 0, Qt::AlignTop);
    headerStack->addLayout(headerRow);
    m_progress = new QProgressBar(header);
    m_progress->setRange(0, pageCount);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(6);
    headerStack->addWidget(m_progress);
    root->addWidget(header);
    root->addWidget(separator(this));

    // The page area. On a small screen it scrolls, so that the footer's buttons stay
    // within reach; its sizes follow the visible part.
    m_pageScroller = new QScrollArea(this);
    m_pageScroller->setFrameShape(QFrame::NoFrame);
    m_pageScroller->setWidgetResizable(true);
    m_pageScroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pageScroller->viewport()->installEventFilter(this);
    // A Tab stop only while the page scrolls, so that the keys can read what lies below;
    // otherwise it would be a stop with nothing to do. Its frame shows the focus.
    m_pageScroller->setFocusPolicy(Qt::NoFocus);
    m_pageScroller->setFrameShape(QFrame::Box);
    m_pageScroller->setFrameShadow(QFrame::Plain); // drawn in its text colour alone
    m_pageScroller->setLineWidth(2);
    m_pageScroller->installEventFilter(this);
    showPageScrollerFocus(false);
    connect(m_pageScroller->verticalScrollBar(), &QScrollBar::rangeChanged, this,
        [this](int, int maximum) {
            m_pageScroller->setFocusPolicy(maximum > 0 ? Qt::StrongFocus : Qt::NoFocus);
        });
    m_pageArea = new QWidget(m_pageScroller);
    m_pageArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The scroller's frame takes its colour from its text colour, which its children would
    // inherit: the page keeps the window's, or its texts vanish into the background.
    QPalette pageText = m_pageArea->palette();
    pageText.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    m_pageArea->setPalette(pageText);
    auto *page = new QVBoxLayout(m_pageArea);
    page->setContentsMargins(28, 24, 28, 24);
    page->setSpacing(14);
    m_title = new QLabel(m_pageArea);
    m_title->setWordWrap(true);
    m_title->setFont(OnboardingStyle::pageTitle());
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_subtitle = new QLabel(m_pageArea);
    m_subtitle->setWordWrap(true);
    m_subtitle->setFont(OnboardingStyle::title3());
    setSecondary(m_subtitle);
    page->addWidget(m_title);
    page->addWidget(m_subtitle);
    page->addSpacerItem(new QSpacerItem(0, 8, QSizePolicy::Minimum, QSizePolicy::Expanding));
    m_preview = new OnboardingAnimatedPreview(m_pageArea);
    page->addWidget(m_preview);

    m_cardRow = new QWidget(m_pageArea);
    auto *cardRow = new QHBoxLayout(m_cardRow);
    cardRow->setContentsMargins(0, 0, 0, 0);
    m_card = new ShortcutCard(m_cardRow);
    cardRow->addWidget(m_card, 0, Qt::AlignHCenter);
    auto *card = new QVBoxLayout(m_card);
    card->setContentsMargins(28, 34, 28, 34);
    card->setSpacing(24);
    card->addStretch(1);
    // The recorder goes in at index 1, between the stretches' first and the practice.
    auto *practice = new QVBoxLayout;
    practice->setSpacing(12);
    m_segments = new PracticeSegmentsView(m_card);
    Accessibility::setName(m_segments, tr("Shortcut practice"));
    m_status = new QLabel(m_card);
    m_status->setFont(OnboardingStyle::subheadline(QFont::Medium));
    m_status->setAlignment(Qt::AlignCenter);
    practice->addWidget(m_segments, 0, Qt::AlignHCenter);
    practice->addWidget(m_status, 0, Qt::AlignHCenter);
    card->addLayout(practice);
    if (!m_canRegisterShortcut) {
        m_segments->hide();
        m_status->hide();
        m_manualBinding = makeManualBinding(m_card);
        m_shortcutGuide = m_manualBinding->findChild<ShortcutGuide *>();
        card->addWidget(m_manualBinding);
    }
    card->addStretch(1);
    page->addWidget(m_cardRow);
    page->addSpacerItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    m_pageScroller->setWidget(m_pageArea);
    root->addWidget(m_pageScroller, 1);
    root->addWidget(separator(this));

    // Footer: "Back" and the main button.
    auto *footer = new QWidget(this);
    auto *footerRow = new QHBoxLayout(footer);
    footerRow->setContentsMargins(16, 16, 16, 16);
    m_back = new QPushButton(tr("Back"), footer);
    Accessibility::setName(m_back, m_back->text());
    m_back->setAutoDefault(false);
    m_main = new QPushButton(footer);
    m_main->setDefault(true);
    footerRow->addWidget(m_back);
    footerRow->addStretch(1);
    footerRow->addWidget(m_main);
    root->addWidget(footer);

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
