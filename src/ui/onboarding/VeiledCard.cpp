// SPDX-License-Identifier: GPL-3.0-or-later
#include "VeiledCard.h"

#include "ui/onboarding/OnboardingStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace nookary {

VeiledCard::VeiledCard(qreal radius, float fillOpacity, float borderOpacity, QWidget *parent)
    : QWidget(parent)
    , m_radius(radius)
    , m_fillOpacity(fillOpacity)
    , m_borderOpacity(borderOpacity)
{
}

void VeiledCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), m_radius, m_radius);
    painter.fillPath(shape, OnboardingStyle::veil(*this, m_fillOpacity));
    painter.setPen(QPen(OnboardingStyle::veil(*this, m_borderOpacity), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), m_radius, m_radius);
}

} // namespace nookary
