// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataControlClipboardManager.h"

#include "platform/wayland/DataControlPasteboard.h"

namespace nookary {

DataControlClipboardManager::DataControlClipboardManager(DataControlPasteboard &pasteboard)
{
    connect(&pasteboard, &DataControlPasteboard::selectionEmptied, this, [this] {
        if (m_keeper)
            m_keeper->ownerVanished();
    });
}

} // namespace nookary
