#include "ApplicationEventMonitor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace nookary {

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
        return m_onKey && m_onKey(static_cast<QKeyEvent &>(*event));
    auto &mouse = static_cast<QMouseEvent &>(*event);
    if (m_onMouse && (mouse.button() == Qt::LeftButton || mouse.button() == Qt::RightButton))
        m_onMouse(QApplication::widgetAt(mouse.globalPosition().toPoint()), mouse);
    return false;
}

} // namespace nookary
