// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QString>

namespace nookary::PortalTrigger {

// A stored shortcut in the text form of the desktop's shortcut settings ("CTRL+ALT+space":
// the modifiers SHIFT, CTRL, ALT and LOGO, then the key's keysym name), which the portal
// takes as the trigger it should prefer. Empty when the shortcut is not set or its key has
// no keysym name here.
QString preferredTrigger(HotkeyShortcut shortcut);

} // namespace nookary::PortalTrigger
