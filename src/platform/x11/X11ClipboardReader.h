// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/ClipboardFormats.h"

#include <QObject>
#include <QThread>

#include <memory>
#include <vector>

namespace nookary {

// Reads the CLIPBOARD selection on a thread and X connection of its own, with a deadline
// per read and a cap on the bytes taken (large texts arrive in INCR chunks; the rest is left
// unread). Several reads may run at once, each on a thread and connection of its own, so
// that an owner that answers slowly or never holds up no other read. Each connection follows
// the clipboard's owners from the start (XFixes), to tell which taking of the clipboard a
// copy was read from.
class X11ClipboardReader final : public QObject, public ClipboardContentsReader {
    Q_OBJECT

public:
    static constexpr int timeoutMs = clipboardformats::readTimeoutMs;
    static constexpr qsizetype maxBytes = clipboardformats::readMaxBytes;

    // How a read asks the owner. `Together`: the list of forms and the text at once, so that
    // an owner busy for a moment answers both once free. `OneAtATime`: each request once the
    // last was answered, for a Qt program that is quitting: while it waits for the clipboard
    // manager it serves one request per event it receives, and leaves the rest waiting.
    enum class Requests { Together, OneAtATime };

    // Null when no X display can be opened.
    static std::unique_ptr<X11ClipboardReader> create(
        int readsAtOnce = 1, Requests requests = Requests::Together);
    ~X11ClipboardReader() override;

    void read(std::function<void(ClipboardContents)> done) override;
    void readIfChangesUnannounced(std::function<void(ClipboardContents)> done) override;
    int concurrentReads() const override { return int(m_lanes.size()); }

private:
    class Worker;
    struct Lane {
        QThread thread;
        Worker *worker = nullptr; // lives on `thread`, deleted when it ends
        int reads = 0; // given to it and not yet answered
    };
    X11ClipboardReader() = default;
    void readOn(bool onlyUnannounced, std::function<void(ClipboardContents)> done);
    void addLane(std::unique_ptr<Worker> worker);

    std::vector<std::unique_ptr<Lane>> m_lanes;
};

} // namespace nookary
