// SPDX-License-Identifier: GPL-3.0-or-later
// Saved snippets taken elsewhere: reading import files (and refusing bad ones whole), where
// an export may go, and how an import merges into the list.
#include "ModelFixture.h"
#include "ReadOnlyFolder.h"
#include "model/SettingsKeys.h"
#include "model/SnippetTransfer.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

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
        // Binary files that happen to be valid UTF-8; a tab and CR LF line ends are text.
        QTest::newRow("a NUL in lines") << QByteArrayLiteral("good\tone\r\nbad\0one\n")
                                        << int(Format::lines) << QStringLiteral("line 2");
        QTest::newRow("an escape in lines")
            << QByteArray("\x1b[31mred\n") << int(Format::lines) << QStringLiteral("U+001B");
        QTest::newRow("a CR inside a line")
            << QByteArray("one\rtwo\n") << int(Format::lines) << QStringLiteral("line 1");
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

    // Only text with a snippet per line, not a broken export, is offered --lines.
    void whatReadsAsLines()
    {
        QVERIFY(SnippetTransfer::readsAsLines("\xef\xbb\xbfone\r\ntwo\n"));
        QCOMPARE(decoded("\xef\xbb\xbfone\n", Format::lines), QStringList { "one" });
        QVERIFY(!SnippetTransfer::readsAsLines("[{\"text\": \"cut short\"\n"));
        QVERIFY(!SnippetTransfer::readsAsLines(" {\"text\": 1}"));
        QVERIFY(!SnippetTransfer::readsAsLines("caf\xe9\n")); // Latin-1
        QVERIFY(!SnippetTransfer::readsAsLines(QByteArray("a\0b", 3)));
        QVERIFY(!SnippetTransfer::readsAsLines(" \n\n"));
    }

    // Only a regular file is read: a pipe would hold the reader up until it is written.
    void onlyRegularFilesAreRead()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QString error;
        QVERIFY(!SnippetTransfer::readFile(fifo, &error));
        QVERIFY2(error.contains(QStringLiteral("regular file")), qPrintable(error));
        QVERIFY(!SnippetTransfer::readFile(dir.path(), &error));
        QVERIFY2(error.contains(QStringLiteral("folder")), qPrintable(error));
        QVERIFY(!SnippetTransfer::readFile(dir.filePath(QStringLiteral("none")), &error));
        QVERIFY2(error.contains(QStringLiteral("Cannot be read")), qPrintable(error));
    }

    // Standard input is read to its end, however its writer splits it, and no further than
    // one byte past the limit: neither a long export nor an endless stream is cut short.
    void standardInputIsReadWholeOrRefused()
    {
        std::signal(SIGPIPE, SIG_IGN); // the endless writer's end once the reader has enough
        const int savedInput = ::dup(STDIN_FILENO);
        const auto readPiped = [&](const QByteArray &bytes) {
            int fds[2];
            if (::pipe(fds) != 0)
                return std::optional<QByteArray>();
            ::dup2(fds[0], STDIN_FILENO);
            ::close(fds[0]);
            std::thread writer([&, out = fds[1]] {
                // Pieces smaller than the pipe holds, so that the reader sees several.
                for (qsizetype at = 0; at < bytes.size(); at += 4096) {
                    if (::write(out, bytes.constData() + at,
                            size_t(qMin<qsizetype>(4096, bytes.size() - at)))
                        < 0)
                        break;
                }
                ::close(out);
            });
            std::clearerr(stdin);
            const std::optional<QByteArray> read
                = SnippetTransfer::readFile(QStringLiteral("-"), nullptr);
            ::dup2(savedInput, STDIN_FILENO); // closes the pipe: a writer still at it stops
            writer.join();
            return read;
        };
        QStringList texts;
        for (int i = 0; i < 10; ++i)
            texts.append(QString(20000, QChar(u'a' + i)));
        const QByteArray exported = SnippetTransfer::encode(texts);
        QCOMPARE(readPiped(exported), exported);
        const std::optional<QByteArray> endless
            = readPiped(QByteArray(SnippetTransfer::maxImportBytes + 100000, 'x'));
        QVERIFY(endless);
        QCOMPARE(endless->size(), SnippetTransfer::maxImportBytes + 1);
        ::close(savedInput);
    }

    // An export never replaces the settings file, a copy kept beside it, a device or a pipe,
    // and says why it could not write.
    void whereAnExportMayNotGo()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("config"));
        const QString settings = dir.filePath(QStringLiteral("config/Nookary.conf"));
        QFile(settings).open(QIODevice::WriteOnly);
        QFile::link(settings, dir.filePath(QStringLiteral("link.json")));
        QFile::link(dir.filePath(QStringLiteral("config")), dir.filePath(QStringLiteral("cfg")));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        const QStringList texts { QStringLiteral("kept") };
        auto refusal = [&](const QString &name) {
            QString error;
            if (SnippetTransfer::writeFile(dir.filePath(name), texts, settings, &error))
                return QStringLiteral("written");
            return error;
        };
        for (const char *name : { "config/Nookary.conf", "config/../config/Nookary.conf",
                 "link.json", "cfg/Nookary.conf", "config/Nookary.conf.snippets-20260101-000000" })
            QVERIFY2(refusal(QLatin1String(name)).contains(QStringLiteral("settings file")), name);
        QCOMPARE(QFileInfo(settings).size(), 0);
        QCOMPARE(refusal(QStringLiteral("fifo")), QStringLiteral("It is not a regular file."));
        QVERIFY(!QFileInfo(dir.filePath(QStringLiteral("fifo"))).isFile()); // still the pipe
        QCOMPARE(refusal(QStringLiteral("config")), QStringLiteral("It is a folder."));
        QVERIFY(refusal(QStringLiteral("none/x.json")).contains(QStringLiteral("does not exist")));
        QCOMPARE(refusal(QStringLiteral("config/Nookary.json")), QStringLiteral("written"));

        // The folder's fault is named, not a temporary file's "No such file or directory".
        QString error;
        QVERIFY(!SnippetTransfer::writeFile(QStringLiteral("/proc/version"), texts, {}, &error));
        QVERIFY2(error.contains(QStringLiteral("/proc")), qPrintable(error));
        ReadOnlyFolder readOnly(dir.filePath(QStringLiteral("config")));
        if (readOnly.isReadOnly()) {
            QVERIFY(!SnippetTransfer::writeFile(
                dir.filePath(QStringLiteral("config/new.json")), texts, {}, &error));
            QVERIFY2(error.contains(dir.filePath(QStringLiteral("config"))), qPrintable(error));
        }
    }

    void anImportAppendsInOrderAndSkipsWhatIsSaved()
    {
        ModelFixture f;
        AppModel &model = f.start();
        model.addShelfFromDrop(QStringLiteral("first"));
        model.addShelfFromDrop(QStringLiteral("caf\u00e9"));
        QSignalSpy changed(&model.savedSnippets(), &Shelf::changed);
        // Trimmed, canonically equal and repeated texts count as saved, as a drop does.
        const Result result = model.importSavedSnippets(
            { QStringLiteral("  first \n"), QStringLiteral("new one"), QStringLiteral("cafe\u0301"),
                QStringLiteral("new two"), QStringLiteral("new one"), QStringLiteral("   ") });
        QCOMPARE(result, (Result { 2, 3, 0 }));
        QCOMPARE(model.savedSnippetTexts(),
            (QStringList { QStringLiteral("first"), QStringLiteral("caf\u00e9"),
                QStringLiteral("new one"), QStringLiteral("new two") }));
        QCOMPARE(changed.size(), 1); // one change, one write

        // What was there before is kept beside the settings; the import is stored.
        QCOMPARE(keptCopies(f).size(), 1);
        f.start();
        QCOMPARE(f.model->savedSnippetTexts().size(), 4);
    }

    // Each count is a sentence of its own with its plural forms (the English ones come with
    // the translations); a count of zero is left out, the limit is named.
    void whatAnImportSays()
    {
        const auto says = [](Result result) { return SnippetTransfer::describe(result, 25); };
        QCOMPARE(
            says({ 2, 3, 0 }), QStringLiteral("Imported 2 snippet(s). Skipped 3 already saved."));
        QCOMPARE(says({ 0, 0, 1 }),
            QStringLiteral(
                "No snippet was imported. 1 did not fit: at most 25 snippets can be saved."));
        QCOMPARE(
            says({ 0, 0, 0 }), QStringLiteral("The file holds no snippets; nothing was imported."));
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
        QCOMPARE(model.savedSnippets().items().size(), AppModel::shelfMax);
        QCOMPARE(model.savedSnippetTexts().last(), QStringLiteral("snippet 25"));

        // Nothing to add: nothing changes and no copy is kept.
        const QStringList copies = keptCopies(f);
        QSignalSpy changed(&model.savedSnippets(), &Shelf::changed);
        QCOMPARE(model.importSavedSnippets(numbered(1, 3)), (Result { 0, 3, 0 }));
        QCOMPARE(model.importSavedSnippets({ QStringLiteral("one more") }), (Result { 0, 0, 1 }));
        // A text the file repeats is one new text over the limit, its copies skipped.
        QCOMPARE(model.importSavedSnippets({ QStringLiteral("twice"), QStringLiteral("other"),
                     QStringLiteral(" twice ") }),
            (Result { 0, 1, 2 }));
        QCOMPARE(changed.size(), 0);
        QCOMPARE(keptCopies(f), copies);
    }

    void anImportIntoAnEmptyListKeepsNoCopyAndLongTextsAreCut()
    {
        ModelFixture f;
        AppModel &model = f.start();
        const QString longText(maxEntryCharacters + 50, u'x');
        QCOMPARE(model.importSavedSnippets({ longText }), (Result { 1, 0, 0 }));
        QCOMPARE(model.savedSnippets().items().first().text.size(), maxEntryCharacters);
        QVERIFY(keptCopies(f).isEmpty()); // nothing was there to lose
    }
};

QTEST_GUILESS_MAIN(TestSnippetTransfer)
#include "tst_snippettransfer.moc"
