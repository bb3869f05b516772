// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

#include <functional>

class QMenu;
class QWidget;

namespace nookary {

// The context menu of a panel row, opened by a right click, Shift+F10 or the Menu key:
// Copy, and as they apply Save to Saved, Edit, Delete, Move Up and Move Down, each showing
// the key that does the same in the panel.
struct RowMenu {
    // An action left empty is not offered; a move is offered disabled at the list's end,
    // and saving while Saved is full.
    std::function<void()> copy;
    std::function<void()> save;
    std::function<void()> edit;
    std::function<void()> remove;
    std::function<void()> moveUp;
    std::function<void()> moveDown;
    bool canSave = true;
    bool canMoveUp = false;
    bool canMoveDown = false;

    // Builds the menu and shows it at `global`; it deletes itself once closed.
    QMenu *popUp(QPoint global, bool byKeyboard, QWidget *parent) const;
};

} // namespace nookary
