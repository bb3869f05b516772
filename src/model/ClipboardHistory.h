// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/HistoryItem.h"
#include "platform/MainQueue.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringView>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace nookary {

class Clock;
class Pasteboard;
struct ClipboardContents;

// The clipboard history: records each change of the clipboard the moment the pasteboard
// reports it, keeps the list (newest first, no two equal entries, at most `limit`, at most
// `maxMemoryBytes` of text), and skips the program's own writes, known by the change they
// caused. Nothing wakes while nothing is copied, except to look again at the copy of an
// owner that changes it unannounced (Tk) while it holds the clipboard. Main thread only.
class ClipboardHistory final : public QObject {
    Q_OBJECT

public:
    // When the entries' texts take more, the oldest long ones keep only their preview.
    static constexpr qsizetype maxMemoryBytes = 64 * 1024 * 1024;
    // How long a task waiting for a copy being read may wait at most: the reader's deadline,
    // and a little for the turns around it.
    static constexpr std::chrono::milliseconds captureWaitLimit { 1750 };
    // How often the copy of an owner that changes it unannounced (Tk) is looked at again,
    // while that owner holds the clipboard: each of its copies is recorded about this soon.
    static constexpr std::chrono::milliseconds unannouncedLookInterval { 250 };
    // Each look reads the whole copy again: a long one is looked at less often, one more
    // interval for every 32 K characters, up to this.
    static constexpr std::chrono::milliseconds unannouncedLookLongest { 5000 };

    // Whatever is on the clipboard at start is never recorded.
    ClipboardHistory(Pasteboard &pasteboard, Clock &clock, int limit, QObject *parent = nullptr);

    const QList<HistoryItem> &items() const { return m_items; }
    // Rises with every change of the list, for caches of it.
    quint64 revision() const { return m_revision; }
    void setLimit(int limit);

    bool isPaused() const { return m_paused; }
    // Nothing copied while paused is ever recorded, on resume either. Answers whether it
    // changed.
    bool setPaused(bool paused);

    qint64 lastChangeCount() const { return m_lastChangeCount; }
    // A copy of another program is being read and will be recorded when it lands.
    bool isCapturePending() const;
    // Runs `task` once no copy is being read: at once when none is, else when the read
    // lands, or after `captureWaitLimit` at the latest. A destroyed `context` cancels it.
    void whenCaptureSettled(QObject *context, std::function<void()> task);
    // Other programs' copies counted so far, recorded or not.
    qint64 copiesCounted() const { return m_copiesCounted; }
    // Whether the newest copy made since `copiesCounted` was then is not in the list: it
    // could not be read (its owner too slow), held nothing to keep (a secret, an image), or
    // is still being read.
    bool missedCopySince(qint64 copiesCounted) const;

    // Records the change the pasteboard counted last, unless it was seen already. The
    // pasteboard's signal calls it for each change.
    void poll();
    // Reads another program's copy again, for one that changed it unannounced (X11 owners
    // may); it is recorded if it differs. Not while paused.
    void reread();
    // Records `text` at the top, moving an equal entry instead of adding one.
    void push(QStringView text);
    // The entry made of another program's copy: its local files, one URL a line, or its
    // text trimmed (`historyEntryText`); nothing for a secret, an image or blank text. `cut`
    // is set when that is not all of the copy.
    static std::optional<QString> entryFor(const ClipboardContents &contents, bool *cut = nullptr);
    void clear();
    // Takes one entry out; answers its place, or -1 for an id not in the list.
    qsizetype remove(const QUuid &id);
    enum class Restored {
        restored,
        alreadyThere, // an entry of the same text came meanwhile
        beyondLimit, // its place is past the oldest entry kept
    };
    // Puts a removed entry back at `index` (at most the end); the oldest entry past the limit
    // goes, as with any copy.
    Restored restore(const HistoryItem &item, qsizetype index);

Q_SIGNALS:
    void changed();
    // After every push, whether or not the list changed.
    void pushed();
    // A copy made in another program was recorded (or moved to the top).
    void captured();
    void capturePendingChanged();

private:
    // Answers whether it went into the list.
    bool record(const ClipboardContents &contents);
    // Looks again, while the owner changes its copy unannounced and nothing is paused.
    void followUnannouncedChanges();
    void pushEntry(const QString &text, bool cut);
    void keepMemoryBound();
    void didChange();
    void settle();

    struct Waiting {
        QPointer<QObject> context;
        std::function<void()> task;
    };

    Pasteboard &m_pasteboard;
    Clock &m_clock;
    int m_limit;
    bool m_paused = false;
    QList<HistoryItem> m_items;
    quint64 m_revision = 0;
    qint64 m_lastChangeCount = 0;
    std::vector<Waiting> m_waiting;
    CancellableTask m_waitLimit;
    CancellableTask m_nextLook;
    qint64 m_copiesCounted = 0;
    bool m_newestCopyRecorded = true;
};

} // namespace nookary
