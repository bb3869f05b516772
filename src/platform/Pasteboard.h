// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

namespace nookary {

// The system clipboard as the model sees it.
//
// `changeCount` rises whenever the clipboard's contents change, whoever changed them (this
// program included). Contents are read only after the count moved, so a reader that sees no
// change touches nothing but one integer. `changeCountChanged` is emitted on the main thread
// after the count rose; it lets the model sleep while nothing is copied.
class Pasteboard : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~Pasteboard() override = default;

    virtual qint64 changeCount() const = 0;

    // The plain text on the clipboard; nothing when it holds no text (an image, say).
    virtual std::optional<QString> string() const = 0;
    // The first URL of the clipboard's URL list as a string; nothing when there is none.
    virtual std::optional<QString> fileURLString() const = 0;
    // True when the owner marked the contents as a secret (password managers do), so that
    // clipboard tools keep them out of their history.
    virtual bool isMarkedSecret() const = 0;
    // True while the clipboard still holds this program's last write: false as soon as
    // another program takes it, even before its copy has been read and counted.
    virtual bool holdsOwnWrite() const = 0;

    // While paused, nothing another program copies is read: its owner is asked for nothing
    // (an owner that serves one request keeps it for the user) and the count stays. Resuming
    // reads once if the clipboard changed meanwhile; the count then rises as for any change.
    // Writes through this object still count while paused.
    virtual void setReadingPaused(bool paused) = 0;

    virtual void clear() = 0;
    virtual void writeString(const QString &text) = 0;
    // Written so that file managers paste the file itself, with the URL as plain text too.
    virtual void writeFileURL(const QUrl &url) = 0;

Q_SIGNALS:
    void changeCountChanged();
};

} // namespace nookary
