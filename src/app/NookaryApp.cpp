// SPDX-License-Identifier: GPL-3.0-or-later
#include "NookaryApp.h"

#include "app/AppDelegate.h"
#include "app/AppIdentity.h"
#include "app/InstanceChannel.h"
#include "platform/PlatformServices.h"
#include "ui/KeyNames.h"

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

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int NookaryApp::runInstance(int argc, char **argv, bool launchedFromLoginItem)
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
    setApplicationIdentity();
    QApplication::setQuitOnLastWindowClosed(false);
    KeyNames::install();
    // Ties our windows to the menu entry, for its icon and name in task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.dorwen.Nookary"));
    // Session restore would start Nookary without the login marker and with whatever Qt
    // thinks its options were; the autostart entry is the one way back in at login.
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app,
        [](QSessionManager &manager) { manager.setRestartHint(QSessionManager::RestartNever); });

    // Only one Nookary per user: a second start asks the first to re-open and leaves. A
    // start at login asks nothing, so that logging in never opens the panel.
    if (InstanceChannel::isRunning()) {
        if (!launchedFromLoginItem)
            InstanceChannel::send(InstanceChannel::Request::reopen);
        return 0;
    }

    AppDelegate delegate(createPlatformServices(), launchedFromLoginItem);
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

} // namespace nookary
