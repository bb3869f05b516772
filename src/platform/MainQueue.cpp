// SPDX-License-Identifier: GPL-3.0-or-later
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

CancellableTask postDelayed(
    QObject *context, std::chrono::milliseconds delay, std::function<void()> task)
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

namespace {

class EventLoopQuietTimer final : public QuietTimer {
public:
    explicit EventLoopQuietTimer(QObject *context)
        : m_timer(new QTimer(context))
    {
        m_timer->setSingleShot(true);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
            if (m_task)
                m_task();
        });
    }
    ~EventLoopQuietTimer() override { delete m_timer.data(); }

    void start(std::chrono::milliseconds quiet, std::function<void()> task) override
    {
        m_task = std::move(task);
        if (m_timer)
            m_timer->start(quiet);
    }
    void stop() override
    {
        if (m_timer)
            m_timer->stop();
    }
    bool isActive() const override { return m_timer && m_timer->isActive(); }

private:
    QPointer<QTimer> m_timer;
    std::function<void()> m_task;
};

} // namespace

std::unique_ptr<QuietTimer> makeQuietTimer(QObject *context)
{
    return std::make_unique<EventLoopQuietTimer>(context);
}

} // namespace nookary
