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
    m_pending.cancel();
    const auto frontmost = m_workspace.frontmostApplication();
    if (!frontmost || !m_isOwnWindow(frontmost->windowId))
        m_previousApp = frontmost;
}

void FocusHandBack::handBackAfterClose()
{
    if (!m_previousApp)
        return;
    const RunningApplication application = *std::exchange(m_previousApp, std::nullopt);
    m_pending.cancel();
    m_pending = m_clock.runAfter(this, delay, [this, application] { m_workspace.activate(application); });
}

} // namespace nookary
