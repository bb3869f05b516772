// SPDX-License-Identifier: GPL-3.0-or-later
#include "PasteKeys.h"

#include <QRegularExpression>

namespace nookary {

const QStringList &PasteKeys::builtInTerminalClasses()
{
    static const QStringList classes {
        QStringLiteral("xterm"),
        QStringLiteral("uxterm"),
        QStringLiteral("URxvt"),
        QStringLiteral("rxvt"),
        QStringLiteral("Eterm"),
        QStringLiteral("aterm"),
        QStringLiteral("gnome-terminal-server"),
        QStringLiteral("gnome-terminal"),
        QStringLiteral("org.gnome.Terminal"),
        QStringLiteral("kgx"),
        QStringLiteral("org.gnome.Console"),
        QStringLiteral("org.gnome.Ptyxis"),
        QStringLiteral("konsole"),
        QStringLiteral("org.kde.konsole"),
        QStringLiteral("yakuake"),
        QStringLiteral("xfce4-terminal"),
        QStringLiteral("mate-terminal"),
        QStringLiteral("lxterminal"),
        QStringLiteral("qterminal"),
        QStringLiteral("terminology"),
        QStringLiteral("kitty"),
        QStringLiteral("Alacritty"),
        QStringLiteral("foot"),
        QStringLiteral("footclient"),
        QStringLiteral("tilix"),
        QStringLiteral("com.gexperts.Tilix"),
        QStringLiteral("terminator"),
        QStringLiteral("guake"),
        QStringLiteral("tilda"),
        QStringLiteral("sakura"),
        QStringLiteral("cool-retro-term"),
        QStringLiteral("wezterm"),
        QStringLiteral("org.wezfurlong.wezterm"),
        QStringLiteral("st"),
        QStringLiteral("st-256color"),
    };
    return classes;
}

PasteService::Keys PasteKeys::forWindowClass(
    const QStringList &windowClass, const QStringList &extraTerminalClasses)
{
    for (const QString &name : windowClass) {
        if (name.isEmpty())
            continue;
        if (builtInTerminalClasses().contains(name, Qt::CaseInsensitive)
            || extraTerminalClasses.contains(name, Qt::CaseInsensitive))
            return PasteService::Keys::ctrlShiftV;
    }
    return PasteService::Keys::ctrlV;
}

QStringList PasteKeys::parseClassList(QStringView text)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    return text.toString().split(separators, Qt::SkipEmptyParts);
}

} // namespace nookary
