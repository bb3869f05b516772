// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScrollColumn.h"

#include "platform/MainQueue.h"
#include "ui/Accessibility.h"
#include "ui/panel/OverlayScrollBar.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"

#include <QCursor>
#include <QEasingCurve>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace nookary {

ScrollColumn::ScrollColumn(const QString &title, const QString &subtitle, QWidget *parent)
    : QWidget(parent)
    , m_header(new HeaderBlock(title, subtitle, this))
    , m_scrollArea(new QScrollArea(this))
    , m_content(new QWidget)
    , m_rows(new QVBoxLayout(m_content))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_header);
    layout->addWidget(m_scrollArea, 1);

    // Readers see the rows as a list named like the column.
    Accessibility::setRole(m_content, QAccessible::List);
    Accessibility::setName(m_content, title);

    m_rows->setContentsMargins(8, 8, 8, 8);
    m_rows->setSpacing(8);
    m_rows->addStretch(1);
    m_content->setAutoFillBackground(false);
    m_content->setAttribute(Qt::WA_TranslucentBackground);

    m_scrollArea->setWidget(m_content);
    m_scrollArea->setWidgetResizable(true);
    m_content->setAutoFillBackground(false); // setWidget() turned it on
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    // The keys that move through the rows go by the panel's key map; a press on a row (the
    // start of a drag) must leave the search field typing.
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_scrollArea->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    m_overlayBar = new OverlayScrollBar(m_scrollArea);

    // Settles like a spring with response 0.5 s and damping 0.85.
    m_scrollAnimation = new QPropertyAnimation(m_scrollArea->verticalScrollBar(), "value", this);
    m_scrollAnimation->setDuration(500);
    m_scrollAnimation->setEasingCurve(QEasingCurve::OutCubic);
}

void ScrollColumn::showEvent(QShowEvent *event)
{
    m_pointerRest.restAt(QCursor::pos());
    QWidget::showEvent(event);
}

void ScrollColumn::arrange(const QList<QWidget *> &rows, const QList<QWidget *> &tail)
{
    QList<QWidget *> wanted = rows;
    for (QWidget *w : tail) {
        if (!w->isHidden())
            wanted.append(w);
    }
    if (wanted == m_arranged)
        return;
    for (QWidget *w : std::as_const(m_arranged))
        m_rows->removeWidget(w);
    for (qsizetype i = 0; i < wanted.size(); ++i)
        m_rows->insertWidget(int(i), wanted[i]);
    m_arranged = wanted;
}

void ScrollColumn::addBelowRows(QWidget *widget)
{
    layout()->addWidget(widget);
}

QPoint ScrollColumn::menuAnchor(QWidget *row) const
{
    const QWidget *viewport = m_scrollArea->viewport();
    const QRect shown = viewport->rect().adjusted(0, 0, -1, -1);
    const QPoint below = row->mapTo(viewport, QPoint(PanelStyle::rowPaddingH * 2, row->height()));
    const QPoint inside(std::clamp(below.x(), shown.left(), shown.right()),
        std::clamp(below.y(), shown.top(), shown.bottom()));
    return viewport->mapToGlobal(inside);
}

void ScrollColumn::scrollToCentre(QWidget *row)
{
    QPointer<QWidget> target(row);
    postToNextTurn(this, [this, target] {
        if (!target || target->isHidden())
            return;
        m_content->layout()->activate();
        QScrollBar *bar = m_scrollArea->verticalScrollBar();
        const int centre = target->y() + target->height() / 2;
        const int value = std::clamp(
            centre - m_scrollArea->viewport()->height() / 2, bar->minimum(), bar->maximum());
        m_scrollAnimation->stop();
        m_scrollAnimation->setStartValue(bar->value());
        m_scrollAnimation->setEndValue(value);
        m_scrollAnimation->start();
    });
}

} // namespace nookary
