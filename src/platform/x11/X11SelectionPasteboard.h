// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/ClipboardFormats.h"
#include "platform/ClipboardReadQueue.h"
#include "platform/Pasteboard.h"

#include <QHash>
#include <QList>

#include <memory>

class QSocketNotifier;
class QTimer;

namespace nookary {

// Pasteboard over an X display's CLIPBOARD selection, on connections of its own, for a
// program whose windows are not on that display: GNOME's Wayland session offers no
// data-control, but Mutter mirrors its clipboard onto its XWayland's CLIPBOARD both ways.
//
// XFixes tells of each new owner. Another program's copy is read by the given reader, one
// read at a time (`ClipboardReadQueue`), and counted once read. Our own writes take the
// selection with a window of our own and count at once; the owner change they cause is
// known by that window. We serve what we wrote to whoever asks (Mutter, for a Wayland
// program that pastes), a large text in INCR chunks. Main thread only; nothing here waits
// for another client.
class X11SelectionPasteboard final : public Pasteboard {
    Q_OBJECT

public:
    // Null when the display named by DISPLAY cannot be opened or lacks XFixes.
    static std::unique_ptr<X11SelectionPasteboard> create(
        std::unique_ptr<ClipboardContentsReader> reader);
    ~X11SelectionPasteboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    ClipboardContents contents() const override { return m_contents; }
    bool isOwnChange() const override { return m_ownChange; }
    bool isReadPending() const override { return m_queue.isPending(); }
    void setReadingPaused(bool paused) override;

    void clear() override;
    void writeString(const QString &text) override;
    void writeFileURLs(const QList<QUrl> &urls) override;

private:
    struct Connection;
    struct Transfer;

    X11SelectionPasteboard(
        std::unique_ptr<Connection> x, std::unique_ptr<ClipboardContentsReader> reader);

    void dispatchEvents();
    void ownerChanged(quint32 owner, quint32 sequence);
    void selectionRequested(const void *event);
    bool serve(quint32 requestor, quint32 property, quint32 target);
    void sendNextChunk(Transfer &transfer);
    void propertyDeleted(quint32 window, quint32 property);
    void endTransfer(quint32 window, quint32 property);
    void own(ClipboardContents contents, QList<clipboardformats::OfferedForm> forms);
    void countChange(bool own);

    std::unique_ptr<Connection> m_x;
    std::unique_ptr<ClipboardContentsReader> m_reader;
    QSocketNotifier *m_notifier = nullptr;
    ClipboardReadQueue m_queue;
    ClipboardContents m_contents;
    // What we serve while we own the selection; empty otherwise.
    QList<clipboardformats::OfferedForm> m_forms;
    quint32 m_ownedSince = 0; // the server's time of our taking it, once XFixes told
    quint32 m_lastOwnRequest = 0; // the sequence number of our last change of owner
    // INCR transfers in progress, by requestor window and property.
    QHash<QPair<quint32, quint32>, Transfer *> m_transfers;
    qint64 m_changeCount = 0;
    bool m_ownChange = false;
    bool m_paused = false;
    bool m_awaitingOwnClear = false; // our clear's owner change is still to come
};

} // namespace nookary
