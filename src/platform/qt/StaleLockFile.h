// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>

namespace nookary {

// QSettings guards its writes with a QLockFile beside the file and waits up to 30 s for a
// lock it thinks alive. A lock left by a killed program would freeze the first write that
// long: removes the lock at `path` when it names a process of this machine that is gone (or
// that ran before the last boot), or when it is empty or unreadable and older than `grace`
// (a lock being written right now is empty for a moment). A lock of another machine sharing
// the folder is left to QSettings. True when a lock was removed.
bool removeStaleLockFile(
    const QString &path, std::chrono::milliseconds grace = std::chrono::seconds(2));

} // namespace nookary
