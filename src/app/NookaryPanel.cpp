#include "NookaryPanel.h"

#include "platform/WindowSystem.h"

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

void NookaryPanel::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped, which is when the desktop reads this.
    WindowSystem::keepOutOfTaskbar(*this);
    QWidget::showEvent(event);
}

} // namespace nookary
