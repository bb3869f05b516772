// SPDX-License-Identifier: GPL-3.0-or-later
#include "PopoverWindow.h"

#include "app/WindowPlacement.h"
#include "ui/Accessibility.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace nookary {

PopoverWindow::PopoverWindow(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    Accessibility::setRole(this, QAccessible::Window);
    Accessibility::keepPopupInTree(this);
    setAccessibleName(QStringLiteral("Nookary")); // as the centred window's title
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setFixedSize(contentSize);
}

void PopoverWindow::setContent(QWidget *content)
{
    if (m_content) {
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = content;
    layout()->addWidget(content);
}

void PopoverWindow::showAt(const QRect &anchor)
{
    const QPoint pointer = QCursor::pos();
    QScreen *screen = nullptr;
    if (anchor.isValid() && !anchor.isEmpty())
        screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect visible = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), contentSize);
    move(WindowPlacement::popoverOrigin(anchor, contentSize, visible, pointer));
    m_closingPress.reset();
    show();
    raise();
    activateWindow();
}

void PopoverWindow::mousePressEvent(QMouseEvent *event)
{
    // A popup sees the press that lands outside it, and closes on it.
    if (!rect().contains(event->position().toPoint())) {
        const QPoint global = event->globalPosition().toPoint();
        if (m_pressOutside && m_pressOutside(global, event->button())) {
            event->accept();
            return;
        }
        m_closingPress = global;
    }
    QWidget::mousePressEvent(event);
}

void PopoverWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    Q_EMIT closed();
}

} // namespace nookary
