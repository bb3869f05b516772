// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProcessEnvironment;
class QPushButton;

namespace nookary {

class SegmentedControl;

// How to bind `Nookary --toggle` to a key in a desktop that does not let programs set a
// global shortcut themselves: the steps for GNOME, KDE Plasma and sway, one desktop at a
// time, the session's own shown first. What is to be typed is shown as selectable text, and
// "Copy" asks for it to be put on the clipboard (`copyRequested`), which the shell does.
class ShortcutGuide final : public QWidget {
    Q_OBJECT

public:
    // Never renumber: the chooser's segments follow this order.
    enum class Desktop { gnome, kde, sway };

    // The desktop named by XDG_CURRENT_DESKTOP (a list such as "ubuntu:GNOME"); where it
    // names none of the three, sway when its socket is named (Debian's sway sets no
    // XDG_CURRENT_DESKTOP, but SWAYSOCK and I3SOCK), else GNOME, as the most common desktop
    // without the portal's shortcuts.
    static Desktop desktopOf(const QProcessEnvironment &environment);
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
    QPushButton *copyButton() const { return m_copy; }

    // Wide enough for every desktop's longest line, so that a window with room shows them
    // whole.
    QSize sizeHint() const override;

Q_SIGNALS:
    // "Copy" was clicked: `commands` (the shown desktop's) are to go on the clipboard.
    void copyRequested(const QString &commands);

private:
    QString stepsFor(Desktop desktop) const;
    // What the commands' box takes around its text: frame and margins.
    int commandsFrame() const;

    Desktop m_shown = Desktop::gnome;
    SegmentedControl *m_chooser;
    QLabel *m_steps;
    QPlainTextEdit *m_commands;
    QPushButton *m_copy;
    // Turns "Copied" back into "Copy".
    QTimer m_copyDone;
};

} // namespace nookary
