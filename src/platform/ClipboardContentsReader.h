// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace nookary {

// What another program put on the clipboard, as far as the history cares.
struct ClipboardContents {
    std::optional<QString> text;
    QStringList fileURLs; // the entries of its URL list, in order
    bool secret = false; // marked by a password manager
    bool truncated = false; // cut at the size cap or the deadline: not all of it
    // The taking of the clipboard it was read from (on X11 the owner's window and the time
    // it took the clipboard), the same for every copy an owner makes without taking the
    // clipboard anew. 0: unknown, or no owner, or the owner changed while it was read.
    quint64 origin = 0;
    // Its owner is known to change what it holds without taking the clipboard anew (Tk
    // does), so that it may hold something else by now.
    bool mayChangeUnannounced = false;

    friend bool operator==(const ClipboardContents &, const ClipboardContents &) = default;
};

// Whether reading the copy counted last again may tell of a change its owner made without
// taking the clipboard anew: only one of a known owner, with something to compare. A copy
// cut at the cap is cut alike each time, so an owner known to change its copy unannounced
// is looked at past it too: else its later copies would go unseen.
inline bool isWorthRereading(const ClipboardContents &counted)
{
    return counted.origin != 0 && !counted.secret
        && (!counted.truncated || counted.mayChangeUnannounced)
        && (counted.text || !counted.fileURLs.isEmpty());
}

// Whether `read` is the owner of `counted` holding something else, unannounced.
inline bool changedUnannounced(const ClipboardContents &counted, const ClipboardContents &read)
{
    return read.origin != 0 && read.origin == counted.origin
        && (read.text != counted.text || read.fileURLs != counted.fileURLs
            || read.secret != counted.secret);
}

// Reads the clipboard's contents away from the main thread, so that an owner that answers
// slowly, or never, or sends a huge text, cannot hold up the program. Each read gives up
// after a short time and reads at most a few MiB of text.
class ClipboardContentsReader {
public:
    virtual ~ClipboardContentsReader() = default;

    // Reads what the current owner offers. `done` is called on the main thread, once, with
    // what could be read (nothing when the owner did not answer in time). A newer read may
    // finish first; the caller tells them apart.
    virtual void read(std::function<void(ClipboardContents)> done) = 0;
    // Like `read`, but only an owner that changes what it holds unannounced has its copy
    // read; any other is asked only which forms it offers (which uses up no paste of an
    // owner that serves one), and nothing comes back of it.
    virtual void readIfChangesUnannounced(std::function<void(ClipboardContents)> done) { done({}); }
    // How many reads run at once, each apart from the others: a read started while as many
    // are in flight waits for one of them.
    virtual int concurrentReads() const { return 1; }
};

} // namespace nookary
