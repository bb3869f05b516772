// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace nookary {

class AppModel;
class Pasteboard;

// Copy-back: puts a text of the panel on the clipboard, as the program's own write, which the
// history does not record again. A text naming local files (file:// URLs, one a line) is
// written as those files, so that a file manager pastes the files themselves.
class ClipboardWriter final {
public:
    ClipboardWriter(AppModel &model, Pasteboard &pasteboard);

    void write(const QString &text);

private:
    AppModel &m_model;
    Pasteboard &m_pasteboard;
};

} // namespace nookary
