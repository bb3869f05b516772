// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace nookary {

// What a panel asks of the shell that shows it: its rows and buttons and its keyboard map
// alike. The shell decides what follows a choice (close, or keep a pinned window), so that
// every way of choosing ends the same.
class PanelActions {
public:
    virtual ~PanelActions() = default;

    virtual bool isPanelShown() const = 0;
    // Copies a chosen entry back (the program's own write), then closes the panel, or, in a
    // pinned window, gives the search field the keys again. An empty text does nothing.
    virtual void choose(const QString &text) = 0;
    virtual void openPreferences() = 0;
    virtual void closePanel() = 0;
    // Gives the shown panel's search field the keys.
    virtual void focusSearch() = 0;
    // Ends the snippet editor's focus on the next turn, so that it commits.
    virtual void endEditingOnNextTurn() = 0;
    // A refused action: beeps and tells why, in words a screen reader speaks too.
    virtual void refuse(const QString &why) = 0;
    // Opens the context menu of the selected row, at the row.
    virtual void openContextMenu() = 0;
};

} // namespace nookary
