#include "MainQueue.h"

#include "platform/Clock.h"

namespace nookary {

void postToNextTurn(QObject *context, std::function<void()> task)
{
    QTimer::singleShot(0, context, std::move(task));
}

CancellableTask::CancellableTask(QTimer *timer)
    : m_timer(timer)
{
}

void CancellableTask::cancel()
{
    if (m_timer) {
        m_timer->stop();
        m_timer->deleteLater();
        m_timer.clear();
    }
}

bool CancellableTask::isPending() const
{
    return m_timer && m_timer->isActive();
}

CancellableTask postDelayed(QObject *context, std::chrono::milliseconds delay,
                            std::function<void()> task)
{
    auto *timer = new QTimer(context);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, task = std::move(task)] {
        timer->deleteLater();
        task();
    });
    timer->start(delay);
    return CancellableTask(timer);
}

SystemClock &SystemClock::shared()
{
    static SystemClock clock;
    return clock;
}

} // namespace nookary
