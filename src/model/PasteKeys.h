// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PasteService.h"

#include <QStringList>
#include <QStringView>

namespace nookary::PasteKeys {

// Window classes of terminals, which paste with Ctrl+Shift+V: there Ctrl+V types the next
// key literally. Compared without regard to case with each of a window's class names.
const QStringList &builtInTerminalClasses();

// The paste keys for a window with these class names (WM_CLASS instance and class, or a
// Wayland app id), given the terminals the user added in the settings file.
PasteService::Keys forWindowClass(
    const QStringList &windowClass, const QStringList &extraTerminalClasses);

// The class names of a settings value: separated by commas, semicolons or white space.
QStringList parseClassList(QStringView text);

} // namespace nookary::PasteKeys
