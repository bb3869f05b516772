// SPDX-License-Identifier: GPL-3.0-or-later
#include "OverlayScrollBar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QScrollArea>

namespace nookary {

OverlayScrollBar::OverlayScrollBar(QScrollArea *area)
    : QScrollBar(Qt::Vertical, area)
    , m_viewport(area->viewport())
{
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: %1px; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgba(255,255,255,90); border-radius: 3px; "
        "min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line, QScrollBar::add-page, QScrollBar::sub-page"
        " { background: none; height: 0; }")
                      .arg(thickness));
    setCursor(Qt::ArrowCursor);
    hide();

    QScrollBar *inner = area->verticalScrollBar();
    setRange(inner->minimum(), inner->maximum());
    setPageStep(inner->pageStep());
    setSingleStep(inner->singleStep());
    setValue(inner->value());
    connect(inner, &QScrollBar::rangeChanged, this, [this, inner](int min, int max) {
        setRange(min, max);
        setPageStep(inner->pageStep());
        if (max <= min)
            hide();
    });
    connect(inner, &QScrollBar::valueChanged, this, [this](int value) {
        setValue(value);
        flash();
    });
    connect(this, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);

    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(hideDelayMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &OverlayScrollBar::hideUnlessHeld);
    m_viewport->installEventFilter(this);
    place();
}

void OverlayScrollBar::flash()
{
    if (maximum() <= minimum())
        return;
    place();
    show();
    raise();
    m_hideTimer.start();
}

void OverlayScrollBar::hideUnlessHeld()
{
    if (underMouse() || isSliderDown())
        m_hideTimer.start();
    else
        hide();
}

void OverlayScrollBar::place()
{
    const QRect viewport = m_viewport->geometry();
    // At the trailing edge: the left one in a mirrored panel.
    const int x = isRightToLeft() ? viewport.left() + 1 : viewport.right() - thickness - 1;
    setGeometry(x, viewport.top() + 2, thickness, std::max(0, viewport.height() - 4));
}

bool OverlayScrollBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        place();
    return QScrollBar::eventFilter(watched, event);
}

void OverlayScrollBar::enterEvent(QEnterEvent *event)
{
    m_hideTimer.stop();
    QScrollBar::enterEvent(event);
}

void OverlayScrollBar::leaveEvent(QEvent *event)
{
    m_hideTimer.start();
    QScrollBar::leaveEvent(event);
}

void OverlayScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    QScrollBar::mouseReleaseEvent(event);
    m_hideTimer.start();
}

} // namespace nookary
