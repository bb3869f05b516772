// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopEntry.h"

#include <QFile>

namespace nookary {

namespace {

const QString kGroup = QStringLiteral("Desktop Entry");

bool isBlankOrComment(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    return trimmed.isEmpty() || trimmed.startsWith(u'#');
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(const QByteArray &contents)
{
    DesktopEntry entry;
    bool seenGroup = false;
    bool inMainGroup = false;
    const QString text = QString::fromUtf8(contents);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (isBlankOrComment(line))
            continue;
        if (line.startsWith(u'[')) {
            // Session readers accept white space after a group header.
            line = line.trimmed();
            if (!line.endsWith(u']'))
                return std::nullopt;
            const QStringView name = line.sliced(1, line.size() - 2);
            if (!seenGroup && name != kGroup)
                return std::nullopt;
            seenGroup = true;
            inMainGroup = name == kGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!seenGroup || equals <= 0)
            return std::nullopt;
        const QString key = line.first(equals).trimmed().toString();
        if (key.isEmpty())
            return std::nullopt;
        // The last occurrence of a key counts, as it does for the sessions that start
        // autostart entries.
        if (inMainGroup)
            entry.m_values.insert(key, line.sliced(equals + 1).trimmed().toString());
    }
    if (!seenGroup)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(file.readAll());
}

bool DesktopEntry::boolean(const QString &key, bool fallback) const
{
    if (!contains(key))
        return fallback;
    const QString value = rawValue(key);
    if (value == QLatin1String("true") || value == QLatin1String("1"))
        return true;
    if (value == QLatin1String("false") || value == QLatin1String("0"))
        return false;
    return fallback;
}

QString DesktopEntry::escapeString(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\')
            out += QLatin1String("\\\\");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u' ' && i == 0) // a leading space would be trimmed away
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

QString DesktopEntry::unescapeString(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += u' ';
            break;
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        case '\\':
            out += u'\\';
            break;
        default: // not a string escape: left for the Exec rules
            out += u'\\';
            out += next;
        }
    }
    return out;
}

QString DesktopEntry::quoteExecArgument(const QString &argument)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        if (c == u'%')
            out += u'%';
        out += c;
    }
    out += u'"';
    return out;
}

QStringList DesktopEntry::splitExec(const QString &command)
{
    QStringList arguments;
    QString current;
    bool inArgument = false; // something literal or quoted has been seen
    bool pending = false; // a field code or a literal belongs to the current word
    bool quoted = false;
    auto finish = [&] {
        if (inArgument)
            arguments.append(current);
        current.clear();
        inArgument = pending = false;
    };
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command.at(i);
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < command.size()
                && QStringView(u"\"`$\\").contains(command.at(i + 1))) {
                current += command.at(++i);
            } else if (c == u'%' && i + 1 < command.size()) {
                const QChar code = command.at(++i);
                if (code == u'%')
                    current += code;
            } else {
                current += c;
            }
            continue;
        }
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument || pending)
                finish();
        } else if (c == u'"') {
            quoted = true;
            inArgument = true;
        } else if (c == u'%' && i + 1 < command.size()) {
            // %% is a literal percent sign; every other code expands to nothing here.
            const QChar code = command.at(++i);
            if (code == u'%') {
                current += code;
                inArgument = true;
            }
            pending = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return {};
    finish();
    return arguments;
}

} // namespace nookary
