// SPDX-License-Identifier: GPL-3.0-or-later
// Two monitors on one X screen, as xrandr splits Xvfb's: the centred window opens on the
// monitor under the pointer, and a frame remembered on a monitor that is gone opens on one
// that is there.
#include "TestDesk.h"

#include <QRegularExpression>
#include <QtTest>

using namespace nookary::test;

namespace {

const QRect kLeft(0, 0, 1280, 800);
const QRect kRight(1280, 0, 1280, 800);

} // namespace

class TestDeskMonitors : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QString xrandr(const QStringList &arguments)
    {
        return m_desk->output(QStringLiteral("xrandr"), arguments);
    }

    // The left monitor shows the screen's one output; the right one, when there, none.
    void setMonitors(bool right)
    {
        for (const char *name : { "LEFT", "RIGHT", "screen" })
            m_desk->run(QStringLiteral("xrandr"),
                { QStringLiteral("--delmonitor"), QString::fromLatin1(name) });
        xrandr({ QStringLiteral("--setmonitor"), QStringLiteral("LEFT"),
            QStringLiteral("1280/338x800/211+0+0"), QStringLiteral("screen") });
        if (right)
            xrandr({ QStringLiteral("--setmonitor"), QStringLiteral("RIGHT"),
                QStringLiteral("1280/338x800/211+1280+0"), QStringLiteral("none") });
        QCOMPARE(xrandr({ QStringLiteral("--listmonitors") }).count(QStringLiteral("/338x800/")),
            right ? 2 : 1);
    }

    void startNookary(const QByteArray &settings)
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = m_desk->startNookary({ .settings = settings });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
    }

    QString panelWindow() { return m_desk->panelWindow(); }

    QRect geometry(const QString &window)
    {
        const QString shell = m_desk->xdotool(
            { QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window });
        auto field = [&](const char *name) {
            static const QRegularExpression any(QStringLiteral("(\\w+)=(-?\\d+)"));
            for (auto it = any.globalMatch(shell); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                if (m.captured(1) == QLatin1String(name))
                    return m.captured(2).toInt();
            }
            return -1;
        };
        return { field("X"), field("Y"), field("WIDTH"), field("HEIGHT") };
    }

    // Opens the panel with the pointer at `pointer` and gives the window's frame.
    QRect openWithPointerAt(QPoint pointer)
    {
        m_desk->xdotool({ QStringLiteral("mousemove"), QString::number(pointer.x()),
            QString::number(pointer.y()) });
        m_desk->nookary({ QStringLiteral("--show") });
        if (!QTest::qWaitFor([this] { return !panelWindow().isEmpty(); }, 5000))
            return {};
        QTest::qWait(300); // the second placement, on the next turn
        return geometry(panelWindow());
    }

    void close()
    {
        m_desk->nookary({ QStringLiteral("--hide") });
        QTRY_VERIFY_WITH_TIMEOUT(panelWindow().isEmpty(), 5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        TestDesk::Options options;
        options.panel = false; // no strut: each monitor's visible area is all of it
        options.screen = QStringLiteral("2560x800x24");
        m_desk = std::make_unique<TestDesk>(options);
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
    }

    void cleanupTestCase()
    {
        TestDesk::stop(m_nookary);
        m_nookary = nullptr;
        m_desk.reset();
    }

    void opensCentredOnTheMonitorUnderThePointer_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("monitor");
        QTest::newRow("right") << QPoint(2300, 700) << kRight;
        QTest::newRow("left") << QPoint(100, 100) << kLeft;
    }

    void opensCentredOnTheMonitorUnderThePointer()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QRect, monitor);
        setMonitors(true);
        startNookary({}); // nothing remembered
        const QRect frame = openWithPointerAt(pointer);
        QVERIFY2(monitor.contains(frame),
            qPrintable(QStringLiteral("at %1,%2 %3x%4")
                           .arg(frame.x())
                           .arg(frame.y())
                           .arg(frame.width())
                           .arg(frame.height())));
        QVERIFY(qAbs(frame.center().x() - monitor.center().x()) <= 2);
        QVERIFY(qAbs(frame.center().y() - monitor.center().y()) <= 2);
        close();
    }

    void aFrameOnAMonitorThatIsGoneOpensOnOneThatIsThere()
    {
        const QByteArray onTheRight = "Nookary.centeredWindow.posX.v1=1900\n"
                                      "Nookary.centeredWindow.posY.v1=200\n"
                                      "Nookary.centeredWindow.width.v1=600\n"
                                      "Nookary.centeredWindow.height.v1=420\n";
        setMonitors(true);
        startNookary(onTheRight);
        QCOMPARE(openWithPointerAt(QPoint(100, 100)), QRect(1900, 200, 600, 420));
        close();

        setMonitors(false);
        startNookary(onTheRight);
        const QRect frame = openWithPointerAt(QPoint(100, 100));
        QVERIFY2(kLeft.contains(frame),
            qPrintable(QStringLiteral("at %1,%2 %3x%4")
                           .arg(frame.x())
                           .arg(frame.y())
                           .arg(frame.width())
                           .arg(frame.height())));
        QCOMPARE(frame.size(), QSize(600, 420));
        close();
        setMonitors(true);
    }
};

QTEST_GUILESS_MAIN(TestDeskMonitors)
#include "tst_desk_monitors.moc"
