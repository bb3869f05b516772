// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppIdentity.h"
#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "app/SavedSnippetsCommand.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>

#include <cstdio>
#include <dlfcn.h>
#include <optional>

using namespace nookary;

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

std::optional<InstanceChannel::Request> remoteRequest(CommandLine::Action action)
{
    using Action = CommandLine::Action;
    using Request = InstanceChannel::Request;
    switch (action) {
    case Action::toggle:
        return Request::toggle;
    case Action::show:
        return Request::show;
    case Action::hide:
        return Request::hide;
    case Action::history:
        return Request::history;
    case Action::saved:
        return Request::saved;
    default:
        return std::nullopt;
    }
}

// Asks the running instance; no display is needed for that.
int runRemote(int argc, char **argv, InstanceChannel::Request request)
{
    QCoreApplication app(argc, argv);
    setApplicationIdentity();
    const std::optional<QByteArray> reply = InstanceChannel::send(request);
    if (!reply) {
        print(stderr,
            InstanceChannel::isRunning()
                ? QStringLiteral("Nookary is running but did not answer; try again.\n")
                : QStringLiteral("Nookary is not running. Start it with: Nookary\n"));
        return 1;
    }
    if (request == InstanceChannel::Request::history
        || request == InstanceChannel::Request::saved) {
        const QByteArray text = InstanceChannel::printable(*reply);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    }
    return 0;
}

// The module where the build put it relative to this executable, in the build tree and the
// install tree alike (bin/Nookary and lib/nookary/ by default).
QString guiModulePath()
{
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QDir::cleanPath(
        QFileInfo(executable).absolutePath() + u'/' + installLayout::guiModuleFromProgram);
}

int runInstance(int argc, char **argv, bool launchedFromLoginItem)
{
    const QByteArray path = guiModulePath().toLocal8Bit();
    void *module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    using Entry = int (*)(int, char **, bool);
    const auto entry
        = module ? reinterpret_cast<Entry>(dlsym(module, "nookary_run_instance")) : nullptr;
    if (!entry) {
        print(stderr,
            QStringLiteral("Nookary: cannot load %1 (%2); reinstall Nookary.\n")
                .arg(QString::fromLocal8Bit(path), QString::fromLocal8Bit(dlerror())));
        return 1;
    }
    return entry(argc, argv, launchedFromLoginItem);
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = CommandLine::parse(arguments);
    InstanceChannel::useInstanceName(commandLine.instanceName);

    switch (commandLine.action) {
    case CommandLine::Action::invalid:
        print(stderr,
            QStringLiteral("Nookary: %1\n\n").arg(commandLine.error) + CommandLine::usage());
        return 2;
    case CommandLine::Action::help:
        print(stdout, CommandLine::usage());
        return 0;
    case CommandLine::Action::version:
        print(stdout, QStringLiteral("Nookary " NOOKARY_VERSION "\n"));
        return 0;
    case CommandLine::Action::start:
        return runInstance(argc, argv, commandLine.launchedFromLoginItem);
    case CommandLine::Action::exportSaved:
    case CommandLine::Action::importSaved: {
        // The settings file and the model log for the program's journal; a command line says
        // what concerns its user itself. QT_LOGGING_RULES still shows them.
        QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
        QCoreApplication app(argc, argv);
        setApplicationIdentity();
        return commandLine.action == CommandLine::Action::exportSaved
            ? SavedSnippetsCommand::exportSaved(commandLine.file)
            : SavedSnippetsCommand::importSaved(commandLine.file, commandLine.lines);
    }
    default:
        return runRemote(argc, argv, *remoteRequest(commandLine.action));
    }
}
