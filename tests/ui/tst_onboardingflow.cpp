// SPDX-License-Identifier: GPL-3.0-or-later
// The walkthrough's pages: what they derive from the model, how they react to the shortcut
// and its presses, how they are left, and how the animated cards are found and sized.
#include "ModelFixture.h"
#include "platform/KeyTranslator.h"
#include "ui/ShortcutGuide.h"
#include "ui/onboarding/GIFPreviewView.h"
#include "ui/onboarding/OnboardingAnimatedPreview.h"
#include "ui/onboarding/OnboardingFlowView.h"
#include "ui/onboarding/PracticeSegmentsView.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/recorder/HotkeyRecorderControl.h"
#include "ui/recorder/ShortcutBadge.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

constexpr HotkeyShortcut kCtrlAltK { 40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit };
constexpr HotkeyShortcut kSuperShiftV { 9, HotkeyShortcut::commandBit | HotkeyShortcut::shiftBit };

struct Flow {
    ModelFixture fixture;
    QList<OnboardingDismissReason> dismissals;
    std::unique_ptr<OnboardingFlowView> view;

    const NullKeyTranslator keys;

    explicit Flow(int startStep, const QByteArray &settings = {}, bool canRegisterShortcut = true)
    {
        if (!settings.isEmpty())
            fixture.writeSettingsFile("[General]\n" + settings);
        fixture.start();
        view = std::make_unique<OnboardingFlowView>(
            *fixture.model, keys, startStep,
            [this](OnboardingDismissReason r) { dismissals.append(r); }, canRegisterShortcut);
        view->resize(980, 760);
        view->show();
    }
    AppModel &model() { return *fixture.model; }
    void press(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            view->noteHotkeyPressed();
    }
};

QByteArray ownShortcut(HotkeyShortcut s)
{
    return QStringLiteral("Nookary.hotkey.code.v1=%1\nNookary.hotkey.modifiers.v1=%2\n")
        .arg(s.keyCode)
        .arg(s.modifiers)
        .toLatin1();
}

} // namespace

