// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortcutBadge.h"

#include "ui/Accessibility.h"
#include "ui/recorder/RecorderStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace nookary {

ShortcutBadge::ShortcutBadge(bool emphasized, QWidget *parent)
    : QWidget(parent)
    , m_emphasized(emphasized)
{
    Accessibility::install(); // read as text
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ShortcutBadge::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    Accessibility::setName(this, text);
    updateGeometry();
    update();
}

void ShortcutBadge::setRecording(bool recording)
{
    if (recording == m_isRecording)
        return;
    m_isRecording = recording;
    update();
}

QFont ShortcutBadge::textFont() const
{
    return RecorderStyle::font(m_emphasized ? 28 : 15, QFont::DemiBold);
}

QMargins ShortcutBadge::padding() const
{
    return m_emphasized ? QMargins(18, 14, 18, 14) : QMargins(12, 8, 12, 8);
}

QSize ShortcutBadge::sizeHint() const
{
    // Rounded up, and a pixel to spare: hinted bold text can draw a little wider than the
    // whole-pixel measure, and the painter would then elide it.
    const QFontMetricsF metrics(textFont());
    const QMargins p = padding();
    return { int(std::ceil(metrics.horizontalAdvance(m_text))) + 2 + p.left() + p.right(),
        int(std::ceil(metrics.height())) + p.top() + p.bottom() };
}

void ShortcutBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(box, RecorderStyle::cornerRadius, RecorderStyle::cornerRadius);
    painter.fillPath(path, RecorderStyle::veil(*this, m_isRecording ? 0.14f : 0.08f));
    painter.setPen(QPen(RecorderStyle::veil(*this, m_isRecording ? 0.28f : 0.12f), 1));
    painter.drawPath(path);
    painter.setFont(textFont());
    painter.setPen(RecorderStyle::primary(*this));
    painter.drawText(rect().marginsRemoved(padding()), Qt::AlignCenter | Qt::TextSingleLine,
        QFontMetrics(textFont())
            .elidedText(m_text, Qt::ElideRight, width() - padding().left() - padding().right()));
}

} // namespace nookary
