// SPDX-License-Identifier: GPL-3.0-or-later
// The walkthrough's window: its size on the screen it appears on, and exactly one result
// however the walkthrough ends.
#include "ModelFixture.h"
#include "platform/KeyTranslator.h"
#include "ui/onboarding/GIFPreviewView.h"
#include "ui/onboarding/OnboardingAnimatedPreview.h"
#include "ui/onboarding/OnboardingFlowView.h"
#include "ui/onboarding/OnboardingWindowController.h"
#include "ui/recorder/HotkeyRecorderControl.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

using Result = OnboardingWindowController::Result;

namespace {

struct Window {
    ModelFixture fixture;
    QList<Result> results;
    std::unique_ptr<OnboardingWindowController> controller;

    const NullKeyTranslator keys;

    explicit Window(int startStep = 0)
    {
        fixture.start();
        controller = std::make_unique<OnboardingWindowController>(
            *fixture.model, keys, startStep, [this](Result r) { results.append(r); });
        controller->showWindow();
    }
};

} // namespace

class TestOnboardingWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizesOnALargeScreen()
    {
        const auto s = OnboardingWindowController::adaptiveSizing(QRect(0, 25, 1440, 875));
        QCOMPARE(s.content, QSize(980, 819));
        QCOMPARE(s.minimum, QSize(760, 620));
        QCOMPARE(s.maximum, QSize(1180, 819));
        QVERIFY(s.frame);
        QCOMPARE(s.frame->size(), s.content);
        QCOMPARE(s.frame->center(), QRect(0, 25, 1440, 875).center());
    }

    void sizesOnASmallScreen()
    {
        const auto s = OnboardingWindowController::adaptiveSizing(QRect(1920, 0, 800, 600));
        QCOMPARE(s.content, QSize(744, 544));
        QCOMPARE(s.minimum, QSize(744, 544));
        QCOMPARE(s.maximum, QSize(744, 544));
        QVERIFY(QRect(1920, 0, 800, 600).contains(*s.frame));
    }

    void sizesWithoutAnyScreen()
    {
        const auto s = OnboardingWindowController::adaptiveSizing(std::nullopt);
        QCOMPARE(s.content, QSize(980, 840));
        QCOMPARE(s.minimum, QSize(760, 620));
        QCOMPARE(s.maximum, QSize(1180, 900));
        QVERIFY(!s.frame);
    }

    void theWindowIsSizedToItsScreenAndIsAnOrdinaryWindow()
    {
        Window w;
        QWidget *window = w.controller->window();
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const auto s = OnboardingWindowController::adaptiveSizing(available);
        QCOMPARE(window->size(), s.content);
        QCOMPARE(window->minimumSize(), window->maximumSize()); // not resizable by the user
        QCOMPARE(window->windowTitle(), QStringLiteral("Nookary Onboarding"));
        QVERIFY(!(window->windowFlags() & (Qt::Tool | Qt::Popup) & ~Qt::Window));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.controller->isWindowVisible());
        window->showMinimized();
        QTRY_VERIFY(!w.controller->isWindowVisible());
        w.controller->showWindow();
        QTRY_VERIFY(w.controller->isWindowVisible());
    }

    // The smallest screen the walkthrough must fit: 1440 by 900 at twice the scale. On
    // every page the footer's buttons are whole and the title is not cut; what takes focus
    // on a page too tall for the window is scrolled into view.
    void everyPageFitsASmallScreen()
    {
        Window w;
        QWidget *window = w.controller->window();
        window->setFixedSize(
            OnboardingWindowController::adaptiveSizing(QRect(0, 0, 720, 450)).content);
        QVERIFY(QTest::qWaitForWindowActive(window));
        OnboardingFlowView &v = *w.controller->flowView();
        const auto whole = [window](QWidget *widget) {
            const QRect inWindow(widget->mapTo(window, QPoint(0, 0)), widget->size());
            return widget->isVisible() && window->rect().contains(inWindow)
                && widget->visibleRegion().boundingRect() == widget->rect();
        };
        const auto checkPage = [&] {
            QCoreApplication::processEvents(); // the new page laid out
            QVERIFY(whole(v.mainButton()));
            QVERIFY(whole(v.skipButton()));
            QVERIFY(whole(v.backButton()));
            QLabel *title = v.titleLabel();
            QTRY_VERIFY2(title->height() >= title->heightForWidth(title->width()),
                qPrintable(v.stepText()
                    + QStringLiteral(": %1 px of %2, %3 wide")
                          .arg(title->height())
                          .arg(title->heightForWidth(title->width()))
                          .arg(title->width())));
        };
        checkPage();
        QVERIFY(whole(v.titleLabel()));
        v.mainButton()->click();
        QCOMPARE(v.stepIndex(), 1);
        checkPage();
        auto *recorder = qobject_cast<HotkeyRecorderControl *>(v.recorder());
        QTRY_VERIFY(recorder->button()->hasFocus());
        QTRY_VERIFY(whole(recorder->button()));
        w.fixture.model->settings().setHotkeyShortcut(
            { 40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit });
        for (int press = 1; press < OnboardingFlowView::practiceGoal; ++press)
            v.noteHotkeyPressed();
        checkPage();
        QVERIFY(v.mainButton()->isEnabled());
        for (int page = 2; page < OnboardingFlowView::pageCount; ++page) {
            v.mainButton()->click();
            QCOMPARE(v.stepIndex(), page);
            checkPage();
            QVERIFY(whole(v.titleLabel())); // each page starts at its top
        }
    }

    void skippingReportsOnceThenCloses()
    {
        Window w(2);
        w.controller->flowView()->skipButton()->click();
        QCOMPARE(w.results, QList<Result> { Result::skipped });
        QVERIFY(!w.controller->window()->isVisible());
        QVERIFY(w.controller->didEmitResult());
        w.controller->close();
        w.controller->emitResult(Result::completed);
        QCOMPARE(w.results.size(), 1);
    }

    void finishingReportsCompleted()
    {
        Window w(4);
        w.controller->flowView()->mainButton()->click();
        QCOMPARE(w.results, QList<Result> { Result::completed });
        QVERIFY(!w.controller->window()->isVisible());
    }

    void closingTheWindowReportsClosed()
    {
        Window w(1);
        w.controller->window()->close();
        QCOMPARE(w.results, QList<Result> { Result::closed });
        w.controller->flowView()->skip();
        QCOMPARE(w.results.size(), 1);
        // The page reached stays, unfinished.
        QCOMPARE(w.fixture.model->settings().onboardingLastStep(), 1);
        QCOMPARE(w.fixture.model->settings().onboardingCompletedVersion(), 0);
    }

    void aControllerMarkedDoneReportsNothingWhenClosed()
    {
        Window w;
        w.controller->setDidEmitResult(true);
        w.controller->close();
        QVERIFY(w.results.isEmpty());
    }

    void aDismissAfterTheControllerIsGoneDoesNothing()
    {
        Window w;
        OnboardingFlowView *view = w.controller->flowView();
        QPointer<QWidget> window = w.controller->window();
        // The view outlives its controller only if someone holds it: take it out first.
        view->setParent(nullptr);
        w.controller.reset();
        QVERIFY(!window); // the window goes with its controller
        view->skip();
        QVERIFY(w.results.isEmpty());
        delete view;
    }

    void aClosedWalkthroughLeavesNoAnimationBehind()
    {
        Window w;
        QPointer<QMovie> movie = w.controller->flowView()->preview()->gifView()->currentMovie();
        QVERIFY(movie);
        w.controller->close();
        w.controller.reset();
        QVERIFY(!movie);
    }
};

QTEST_MAIN(TestOnboardingWindow)
#include "tst_onboardingwindow.moc"
