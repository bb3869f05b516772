// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "app/InstanceName.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <utility>

namespace nookary {

namespace {

using Action = CommandLine::Action;

constexpr std::array<std::pair<const char16_t *, Action>, 11> kOptions { {
    { u"--toggle", Action::toggle },
    { u"--show", Action::show },
    { u"--hide", Action::hide },
    { u"--history", Action::history },
    { u"--saved", Action::saved },
    { u"--export-saved", Action::exportSaved },
    { u"--import-saved", Action::importSaved },
    { u"--help", Action::help },
    { u"-h", Action::help },
    { u"--version", Action::version },
    { u"-v", Action::version },
} };

// The options QGuiApplication, QApplication and the xcb platform take out of argv, with one
// dash or two; the first group takes the next argument as its value.
constexpr std::array<const char16_t *, 16> kQtOptionsWithValue { u"platform", u"platformpluginpath",
    u"platformtheme", u"plugin", u"qwindowgeometry", u"qwindowicon", u"qwindowtitle", u"geometry",
    u"icon", u"title", u"session", u"style", u"stylesheet", u"display", u"name", u"visual" };
constexpr std::array<const char16_t *, 4> kQtFlags { u"reverse", u"widgetcount", u"nograb",
    u"dograb" };

// The name of a Qt option without its dashes, or nothing for an argument that is none.
QStringView qtOptionName(QStringView argument)
{
    if (!argument.startsWith(u'-'))
        return {};
    const QStringView name = argument.sliced(argument.startsWith(u"--") ? 2 : 1);
    auto named = [name](const char16_t *option) { return name == QStringView(option); };
    if (std::any_of(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), named)
        || std::any_of(kQtFlags.begin(), kQtFlags.end(), named))
        return name;
    // Qt reads these two also as -style=NAME and -stylesheet=FILE.
    if (name.startsWith(u"style=") || name.startsWith(u"stylesheet="))
        return name;
    return {};
}

bool takesValue(QStringView qtOption)
{
    return std::any_of(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(),
        [qtOption](const char16_t *option) { return qtOption == QStringView(option); });
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine result;
    result.instanceName
        = InstanceName::forSession(QProcessEnvironment::systemEnvironment(), arguments);
    auto fail = [&result](const QString &message) {
        result.action = Action::invalid;
        result.error = message;
        return result;
    };
    bool actionGiven = false;
    bool fileGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == loginItemMarker) {
            result.launchedFromLoginItem = true;
            continue;
        }
        if (const QStringView qtOption = qtOptionName(argument); !qtOption.isEmpty()) {
            result.qtArguments.append(argument);
            if (takesValue(qtOption)) {
                if (++i == arguments.size())
                    return fail(QStringLiteral("option '%1' needs a value").arg(argument));
                result.qtArguments.append(arguments.at(i));
            }
            continue;
        }
        if (argument == u"--lines") {
            result.lines = true;
            continue;
        }
        // A file name, for the options that take one; "-" is standard input or output.
        if ((!argument.startsWith(u'-') || argument == u"-") && !fileGiven) {
            result.file = argument;
            fileGiven = true;
            continue;
        }
        const auto option = std::find_if(kOptions.begin(), kOptions.end(),
            [&](const auto &o) { return argument == QStringView(o.first); });
        if (option == kOptions.end()) {
            return fail(argument.startsWith(u'-')
                    ? QStringLiteral("unknown option '%1'").arg(argument)
                    : QStringLiteral("unexpected argument '%1'").arg(argument));
        }
        if (actionGiven && result.action != option->second)
            return fail(
                QStringLiteral("'%1' cannot be combined with another option").arg(argument));
        result.action = option->second;
        actionGiven = true;
    }
    const bool takesFile
        = result.action == Action::exportSaved || result.action == Action::importSaved;
    if (result.lines && result.action != Action::importSaved)
        return fail(QCoreApplication::translate("CommandLine", "'%1' goes with '%2'")
                        .arg(QStringLiteral("--lines"), QStringLiteral("--import-saved")));
    if (fileGiven && !takesFile)
        return fail(QStringLiteral("unexpected argument '%1'").arg(result.file));
    if (result.action == Action::importSaved && !fileGiven)
        return fail(QCoreApplication::translate("CommandLine", "'%1' needs the FILE to import")
                        .arg(QStringLiteral("--import-saved")));
    return result;
}

QString CommandLine::qtOption(QStringView name) const
{
    QString value;
    for (qsizetype i = 0; i < qtArguments.size(); ++i) {
        const QStringView option = qtOptionName(qtArguments.at(i));
        if (!takesValue(option))
            continue;
        if (option == name && i + 1 < qtArguments.size())
            value = qtArguments.at(i + 1); // the last one given counts, as for Qt
        ++i;
    }
    return value;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: Nookary [option]\n"
        "\n"
        "Keeps a clipboard history and saved snippets at hand from the tray.\n"
        "Started without an option, it runs, or asks the running Nookary to open its panel.\n"
        "\n"
        "Options:\n"
        "  --toggle     open the panel of the running Nookary, or close it if open\n"
        "  --show       open the panel of the running Nookary\n"
        "  --hide       close the panel of the running Nookary\n"
        "  --history    print the running Nookary's clipboard history, newest first,\n"
        "               one JSON object with \"id\" and \"text\" per line\n"
        "  --saved      print the running Nookary's saved snippets the same way\n"
        "  --export-saved [FILE]\n"
        "               write the saved snippets to FILE (standard output without it)\n"
        "               as a JSON array of objects with \"text\", to keep or to move\n"
        "               to another machine; works whether or not Nookary runs\n"
        "  --import-saved [--lines] FILE\n"
        "               add the snippets of FILE, an export (or, with --lines, plain\n"
        "               text with one snippet per line), after the saved ones; those\n"
        "               already saved are skipped, and the list stops at 25\n"
        "  --launched-from-login-item\n"
        "               start quietly, as at login (used by the login launcher)\n"
        "  -h, --help   print this help\n"
        "  -v, --version\n"
        "               print the version\n"
        "\n"
        "Qt's standard options (-platform, -display, -style, -reverse, -session, ...)\n"
        "are passed on to Qt.\n");
}

} // namespace nookary
