#include "NookaryPanel.h"

#include "platform/WindowSystem.h"

#include <QWindow>

namespace nookary {

NookaryPanel::NookaryPanel(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(560, 380);
    resize(560, 380);
    setWindowTitle(QStringLiteral("Nookary"));
}

bool NookaryPanel::startSystemMove()
{
    QWindow *window = windowHandle();
    if (!window)
        return false;
    Q_EMIT moveOrResizeStarted();
    return window->startSystemMove();
}

void NookaryPanel::noteResizeStarted()
{
    Q_EMIT moveOrResizeStarted();
}

void NookaryPanel::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped, which is when the desktop reads this.
    WindowSystem::keepOutOfTaskbar(*this);
    QWidget::showEvent(event);
}

} // namespace nookary
