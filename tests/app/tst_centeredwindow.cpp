// SPDX-License-Identifier: GPL-3.0-or-later
#include "ManualClock.h"
#include "ManualQuietTimer.h"
#include "RecordingPreferencesStore.h"
#include "app/NookaryCenteredWindow.h"
#include "app/WindowPlacement.h"
#include "platform/MainQueue.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "ui/NookaryPanel.h"
#include "ui/panel/PanelWidgets.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;

namespace {

const QSizeF kMinimum(560, 380);
const QRectF kLaptop(0, 25, 1440, 875); // visible area below a top bar

struct Window {
    ManualQuietTimer *quiet = nullptr;
    QTemporaryDir dir;
    std::unique_ptr<RecordingPreferencesStore> store;
    std::unique_ptr<NookaryCenteredWindow> window;
    int closes = 0;
    ManualClock clock;

    explicit Window(const QByteArray &settings = {}, SessionCapabilities session = {})
    {
        const QString path = dir.filePath(QStringLiteral("Nookary.conf"));
        if (!settings.isEmpty()) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write("[General]\n" + settings);
        }
        store = std::make_unique<RecordingPreferencesStore>(
            std::make_unique<SettingsPreferencesStore>(path));
        window = std::make_unique<NookaryCenteredWindow>(*store, new QWidget, clock, session);
        QObject::connect(window.get(), &NookaryCenteredWindow::closed, [this] { ++closes; });
        auto timer = std::make_unique<ManualQuietTimer>();
        quiet = timer.get();
        window->setMoveResizeTimer(std::move(timer));
    }
    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    void deactivate()
    {
        QEvent event(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(window->panel(), &event);
    }
    double stored(const char *key) const { return store->real(QString::fromLatin1(key)); }
};

} // namespace

class TestCenteredWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savedSizeIsRaisedThenCut()
    {
        using WindowPlacement::savedSize;
        QCOMPARE(savedSize(std::nullopt, 400.0, kMinimum, kLaptop), std::nullopt);
        QCOMPARE(savedSize(300.0, 200.0, kMinimum, kLaptop), QSizeF(560, 380));
        QCOMPARE(savedSize(5000.0, 600.0, kMinimum, kLaptop), QSizeF(1440, 600));
        QCOMPARE(savedSize(700.0, 500.0, kMinimum, QRectF(0, 0, 500, 300)),
            QSizeF(500, 300)); // the cut wins
        QCOMPARE(savedSize(0.0, 500.0, kMinimum, kLaptop), std::nullopt);
        QCOMPARE(savedSize(-700.0, 500.0, kMinimum, kLaptop), std::nullopt);
        QCOMPARE(savedSize(std::nan(""), 500.0, kMinimum, kLaptop), std::nullopt);
        QCOMPARE(savedSize(1e300, 1e300, kMinimum, kLaptop), QSizeF(1440, 875));
        QCOMPARE(savedSize(700.0, 500.0, kMinimum, std::nullopt), QSizeF(700, 500));
    }

    void savedOriginStaysOnAScreen()
    {
        using WindowPlacement::savedOrigin;
        const QRectF second(1440, 0, 1920, 1080);
        const QList<QRectF> screens { kLaptop, second };
        const QSizeF size(600, 400);
        QCOMPARE(savedOrigin(100.0, 100.0, size, screens, kLaptop), QPointF(100, 100));
        QCOMPARE(savedOrigin(2000.0, 900.0, size, screens, kLaptop),
            QPointF(2000, 680)); // kept on the second
        QCOMPARE(
            savedOrigin(-5000.0, 300.0, size, screens, kLaptop), QPointF(0, 300)); // on no screen
        QCOMPARE(savedOrigin(100.0, -3.0, size, screens, kLaptop),
            QPointF(100, 25)); // under the top bar
        // Larger than the screen: right-aligned, and the top edge stays visible.
        QCOMPARE(
            savedOrigin(100.0, 100.0, QSizeF(2000, 1000), { kLaptop }, kLaptop), QPointF(-560, 25));
        QCOMPARE(
            savedOrigin(100.0, 600.0, QSizeF(600, 1000), { kLaptop }, kLaptop), QPointF(100, 25));
        QCOMPARE(savedOrigin(std::nullopt, 100.0, size, screens, kLaptop), std::nullopt);
        QCOMPARE(savedOrigin(std::nan(""), 100.0, size, screens, kLaptop), std::nullopt);
        QCOMPARE(savedOrigin(100.0, 100.0, size, {}, std::nullopt), std::nullopt);
        QCOMPARE(WindowPlacement::centred(kLaptop, QSizeF(560, 380)), QPointF(440, 272.5));
    }

    void thePopoverHangsFromTheTray()
    {
        using WindowPlacement::popoverOrigin;
        const QRect screen(0, 0, 1280, 800);
        const QSize size(560, 380);
        QCOMPARE(
            popoverOrigin(QRect(600, 0, 22, 22), size, screen, {}), QPoint(330, 26)); // top bar
        QCOMPARE(popoverOrigin(QRect(600, 778, 22, 22), size, screen, {}),
            QPoint(330, 394)); // bottom bar
        QCOMPARE(popoverOrigin(QRect(1260, 0, 20, 20), size, screen, {}),
            QPoint(720, 24)); // kept on screen
        QCOMPARE(popoverOrigin(QRect(), size, screen, QPoint(100, 100)),
            QPoint(0, 105)); // at the pointer
    }

    void firstUseOpensAtTheMinimumSizeCentred()
    {
        Window w;
        w.window->showCenteredAndActivate();
        const QRect frame = w.window->panel()->geometry();
        QCOMPARE(frame.size(), QSize(560, 380));
        QCOMPARE(frame.center(), w.available().center());
        w.window->panel()->hide();
    }

    void theRememberedFrameIsUsedAndRepaired_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QRect>("expected"); // on the offscreen screen; width -1 = centred minimum
        QTest::newRow("remembered") << QByteArray(
            "Nookary.centeredWindow.posX.v1=20\nNookary.centeredWindow.posY.v1=30\n"
            "Nookary.centeredWindow.width.v1=600\nNookary.centeredWindow.height.v1=400\n")
                                    << QRect(20, 30, 600, 400);
        QTest::newRow("legacy keys") << QByteArray(
            "Velmic.centeredWindow.posX.v1=20\nVelmic.centeredWindow.posY.v1=30\n"
            "Velmic.centeredWindow.width.v1=600\nVelmic.centeredWindow.height.v1=400\n")
                                     << QRect(20, 30, 600, 400);
        QTest::newRow("too small") << QByteArray(
            "Nookary.centeredWindow.posX.v1=0\nNookary.centeredWindow.posY.v1=0\n"
            "Nookary.centeredWindow.width.v1=300\nNookary.centeredWindow.height.v1=200\n")
                                   << QRect(0, 0, 560, 380);
        QTest::newRow("absurd") << QByteArray(
            "Nookary.centeredWindow.posX.v1=nan\nNookary.centeredWindow.posY.v1=-1e308\n"
            "Nookary.centeredWindow.width.v1=-5\nNookary.centeredWindow.height.v1=banana\n")
                                << QRect(-1, -1, -1, -1);
    }

    void theRememberedFrameIsUsedAndRepaired()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QRect, expected);
        Window w(settings);
        w.window->showCenteredAndActivate();
        const QRect frame = w.window->panel()->geometry();
        const QRect available = w.available();
        QVERIFY(available.contains(frame) || frame.size() == available.size());
        if (expected.width() < 0) {
            QCOMPARE(frame.size(), QSize(560, 380));
        } else {
            QCOMPARE(frame.size(), expected.size().boundedTo(available.size()));
            QCOMPARE(frame.topLeft(), expected.topLeft());
        }
        // The legacy values were taken over.
        if (settings.startsWith("Velmic"))
            QCOMPARE(w.stored("Nookary.centeredWindow.width.v1"), 600.0);
        w.window->panel()->hide();
    }

    // A frame written at another scale (the display's scale changed since) would open the
    // panel far from where the user left it, or fill the screen from its corner: the panel
    // opens as on first use instead. The offscreen screen has one device pixel per
    // coordinate.
    void aFrameOfAnotherScaleOpensAsOnFirstUse()
    {
        const QByteArray frame(
            "Nookary.centeredWindow.posX.v1=300\nNookary.centeredWindow.posY.v1=200\n"
            "Nookary.centeredWindow.width.v1=5000\nNookary.centeredWindow.height.v1=5000\n");
        Window other(frame + "Nookary.centeredWindow.scale.v1=2\n");
        other.window->showCenteredAndActivate();
        QCOMPARE(other.window->panel()->size(), QSize(560, 380));
        QCOMPARE(other.window->panel()->geometry().center(), other.available().center());
        other.window->close();
        QCOMPARE(other.stored("Nookary.centeredWindow.scale.v1"), 1.0);

        // The same frame written at this scale, or before the scale was kept, is used.
        for (const QByteArray &scale :
            { QByteArray("Nookary.centeredWindow.scale.v1=1\n"), QByteArray() }) {
            Window same(frame + scale);
            same.window->showCenteredAndActivate();
            QCOMPARE(same.window->panel()->geometry(), same.available());
            same.window->panel()->hide();
        }
    }

    void whereTheCompositorPlacesWindowsOnlyTheSizeIsRemembered()
    {
        // A frame stored on X11, then the same settings on Wayland, where every window
        // reads (0, 0): the size is used, the position is left alone.
        Window w("Nookary.centeredWindow.posX.v1=20\nNookary.centeredWindow.posY.v1=30\n"
                 "Nookary.centeredWindow.width.v1=600\nNookary.centeredWindow.height.v1=400\n",
            SessionCapabilities { .placesWindows = false });
        w.window->showCenteredAndActivate();
        QCOMPARE(w.window->panel()->size(), QSize(600, 400));
        QCoreApplication::processEvents();
        w.quiet->fire();
        w.store->resetCounts();

        // A tiling compositor gives the window a size of its own: not the user's to keep.
        w.window->panel()->setGeometry(0, 0, 1276, 773);
        QCoreApplication::processEvents();
        w.quiet->fire();
        QCOMPARE(w.store->totalWrites(), 0);

        // The user resizes it with a handle: that size is kept, the position is not written.
        w.window->panel()->noteResizeStarted();
        w.window->panel()->setGeometry(0, 0, 700, 450);
        QCoreApplication::processEvents();
        w.quiet->fire();
        QCOMPARE(w.stored("Nookary.centeredWindow.width.v1"), 700.0);
        QCOMPARE(w.stored("Nookary.centeredWindow.height.v1"), 450.0);
        // A move by the drag strip changes no size and writes nothing.
        w.store->resetCounts();
        w.window->panel()->noteResizeStarted();
        QCoreApplication::processEvents();
        w.quiet->fire();
        w.window->close();
        QCOMPARE(w.store->totalWrites(), 0);
        QCOMPARE(w.stored("Nookary.centeredWindow.posX.v1"), 20.0);
        QCOMPARE(w.stored("Nookary.centeredWindow.posY.v1"), 30.0);

        // Shown again, it takes the size the user left it at.
        w.window->showCenteredAndActivate();
        QCOMPARE(w.window->panel()->size(), QSize(700, 450));
        w.window->panel()->hide();
    }

    void losingFocusClosesAfterTheGraceUnlessPinned()
    {
        Window w;
        w.window->showCenteredAndActivate();
        w.clock.advance(50ms);
        w.deactivate();
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.closes, 0);

        w.window->setClosesOnDeactivation(false); // pinned
        w.clock.advance(200ms);
        w.deactivate();
        w.window->handleApplicationDeactivated();
        QVERIFY(w.window->isVisible());

        w.window->setClosesOnDeactivation(true);
        w.window->panel()->move(40, 50);
        w.store->resetCounts();
        w.deactivate();
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.closes, 1);
        QCOMPARE(w.store->writes(QStringLiteral("Nookary.centeredWindow.posX.v1")), 1);
        QCOMPARE(w.stored("Nookary.centeredWindow.posX.v1"), 40.0);
        QCOMPARE(w.stored("Nookary.centeredWindow.posY.v1"), 50.0);

        // Hidden: neither another loss of focus nor a move does anything.
        w.store->resetCounts();
        w.deactivate();
        w.window->panel()->move(60, 60);
        QCoreApplication::processEvents();
        QCOMPARE(w.closes, 1);
        QCOMPARE(w.store->totalWrites(), 0);
    }

    void aMoveOrResizeIsRememberedWhenItEnds()
    {
        Window w;
        w.window->showCenteredAndActivate();
        QCoreApplication::processEvents();
        w.quiet->fire(); // placing it when shown is not the user's move
        w.store->resetCounts();
        QSignalSpy ended(w.window.get(), &NookaryCenteredWindow::moveOrResizeEnded);

        // A drag: many steps, no write while it goes on.
        for (int step = 0; step < 20; ++step) {
            w.window->panel()->move(10 + step, 20);
            QCoreApplication::processEvents();
        }
        w.window->panel()->resize(700, 450);
        QCoreApplication::processEvents();
        QCOMPARE(w.store->totalWrites(), 0);
        QVERIFY(w.quiet->isActive());

        // It ends: one write of the final frame.
        w.quiet->fire();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(w.store->writes(QStringLiteral("Nookary.centeredWindow.posX.v1")), 1);
        QCOMPARE(w.store->writes(QStringLiteral("Nookary.centeredWindow.width.v1")), 1);
        QCOMPARE(w.stored("Nookary.centeredWindow.posX.v1"), 29.0);
        QCOMPARE(w.stored("Nookary.centeredWindow.width.v1"), 700.0);
        QCOMPARE(w.stored("Nookary.centeredWindow.height.v1"), 450.0);
        QCOMPARE(
            w.stored("Nookary.centeredWindow.scale.v1"), w.window->panel()->devicePixelRatioF());

        // Closed in the middle of a move: the close writes it, and nothing more comes after.
        w.store->resetCounts();
        w.window->panel()->move(40, 40);
        QCoreApplication::processEvents();
        w.clock.advance(1s);
        w.deactivate();
        QCOMPARE(w.stored("Nookary.centeredWindow.posX.v1"), 40.0);
        QCOMPARE(w.store->writes(QStringLiteral("Nookary.centeredWindow.posX.v1")), 1);
        QVERIFY(!w.quiet->isActive());

        // Moving while hidden writes nothing.
        w.store->resetCounts();
        w.window->panel()->move(60, 60);
        QCoreApplication::processEvents();
        QVERIFY(!w.quiet->isActive());
        QCOMPARE(w.store->totalWrites(), 0);
    }

    void theHandlesMoveAndResizeOnlyThePanel()
    {
        NookaryPanel panel;
        auto *strip = new WindowDragHandle(&panel);
        strip->setGeometry(0, 0, 200, 14);
        auto *grip = new WindowResizeHandle(&panel);
        grip->move(500, 350);
        panel.setGeometry(100, 120, 600, 400);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy started(&panel, &NookaryPanel::moveOrResizeStarted);
        const auto mouse = [](QWidget *target, QEvent::Type type, QPoint global,
                               Qt::MouseButtons buttons) {
            QCursor::setPos(global);
            QMouseEvent event(type, target->mapFromGlobal(QPointF(global)), QPointF(global),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &event);
        };

        // The grip: the bottom-right corner follows the pointer, from the frame and pointer
        // at the press; the top-left corner stays; never below the minimum size.
        const QPoint press = grip->mapToGlobal(QPoint(5, 5));
        mouse(grip, QEvent::MouseButtonPress, press, Qt::LeftButton);
        QCOMPARE(started.size(), 1);
        mouse(grip, QEvent::MouseMove, press + QPoint(30, 10), Qt::LeftButton);
        mouse(grip, QEvent::MouseMove, press + QPoint(100, 50), Qt::LeftButton);
        QTRY_COMPARE(panel.geometry(), QRect(100, 120, 700, 450));
        mouse(grip, QEvent::MouseMove, press - QPoint(1000, 1000), Qt::LeftButton);
        QTRY_COMPARE(panel.geometry(), QRect(QPoint(100, 120), panel.minimumSize()));
        mouse(grip, QEvent::MouseButtonRelease, press, Qt::NoButton);

        // A strip, with no window manager to move it (as here): moved by hand, keeping the
        // pointer where it pressed.
        panel.setGeometry(100, 120, 600, 400);
        QTRY_COMPARE(panel.pos(), QPoint(100, 120));
        const QPoint grab = strip->mapToGlobal(QPoint(50, 5));
        mouse(strip, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        QCOMPARE(started.size(), 2);
        mouse(strip, QEvent::MouseMove, grab + QPoint(30, 20), Qt::LeftButton);
        QTRY_COMPARE(panel.pos(), QPoint(130, 140));
        mouse(strip, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::NoButton);
        mouse(strip, QEvent::MouseMove, grab + QPoint(90, 90), Qt::NoButton);
        QCOMPARE(panel.pos(), QPoint(130, 140));

        // In any other window (the popover) neither moves anything.
        QWidget popover;
        auto *otherStrip = new WindowDragHandle(&popover);
        otherStrip->setGeometry(0, 0, 200, 14);
        auto *otherGrip = new WindowResizeHandle(&popover);
        otherGrip->move(100, 100);
        popover.setGeometry(300, 300, 300, 200);
        popover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popover));
        const QPoint at = otherStrip->mapToGlobal(QPoint(5, 5));
        mouse(otherStrip, QEvent::MouseButtonPress, at, Qt::LeftButton);
        mouse(otherStrip, QEvent::MouseMove, at + QPoint(40, 40), Qt::LeftButton);
        const QPoint corner = otherGrip->mapToGlobal(QPoint(5, 5));
        mouse(otherGrip, QEvent::MouseButtonPress, corner, Qt::LeftButton);
        mouse(otherGrip, QEvent::MouseMove, corner + QPoint(40, 40), Qt::LeftButton);
        QCOMPARE(popover.geometry(), QRect(300, 300, 300, 200));
    }

    void aPressOnAHandleLeavesTheSearchFieldFocused()
    {
        // Typing after moving, resizing or dragging a row must still reach the search field:
        // a press on a part that takes no focus must not hand it to the panel itself.
        NookaryPanel panel;
        auto *search = new QLineEdit(&panel);
        search->setGeometry(10, 20, 200, 24);
        auto *strip = new WindowDragHandle(&panel);
        strip->setGeometry(0, 0, 200, 14);
        auto *grip = new WindowResizeHandle(&panel);
        grip->move(500, 350);
        auto *background = new QWidget(&panel);
        background->setGeometry(300, 100, 100, 100);
        panel.setGeometry(100, 120, 600, 400);
        panel.show();
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        search->setFocus();
        QTRY_VERIFY(search->hasFocus());
        for (QWidget *target : { static_cast<QWidget *>(grip), background }) {
            QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            QVERIFY2(search->hasFocus(), qPrintable(target->metaObject()->className()));
        }
    }

    void movingByAHandleKeepsTheWindowOpen()
    {
        Window w;
        w.window->showCenteredAndActivate();
        QCoreApplication::processEvents();
        w.quiet->fire();
        w.clock.advance(1s);

        // The window manager takes the pointer and the keyboard at the press on a strip,
        // which reads as a loss of focus before the first Move arrives.
        Q_EMIT w.window->panel()->moveOrResizeStarted();
        QVERIFY(w.window->isMovingOrResizing());
        QVERIFY(w.quiet->isActive());
        w.deactivate();
        w.window->handleApplicationDeactivated();
        w.window->panel()->move(80, 90);
        QCoreApplication::processEvents();
        w.deactivate();
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.closes, 0);

        // Once its events stop, the frame is stored and a loss of focus closes again.
        w.quiet->fire();
        QVERIFY(!w.window->isMovingOrResizing());
        QCOMPARE(w.stored("Nookary.centeredWindow.posX.v1"), 80.0);
        w.deactivate();
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.closes, 1);

        // A move cut short by a close leaves nothing under way for the next opening.
        w.window->showCenteredAndActivate();
        QCoreApplication::processEvents();
        Q_EMIT w.window->panel()->moveOrResizeStarted();
        w.window->close();
        QVERIFY(!w.window->isMovingOrResizing());
    }
};

QTEST_MAIN(TestCenteredWindow)
#include "tst_centeredwindow.moc"
