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

    friend bool operator==(const ClipboardContents &, const ClipboardContents &) = default;
};

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
};

} // namespace nookary
