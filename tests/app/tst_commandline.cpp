// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Translations.h"

#include <QTranslator>
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

    // The help fits a terminal of 80 columns in English and in every translation.
    void theHelpFitsEightyColumns()
    {
        const QDir folder(Translations::folder());
        const QStringList files = folder.entryList({ QStringLiteral("nookary_*.qm") });
        QVERIFY2(files.size() >= 2, qPrintable(folder.path()));
        for (const QString &file : files) {
            QTranslator translation;
            QVERIFY(translation.load(folder.filePath(file)));
            QCoreApplication::installTranslator(&translation);
            const QStringList lines = CommandLine::usage().split(u'\n');
            QCoreApplication::removeTranslator(&translation);
            for (const QString &line : lines)
                QVERIFY2(line.size() <= 80, qPrintable(file + QStringLiteral(": ") + line));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
