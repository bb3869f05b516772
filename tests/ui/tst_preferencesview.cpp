// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window: its size rules, its rows and texts, and that every row reads and
// writes the model at once.
#include "ModelFixture.h"
#include "model/SettingsKeys.h"
#include "platform/KeyTranslator.h"
#include "ui/ShortcutGuide.h"
#include "ui/preferences/PreferencesView.h"
#include "ui/preferences/PreferencesWindowController.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/recorder/HotkeyRecorderControl.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

class TestPreferencesView : public QObject {
    Q_OBJECT

    const NullKeyTranslator keys;

private Q_SLOTS:
    void theWindowHasItsSizeEachTimeItOpens()
    {
        ModelFixture f;
        f.start();
        PreferencesWindowController wc(*f.model, keys);
        QWidget *window = wc.window();
        QCOMPARE(window->windowTitle(), QStringLiteral("Preferences"));
        // An ordinary window, shown by the task bar; closable and minimisable, never resizable.
        QCOMPARE(window->windowType(), Qt::Window);
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!window->testAttribute(Qt::WA_DeleteOnClose));

        wc.prepareForDisplay();
        wc.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->size(), QSize(470, 385));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(window->minimumSize().width()
            >= PreferencesWindowController::minimumContentSize.width());
        QVERIFY(window->maximumSize().height()
            <= PreferencesWindowController::maximumContentSize.height());

        // Whatever happened to it, it comes back at its size; closing only hides it.
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->resize(520, 330);
        window->close();
        QVERIFY(!wc.isVisible());
        wc.prepareForDisplay();
        wc.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->size(), QSize(470, 385));
        QCOMPARE(wc.window(), window);
    }

    void theRowsAndTheirTexts()
    {
        ModelFixture f;
        f.start();
        PreferencesWindowController wc(*f.model, keys);
        wc.prepareForDisplay();
        wc.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(wc.window()));
        PreferencesView *view = wc.view();

        QStringList labels;
        for (QLabel *label : view->rowLabels()) {
            labels << label->text();
            QCOMPARE(label->width(), 130);
            QCOMPARE(label->font().pixelSize(), 13);
        }
        QCOMPARE(labels,
            (QStringList { "Launch at login", "History limit", "Open mode", "Default selection",
                "Keyboard shortcut", "Paste after choosing", "Saved snippets" }));
        QVERIFY(view->launchAtLoginBox()->text().isEmpty());
        QStringList limits;
        for (int i = 0; i < view->historyLimitMenu()->count(); ++i)
            limits << view->historyLimitMenu()->itemText(i);
        QCOMPARE(limits, (QStringList { "25 items", "50 items", "100 items" }));
        QCOMPARE(view->openModeControl()->segments(),
            (QStringList { "Tray popover", "Centered window" }));
        QCOMPARE(view->defaultSelectionControl()->segments(), (QStringList { "History", "Saved" }));
        QCOMPARE(view->shortcutRecorder()->style(), HotkeyRecorderControl::Style::settings);

        // Each control at the leading edge of its column, right of the label and the gap.
        const int controlsLeft = 16 + 130 + 12;
        for (QWidget *control : QList<QWidget *> { view->launchAtLoginBox(),
                 view->historyLimitMenu(), view->openModeControl(), view->defaultSelectionControl(),
                 view->shortcutRecorder(), view->pasteAfterChoosingBox()->parentWidget(),
                 view->exportButton()->parentWidget() }) {
            QCOMPARE(control->mapTo(view, QPoint()).x(), controlsLeft);
            QVERIFY(
                control->parentWidget()->width() >= 290 && control->parentWidget()->width() <= 300);
        }
        // The last row's outcome line, room for two lines of it kept, fits in the window.
        QLabel *status = view->snippetsStatusLabel();
        QVERIFY(status->mapTo(view, QPoint(0, status->height())).y() <= 385 - 12);
        QVERIFY(status->mapTo(view, QPoint(status->width(), 0)).x() <= 470 - 16);
    }

    void withoutGlobalShortcutsTheRowSaysWhatToDoAndFits()
    {
        ModelFixture f;
        f.start();
        PreferencesWindowController wc(*f.model, keys, false);
        wc.prepareForDisplay();
        wc.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(wc.window()));
        PreferencesView *view = wc.view();
        QVERIFY(!view->shortcutRecorder());
        QLabel *manual = view->manualShortcutLabel();
        QVERIFY(manual && manual->isVisible());
        QVERIFY(manual->text().contains(QStringLiteral("Nookary --toggle")));
        QCOMPARE(view->rowLabels().at(4)->text(), QStringLiteral("Keyboard shortcut"));
        QCOMPARE(manual->mapTo(view, QPoint()).x(), 16 + 130 + 12);
        // Wrapped inside the fixed window, not cut.
        const QSize window = wc.window()->size();
        QVERIFY(manual->mapTo(view, QPoint(0, manual->height())).y() < window.height() - 12);
        QVERIFY(manual->mapTo(view, QPoint(manual->width(), 0)).x() <= window.width() - 16);
        QVERIFY(manual->height() >= manual->heightForWidth(manual->width()));
        QVERIFY(!f.model->isRecordingHotkey());

        // The guide below it takes the window's width, which grows for its commands: GNOME's
        // lines show whole, with no scroll bar, and nothing below is pushed out of the window.
        ShortcutGuide *guide = view->shortcutGuide();
        QVERIFY(window.width() > 470);
        QCOMPARE(guide->mapTo(view, QPoint()).x(), 16);
        QVERIFY(guide->mapTo(view, QPoint(guide->width(), 0)).x() <= window.width() - 16);
        guide->showDesktop(ShortcutGuide::Desktop::gnome);
        QTRY_COMPARE(guide->commandsView()->verticalScrollBar()->maximum(), 0);
        QCOMPARE(guide->commandsView()->horizontalScrollBar()->maximum(), 0);
        QLabel *status = view->snippetsStatusLabel();
        QVERIFY(status->mapTo(view, QPoint(0, status->height())).y() <= window.height() - 12);
    }

    void everyRowWritesTheModelAtOnce()
    {
        ModelFixture f;
        f.start();
        PreferencesWindowController wc(*f.model, keys);
        wc.prepareForDisplay();
        wc.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(wc.window()));
        PreferencesView *view = wc.view();
        AppModel &model = *f.model;

        QCOMPARE(view->historyLimitMenu()->currentText(), QStringLiteral("25 items"));
        QCOMPARE(view->openModeControl()->currentIndex(), 1);
        QCOMPARE(view->defaultSelectionControl()->currentIndex(), 1);

        view->launchAtLoginBox()->click();
        QVERIFY(model.launchAtLogin());
        view->historyLimitMenu()->setCurrentIndex(2);
        Q_EMIT view->historyLimitMenu()->activated(2);
        QCOMPARE(model.settings().historyLimit(), 100);
        QTest::mouseClick(view->openModeControl(), Qt::LeftButton, {},
            view->openModeControl()->segmentRect(0).center());
        QCOMPARE(model.settings().openPresentation(), AppModel::OpenPresentation::menubarPopover);
        view->defaultSelectionControl()->setFocus();
        QTest::keyClick(view->defaultSelectionControl(), Qt::Key_Left);
        QCOMPARE(model.settings().defaultOpenTarget(), AppModel::DefaultOpenTarget::historyFirst);

        const auto stored = f.reread();
        QCOMPARE(stored->integer(QString::fromLatin1(SettingsKeys::historyLimit.current)), 100);
        QCOMPARE(stored->string(QString::fromLatin1(SettingsKeys::openPresentation.current)),
            QStringLiteral("menubarPopover"));
        QCOMPARE(stored->string(QString::fromLatin1(SettingsKeys::defaultOpenTarget.current)),
            QStringLiteral("historyFirst"));

        // Changes made elsewhere show at once, and on reopening.
        wc.window()->close();
        model.settings().setHistoryLimit(50);
        model.settings().setOpenPresentation(AppModel::OpenPresentation::centeredWindow);
        model.setLaunchAtLogin(false);
        wc.prepareForDisplay();
        wc.showWindow();
        QCOMPARE(view->historyLimitMenu()->currentText(), QStringLiteral("50 items"));
        QCOMPARE(view->openModeControl()->currentIndex(), 1);
        QVERIFY(!view->launchAtLoginBox()->isChecked());
    }

    void pasteAfterChoosingIsOfferedWhereTheSessionCanPaste()
    {
        ModelFixture f;
        f.writeSettingsFile("[General]\nNookary.pasteAfterChoosing.v1=true\n");
        AppModel &model = f.start();
        PreferencesWindowController wc(model, keys);
        wc.prepareForDisplay();
        wc.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(wc.window()));
        PreferencesView *view = wc.view();
        QCheckBox *box = view->pasteAfterChoosingBox();

        // Where nothing can be typed elsewhere: disabled, unticked, one line saying why, and
        // the stored choice kept for a session that can.
        model.setPasteAvailability(PasteService::Availability::noVirtualKeyboard);
        QVERIFY(!box->isEnabled());
        QVERIFY(!box->isChecked());
        QVERIFY(view->pasteUnavailableLabel()->isVisible());
        QVERIFY(!view->pasteUnavailableLabel()->text().isEmpty());
        QVERIFY(!view->pasteUnavailableLabel()->text().contains(u'\n'));
        const QLabel *reason = view->pasteUnavailableLabel();
        QVERIFY(reason->mapTo(view, QPoint(reason->width(), 0)).x() <= 470 - 16);
        QVERIFY(reason->fontMetrics().horizontalAdvance(reason->text()) <= reason->width());
        model.setPasteAvailability(PasteService::Availability::noXTest);
        QVERIFY(view->pasteUnavailableLabel()->text().contains(QStringLiteral("XTEST")));
        QVERIFY(model.settings().pasteAfterChoosing());

        model.setPasteAvailability(PasteService::Availability::available);
        QVERIFY(box->isEnabled());
        QVERIFY(box->isChecked());
        QVERIFY(!view->pasteUnavailableLabel()->isVisible());
        box->click();
        QVERIFY(!model.settings().pasteAfterChoosing());
        QVERIFY(
            !f.reread()->boolean(QString::fromLatin1(SettingsKeys::pasteAfterChoosing.current)));
    }

    void theSavedSnippetsRowExportsAndImports()
    {
        ModelFixture f;
        AppModel &model = f.start();
        model.addShelfFromDrop(QStringLiteral("kept"));
        model.addShelfFromDrop(QStringLiteral("second"));
        PreferencesWindowController wc(model, keys);
        PreferencesView *view = wc.view();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("snippets.json"));

        QLabel *status = view->snippetsStatusLabel();
        view->exportSavedSnippets(file);
        QCOMPARE(status->text(), QStringLiteral("Exported 2 snippet(s) to snippets.json"));
        model.deleteShelf(model.savedSnippets().items().first().id);
        // Read on another thread: the buttons wait meanwhile.
        view->importSavedSnippets(file, false);
        QVERIFY(!view->importButton()->isEnabled() && !view->exportButton()->isEnabled());
        QTRY_COMPARE(
            status->text(), QStringLiteral("Imported 1 snippet(s). Skipped 1 already saved."));
        QVERIFY(view->importButton()->isEnabled() && view->exportButton()->isEnabled());
        QCOMPARE(model.savedSnippetTexts(),
            (QStringList { QStringLiteral("second"), QStringLiteral("kept") }));

        // A file that is no export says why, and nothing changes.
        QFile broken(dir.filePath(QStringLiteral("broken.json")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("[{\"text\": \"cut short\"");
        broken.close();
        view->importSavedSnippets(broken.fileName(), false);
        QTRY_VERIFY2(status->text().contains(QStringLiteral("Nothing was imported")),
            qPrintable(status->text()));
        QCOMPARE(model.savedSnippets().items().size(), 2);

        // An export that cannot be written says so; the settings file is never written over.
        view->exportSavedSnippets(dir.filePath(QStringLiteral("no/such/folder/x.json")));
        QVERIFY2(
            status->text().contains(QStringLiteral("does not exist")), qPrintable(status->text()));
        const QByteArray settings = f.reread()->storedForm(QStringLiteral("Nookary.shelf.v1"));
        view->exportSavedSnippets(f.settingsPath());
        QVERIFY2(
            status->text().contains(QStringLiteral("settings file")), qPrintable(status->text()));
        QCOMPARE(f.reread()->storedForm(QStringLiteral("Nookary.shelf.v1")), settings);

        // A name typed without a suffix gets .json.
        model.deleteShelf(model.savedSnippets().items().first().id);
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            dialog->selectFile(dir.filePath(QStringLiteral("typed")));
            static_cast<QDialog *>(dialog)
                ->accept(); // the save dialog's own, which checks the name
        });
        view->exportButton()->click();
        QCOMPARE(status->text(), QStringLiteral("Exported 1 snippet(s) to typed.json"));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("typed.json"))));
    }

    // However long the file's name, the whole reason shows; the tooltip has the full path.
    void aLongFileNameLeavesRoomForTheReason()
    {
        ModelFixture f;
        f.start();
        PreferencesWindowController wc(*f.model, keys);
        wc.prepareForDisplay();
        wc.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(wc.window()));
        PreferencesView *view = wc.view();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral(
            "my exported snippets from the old laptop in the office, december.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[{\"text\": <b>1</b>}]");
        file.close();
        view->importSavedSnippets(path, false);
        QLabel *status = view->snippetsStatusLabel();
        QTRY_VERIFY2(status->text().endsWith(QStringLiteral("Nothing was imported.")),
            qPrintable(status->text()));
        QVERIFY(status->text().contains(u'…'));
        QVERIFY(status->toolTip().startsWith(path + QStringLiteral(": Not a snippet export")));
        // Every line of it is inside the label, and the label inside the window.
        QVERIFY(status->heightForWidth(status->width()) <= status->height());
        QVERIFY(
            status->mapTo(wc.window(), QPoint(0, status->height())).y() <= wc.window()->height());
    }

    void theRecorderAndTheSegmentsSpeakToReaders()
    {
        ModelFixture f;
        f.start();
        PreferencesView view(*f.model, keys);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QAccessibleInterface *field
            = QAccessible::queryAccessibleInterface(view.shortcutRecorder()->field());
        QCOMPARE(field->role(), QAccessible::Button);
        QCOMPARE(field->text(QAccessible::Name),
            QStringLiteral("Keyboard shortcut: Control + Alt + Space"));
        field->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(view.shortcutRecorder()->isRecording());
        QVERIFY(field->text(QAccessible::Name).contains(QStringLiteral("recording")));
        view.shortcutRecorder()->toggle();

        QAccessibleInterface *group = QAccessible::queryAccessibleInterface(view.openModeControl());
        QCOMPARE(group->role(), QAccessible::Grouping);
        QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Open mode"));
        QCOMPARE(group->childCount(), 2);
        QAccessibleInterface *popover = group->child(0);
        QAccessibleInterface *centred = group->child(1);
        QCOMPARE(popover->role(), QAccessible::RadioButton);
        QCOMPARE(centred->text(QAccessible::Name), view.openModeControl()->segments().at(1));
        QVERIFY(centred->state().checked && !popover->state().checked);
        QCOMPARE(group->indexOfChild(centred), 1);
        popover->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(
            f.model->settings().openPresentation(), AppModel::OpenPresentation::menubarPopover);
        QVERIFY(popover->state().checked && !centred->state().checked);
        view.openModeControl()->setFocus();
        QTRY_VERIFY(popover->state().focused);
        QCOMPARE(group->focusChild(), popover);
    }
};

QTEST_MAIN(TestPreferencesView)
#include "tst_preferencesview.moc"
