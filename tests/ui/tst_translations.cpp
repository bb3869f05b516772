// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakePanelActions.h"
#include "ModelFixture.h"
#include "app/CommandLine.h"
#include "app/Translations.h"
#include "app/TrayController.h"
#include "core/TextDirection.h"
#include "platform/KeyTranslator.h"
#include "ui/KeyNames.h"
#include "ui/onboarding/OnboardingFlowView.h"
#include "ui/onboarding/OnboardingWindowController.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/ShelfColumn.h"
#include "ui/preferences/PreferencesView.h"
#include "ui/preferences/PreferencesWindowController.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/recorder/HotkeyRecorderControl.h"
#include "ui/recorder/ShortcutBadge.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFileDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;

namespace {

// No translation holds this character: a shown text without it never went through one.
constexpr QChar kMark(0xE000);
// Names, not words: shown as they are in every language.
const QStringList kUntranslated { QStringLiteral("Nookary"), QStringLiteral("Nookary --toggle") };

// The German translation as the program sees it, with each of Nookary's texts marked, and
// each one it lacks noted (and shown in English, marked too, so that it is named once).
class CheckingTranslator final : public QTranslator {
public:
    explicit CheckingTranslator(const QTranslator &german)
        : m_german(german)
    {
    }
    QString translate(
        const char *context, const char *source, const char *disambiguation, int n) const override
    {
        const QString found = m_german.translate(context, source, disambiguation, n);
        if (!QByteArrayView(context).startsWith("nookary::"))
            return found; // Qt's own
        if (!found.isEmpty())
            return kMark + found;
        missing << QStringLiteral("missing, %1: \"%2\"")
                       .arg(QLatin1String(context), QString::fromUtf8(source));
        return kMark + QString::fromUtf8(source);
    }
    bool isEmpty() const override { return false; }

    mutable QStringList missing;

private:
    const QTranslator &m_german;
};

// Every text a window shows or says of itself: titles, labels, buttons, menus, tool tips,
// accessible names, and what the program's own controls paint.
QStringList shownTexts(QWidget *window)
{
    QStringList texts { window->windowTitle() };
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : std::as_const(widgets)) {
        // A menu is hidden until it pops up; what it would show counts.
        auto *menu = qobject_cast<QMenu *>(w);
        if (!menu && w != window && !w->isVisibleTo(window))
            continue;
        texts << w->toolTip() << w->accessibleName() << w->accessibleDescription();
        if (menu) {
            for (QAction *action : menu->actions())
                texts << action->text();
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            texts << label->text();
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            texts << button->text();
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            texts << edit->placeholderText();
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        } else if (auto *segments = qobject_cast<SegmentedControl *>(w)) {
            texts << segments->segments();
        } else if (auto *badge = qobject_cast<ShortcutBadge *>(w)) {
            texts << badge->text();
        } else if (auto *field = qobject_cast<ShortcutField *>(w)) {
            texts << field->text();
        } else if (auto *row = qobject_cast<ElidedLabel *>(w)) {
            texts << row->text();
        }
    }
    return texts;
}

// A text of the sources with its context, as lupdate collects it.
struct SourceText {
    QString context;
    QString source;
    QString comment;
    bool numerus = false;
};

QList<SourceText> sourceTexts(const QString &scratch)
{
    const QString ts = scratch + QStringLiteral("/all.ts");
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::ForwardedChannels);
    lupdate.start(QStringLiteral(NOOKARY_LUPDATE),
        { QStringLiteral("-silent"), QStringLiteral("-extensions"), QStringLiteral("cpp,h"),
            QStringLiteral(NOOKARY_SOURCE_DIR "/src"),
            QStringLiteral(NOOKARY_SOURCE_DIR "/launcher"), QStringLiteral("-ts"), ts });
    if (!lupdate.waitForFinished(60000) || lupdate.exitCode() != 0)
        return {};
    QFile file(ts);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<SourceText> texts;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            SourceText text { context, {}, {},
                xml.attributes().value(QLatin1String("numerus")) == u"yes" };
            while (xml.readNextStartElement()) {
                if (xml.name() == u"source")
                    text.source = xml.readElementText();
                else if (xml.name() == u"comment")
                    text.comment = xml.readElementText();
                else
                    xml.skipCurrentElement();
            }
            texts << text;
        }
    }
    return texts;
}

