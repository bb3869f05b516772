// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace nookary {

// How the panel opens. Stored in the settings file by their case names; never rename a case.
struct OpenOptions {
    Q_GADGET

public:
    enum class OpenPresentation { menubarPopover, centeredWindow };
    Q_ENUM(OpenPresentation)
    enum class DefaultOpenTarget { savedFirst, historyFirst };
    Q_ENUM(DefaultOpenTarget)
};

} // namespace nookary
