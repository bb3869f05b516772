// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace nookary {

// Runs `task` on the next turn of the event loop. A destroyed `context` cancels it, which
// is how deferred work holds its owner weakly.
void postToNextTurn(QObject *context, std::function<void()> task);

// A task posted for later that can be cancelled until it has run.
class CancellableTask final {
public:
    CancellableTask() = default;
    explicit CancellableTask(QTimer *timer);

    void cancel();
    bool isPending() const;

private:
    QPointer<QTimer> m_timer;
};

// Runs `task` once after `delay`, unless cancelled first or `context` is destroyed.
CancellableTask postDelayed(
    QObject *context, std::chrono::milliseconds delay, std::function<void()> task);

// A single-shot timer that every start puts off again: it runs its task once a stream of
// events has gone quiet. Owners take it as a parameter so that tests can fire it by hand.
class QuietTimer {
public:
    virtual ~QuietTimer() = default;
    // (Re)starts the wait; `task` replaces the one given before.
    virtual void start(std::chrono::milliseconds quiet, std::function<void()> task) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The event loop's QuietTimer; a destroyed `context` cancels it.
std::unique_ptr<QuietTimer> makeQuietTimer(QObject *context);

} // namespace nookary
