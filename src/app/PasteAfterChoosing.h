// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

namespace nookary {

class AppModel;
class FocusHandBack;
class Pasteboard;
class PasteService;

// The setting "Paste after choosing": an entry copied back from the panel is also pasted
// into the window focus goes back to, with the keys its class pastes with. Not from the
// pinned window, which keeps focus; an opening of the panel drops a paste still waiting, and
// so does another program's copy, which the keys would paste instead.
class PasteAfterChoosing final : public QObject {
    Q_OBJECT

public:
    // `ownWindowHasFocus` tells whether one of the program's windows has the keyboard.
    PasteAfterChoosing(AppModel &model, Pasteboard &pasteboard, PasteService &service,
        FocusHandBack &focus, std::function<bool()> ownWindowHasFocus, QObject *parent = nullptr);

    // An entry was copied back (written to `pasteboard`); the panel is about to close
    // (unless pinned).
    void entryCopied();

private:
    AppModel &m_model;
    Pasteboard &m_pasteboard;
    PasteService &m_service;
    FocusHandBack &m_focus;
    std::function<bool()> m_ownWindowHasFocus;
};

} // namespace nookary
