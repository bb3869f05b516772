// SPDX-License-Identifier: GPL-3.0-or-later
// The walkthrough's pages: their texts and the widgets that show them. What the pages do
// lives in OnboardingFlowView.cpp.
#include "OnboardingFlowView.h"
#include "ui/Accessibility.h"

#include "ui/ShortcutGuide.h"
#include "ui/onboarding/OnboardingAnimatedPreview.h"
#include "ui/onboarding/OnboardingStyle.h"
#include "ui/onboarding/PracticeSegmentsView.h"
#include "ui/onboarding/VeiledCard.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace nookary {

namespace {

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
void OnboardingFlowView::buildWidgets()
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
    m_card = new VeiledCard(12, 0.05f, 0.08f, m_cardRow); // the shortcut page's card
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
}

} // namespace nookary
