// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MainQueue.h"

#include <chrono>
#include <functional>

class QObject;

namespace nookary {

// The time, and timers on it, as the model, the windows and the shell see them. Passed in
// through constructors so that a test can drive time instead of waiting for it.
// Main thread only.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;

    virtual TimePoint now() const = 0;
    // Runs `task` once, `delay` from now, unless cancelled first or `context` is destroyed.
    virtual CancellableTask runAfter(
        QObject *context, std::chrono::milliseconds delay, std::function<void()> task)
        = 0;
};

// The steady clock and the event loop's timers.
class SystemClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    CancellableTask runAfter(
        QObject *context, std::chrono::milliseconds delay, std::function<void()> task) override
    {
        return postDelayed(context, delay, std::move(task));
    }

    // The one the program runs on; objects take it when the caller gives none.
    static SystemClock &shared();
};

} // namespace nookary
