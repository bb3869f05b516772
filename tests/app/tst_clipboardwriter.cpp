// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"
#include "app/ClipboardWriter.h"

#include <QtTest>

using namespace nookary;
using namespace nookary::test;

// Copy-back without any window: the writer, the model and an in-memory clipboard.
class TestClipboardWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textIsWrittenAsTheProgramsOwn()
    {
        ModelFixture f;
        AppModel &model = f.start();
        ClipboardWriter writer(model, f.pasteboard);
        writer.write(QStringLiteral("hello"));
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("hello"));
        QVERIFY(f.pasteboard.clipboard().fileURLs.isEmpty());
        QVERIFY(f.pasteboard.isOwnChange());
        QVERIFY(model.clipboardHistory().items().isEmpty());

        // Another program's copy takes the clipboard at once, before it has been read.
        QVERIFY(f.pasteboard.holdsOwnWrite());
        f.pasteboard.holdReads(true);
        f.pasteboard.copyText(QStringLiteral("theirs"));
        QVERIFY(!f.pasteboard.holdsOwnWrite());
        QVERIFY(f.pasteboard.landRead());
        QVERIFY(!f.pasteboard.holdsOwnWrite());
    }

    void localFilesAreWrittenAsFiles()
    {
        ModelFixture f;
        AppModel &model = f.start();
        ClipboardWriter writer(model, f.pasteboard);
        writer.write(QStringLiteral("File:///tmp/a%20b.txt"));
        QCOMPARE(f.pasteboard.clipboard().fileURLs, QStringList { "file:///tmp/a%20b.txt" });

        // Several files, one URL a line, stay several files.
        writer.write(QStringLiteral("file:///tmp/a.txt\nfile:///tmp/b%20c.txt\nfile:///d"));
        QCOMPARE(f.pasteboard.clipboard().fileURLs,
            (QStringList { "file:///tmp/a.txt", "file:///tmp/b%20c.txt", "file:///d" }));
        // Their plain text is their paths.
        QCOMPARE(f.pasteboard.clipboard().text, QStringLiteral("/tmp/a.txt\n/tmp/b c.txt\n/d"));

        // Not a valid URL, not a local file, or not every line one: plain text.
        for (const QString &text :
            { QStringLiteral("file://not a url"), QStringLiteral("https://example.org/x"),
                QStringLiteral("file:///tmp/a.txt\nand a word") }) {
            writer.write(text);
            QVERIFY(f.pasteboard.clipboard().fileURLs.isEmpty());
            QCOMPARE(f.pasteboard.clipboard().text, text);
        }
        QVERIFY(model.clipboardHistory().items().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClipboardWriter)
#include "tst_clipboardwriter.moc"
