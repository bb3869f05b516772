// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortcutGuide.h"

#include "ui/preferences/SegmentedControl.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace nookary {

ShortcutGuide::Desktop ShortcutGuide::desktopOf(const QString &xdgCurrentDesktop)
{
    for (const QString &name : xdgCurrentDesktop.split(u':', Qt::SkipEmptyParts)) {
        if (name.compare(QLatin1String("KDE"), Qt::CaseInsensitive) == 0)
            return Desktop::kde;
        if (name.compare(QLatin1String("sway"), Qt::CaseInsensitive) == 0)
            return Desktop::sway;
        if (name.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0)
            return Desktop::gnome;
    }
    return Desktop::gnome;
}

QString ShortcutGuide::commandsFor(Desktop desktop)
{
    switch (desktop) {
    case Desktop::gnome:
        // GNOME keeps the custom shortcuts as a list of paths: setting it to Nookary's alone
        // would erase the user's others, so Nookary's path is appended, once. gsettings
        // prints an empty list as "@as []".
        return QStringLiteral(
            "k=org.gnome.settings-daemon.plugins.media-keys\n"
            "p=/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/nookary/\n"
            "l=$(gsettings get $k custom-keybindings)\n"
            "case \"$l\" in *\"'$p'\"*) ;; *\"['\"*) gsettings set $k custom-keybindings "
            "\"${l%]}, '$p']\" ;; *) gsettings set $k custom-keybindings \"['$p']\" ;; esac\n"
            "gsettings set $k.custom-keybinding:$p name 'Nookary'\n"
            "gsettings set $k.custom-keybinding:$p command 'Nookary --toggle'\n"
            "gsettings set $k.custom-keybinding:$p binding '<Super><Shift>v'\n");
    case Desktop::kde:
        return QStringLiteral("Nookary --toggle\n");
    case Desktop::sway:
        return QStringLiteral("bindsym $mod+Shift+v exec Nookary --toggle\n");
    }
    return {};
}

QString ShortcutGuide::stepsFor(Desktop desktop) const
{
    switch (desktop) {
    case Desktop::gnome:
        return tr("Run these lines in a terminal: they add Super+Shift+V to your custom "
                  "shortcuts and keep the others.");
    case Desktop::kde:
        return tr("In System Settings, Shortcuts, choose Add New, Command or Script, enter "
                  "this command and record a key:");
    case Desktop::sway:
        return tr("Add this line to ~/.config/sway/config, then reload sway (Super+Shift+C):");
    }
    return {};
}

ShortcutGuide::ShortcutGuide(QWidget *parent)
    : ShortcutGuide(desktopOf(qEnvironmentVariable("XDG_CURRENT_DESKTOP")), parent)
{
}

ShortcutGuide::ShortcutGuide(Desktop shown, QWidget *parent)
    : QWidget(parent)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);
    m_chooser = new SegmentedControl({ tr("GNOME"), tr("KDE Plasma"), tr("sway") }, this);
    m_chooser->setAccessibleName(tr("Desktop"));
    m_steps = new QLabel(this);
    m_steps->setWordWrap(true);
    m_steps->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_commands = new QPlainTextEdit(this);
    m_commands->setReadOnly(true);
    m_commands->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_commands->setAccessibleName(tr("Commands to type"));
    m_commands->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    stack->addWidget(m_chooser, 0, Qt::AlignLeft);
    stack->addWidget(m_steps);
    stack->addWidget(m_commands);
    // As tall as the longest desktop's lines, whichever is shown, so that the window holding
    // it need not change its size and nothing hides behind a scroll bar but long lines' ends.
    int lines = 0;
    for (const Desktop desktop : { Desktop::gnome, Desktop::kde, Desktop::sway })
        lines = std::max(lines, int(commandsFor(desktop).count(u'\n')));
    const QFontMetrics metrics(m_commands->font());
    m_commands->setFixedHeight(metrics.lineSpacing() * lines + 2 * m_commands->frameWidth()
        + int(m_commands->document()->documentMargin() * 2)
        + m_commands->horizontalScrollBar()->sizeHint().height() + 4);
    connect(m_chooser, &SegmentedControl::activated, this,
        [this](int index) { showDesktop(Desktop(index)); });
    showDesktop(shown);
}

void ShortcutGuide::showDesktop(Desktop desktop)
{
    m_shown = desktop;
    m_chooser->setCurrentIndex(int(desktop));
    m_steps->setText(stepsFor(desktop));
    m_commands->setPlainText(commandsFor(desktop));
}

} // namespace nookary