class TestOnboardingFlow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutGlobalShortcutsThePageExplainsAndLetsTheUserOn()
    {
        // The default shortcut would otherwise block the page until another was practised.
        Flow flow(1, {}, false);
        QVERIFY(!flow.view->recorder());
        QWidget *manual = flow.view->manualBinding();
        QVERIFY(manual && manual->isVisible());
        QVERIFY(flow.view->shortcutCard()->isAncestorOf(manual));
        QVERIFY(!flow.view->segments()->isVisible());
        QVERIFY(!flow.view->statusLabel()->isVisible());
        QStringList texts;
        for (const QLabel *label : manual->findChildren<QLabel *>())
            texts << label->text();
        QVERIFY(texts.contains(OnboardingFlowView::manualBindingCommand));
        // How to bind it in GNOME, KDE Plasma or sway, chosen on the page.
        auto *guide = manual->findChild<ShortcutGuide *>();
        QVERIFY(guide && guide->isVisible());
        guide->desktopChooser()->choose(int(ShortcutGuide::Desktop::sway));
        QVERIFY(guide->commandsView()->toPlainText().contains(QStringLiteral("bindsym")));
        QVERIFY(flow.view->canProceedFromCurrentStep());
        QVERIFY(flow.view->mainButton()->isEnabled());
        flow.view->mainButton()->click();
        QCOMPARE(flow.view->stepIndex(), 2);
        flow.view->goBack();
        QCOMPARE(flow.view->stepIndex(), 1);
        QVERIFY(flow.view->mainButton()->isEnabled());
        QVERIFY(flow.dismissals.isEmpty());

        // Where shortcuts work, the page is as before: no explanation, the recorder.
        Flow usual(1);
        QVERIFY(!usual.view->manualBinding());
        QVERIFY(usual.view->recorder());
        QVERIFY(!usual.view->mainButton()->isEnabled());
    }

    // Tab and Shift+Tab stop only on what shows where it is: on the last page Skip, Back
    // and the main button; on the shortcut page of a desktop that binds the shortcut itself,
    // the desktop chooser, Copy and the commands as well. Alt+Left goes back.
    void tabStopsOnlyWhereFocusShows()
    {
        for (const bool canRegister : { true, false }) {
            Flow flow(OnboardingFlowView::pageCount - 1, {}, canRegister);
            OnboardingFlowView &view = *flow.view;
            view.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&view));
            QTRY_COMPARE(QApplication::focusWidget(), view.mainButton());
            auto stops = [&](Qt::KeyboardModifiers modifiers) {
                QList<QWidget *> seen;
                for (int i = 0; i < 6; ++i) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
                    seen << QApplication::focusWidget();
                }
                return seen;
            };
            const QList<QWidget *> cycle { view.skipButton(), view.backButton(),
                view.mainButton() };
            QCOMPARE(stops(Qt::NoModifier), cycle + cycle);
            const QList<QWidget *> backwards { view.backButton(), view.skipButton(),
                view.mainButton() };
            QCOMPARE(stops(Qt::ShiftModifier), backwards + backwards);

            QTest::keyClick(view.mainButton(), Qt::Key_Left, Qt::AltModifier);
            QCOMPARE(view.stepIndex(), OnboardingFlowView::pageCount - 2);
        }

        Flow manual(OnboardingFlowView::shortcutStep, {}, false);
        OnboardingFlowView &view = *manual.view;
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QTRY_COMPARE(QApplication::focusWidget(), view.mainButton());
        ShortcutGuide *guide = view.shortcutGuide();
        QVERIFY(guide);
        QList<QWidget *> seen;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget();
        }
        QCOMPARE(seen,
            (QList<QWidget *> { view.skipButton(), guide->desktopChooser(), guide->copyButton(),
                guide->commandsView(), view.backButton(), view.mainButton() }));
    }

    void startStepsAreClampedAndStoredWhenShown()
    {
        Flow high(7);
        QCOMPARE(high.view->stepIndex(), 4);
        QCOMPARE(high.view->stepLabel()->text(), QStringLiteral("Step 5 of 5"));
        QCOMPARE(high.view->mainButton()->text(), QStringLiteral("Start using Nookary"));
        QCOMPARE(high.view->progressBar()->value(), 5);
        QCOMPARE(high.model().settings().onboardingLastStep(), 4);

        Flow low(-2);
        QCOMPARE(low.view->stepIndex(), 0);
        QCOMPARE(low.view->stepLabel()->text(), QStringLiteral("Step 1 of 5"));
        QVERIFY(!low.view->backButton()->isEnabled());
        QCOMPARE(low.view->mainButton()->text(), QStringLiteral("Continue"));
        QVERIFY(low.view->preview()->isVisibleTo(low.view.get()));
        QVERIFY(!low.view->shortcutCard()->isVisibleTo(low.view.get()));
    }

    void theDefaultShortcutMustBeReplacedBeforePractising()
    {
        Flow f(1);
        OnboardingFlowView &v = *f.view;
        QVERIFY(v.initialHotkeyShortcut() == HotkeyShortcut::defaultShortcut());
        QVERIFY(v.onboardingTreatAsUnset());
        QVERIFY(!v.hasShortcutForPractice());
        QCOMPARE(v.statusLabel()->text(), QStringLiteral("Pick one you'll actually remember."));
        QVERIFY(!v.mainButton()->isEnabled());
        QVERIFY(!v.segments()->isActive());
        f.press(3);
        QCOMPARE(v.hotkeyPracticeCount(), 0);

        // Choosing the default again is no change at all.
        f.model().settings().setHotkeyShortcut(HotkeyShortcut::defaultShortcut());
        QVERIFY(!v.hasShortcutForPractice());

        // A shortcut of one's own counts as the first press.
        f.model().settings().setHotkeyShortcut(kCtrlAltK);
        QVERIFY(v.didExplicitlySetHotkey());
        QVERIFY(!v.onboardingTreatAsUnset());
        QCOMPARE(v.hotkeyPracticeCount(), 1);
        QCOMPARE(v.statusLabel()->text(), QStringLiteral("1 of 5 completed"));
        QVERIFY(v.segments()->isActive());
        QCOMPARE(v.segments()->filled(), 1);
        f.press(3);
        QCOMPARE(v.statusLabel()->text(), QStringLiteral("4 of 5 completed"));
        QVERIFY(!v.mainButton()->isEnabled());
        const QColor before = v.statusLabel()->palette().color(QPalette::WindowText);
        f.press();
        QCOMPARE(v.statusLabel()->text(), QStringLiteral("Ready"));
        QVERIFY(v.canProceedFromCurrentStep());
        QVERIFY(v.mainButton()->isEnabled());
        QVERIFY(v.statusLabel()->palette().color(QPalette::WindowText) != before); // green
        f.press(4);
        QCOMPARE(v.hotkeyPracticeCount(), 5);

        // Another shortcut starts again at one; going back to the default blocks again.
        f.model().settings().setHotkeyShortcut(kSuperShiftV);
        QCOMPARE(v.hotkeyPracticeCount(), 1);
        f.model().settings().setHotkeyShortcut(HotkeyShortcut::defaultShortcut());
        QVERIFY(!v.didExplicitlySetHotkey());
        QCOMPARE(v.hotkeyPracticeCount(), 0);
        QCOMPARE(v.statusLabel()->text(), QStringLiteral("Pick one you'll actually remember."));
        QVERIFY(!v.mainButton()->isEnabled());
    }

    void theRecorderShowsTheDefaultAsUnsetUntilAnotherIsChosen()
    {
        Flow f(1);
        auto recorder = [&f] { return qobject_cast<HotkeyRecorderControl *>(f.view->recorder()); };
        QVERIFY(recorder());
        QCOMPARE(recorder()->onboardingBadgeText(), QStringLiteral("Not set yet"));
        QCOMPARE(recorder()->onboardingButtonTitle(), QStringLiteral("Choose Shortcut\u2026"));
        f.model().settings().setHotkeyShortcut(kCtrlAltK);
        QTRY_COMPARE(recorder()->onboardingBadgeText(), QStringLiteral("Control + Alt + K"));
        QCOMPARE(recorder()->onboardingButtonTitle(), QStringLiteral("Change\u2026"));

        // A walkthrough closed while recording leaves nothing recording.
        recorder()->start();
        QVERIFY(f.model().isRecordingHotkey());
        f.view->hide();
        QVERIFY(!f.model().isRecordingHotkey());
    }

    void theButtonStaysPutWhileLinesComeAndGoUnderIt()
    {
        // The card centres its contents: a line appearing would move the button under the
        // pointer.
        Flow f(1, ownShortcut(kSuperShiftV));
        QVERIFY(QTest::qWaitForWindowExposed(f.view.get()));
        auto *recorder = qobject_cast<HotkeyRecorderControl *>(f.view->recorder());
        const auto place = [&f, recorder] {
            for (int i = 0; i < 4; ++i)
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            return recorder->button()->mapTo(f.view.get(), QPoint()).y(); // its title changes
        };
        const int resting = place();
        recorder->toggle(); // "Press a new shortcut now"
        QVERIFY(recorder->hint()->isVisible());
        QCOMPARE(place(), resting);
        QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, 0, 0, 0);
        QCoreApplication::sendEvent(f.view->windowHandle(), &copy);
        QVERIFY(recorder->note()->isVisible()); // why Control + C is not taken
        QCOMPARE(place(), resting);
        recorder->toggle();
        f.model().setIsHotkeyUnavailable(true);
        QVERIFY(recorder->note()->isVisible()); // in use by another program
        QCOMPARE(place(), resting);
    }

    void aShortcutOfOnesOwnIsPractisedAtOnce()
    {
        Flow f(1, ownShortcut(kSuperShiftV));
        OnboardingFlowView &v = *f.view;
        QVERIFY(!v.onboardingTreatAsUnset());
        QVERIFY(v.hasShortcutForPractice());
        QCOMPARE(v.statusLabel()->text(), QStringLiteral("0 of 5 completed"));
        f.press(4);
        QVERIFY(!v.mainButton()->isEnabled());
        f.press();
        QVERIFY(v.mainButton()->isEnabled());
        v.proceed();
        QCOMPARE(v.stepIndex(), 2);
        QCOMPARE(f.model().settings().onboardingLastStep(), 2);
    }

    void switchingTheShortcutOffBlocksThePage()
    {
        Flow f(1, ownShortcut(kSuperShiftV));
        f.press(5);
        f.model().settings().setHotkeyShortcut(HotkeyShortcut::off());
        QVERIFY(!f.view->hasShortcutForPractice());
        QCOMPARE(f.view->hotkeyPracticeCount(), 0);
        QVERIFY(!f.view->mainButton()->isEnabled());
        f.press();
        QCOMPARE(f.view->hotkeyPracticeCount(), 0);
    }

    void theAKeyIsAKeyLikeAnyOtherButAMaskWithoutModifiersIsNoShortcut()
    {
        Flow f(1);
        // Control + Alt + A
        f.model().settings().setHotkeyShortcut(
            { 0, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit });
        QVERIFY(f.view->hasShortcutForPractice());
        QCOMPARE(f.view->statusLabel()->text(), QStringLiteral("1 of 5 completed"));
        f.model().settings().setHotkeyShortcut(
            { 49, 0x0001 }); // no named modifier: nothing is grabbed
        QVERIFY(!f.view->hasShortcutForPractice());
        QVERIFY(!f.view->mainButton()->isEnabled());
        // Nor a combination that every program edits with, stored by hand.
        f.model().settings().setHotkeyShortcut({ 0, HotkeyShortcut::controlBit }); // Control + A
        QVERIFY(!f.view->hasShortcutForPractice());
        QVERIFY(!f.view->mainButton()->isEnabled());
    }

    void pressesCountOnlyOnTheShortcutPageAndLeavingItStartsAgain()
    {
        Flow f(0, ownShortcut(kSuperShiftV));
        f.press(3);
        QCOMPARE(f.view->hotkeyPracticeCount(), 0);
        f.view->proceed();
        QCOMPARE(f.view->stepIndex(), 1);
        f.press(3);
        QCOMPARE(f.view->hotkeyPracticeCount(), 3);
        f.view->goBack();
        QCOMPARE(f.view->stepIndex(), 0);
        QCOMPARE(f.view->hotkeyPracticeCount(), 0);
        QCOMPARE(f.model().settings().onboardingLastStep(), 0);
        f.view->proceed();
        QCOMPARE(f.view->statusLabel()->text(), QStringLiteral("0 of 5 completed"));
        f.view->goBack();
        f.view->goBack();
        QCOMPARE(f.view->stepIndex(), 0);
    }

    void skippingAndFinishingReportOnceEachAndNeverClose()
    {
        Flow f(3);
        f.view->skip();
        QCOMPARE(f.dismissals, QList<OnboardingDismissReason> { OnboardingDismissReason::skipped });
        QVERIFY(f.view->isVisible());
        f.view->proceed();
        QCOMPARE(f.view->stepIndex(), 4);
        QCOMPARE(f.dismissals.size(), 1);
        f.view->proceed();
        QCOMPARE(f.dismissals.last(), OnboardingDismissReason::completed);
    }

    void escapeSkipsAndReturnGoesOnExceptWhileRecording()
    {
        Flow f(0);
        QVERIFY(QTest::qWaitForWindowActive(f.view.get()));
        QTest::keyClick(f.view.get(), Qt::Key_Return);
        QCOMPARE(f.view->stepIndex(), 1);
        QTest::keyClick(f.view.get(), Qt::Key_Return); // blocked until practised
        QCOMPARE(f.view->stepIndex(), 1);

        f.view->goBack();
        f.model().setIsRecordingHotkey(true);
        QTest::keyClick(f.view.get(), Qt::Key_Escape);
        QVERIFY(f.dismissals.isEmpty());
        QTest::keyClick(f.view.get(), Qt::Key_Return);
        QCOMPARE(f.view->stepIndex(), 0);

        f.model().setIsRecordingHotkey(false);
        QTest::keyClick(f.view.get(), Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(f.dismissals.isEmpty());
        QTest::keyClick(f.view.get(), Qt::Key_Escape);
        QCOMPARE(f.dismissals, QList<OnboardingDismissReason> { OnboardingDismissReason::skipped });
    }

    void tabFollowsTheLayoutAndReadersHearThePractice()
    {
        Flow f(1, ownShortcut(kSuperShiftV));
        QVERIFY(QTest::qWaitForWindowExposed(f.view.get()));
        auto *recorder = qobject_cast<HotkeyRecorderControl *>(f.view->recorder());
        QAccessibleInterface *badge = QAccessible::queryAccessibleInterface(recorder->badge());
        QCOMPARE(badge->role(), QAccessible::StaticText);
        QCOMPARE(badge->text(QAccessible::Name), recorder->badge()->text());
        f.press(1);
        QAccessibleInterface *practice = QAccessible::queryAccessibleInterface(f.view->segments());
        QCOMPARE(practice->role(), QAccessible::ProgressBar);
        QCOMPARE(practice->valueInterface()->currentValue().toInt(), 1);
        QCOMPARE(practice->valueInterface()->maximumValue().toInt(), 5);
        QCOMPARE(recorder->button()->accessibleDescription(), QStringLiteral("1 of 5 completed"));
        QCOMPARE(
            QAccessible::queryAccessibleInterface(f.view->progressBar())->text(QAccessible::Name),
            QStringLiteral("Step 2 of 5"));

        f.press(4); // the main button takes part once it can be used
        // Every stop of the whole round, and no other: the page area is none while it
        // does not scroll.
        const auto tabStops = [&f] {
            QList<QWidget *> chain { f.view->skipButton() };
            for (QWidget *w = chain.last()->nextInFocusChain(); w != chain.first();
                 w = w->nextInFocusChain()) {
                if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled())
                    chain << w;
            }
            return chain;
        };
        QCOMPARE(tabStops(),
            (QList<QWidget *> { f.view->skipButton(), recorder->button(), f.view->backButton(),
                f.view->mainButton() }));
        // On a small screen the page scrolls, and the keys reach it after Skip, named by
        // the page's title.
        f.view->resize(980, 380);
        QTRY_VERIFY(f.view->pageScroller()->verticalScrollBar()->maximum() > 0);
        QCOMPARE(tabStops(),
            (QList<QWidget *> { f.view->skipButton(), f.view->pageScroller(), recorder->button(),
                f.view->backButton(), f.view->mainButton() }));
        QCOMPARE(
            QAccessible::queryAccessibleInterface(f.view->pageScroller())->text(QAccessible::Name),
            f.view->titleLabel()->text());
        // The focus frame's colour stays on the frame: the page's texts keep theirs.
        for (bool focused : { false, true }) {
            if (focused)
                f.view->pageScroller()->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(f.view->pageScroller()->hasFocus(), focused);
            for (QLabel *label : { f.view->titleLabel(), f.view->subtitleLabel() }) {
                const QColor text = label->palette().color(label->foregroundRole());
                QVERIFY(text.alpha() > 0x80);
                QVERIFY(text.rgb() != f.view->palette().color(QPalette::Window).rgb());
            }
        }
    }

    void everyPageShowsWholeAndTakesTheRoomItIsGiven()
    {
        // Where the title and subtitle take more room than the design allows for (a larger
        // font), the animation gives it up rather than make the page scroll; with room to
        // spare, it grows into it.
        Flow f(0);
        QWidget *area = f.view->pageScroller()->viewport();
        QScrollBar *scroll = f.view->pageScroller()->verticalScrollBar();
        QWidget *preview = f.view->preview();
        auto within = [area](QWidget *part) {
            const QRect shown(part->mapTo(area, QPoint(0, 0)), part->size());
            return area->rect().contains(shown);
        };
        QTRY_COMPARE(scroll->maximum(), 0);
        QVERIFY(within(preview));
        const int designHeight = preview->height();
        QVERIFY(designHeight >= OnboardingFlowView::smallestPreviewHeight);
        f.view->resize(980, 1100);
        QTRY_VERIFY(preview->height() > designHeight);
        QCOMPARE(scroll->maximum(), 0);
        QVERIFY(within(preview));

        // The shortcut page: the card, narrower than a wide window, holds the five practice
        // segments side by side, in a window narrow or wide.
        f.view->proceed();
        for (const QSize size : { QSize(980, 1100), QSize(640, 760), QSize(1400, 760) }) {
            f.view->resize(size);
            QWidget *card = f.view->shortcutCard();
            PracticeSegmentsView *segments = f.view->segments();
            QTRY_COMPARE(scroll->maximum(), 0);
            QVERIFY(within(card));
            QVERIFY(card->width() <= 760);
            const QRect inCard(segments->mapTo(card, QPoint(0, 0)), segments->size());
            QVERIFY(card->rect().contains(inCard));
            QVERIFY(
                segments->segmentWidth() * OnboardingFlowView::practiceGoal <= segments->width());
        }
    }

    void theAnimationsAreCompiledIn()
    {
        for (const auto &page : OnboardingFlowView::pages()) {
            if (page.resourceName.isEmpty())
                continue;
            const auto url = GIFPreviewView::resourceURL(page.resourceName);
            QVERIFY2(url, qPrintable(page.resourceName));
            QVERIFY(GIFPreviewView::aspectRatio(*url));
            QMovie movie(GIFPreviewView::localPath(*url));
            QVERIFY(movie.isValid());
            QVERIFY(movie.frameCount() > 1);
        }
        Flow f(2);
        QVERIFY(f.view->preview()->showsAnimation());
        QCOMPARE(f.view->preview()->gifView()->url().fileName(), QStringLiteral("capture.gif"));
    }

    // The preview card.

    void cardSizes()
    {
        QCOMPARE(OnboardingAnimatedPreview::cardSize(600, 400, 1.6), QSizeF(600, 375));
        QCOMPARE(OnboardingAnimatedPreview::cardSize(1200, 500, std::nullopt), QSizeF(800, 500));
        QCOMPARE(OnboardingAnimatedPreview::cardSize(200, 400, std::nullopt), QSizeF(320, 200));
        QCOMPARE(OnboardingAnimatedPreview::cardSize(2000, 800, 2.0), QSizeF(920, 460));
    }

    void findingTheAnimation()
    {
        auto found = [](const char *name) {
            return GIFPreviewView::resourceURL(QLatin1String(name)).value_or(QUrl());
        };
        QCOMPARE(found("welcome"), QUrl(QStringLiteral("qrc:/Onboarding/welcome.gif")));
        QCOMPARE(found("broken"), QUrl(QStringLiteral("qrc:/broken.gif"))); // the top level first
        QCOMPARE(found("tiny"), QUrl(QStringLiteral("qrc:/Resources/Onboarding/tiny.gif")));
        QVERIFY(!GIFPreviewView::resourceURL(QStringLiteral("Welcome")));
        QVERIFY(!GIFPreviewView::resourceURL(QStringLiteral("nothing")));
        QCOMPARE(
            GIFPreviewView::aspectRatio(QUrl(QStringLiteral("qrc:/Resources/Onboarding/tiny.gif")))
                .value_or(0),
            2.0);
        QVERIFY(!GIFPreviewView::aspectRatio(QUrl(QStringLiteral("qrc:/broken.gif"))));
        QVERIFY(!GIFPreviewView::aspectRatio(QUrl::fromLocalFile(QStringLiteral("/no/such.gif"))));
    }

    void aMissingAnimationShowsTheStillCard()
    {
        OnboardingAnimatedPreview preview;
        preview.resize(1200, 500);
        preview.setPreferredHeight(500);
        preview.setContent({ QStringLiteral("nothing"), QStringLiteral("checkmark.circle"),
            QStringLiteral("All set"), QStringLiteral("Open it any time") });
        preview.show();
        QVERIFY(!preview.showsAnimation());
        QVERIFY(preview.fallbackTitleLabel()->isVisible());
        QCOMPARE(preview.fallbackTitleLabel()->text(), QStringLiteral("All set"));
        QCOMPARE(preview.fallbackCaptionLabel()->text(), QStringLiteral("Open it any time"));
        QCOMPARE(preview.cardGeometry().size(), QSize(800, 500));
        QCOMPARE(preview.cardGeometry().center().x(), QRect(0, 0, 1200, 500).center().x());
    }

    void anUndecodableAnimationLeavesAnEmptyCard()
    {
        OnboardingAnimatedPreview preview;
        preview.resize(600, 400);
        preview.setPreferredHeight(400);
        preview.setContent({ QStringLiteral("broken"), QStringLiteral("checkmark.circle"),
            QStringLiteral("T"), {} });
        preview.show();
        QVERIFY(preview.showsAnimation());
        QVERIFY(preview.gifView()->currentMovie() == nullptr
            || !preview.gifView()->currentMovie()->isValid());
        QCOMPARE(preview.cardGeometry().size(), QSize(600, 375)); // the ratio of no ratio
        QVERIFY(!preview.grab().isNull()); // paints without an image
    }

    void anAnimationIsLoadedOnceAndScaledToItsCard()
    {
        OnboardingAnimatedPreview preview;
        preview.resize(600, 400);
        preview.setPreferredHeight(400);
        const OnboardingAnimatedPreview::Content tiny { QStringLiteral("tiny"), {}, {}, {} };
        preview.setContent(tiny);
        preview.show();
        GIFPreviewView *gif = preview.gifView();
        QMovie *movie = gif->currentMovie();
        QVERIFY(movie && movie->isValid());
        QCOMPARE(movie->cacheMode(), QMovie::CacheNone);
        QCOMPARE(preview.cardGeometry().size(), QSize(600, 300));
        QCOMPARE(gif->size(), QSize(584, 284));
        QCOMPARE(movie->scaledSize(), QSize(568, 284) * gif->devicePixelRatioF());
        QTRY_COMPARE(movie->state(), QMovie::Running);

        preview.setContent(tiny);
        preview.resize(700, 400);
        QCOMPARE(gif->loadCount(), 1);
        QCOMPARE(gif->currentMovie(), movie);
        preview.setContent({ QStringLiteral("welcome"), {}, {}, {} });
        QCOMPARE(gif->loadCount(), 2);
        preview.setContent({ QStringLiteral("welcome"), {}, {}, {} });
        QCOMPARE(gif->loadCount(), 2);

        preview.hide(); // nobody looks: no frames decoded
        QCOMPARE(gif->currentMovie()->state(), QMovie::Paused);
    }
};

QTEST_MAIN(TestOnboardingFlow)
#include "tst_onboardingflow.moc"
