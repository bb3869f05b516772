// SPDX-License-Identifier: GPL-3.0-or-later
#include "NookaryApp.h"

#include "app/AppDelegate.h"
#include "app/AppIdentity.h"
#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "app/InstanceName.h"
#include "app/Translations.h"
#include "model/SettingsKeys.h"
#include "platform/PlatformServices.h"
#include "ui/KeyNames.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcStart, "nookary.instance")

namespace nookary {

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// A command line holds the lock only while it writes the settings file.
constexpr int kStartLockWaitMs = 10000;

int g_quitSignalPipe[2] = { -1, -1 };

void requestQuit(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_quitSignalPipe[1], &byte, 1);
}

// The session ends us with SIGTERM (at logout, `kill`), a terminal with SIGINT or SIGHUP:
// each quits as the tray menu's Quit does, so that what waits to be written (a change a full
// disk refused, a reorder of this turn) is written first.
void quitOnSignals(QCoreApplication &app)
{
    if (::pipe2(g_quitSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_quitSignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte = 0;
        while (::read(g_quitSignalPipe[0], &byte, 1) > 0) { }
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction action { };
    action.sa_handler = requestQuit;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signal, &action, nullptr);
}

QStringList settingsKeyPrefixes()
{
    QStringList prefixes;
    for (const char *prefix : SettingsKeys::keyPrefixes)
        prefixes.append(QString::fromLatin1(prefix));
    return prefixes;
}

bool hasDisplay(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;
    // Or Qt's own options name one.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = CommandLine::parse(arguments);
    return !commandLine.qtOption(u"platform").isNull()
        || !commandLine.qtOption(u"display").isNull();
}

} // namespace

int NookaryApp::runInstance(int argc, char **argv, bool launchedFromLoginItem)
{
    if (!hasDisplay(argc, argv)) {
        QCoreApplication core(argc, argv);
        Translations::install();
        print(stderr,
            QCoreApplication::translate("nookary::CommandLine",
                "Nookary needs a desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"));
        return 1;
    }
    // Named from the options before QApplication takes its own (-display, -platform) away.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    InstanceChannel::useInstanceName(
        InstanceName::forSession(QProcessEnvironment::systemEnvironment(), arguments));
    // Whoever started us may stop reading our output (the login launcher's caller, a closed
    // terminal): a warning written then must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    setApplicationIdentity();
    // Qt mirrors the widgets only under a translation that says so; a right-to-left language
    // mirrors them whether or not Nookary has a translation for it.
    if (Translations::install(Translations::Output::windows).textDirection() == Qt::RightToLeft)
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    QApplication::setQuitOnLastWindowClosed(false);
    KeyNames::install();
    // Ties our windows to the menu entry, for its icon and name in task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.dorwen.Nookary"));
    // Session restore would start Nookary without the login marker and with whatever Qt
    // thinks its options were; the autostart entry is the one way back in at login.
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app,
        [](QSessionManager &manager) { manager.setRestartHint(QSessionManager::RestartNever); });

    // A command line that finds no instance writes the settings file itself: from before we
    // read the settings until we listen, it must wait, or we would write back the list we read
    // over its import. Declared first, so that it is held until the very end after a quit.
    QLockFile startLock(InstanceChannel::startLockPath());
    startLock.setStaleLockTime(0); // held as long as its holder lives
    if (!startLock.tryLock(kStartLockWaitMs))
        qCWarning(lcStart).noquote() << "Starting without the lock" << startLock.fileName()
                                     << "(error" << startLock.error() << ")";

    // Only one Nookary per user and display: a second start asks the first to re-open and
    // leaves. A start at login asks nothing, so that logging in never opens the panel.
    if (InstanceChannel::isRunning()) {
        if (!launchedFromLoginItem)
            InstanceChannel::send(InstanceChannel::Request::reopen);
        return 0;
    }

    AppDelegate delegate(createPlatformServices(settingsKeyPrefixes()), launchedFromLoginItem);
    quitOnSignals(app);
    InstanceServer server(
        [&delegate](InstanceChannel::Request request, const QByteArray &argument) {
            return delegate.handleInstanceRequest(request, argument);
        });
    if (!server.listen()) {
        if (InstanceChannel::isRunning())
            return 0; // another instance started at the same moment and won
        print(stderr,
            QCoreApplication::translate("nookary::CommandLine",
                "Nookary: cannot listen on %1 (%2); other command lines will not reach this "
                "instance.\n")
                .arg(InstanceChannel::socketPath(), server.errorString()));
    }
    startLock.unlock();
    delegate.start();
    const int status = app.exec();
    // What is written as the program ends (a draft saved on closing) must not cross a command
    // line's import either: held from before we stop listening until we are gone.
    if (!startLock.tryLock(kStartLockWaitMs))
        qCWarning(lcStart).noquote() << "Quitting without the lock" << startLock.fileName();
    return status;
}

} // namespace nookary
