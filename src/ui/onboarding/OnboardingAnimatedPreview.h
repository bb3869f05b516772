// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSizeF>
#include <QString>
#include <QWidget>

#include <optional>

class QLabel;

namespace nookary {

class GIFPreviewView;

// An animation of the walkthrough in a rounded card: the GIF named `resourceName` when
// the resources hold one, otherwise a still card with a symbol, a title and a caption.
// It takes the full width it is given and exactly `preferredHeight` in height; the card
// inside keeps the animation's proportions and is centred.
class OnboardingAnimatedPreview final : public QWidget {
    Q_OBJECT

public:
    struct Content {
        QString resourceName;
        QString fallbackIcon;
        QString fallbackTitle;
        QString fallbackCaption;
    };

    explicit OnboardingAnimatedPreview(QWidget *parent = nullptr);

    void setContent(const Content &content);
    const Content &content() const { return m_content; }
    void setPreferredHeight(qreal height);
    qreal preferredHeight() const { return m_preferredHeight; }

    // The card in an area `areaWidth` wide and `preferredHeight` high, for an animation of
    // aspect ratio `ratio` (1.6 when there is none): as tall as the area unless the width,
    // at least 320 and at most 920, makes it narrower.
    static QSizeF cardSize(qreal areaWidth, qreal preferredHeight, std::optional<qreal> ratio);
    static constexpr qreal fallbackRatio = 1.6;
    static constexpr qreal cornerRadius = 18;

    // What is shown now, for tests.
    bool showsAnimation() const;
    QRect cardGeometry() const;
    GIFPreviewView *gifView() const { return m_gif; }
    QLabel *fallbackTitleLabel() const { return m_fallbackTitle; }
    QLabel *fallbackCaptionLabel() const { return m_fallbackCaption; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void layoutCard();
    void updateFallbackIcon();

    Content m_content;
    qreal m_preferredHeight = 280;
    std::optional<qreal> m_ratio;
    QWidget *m_card;
    GIFPreviewView *m_gif;
    QWidget *m_fallback;
    QLabel *m_fallbackIcon;
    QLabel *m_fallbackTitle;
    QLabel *m_fallbackCaption;
};

} // namespace nookary
