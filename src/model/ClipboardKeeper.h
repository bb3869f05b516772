// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardManager.h"

#include <QObject>
#include <QString>

namespace nookary {

class ClipboardHistory;
class Pasteboard;

// What the clipboard manager keeps, decided by the history's rules: nothing while tracking
// is paused and nothing marked secret; an owner that vanished without handing over gets its
// copy offered again only when that copy, as read from that owner, is the newest history
// entry. Whatever it writes
// is the program's own write, which never records an entry twice or moves one.
class ClipboardKeeper final : public ClipboardManager::Keeper {
public:
    // Both must outlive the keeper.
    ClipboardKeeper(ClipboardHistory &history, Pasteboard &pasteboard);

    bool acceptsHandOver() const override;
    bool keepHandedOver(const ClipboardContents &contents) override;
    void ownerVanished(quint64 origin) override;

private:
    bool isNewestEntry(const QString &entry) const;
    void noteCounted();

    ClipboardHistory &m_history;
    Pasteboard &m_pasteboard;
    QObject m_context; // cancels what waits for a copy being read when the keeper goes
    // The last copy another program held, kept when the clipboard empties: the read that
    // finds it empty may land before the news of its owner's leaving.
    ClipboardContents m_lastHeld;
};

} // namespace nookary
