#include "NookaryApp.h"

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "platform/PlatformServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>

#include <csignal>
#include <cstdio>

namespace nookary {

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("dorwen"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("dorwen.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Nookary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NOOKARY_VERSION));
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
    setIdentity();
    const std::optional<QByteArray> reply = InstanceChannel::send(request);
    if (!reply) {
        print(stderr, QStringLiteral("Nookary is not running. Start it with: Nookary\n"));
        return 1;
    }
    if (request == InstanceChannel::Request::history || request == InstanceChannel::Request::saved)
        std::fwrite(reply->constData(), 1, size_t(reply->size()), stdout);
    return 0;
}

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

int runInstance(int argc, char **argv, const CommandLine &commandLine)
{
    if (!hasDisplay()) {
        print(stderr,
            QStringLiteral("Nookary needs a desktop session: neither DISPLAY nor "
                           "WAYLAND_DISPLAY is set.\n"));
        return 1;
    }
    // Whoever started us may stop reading our output (the login launcher's caller, a closed
    // terminal): a warning written then must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    setIdentity();
    QApplication::setQuitOnLastWindowClosed(false);
    // Ties our windows to the menu entry, for its icon and name in task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.dorwen.Nookary"));
    // Session restore would start Nookary without the login marker and with whatever Qt
    // thinks its options were; the autostart entry is the one way back in at login.
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app,
        [](QSessionManager &manager) { manager.setRestartHint(QSessionManager::RestartNever); });

    // Only one Nookary per user: a second start asks the first to re-open and leaves. A
    // start at login asks nothing, so that logging in never opens the panel.
    if (InstanceChannel::isRunning()) {
        if (!commandLine.launchedFromLoginItem)
            InstanceChannel::send(InstanceChannel::Request::reopen);
        return 0;
    }

    AppDelegate delegate(createPlatformServices(), commandLine.launchedFromLoginItem);
    InstanceServer server([&delegate](InstanceChannel::Request request) {
        return delegate.handleInstanceRequest(request);
    });
    if (!server.listen()) {
        if (InstanceChannel::isRunning())
            return 0; // another instance started at the same moment and won
        print(stderr,
            QStringLiteral("Nookary: cannot listen on %1 (%2); other command lines "
                           "will not reach this instance.\n")
                .arg(InstanceChannel::socketPath(), server.errorString()));
    }
    delegate.applicationDidFinishLaunching();
    return app.exec();
}

} // namespace

int NookaryApp::run(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = CommandLine::parse(arguments);

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
        return runInstance(argc, argv, commandLine);
    default:
        return runRemote(argc, argv, *remoteRequest(commandLine.action));
    }
}

} // namespace nookary
