// The running program on a test desk: start-up time to monitoring the clipboard, memory
// after start, wake-ups while idle, and how long a huge copy keeps it from answering.
// Prints figures; asserts nothing. Takes about a minute.
#include "TestDesk.h"
#include "app/InstanceChannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

using namespace nookary;
using namespace nookary::test;
using Request = InstanceChannel::Request;

namespace {

const QString kNookary = QStringLiteral(NOOKARY_BINARY);

qint64 statusField(qint64 pid, const QByteArray &file, const QByteArray &field)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QString::fromLatin1(file)));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Longest time one ping waited for its answer while `during` ran.
double longestUnanswered(const std::function<void()> &during)
{
    std::atomic<bool> stop{false};
    std::atomic<qint64> worstNs{0};
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestDesk desk(TestDesk::Options{true, true});
    if (!desk.start()) {
        std::fprintf(stderr, "cannot start the desk: %s\n", qPrintable(desk.errorString()));
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", desk.environment().value(QStringLiteral("XDG_RUNTIME_DIR")).toLocal8Bit());

    std::vector<double> starts;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        QProcess *p = desk.spawn(kNookary, {});
        while (!InstanceChannel::send(Request::ping, 1000))
            QThread::usleep(500);
        starts.push_back(t.nsecsElapsed() / 1e6);
        if (i < 6)
            TestDesk::stop(p);
    }
    std::printf("start to monitoring the clipboard: %6.1f ms (median of 7, first answer to a ping)\n",
                median(starts));

    // The last instance is still running.
    const QByteArray pidText = desk.run(QStringLiteral("pgrep"), {QStringLiteral("-n"), QStringLiteral("-x"),
                                                                   QStringLiteral("Nookary")}).out.trimmed();
    const qint64 pid = pidText.toLongLong();
    QThread::sleep(1);
    std::printf("PSS after start:                   %6.1f MiB\n",
                statusField(pid, "smaps_rollup", "Pss:") / 1024.0);

    const qint64 before = statusField(pid, "status", "voluntary_ctxt_switches:");
    QThread::sleep(30);
    const qint64 after = statusField(pid, "status", "voluntary_ctxt_switches:");
    std::printf("wake-ups while idle for 30 s:      %6lld\n", static_cast<long long>(after - before));

    for (const int mib : {5, 50}) {
        QByteArray text(mib * 1024 * 1024, 'q');
        const double stall = longestUnanswered([&] {
            desk.run(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")}, text);
            QThread::sleep(3); // the poll and its read fall in this window
        });
        std::printf("%2d MiB copy, longest unanswered:  %6.1f ms\n", mib, stall);
    }
    std::printf("PSS after the huge copies:         %6.1f MiB\n",
                statusField(pid, "smaps_rollup", "Pss:") / 1024.0);
    return 0;
}
