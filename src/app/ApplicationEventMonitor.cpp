// SPDX-License-Identifier: GPL-3.0-or-later
#include "ApplicationEventMonitor.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace nookary {

namespace {

QWidget *topLevelOf(QWindow *window)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window)
            return top;
    }
    return nullptr;
}

// The window a key reaching `window` is for. While popups show, the first one holds the
// keyboard and Qt hands every key to the topmost: a context menu opened inside the popover
// gets its keys through the popover's window.
QWidget *keyReceiverWindow(QWindow *window)
{
    if (QWidget *grabber = QWidget::keyboardGrabber())
        return grabber->window();
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    return topLevelOf(window);
}

// The widget a press reaching `window` at `position` (window coordinates) is for. While
// popups show, the first one holds the pointer and Qt hands the press to the topmost, at
// its place on screen.
QWidget *widgetUnder(QWindow *window, QPoint position)
{
    QWidget *top = QApplication::activePopupWidget();
    QPoint local = position;
    if (top)
        local = top->mapFromGlobal(window->mapToGlobal(position));
    else
        top = topLevelOf(window);
    if (!top)
        return nullptr;
    QWidget *child = top->rect().contains(local) ? top->childAt(local) : nullptr;
    return child ? child : top;
}

} // namespace

ApplicationEventMonitor::ApplicationEventMonitor(
    KeyHandler onKey, MouseHandler onMouse, QObject *parent)
    : QObject(parent)
    , m_onKey(std::move(onKey))
    , m_onMouse(std::move(onMouse))
{
    QCoreApplication::instance()->installEventFilter(this);
}

ApplicationEventMonitor::~ApplicationEventMonitor()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool ApplicationEventMonitor::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ContextMenu && watched->isWindowType()) {
        // The Menu key: X11 sends its context menu before the key itself, to the focused
        // control. It is seen as the key press, so the key map can take it for the selected
        // row instead of the search field.
        auto &menu = static_cast<QContextMenuEvent &>(*event);
        if (menu.reason() != QContextMenuEvent::Keyboard || !m_onKey)
            return false;
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Menu, menu.modifiers());
        return m_onKey(keyReceiverWindow(static_cast<QWindow *>(watched)), key);
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress)
        return false;
    if (!watched->isWindowType())
        return false;
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease)
        return m_onKey
            && m_onKey(keyReceiverWindow(static_cast<QWindow *>(watched)),
                static_cast<QKeyEvent &>(*event));
    auto &mouse = static_cast<QMouseEvent &>(*event);
    if (m_onMouse && (mouse.button() == Qt::LeftButton || mouse.button() == Qt::RightButton))
        m_onMouse(widgetUnder(static_cast<QWindow *>(watched), mouse.position().toPoint()), mouse);
    return false;
}

} // namespace nookary
