// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeShellServices.h"
#include "ManualClock.h"
#include "app/FocusHandBack.h"

#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;

namespace {

const RunningApplication kEditor { 0x1234, 77 };
const RunningApplication kTerminal { 0x5678, 88 };
const RunningApplication kOurs { 0x9999, 1 }; // the panel
const RunningApplication kAbout { 0x9998, 1 }; // another window of ours

struct HandBack {
    FakeWorkspace workspace;
    ManualClock clock;
    FocusHandBack focus { workspace, clock,
        [](quint64 id) { return id == kOurs.windowId || id == kAbout.windowId; },
        [](quint64 id) { return id == kOurs.windowId; } };
};

} // namespace

// Which application gets focus back after the panel closes, and when.
class TestFocusHandBack : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void focusGoesBackAMomentAfterTheClose()
    {
        HandBack h;
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        QCOMPARE(h.focus.previousApp(), kEditor);
        h.focus.handBackAfterClose();
        QVERIFY(h.focus.isPending());
        h.clock.advance(FocusHandBack::delay - 1ms);
        QVERIFY(h.workspace.activated.isEmpty());
        h.clock.advance(1ms);
        QCOMPARE(h.workspace.activated, QList<RunningApplication> { kEditor });
        QVERIFY(!h.focus.isPending());
        QCOMPARE(h.focus.previousApp(), std::nullopt);

        // Once: a second close hands nothing back.
        h.focus.handBackAfterClose();
        h.clock.advance(1s);
        QCOMPARE(h.workspace.activated.size(), 1);
    }

    void anOpeningCancelsThePendingHandBack()
    {
        HandBack h;
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.focus.handBackAfterClose();
        h.clock.advance(10ms);
        h.workspace.frontmost = kTerminal;
        h.focus.noteOpening();
        QVERIFY(!h.focus.isPending());
        h.clock.advance(1s);
        QVERIFY(h.workspace.activated.isEmpty());
        QCOMPARE(h.focus.previousApp(), kTerminal);
    }

    void ourOwnWindowInFrontKeepsTheApplicationBefore()
    {
        HandBack h;
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.workspace.frontmost = kOurs;
        h.focus.noteOpening();
        QCOMPARE(h.focus.previousApp(), kEditor);
        h.focus.handBackAfterClose();
        h.clock.advance(FocusHandBack::delay);
        QCOMPARE(h.workspace.activated, QList<RunningApplication> { kEditor });
    }

    void aQuickReopenTakesOverTheCancelledHandBack()
    {
        HandBack h;
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.focus.handBackAfterClose();
        // The window manager still reports our hidden window as active.
        h.workspace.frontmost = kOurs;
        h.focus.noteOpening();
        QCOMPARE(h.focus.previousApp(), kEditor);
        h.focus.handBackAfterClose();
        h.clock.advance(FocusHandBack::delay);
        QCOMPARE(h.workspace.activated, QList<RunningApplication> { kEditor });
    }

    void focusLostToAnotherWindowStaysThere()
    {
        HandBack h;
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.workspace.frontmost = kTerminal; // the user clicked into it
        h.focus.handBackAfterClose(FocusHandBack::CloseCause::focusLost);
        h.clock.advance(FocusHandBack::delay);
        QVERIFY(h.workspace.activated.isEmpty());

        // Lost to nobody (the desktop, say), or to ourselves: it goes back.
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.workspace.frontmost.reset();
        h.focus.handBackAfterClose(FocusHandBack::CloseCause::focusLost);
        h.clock.advance(FocusHandBack::delay);
        QCOMPARE(h.workspace.activated, QList<RunningApplication> { kEditor });

        // A close asked for hands back whoever is in front.
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.workspace.frontmost = kTerminal;
        h.focus.handBackAfterClose(FocusHandBack::CloseCause::requested);
        h.clock.advance(FocusHandBack::delay);
        QCOMPARE(h.workspace.activated.size(), 2);
    }

    void theClickThatClosedThePopoverChoosesTheWindow()
    {
        HandBack h;
        h.workspace.windows.append({ QRect(0, 0, 100, 100), kTerminal });
        h.workspace.windows.append({ QRect(200, 0, 100, 100), kOurs });
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        // Qt ate the click, so the window under it was never activated.
        h.workspace.frontmost = kOurs;
        h.focus.handBackAfterClose(FocusHandBack::CloseCause::focusLost, QPoint(50, 50));
        h.clock.advance(FocusHandBack::delay);
        QCOMPARE(h.workspace.activated, QList<RunningApplication> { kTerminal });

        // On our own window, or on nothing: the application before gets focus back.
        for (const QPoint at : { QPoint(250, 50), QPoint(500, 500) }) {
            h.workspace.activated.clear();
            h.workspace.frontmost = kEditor;
            h.focus.noteOpening();
            h.workspace.frontmost = kOurs;
            h.focus.handBackAfterClose(FocusHandBack::CloseCause::focusLost, at);
            h.clock.advance(FocusHandBack::delay);
            QCOMPARE(h.workspace.activated, QList<RunningApplication> { kEditor });
        }
    }

    void ourOtherWindowsKeepTheFocusTheyTake()
    {
        // About opening over a panel that closes for it: nothing is handed back over it,
        // even before the window manager reports it in front.
        HandBack h;
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.focus.ownWindowTakesFocus(true);
        h.focus.handBackAfterClose(FocusHandBack::CloseCause::focusLost);
        h.clock.advance(1s);
        QVERIFY(h.workspace.activated.isEmpty());

        // Over a pinned panel the hand-back is only postponed to the panel's own close.
        h.focus.noteOpening();
        h.focus.ownWindowTakesFocus(false);
        QCOMPARE(h.focus.previousApp(), kEditor);

        // Once reported in front, our About box counts as a window the user went to.
        h.workspace.frontmost = kAbout;
        h.focus.handBackAfterClose(FocusHandBack::CloseCause::focusLost);
        h.clock.advance(1s);
        QVERIFY(h.workspace.activated.isEmpty());

        // A pending hand-back is cancelled; the settings window forgets it altogether.
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.focus.handBackAfterClose();
        h.focus.ownWindowTakesFocus(false);
        QVERIFY(!h.focus.isPending());
        h.focus.noteOpening();
        h.focus.forget();
        QVERIFY(!h.focus.previousApp());
        h.clock.advance(1s);
        QVERIFY(h.workspace.activated.isEmpty());
    }

    void nothingInFrontHandsNothingBack()
    {
        HandBack h;
        h.focus.noteOpening();
        h.focus.handBackAfterClose();
        QVERIFY(!h.focus.isPending());
        h.clock.advance(1s);
        QVERIFY(h.workspace.activated.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFocusHandBack)
#include "tst_focushandback.moc"
