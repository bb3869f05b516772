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
        // Qt's own options, with their values, are left for Qt.
        QTest::newRow("Qt options") << QStringList { QStringLiteral("-platform"),
            QStringLiteral("xcb"), QStringLiteral("--display"), QStringLiteral(":3"),
            QStringLiteral("-reverse"), QStringLiteral("-style=fusion"), QStringLiteral("-session"),
            QStringLiteral("1234-5"), QStringLiteral("--launched-from-login-item") }
                                    << Action::start << true;
        QTest::newRow("a value that looks like an option") << QStringList {
            QStringLiteral("-title"), QStringLiteral("--hide"), QStringLiteral("--toggle")
        } << Action::toggle << false;
        QTest::newRow("Qt option without its value")
            << QStringList { QStringLiteral("--toggle"), QStringLiteral("-display") }
            << Action::invalid << false;
        QTest::newRow("Qt option with = where Qt takes none")
            << QStringList { QStringLiteral("-platform=xcb") } << Action::invalid << false;
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

    void qtOptionsKeepTheirValues()
    {
        const CommandLine parsed = CommandLine::parse({ QStringLiteral("--show"),
            QStringLiteral("-display"), QStringLiteral(":7"), QStringLiteral("-reverse") });
        QCOMPARE(parsed.action, Action::show);
        QCOMPARE(parsed.qtArguments,
            QStringList(
                { QStringLiteral("-display"), QStringLiteral(":7"), QStringLiteral("-reverse") }));
    }

    // The program hands its arguments to Qt: without a display and without
    // QT_QPA_PLATFORM, only `-platform offscreen` lets it start.
    void qtOptionsReachQt()
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                 "DBUS_SESSION_BUS_ADDRESS", "XDG_SESSION_TYPE" })
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        const QStringList platform { QStringLiteral("-platform"), QStringLiteral("offscreen") };
        QProcess nookary;
        nookary.setProcessEnvironment(env);
        nookary.setProcessChannelMode(QProcess::ForwardedChannels);
        nookary.start(QStringLiteral(NOOKARY_BINARY),
            platform + QStringList { QStringLiteral("--launched-from-login-item") });
        QVERIFY(nookary.waitForStarted());
        auto answers = [&] {
            QProcess history;
            history.setProcessEnvironment(env);
            history.start(QStringLiteral(NOOKARY_BINARY),
                platform + QStringList { QStringLiteral("--history") });
            return history.waitForFinished(10000) && history.exitCode() == 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(nookary.state() != QProcess::Running || answers(), 20000);
        QCOMPARE(nookary.state(), QProcess::Running);
        nookary.terminate();
        if (!nookary.waitForFinished(10000))
            nookary.kill();
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
