// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>

class QWidget;

// What screen readers see of our own widgets, through Qt's accessibility interfaces: the
// panel's rows as list items, the painted controls (the shortcut field, the segmented
// controls, the practice segments, the badge) with their roles, values and states, and the
// events that tell a reader where the keyboard is when it is not where Qt's focus is.
namespace nookary::Accessibility {

// Installs the interfaces with Qt; later calls do nothing. Every widget that has one calls
// this before it can be seen, so the interfaces are there before a reader asks. It must run
// after the QApplication exists, so that ours are asked before Qt's own.
void install();

// Gives a widget an accessible role, in place of what its class would give: for a plain
// QWidget, or to take away what a Qt class offers that does not apply. A `List` lists its
// shown children in layout order.
void setRole(QWidget *widget, QAccessible::Role role);

// The control whose keyboard focus the selected panel row stands for (the search field):
// rows report themselves focused only while it has the focus.
void setKeyboardHome(QWidget *control);

// Lists a popup window among the application's windows, which Qt leaves popups out of, so
// that a reader can explore it while it is open.
void keepPopupInTree(QWidget *popup);

// Names and describes `widget` for readers with `text` as plain text: without the marks
// that steer how a mirrored window draws it, which a braille display or a search by name
// would meet.
void setName(QWidget *widget, const QString &text);
void setDescription(QWidget *widget, const QString &text);

// Tells readers again of a notification already in sight whose words changed.
void announceNotification(QWidget *notification);

// Tells assistive technology that `widget` now stands for the keyboard focus, as the
// selected row does while typing goes to the search field. Does nothing while no reader
// listens.
void announceFocus(QWidget *widget);
// The same for one part of `widget` (a segment of a segmented control).
void announceFocus(QWidget *widget, int child);

// Tells that a state of `widget` changed (selected, checked, ...).
void announceState(QWidget *widget, QAccessible::State changed);

} // namespace nookary::Accessibility