void removeTranslators()
{
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

    QTranslator german;
    QTranslator english;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(german.load(Translations::folder() + QStringLiteral("/nookary_de.qm")),
            qPrintable(Translations::folder()));
        QVERIFY(english.load(Translations::folder() + QStringLiteral("/nookary_en.qm")));
    }

    void cleanup()
    {
        removeTranslators();
        QLocale::setDefault(QLocale::system());
        QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    }

    // Every text of the sources, whatever state shows it, has its German words, and every
    // count its English plural forms. A text added without running
    // scripts/update-translations and translating it is named here.
    void everyTextOfTheSourcesIsTranslated()
    {
        QTemporaryDir scratch;
        const QList<SourceText> texts = sourceTexts(scratch.path());
        QVERIFY2(texts.size() > 50, "lupdate found no texts");
        QStringList missing;
        for (const SourceText &text : texts) {
            const QByteArray context = text.context.toUtf8();
            const QByteArray source = text.source.toUtf8();
            const QByteArray comment = text.comment.toUtf8();
            const char *disambiguation = comment.isEmpty() ? nullptr : comment.constData();
            for (const int n : text.numerus ? QList { 1, 2 } : QList { -1 }) {
                if (german.translate(context, source, disambiguation, n).isEmpty())
                    missing << QStringLiteral("German, %1: \"%2\"").arg(text.context, text.source);
                if (text.numerus && english.translate(context, source, disambiguation, n).isEmpty())
                    missing << QStringLiteral("English plural, %1: \"%2\"")
                                   .arg(text.context, text.source);
            }
        }
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(),
            qPrintable(QStringLiteral("run scripts/update-translations and translate:\n")
                + missing.join(u'\n')));
    }

    // What the panel, the settings window and the walkthrough show, in each state that
    // changes their words, is German: nothing shown went around the translation.
    void theWindowsShowNoUntranslatedText()
    {
        CheckingTranslator checking(german);
        QCoreApplication::installTranslator(&checking);
        ModelFixture f;
        AppModel &model = f.start();
        const NullKeyTranslator keys;
        QStringList shown;

        // The panel, empty, then filled (user texts carry the mark: they are no words of
        // ours), pinned, and searched without a match.
        {
            test::FakePanelActions actions;
            PanelView panel(model, actions, f.clock);
            panel.show();
            shown << shownTexts(&panel);
            model.addShelfFromDrop(kMark + QStringLiteral("snippet"));
            f.pasteboard.copyText(kMark + QStringLiteral("copy"));
            model.clipboardHistory().poll();
            QCoreApplication::processEvents();
            shown << shownTexts(&panel);
            model.settings().setKeepWindowPinned(true);
            shown << shownTexts(&panel);
            model.panelState().setQuery(QStringLiteral("nothing like it"));
            shown << shownTexts(&panel);
            model.panelState().setQuery({});
            // Each column's row menu; a removal that can be undone; a full Saved column.
            for (const auto &select : { std::function([&] {
                                           model.panelState().selectHistory(
                                               model.clipboardHistory().items().first().id);
                                       }),
                     std::function([&] {
                         model.panelState().selectShelf(model.savedSnippets().items().first().id);
                     }) }) {
                select();
                panel.openContextMenuForSelection();
                shown << shownTexts(&panel);
                for (QMenu *menu : panel.findChildren<QMenu *>())
                    menu->close();
            }
            model.deleteShelf(model.savedSnippets().items().first().id);
            QCoreApplication::processEvents();
            shown << shownTexts(&panel);
            while (model.savedSnippets().items().size() < AppModel::shelfMax)
                model.addShelfFromDrop(
                    kMark + QString::number(model.savedSnippets().items().size()));
            model.addShelfFromDrop(kMark + QStringLiteral("one too many"));
            QCoreApplication::processEvents();
            shown << shownTexts(&panel);
        }

        // The settings window at rest and recording; and where the desktop binds the shortcut.
        {
            PreferencesWindowController settings(model, keys);
            settings.window()->show();
            shown << shownTexts(settings.window());
            HotkeyRecorderControl *recorder = settings.view()->shortcutRecorder();
            Q_EMIT recorder->field()->clicked();
            QVERIFY(recorder->isRecording());
            shown << shownTexts(settings.window());
            Q_EMIT recorder->field()->clicked();
            // Why pasting is off, and what an export and a failed import report.
            for (const auto why : { PasteService::Availability::noXTest,
                     PasteService::Availability::noVirtualKeyboard }) {
                model.setPasteAvailability(why);
                shown << shownTexts(settings.window());
            }
            QTemporaryDir files;
            const QString exported = files.filePath(QStringLiteral("snippets.json"));
            settings.view()->exportSavedSnippets(exported);
            shown << shownTexts(settings.window());
            for (const QString &file : { exported, files.filePath(QStringLiteral("absent")) }) {
                settings.view()->importSavedSnippets(file, false);
                shown << shownTexts(settings.window());
                QTRY_VERIFY(settings.view()->importButton()->isEnabled());
                shown << shownTexts(settings.window());
            }
            PreferencesWindowController manual(model, keys, false);
            shown << shownTexts(manual.window());
        }

        // Every page of the walkthrough; the shortcut page before a shortcut is chosen,
        // recording, practising and done; and where the desktop binds the shortcut.
        for (int step = 0; step < OnboardingFlowView::pageCount; ++step) {
            OnboardingWindowController walkthrough(model, keys, step, {});
            walkthrough.window()->show();
            shown << shownTexts(walkthrough.window());
            if (step != OnboardingFlowView::shortcutStep)
                continue;
            auto *recorder
                = qobject_cast<HotkeyRecorderControl *>(walkthrough.flowView()->recorder());
            QVERIFY(recorder);
            recorder->button()->click();
            QVERIFY(recorder->isRecording());
            shown << shownTexts(walkthrough.window());
            recorder->button()->click();
            model.settings().setHotkeyShortcut(
                { 40, HotkeyShortcut::controlBit | HotkeyShortcut::shiftBit });
            QCoreApplication::processEvents();
            shown << shownTexts(walkthrough.window());
            for (int i = 0; i < OnboardingFlowView::practiceGoal; ++i)
                walkthrough.flowView()->noteHotkeyPressed();
            shown << shownTexts(walkthrough.window());
        }
        {
            OnboardingWindowController manual(
                model, keys, OnboardingFlowView::shortcutStep, {}, false);
            manual.window()->show();
            shown << shownTexts(manual.window());
        }

        // The tray's menu, tracking and paused.
        {
            TrayController tray(model.clipboardHistory(), nullptr);
            for (const bool paused : { false, true }) {
                model.clipboardHistory().setPaused(paused);
                QMenu menu;
                tray.buildStatusMenu(menu);
                shown << shownTexts(&menu);
            }
        }

        QStringList untranslated = checking.missing;
        for (const QString &text : std::as_const(shown)) {
            if (!text.trimmed().isEmpty() && !text.contains(kMark) && !kUntranslated.contains(text))
                untranslated << QStringLiteral("shown untranslated: \"%1\"").arg(text);
        }
        untranslated.removeDuplicates();
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'\n')));
    }

    // The user's languages choose the translation; where Nookary has none, counts still read
    // right in English, and a right-to-left language says so.
    void theLocaleChoosesTheTranslation()
    {
        using Output = Translations::Output;
        QCOMPARE(Translations::install(Output::windows, QLocale(QLocale::German, QLocale::Germany))
                     .language(),
            QLocale::German);
        // Numbers in the form of the texts' language, and the user's where it speaks it.
        QCOMPARE(QLocale().toString(1000), QStringLiteral("1.000"));
        removeTranslators();
        Translations::install(Output::windows, QLocale(QLocale::German, QLocale::Switzerland));
        QCOMPARE(QLocale().toString(1000), QStringLiteral("1’000"));
        QCOMPARE(
            QCoreApplication::translate("nookary::PanelView", "Search"), QStringLiteral("Suchen"));
        QCOMPARE(QCoreApplication::translate("nookary::PreferencesView", "%Ln items", nullptr, 1),
            QStringLiteral("1 Eintrag"));
        // Qt's own words in the same language (its menus, its dialogs' buttons).
        QCOMPARE(
            QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        removeTranslators();

        QCOMPARE(Translations::install(Output::windows, QLocale(QLocale::French, QLocale::France))
                     .language(),
            QLocale::French);
        QCOMPARE(QCoreApplication::translate("nookary::PreferencesView", "%Ln items", nullptr, 1),
            QStringLiteral("1 item"));
        QCOMPARE(QCoreApplication::translate("nookary::PreferencesView", "%Ln items", nullptr, 25),
            QStringLiteral("25 items"));
        removeTranslators();

        // Without a translation for it, a mirrored window shows English as right-to-left
        // paragraphs (at the leading edge) that hold it left to right ("Change…", not
        // "…Change"); key names stay plain, to be joined; a terminal gets plain text.
        const QLocale egypt(QLocale::Arabic, QLocale::Egypt);
        QLocale::setDefault(egypt); // as it is in Egypt until installed
        QCOMPARE(Translations::install(Output::windows, egypt).textDirection(), Qt::RightToLeft);
        const auto mirrored = [](const QString &english) {
            return QChar(0x200F) + (QChar(0x2066) + english + QChar(0x2069));
        };
        const QString change
            = QCoreApplication::translate("nookary::HotkeyRecorderControl", "Change…");
        QCOMPARE(change, mirrored(QStringLiteral("Change…")));
        QVERIFY(change.isRightToLeft());
        // English sentences, Western digits.
        QCOMPARE(QCoreApplication::translate("nookary::PreferencesView", "%Ln items", nullptr, 25),
            mirrored(QStringLiteral("25 items")));
        QCOMPARE(QCoreApplication::translate("nookary::HotkeyShortcut", "Space"),
            QStringLiteral("Space"));
        removeTranslators();
        Translations::install(Output::terminal, egypt);
        QCOMPARE(QCoreApplication::translate("nookary::HotkeyRecorderControl", "Change…"),
            QStringLiteral("Change…"));
        removeTranslators();
        QCOMPARE(Translations::install(Output::windows, QLocale(QLocale::Hebrew)).textDirection(),
            Qt::RightToLeft);
    }

    // Keys in menus and tooltips are named in the language shown: our own word where our
    // translation has one, else Qt's for that language, else the Linux desktop's English.
    void keysAreNamedInTheLanguageShown_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("deleteKey");
        QTest::addColumn<QString>("returnKey");
        QTest::newRow("German") << QLocale(QLocale::German) << QStringLiteral("Entf")
                                << QStringLiteral("Eingabe");
        QTest::newRow("English") << QLocale(QLocale::English) << QStringLiteral("Delete")
                                 << QStringLiteral("Return");
        QTest::newRow("French, Qt's own")
            << QLocale(QLocale::French) << QStringLiteral("Suppr") << QStringLiteral("Retour");
    }
    void keysAreNamedInTheLanguageShown()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, deleteKey);
        QFETCH(QString, returnKey);
        Translations::install(Translations::Output::windows, locale);
        KeyNames::install();
        const auto named = [](QKeyCombination key) {
            return QKeySequence(key).toString(QKeySequence::NativeText);
        };
        QCOMPARE(named(Qt::Key_Delete), deleteKey);
        QCOMPARE(named(Qt::Key_Return), returnKey);
        QCOMPARE(named(Qt::ALT | Qt::Key_Delete).section(u'+', 1), deleteKey);
    }

    // The user's locale may name one language for its words and write its numbers in
    // another's form (LANGUAGE=de with LANG=ar_EG): numbers follow the language shown. Qt
    // reads the system locale once, so a child with that environment checks it.
    void numbersFollowTheLanguageShown()
    {
        if (qEnvironmentVariableIsSet("NOOKARY_TEST_MIXED_LOCALE")) {
            QCOMPARE(QLocale::system().language(), QLocale::German);
            QVERIFY2(QLocale::system().toString(25) != QStringLiteral("25"),
                "the system locale writes its numbers as Egypt does");
            Translations::install(Translations::Output::windows);
            QCOMPARE(QLocale().toString(1.5), QStringLiteral("1,5"));
            QCOMPARE(
                QCoreApplication::translate("nookary::PreferencesView", "%Ln items", nullptr, 25),
                QStringLiteral("25 Einträge"));
            return;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : { "LC_ALL", "LC_NUMERIC", "LC_MESSAGES" })
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("ar_EG.UTF-8"));
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
        environment.insert(QStringLiteral("NOOKARY_TEST_MIXED_LOCALE"), QStringLiteral("1"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("numbersFollowTheLanguageShown") });
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAll().constData());
    }

    // The footer's reason for a refusal is read whole, in German too, at the panel's
    // smallest in both presentations; a reason longer than the footer holds rises above it.
    void theFooterNoticeIsReadWhole()
    {
        QCoreApplication::installTranslator(&german);
        ModelFixture f;
        AppModel &model = f.start();
        test::FakePanelActions actions;
        PanelView panel(model, actions, f.clock);
        panel.resize(PanelView::minimumPanelSize);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QString reason = ShelfColumn::fullListReason();
        QVERIFY(reason.startsWith(QStringLiteral("Sie können")));
        const QRect footer(
            panel.clearButton()->mapTo(&panel, QPoint()), panel.clearButton()->size());
        for (const auto presentation : { AppModel::OpenPresentation::centeredWindow,
                 AppModel::OpenPresentation::menubarPopover }) {
            model.settings().setOpenPresentation(presentation);
            for (const QString &text : { reason, QStringList(4, reason).join(u' ') }) {
                panel.tell(text);
                QWidget *notice = panel.notice();
                auto *label = notice->findChild<QLabel *>();
                QVERIFY(notice->isVisible());
                QCOMPARE(label->text(), text);
                // The text as the label lays it out fits in the label.
                const QRect room = label->contentsRect();
                const QRect drawn = label->fontMetrics().boundingRect(room,
                    int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0), text);
                QVERIFY2(room.contains(drawn),
                    qPrintable(QStringLiteral("%1x%2 for text of %3x%4")
                                   .arg(room.width())
                                   .arg(room.height())
                                   .arg(drawn.width())
                                   .arg(drawn.height())));
                const QRect at(notice->mapTo(&panel, QPoint()), notice->size());
                QVERIFY(panel.rect().contains(at));
                // Beside the footer's buttons, never over them.
                QVERIFY(!at.intersects(footer));
                QVERIFY(!at.intersects(QRect(panel.settingsButton()->mapTo(&panel, QPoint()),
                    panel.settingsButton()->size())));
            }
        }
    }

    // A mirrored English keeps its marks inside the windows: window titles and what a
    // terminal prints carry none (task bars show them as they are). The About box's name
    // and version stand at the leading edge like the text under them.
    void aMirroredEnglishKeepsItsMarksInside()
    {
        Translations::install(Translations::Output::windows, QLocale(QLocale::Arabic));
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
        ModelFixture f;
        AppModel &model = f.start();
        const NullKeyTranslator keys;
        PreferencesWindowController settings(model, keys);
        OnboardingWindowController walkthrough(model, keys, 0, {});
        TrayController tray(model.clipboardHistory(), nullptr);
        tray.openAbout();
        QMessageBox *box = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            box = box ? box : qobject_cast<QMessageBox *>(window);
        QVERIFY(box);
        const std::unique_ptr<QMessageBox> about(box);
        QVERIFY(about->text().isRightToLeft());
        QVERIFY(about->informativeText().isRightToLeft());

        // The file dialogs read their name filters and the suggested name as data: with
        // marks, no file would match "(*.json)" and the export would be named with them.
        QStringList texts { settings.window()->windowTitle(), walkthrough.window()->windowTitle(),
            about->windowTitle(), CommandLine::usage() };
        for (QPushButton *button :
            { settings.view()->exportButton(), settings.view()->importButton() }) {
            bool seen = false;
            std::function<void()> readDialog = [&] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return QTimer::singleShot(10, readDialog);
                seen = true;
                texts << dialog->windowTitle() << dialog->nameFilters();
                for (const QString &file : dialog->selectedFiles())
                    texts << QFileInfo(file).fileName();
                dialog->reject();
            };
            QTimer::singleShot(0, readDialog);
            button->click();
            QVERIFY(seen);
        }
        for (const QString &text : std::as_const(texts))
            QVERIFY2(
                !text.isEmpty() && text == TextDirection::withoutMarks(text), qPrintable(text));
        QVERIFY(texts.contains(QStringLiteral("Nookary snippets.json")));

        // Readers get plain text from the controls and rows: the marks are for drawing, and
        // a braille display or a search by name would meet them. (Qt names a label, and a
        // field by its placeholder, as shown.)
        test::FakePanelActions actions;
        PanelView panel(model, actions, f.clock);
        model.addShelfFromDrop(QStringLiteral("abc"));
        model.panelState().selectShelf(model.savedSnippets().items().first().id);
        panel.show();
        walkthrough.window()->show();
        QCoreApplication::processEvents();
        QList<QWidget *> readable = walkthrough.window()->findChildren<QWidget *>();
        readable << panel.shelfColumn()->findChildren<QWidget *>();
        for (QWidget *window : { walkthrough.window(), static_cast<QWidget *>(&panel) }) {
            for (QWidget *w : window->findChildren<QWidget *>()) {
                if (!readable.contains(w))
                    continue;
                QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(w);
                if (!w->isVisibleTo(window) || !reader || qobject_cast<QLabel *>(w)
                    || qobject_cast<QLineEdit *>(w))
                    continue;
                for (const QAccessible::Text kind :
                    { QAccessible::Name, QAccessible::Description }) {
                    const QString text = reader->text(kind);
                    QVERIFY2(text == TextDirection::withoutMarks(text),
                        qPrintable(QStringLiteral("%1: %2").arg(
                            QLatin1String(w->metaObject()->className()), text)));
                }
            }
        }

        // A reason put into a sentence brings no marks of its own, which would reorder the
        // sentence around it.
        settings.view()->importSavedSnippets(QStringLiteral("/nonexistent/absent"), false);
        QLabel *status = settings.view()->snippetsStatusLabel();
        QTRY_VERIFY(status->text().contains(QStringLiteral("Nothing was imported")));
        QVERIFY2(
            status->text().startsWith(QChar(0x200F)) && status->text().count(QChar(0x200F)) == 1,
            qPrintable(status->text()));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
