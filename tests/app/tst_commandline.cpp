// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <QtTest>

using namespace nookary;
using Action = CommandLine::Action;

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<bool>("fromLogin");
        QTest::newRow("nothing starts") << QStringList {} << Action::start << false;
        QTest::newRow("login marker")
            << QStringList { QStringLiteral("--launched-from-login-item") } << Action::start
            << true;
        QTest::newRow("history") << QStringList { QStringLiteral("--history") } << Action::history
                                 << false;
        QTest::newRow("saved") << QStringList { QStringLiteral("--saved") } << Action::saved
                               << false;
        QTest::newRow("toggle") << QStringList { QStringLiteral("--toggle") } << Action::toggle
                                << false;
        QTest::newRow("repeated option")
            << QStringList { QStringLiteral("--show"), QStringLiteral("--show") } << Action::show
            << false;
        QTest::newRow("help") << QStringList { QStringLiteral("-h") } << Action::help << false;
        QTest::newRow("version") << QStringList { QStringLiteral("--version") } << Action::version
                                 << false;
        QTest::newRow("unknown option")
            << QStringList { QStringLiteral("--histroy") } << Action::invalid << false;
        QTest::newRow("single-dash long option")
            << QStringList { QStringLiteral("-history") } << Action::invalid << false;
        QTest::newRow("stray argument")
            << QStringList { QStringLiteral("history") } << Action::invalid << false;
        QTest::newRow("two actions")
            << QStringList { QStringLiteral("--show"), QStringLiteral("--hide") } << Action::invalid
            << false;
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(bool, fromLogin);
        const CommandLine parsed = CommandLine::parse(arguments);
        QCOMPARE(parsed.action, action);
        QCOMPARE(parsed.launchedFromLoginItem, fromLogin);
        QCOMPARE(parsed.error.isEmpty(), action != Action::invalid);
    }

    void theSnippetFileOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("lines");
        auto row = [](const char *name, QStringList arguments, Action action, QString file = {},
                       bool lines = false) {
            QTest::newRow(name) << arguments << action << file << lines;
        };
        row("export to stdout", { "--export-saved" }, Action::exportSaved);
        row("export to a file", { "--export-saved", "s.json" }, Action::exportSaved, "s.json");
        row("import", { "--import-saved", "s.json" }, Action::importSaved, "s.json");
        row("import lines", { "--import-saved", "--lines", "notes.txt" }, Action::importSaved,
            "notes.txt", true);
        row("lines after the file", { "--import-saved", "notes.txt", "--lines" },
            Action::importSaved, "notes.txt", true);
        row("import from stdin", { "--import-saved", "-" }, Action::importSaved, "-");
        row("import without a file", { "--import-saved" }, Action::invalid);
        row("lines alone", { "--lines", "notes.txt" }, Action::invalid);
        row("lines with export", { "--export-saved", "--lines" }, Action::invalid);
        row("two files", { "--export-saved", "a.json", "b.json" }, Action::invalid);
        row("a file for another option", { "--saved", "s.json" }, Action::invalid);
        row("export and import", { "--export-saved", "--import-saved", "s.json" }, Action::invalid);
    }

    void theSnippetFileOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, file);
        QFETCH(bool, lines);
        const CommandLine parsed = CommandLine::parse(arguments);
        QCOMPARE(parsed.action, action);
        if (action != Action::invalid) {
            QCOMPARE(parsed.file, file);
            QCOMPARE(parsed.lines, lines);
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
