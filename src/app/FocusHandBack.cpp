#include "FocusHandBack.h"

#include "platform/Clock.h"

#include <utility>

namespace nookary {

FocusHandBack::FocusHandBack(Workspace &workspace, Clock &clock, std::function<bool(quint64)> isOwnWindow,
                             QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_clock(clock)
    , m_isOwnWindow(std::move(isOwnWindow))
{
}

void FocusHandBack::noteOpening()
{
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

void FocusHandBack::handBackAfterClose(CloseCause cause)
{
    if (!m_previousApp)
        return;
    const RunningApplication application = *std::exchange(m_previousApp, std::nullopt);
    m_pending.cancel();
    m_pendingTarget = application;
    m_pending = m_clock.runAfter(this, delay, [this, application, cause] {
        m_pendingTarget.reset();
        if (cause == CloseCause::focusLost && anotherWindowTookFocus(application))
            return;
        m_workspace.activate(application);
    });
}

bool FocusHandBack::anotherWindowTookFocus(const RunningApplication &handBackTarget) const
{
    const auto frontmost = m_workspace.frontmostApplication();
    return frontmost && frontmost->windowId != handBackTarget.windowId && !m_isOwnWindow(frontmost->windowId);
}

} // namespace nookary
