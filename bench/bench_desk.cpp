// SPDX-License-Identifier: GPL-3.0-or-later
// The running program on a test desk: start-up time to monitoring the clipboard, memory
// after start, wake-ups while idle, and how long a huge copy keeps it from answering.
// Prints figures; asserts nothing. Takes about a minute; `bench_desk opens` measures only
// the first and the later openings, in a few seconds; `bench_desk peer [PROGRAM]` measures
// another clipboard manager (copyq by default, which speaks its command line) beside
// Nookary, each through its own command line. PSS is counted as if this benchmark did not
// run (see ProcessFigures.h): it maps Qt 6 too, and would take half of those pages.
#include "DeskSession.h"
#include "ProcessFigures.h"
#include "TestDesk.h"
#include "app/InstanceChannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

using namespace nookary;
using namespace nookary::bench;
using namespace nookary::test;
using Request = InstanceChannel::Request;

namespace {

// NOOKARY_BINARY in the environment measures another build of the program beside this one.
const QString kNookary = qEnvironmentVariable("NOOKARY_BINARY", QStringLiteral(NOOKARY_BINARY));

// Longest time one ping waited for its answer while `during` ran.
double longestUnanswered(const std::function<void()> &during)
{
    std::atomic<bool> stop { false };
    std::atomic<qint64> worstNs { 0 };
    QThread *pinger = QThread::create([&] {
        QElapsedTimer t;
        while (!stop) {
            t.start();
            InstanceChannel::send(Request::ping, 10000);
            worstNs = std::max<qint64>(worstNs, t.nsecsElapsed());
            QThread::msleep(5);
        }
    });
    pinger->start();
    during();
    stop = true;
    pinger->wait();
    delete pinger;
    return worstNs / 1e6;
}

// Watches the root window's _NET_ACTIVE_WINDOW on its own X connection, so that the moment
// the window manager gives a window focus is seen as it happens, not by polling.
class ActiveWindowWatch {
public:
    explicit ActiveWindowWatch(const QString &display)
        : m_c(xcb_connect(display.toLocal8Bit().constData(), nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
        m_atom = r ? r->atom : 0;
        free(r);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }
    ~ActiveWindowWatch() { xcb_disconnect(m_c); }

    quint32 active()
    {
        xcb_get_property_reply_t *r = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, m_root, m_atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        quint32 window = 0;
        if (r && xcb_get_property_value_length(r) >= 4)
            window = *static_cast<quint32 *>(xcb_get_property_value(r));
        free(r);
        return window;
    }

    void drain()
    {
        while (xcb_generic_event_t *e = xcb_poll_for_event(m_c))
            free(e);
    }

    int width(quint32 window)
    {
        xcb_get_geometry_reply_t *r
            = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, window), nullptr);
        const int w = r ? r->width : 0;
        free(r);
        return w;
    }

    // Milliseconds from `since` until the active window changes to the panel (a window at
    // least `minWidth` wide); negative on time-out. The caller makes another window active
    // first.
    double waitFor(const QElapsedTimer &since, int timeoutMs, int minWidth = 560)
    {
        while (since.elapsed() < timeoutMs) {
            pollfd fd { xcb_get_file_descriptor(m_c), POLLIN, 0 };
            ::poll(&fd, 1, 20);
            bool changed = false;
            while (xcb_generic_event_t *e = xcb_poll_for_event(m_c)) {
                if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY
                    && reinterpret_cast<xcb_property_notify_event_t *>(e)->atom == m_atom)
                    changed = true;
                free(e);
            }
            if (changed) {
                const double ms = since.nsecsElapsed() / 1e6;
                const quint32 now = active();
                if (now != 0 && width(now) >= minWidth)
                    return ms;
            }
        }
        return -1;
    }

private:
    xcb_connection_t *m_c;
    xcb_window_t m_root = 0;
    xcb_atom_t m_atom = 0;
};

// Nookary's visible windows: the tray icon is small, the panel at least 560 wide.
QString nookaryWindow(TestDesk &desk, bool trayIcon)
{
    return trayIcon ? desk.findWindow(QStringLiteral("Nookary"), 1, 64)
                    : desk.findWindow(QStringLiteral("Nookary"), 560, 100000);
}

