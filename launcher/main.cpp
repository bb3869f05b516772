// SPDX-License-Identifier: GPL-3.0-or-later
// NookaryLauncher: the program the session starts at login. It starts Nookary quietly
// unless it already runs on this session's display, and quits at once. It has no window and says
// nothing, even when something fails: there is nobody at login to read it.
#include "NookaryLauncherApp.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QCoreApplication app(argc, argv);
    nookary::NookaryLauncherApp launcher(nookary::NookaryLauncherApp::Host::system());
    launcher.start();
    nookary::NookaryLauncherApp::scheduleTermination();
    return QCoreApplication::exec();
}
