// SPDX-License-Identifier: GPL-3.0-or-later
#include "NookaryPanel.h"

#include "ui/Accessibility.h"
#include "ui/panel/PanelView.h"

#include <QWindow>

namespace nookary {

NookaryPanel::NookaryPanel(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    Accessibility::setRole(this, QAccessible::Window);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    // The window takes the keyboard when it is activated; the focus itself stays with its
    // controls, so that a press on a handle or the background leaves the search field typing.
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(PanelView::minimumPanelSize);
    resize(PanelView::minimumPanelSize);
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

void NookaryPanel::noteSystemMoveReleased()
{
    Q_EMIT systemMoveReleased();
}

void NookaryPanel::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped, when window-manager hints still count.
    Q_EMIT aboutToShow();
    QWidget::showEvent(event);
}

} // namespace nookary
