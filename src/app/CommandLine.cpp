// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "app/InstanceName.h"

#include <array>
#include <utility>

namespace nookary {

namespace {

using Action = CommandLine::Action;

constexpr std::array<std::pair<const char16_t *, Action>, 9> kOptions { {
    { u"--toggle", Action::toggle },
    { u"--show", Action::show },
    { u"--hide", Action::hide },
    { u"--history", Action::history },
    { u"--saved", Action::saved },
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
    for (const QString &argument : arguments) {
        if (argument == loginItemMarker) {
            result.launchedFromLoginItem = true;
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
        "  --launched-from-login-item\n"
        "               start quietly, as at login (used by the login launcher)\n"
        "  -h, --help   print this help\n"
        "  -v, --version\n"
        "               print the version\n");
}

} // namespace nookary
