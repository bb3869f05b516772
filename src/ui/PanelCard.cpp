// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelCard.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace nookary {

PanelCard::PanelCard(QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content);
}

void PanelCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath card;
    card.addRoundedRect(bounds, cornerRadius, cornerRadius);
    // A heads-up display's dark, slightly blue-grey glass.
    QColor fill(28, 28, 32);
    fill.setAlphaF(opacity);
    painter.fillPath(card, fill);
    painter.setPen(QPen(QColor(255, 255, 255, qRound(255 * 0.08)), 1.0));
    painter.drawPath(card);
}

} // namespace nookary
