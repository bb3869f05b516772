// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PasteService.h"

#include <QStringList>
#include <QStringView>

namespace nookary::PasteKeys {

// A terminal and the key that pastes the clipboard there in its default configuration (in
// a terminal, Ctrl+V makes the shell take the next key literally). `Keys::none` for one that
// has no such key (xterm): the entry stays on the clipboard for the user.
struct Terminal {
    const char *windowClass;
    PasteService::Keys keys;
};

// Compared without regard to case with each of a window's class names.
const QList<Terminal> &builtInTerminals();

// The paste keys for a window with these class names (WM_CLASS instance and class, or a
// Wayland app id), given the terminals the user added in the settings file (which paste
// with Ctrl+Shift+V).
PasteService::Keys forWindowClass(
    const QStringList &windowClass, const QStringList &extraTerminalClasses);

// The class names of a settings value: separated by commas, semicolons or white space.
QStringList parseClassList(QStringView text);

} // namespace nookary::PasteKeys
