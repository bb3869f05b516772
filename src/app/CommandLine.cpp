// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "app/InstanceName.h"

#include <QCoreApplication>

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
    for (const QString &argument : arguments) {
        if (argument == loginItemMarker) {
            result.launchedFromLoginItem = true;
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
        "               print the version\n");
}

} // namespace nookary
