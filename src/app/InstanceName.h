// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace nookary {

// One Nookary runs per user and display: the clipboard, the tray and the shortcut belong to a
// display. This names the display Nookary's windows use, as Qt will pick it, before any
// connection to it is made: the platform (`-platform`, else QT_QPA_PLATFORM, else Wayland
// where the session is a Wayland one Qt 6.4 uses, else X11), then that platform's display
// (`-display` or DISPLAY without its screen number, so ":0" and ":0.0" are one; or
// WAYLAND_DISPLAY). The program, its command lines and the login launcher all ask this, so
// they meet on the same socket. A short name, safe in a file name; empty arguments are the
// launcher's.
namespace InstanceName {

QString forSession(const QProcessEnvironment &environment, const QStringList &arguments = {});

} // namespace InstanceName

} // namespace nookary