// A window of another program to come back to, and the shortcut that opens the panel over
// it (Control+Alt+Space), timed from just before xdotool starts to press it until the
// window manager makes the panel the active window; `Nookary --hide` closes it again.
class OpeningTimer {
public:
    explicit OpeningTimer(TestDesk &desk)
        : m_desk(desk)
        , m_watch(desk.display())
    {
        QProcess *target
            = desk.spawn(QStringLiteral(TEST_WINDOW_BINARY), { QStringLiteral("Bench target") });
        target->waitForReadyRead(10000);
        for (int tries = 0; m_target.isEmpty() && tries < 100; ++tries) {
            m_target = desk.xdotool({ QStringLiteral("search"), QStringLiteral("--name"),
                                        QStringLiteral("^Bench target$") })
                           .section(u'\n', 0, 0);
            QThread::msleep(50);
        }
    }

    ActiveWindowWatch &watch() { return m_watch; }

    void activateTarget()
    {
        m_desk.xdotool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_target });
        QThread::msleep(50);
        m_watch.drain();
    }

    void closePanel()
    {
        m_desk.run(kNookary, { QStringLiteral("--hide") });
        QThread::msleep(150);
    }

    double pressShortcut()
    {
        activateTarget();
        QElapsedTimer t;
        t.start();
        m_desk.run(QStringLiteral("xdotool"),
            { QStringLiteral("keydown"), QStringLiteral("--delay"), QStringLiteral("0"),
                QStringLiteral("ctrl+alt+space") });
        const double ms = m_watch.waitFor(t, 5000);
        m_desk.run(QStringLiteral("xdotool"),
            { QStringLiteral("keyup"), QStringLiteral("ctrl+alt+space") });
        closePanel();
        return ms;
    }

private:
    TestDesk &m_desk;
    ActiveWindowWatch m_watch;
    QString m_target;
};

const QStringList kQuietly { QStringLiteral("--launched-from-login-item") };

// Fresh instances started as at login: the first opening of each, then later ones of the
// last. The first opening comes a second after start, when an idle program has long been
// ready; memory is read just before it. `running` (ours, or none) is stopped first; only
// our own instances are ever stopped, never another desk's.
void measureOpenings(TestDesk &desk, OpeningTimer &opening, QProcess *running)
{
    std::vector<double> starts, firsts, pss;
    for (int i = 0; i < 5; ++i) {
        TestDesk::stop(running);
        QThread::msleep(300);
        QElapsedTimer t;
        t.start();
        running = desk.spawn(kNookary, kQuietly);
        while (!InstanceChannel::send(Request::ping, 1000))
            QThread::usleep(500);
        starts.push_back(t.nsecsElapsed() / 1e6);
        QThread::msleep(1000);
        pss.push_back(pssAloneMiB(running->processId()));
        firsts.push_back(opening.pressShortcut());
    }
    std::vector<double> laters;
    for (int i = 0; i < 10; ++i)
        laters.push_back(opening.pressShortcut());
    std::printf("start to monitoring the clipboard: %6.1f ms (median of 5)\n", median(starts));
    std::printf("PSS a second after start:          %6.1f MiB (median of 5)\n", median(pss));
    std::printf("shortcut press to panel focused:   %6.1f ms (first open of a fresh instance, "
                "median of 5)\n",
        median(firsts));
    std::printf("shortcut press to panel focused:   %6.1f ms (later opens of the same, median "
                "of 10)\n",
        median(laters));
}

// Another clipboard manager measured beside Nookary on the same desk, each through its own
// command line, so that process start-up counts alike on both sides.
struct Program {
    QString name;
    QString binary;
    QStringList serve; // starts the program that stays
    // A command line the running program answers whatever its history holds, so that a
    // huge copy costs it only the reading.
    QStringList ask;
    QStringList show;
    QStringList hide;
    int windowWidth; // its main window is at least this wide
};

struct Figures {
    double start = -1; // to the first answer of `ask`, its own run included
    double ask = -1; // `ask` alone, with the program running
    double pss = -1; // a second after start
    double pssKernel = -1;
    double show = -1; // `show` to its window active
    double pssShown = -1;
    double stall = -1; // the longest `ask` while a 5 MiB copy is read
};

double timedRun(TestDesk &desk, const Program &program, const QStringList &arguments, bool *ok)
{
    QElapsedTimer t;
    t.start();
    const TestDesk::Result result = desk.run(program.binary, arguments, {}, 10000);
    *ok = result.finished && result.exitCode == 0;
    return t.nsecsElapsed() / 1e6;
}

