// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace nookary::WindowSystem {

// Asks the desktop to leave this top-level window out of task bars and pagers. Call it each
// time before the window is shown; a no-op where the desktop cannot be asked.
void keepOutOfTaskbar(QWidget &window);

// The same for a window shown by code that does not subclass it (a message box): asks again
// each time it is about to be shown.
void keepOutOfTaskbarWhenShown(QWidget &window);

// Tells the window manager that a move it was asked to start has ended: a press released
// before the manager took the pointer (a tap) would otherwise leave the window following
// the pointer with no button held.
void endSystemMove(QWidget &window);

} // namespace nookary::WindowSystem
