// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardManager.h"

namespace nookary {

class DataControlPasteboard;

// The clipboard outliving its owner on Wayland. A program that quits takes its copy with it:
// the compositor empties the selection. Data-control shows that, and the keeper then decides
// whether to offer the copy again. Wayland tells a program that quit from one that emptied
// the clipboard on purpose no better than that, so both look like an owner that vanished;
// our own clear is known as ours and never reported. There is no hand-over to accept.
class DataControlClipboardManager final : public ClipboardManager {
    Q_OBJECT

public:
    // `pasteboard` must outlive this object.
    explicit DataControlClipboardManager(DataControlPasteboard &pasteboard);

    void start(Keeper &keeper) override { m_keeper = &keeper; }
    void stop() override { m_keeper = nullptr; }

private:
    Keeper *m_keeper = nullptr;
};

} // namespace nookary
