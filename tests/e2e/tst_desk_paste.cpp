// SPDX-License-Identifier: GPL-3.0-or-later
// Paste after choosing on a real X desktop: a GTK entry and a Tk entry receive the chosen
// text with nothing else pressed, a terminal's window class gets its own paste key (or none),
// and with the setting off nothing is typed. And the saved snippets' way to another machine:
// exported, taken in by a Nookary with none or one that is starting, and bad files refused.
#include "TestDesk.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QtTest>

#include <csignal>

using namespace nookary::test;

namespace {

const QString kNookary = QStringLiteral(NOOKARY_BINARY);
const QString kTkTarget = QStringLiteral(TK_TARGET_SCRIPT);
const QString kGtkTarget = QStringLiteral(GTK_TARGET_SCRIPT);

// What a target window printed: its lines, read as they come.
struct Target {
    QProcess *process = nullptr;
    QString window;
    QStringList lines;

    QStringList read()
    {
        while (process->canReadLine())
            lines.append(QString::fromUtf8(process->readLine()).trimmed());
        return lines;
    }
    QString text() const
    {
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            if (line->startsWith(QLatin1String("text ")))
                return line->mid(5);
        }
        return {};
    }
};

} // namespace

class TestDeskPaste : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QString x(const QStringList &args) { return m_desk->xdotool(args); }
    QString config() const
    {
        return m_desk->environment().value(QStringLiteral("XDG_CONFIG_HOME"))
            + QStringLiteral("/dorwen");
    }
    QString savedLines() const
    {
        return QString::fromUtf8(m_desk->nookary({ QStringLiteral("--saved") }).out);
    }

    void stopNookary()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = nullptr;
    }

    void startNookary(const QByteArray &settings, const QByteArray &shelf = {})
    {
        stopNookary();
        QVERIFY(
            m_desk->writeNookarySettings("Nookary.defaultOpenTarget.v1=historyFirst\n" + settings));
        if (!shelf.isEmpty())
            nookary::SettingsPreferencesStore(m_desk->nookarySettingsPath())
                .setData(QStringLiteral("Nookary.shelf.v1"), shelf);
        m_nookary = m_desk->startNookary({ .keepSettings = true });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
    }

    void copy(const QByteArray &text)
    {
        m_desk->run(QStringLiteral("xclip"),
            { QStringLiteral("-selection"), QStringLiteral("clipboard") }, text);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_desk->nookary({ QStringLiteral("--history") }).out.contains(text), 5000);
    }

    void startTarget(
        Target &target, const QString &program, const QStringList &arguments, const QString &title)
    {
        target.process = m_desk->spawn(program, arguments);
        QTRY_VERIFY_WITH_TIMEOUT(target.read().contains(QStringLiteral("ready")), 10000);
        target.window = x({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), QStringLiteral("^%1$").arg(title) })
                            .section(u'\n', 0, 0);
        QVERIFY(!target.window.isEmpty());
        x({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), target.window });
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), target.window, 5000);
    }

    // Opens the panel over the active window, filters the history and presses Return, as a
    // user does: the entry goes to the clipboard and the panel closes.
    void choose(const QString &filter)
    {
        m_desk->nookary({ QStringLiteral("--show") });
        QTRY_VERIFY_WITH_TIMEOUT(!m_desk->panelWindow().isEmpty(), 5000);
        QTest::qWait(300);
        x({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), filter });
        QTest::qWait(200);
        x({ QStringLiteral("key"), QStringLiteral("Return") });
        QTRY_VERIFY_WITH_TIMEOUT(m_desk->panelWindow().isEmpty(), 5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("wish")).isEmpty())
            QSKIP("Tk's wish is not installed (scripts/setup installs tk8.6)");
        m_desk = std::make_unique<TestDesk>();
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
    }

    void gtkAndTkEntriesReceiveTheChosenText()
    {
        startNookary("Nookary.pasteAfterChoosing.v1=true\n");
        copy("pasted into gtk");
        copy("pasted into tk");

        Target gtk;
        startTarget(
            gtk, kGtkTarget, { QStringLiteral("GTK target") }, QStringLiteral("GTK target"));
        choose(QStringLiteral("into gtk"));
        QTRY_COMPARE_WITH_TIMEOUT(
            (gtk.read(), gtk.text()), QStringLiteral("pasted into gtk"), 5000);
        QCOMPARE(m_desk->activeWindow(), gtk.window);

        Target tk;
        startTarget(tk, QStringLiteral("wish"), { kTkTarget, QStringLiteral("Tk target") },
            QStringLiteral("Tk target"));
        choose(QStringLiteral("into tk"));
        QTRY_COMPARE_WITH_TIMEOUT((tk.read(), tk.text()), QStringLiteral("pasted into tk"), 5000);
        // One paste, with Ctrl+V: nothing typed twice, no Shift.
        QTest::qWait(500);
        QCOMPARE(tk.read().filter(QStringLiteral("text pasted into tk")).size(), 1);
        QVERIFY2(tk.lines.contains(QStringLiteral("key v 4")), qPrintable(tk.lines.join(u'|')));
        TestDesk::stop(gtk.process);
        TestDesk::stop(tk.process);
    }

    void eachTerminalGetsItsOwnPasteKey()
    {
        startNookary("Nookary.pasteAfterChoosing.v1=true\n");
        copy("for kitty");
        copy("for urxvt");
        copy("for xterm");
        Target terminal;
        startTarget(terminal, QStringLiteral("wish"),
            { kTkTarget, QStringLiteral("Terminal target") }, QStringLiteral("Terminal target"));
        auto chooseIn = [&](const char *instance, const char *windowClass, const QString &filter) {
            x({ QStringLiteral("set_window"), QStringLiteral("--classname"),
                QLatin1String(instance), QStringLiteral("--class"), QLatin1String(windowClass),
                terminal.window });
            terminal.read();
            terminal.lines.clear();
            choose(filter);
        };
        // Control (4) and Shift (1), or Control and Alt (8), held as V goes down.
        chooseIn("kitty", "kitty", QStringLiteral("for kitty"));
        QTRY_VERIFY2_WITH_TIMEOUT(terminal.read().contains(QStringLiteral("key V 5")),
            qPrintable(terminal.lines.join(u'|')), 5000);
        chooseIn("urxvt", "URxvt", QStringLiteral("for urxvt"));
        QTRY_VERIFY2_WITH_TIMEOUT(terminal.read().contains(QStringLiteral("key v 12")),
            qPrintable(terminal.lines.join(u'|')), 5000);
        // xterm has no key that pastes the clipboard: nothing at all is typed.
        chooseIn("xterm", "XTerm", QStringLiteral("for xterm"));
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), terminal.window, 5000);
        QTest::qWait(1500); // past the time a paste may wait
        QVERIFY2(terminal.read().filter(QStringLiteral("key ")).isEmpty(),
            qPrintable(terminal.lines.join(u'|')));
        TestDesk::stop(terminal.process);
    }

    void withTheSettingOffNothingIsTyped()
    {
        startNookary({});
        copy("only on the clipboard");
        Target tk;
        startTarget(tk, QStringLiteral("wish"), { kTkTarget, QStringLiteral("Quiet target") },
            QStringLiteral("Quiet target"));
        choose(QStringLiteral("clipboard"));
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), tk.window, 5000);
        QTest::qWait(1500); // past the time a paste may wait
        QVERIFY2(
            tk.read().filter(QStringLiteral("key ")).isEmpty(), qPrintable(tk.lines.join(u'|')));
        QCOMPARE(tk.text(), QString());
        TestDesk::stop(tk.process);
    }

    // Export, an empty Nookary, import: the same list, in the same order.
    void savedSnippetsTravelThroughAFile()
    {
        startNookary({},
            R"([{"id":"0E0B2C59-7A0B-4C0E-9E0E-6B6B3E0D1F2A","text":"first line"},)"
            R"({"id":"1E0B2C59-7A0B-4C0E-9E0E-6B6B3E0D1F2A","text":"two\nlines"},)"
            R"({"id":"2E0B2C59-7A0B-4C0E-9E0E-6B6B3E0D1F2A","text":"caf\u00e9 \u2713"}])");
        const QStringList before = savedLines().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(before.size(), 3);
        const QString file = m_desk->homePath() + QStringLiteral("/snippets.json");
        TestDesk::Result exported = m_desk->nookary({ QStringLiteral("--export-saved"), file });
        QCOMPARE(exported.exitCode, 0);
        QVERIFY(QFile::exists(file));
        QCOMPARE(QFile(file).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
            QFileDevice::Permissions());

        // Without a running Nookary, from the settings file: the same export.
        stopNookary();
        const TestDesk::Result offline = m_desk->nookary({ QStringLiteral("--export-saved") });
        QCOMPARE(offline.exitCode, 0);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(offline.out, written.readAll());

        startNookary({});
        QCOMPARE(savedLines(), QString());
        const TestDesk::Result imported
            = m_desk->nookary({ QStringLiteral("--import-saved"), file });
        QCOMPARE(imported.exitCode, 0);
        // "snippet(s)" where the English plural forms are not installed.
        QVERIFY2(imported.out.startsWith("Imported 3 snippet") && imported.out.count('.') == 1,
            imported.out.constData());
        const QStringList after = savedLines().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(after.size(), 3);
        for (int i = 0; i < 3; ++i) // new ids, the same texts in the same order
            QCOMPARE(after[i].section(QStringLiteral("\"text\""), 1),
                before[i].section(QStringLiteral("\"text\""), 1));

        // Again: all already saved. A plain text file without --lines: refused, unchanged.
        QCOMPARE(m_desk->nookary({ QStringLiteral("--import-saved"), file }).out,
            QByteArray("No snippet was imported. Skipped 3 already saved.\n"));
        const QString notes = m_desk->homePath() + QStringLiteral("/notes.txt");
        QFile plain(notes);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("one note\nanother note\n");
        plain.close();
        const TestDesk::Result refused
            = m_desk->nookary({ QStringLiteral("--import-saved"), notes });
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("--lines"), refused.err.constData());
        QCOMPARE(savedLines().split(u'\n', Qt::SkipEmptyParts).size(), 3);
        const TestDesk::Result lines = m_desk->run(
            kNookary, { QStringLiteral("--import-saved"), QStringLiteral("--lines"), notes });
        QVERIFY2(lines.out.startsWith("Imported 2 snippet"), lines.out.constData());
        QVERIFY(savedLines().contains(QStringLiteral("another note")));

        // With no Nookary running, the settings file takes the import.
        stopNookary();
        QFile later(m_desk->homePath() + QStringLiteral("/later.txt"));
        QVERIFY(later.open(QIODevice::WriteOnly));
        later.write("one note\noffline note\n");
        later.close();
        const TestDesk::Result offlineImport = m_desk->run(kNookary,
            { QStringLiteral("--import-saved"), QStringLiteral("--lines"), later.fileName() });
        QVERIFY2(offlineImport.out.startsWith("Imported 1 snippet")
                && offlineImport.out.endsWith(". Skipped 1 already saved.\n"),
            offlineImport.out.constData());
        QCOMPARE(offlineImport.err, QByteArray()); // the settings file's log lines stay out
        const QByteArray stored = m_desk->nookary({ QStringLiteral("--export-saved") }).out;
        QVERIFY2(stored.contains("\"offline note\"") && stored.count("\"text\"") == 6,
            stored.constData());

        // An export never goes over the settings file.
        const QString settings = config() + QStringLiteral("/Nookary.conf");
        const TestDesk::Result ontoSettings
            = m_desk->nookary({ QStringLiteral("--export-saved"), settings });
        QCOMPARE(ontoSettings.exitCode, 1);
        QVERIFY2(ontoSettings.err.contains("settings file"), ontoSettings.err.constData());
        QVERIFY(m_desk->nookary({ QStringLiteral("--export-saved") }).out == stored);

        // A settings file that cannot be read is no empty list, and is only read: no copy of
        // it is made, nothing in its folder changes.
        const QByteArray damagedBytes("\x01\x02[General\x00\xff\xfe", 11);
        QFile damaged(settings);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(damagedBytes);
        damaged.close();
        const QStringList folder = QDir(config()).entryList(QDir::AllEntries | QDir::Hidden);
        const TestDesk::Result unreadable = m_desk->nookary({ QStringLiteral("--export-saved") });
        QCOMPARE(unreadable.exitCode, 1);
        QCOMPARE(unreadable.out, QByteArray());
        QVERIFY2(unreadable.err.contains("damaged"), unreadable.err.constData());
        QCOMPARE(QDir(config()).entryList(QDir::AllEntries | QDir::Hidden), folder);
        QVERIFY(damaged.open(QIODevice::ReadOnly));
        QCOMPARE(damaged.readAll(), damagedBytes);
    }

    // Imports made while Nookary starts, before and after it reads the settings, are all
    // kept: none is written to the file behind the back of an instance that read it already.
    void importsWhileNookaryStartsAreKept()
    {
        stopNookary();
        QVERIFY(m_desk->writeNookarySettings());
        m_nookary = m_desk->spawn(kNookary, { QStringLiteral("--launched-from-login-item") });
        // One import after another from the moment it was started until it has answered
        // twice: some before it reads the settings, some while it starts, some through it.
        QStringList imported;
        int answered = 0;
        for (int i = 1; i <= 30 && answered < 2; ++i) {
            QFile file(m_desk->homePath() + QStringLiteral("/start%1.txt").arg(i));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("while starting %1\n").arg(i).toUtf8());
            file.close();
            const TestDesk::Result result = m_desk->run(kNookary,
                { QStringLiteral("--import-saved"), QStringLiteral("--lines"), file.fileName() });
            QVERIFY2(result.exitCode == 0, result.err.constData());
            imported.append(QStringLiteral("while starting %1").arg(i));
            if (m_desk->nookary({ QStringLiteral("--history") }).exitCode == 0)
                ++answered;
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            m_desk->nookary({ QStringLiteral("--history") }).exitCode == 0, 10000);
        const QString saved = savedLines();
        for (const QString &text : imported)
            QVERIFY2(saved.contains(text), qPrintable(text + QStringLiteral(" lost: ") + saved));
    }

    // An instance that went away after the import reached it may have taken it: the command
    // line does not claim to know.
    void anImportWhoseAnswerIsLostIsNotKnown()
    {
        startNookary({});
        const QString file = m_desk->homePath() + QStringLiteral("/lost.txt");
        QFile lost(file);
        QVERIFY(lost.open(QIODevice::WriteOnly));
        lost.write("never answered\n");
        lost.close();
        // Stopped, it still takes the connection; killed, it never answers.
        ::kill(pid_t(m_nookary->processId()), SIGSTOP);
        QProcess import;
        import.setProcessEnvironment(m_desk->environment());
        import.start(
            kNookary, { QStringLiteral("--import-saved"), QStringLiteral("--lines"), file });
        QVERIFY(import.waitForStarted());
        QTest::qWait(1000);
        m_nookary->kill();
        m_nookary->waitForFinished(5000);
        QVERIFY(import.waitForFinished(20000));
        QCOMPARE(import.exitCode(), 1);
        const QByteArray err = import.readAllStandardError();
        QVERIFY2(err.contains("not known") && err.contains("--saved"), err.constData());
        stopNookary();
    }

    void cleanupTestCase() { stopNookary(); }
};

QTEST_GUILESS_MAIN(TestDeskPaste)
#include "tst_desk_paste.moc"
