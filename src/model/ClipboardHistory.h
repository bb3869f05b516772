// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/HistoryItem.h"
#include "platform/MainQueue.h"

#include <QList>
#include <QObject>
#include <QStringView>

#include <chrono>
#include <optional>

namespace nookary {

class Clock;
class Pasteboard;

// The clipboard history: watches the clipboard, keeps the list (newest first, no two equal
// entries, at most `limit`), and skips the program's own writes. It polls one interval after
// the clipboard's change count moves, not on a repeating timer, so an idle program never
// wakes. Main thread only.
class ClipboardHistory final : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds pollInterval { 700 };

    // Whatever is on the clipboard at start is never recorded.
    ClipboardHistory(Pasteboard &pasteboard, Clock &clock, int limit, QObject *parent = nullptr);

    const QList<HistoryItem> &items() const { return m_items; }
    // Rises with every change of the list, for caches of it.
    quint64 revision() const { return m_revision; }
    void setLimit(int limit);

    bool isPaused() const { return m_paused; }
    // Resuming polls once for what was copied meanwhile. Answers whether it changed.
    bool setPaused(bool paused);

    void markProgrammaticWrite(const QString &text);
    bool ignoreNextPasteboardChange() const { return m_ignoreNextPasteboardChange; }
    std::optional<QString> lastProgrammaticWrite() const { return m_lastProgrammaticWrite; }
    qint64 lastChangeCount() const { return m_lastChangeCount; }

    void poll();
    void push(QStringView text);
    void clear();
    // Takes one entry out; answers its place, or -1 for an id not in the list.
    qsizetype remove(const QUuid &id);
    // Puts a removed entry back at `index` (at most the end), unless an entry of the same text
    // has come meanwhile. Answers whether it went back.
    bool restore(const HistoryItem &item, qsizetype index);

Q_SIGNALS:
    void changed();
    // After every push, whether or not the list changed.
    void pushed();

private:
    void armPoll();
    void didChange();

    Pasteboard &m_pasteboard;
    Clock &m_clock;
    int m_limit;
    bool m_paused = false;
    QList<HistoryItem> m_items;
    quint64 m_revision = 0;
    qint64 m_lastChangeCount = 0;
    bool m_ignoreNextPasteboardChange = false;
    std::optional<QString> m_lastProgrammaticWrite;
    CancellableTask m_pendingPoll;
};

} // namespace nookary
