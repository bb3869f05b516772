// SPDX-License-Identifier: GPL-3.0-or-later
#include "PasteKeys.h"

namespace nookary {

const QList<PasteKeys::Terminal> &PasteKeys::builtInTerminals()
{
    using Keys = PasteService::Keys;
    static const QList<Terminal> terminals {
        // xterm's keys paste only the primary selection (Shift+Insert); rxvt's relatives as
        // old as it have no key for the clipboard either.
        { "xterm", Keys::none },
        { "uxterm", Keys::none },
        { "Eterm", Keys::none },
        { "aterm", Keys::none },
        { "URxvt", Keys::ctrlAltV },
        { "rxvt-unicode", Keys::ctrlAltV },
        { "gnome-terminal-server", Keys::ctrlShiftV },
        { "gnome-terminal", Keys::ctrlShiftV },
        { "org.gnome.Terminal", Keys::ctrlShiftV },
        { "kgx", Keys::ctrlShiftV },
        { "org.gnome.Console", Keys::ctrlShiftV },
        { "org.gnome.Ptyxis", Keys::ctrlShiftV },
        { "konsole", Keys::ctrlShiftV },
        { "org.kde.konsole", Keys::ctrlShiftV },
        { "yakuake", Keys::ctrlShiftV },
        { "xfce4-terminal", Keys::ctrlShiftV },
        { "mate-terminal", Keys::ctrlShiftV },
        { "lxterminal", Keys::ctrlShiftV },
        { "qterminal", Keys::ctrlShiftV },
        { "terminology", Keys::ctrlShiftV },
        { "kitty", Keys::ctrlShiftV },
        { "Alacritty", Keys::ctrlShiftV },
        { "foot", Keys::ctrlShiftV },
        { "footclient", Keys::ctrlShiftV },
        { "tilix", Keys::ctrlShiftV },
        { "com.gexperts.Tilix", Keys::ctrlShiftV },
        { "terminator", Keys::ctrlShiftV },
        { "guake", Keys::ctrlShiftV },
        { "tilda", Keys::ctrlShiftV },
        { "sakura", Keys::ctrlShiftV },
        { "cool-retro-term", Keys::ctrlShiftV },
        { "wezterm", Keys::ctrlShiftV },
        { "org.wezfurlong.wezterm", Keys::ctrlShiftV },
        { "st", Keys::ctrlShiftV },
        { "st-256color", Keys::ctrlShiftV },
    };
    return terminals;
}

PasteService::Keys PasteKeys::forWindowClass(
    const QStringList &windowClass, const QStringList &extraTerminalClasses)
{
    // The user's own list comes first: it may name a terminal they taught Ctrl+Shift+V.
    for (const QString &name : windowClass) {
        if (!name.isEmpty() && extraTerminalClasses.contains(name, Qt::CaseInsensitive))
            return PasteService::Keys::ctrlShiftV;
    }
    for (const QString &name : windowClass) {
        for (const Terminal &terminal : builtInTerminals()) {
            if (name.compare(QLatin1String(terminal.windowClass), Qt::CaseInsensitive) == 0)
                return terminal.keys;
        }
    }
    return PasteService::Keys::ctrlV;
}

QStringList PasteKeys::parseClassList(QStringView text)
{
    // Split at runs of commas, semicolons and white space; read at every start, where a
    // regular expression would cost more than the rest of the settings.
    QStringList classes;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u',' && text[i] != u';' && !text[i].isSpace())
            continue;
        if (i > from)
            classes.append(text.sliced(from, i - from).toString());
        from = i + 1;
    }
    return classes;
}

} // namespace nookary
