// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/PanelState.h"
#include "platform/MainQueue.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <optional>

namespace nookary {

class Clock;

// The snippets and history entries the user removed in the last few seconds, kept so that
// they can be put back where they were, the latest first. Each removal starts the window
// anew; when it passes, all of them lapse. Main thread only.
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
        bool cut = false; // a history entry holding only part of its copy stays marked so
    };

    // Why the latest removal did not go back when asked.
    enum class Refusal { savedFull, historyFull };

    // `clock` must outlive this object.
    explicit RemovalUndo(Clock &clock, QObject *parent = nullptr);

    // The latest removal that can still be put back.
    std::optional<Removal> pending() const;
    void offer(Removal removal);
    // Forgets the latest removal: it went back.
    void dropLatest();
    // The latest removal could not go back now: it stays, with the reason, for a full window.
    void refuse(Refusal reason);
    std::optional<Refusal> refusal() const { return m_refusal; }
    // While held (the user is at the undo button), nothing lapses; letting go starts the
    // window anew.
    void setHeld(bool held);

Q_SIGNALS:
    void changed();

private:
    void restartWindow();

    Clock &m_clock;
    QList<Removal> m_pending;
    std::optional<Refusal> m_refusal;
    bool m_held = false;
    CancellableTask m_lapse;
};

} // namespace nookary
