// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ClipboardFormats.h"
#include "platform/wayland/DataControlRules.h"

#include <QtTest>

using namespace nookary;
using namespace nookary::datacontrol;

namespace {

// Offers are told apart by address only.
int a, b, c, d;
const OfferBook::Id A = &a, B = &b, C = &c, D = &d;

QByteArray formOf(const QList<OfferedForm> &forms, const QByteArray &type)
{
    for (const OfferedForm &form : forms) {
        if (form.mimeType == type)
            return form.data;
    }
    return "(not offered)";
}

} // namespace

class TestDataControlRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textIsReadInTheFormEveryReaderPrefers()
    {
        QCOMPARE(textTypeToRead({ "TEXT", "STRING", "text/plain", "UTF8_STRING" }),
            QByteArray("UTF8_STRING"));
        QCOMPARE(textTypeToRead({ "STRING", "text/plain;charset=utf-8" }),
            QByteArray("text/plain;charset=utf-8"));
        QCOMPARE(textTypeToRead({ "STRING", "TEXT" }), QByteArray("STRING"));
        // An image, or a list of files alone, has no text to read.
        QCOMPARE(textTypeToRead({ "image/png", "TEXT" }), std::nullopt);
        QCOMPARE(textTypeToRead({ "text/uri-list" }), std::nullopt);
        QCOMPARE(textTypeToRead({}), std::nullopt);
    }

    void theHintAloneMarksASecret()
    {
        QVERIFY(isMarkedSecret({ "text/plain", "x-kde-passwordManagerHint" }));
        QVERIFY(!isMarkedSecret({ "text/plain", "x-kde-passwordmanagerhint-not" }));
        QVERIFY(!isMarkedSecret({}));
    }

    void aUrlListGivesEveryEntry()
    {
        using clipboardformats::urlsOfList;
        QCOMPARE(urlsOfList("# comment\r\n\r\nfile:///a%20b\r\nfile:///c\r\n"),
            (QStringList { QStringLiteral("file:///a%20b"), QStringLiteral("file:///c") }));
        QCOMPARE(urlsOfList("file:///only"), QStringList { QStringLiteral("file:///only") });
        QCOMPARE(urlsOfList("# nothing but a comment\n\n"), QStringList {});
        QCOMPARE(urlsOfList(""), QStringList {});
        // As file managers write it: LF alone, a NUL for the last line's end, blanks.
        const QStringList two { QStringLiteral("file:///a"), QStringLiteral("file:///b") };
        QCOMPARE(urlsOfList(QByteArray("file:///a\r\nfile:///b\0", 21)), two);
        QCOMPARE(urlsOfList(QByteArray("file:///a\nfile:///b\n \0\0", 23)), two);
        QCOMPARE(urlsOfList(QByteArray("file:///only\0", 13)),
            QStringList { QStringLiteral("file:///only") });
    }

    void textCutAtTheCapLosesOnlyTheCharacterItSplit()
    {
        using clipboardformats::decodeText;
        const QByteArray snowmen = QStringLiteral("a\u2603\u2603").toUtf8(); // 1 + 3 + 3
        for (qsizetype cutAt = 1; cutAt <= snowmen.size(); ++cutAt) {
            const QString text = decodeText("UTF8_STRING", snowmen.first(cutAt), true);
            QVERIFY(!text.contains(QChar::ReplacementCharacter));
            QCOMPARE(text.toUtf8(), snowmen.first(cutAt < 4 ? 1 : cutAt < 7 ? 4 : 7));
        }
        // Bytes not cut by the cap are decoded as they are.
        QVERIFY(decodeText("UTF8_STRING", "\xe2\x98", false).contains(QChar::ReplacementCharacter));
    }

    void ourCopiesReadBackAsTheyWereWritten()
    {
        const QString text = QStringLiteral("caf\u00e9 \u2603");
        const QList<OfferedForm> forms = formsForText(text);
        for (const QByteArray &type : clipboardformats::textTypes)
            QCOMPARE(clipboardformats::decodeText(type, formOf(forms, type)),
                type == "STRING" ? QStringLiteral("caf\u00e9 ?") : text);
        QCOMPARE(textTypeToRead([&] {
            QByteArrayList types;
            for (const OfferedForm &form : forms)
                types.append(form.mimeType);
            return types;
        }()),
            QByteArray("UTF8_STRING"));

        const QUrl url = QUrl::fromLocalFile(QStringLiteral("/tmp/a b.txt"));
        const QList<OfferedForm> file = formsForFileUrls({ url });
        QCOMPARE(formOf(file, "text/uri-list"), QByteArray("file:///tmp/a%20b.txt\r\n"));
        QCOMPARE(clipboardformats::urlsOfList(formOf(file, "text/uri-list")),
            QStringList { QStringLiteral("file:///tmp/a%20b.txt") });
        QCOMPARE(formOf(file, "x-special/gnome-copied-files"),
            QByteArray("copy\nfile:///tmp/a%20b.txt"));
        QCOMPARE(formOf(file, "text/plain;charset=utf-8"), QByteArray("file:///tmp/a%20b.txt"));
        const QList<OfferedForm> files
            = formsForFileUrls({ url, QUrl::fromLocalFile(QStringLiteral("/tmp/c")) });
        QCOMPARE(formOf(files, "text/plain;charset=utf-8"), QByteArray("/tmp/a b.txt\n/tmp/c"));
    }

    void aNewSelectionDestroysTheOneItReplaced()
    {
        OfferBook book;
        book.introduce(A);
        QCOMPARE(book.selectionChanged(A), QList<OfferBook::Id> {});
        QCOMPARE(book.current(), A);
        book.introduce(B);
        QCOMPARE(book.selectionChanged(B), QList<OfferBook::Id> { A });
        QCOMPARE(book.current(), B);
        // The same offer named again is kept.
        QCOMPARE(book.selectionChanged(B), QList<OfferBook::Id> {});
        // An empty clipboard leaves nothing held.
        QCOMPARE(book.selectionChanged(nullptr), QList<OfferBook::Id> { B });
        QCOMPARE(book.current(), nullptr);
        QCOMPARE(book.takeAll(), QList<OfferBook::Id> {});
    }

    void primaryAndStrayOffersAreDestroyedAndTheSelectionKept()
    {
        OfferBook book;
        book.introduce(A);
        book.selectionChanged(A);
        // The primary selection's offer goes at once; the clipboard's stays.
        book.introduce(B);
        QCOMPARE(book.primarySelectionChanged(B), QList<OfferBook::Id> { B });
        QCOMPARE(book.current(), A);
        QCOMPARE(book.primarySelectionChanged(nullptr), QList<OfferBook::Id> {});
        // An offer introduced and never named goes with the next selection.
        book.introduce(C);
        book.introduce(D);
        const QList<OfferBook::Id> gone = book.selectionChanged(D);
        QCOMPARE(gone.size(), 2);
        QVERIFY(gone.contains(A) && gone.contains(C));
        book.introduce(A);
        const QList<OfferBook::Id> rest = book.takeAll();
        QCOMPARE(rest.size(), 2);
        QVERIFY(rest.contains(A) && rest.contains(D));
        QCOMPARE(book.current(), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestDataControlRules)
#include "tst_datacontrolrules.moc"