Figures measureProgram(TestDesk &desk, OpeningTimer &opening, const Program &program)
{
    Figures f;
    bool ok = false;
    std::vector<double> starts;
    QProcess *running = nullptr;
    for (int i = 0; i < 7; ++i) {
        TestDesk::stop(running);
        QThread::msleep(300);
        QElapsedTimer t;
        t.start();
        running = desk.spawn(program.binary, program.serve);
        do
            timedRun(desk, program, program.ask, &ok);
        while (!ok && t.elapsed() < 10000);
        starts.push_back(t.nsecsElapsed() / 1e6);
    }
    f.start = median(starts);
    QThread::sleep(1);
    f.pss = pssAloneMiB(running->processId());
    f.pssKernel = 0;
    for (const qint64 process : processAndChildren(running->processId()))
        f.pssKernel += pssMiB(process);

    std::vector<double> asks;
    for (int i = 0; i < 10; ++i)
        asks.push_back(timedRun(desk, program, program.ask, &ok));
    f.ask = median(asks);

    std::vector<double> shows;
    for (int i = 0; i < 10; ++i) {
        opening.activateTarget();
        QElapsedTimer t;
        t.start();
        QProcess *show = desk.spawn(program.binary, program.show);
        shows.push_back(opening.watch().waitFor(t, 5000, program.windowWidth));
        show->waitForFinished(3000);
        desk.run(program.binary, program.hide);
        QThread::msleep(150);
    }
    f.show = median(shows);
    f.pssShown = pssAloneMiB(running->processId());

    std::atomic<bool> stop { false };
    double worst = 0;
    QThread *asker = QThread::create([&] {
        bool answered = false;
        while (!stop)
            worst = std::max(worst, timedRun(desk, program, program.ask, &answered));
    });
    asker->start();
    desk.run(QStringLiteral("xclip"), { QStringLiteral("-selection"), QStringLiteral("clipboard") },
        QByteArray(5 * 1024 * 1024, 'q'));
    QThread::sleep(3);
    stop = true;
    asker->wait();
    delete asker;
    f.stall = worst;
    TestDesk::stop(running);
    return f;
}

