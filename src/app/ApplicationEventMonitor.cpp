#include "ApplicationEventMonitor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace nookary {

namespace {

// The widget a press in `window` at `position` (window coordinates) is for.
QWidget *widgetUnder(QWindow *window, QPoint position)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window) {
            QWidget *child = top->childAt(position);
            return child ? child : top;
        }
    }
    return nullptr;
}

} // namespace

ApplicationEventMonitor::ApplicationEventMonitor(KeyHandler onKey, MouseHandler onMouse, QObject *parent)
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
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress)
        return false;
    if (!watched->isWindowType())
        return false;
    if (type == QEvent::KeyPress)
        return m_onKey
            && m_onKey(static_cast<QWindow *>(watched), static_cast<QKeyEvent &>(*event));
    auto &mouse = static_cast<QMouseEvent &>(*event);
    if (m_onMouse && (mouse.button() == Qt::LeftButton || mouse.button() == Qt::RightButton))
        m_onMouse(widgetUnder(static_cast<QWindow *>(watched), mouse.position().toPoint()), mouse);
    return false;
}

} // namespace nookary
