// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowSystem.h"

namespace nookary {

// Builds without a window-system folder have no desktop to ask.
void WindowSystem::keepOutOfTaskbar(QWidget &) { }

void WindowSystem::keepOutOfTaskbarWhenShown(QWidget &) { }

void WindowSystem::endSystemMove(QWidget &) { }

} // namespace nookary
