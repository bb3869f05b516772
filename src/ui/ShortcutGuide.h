// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace nookary {

class SegmentedControl;

// How to bind `Nookary --toggle` to a key in a desktop that does not let programs set a
// global shortcut themselves: the steps for GNOME, KDE Plasma and sway, one desktop at a
// time, the session's own shown first. What is to be typed is shown as selectable text.
class ShortcutGuide final : public QWidget {
    Q_OBJECT

public:
    // Never renumber: the chooser's segments follow this order.
    enum class Desktop { gnome, kde, sway };

    // The desktop named by XDG_CURRENT_DESKTOP (a list such as "ubuntu:GNOME"); GNOME when
    // it names none of the three, as the most common desktop without the portal's shortcuts.
    static Desktop desktopOf(const QString &xdgCurrentDesktop);
    // The lines to type for `desktop` (for GNOME: shell lines that add Nookary's shortcut to
    // the custom shortcuts already there, and leave it alone when it is there already).
    static QString commandsFor(Desktop desktop);

    explicit ShortcutGuide(QWidget *parent = nullptr);
    ShortcutGuide(Desktop shown, QWidget *parent);

    Desktop shownDesktop() const { return m_shown; }
    void showDesktop(Desktop desktop);
    SegmentedControl *desktopChooser() const { return m_chooser; }
    QLabel *stepsLabel() const { return m_steps; }
    QPlainTextEdit *commandsView() const { return m_commands; }

private:
    QString stepsFor(Desktop desktop) const;

    Desktop m_shown = Desktop::gnome;
    SegmentedControl *m_chooser;
    QLabel *m_steps;
    QPlainTextEdit *m_commands;
};

} // namespace nookary
