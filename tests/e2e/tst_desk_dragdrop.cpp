// SPDX-License-Identifier: GPL-3.0-or-later
// Dragging with the mouse on a real X desktop: history rows and text from another program
// onto the saved column, reordering by a snippet's handle, and moving and resizing the
// centred window by its handles. Results are read back with `Nookary --saved` and
// xdotool, as a user would see them.
#include "TestDesk.h"

#include <QtTest>

using namespace nookary::test;

namespace {

const QString kDragSource = QStringLiteral(DRAG_SOURCE_BINARY);
const QByteArray kPinned = "Nookary.keepWindowPinned.v1=true\n";
// In the drag source's window, which it places at (40, 120).
constexpr QPoint kSourcePoint(140, 160);

// Where things are in the panel, from its top-left corner, at its minimum size of 560 by
// 380: rows are 30 high and 8 apart, the first one's top 94 down.
constexpr int kSavedX = 420;
constexpr int kHandleX = 325;
constexpr int kHistoryX = 140;
constexpr int kFirstRowCentre = 108;
constexpr int kRowPitch = 38;
constexpr QPoint kBelowRows(kSavedX, 270);
constexpr QPoint kTopStrip(240, 5);
constexpr QPoint kGrip(535, 355);

} // namespace

class TestDeskDragDrop : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QString xdotool(const QStringList &args) { return m_desk->xdotool(args); }
    QString panelWindow() { return m_desk->panelWindow(); }
    QString trayIcon() { return m_desk->trayIcon(); }
    QStringList saved() { return TestDesk::texts(m_desk->saved()); }
    QString historyText()
    {
        return QString::fromUtf8(m_desk->nookary({ QStringLiteral("--history") }).out);
    }

    void copy(const QByteArray &text)
    {
        m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, text);
        QTRY_VERIFY_WITH_TIMEOUT(historyText().contains(QString::fromUtf8(text)), 5000);
    }

    // Starts Nookary with these snippets saved and these settings.
    void startNookary(const QStringList &snippets, const QByteArray &settings = {})
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = m_desk->startNookary({ .settings = settings, .snippets = snippets });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(!trayIcon().isEmpty(), 10000);
        QCOMPARE(saved(), snippets);
    }

    // Opens the panel and returns its top-left corner on screen.
    QPoint openPanel()
    {
        if (panelWindow().isEmpty())
            m_desk->nookary({ QStringLiteral("--show") });
        QElapsedTimer waited;
        waited.start();
        QPoint origin;
        while ((origin = panelOrigin()).isNull() && waited.elapsed() < 5000)
            QTest::qWait(100);
        QTest::qWait(300); // laid out and painted
        return origin;
    }
    QRect panelGeometry()
    {
        const QString window = panelWindow();
        if (window.isEmpty())
            return {};
        static const QRegularExpression pattern(
            QStringLiteral("Position: (-?\\d+),(-?\\d+).*Geometry: (\\d+)x(\\d+)"),
            QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m
            = pattern.match(xdotool({ QStringLiteral("getwindowgeometry"), window }));
        if (!m.hasMatch())
            return {};
        return QRect(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
            m.captured(4).toInt());
    }
    QPoint panelOrigin() { return panelGeometry().topLeft(); }

    void pointerTo(QPoint at)
    {
        xdotool({ QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()) });
    }
    // Presses at `from`, moves to `to` in small steps with short pauses (a drag needs to
    // see motion), settles over the target and releases. `beforeRelease` runs over it.
    void drag(QPoint from, QPoint to, const std::function<void()> &beforeRelease = {})
    {
        pointerTo(from);
        QTest::qWait(100);
        xdotool({ QStringLiteral("mousedown"), QStringLiteral("1") });
        QTest::qWait(100);
        constexpr int steps = 12;
        for (int i = 1; i <= steps; ++i) {
            pointerTo(from + (to - from) * i / steps);
            QTest::qWait(40);
        }
        QTest::qWait(150);
        pointerTo(to + QPoint(1, 0)); // a last move over the target
        QTest::qWait(100);
        pointerTo(to);
        QTest::qWait(150);
        if (beforeRelease)
            beforeRelease();
        xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") });
        QTest::qWait(200);
    }
    QPoint savedRow(QPoint origin, int index, int x = kSavedX)
    {
        return origin + QPoint(x, kFirstRowCentre + index * kRowPitch);
    }
    QPoint historyRow(QPoint origin, int index)
    {
        return origin + QPoint(kHistoryX, kFirstRowCentre + index * kRowPitch);
    }
    void screenshot(const QString &name)
    {
        if (qEnvironmentVariableIsSet("NOOKARY_SCREENSHOTS"))
            m_desk->run(QStringLiteral("import"),
                { QStringLiteral("-window"), QStringLiteral("root"),
                    qEnvironmentVariable("NOOKARY_SCREENSHOTS") + u'/' + name });
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_desk = std::make_unique<TestDesk>();
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
    }

    void aHistoryEntryIsSavedWhereItIsDropped()
    {
        startNookary({ QStringLiteral("one"), QStringLiteral("two") });
        copy("first copy");
        copy("second copy");
        const QPoint origin = openPanel();
        QVERIFY(!origin.isNull());
        screenshot(QStringLiteral("dragdrop-open.png"));
        // History is newest first: row 0 is "second copy".
        drag(historyRow(origin, 0), savedRow(origin, 1));
        QTRY_COMPARE_WITH_TIMEOUT(saved(), (QStringList { "one", "second copy", "two" }), 3000);
        QVERIFY(!panelWindow().isEmpty()); // the panel stays open
        // Below the rows: at the top.
        drag(historyRow(origin, 1), origin + kBelowRows);
        QTRY_COMPARE_WITH_TIMEOUT(
            saved(), (QStringList { "first copy", "one", "second copy", "two" }), 3000);
        screenshot(QStringLiteral("dragdrop-history.png"));
    }

    void aHandleReordersTheSnippets()
    {
        startNookary({ QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") });
        const QPoint origin = openPanel();
        QVERIFY(!origin.isNull());
        drag(savedRow(origin, 2, kHandleX), savedRow(origin, 0), [&] {
            // The list has moved before the release.
            QCOMPARE(saved(), (QStringList { "three", "one", "two" }));
        });
        QTest::qWait(300);
        QCOMPARE(saved(), (QStringList { "three", "one", "two" }));
        screenshot(QStringLiteral("dragdrop-reordered.png"));
    }

    void textFromAnotherProgramIsSaved()
    {
        // Pinned: pressing in the other program takes focus, which closes an unpinned panel.
        startNookary({ QStringLiteral("one") }, kPinned);
        const QPoint origin = openPanel();
        QVERIFY(!origin.isNull());
        QProcess *source = m_desk->spawn(kDragSource, { QStringLiteral("  from elsewhere \n") });
        QVERIFY(source->waitForReadyRead(10000));
        QTest::qWait(300);
        drag(kSourcePoint, origin + kBelowRows);
        QTRY_COMPARE_WITH_TIMEOUT(saved(), (QStringList { "from elsewhere", "one" }), 3000);
        TestDesk::stop(source);

        // Bytes that are not UTF-8 add nothing.
        source = m_desk->spawn(kDragSource,
            { QStringLiteral("--format"), QStringLiteral("text/plain;charset=utf-8"),
                QStringLiteral("--hex"), QStringLiteral("6f6b20ff") });
        QVERIFY(source->waitForReadyRead(10000));
        QTest::qWait(300);
        drag(kSourcePoint, savedRow(origin, 0));
        QByteArray said;
        QTRY_VERIFY2_WITH_TIMEOUT((said += source->readAll()).contains("drag ended: dropped"),
            said.constData(),
            3000); // taken, adding nothing
        QCOMPARE(saved(), (QStringList { "from elsewhere", "one" }));
        TestDesk::stop(source);
    }

    void aCancelledHandleDragLeavesTextDropsWorking()
    {
        startNookary({ QStringLiteral("one"), QStringLiteral("two") }, kPinned);
        const QPoint origin = openPanel();
        QVERIFY(!origin.isNull());
        // Dragged out of the column and cancelled with Escape.
        drag(savedRow(origin, 1, kHandleX), origin + QPoint(kHistoryX, 200), [&] {
            xdotool({ QStringLiteral("key"), QStringLiteral("Escape") });
        });
        QTest::qWait(300);
        if (panelWindow().isEmpty())
            openPanel();
        QCOMPARE(saved(), (QStringList { "one", "two" }));
        QProcess *source = m_desk->spawn(kDragSource, { QStringLiteral("after the cancel") });
        QVERIFY(source->waitForReadyRead(10000));
        QTest::qWait(300);
        drag(kSourcePoint, savedRow(origin, 1));
        QTRY_COMPARE_WITH_TIMEOUT(
            saved(), (QStringList { "one", "after the cancel", "two" }), 3000);
        TestDesk::stop(source);
    }

    void thePopoverTakesADrop()
    {
        startNookary({ QStringLiteral("one"), QStringLiteral("two") },
            "Nookary.openPresentation.v2=menubarPopover\n");
        copy("for the popover");
        xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), trayIcon(),
            QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("click"),
            QStringLiteral("1") });
        const QPoint origin = openPanel();
        QVERIFY(!origin.isNull());
        drag(historyRow(origin, 0), savedRow(origin, 1));
        QTRY_COMPARE_WITH_TIMEOUT(saved(), (QStringList { "one", "for the popover", "two" }), 3000);
        QVERIFY(!panelWindow().isEmpty());
        screenshot(QStringLiteral("dragdrop-popover.png"));
    }

    void theCentredWindowMovesAndResizesByItsHandles()
    {
        startNookary({ QStringLiteral("one") });
        const QPoint origin = openPanel();
        QVERIFY(!origin.isNull());
        const QString window = panelWindow();
        const QRect before = panelGeometry();

        // By the top strip: the window manager moves it, and it stays open and focused.
        drag(origin + kTopStrip, origin + kTopStrip + QPoint(100, 50));
        QTRY_COMPARE_WITH_TIMEOUT(panelGeometry(), before.translated(100, 50), 3000);
        QCOMPARE(panelWindow(), window);
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), window, 3000);

        // A tap on the strip (press and release without motion, as a touchpad sends it)
        // moves nothing: the window does not follow the pointer afterwards.
        const QRect tapped = panelGeometry();
        pointerTo(tapped.topLeft() + kTopStrip);
        QTest::qWait(100);
        xdotool({ QStringLiteral("click"), QStringLiteral("1") });
        QTest::qWait(300);
        pointerTo(tapped.topLeft() + kTopStrip + QPoint(60, 80));
        QTest::qWait(300);
        pointerTo(tapped.topLeft() + kTopStrip + QPoint(-40, 30));
        QTest::qWait(300);
        QCOMPARE(panelGeometry(), tapped);

        // By the grip: the bottom-right corner follows, the top-left corner stays.
        const QRect moved = panelGeometry();
        drag(moved.topLeft() + kGrip, moved.topLeft() + kGrip + QPoint(100, 50));
        QTRY_COMPARE_WITH_TIMEOUT(
            panelGeometry(), QRect(moved.topLeft(), moved.size() + QSize(100, 50)), 3000);
        QCOMPARE(m_desk->activeWindow(), window);
        screenshot(QStringLiteral("dragdrop-moved.png"));

        // The frame is kept: the next opening is where the user left it.
        QTest::qWait(600);
        QCOMPARE(m_desk->nookary({ QStringLiteral("--hide") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 3000);
        openPanel();
        QCOMPARE(panelGeometry(), QRect(moved.topLeft(), moved.size() + QSize(100, 50)));
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
    }
};

QTEST_GUILESS_MAIN(TestDeskDragDrop)
#include "tst_desk_dragdrop.moc"
