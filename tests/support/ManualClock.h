// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace nookary::test {

// A clock that moves only when the test says so. Tasks run inside `advance`, in the order
// they fall due; a cancelled task, or one whose context is gone, does not run.
class ManualClock final : public Clock {
public:
    TimePoint now() const override { return m_now; }

    CancellableTask runAfter(
        QObject *context, std::chrono::milliseconds delay, std::function<void()> task) override
    {
        // A started timer stands for the pending task, so that cancelling and destroying the
        // context behave as with the real clock; its interval is too long to ever fire.
        auto *timer = new QTimer(context);
        timer->setSingleShot(true);
        timer->start(std::chrono::hours(24));
        m_tasks.push_back({ m_now + delay, m_sequence++, timer, std::move(task) });
        return CancellableTask(timer);
    }

    void advance(std::chrono::milliseconds by)
    {
        const TimePoint until = m_now + by;
        for (;;) {
            auto due = std::min_element(
                m_tasks.begin(), m_tasks.end(), [](const Task &a, const Task &b) {
                    return a.at != b.at ? a.at < b.at : a.sequence < b.sequence;
                });
            if (due == m_tasks.end() || due->at > until)
                break;
            Task task = std::move(*due);
            m_tasks.erase(due);
            m_now = std::max(m_now, task.at);
            if (!task.timer || !task.timer->isActive())
                continue; // cancelled, or its owner is gone
            task.timer->stop();
            task.timer->deleteLater();
            task.run();
        }
        m_now = until;
    }

private:
    struct Task {
        TimePoint at;
        quint64 sequence;
        QPointer<QTimer> timer;
        std::function<void()> run;
    };

    TimePoint m_now { std::chrono::hours(1) };
    quint64 m_sequence = 0;
    std::vector<Task> m_tasks;
};

} // namespace nookary::test
