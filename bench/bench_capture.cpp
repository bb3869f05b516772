// SPDX-License-Identifier: GPL-3.0-or-later
// Capture on the X11 desk, the Wayland desk (sway, data-control) and GNOME's (Mutter,
// through XWayland) side by side: start-up to monitoring the
// clipboard, memory after start, how long a copy in another program takes to be recorded
// (the copying program's start included), and how many copies of a burst are recorded: ten
// 0.3 s apart, and a hundred as fast as the copying program starts. Prints figures; asserts
// nothing. Takes about a minute.
#include "DeskSession.h"
#include "ProcessFigures.h"
#include "TestDesk.h"
#include "app/InstanceChannel.h"
#include "app/InstanceName.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace nookary;
using namespace nookary::bench;
using namespace nookary::test;
using Request = InstanceChannel::Request;

namespace {

const QString kNookary = QStringLiteral(NOOKARY_BINARY);

void measure(TestDesk::Session session)
{
    const bool wayland = session == TestDesk::Session::wayland;
    const char *name = wayland ? "Wayland (sway, data-control)"
        : session == TestDesk::Session::gnome
        ? "GNOME (Mutter headless, through XWayland; xclip copies)"
        : "X11 (Xvfb, openbox)";
    TestDesk::Options options;
    options.panel = false;
    options.session = session;
    TestDesk desk(options);
    if (!desk.start()) {
        std::printf("%s: cannot start the desk: %s\n", name, qPrintable(desk.errorString()));
        return;
    }
    const QStringList quietly { QStringLiteral("--launched-from-login-item") };
    askInDeskSession(desk, quietly);

    std::vector<double> starts;
    QProcess *nookary = nullptr;
    for (int i = 0; i < 5; ++i) {
        if (nookary)
            TestDesk::stop(nookary);
        QElapsedTimer t;
        t.start();
        nookary = desk.spawn(kNookary, quietly);
        while (!InstanceChannel::send(Request::ping, 1000) && t.elapsed() < 10000)
            QThread::usleep(500);
        starts.push_back(t.nsecsElapsed() / 1e6);
    }
    QThread::sleep(1);
    const double pss = pssAloneMiB(nookary->processId());

    const auto copy = [&](const QByteArray &text) {
        if (wayland)
            desk.run(QStringLiteral("wl-copy"), {}, text);
        else
            desk.run(QStringLiteral("xclip"),
                { QStringLiteral("-selection"), QStringLiteral("clipboard") }, text);
    };
    const auto recorded = [](const QList<QByteArray> &texts) {
        const auto history = InstanceChannel::send(Request::history, 5000);
        int count = 0;
        for (const QByteArray &text : texts)
            count += history && history->contains("\"" + text + "\"");
        return count;
    };

    std::vector<double> captures;
    int missed = 0;
    for (int i = 0; i < 20; ++i) {
        const QByteArray text = "capture " + QByteArray::number(i);
        QElapsedTimer t;
        t.start();
        copy(text);
        bool seen = false;
        while (!seen && t.elapsed() < 5000) {
            const auto history = InstanceChannel::send(Request::history, 1000);
            seen = history && history->contains(text);
            if (!seen)
                QThread::msleep(5);
        }
        if (seen)
            captures.push_back(t.nsecsElapsed() / 1e6);
        else
            ++missed;
        QThread::msleep(300);
    }

    QList<QByteArray> paced;
    for (int i = 0; i < 10; ++i) {
        paced.append("paced " + QByteArray::number(i));
        copy(paced.last());
        QThread::msleep(300);
    }
    QThread::msleep(500);
    const int pacedRecorded = recorded(paced);

    QList<QByteArray> fast;
    for (int i = 0; i < 100; ++i) {
        fast.append("fast " + QByteArray::number(i));
        copy(fast.last());
    }
    QThread::msleep(1000);
    const int fastRecorded = recorded(fast);
    const bool newestRecorded = recorded({ fast.last() }) == 1;

    std::printf("%s\n", name);
    std::printf("  start to monitoring the clipboard: %6.1f ms (median of 5, first answer)\n",
        median(starts));
    std::printf("  PSS after start:                   %6.1f MiB\n", pss);
    std::printf(
        "  copy to recorded:                  %6.1f ms (median of 20; the copying program's "
        "start included)\n",
        median(captures));
    std::printf("  ten copies 0.3 s apart:            %d of 10 recorded\n", pacedRecorded);
    std::printf("  a hundred copies back to back:     %d of 100 recorded, the last %s\n",
        fastRecorded, newestRecorded ? "among them" : "missing");
    if (missed > 0)
        std::printf(
            "  not recorded within 5 s:           %d of 20 (is the program still running?)\n",
            missed);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("load average: %.2f\n", loadAverage());
    measure(TestDesk::Session::x11);
    if (TestDesk::canStartWayland())
        measure(TestDesk::Session::wayland);
    else
        std::printf("Wayland: sway is not installed\n");
    if (TestDesk::canStartGnome())
        measure(TestDesk::Session::gnome);
    else
        std::printf("GNOME: Mutter is not installed\n");
    std::printf("load average: %.2f\n", loadAverage());
    return 0;
}
