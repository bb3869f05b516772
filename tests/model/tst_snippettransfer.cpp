// SPDX-License-Identifier: GPL-3.0-or-later
// Saved snippets taken elsewhere: reading import files (and refusing bad ones whole), and
// how an import merges into the list.
#include "ModelFixture.h"
#include "model/SettingsKeys.h"
#include "model/SnippetTransfer.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using Format = SnippetTransfer::Format;
using Result = SnippetTransfer::ImportResult;

namespace {

QStringList decoded(const QByteArray &bytes, Format format = Format::exported)
{
    QString error;
    const auto texts = SnippetTransfer::decode(bytes, format, &error);
    if (!texts)
        return { QStringLiteral("error: ") + error };
    return *texts;
}

QStringList keptCopies(const ModelFixture &f)
{
    const QFileInfo info(f.settingsPath());
    return info.dir().entryList({ info.fileName() + QStringLiteral(".snippets-*") }, QDir::Files);
}

QStringList numbered(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out.append(QStringLiteral("snippet %1").arg(i));
    return out;
}

} // namespace

class TestSnippetTransfer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theExportReadsBackAsItWasWritten()
    {
        const QStringList texts { QStringLiteral("plain"), QStringLiteral("two\nlines \"quoted\""),
            QStringLiteral("ünï ✓ 😀"), QStringLiteral("tab\there") };
        const QByteArray file = SnippetTransfer::encode(texts);
        QVERIFY(file.endsWith('\n'));
        QVERIFY(!file.contains("\"id\"")); // a file to move, not the stored list
        QCOMPARE(decoded(file), texts);
        QCOMPARE(decoded(file, Format::byContent), texts);
        QCOMPARE(decoded(SnippetTransfer::encode({})), QStringList());
    }

    void theStoredListAndLinesAreAcceptedToo()
    {
        // The settings file's own form, with ids, imports as its texts.
        QCOMPARE(decoded(R"([{"id":"0A6E2C59-7A0B-4C0E-9E0E-6B6B3E0D1F2A","text":"a"}])"),
            QStringList { QStringLiteral("a") });
        // Lines: CRLF or LF, blank lines and blank texts left out, inner spaces kept.
        QCOMPARE(decoded("one\r\n\r\n  two  words \n   \nthree", Format::lines),
            (QStringList {
                QStringLiteral("one"), QStringLiteral("  two  words "), QStringLiteral("three") }));
        QCOMPARE(decoded(R"([{"text":"  "},{"text":"x","extra":1}])"),
            QStringList { QStringLiteral("x") });
        // By content: a file that does not open an array is lines.
        QCOMPARE(
            decoded("{not json\n", Format::byContent), QStringList { QStringLiteral("{not json") });
    }

    void badFilesAreRefusedWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("saying");
        const int exported = int(Format::exported);
        QTest::newRow("plain text as an export")
            << QByteArray("hello\nworld\n") << exported << QStringLiteral("on line 1");
        QTest::newRow("cut short") << QByteArray("[{\"text\":\"a\"},\n{\"text\":") << exported
                                   << QStringLiteral("on line 2");
        QTest::newRow("an object")
            << QByteArray("{\"text\":\"a\"}") << exported << QStringLiteral("JSON array");
        QTest::newRow("strings, not objects")
            << QByteArray("[\"a\",\"b\"]") << exported << QStringLiteral("item 1");
        QTest::newRow("a number as text") << QByteArray("[{\"text\":\"a\"},{\"text\":5}]")
                                          << exported << QStringLiteral("item 2");
        QTest::newRow("no text") << QByteArray("[{\"id\":\"x\"}]") << exported
                                 << QStringLiteral("item 1");
        QTest::newRow("broken UTF-8 lines")
            << QByteArray("good\n\xff\xfe bad\n") << int(Format::lines) << QStringLiteral("UTF-8");
        QTest::newRow("broken UTF-8 in JSON")
            << QByteArray("[{\"text\":\"\xc3\x28\"}]") << exported << QStringLiteral("line 1");
        QTest::newRow("too large") << QByteArray(SnippetTransfer::maxImportBytes + 1, 'a')
                                   << int(Format::lines) << QStringLiteral("MiB");
    }

    void badFilesAreRefusedWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, format);
        QFETCH(QString, saying);
        QString error;
        QVERIFY(!SnippetTransfer::decode(bytes, Format(format), &error));
        QVERIFY2(error.contains(saying), qPrintable(error));
        QVERIFY(!error.contains(u'\n'));
    }

    void anImportAppendsInOrderAndSkipsWhatIsSaved()
    {
        ModelFixture f;
        AppModel &model = f.start();
        model.addShelfFromDrop(QStringLiteral("first"));
        model.addShelfFromDrop(QStringLiteral("caf\u00e9"));
        QSignalSpy changed(&model, &AppModel::shelfChanged);
        // Trimmed, canonically equal and repeated texts count as saved, as a drop does.
        const Result result = model.importSavedSnippets(
            { QStringLiteral("  first \n"), QStringLiteral("new one"), QStringLiteral("cafe\u0301"),
                QStringLiteral("new two"), QStringLiteral("new one"), QStringLiteral("   ") });
        QCOMPARE(result, (Result { 2, 3, 0 }));
        QCOMPARE(model.savedSnippetTexts(),
            (QStringList { QStringLiteral("first"), QStringLiteral("caf\u00e9"),
                QStringLiteral("new one"), QStringLiteral("new two") }));
        QCOMPARE(changed.size(), 1); // one change, one write
        QCOMPARE(SnippetTransfer::describe(result, AppModel::shelfMax),
            QStringLiteral("Added 2, skipped 3 already saved, 0 over the limit of 25"));

        // What was there before is kept beside the settings; the import is stored.
        QCOMPARE(keptCopies(f).size(), 1);
        f.start();
        QCOMPARE(f.model->savedSnippetTexts().size(), 4);
    }

    void anImportStopsAtTheLimit()
    {
        ModelFixture f;
        AppModel &model = f.start();
        for (const QString &text : numbered(1, 20))
            model.addShelfFromDrop(text);
        // Saved texts still count as saved once the list is full.
        QStringList file = numbered(18, 30);
        const Result result = model.importSavedSnippets(file);
        QCOMPARE(result, (Result { 5, 3, 5 }));
        QCOMPARE(model.shelf().size(), AppModel::shelfMax);
        QCOMPARE(model.savedSnippetTexts().last(), QStringLiteral("snippet 25"));

        // Nothing to add: nothing changes and no copy is kept.
        const QStringList copies = keptCopies(f);
        QSignalSpy changed(&model, &AppModel::shelfChanged);
        QCOMPARE(model.importSavedSnippets(numbered(1, 3)), (Result { 0, 3, 0 }));
        QCOMPARE(model.importSavedSnippets({ QStringLiteral("one more") }), (Result { 0, 0, 1 }));
        QCOMPARE(changed.size(), 0);
        QCOMPARE(keptCopies(f), copies);
    }

    void anImportIntoAnEmptyListKeepsNoCopyAndLongTextsAreCut()
    {
        ModelFixture f;
        AppModel &model = f.start();
        const QString longText(maxEntryCharacters + 50, u'x');
        QCOMPARE(model.importSavedSnippets({ longText }), (Result { 1, 0, 0 }));
        QCOMPARE(model.shelf().first().text.size(), maxEntryCharacters);
        QVERIFY(keptCopies(f).isEmpty()); // nothing was there to lose
    }
};

QTEST_GUILESS_MAIN(TestSnippetTransfer)
#include "tst_snippettransfer.moc"
