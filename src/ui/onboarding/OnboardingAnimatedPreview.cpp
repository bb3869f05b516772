// SPDX-License-Identifier: GPL-3.0-or-later
#include "OnboardingAnimatedPreview.h"

#include "ui/SymbolIcons.h"
#include "ui/onboarding/GIFPreviewView.h"
#include "ui/onboarding/OnboardingStyle.h"
#include "ui/onboarding/VeiledCard.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace nookary {

namespace {

constexpr int kGifInset = 8;
constexpr int kFallbackInset = 16;
constexpr int kFallbackSymbolSize = 34;

} // namespace

OnboardingAnimatedPreview::OnboardingAnimatedPreview(QWidget *parent)
    : QWidget(parent)
    , m_card(new VeiledCard(cornerRadius, 0.03f, 0.06f, this))
    , m_gif(new GIFPreviewView(m_card))
    , m_fallback(new QWidget(m_card))
    , m_fallbackIcon(new QLabel(m_fallback))
    , m_fallbackTitle(new QLabel(m_fallback))
    , m_fallbackCaption(new QLabel(m_fallback))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto *stack = new QVBoxLayout(m_fallback);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    stack->addStretch(1);
    for (QLabel *label : { m_fallbackIcon, m_fallbackTitle, m_fallbackCaption }) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(label != m_fallbackIcon);
        stack->addWidget(label);
    }
    stack->addStretch(1);
    m_fallbackTitle->setFont(OnboardingStyle::headline());
    m_fallbackCaption->setFont(OnboardingStyle::subheadline());
    QPalette captionPalette = m_fallbackCaption->palette();
    captionPalette.setColor(QPalette::WindowText, OnboardingStyle::secondary(*this));
    m_fallbackCaption->setPalette(captionPalette);

    m_gif->hide();
    m_fallback->hide();
    setFixedHeight(qRound(m_preferredHeight));
}

QSizeF OnboardingAnimatedPreview::cardSize(
    qreal areaWidth, qreal preferredHeight, std::optional<qreal> ratio)
{
    const qreal available = std::max(areaWidth, qreal(320));
    const qreal r = (ratio && *ratio > 0) ? *ratio : fallbackRatio;
    const qreal w = std::min({ available, qreal(920), preferredHeight * r });
    return { w, w / r };
}

void OnboardingAnimatedPreview::setContent(const Content &content)
{
    m_content = content;
    const std::optional<QUrl> url = GIFPreviewView::resourceURL(content.resourceName);
    m_ratio = url ? GIFPreviewView::aspectRatio(*url) : std::nullopt;
    if (url) {
        m_gif->setURL(*url);
        m_fallback->hide();
        m_gif->show();
    } else {
        m_gif->setURL({});
        m_gif->hide();
        m_fallbackTitle->setText(content.fallbackTitle);
        m_fallbackCaption->setText(content.fallbackCaption);
        updateFallbackIcon();
        m_fallback->show();
    }
    layoutCard();
}

void OnboardingAnimatedPreview::updateFallbackIcon()
{
    m_fallbackIcon->setPixmap(SymbolIcons::pixmap(m_content.fallbackIcon, kFallbackSymbolSize,
        OnboardingStyle::secondary(*this), devicePixelRatioF()));
}

void OnboardingAnimatedPreview::setPreferredHeight(qreal height)
{
    if (qFuzzyCompare(height, m_preferredHeight))
        return;
    m_preferredHeight = height;
    setFixedHeight(qRound(height));
    updateGeometry();
    layoutCard();
}

bool OnboardingAnimatedPreview::showsAnimation() const
{
    return !m_gif->isHidden();
}

QRect OnboardingAnimatedPreview::cardGeometry() const
{
    return m_card->geometry();
}

QSize OnboardingAnimatedPreview::sizeHint() const
{
    return { 320, qRound(m_preferredHeight) };
}

QSize OnboardingAnimatedPreview::minimumSizeHint() const
{
    return { 0, qRound(m_preferredHeight) };
}

void OnboardingAnimatedPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutCard();
}

void OnboardingAnimatedPreview::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_fallback->isVisibleTo(this))
        updateFallbackIcon();
}

void OnboardingAnimatedPreview::layoutCard()
{
    const QSizeF size = cardSize(width(), m_preferredHeight, m_ratio);
    QRect card(0, 0, qRound(size.width()), qRound(size.height()));
    card.moveCenter(QRect(0, 0, width(), qRound(m_preferredHeight)).center());
    m_card->setGeometry(card);
    const QRect inner(QPoint(0, 0), card.size());
    m_gif->setGeometry(inner.adjusted(kGifInset, kGifInset, -kGifInset, -kGifInset));
    m_fallback->setGeometry(
        inner.adjusted(kFallbackInset, kFallbackInset, -kFallbackInset, -kFallbackInset));
}

} // namespace nookary
