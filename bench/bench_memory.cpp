// SPDX-License-Identifier: GPL-3.0-or-later
// Memory over a long day: 10,000 copies from another program cycling through a history
// of 100 beside 25 saved snippets, the panel opened and closed 500 times along the way,
// in turn centred and as the popover.
// Prints PSS after the first cycle and every 1,000 copies after it, and how far it moved;
// asserts nothing. Takes about eight minutes; `bench_memory 1000` runs a shorter day.
//
// The program runs inside this process, on a test desk, with its real X11 services and
// windows; its clock is driven, so that the timers of 500 openings need not be waited for.
#include "ManualClock.h"
#include "ProcessFigures.h"
#include "TestDesk.h"
#include "app/AppDelegate.h"
#include "model/AppModel.h"
#include "platform/PlatformServices.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace nookary;
using namespace nookary::bench;
using namespace nookary::test;

namespace {

int copies = 10000;
constexpr int kDistinctTexts = 150; // more than the history keeps: every copy is new to it
constexpr int copiesPerOpening = 20; // 500 openings in all
constexpr int kFirstCycle = kDistinctTexts;

// Texts of many lengths, so that the allocator sees the mix a real day brings. Every tenth
// copy takes up a text the history still holds, which moves it back to the top.
QByteArray textFor(int copy)
{
    const int which = copy % 10 == 9 ? (copy - 5) % kDistinctTexts : copy % kDistinctTexts;
    QByteArray text = QByteArray("copy ") + QByteArray::number(which).rightJustified(6, '0') + ' ';
    text += QByteArray((which * 37) % 2000 + 1, char('a' + which % 26));
    return text;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // Outside any event loop's exec, processEvents leaves objects deleted later alone.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void copyWithXclip(const QByteArray &text)
{
    QProcess xclip;
    xclip.start(
        QStringLiteral("xclip"), { QStringLiteral("-selection"), QStringLiteral("clipboard") });
    xclip.write(text);
    xclip.closeWriteChannel();
    xclip.waitForFinished(5000);
}

void writeSettings(const QString &config)
{
    QDir().mkpath(config + QStringLiteral("/dorwen"));
    const QString path = config + QStringLiteral("/dorwen/Nookary.conf");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write("[General]\nNookary.onboarding.completedVersion.v1=1\n"
                   "Nookary.historyLimit.v2=100\n");
    file.close();
    QJsonArray snippets;
    for (int i = 0; i < 25; ++i)
        snippets.append(QJsonObject {
            { QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() },
            { QStringLiteral("text"),
                QStringLiteral("Saved snippet %1 ").arg(i) + QString(i * 40, u's') } });
    SettingsPreferencesStore(path).setData(
        QStringLiteral("Nookary.shelf.v1"), QJsonDocument(snippets).toJson(QJsonDocument::Compact));
}

// The program and the day, on the desk this process was started on.
int runTheDay(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ManualClock clock;
    PlatformServices services = createPlatformServices();
    AppDelegate delegate(std::move(services), true, clock);
    delegate.start();
    auto settle = [&] {
        waitUntil([] { return false; }, 200);
        clock.advance(std::chrono::seconds(1));
        waitUntil([] { return false; }, 200);
    };
    settle();
    std::printf("PSS after start:             %6.1f MiB\n", pssAloneMiB(::getpid()));

    double afterFirstCycle = 0, highest = -1e9, lowest = 1e9;
    int openings = 0, unrecorded = 0;
    QElapsedTimer took;
    took.start();
    for (int copy = 0; copy < copies; ++copy) {
        const QByteArray text = textFor(copy);
        copyWithXclip(text);
        const auto recorded = [&] {
            const QList<HistoryItem> &history = delegate.model().clipboardHistory().items();
            return !history.isEmpty() && history.first().text == QString::fromLatin1(text);
        };
        if (!waitUntil(recorded, 3000))
            ++unrecorded;

        if (copy % copiesPerOpening == copiesPerOpening - 1) {
            // Both presentations: the popover builds its view anew each time.
            delegate.model().settings().setOpenPresentation(openings % 2
                    ? AppModel::OpenPresentation::menubarPopover
                    : AppModel::OpenPresentation::centeredWindow);
            delegate.showUI();
            waitUntil([&] { return delegate.isPanelOpen(); }, 3000);
            waitUntil([] { return false; }, 30); // mapped and painted
            delegate.closeUI();
            clock.advance(std::chrono::seconds(1)); // the hand-back and its timers
            waitUntil([] { return false; }, 10);
            ++openings;
        }
        const int done = copy + 1;
        if (done == kFirstCycle) {
            settle();
            afterFirstCycle = pssAloneMiB(::getpid());
            std::printf("PSS after the first cycle:   %6.1f MiB (%d copies, %d openings)\n",
                afterFirstCycle, done, openings);
        } else if (done % 1000 == 0) {
            settle();
            const double pss = pssAloneMiB(::getpid());
            highest = std::max(highest, pss);
            lowest = std::min(lowest, pss);
            std::printf("PSS after %5d copies:      %6.1f MiB (%d openings, %+.1f MiB)\n", done,
                pss, openings, pss - afterFirstCycle);
        }
    }
    std::printf("moved from the first cycle's: %+.1f to %+.1f MiB (%d copies, %d openings, "
                "%d not recorded, %.0f s)\n",
        lowest - afterFirstCycle, highest - afterFirstCycle, copies, openings, unrecorded,
        took.elapsed() / 1000.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures show as they come, also into a file
    if (argc > 2)
        copies = std::max(1000, QByteArray(argv[2]).toInt());
    if (argc > 1 && QByteArray(argv[1]) == "on-the-desk")
        return runTheDay(argc, argv);

    QCoreApplication app(argc, argv);
    TestDesk desk(TestDesk::Options { true, true });
    if (!desk.start()) {
        std::fprintf(stderr, "cannot start the desk: %s\n", qPrintable(desk.errorString()));
        return 1;
    }
    writeSettings(desk.environment().value(QStringLiteral("XDG_CONFIG_HOME")));
    QProcess *day = desk.spawn(QCoreApplication::applicationFilePath(),
        { QStringLiteral("on-the-desk"), QString::fromLocal8Bit(argc > 1 ? argv[1] : "10000") });
    for (bool running = true; running;) {
        running = !day->waitForFinished(500) && day->state() != QProcess::NotRunning;
        const QByteArray out = day->readAllStandardOutput();
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        const QByteArray err = day->readAllStandardError();
        std::fwrite(err.constData(), 1, size_t(err.size()), stderr);
    }
    return day->exitCode();
}
