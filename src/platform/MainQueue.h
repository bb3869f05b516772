#pragma once

#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>

namespace nookary {

// Runs `task` on the next turn of the event loop. A destroyed `context` cancels it, which
// is how deferred work holds its owner weakly.
void postToNextTurn(QObject *context, std::function<void()> task);

// A task posted for later that can be cancelled until it has run.
class CancellableTask final
{
public:
    CancellableTask() = default;
    explicit CancellableTask(QTimer *timer);

    void cancel();
    bool isPending() const;

private:
    QPointer<QTimer> m_timer;
};

// Runs `task` once after `delay`, unless cancelled first or `context` is destroyed.
CancellableTask postDelayed(QObject *context, std::chrono::milliseconds delay,
                            std::function<void()> task);

} // namespace nookary
