// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class QWidget;

namespace nookary {

// What the desktop is asked about the program's own windows. The platform factory installs
// the session's realisation once; until then, and where none fits the session, nothing is
// asked (this base class). Main thread only.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Takes the place of the realisation in use.
    static void install(std::unique_ptr<WindowSystem> system);

    // Asks the desktop to leave this top-level window out of task bars and pagers. Call it
    // each time before the window is shown.
    static void keepOutOfTaskbar(QWidget &window);
    // The same for a window shown by code that does not subclass it (a message box): asks
    // again each time it is about to be shown.
    static void keepOutOfTaskbarWhenShown(QWidget &window);
    // Tells the window manager that a move it was asked to start has ended: a press released
    // before the manager took the pointer (a tap) would otherwise leave the window following
    // the pointer with no button held.
    static void endSystemMove(QWidget &window);

protected:
    virtual void excludeFromTaskbar(QWidget &) { }
    virtual void cancelSystemMove(QWidget &) { }
};

} // namespace nookary
