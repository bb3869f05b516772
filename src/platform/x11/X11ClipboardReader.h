// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/ClipboardFormats.h"

#include <QObject>
#include <QThread>

#include <memory>

namespace nookary {

// Reads the CLIPBOARD selection on a thread of its own, over an X connection of its own,
// with a deadline per read and a cap on the bytes taken (large texts arrive in INCR
// chunks; the rest is left unread).
class X11ClipboardReader final : public QObject, public ClipboardContentsReader {
    Q_OBJECT

public:
    static constexpr int timeoutMs = clipboardformats::readTimeoutMs;
    static constexpr qsizetype maxBytes = clipboardformats::readMaxBytes;

    // Null when no X display can be opened.
    static std::unique_ptr<X11ClipboardReader> create();
    ~X11ClipboardReader() override;

    void read(std::function<void(ClipboardContents)> done) override;

private:
    class Worker;
    explicit X11ClipboardReader(std::unique_ptr<Worker> worker);

    QThread m_thread;
    Worker *m_worker;
};

} // namespace nookary
