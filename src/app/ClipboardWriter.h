// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace nookary {

class AppModel;
class Pasteboard;

// Copy-back: puts a text of the panel on the clipboard, marked as the program's own write so
// that the history does not record it again. A text naming a local file (a file:// URL) is
// written as that file, so that a file manager pastes the file itself.
class ClipboardWriter final {
public:
    ClipboardWriter(AppModel &model, Pasteboard &pasteboard);

    void write(const QString &text);

private:
    AppModel &m_model;
    Pasteboard &m_pasteboard;
};

} // namespace nookary
