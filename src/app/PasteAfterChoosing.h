// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

namespace nookary {

class AppModel;
class FocusHandBack;
class PasteService;

// The setting "Paste after choosing": an entry copied back from the panel is also pasted
// into the window focus goes back to, with the keys its class pastes with. Not from the
// pinned window, which keeps focus; an opening of the panel drops a paste still waiting.
class PasteAfterChoosing final : public QObject {
    Q_OBJECT

public:
    // `ownWindowHasFocus` tells whether one of the program's windows has the keyboard.
    PasteAfterChoosing(AppModel &model, PasteService &service, FocusHandBack &focus,
        std::function<bool()> ownWindowHasFocus, QObject *parent = nullptr);

    // An entry was copied back; the panel is about to close (unless pinned).
    void entryCopied();

private:
    AppModel &m_model;
    PasteService &m_service;
    FocusHandBack &m_focus;
    std::function<bool()> m_ownWindowHasFocus;
};

} // namespace nookary
