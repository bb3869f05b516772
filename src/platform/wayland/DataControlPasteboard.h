// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/Pasteboard.h"

#include <QThread>

#include <memory>

namespace nookary {

class DataControlClient;

// Pasteboard over the Wayland compositor's data-control protocol, which lets a program watch
// and set the clipboard without having focus (Qt's clipboard sees another program's copy
// only while one of our windows has it).
//
// The protocol runs on a `wl_display` connection and a thread of its own. Every new selection
// that another program made is read there (the same deadline and size cap as on X11; an
// offer marked secret is not read at all) and the count rises once it has been read; our own
// writes count at once. The primary selection is ignored.
class DataControlPasteboard final : public Pasteboard {
    Q_OBJECT

public:
    // Null when there is no Wayland connection or the compositor does not offer
    // data-control. Ignores SIGPIPE for the whole program: a reader that closes its end
    // early must not end Nookary while it sends our copy.
    static std::unique_ptr<DataControlPasteboard> create();
    ~DataControlPasteboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    std::optional<QString> string() const override { return m_contents.text; }
    std::optional<QString> fileURLString() const override { return m_contents.fileURL; }
    bool isMarkedSecret() const override { return m_contents.secret; }
    bool holdsOwnWrite() const override { return m_holdsOwnWrite; }
    void setReadingPaused(bool paused) override;

    void clear() override;
    void writeString(const QString &text) override;
    void writeFileURL(const QUrl &url) override;

private:
    explicit DataControlPasteboard(std::unique_ptr<DataControlClient> client);

    void othersSelection(quint64 selection);
    void read(quint64 selection);
    void ownWrite(ClipboardContents contents);
    void countChange();

    QThread m_thread;
    DataControlClient *m_client; // lives on m_thread, deleted when it ends
    ClipboardContents m_contents;
    quint64 m_awaitedSelection = 0; // the newest selection of another program; 0: none
    qint64 m_changeCount = 0;
    bool m_paused = false;
    bool m_changedWhilePaused = false;
    bool m_holdsOwnWrite = false;
};

} // namespace nookary
