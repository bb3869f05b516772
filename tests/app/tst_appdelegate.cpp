// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeShellServices.h"
#include "ManualClock.h"
#include "MemoryPasteboard.h"
#include "app/AppDelegate.h"
#include "app/FocusHandBack.h"
#include "app/NookaryCenteredWindow.h"
#include "app/PanelPresenter.h"
#include "app/PopoverWindow.h"
#include "model/AppModel.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "ui/NookaryPanel.h"
#include "ui/ShortcutGuide.h"
#include "ui/onboarding/OnboardingFlowView.h"
#include "ui/onboarding/OnboardingWindowController.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/preferences/PreferencesView.h"
#include "ui/preferences/PreferencesWindowController.h"
#include "ui/recorder/HotkeyRecorderControl.h"
#include "ui/recorder/ShortcutBadge.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

const RunningApplication kEditor { 0x1234, 77 };
const RunningApplication kBrowser { 0x5678, 88 };

struct Shell {
    QTemporaryDir dir;
    // Times what the shell delays (the hand-back of focus, the grace after showing); it
    // outlives the delegate.
    ManualClock clock;
    FakeWorkspace *workspace = nullptr;
    FakeStatusItem *statusItem = nullptr;
    MemoryPasteboard *pasteboard = nullptr;
    FakeGlobalHotkeyService *hotkeys = nullptr;
    PreferencesStore *store = nullptr;
    std::unique_ptr<AppDelegate> delegate;

    // A Wayland session without the portal's global shortcuts.
    struct Wayland { };

    explicit Shell(bool fromLogin = true, const QByteArray &settings = {})
        : Shell(fromLogin, settings, {}, true)
    {
    }
    Shell(Wayland, const QByteArray &settings)
        : Shell(true, settings,
            SessionCapabilities { .placesWindows = false, .activatesWindows = false }, false)
    {
    }
    Shell(bool fromLogin, const QByteArray &settings, SessionCapabilities session,
        bool globalShortcuts)
    {
        const QString path = dir.filePath(QStringLiteral("Nookary.conf"));
        if (!settings.isEmpty()) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write("[General]\n" + settings);
        }
        PlatformServices services;
        services.preferences = std::make_unique<SettingsPreferencesStore>(path);
        store = services.preferences.get();
        auto board = std::make_unique<MemoryPasteboard>();
        pasteboard = board.get();
        services.pasteboard = std::move(board);
        auto ws = std::make_unique<FakeWorkspace>();
        workspace = ws.get();
        services.workspace = std::move(ws);
        auto item = std::make_unique<FakeStatusItem>();
        statusItem = item.get();
        services.statusItem = std::move(item);
        auto shortcuts = std::make_unique<FakeGlobalHotkeyService>();
        hotkeys = shortcuts.get();
        hotkeys->available = globalShortcuts;
        services.hotkeys = std::move(shortcuts);
        services.session = session;
        workspace->frontmost = kEditor;
        delegate = std::make_unique<AppDelegate>(std::move(services), fromLogin, clock);
        delegate->start();
    }
    AppModel &model() { return delegate->model(); }
    void copy(const QString &text)
    {
        pasteboard->copyText(text);
        model().clipboardHistory().poll();
    }
    void openAndWait()
    {
        delegate->showUI();
        QTRY_VERIFY(delegate->isPanelOpen());
    }
    // Lets `time` pass on the shell's clock, once what is posted for this turn has run.
    void pass(std::chrono::milliseconds time)
    {
        QCoreApplication::processEvents();
        clock.advance(time);
    }
    void passHandBackDelay() { pass(FocusHandBack::delay); }
    void passShowGrace() { pass(NookaryCenteredWindow::showGrace); }
    // Long past anything the shell would still do.
    void passLong() { pass(std::chrono::seconds(5)); }
};

} // namespace

class TestAppDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aStartAtLoginShowsNothingAndAManualStartShowsThePanel()
    {
        Shell quiet(true);
        QTest::qWait(50);
        QVERIFY(!quiet.delegate->isPanelOpen());

        Shell manual(false, "Nookary.onboarding.completedVersion.v1=1\n");
        QVERIFY(!manual.delegate->isPanelOpen()); // on the next turn, not during launch
        QTRY_VERIFY(manual.delegate->isPanelOpen());
        QVERIFY(manual.delegate->centeredWindow());
    }

    void aStartAtLoginPreparesTheFirstOpeningUnseen()
    {
        {
            Shell s(true);
            s.pass(PanelPresenter::prepareAfterStart);
            QTRY_VERIFY(s.delegate->centeredWindow());
            NookaryPanel *panel = s.delegate->centeredWindow()->panel();
            QTRY_VERIFY(panel->testAttribute(Qt::WA_WState_Created));
            QTest::qWait(50);
            QVERIFY(!panel->isVisible());
            QVERIFY(!s.delegate->isPanelOpen());
            QVERIFY(s.workspace->activated.isEmpty());
            // Placing the hidden window is not the user moving it: no frame is stored.
            QFile file(s.dir.filePath(QStringLiteral("Nookary.conf")));
            QVERIFY(!file.open(QIODevice::ReadOnly)
                || !file.readAll().contains("Nookary.centeredWindow."));

            s.openAndWait();
            QCOMPARE(s.delegate->centeredWindow()->panel(), panel);
            QTRY_VERIFY(panel->isActiveWindow());
        }
        {
            Shell s(true, "Nookary.openPresentation.v2=menubarPopover\n");
            s.pass(PanelPresenter::prepareAfterStart);
            QTRY_VERIFY(s.delegate->popover()->testAttribute(Qt::WA_WState_Created));
            QTest::qWait(50);
            QVERIFY(!s.delegate->centeredWindow());
            QVERIFY(!s.delegate->popover()->isVisible());
            s.openAndWait();
            QVERIFY(s.delegate->popover()->findChild<PanelView *>());
        }
    }

    void closingHandsFocusBackOnceAfterAMoment()
    {
        Shell s;
        s.openAndWait();
        QCOMPARE(s.delegate->previousApp(), kEditor);
        s.model().panelState().setQuery(QStringLiteral("abc"));
        s.delegate->closeUI();
        QVERIFY(!s.delegate->isPanelOpen());
        QCOMPARE(s.model().panelState().query(), QString());
        s.pass(FocusHandBack::delay - std::chrono::milliseconds(1));
        QVERIFY(s.workspace->activated.isEmpty()); // 0.03 s later, not at once
        s.pass(std::chrono::milliseconds(1));
        QCOMPARE(s.workspace->activated, QList<RunningApplication> { kEditor });
        QVERIFY(!s.delegate->previousApp());

        // Nothing open and nothing remembered: nothing happens.
        s.delegate->closeUI();
        s.passLong();
        QCOMPARE(s.workspace->activated.size(), 1);
    }

    // Hidden and shown again before the window system says anything, the window is still
    // the one Qt holds focused: it must still count as active, with the search field focused.
    void aQuickCloseAndReopenKeepsTheSearchFieldFocused()
    {
        Shell s;
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        QTRY_VERIFY(panel->isActiveWindow());
        auto *search = panel->findChild<QLineEdit *>();
        QTRY_COMPARE(QApplication::focusWidget(), search);
        s.delegate->closeUI();
        s.delegate->showUI();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QTRY_VERIFY(panel->isActiveWindow());
        QTRY_COMPARE(QApplication::focusWidget(), search);
    }

    // Pinned, the user went on typing elsewhere; closing it then leaves the keyboard there.
    void closingAPinnedWindowBehindAnotherLeavesTheKeyboardAlone()
    {
        Shell s(true, "Nookary.keepWindowPinned.v1=true\n");
        s.openAndWait();
        QTRY_VERIFY(s.delegate->centeredWindow()->panel()->isActiveWindow());
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        s.workspace->frontmost = kBrowser;
        s.delegate->closeUI();
        s.passLong();
        QVERIFY(s.workspace->activated.isEmpty());
    }

    void openingAgainWhileInFrontKeepsWhereToGoBack()
    {
        Shell s;
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        s.workspace->frontmost = RunningApplication { quint64(panel->winId()), 0 };
        s.delegate->showUI(); // a second start, say, while the panel is in front
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QCOMPARE(s.delegate->previousApp(), kEditor);
        s.delegate->closeUI();
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated, QList<RunningApplication> { kEditor });
    }

    void aQuickReopenCancelsThePendingHandBack()
    {
        Shell s;
        s.openAndWait();
        s.delegate->closeUI();
        QVERIFY(s.delegate->isFocusRestorePending());
        s.delegate->showUI();
        QVERIFY(!s.delegate->isFocusRestorePending());
        QTRY_VERIFY(s.delegate->isPanelOpen());
        s.passLong();
        QVERIFY(s.workspace->activated.isEmpty());
    }

    void theOneShotFlagSkipsOneHandBack()
    {
        Shell s;
        s.openAndWait();
        s.delegate->suppressFinalizeAfterUICloseOnce();
        s.delegate->closeUI();
        QVERIFY(!s.delegate->isFinalizeAfterUICloseSuppressed());
        s.passLong();
        QVERIFY(s.workspace->activated.isEmpty());

        // closeUI with nothing open still hands back what the last opening remembered.
        s.openAndWait();
        s.delegate->centeredWindow()->panel()->hide();
        s.delegate->closeUI();
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated.size(), 1);
    }

    void copyBackWritesFilesAsFiles()
    {
        Shell s;
        s.delegate->copyToClipboard(QStringLiteral("FILE:///tmp/report.pdf"));
        QCOMPARE(s.pasteboard->clipboard().fileURLs, QStringList { "file:///tmp/report.pdf" });

        s.delegate->copyToClipboard(QStringLiteral("file://not a url"));
        QVERIFY(s.pasteboard->clipboard().fileURLs.isEmpty());
        QCOMPARE(s.pasteboard->clipboard().text, QStringLiteral("file://not a url"));

        // The watcher does not record the program's own write.
        QVERIFY(s.model().clipboardHistory().items().isEmpty());
    }

    void theHistoryCommandWritesEachEntryAsQtsJsonWould()
    {
        // The reply is written by hand, for speed on huge entries: it must stay what
        // QJsonDocument writes, whatever the text holds.
        Shell s;
        const QString loneSurrogate
            = QStringLiteral("lone ") + QChar(0xd83d) + QStringLiteral(" high");
        for (const QString &text : { QStringLiteral("\"quoted\" back\\slash\ttab\nline\r\b\f"),
                 QStringLiteral("controls \x01\x1f and DEL \x7f and \u0085"),
                 QStringLiteral("Gr\u00fc\u00dfe \u6f22\u5b57 \U0001F600 \u200e\u202e end"),
                 loneSurrogate, QString(300000, u'q') })
            s.copy(text);
        QCOMPARE(s.model().clipboardHistory().items().size(), 5);
        QByteArray expected;
        for (const auto &entry : s.model().clipboardHistory().items()) {
            const QJsonObject object { { QLatin1String("id"),
                                           entry.id.toString(QUuid::WithoutBraces).toUpper() },
                { QLatin1String("text"), entry.text } };
            expected += QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
        }
        QCOMPARE(s.delegate->handleInstanceRequest(InstanceChannel::Request::history), expected);
    }

    void returnCopiesAndClosesUnlessPinned()
    {
        Shell s;
        s.copy(QStringLiteral("older"));
        s.copy(QStringLiteral("newer"));
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        s.model().panelState().selectHistory(s.model().clipboardHistory().items().at(1).id);
        QTest::keyClick(panel->windowHandle(), Qt::Key_Return);
        QCOMPARE(s.pasteboard->contents().text, QStringLiteral("older"));
        QVERIFY(!s.delegate->isPanelOpen());
        QCOMPARE(s.model().clipboardHistory().items().first().text, QStringLiteral("older"));
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated.size(), 1);

        // Pinned: stays open, and the search field has the keys again.
        s.model().settings().setKeepWindowPinned(true);
        s.openAndWait();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QLineEdit *search = panel->findChild<PanelView *>()->searchField();
        QTRY_COMPARE(panel->focusWidget(), search); // the opening's own
        panel->setFocus(); // elsewhere, but not on one of the view's controls
        QCOMPARE(panel->focusWidget(), panel);
        s.model().panelState().selectHistory(s.model().clipboardHistory().items().at(1).id);
        QTest::keyClick(panel->windowHandle(), Qt::Key_Return);
        QCOMPARE(s.pasteboard->contents().text, QStringLiteral("newer"));
        QVERIFY(s.delegate->isPanelOpen());
        QTRY_COMPARE(panel->focusWidget(), search);
        QVERIFY(!s.delegate->centeredWindow()->closesOnDeactivation());

        // Escape closes it, pinned or not.
        QTest::keyClick(panel->windowHandle(), Qt::Key_Escape);
        QVERIFY(!s.delegate->isPanelOpen());
    }

    void thePinnedWindowSurvivesLosingFocus()
    {
        Shell s;
        s.openAndWait();
        NookaryCenteredWindow *window = s.delegate->centeredWindow();
        s.passShowGrace();
        s.model().settings().setKeepWindowPinned(true);
        window->handleApplicationDeactivated();
        QVERIFY(s.delegate->isPanelOpen());
        s.model().settings().setKeepWindowPinned(false);
        QVERIFY(window->closesOnDeactivation());
        // The user went to another window: the panel closes, and focus stays where the user
        // put it rather than going back to the editor.
        s.workspace->frontmost = kBrowser;
        window->handleApplicationDeactivated();
        QVERIFY(!s.delegate->isPanelOpen());
        s.passLong();
        QVERIFY(s.workspace->activated.isEmpty());
        QVERIFY(!s.delegate->previousApp());

        // Focus lost to nobody (the desktop, say): it goes back.
        s.workspace->frontmost = kEditor;
        s.openAndWait();
        s.passShowGrace();
        s.workspace->frontmost.reset();
        window->handleApplicationDeactivated();
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated, QList<RunningApplication> { kEditor });
    }

    void aQuickReopenTakesOverTheCancelledHandBack()
    {
        Shell s;
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        s.delegate->closeUI();
        QVERIFY(s.delegate->isFocusRestorePending());
        // The window manager still reports the hidden panel as active.
        s.workspace->frontmost = RunningApplication { quint64(panel->winId()), 0 };
        s.delegate->showUI();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QCOMPARE(s.delegate->previousApp(), kEditor);
        s.delegate->closeUI();
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated, QList<RunningApplication> { kEditor });
    }

    void aDraftSurvivesThePopoverClosingByTheShortcut()
    {
        Shell s(true, "Nookary.openPresentation.v2=menubarPopover\n");
        s.model().addShelfFromDrop(QStringLiteral("old text"));
        s.delegate->hotkeyPressed();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        s.model().savedSnippets().startEditing(s.model().savedSnippets().items().first().id);
        auto *editor = s.delegate->popover()->findChild<QPlainTextEdit *>();
        QVERIFY(editor);
        editor->setPlainText(QStringLiteral("typed draft"));
        s.delegate->hotkeyPressed();
        QVERIFY(!s.delegate->isPanelOpen());
        QCOMPARE(s.model().savedSnippets().items().first().text, QStringLiteral("typed draft"));
        QVERIFY(s.model().savedSnippets().editingID().isNull());

        // The same through the centred window closed by the command line.
        Shell c;
        c.model().addShelfFromDrop(QStringLiteral("old text"));
        c.openAndWait();
        c.model().savedSnippets().startEditing(c.model().savedSnippets().items().first().id);
        c.delegate->centeredWindow()->panel()->findChild<QPlainTextEdit *>()->setPlainText(
            QStringLiteral("another"));
        c.delegate->handleInstanceRequest(InstanceChannel::Request::hide);
        QCOMPARE(c.model().savedSnippets().items().first().text, QStringLiteral("another"));
    }

    void clicksInThePopoversTextControlsKeepTheEditGoing()
    {
        Shell s(true, "Nookary.openPresentation.v2=menubarPopover\n");
        s.model().addShelfFromDrop(QStringLiteral("snippet"));
        s.openAndWait();
        PopoverWindow *popover = s.delegate->popover();
        QVERIFY(QTest::qWaitForWindowExposed(popover));
        QTest::qWait(50);
        s.model().savedSnippets().startEditing(s.model().savedSnippets().items().first().id);
        QTRY_VERIFY(qobject_cast<QPlainTextEdit *>(QApplication::focusWidget()));
        auto *editor = qobject_cast<QPlainTextEdit *>(QApplication::focusWidget());
        editor->setPlainText(QStringLiteral("edited in the popover"));
        QTest::qWait(50);
        QVERIFY(!QApplication::activeWindow()); // a popup is not the active window

        QTest::mouseClick(
            popover->windowHandle(), Qt::LeftButton, {}, editor->mapTo(popover, QPoint(5, 5)));
        QTest::qWait(20);
        QVERIFY(!s.model().savedSnippets().editingID().isNull());
        QCOMPARE(QApplication::focusWidget(), editor);

        // A click in the search field moves the typing there, and the edit commits.
        auto *search = popover->findChild<QLineEdit *>();
        QTest::mouseClick(
            popover->windowHandle(), Qt::LeftButton, {}, search->mapTo(popover, QPoint(5, 5)));
        QTRY_VERIFY(s.model().savedSnippets().editingID().isNull());
        QCOMPARE(s.model().savedSnippets().items().first().text,
            QStringLiteral("edited in the popover"));
        QTest::qWait(20);
        QCOMPARE(QApplication::focusWidget(), search);
    }

    void keysForAnotherOfOurWindowsLeaveThePanelAlone()
    {
        // Pinned, so that the other window taking focus cannot close the panel however slow
        // the machine: only the keys are under test.
        Shell s(true, "Nookary.keepWindowPinned.v1=true\n");
        s.copy(QStringLiteral("entry"));
        s.openAndWait();
        QWidget menuLike; // the search field's context menu, the tray menu
        menuLike.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menuLike));
        const qint64 changes = s.pasteboard->changeCount();
        QTest::keyClick(menuLike.windowHandle(), Qt::Key_Escape);
        QTest::keyClick(menuLike.windowHandle(), Qt::Key_Return);
        QVERIFY(s.delegate->isPanelOpen());
        QCOMPARE(s.pasteboard->changeCount(), changes); // nothing was copied
        QTest::keyClick(s.delegate->centeredWindow()->panel()->windowHandle(), Qt::Key_Escape);
        QVERIFY(!s.delegate->isPanelOpen());
    }

    // In the popover the first popup holds the keyboard and the pointer, so a context menu
    // opened inside it gets its keys and presses through the popover's window: they are the
    // menu's, not the panel's.
    void aMenuOverThePopoverKeepsItsKeysAndClicks()
    {
        Shell s(true, "Nookary.openPresentation.v2=menubarPopover\n");
        s.copy(QStringLiteral("older"));
        s.copy(QStringLiteral("newer"));
        s.model().addShelfFromDrop(QStringLiteral("snippet"));
        s.openAndWait();
        PopoverWindow *popover = s.delegate->popover();
        QVERIFY(QTest::qWaitForWindowExposed(popover));
        QTest::qWait(50);
        QWindow *popoverWindow = popover->windowHandle();
        auto *search = popover->findChild<QLineEdit *>();

        QMenu menu;
        QAction *first = menu.addAction(QStringLiteral("First"));
        menu.addAction(QStringLiteral("Second"));
        auto openMenu = [&](QWidget *over) {
            menu.popup(over->mapToGlobal(QPoint(10, 10)));
            QTRY_COMPARE(QApplication::activePopupWidget(), &menu);
        };

        openMenu(search);
        const auto selected = std::make_pair(
            s.model().panelState().selectedColumn(), s.model().panelState().selectedHistoryID());
        QTest::keyClick(popoverWindow, Qt::Key_Down);
        QCOMPARE(std::make_pair(s.model().panelState().selectedColumn(),
                     s.model().panelState().selectedHistoryID()),
            selected);
        QVERIFY(menu.activeAction());
        QTest::keyClick(popoverWindow, Qt::Key_Escape);
        QTRY_VERIFY(!menu.isVisible());
        QVERIFY(s.delegate->isPanelOpen());

        openMenu(search);
        menu.setActiveAction(first);
        const qint64 changes = s.pasteboard->changeCount();
        QTest::keyClick(popoverWindow, Qt::Key_Return);
        QTRY_VERIFY(!menu.isVisible());
        QVERIFY(s.delegate->isPanelOpen());
        QCOMPARE(s.pasteboard->changeCount(), changes); // nothing was copied

        // The snippet editor's menu: Escape closes the menu and keeps the typing.
        s.model().savedSnippets().startEditing(s.model().savedSnippets().items().first().id);
        QTRY_VERIFY(qobject_cast<QPlainTextEdit *>(QApplication::focusWidget()));
        auto *editor = qobject_cast<QPlainTextEdit *>(QApplication::focusWidget());
        editor->insertPlainText(QStringLiteral("W"));
        openMenu(editor);
        QTest::keyClick(popoverWindow, Qt::Key_Escape);
        QTRY_VERIFY(!menu.isVisible());
        QVERIFY(!s.model().savedSnippets().editingID().isNull());

        // Choosing an entry with the mouse (Paste, say) keeps the edit going too.
        connect(first, &QAction::triggered, editor,
            [editor] { editor->insertPlainText(QStringLiteral(" pasted")); });
        openMenu(editor);
        const QPoint onFirst = menu.mapToGlobal(menu.actionGeometry(first).center());
        QTest::mouseClick(popoverWindow, Qt::LeftButton, {}, popover->mapFromGlobal(onFirst));
        QTRY_VERIFY(!menu.isVisible());
        QTest::qWait(20);
        QVERIFY(!s.model().savedSnippets().editingID().isNull());
        QCOMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(editor->toPlainText(), QStringLiteral("snippetW pasted"));
        s.delegate->closeUI();
        QCOMPARE(s.model().savedSnippets().items().first().text, QStringLiteral("snippetW pasted"));
    }

    // Qt eats the click that closes a popup: the window it landed in gets the focus the
    // click would have given it, instead of the window the popover opened over.
    void aClickOutsideThePopoverGivesFocusToTheWindowClicked()
    {
        Shell s(true, "Nookary.openPresentation.v2=menubarPopover\n");
        s.workspace->windows = { { QRect(800, 600, 300, 200), kBrowser } };
        s.openAndWait();
        PopoverWindow *popover = s.delegate->popover();
        QVERIFY(QTest::qWaitForWindowExposed(popover));
        QTest::mousePress(
            popover->windowHandle(), Qt::LeftButton, {}, popover->mapFromGlobal(QPoint(900, 700)));
        QVERIFY(!s.delegate->isPanelOpen());
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated, QList<RunningApplication> { kBrowser });

        // A click on nothing the user could focus (the desktop) hands focus back.
        s.openAndWait();
        QVERIFY(QTest::qWaitForWindowExposed(popover));
        QTest::mousePress(
            popover->windowHandle(), Qt::LeftButton, {}, popover->mapFromGlobal(QPoint(5, 5)));
        QVERIFY(!s.delegate->isPanelOpen());
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated, (QList<RunningApplication> { kBrowser, kEditor }));
    }

    // Pinned, the user fetches text from another application and clicks back into the
    // snippet editor: becoming active again leaves the typing there.
    void comingBackToAPinnedWindowKeepsTheEditorFocused()
    {
        Shell s;
        s.model().settings().setKeepWindowPinned(true);
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        panel->activateWindow();
        QTRY_VERIFY(panel->isActiveWindow());
        QTest::qWait(100);
        s.model().savedSnippets().addAndEdit(); // "Add a snippet…": an empty one, being edited
        QTRY_VERIFY(qobject_cast<QPlainTextEdit *>(QApplication::focusWidget()));
        auto *editor = qobject_cast<QPlainTextEdit *>(QApplication::focusWidget());

        QWidget other; // another application's window, as far as the panel can tell
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        other.activateWindow();
        QTRY_VERIFY(!panel->isActiveWindow());
        panel->activateWindow();
        QTRY_VERIFY(panel->isActiveWindow());
        QTest::qWait(50);
        QVERIFY(s.delegate->isPanelOpen());
        QVERIFY(!s.model().savedSnippets().editingID().isNull());
        QCOMPARE(s.model().savedSnippets().items().size(), 1);
        QCOMPARE(QApplication::focusWidget(), editor);
    }

    // Our own About box taking focus from the panel is another window taking it: the close
    // does not hand focus back over it.
    void aboutFromTheTrayMenuKeepsTheFocus()
    {
        Shell s;
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        s.passShowGrace();
        s.statusItem->openMenu()->actions().at(7)->trigger();
        QMessageBox *about = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(top); box && box->isVisible())
                about = box;
        }
        QVERIFY(about);
        // The window manager has not reported the box active yet: the panel still shows so.
        s.workspace->frontmost = RunningApplication { quint64(panel->winId()), 0 };
        QTRY_VERIFY(!s.delegate->isPanelOpen());
        s.passLong();
        QVERIFY(s.workspace->activated.isEmpty());

        // Once it is reported active, a panel closing by losing focus to it leaves it so.
        s.workspace->frontmost = kEditor;
        s.openAndWait();
        s.passShowGrace();
        s.workspace->frontmost = RunningApplication { quint64(about->winId()), 0 };
        s.delegate->centeredWindow()->handleApplicationDeactivated();
        QVERIFY(!s.delegate->isPanelOpen());
        s.passLong();
        QVERIFY(s.workspace->activated.isEmpty());
        about->close();
    }

    void thePopoverPresentation()
    {
        Shell s(true, "Nookary.openPresentation.v2=menubarPopover\n");
        s.statusItem->place = QRect(300, 0, 22, 22);
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QVERIFY(s.delegate->popover()->isVisible());
        QVERIFY(!s.delegate->centeredWindow());
        // Under the icon, centred on it.
        QCOMPARE(s.delegate->popover()->y(), 26);
        QCOMPARE(s.delegate->popover()->x() + 280, 310);

        s.statusItem->click();
        QVERIFY(!s.delegate->isPanelOpen());
        s.passHandBackDelay();
        QCOMPARE(s.workspace->activated.size(), 1);

        // Each opening starts with a fresh panel view.
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QWidget *first = s.delegate->popover()->content();
        s.delegate->closeUI();
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QVERIFY(s.delegate->popover()->content() != first);

        // A click outside closes the popover (Qt closes popups so); when that click was on
        // the tray icon, it does not open the popover again.
        PopoverWindow *popover = s.delegate->popover();
        auto pressAt = [popover](QPoint global, Qt::MouseButton button = Qt::LeftButton) {
            QTest::mousePress(popover->windowHandle(), button, {}, popover->mapFromGlobal(global));
        };
        // The popover holds the pointer: presses on the icon reach it first. The second
        // press of a double-click whose click opened it, and a right click, which opens
        // the icon's menu over it, leave it open.
        pressAt(QPoint(310, 10));
        QVERIFY(s.delegate->isPanelOpen());
        pressAt(QPoint(310, 10), Qt::RightButton);
        QVERIFY(s.delegate->isPanelOpen());
        QCOMPARE(s.statusItem->menusPoppedUp, QList<QPoint> { QPoint(310, 10) });
        s.pass(
            std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval()));
        pressAt(QPoint(310, 10)); // the tray icon
        QVERIFY(!s.delegate->isPanelOpen());
        s.statusItem->click();
        QTest::qWait(20);
        QVERIFY(!s.delegate->isPanelOpen());
        s.statusItem->click(); // the next click is the user's
        QTRY_VERIFY(s.delegate->isPanelOpen());

        // Closed by a press elsewhere: a quick tray click right after opens it again.
        QTest::qWait(50);
        pressAt(QPoint(900, 700));
        QVERIFY(!s.delegate->isPanelOpen());
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
    }

    void whereTheCompositorPlacesWindowsThePopoverBecomesTheCentredWindow()
    {
        Shell s(Shell::Wayland {}, "Nookary.openPresentation.v2=menubarPopover\n");
        s.statusItem->place = QRect(); // what Qt's tray tells on Wayland
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QVERIFY(!s.delegate->popover()->isVisible());
        QVERIFY(s.delegate->centeredWindow());
        QVERIFY(s.delegate->centeredWindow()->isVisible());
        // It behaves as the popover would: never pinned, so losing focus closes it.
        QVERIFY(s.delegate->centeredWindow()->closesOnDeactivation());
        s.delegate->closeUI();
        QVERIFY(!s.delegate->isPanelOpen());
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QVERIFY(!s.delegate->popover()->isVisible());
        s.delegate->closeUI();
    }

    void withoutGlobalShortcutsTheWalkthroughAndSettingsTellWhatToDo()
    {
        Shell s(Shell::Wayland {}, "Nookary.onboarding.lastStep.v1=1\n");
        s.delegate->presentOnboarding(1, false, false);
        QTRY_VERIFY(s.delegate->onboarding());
        OnboardingFlowView *flow = s.delegate->onboarding()->flowView();
        QVERIFY(flow->manualBinding());
        QVERIFY(!flow->recorder());
        QVERIFY(flow->mainButton()->isEnabled());
        // "Copy" puts the shown commands on the clipboard as Nookary's own write: the
        // history does not take them in, and a copy made after it is recorded as usual.
        s.copy(QStringLiteral("earlier"));
        auto copyAndCheck = [&](ShortcutGuide *guide, ShortcutGuide::Desktop desktop) {
            guide->showDesktop(desktop);
            guide->copyButton()->click();
            QCOMPARE(s.pasteboard->contents().text, ShortcutGuide::commandsFor(desktop));
            QVERIFY(s.pasteboard->isOwnChange());
            s.model().clipboardHistory().poll();
            QCOMPARE(s.model().clipboardHistory().items().size(), 1);
            QCOMPARE(s.model().clipboardHistory().items().first().text, QStringLiteral("earlier"));
        };
        copyAndCheck(flow->shortcutGuide(), ShortcutGuide::Desktop::sway);
        flow->proceed();
        QCOMPARE(flow->stepIndex(), 2);
        s.delegate->onboarding()->close();

        s.delegate->openPreferences();
        QTRY_VERIFY(s.delegate->preferences() && s.delegate->preferences()->isVisible());
        PreferencesView *view = s.delegate->preferences()->view();
        QVERIFY(!view->shortcutRecorder());
        QVERIFY(view->manualShortcutLabel());
        QVERIFY(view->manualShortcutLabel()->text().contains(QStringLiteral("Nookary --toggle")));
        copyAndCheck(view->shortcutGuide(), ShortcutGuide::Desktop::gnome);
        s.copy(QStringLiteral("later"));
        QCOMPARE(s.model().clipboardHistory().items().first().text, QStringLiteral("later"));
        s.delegate->preferences()->window()->hide();
    }

    void aFirstManualStartOpensTheWalkthroughOnThePageReached()
    {
        {
            Shell s(false, "Nookary.onboarding.lastStep.v1=7\n");
            QVERIFY(!s.delegate->onboarding()); // on the next turn
            QTRY_VERIFY(s.delegate->onboarding());
            QVERIFY(s.delegate->onboarding()->isWindowVisible());
            QCOMPARE(s.delegate->onboarding()->flowView()->stepIndex(), 4);
            QTest::qWait(50);
            QVERIFY(!s.delegate->isPanelOpen());
        }
        {
            Shell s(false, "Nookary.onboarding.lastStep.v1=-3\n");
            QTRY_VERIFY(s.delegate->onboarding());
            QCOMPARE(s.delegate->onboarding()->flowView()->stepIndex(), 0);
        }
        Shell quiet(true);
        QTest::qWait(50);
        QVERIFY(!quiet.delegate->onboarding());
    }

    void whileTheWalkthroughShowsTheShortcutCountsAndReopenWaits()
    {
        Shell s(false,
            "Nookary.onboarding.lastStep.v1=1\nNookary.hotkey.code.v1=9\nNookary.hotkey.modifiers."
            "v1=768\n");
        QTRY_VERIFY(s.delegate->onboarding());
        OnboardingWindowController *wc = s.delegate->onboarding();
        QTRY_VERIFY(wc->isWindowVisible());
        for (int i = 0; i < 3; ++i)
            s.delegate->hotkeyPressed();
        QCOMPARE(wc->flowView()->hotkeyPracticeCount(), 3);
        s.delegate->reopen();
        QTest::qWait(50);
        QVERIFY(!s.delegate->isPanelOpen());

        // Minimised, it is out of sight: the shortcut and a re-open open the panel again.
        wc->window()->showMinimized();
        QTRY_VERIFY(!wc->isWindowVisible());
        s.delegate->hotkeyPressed();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QCOMPARE(wc->flowView()->hotkeyPracticeCount(), 3);

        // Asking for it again brings the same walkthrough back and closes the panel.
        s.delegate->presentOnboarding(0, true, false);
        QCOMPARE(s.delegate->onboarding(), wc);
        QTRY_VERIFY(wc->isWindowVisible());
        QVERIFY(!s.delegate->isPanelOpen());
    }

    void skippingOrFinishingMarksItDoneAndOpensThePanel()
    {
        Shell s(false, "Nookary.onboarding.lastStep.v1=2\n");
        QTRY_VERIFY(s.delegate->onboarding());
        QPointer<OnboardingWindowController> wc = s.delegate->onboarding();
        wc->flowView()->skip();
        QCOMPARE(s.model().settings().onboardingCompletedVersion(), 1);
        QVERIFY(!s.delegate->onboarding());
        QTRY_VERIFY(s.delegate->isPanelOpen());
        QTRY_VERIFY(!wc); // and gone

        s.delegate->showOnboardingFromMenu();
        QVERIFY(!s.delegate->isPanelOpen());
        QCOMPARE(s.delegate->onboarding()->flowView()->stepIndex(), 0);
        s.delegate->presentOnboarding(4, true, true); // a new one, the old one reports nothing
        QCOMPARE(s.delegate->onboarding()->flowView()->stepIndex(), 4);
        s.delegate->onboarding()->flowView()->mainButton()->click();
        QVERIFY(!s.delegate->onboarding());
        QTRY_VERIFY(s.delegate->isPanelOpen());
    }

    void closingTheWindowOpensThePanelButLeavesItUnfinished()
    {
        Shell s(false, "Nookary.onboarding.lastStep.v1=2\n");
        QTRY_VERIFY(s.delegate->onboarding());
        s.delegate->onboarding()->window()->close();
        QVERIFY(!s.delegate->onboarding());
        QCOMPARE(s.model().settings().onboardingCompletedVersion(), 0);
        QCOMPARE(s.model().settings().onboardingLastStep(), 2);
        QTRY_VERIFY(s.delegate->isPanelOpen());
        s.delegate->closeUI();

        // The next start picks it up again.
        s.delegate->presentInitialExperience();
        QTRY_VERIFY(s.delegate->onboarding());
        QCOMPARE(s.delegate->onboarding()->flowView()->stepIndex(), 2);
    }

    void showOnboardingFromTheMenuClosesThePanelFirst()
    {
        Shell s(true, "Nookary.onboarding.completedVersion.v1=1\n");
        s.openAndWait();
        const auto menu = s.statusItem->openMenu();
        menu->actions().at(4)->trigger();
        QVERIFY(!s.delegate->isPanelOpen());
        QVERIFY(s.delegate->onboarding());
        QTRY_VERIFY(s.delegate->onboarding()->isWindowVisible());
        QCOMPARE(s.delegate->onboarding()->flowView()->stepIndex(), 0);
    }

    void showOnboardingOverThePanelKeepsTheFocus()
    {
        // Opening our own window hands nothing back: 30 ms later the earlier window would be
        // activated over the walkthrough.
        Shell s(true, "Nookary.onboarding.completedVersion.v1=1\n");
        s.openAndWait();
        QCOMPARE(s.delegate->previousApp(), kEditor);
        s.statusItem->openMenu()->actions().at(4)->trigger();
        QTRY_VERIFY(s.delegate->onboarding() && s.delegate->onboarding()->isWindowVisible());
        QTest::qWait(100);
        QVERIFY(s.workspace->activated.isEmpty());
        QVERIFY(!s.delegate->previousApp());
        QVERIFY(!s.delegate->isFinalizeAfterUICloseSuppressed());
    }

    void aRecordedShortcutHeldElsewhereIsReportedWithoutEndingTheWalkthrough()
    {
        // Recording over the untouched default makes the walkthrough replace its recorder on
        // the next turn; the refusal's alert runs that turn, and the recorder whose capture
        // led to the alert is gone when the alert returns.
        Shell s(true);
        s.hotkeys->taken << HotkeyShortcut { 40,
            HotkeyShortcut::controlBit | HotkeyShortcut::optionBit };
        s.delegate->presentOnboarding(1, false, false);
        QPointer<OnboardingWindowController> wc = s.delegate->onboarding();
        QTRY_VERIFY(wc->isWindowVisible());
        OnboardingFlowView *flow = wc->flowView();
        auto *recorder = qobject_cast<HotkeyRecorderControl *>(flow->recorder());
        QVERIFY(recorder);
        recorder->button()->click(); // "Choose Shortcut…"
        QVERIFY(s.model().isRecordingHotkey());

        QStringList alerts;
        QTimer dismiss; // as the user would, once each alert shows
        dismiss.setInterval(10);
        connect(&dismiss, &QTimer::timeout, [&alerts] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                alerts << box->text();
                box->accept();
            }
        });
        dismiss.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 45, 0,
            0, QStringLiteral("k"));
        QCoreApplication::sendEvent(wc->window()->windowHandle(), &press);
        QTRY_COMPARE(alerts, QStringList { QStringLiteral("Shortcut is unavailable") });

        // Back to the default, stored and grabbed; the walkthrough asks for a shortcut again.
        QTRY_COMPARE(s.model().settings().hotkeyShortcut(), HotkeyShortcut::defaultShortcut());
        QCOMPARE(s.hotkeys->registered, HotkeyShortcut::defaultShortcut());
        QVERIFY(!s.model().isRecordingHotkey());
        QVERIFY(wc && wc->isWindowVisible());
        const auto badge = [flow] {
            auto *shown = qobject_cast<HotkeyRecorderControl *>(flow->recorder());
            return shown ? shown->badge()->text() : QString();
        };
        QTRY_COMPARE(badge(), QStringLiteral("Not set yet"));
        QTest::qWait(50);
        QCOMPARE(alerts.size(), 1);
    }

    // Where the tray shows only the menu, its first entry opens the panel; an open panel
    // stays open.
    void openNookaryFromTheMenu()
    {
        Shell s;
        s.statusItem->openMenu()->actions().at(0)->trigger();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        s.statusItem->openMenu()->actions().at(0)->trigger();
        QTest::qWait(50);
        QVERIFY(s.delegate->isPanelOpen());
    }

    void theMenuIsBuiltAnewAndPauseDimsTheIcon()
    {
        Shell s;
        auto titles = [&s] {
            QStringList out;
            const auto menu = s.statusItem->openMenu();
            for (QAction *action : menu->actions())
                out << (action->isSeparator() ? QStringLiteral("-") : action->text());
            return out;
        };
        QCOMPARE(titles(),
            (QStringList { QStringLiteral("Open Nookary"), QStringLiteral("-"),
                QStringLiteral("Pause Nookary"), QStringLiteral("-"),
                QStringLiteral("Show Onboarding"), QStringLiteral("-"),
                QStringLiteral("Preferences\u2026"), QStringLiteral("About"), QStringLiteral("-"),
                QStringLiteral("Quit") }));
        const auto menu = s.statusItem->openMenu();
        QCOMPARE(menu->actions().at(6)->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
        QCOMPARE(menu->actions().at(9)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        menu->actions().at(2)->trigger();
        QVERIFY(s.model().clipboardHistory().isPaused());
        QVERIFY(s.statusItem->isDimmed());
        QCOMPARE(titles().at(2), QStringLiteral("Resume Nookary"));
        s.statusItem->openMenu()->actions().at(2)->trigger();
        QVERIFY(!s.model().clipboardHistory().isPaused());
        QVERIFY(!s.statusItem->isDimmed());
    }

    // A settings file that cannot be written (a full disk, or one left alone for the run) is
    // said once in the tray, each kind of trouble once.
    void settingsThatCannotBeSavedAreSaidOnceInTheTray()
    {
        Shell s;
        s.statusItem->place = QRect(1200, 780, 20, 20);
        QTest::qWait(20);
        QVERIFY(s.statusItem->messages.isEmpty());
        s.store->holdWrites();
        QTRY_COMPARE(s.statusItem->messages.size(), 1);
        QVERIFY(s.statusItem->messages.first().join(u'\n').contains(
            QStringLiteral("kept until Nookary quits")));
        s.store->holdWrites();
        s.model().settings().setHistoryLimit(50);
        QTest::qWait(20);
        QCOMPARE(s.statusItem->messages.size(), 1);
        QCOMPARE(s.model().settings().historyLimit(), 50);
    }

    void preferencesOpenEveryWayAndTheClosedPanelHandsNothingBack()
    {
        Shell s(true, "Nookary.openPresentation.v2=menubarPopover\n");
        auto preferencesShown
            = [&s] { return s.delegate->preferences() && s.delegate->preferences()->isVisible(); };
        // From the tray menu, with the popover open.
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        s.statusItem->openMenu()->actions().at(6)->trigger();
        QVERIFY(!s.delegate->isPanelOpen());
        QTRY_VERIFY(preferencesShown());
        PreferencesWindowController *wc = s.delegate->preferences();
        QCOMPARE(wc->window()->size(), QSize(470, 385));
        QTest::qWait(100);
        QVERIFY(s.workspace->activated.isEmpty()); // focus stays with the settings
        QVERIFY(!s.delegate->previousApp());
        QVERIFY(!s.delegate->isFinalizeAfterUICloseSuppressed());
        QVERIFY(!s.delegate->isFocusRestorePending());

        // From the panel's gear: the same window again.
        wc->window()->close();
        s.statusItem->click();
        QTRY_VERIFY(s.delegate->isPanelOpen());
        auto *view = s.delegate->popover()->findChild<PanelView *>();
        QVERIFY(view);
        view->settingsButton()->click();
        QVERIFY(!s.delegate->isPanelOpen());
        QTRY_VERIFY(preferencesShown());
        QCOMPARE(s.delegate->preferences(), wc);

        // With Ctrl+, in the centred window.
        wc->window()->close();
        s.model().settings().setOpenPresentation(AppModel::OpenPresentation::centeredWindow);
        s.openAndWait();
        QTest::keyClick(s.delegate->centeredWindow()->panel()->windowHandle(), Qt::Key_Comma,
            Qt::ControlModifier);
        QVERIFY(!s.delegate->isPanelOpen());
        QTRY_VERIFY(preferencesShown());
        QTest::qWait(100);
        QVERIFY(s.workspace->activated.isEmpty());
        QCOMPARE(s.delegate->preferences(), wc);

        // Re-opening the running program while the settings show opens nothing else.
        s.delegate->reopen();
        QTest::qWait(20);
        QVERIFY(!s.delegate->isPanelOpen());
    }

    void ctrlCommaIsNotTakenWhileRecordingNorInAMenu()
    {
        Shell s;
        // Inside a menu the keys are the menu's.
        QMenu menu;
        menu.addAction(QStringLiteral("Item"));
        menu.popup(QPoint(10, 10));
        QTRY_COMPARE(QApplication::activePopupWidget(), &menu);
        QTest::keyClick(menu.windowHandle(), Qt::Key_Comma, Qt::ControlModifier);
        QTest::qWait(20);
        QVERIFY(!s.delegate->preferences());
        menu.close();

        s.delegate->openPreferences();
        QTRY_VERIFY(s.delegate->preferences() && s.delegate->preferences()->isVisible());
        QWidget *window = s.delegate->preferences()->window();
        HotkeyRecorderControl *recorder = s.delegate->preferences()->view()->shortcutRecorder();
        recorder->toggle();
        QVERIFY(s.model().isRecordingHotkey());
        window->hide();
        QVERIFY(!s.model().isRecordingHotkey()); // closing mid-recording leaves nothing raised
        QVERIFY(!recorder->isRecording());

        // The panel's own keys stay with the panel: Escape in the settings window leaves a
        // pinned panel open.
        s.model().settings().setKeepWindowPinned(true);
        s.openAndWait();
        s.delegate->preferences()->showWindow();
        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
        QTest::qWait(20);
        QVERIFY(s.delegate->isPanelOpen());
        // While recording, Ctrl+, is the recorder's: recorded (by Qt's key, as this session
        // tells no key places), not a command to open the settings.
        recorder->toggle();
        QVERIFY(recorder->isRecording());
        QTest::keyClick(s.delegate->centeredWindow()->panel()->windowHandle(), Qt::Key_Comma,
            Qt::ControlModifier);
        QTest::qWait(20);
        QVERIFY(s.delegate->isPanelOpen());
        QVERIFY(!recorder->isRecording());
        QVERIFY(!s.model().isRecordingHotkey());
        QCOMPARE(s.model().settings().hotkeyShortcut(),
            (HotkeyShortcut { 43, HotkeyShortcut::controlBit }));
    }

    void instanceRequestsDriveThePanel()
    {
        using Request = InstanceChannel::Request;
        Shell s;
        s.delegate->handleInstanceRequest(Request::show);
        QTRY_VERIFY(s.delegate->isPanelOpen());
        s.delegate->handleInstanceRequest(Request::show);
        QTest::qWait(20);
        QVERIFY(s.delegate->isPanelOpen());
        s.delegate->handleInstanceRequest(Request::toggle);
        QVERIFY(!s.delegate->isPanelOpen());
        s.delegate->handleInstanceRequest(Request::reopen);
        QTRY_VERIFY(s.delegate->isPanelOpen());
        s.delegate->handleInstanceRequest(Request::hide);
        QVERIFY(!s.delegate->isPanelOpen());
    }

    // Pinned behind another window, or losing the keyboard as the request comes: showing
    // it means in front, with the keys.
    void showBringsAnOpenPanelForward_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::newRow("activated where it stands") << false;
        // Where only a new window gets the keyboard, it is shown anew.
        QTest::newRow("shown anew on Wayland") << true;
    }

    void showBringsAnOpenPanelForward()
    {
        QFETCH(bool, wayland);
        const char *pinned = "Nookary.keepWindowPinned.v1=true\n";
        Shell s = wayland ? Shell(Shell::Wayland {}, pinned) : Shell(true, pinned);
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        QTRY_VERIFY(panel->isActiveWindow());
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        QVERIFY(s.delegate->isPanelOpen());
        QSignalSpy hidden(s.delegate->centeredWindow(), &NookaryCenteredWindow::closed);
        s.delegate->handleInstanceRequest(InstanceChannel::Request::show);
        QTRY_VERIFY(panel->isActiveWindow());
        QVERIFY(s.delegate->isPanelOpen());
        QCOMPARE(hidden.count(), wayland ? 1 : 0);
        s.passLong();
        QVERIFY(s.workspace->activated.isEmpty()); // no hand-back in between
    }

    void aClickOutsideTextEndsAnEdit()
    {
        Shell s;
        s.model().addShelfFromDrop(QStringLiteral("snippet"));
        s.openAndWait();
        NookaryPanel *panel = s.delegate->centeredWindow()->panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        panel->activateWindow();
        QTRY_VERIFY(panel->isActiveWindow());
        QTest::qWait(100); // opening has put focus into the search field
        s.model().savedSnippets().startEditing(s.model().savedSnippets().items().first().id);
        QTRY_VERIFY(
            QApplication::focusWidget() && QApplication::focusWidget()->inherits("QPlainTextEdit"));
        qobject_cast<QPlainTextEdit *>(QApplication::focusWidget())
            ->setPlainText(QStringLiteral("changed"));

        // A click in the editor itself keeps it.
        QTest::qWait(50); // the row has grown around the editor
        const QPoint inEditor = QApplication::focusWidget()->mapTo(panel, QPoint(5, 5));
        QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, inEditor);
        QTest::qWait(20);
        QVERIFY(!s.model().savedSnippets().editingID().isNull());

        // A click on the footer's empty part ends it, and the edit commits.
        QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {},
            QPoint(panel->width() / 2, panel->height() - 16));
        QTRY_VERIFY(s.model().savedSnippets().editingID().isNull());
        QCOMPARE(s.model().savedSnippets().items().first().text, QStringLiteral("changed"));
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
