// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowMenu.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>

namespace nookary {

namespace {

// The key is shown, and told to readers, as the item's shortcut, but bound to the menu
// itself, which never takes the focus: the panel's key map does what it says, and the
// menu's own keys (Return on the highlighted item) stay the menu's.
void add(QMenu *menu, const char *text, const QKeySequence &key,
    const std::function<void()> &action, bool enabled = true)
{
    if (!action)
        return;
    QAction *item = menu->addAction(QCoreApplication::translate("RowMenu", text));
    item->setShortcut(key);
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setEnabled(enabled);
    QObject::connect(item, &QAction::triggered, menu, [action] { action(); });
}

} // namespace

QMenu *RowMenu::popUp(QPoint global, bool byKeyboard, QWidget *parent) const
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    add(menu, QT_TRANSLATE_NOOP("RowMenu", "Copy"), QKeySequence(Qt::Key_Return), copy);
    add(menu, QT_TRANSLATE_NOOP("RowMenu", "Save to Saved"), QKeySequence(Qt::CTRL | Qt::Key_S),
        save, canSave);
    add(menu, QT_TRANSLATE_NOOP("RowMenu", "Edit"), QKeySequence(Qt::Key_F2), edit);
    add(menu, QT_TRANSLATE_NOOP("RowMenu", "Delete"), QKeySequence(Qt::Key_Delete), remove);
    if (moveUp || moveDown)
        menu->addSeparator();
    add(menu, QT_TRANSLATE_NOOP("RowMenu", "Move Up"), QKeySequence(Qt::ALT | Qt::Key_Up), moveUp,
        canMoveUp);
    add(menu, QT_TRANSLATE_NOOP("RowMenu", "Move Down"), QKeySequence(Qt::ALT | Qt::Key_Down),
        moveDown, canMoveDown);
    // Opened from the keyboard, the first item is highlighted, as Down would do first.
    menu->popup(global);
    if (byKeyboard && !menu->actions().isEmpty())
        menu->setActiveAction(menu->actions().first());
    return menu;
}

} // namespace nookary
