#include "FakeShellServices.h"
#include "ManualClock.h"
#include "app/FocusHandBack.h"

#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;

namespace {

const RunningApplication kEditor{0x1234, 77};
const RunningApplication kTerminal{0x5678, 88};
const RunningApplication kOurs{0x9999, 1};

struct HandBack
{
    FakeWorkspace workspace;
    ManualClock clock;
    FocusHandBack focus{workspace, clock, [](quint64 id) { return id == kOurs.windowId; }};
};

} // namespace

// Which application gets focus back after the panel closes, and when.
class TestFocusHandBack : public QObject
{
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
        QCOMPARE(h.workspace.activated, QList<RunningApplication>{kEditor});
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
        QCOMPARE(h.workspace.activated, QList<RunningApplication>{kEditor});
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
        QCOMPARE(h.workspace.activated, QList<RunningApplication>{kEditor});
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
        QCOMPARE(h.workspace.activated, QList<RunningApplication>{kEditor});

        // A close asked for hands back whoever is in front.
        h.workspace.frontmost = kEditor;
        h.focus.noteOpening();
        h.workspace.frontmost = kTerminal;
        h.focus.handBackAfterClose(FocusHandBack::CloseCause::requested);
        h.clock.advance(FocusHandBack::delay);
        QCOMPARE(h.workspace.activated.size(), 2);
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
