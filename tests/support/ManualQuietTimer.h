// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MainQueue.h"

#include <functional>
#include <utility>

namespace nookary::test {

// A QuietTimer that goes off only when the test fires it: a wait "ends" when the test says so.
struct ManualQuietTimer final : QuietTimer {
    std::function<void()> task;
    bool active = false;
    int starts = 0;

    void start(std::chrono::milliseconds, std::function<void()> t) override
    {
        task = std::move(t);
        active = true;
        ++starts;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    void fire()
    {
        if (std::exchange(active, false) && task)
            task();
    }
};

} // namespace nookary::test
