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
        QCOMPARE(f.pasteboard.contents().text, QStringLiteral("hello"));
        QCOMPARE(f.pasteboard.contents().fileURL, std::nullopt);
        QCOMPARE(model.lastProgrammaticWrite(), QStringLiteral("hello"));
        model.pollClipboard();
        QVERIFY(model.history().isEmpty());
    }

    void aLocalFileURLIsWrittenAsTheFile()
    {
        ModelFixture f;
        AppModel &model = f.start();
        ClipboardWriter writer(model, f.pasteboard);
        writer.write(QStringLiteral("File:///tmp/a%20b.txt"));
        QCOMPARE(f.pasteboard.contents().fileURL, QStringLiteral("file:///tmp/a%20b.txt"));

        // Not a valid URL, or not a local file: plain text.
        writer.write(QStringLiteral("file://not a url"));
        QCOMPARE(f.pasteboard.contents().fileURL, std::nullopt);
        QCOMPARE(f.pasteboard.contents().text, QStringLiteral("file://not a url"));
        writer.write(QStringLiteral("https://example.org/x"));
        QCOMPARE(f.pasteboard.contents().fileURL, std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestClipboardWriter)
#include "tst_clipboardwriter.moc"
