// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortcutGuide.h"

#include "ui/preferences/SegmentedControl.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScrollBar>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace nookary {

ShortcutGuide::Desktop ShortcutGuide::desktopOf(const QProcessEnvironment &environment)
{
    const QString named = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    for (const QString &name : named.split(u':', Qt::SkipEmptyParts)) {
        if (name.compare(QLatin1String("KDE"), Qt::CaseInsensitive) == 0)
            return Desktop::kde;
        if (name.compare(QLatin1String("sway"), Qt::CaseInsensitive) == 0)
            return Desktop::sway;
        if (name.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0)
            return Desktop::gnome;
    }
    if (!environment.value(QStringLiteral("SWAYSOCK")).isEmpty()
        || !environment.value(QStringLiteral("I3SOCK")).isEmpty())
        return Desktop::sway;
    return Desktop::gnome;
}

QString ShortcutGuide::commandsFor(Desktop desktop)
{
    switch (desktop) {
    case Desktop::gnome:
        // GNOME keeps the custom shortcuts as a list of paths: setting it to Nookary's alone
        // would erase the user's others, so Nookary's path is appended, once. gsettings
        // prints an empty list as "@as []". Short lines, so that they show whole.
        return QStringLiteral(
            "k=org.gnome.settings-daemon.plugins.media-keys\n"
            "d=/org/gnome/settings-daemon/plugins/media-keys\n"
            "p=$d/custom-keybindings/nookary/\n"
            "l=$(gsettings get $k custom-keybindings)\n"
            "case \"$l\" in\n"
            "  *\"'$p'\"*) ;;\n"
            "  *\"['\"*) gsettings set $k custom-keybindings \"${l%]}, '$p']\" ;;\n"
            "  *) gsettings set $k custom-keybindings \"['$p']\" ;;\n"
            "esac\n"
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
    : ShortcutGuide(desktopOf(QProcessEnvironment::systemEnvironment()), parent)
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
    m_copy = new QPushButton(this);
    m_copy->setAutoDefault(false);
    m_copy->setAccessibleDescription(tr("Puts the commands on the clipboard"));
    // As wide with either text, so that the row does not shift after a click.
    int copyWidth = 0;
    for (const QString &text : { tr("Copied"), tr("Copy") }) {
        m_copy->setText(text);
        copyWidth = std::max(copyWidth, m_copy->sizeHint().width());
    }
    m_copy->setMinimumWidth(copyWidth);
    m_copyDone.setSingleShot(true);
    m_copyDone.setInterval(std::chrono::seconds(2));
    connect(&m_copyDone, &QTimer::timeout, m_copy, [this] { m_copy->setText(tr("Copy")); });
    connect(m_copy, &QPushButton::clicked, this, [this] {
        Q_EMIT copyRequested(commandsFor(m_shown));
        m_copy->setText(tr("Copied"));
        m_copyDone.start();
    });
    m_steps = new QLabel(this);
    m_steps->setWordWrap(true);
    m_steps->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_commands = new QPlainTextEdit(this);
    m_commands->setReadOnly(true);
    m_commands->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_commands->setAccessibleName(tr("Commands to type"));
    m_commands->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *chooserRow = new QHBoxLayout;
    chooserRow->addWidget(m_chooser, 0, Qt::AlignVCenter);
    chooserRow->addStretch(1);
    chooserRow->addWidget(m_copy, 0, Qt::AlignVCenter);
    stack->addLayout(chooserRow);
    stack->addWidget(m_steps);
    stack->addWidget(m_commands);
    // As tall as the longest desktop's lines, whichever is shown, so that the window holding
    // it need not change its size; room is kept for a horizontal scroll bar, which a window
    // too narrow for the longest line needs.
    int lines = 0;
    for (const Desktop desktop : { Desktop::gnome, Desktop::kde, Desktop::sway })
        lines = std::max(lines, int(commandsFor(desktop).count(u'\n')));
    // A line's height as the box lays it out, which a font's rounded line spacing may fall
    // short of.
    QTextLayout layout(QStringLiteral("x"), m_commands->font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(1);
    const qreal lineHeight = line.height();
    layout.endLayout();
    m_commands->setFixedHeight(int(std::ceil(lineHeight * lines)) + commandsFrame()
        + m_commands->horizontalScrollBar()->sizeHint().height() + 4);
    // Every line fits: a vertical bar would only take width from them, and could hold the
    // box in a state where each bar makes the other needed.
    m_commands->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_chooser, &SegmentedControl::activated, this,
        [this](int index) { showDesktop(Desktop(index)); });
    showDesktop(shown);
}

void ShortcutGuide::showDesktop(Desktop desktop)
{
    m_shown = desktop;
    m_chooser->setCurrentIndex(int(desktop));
    m_steps->setText(stepsFor(desktop));
    // Without the last line's end, which would make an empty line below, and with it a
    // scroll bar; "Copy" keeps it, so that the last line runs when pasted.
    QString commands = commandsFor(desktop);
    if (commands.endsWith(u'\n'))
        commands.chop(1);
    m_commands->setPlainText(commands);
    m_copyDone.stop();
    m_copy->setText(tr("Copy"));
}

int ShortcutGuide::commandsFrame() const
{
    return 2 * m_commands->frameWidth() + int(m_commands->document()->documentMargin() * 2);
}

QSize ShortcutGuide::sizeHint() const
{
    const QFontMetrics metrics(m_commands->font());
    int widest = 0;
    for (const Desktop desktop : { Desktop::gnome, Desktop::kde, Desktop::sway }) {
        for (const QString &line : commandsFor(desktop).split(u'\n'))
            widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    // The cursor's width after the last character, which a read-only view keeps room for.
    const QSize usual = QWidget::sizeHint();
    return { std::max(usual.width(), widest + commandsFrame() + 4), usual.height() };
}

} // namespace nookary
