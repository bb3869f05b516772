// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/Pasteboard.h"

#include <memory>
#include <optional>
#include <utility>

class QClipboard;

namespace nookary {

// Pasteboard over QClipboard's CLIPBOARD selection (not the mouse selection). Qt tells of
// every change of owner, so the change count is our own counter, raised on each signal.
// With a reader, what another program copied is read away from the main thread first and
// the count rises once it has been read, so the model never waits for a clipboard owner;
// without one (no X11), QClipboard is asked directly.
class ClipboardPasteboard final : public Pasteboard {
    Q_OBJECT

public:
    explicit ClipboardPasteboard(QClipboard *clipboard,
        std::unique_ptr<ClipboardContentsReader> reader = nullptr, QObject *parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    std::optional<QString> string() const override;
    std::optional<QString> fileURLString() const override;
    bool isMarkedSecret() const override;
    bool holdsOwnWrite() const override;
    void setReadingPaused(bool paused) override;

    void clear() override;
    void writeString(const QString &text) override;
    void writeFileURL(const QUrl &url) override;

private:
    void clipboardChanged();
    void readOthersCopy();
    // The text and first URL of the copy we own.
    std::pair<std::optional<QString>, std::optional<QString>> ownCopy() const;
    void countChange();

    QClipboard *m_clipboard;
    std::unique_ptr<ClipboardContentsReader> m_reader;
    std::optional<ClipboardContents> m_snapshot; // what was read of another program's copy
    // Our own copy as it was when its change was counted; none once another program's came.
    std::optional<std::pair<std::optional<QString>, std::optional<QString>>> m_countedOwnCopy;
    quint64 m_generation = 0;
    qint64 m_changeCount = 0;
    bool m_paused = false;
    bool m_changedWhilePaused = false;
};

} // namespace nookary
