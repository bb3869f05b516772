// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/PanelState.h"
#include "platform/MainQueue.h"

#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <optional>

namespace nookary {

class Clock;

// The last snippet or history entry the user removed, kept for a short while so that it can
// be put back where it was. Only the latest removal is kept; it lapses on its own. Main
// thread only.
class RemovalUndo final : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds window { 8 };

    struct Removal {
        PanelState::Column column;
        QUuid id;
        QString text;
        qsizetype index = 0; // its place in the whole list
        QUuid before; // the one that followed it, where it goes back while that is there
    };

    // `clock` must outlive this object.
    explicit RemovalUndo(Clock &clock, QObject *parent = nullptr);

    const std::optional<Removal> &pending() const { return m_pending; }
    // Replaces whatever was pending and starts the window anew.
    void offer(Removal removal);
    // The pending removal, no longer pending.
    std::optional<Removal> take();

Q_SIGNALS:
    void changed();

private:
    Clock &m_clock;
    std::optional<Removal> m_pending;
    CancellableTask m_lapse;
};

} // namespace nookary
