// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace nookary::TrayIcon {

// The picture for the tray: our "Menubaricon", or the paperclip symbol, as a light glyph
// with a dark rim, so that it reads on light and dark panels alike.
QIcon make();

} // namespace nookary::TrayIcon
