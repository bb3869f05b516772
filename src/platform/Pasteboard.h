// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

namespace nookary {

// The system clipboard as the model sees it.
//
// `changeCount` rises once for every change of the clipboard's contents, whoever made it
// (this program included), and `changeCountChanged` is emitted on the main thread right
// after each rise, so that a slot reads every change in turn and nobody needs to poll.
// Another program's copy is counted once it has been read (`isReadPending` meanwhile); the
// program's own writes count at once and are known as such by the change they caused, not
// by their order.
class Pasteboard : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~Pasteboard() override = default;

    virtual qint64 changeCount() const = 0;

    // What the change counted last holds: what was read of another program's copy (nothing
    // of one made while reading was paused), or what this program wrote.
    virtual ClipboardContents contents() const = 0;
    // Whether the change counted last was a write through this object.
    virtual bool isOwnChange() const = 0;
    // A copy of another program was noticed and is being read; it is counted when the read
    // lands, which the read's deadline bounds. `readPendingChanged` tells each change.
    virtual bool isReadPending() const = 0;
    // The clipboard still holds this program's last write: false as soon as another program
    // took it, even before its copy has been read (a paste of ours would paste theirs).
    bool holdsOwnWrite() const { return isOwnChange() && !isReadPending(); }

    // While paused, nothing another program copies is read: its owner is asked for nothing
    // (an owner that serves one request keeps it for the user), and resuming reads nothing
    // either. Such a copy still counts as a change, of unknown contents. A read in flight,
    // of a copy made before, still counts when it lands, unless the clipboard changed
    // meanwhile and it may have found the newer copy. Writes through this object count as
    // ever.
    virtual void setReadingPaused(bool paused) = 0;
    // Reads another program's copy again, for an owner that changes what it holds without
    // taking the clipboard anew, of which no change is told (an X11 owner may do that). What
    // differs counts as a change of its own, of contents marked `mayChangeUnannounced`.
    // Nothing while paused, while a read is pending, or where every copy is told.
    virtual void reread() { }
    // Learns what `reread` compares with, counting nothing: the copy of an owner that
    // changes what it holds unannounced is read as it is now (at start, or on resuming, it
    // is a copy made before, or while paused); of any other owner only the forms it offers
    // are asked, which uses up no paste. Nothing while paused or while our own write holds
    // the clipboard.
    virtual void takeBaseline() { }
    // The clipboard's owner is known to change what it holds unannounced, so that only
    // `reread` tells of its copies. Told through `readPendingChanged` or
    // `changeCountChanged`: it changes only when a read lands or a change is counted.
    virtual bool ownerChangesUnannounced() const { return false; }

    virtual void clear() = 0;
    virtual void writeString(const QString &text) = 0;
    // Written so that file managers paste the files themselves, with the URLs as plain text
    // too, one a line.
    virtual void writeFileURLs(const QList<QUrl> &urls) = 0;
    void writeFileURL(const QUrl &url) { writeFileURLs({ url }); }

Q_SIGNALS:
    void changeCountChanged();
    void readPendingChanged();
};

} // namespace nookary
