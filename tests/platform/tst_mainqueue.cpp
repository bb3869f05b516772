// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MainQueue.h"

#include <QtTest>

using namespace nookary;
using namespace std::chrono_literals;

class TestMainQueue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void postedWorkRunsOnTheNextTurnOnly()
    {
        QObject context;
        int runs = 0;
        postToNextTurn(&context, [&] { ++runs; });
        QCOMPARE(runs, 0);
        QTRY_COMPARE(runs, 1);
    }

    void aDestroyedOwnerCancelsWhatItPosted()
    {
        int runs = 0;
        auto *context = new QObject;
        postToNextTurn(context, [&] { ++runs; });
        const CancellableTask task = postDelayed(context, 10ms, [&] { ++runs; });
        delete context;
        QTest::qWait(50);
        QCOMPARE(runs, 0);
        QVERIFY(!task.isPending());
    }

    void aDelayedTaskRunsOnceUnlessCancelled()
    {
        QObject context;
        int runs = 0;
        CancellableTask kept = postDelayed(&context, 10ms, [&] { ++runs; });
        CancellableTask cancelled = postDelayed(&context, 10ms, [&] { runs += 100; });
        QVERIFY(kept.isPending());
        cancelled.cancel();
        QVERIFY(!cancelled.isPending());
        QTest::qWait(80);
        QCOMPARE(runs, 1);
        QVERIFY(!kept.isPending());
        kept.cancel(); // after it ran: harmless
        QCOMPARE(context.children().size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMainQueue)
#include "tst_mainqueue.moc"
