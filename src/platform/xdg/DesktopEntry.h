// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace nookary {

// The [Desktop Entry] group of a freedesktop.org desktop entry file, as menus and autostart
// read it, and the quoting rules of its Exec key. Qt Core only: the login launcher uses it
// too.
class DesktopEntry final {
public:
    // Nothing when the text is not a desktop entry: no [Desktop Entry] as the first group,
    // or a line that is neither a comment, a group header nor a key=value pair.
    static std::optional<DesktopEntry> parse(const QByteArray &contents);
    static std::optional<DesktopEntry> read(const QString &path);

    bool contains(const QString &key) const { return m_values.contains(key); }
    // The raw value, escapes still in place.
    QString rawValue(const QString &key) const { return m_values.value(key); }
    // A string value with its escapes (\s \n \t \r \\) resolved.
    QString string(const QString &key) const { return unescapeString(rawValue(key)); }
    // True only for the literal "true" (and the legacy "1").
    bool boolean(const QString &key, bool fallback) const;

    // The program and arguments of the Exec key, with quoting undone and every field code
    // (%f, %U, %i, ...) dropped; empty when the value is malformed.
    QStringList execArguments() const { return splitExec(string(QStringLiteral("Exec"))); }

    static QString escapeString(const QString &value);
    static QString unescapeString(const QString &value);
    // One argument quoted for an Exec value (before string escaping): always in double
    // quotes, with " ` $ \ escaped and % written as %%.
    static QString quoteExecArgument(const QString &argument);
    static QStringList splitExec(const QString &command);

private:
    QHash<QString, QString> m_values;
};

} // namespace nookary
