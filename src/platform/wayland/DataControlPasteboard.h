// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/ClipboardReadQueue.h"
#include "platform/Pasteboard.h"

#include <QThread>

#include <memory>

namespace nookary {

class DataControlClient;

// Pasteboard over the Wayland compositor's data-control protocol, which lets a program watch
// and set the clipboard without having focus (Qt's clipboard sees another program's copy
// only while one of our windows has it).
//
// The protocol runs on a `wl_display` connection and a thread of its own. Each new selection
// that another program made is read there, one read at a time (`ClipboardReadQueue`; the
// same deadline and size cap as on X11; an offer marked secret is not read at all), and
// counted once it has been read; our own writes count at once. The primary selection is
// ignored. Nothing here depends on the protocol's name: the client speaks it.
class DataControlPasteboard final : public Pasteboard {
    Q_OBJECT

public:
    // Null when there is no Wayland connection or the compositor does not offer
    // data-control. Ignores SIGPIPE for the whole program: a reader that closes its end
    // early must not end Nookary while it sends our copy.
    static std::unique_ptr<DataControlPasteboard> create();
    ~DataControlPasteboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    ClipboardContents contents() const override { return m_contents; }
    bool isOwnChange() const override { return m_ownChange; }
    bool isReadPending() const override { return m_queue.isPending(); }
    void setReadingPaused(bool paused) override;

    void clear() override;
    void writeString(const QString &text) override;
    void writeFileURLs(const QList<QUrl> &urls) override;

Q_SIGNALS:
    // Another program emptied the selection, most likely by quitting, while what it held is
    // the change counted last: no newer copy is being read, reading is not paused. Emitted
    // before the empty selection is counted; a slot that writes replaces it.
    void selectionEmptied();

private:
    explicit DataControlPasteboard(std::unique_ptr<DataControlClient> client);

    void othersSelection(quint64 selection, bool empty);
    void ownWrite(ClipboardContents contents);
    void countChange(bool own);

    QThread m_thread;
    DataControlClient *m_client; // lives on m_thread, deleted when it ends
    ClipboardReadQueue m_queue;
    ClipboardContents m_contents;
    quint64 m_newestSelection = 0; // the newest selection of another program
    quint64 m_readSelection = 0; // the one the read in flight asked for
    quint64 m_readTicket = 0;
    qint64 m_changeCount = 0;
    bool m_ownChange = false;
    bool m_paused = false;
};

} // namespace nookary