void measurePeer(TestDesk &desk, const QString &peerBinary)
{
    OpeningTimer opening(desk);
    const Program nookary { QStringLiteral("Nookary"), kNookary, kQuietly,
        { QStringLiteral("--saved") }, { QStringLiteral("--show") }, { QStringLiteral("--hide") },
        560 };
    const Program peer { QFileInfo(peerBinary).fileName(), peerBinary, {},
        { QStringLiteral("size") }, { QStringLiteral("show") }, { QStringLiteral("hide") }, 200 };
    const Figures ours = measureProgram(desk, opening, nookary);
    const Figures theirs = measureProgram(desk, opening, peer);
    const auto row = [](const char *what, double a, double b, const char *unit) {
        std::printf("%-44s %7.1f %7.1f %s  %5.2fx\n", what, a, b, unit, b > 0 ? a / b : -1.0);
    };
    std::printf("%-44s %7s %7s\n", "", "Nookary", qPrintable(peer.name.left(7)));
    row("start to first answer (its command line)", ours.start, theirs.start, "ms");
    row("  the command line alone, when running", ours.ask, theirs.ask, "ms");
    row("PSS a second after start (with helpers)", ours.pss, theirs.pss, "MiB");
    row("  the kernel's PSS, split with all", ours.pssKernel, theirs.pssKernel, "MiB");
    row("show command to its window active", ours.show, theirs.show, "ms");
    row("PSS after the window was shown", ours.pssShown, theirs.pssShown, "MiB");
    row("longest command line while 5 MiB is read", ours.stall, theirs.stall, "ms");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool openingsOnly = app.arguments().contains(QStringLiteral("opens"));
    const qsizetype peerAt = app.arguments().indexOf(QStringLiteral("peer"));
    TestDesk desk(TestDesk::Options { true, true });
    if (!desk.start()) {
        std::fprintf(stderr, "cannot start the desk: %s\n", qPrintable(desk.errorString()));
        return 1;
    }
    askInDeskSession(desk, kQuietly);
    std::printf("load average: %.2f\n", loadAverage());
    if (peerAt > 0) {
        measurePeer(desk, app.arguments().value(peerAt + 1, QStringLiteral("copyq")));
        std::printf("load average: %.2f\n", loadAverage());
        return 0;
    }
    if (openingsOnly) {
        OpeningTimer opening(desk);
        measureOpenings(desk, opening, nullptr);
        return 0;
    }

    std::vector<double> starts, trays;
    QProcess *nookary = nullptr;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        nookary = desk.spawn(kNookary, kQuietly);
        while (!InstanceChannel::send(Request::ping, 1000))
            QThread::usleep(500);
        starts.push_back(t.nsecsElapsed() / 1e6);
        while (nookaryWindow(desk, true).isEmpty() && t.elapsed() < 10000)
            QThread::usleep(500);
        trays.push_back(t.nsecsElapsed() / 1e6);
        if (i < 6)
            TestDesk::stop(nookary);
    }
    std::printf(
        "start to monitoring the clipboard: %6.1f ms (median of 7, first answer to a ping)\n",
        median(starts));
    std::printf("start to the tray icon shown:      %6.1f ms (median of 7, polled with xdotool)\n",
        median(trays));

    // The last instance is still running.
    const qint64 pid = nookary->processId();
    QThread::sleep(1);
    std::printf("PSS after start:                   %6.1f MiB (%.1f as the kernel counts it, "
                "shared with this benchmark)\n",
        pssAloneMiB(pid), pssMiB(pid));

    const qint64 before = statusField(pid, "status", "voluntary_ctxt_switches:");
    QThread::sleep(30);
    const qint64 after = statusField(pid, "status", "voluntary_ctxt_switches:");
    std::printf(
        "wake-ups while idle for 30 s:      %6lld\n", static_cast<long long>(after - before));

    // A click on the tray icon until the window manager makes the panel the active window
    // (its search field takes focus in the same turn), timed from just before xdotool
    // starts; xdotool's own start-up, measured alone, is reported beside it.
    const QString icon = nookaryWindow(desk, true);
    OpeningTimer opening(desk);
    std::vector<double> baseline;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer t;
        t.start();
        desk.run(QStringLiteral("xdotool"), { QStringLiteral("getmouselocation") });
        baseline.push_back(t.nsecsElapsed() / 1e6);
    }
    desk.run(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QStringLiteral("--window"), icon, QStringLiteral("8"),
            QStringLiteral("8") });
    {
        opening.activateTarget();
        QElapsedTimer t;
        t.start();
        desk.run(QStringLiteral("xdotool"), { QStringLiteral("mousedown"), QStringLiteral("1") });
        std::printf("tray click to panel focused:       %6.1f ms (first open; xdotool included)\n",
            opening.watch().waitFor(t, 5000));
        desk.run(QStringLiteral("xdotool"), { QStringLiteral("mouseup"), QStringLiteral("1") });
        opening.closePanel();
    }
    std::printf("  xdotool itself:                  %6.1f ms (median of 10 runs doing nothing)\n",
        median(baseline));

    std::vector<double> presses;
    for (int i = 0; i < 20; ++i)
        presses.push_back(opening.pressShortcut());
    std::printf("shortcut press to panel focused:   %6.1f ms (median of 20 later opens; xdotool "
                "included)\n",
        median(presses));

    // A desktop's own shortcut bound to `Nookary --toggle`: from the command's start to the
    // panel focused; and `Nookary --history` from start to exit.
    std::vector<double> toggles, histories;
    for (int i = 0; i < 20; ++i) {
        opening.activateTarget();
        QElapsedTimer t;
        t.start();
        QProcess *toggle = desk.spawn(kNookary, { QStringLiteral("--toggle") });
        toggles.push_back(opening.watch().waitFor(t, 5000));
        toggle->waitForFinished(3000);
        opening.closePanel();
        t.start();
        desk.run(kNookary, { QStringLiteral("--history") });
        histories.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("Nookary --toggle to panel focused: %6.1f ms (median of 20)\n", median(toggles));
    std::printf("Nookary --history answered:        %6.1f ms (median of 20, start to exit)\n",
        median(histories));

    std::printf("PSS after the panel was shown:     %6.1f MiB\n", pssAloneMiB(pid));

    for (int i = 0; i < 25; ++i) {
        QByteArray text(20000, char('a' + i % 26));
        text.prepend(QByteArray::number(i) + ' ');
        desk.run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, text);
        QThread::msleep(800);
    }
    std::printf("PSS after a full history (25 x 20000 chars): %.1f MiB\n", pssAloneMiB(pid));

    for (const int mib : { 5, 50 }) {
        QByteArray text(mib * 1024 * 1024, 'q');
        const double stall = longestUnanswered([&] {
            desk.run(QStringLiteral("xclip"),
                { QStringLiteral("-selection"), QStringLiteral("clipboard") }, text);
            QThread::sleep(3); // the poll and its read fall in this window
        });
        std::printf("%2d MiB copy, longest unanswered:  %6.1f ms\n", mib, stall);
    }

    measureOpenings(desk, opening, nookary);
    std::printf("load average: %.2f\n", loadAverage());
    return 0;
}
