// SPDX-License-Identifier: GPL-3.0-or-later
#include "FocusHandBack.h"

#include "platform/Clock.h"

#include <QPointer>

#include <utility>

namespace nookary {

FocusHandBack::FocusHandBack(Workspace &workspace, Clock &clock,
    std::function<bool(quint64)> isOwnWindow, std::function<bool(quint64)> isPanelWindow,
    QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_clock(clock)
    , m_isOwnWindow(std::move(isOwnWindow))
    , m_isPanelWindow(std::move(isPanelWindow))
{
    QPointer<FocusHandBack> self(this);
    m_workspace.setFrontmostChangedHandler([self] {
        if (self && self->anotherApplicationInFront())
            Q_EMIT self->anotherWindowActivated();
    });
}

bool FocusHandBack::anotherApplicationInFront() const
{
    const auto front = m_workspace.frontmostApplication();
    return front && !m_isOwnWindow(front->windowId)
        && !(m_previousApp && m_previousApp->windowId == front->windowId);
}

void FocusHandBack::noteOpening()
{
    Q_EMIT panelOpening();
    std::optional<RunningApplication> cancelledTarget;
    if (m_pending.isPending())
        cancelledTarget = m_pendingTarget;
    m_pending.cancel();
    m_pendingTarget.reset();
    const auto frontmost = m_workspace.frontmostApplication();
    if (!frontmost || !m_isOwnWindow(frontmost->windowId))
        m_previousApp = frontmost;
    else if (!m_previousApp)
        m_previousApp = cancelledTarget;
}

void FocusHandBack::handBackAfterClose(CloseCause cause, std::optional<QPoint> closingClick)
{
    if (!m_previousApp)
        return;
    const RunningApplication application = *std::exchange(m_previousApp, std::nullopt);
    m_pending.cancel();
    m_pendingTarget = application;
    m_pending = m_clock.runAfter(this, delay, [this, application, cause, closingClick] {
        m_pendingTarget.reset();
        if (cause == CloseCause::focusLost && anotherWindowTookFocus(application))
            return;
        if (closingClick) {
            const auto clicked = m_workspace.applicationAt(*closingClick);
            if (clicked && !m_isOwnWindow(clicked->windowId)) {
                m_workspace.activate(*clicked);
                return;
            }
        }
        m_workspace.activate(application);
    });
}

void FocusHandBack::ownWindowTakesFocus(bool panelClosesForIt)
{
    m_pending.cancel();
    m_pendingTarget.reset();
    if (panelClosesForIt)
        m_previousApp.reset();
}

void FocusHandBack::forget()
{
    m_pending.cancel();
    m_pendingTarget.reset();
    m_previousApp.reset();
}

bool FocusHandBack::anotherWindowTookFocus(const RunningApplication &handBackTarget) const
{
    // Our own About box or alert taking focus counts as another window; only the panel,
    // still reported active just after it hid, does not.
    const auto frontmost = m_workspace.frontmostApplication();
    return frontmost && frontmost->windowId != handBackTarget.windowId
        && !m_isPanelWindow(frontmost->windowId);
}

} // namespace nookary
