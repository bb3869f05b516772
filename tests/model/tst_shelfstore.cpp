// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFixture.h"
#include "ReadOnlyFolder.h"
#include "SmallDisk.h"
#include "model/SettingsKeys.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

#include <cstdio>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;
namespace SK = nookary::SettingsKeys;

namespace {

const QString kShelfKey = QString::fromLatin1(SK::shelf.current);

QStringList texts(const QList<ShelfItem> &items)
{
    QStringList out;
    for (const ShelfItem &item : items)
        out.append(item.text);
    return out;
}

QByteArray shelfJson(const QStringList &textsToStore)
{
    QJsonArray array;
    for (const QString &text : textsToStore)
        array.append(QJsonObject {
            { QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() },
            { QStringLiteral("text"), text } });
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// What the settings file holds for the snippets, decoded.
QStringList storedTexts(const ModelFixture &f)
{
    const QByteArray data = f.reread()->data(kShelfKey).value_or(QByteArray());
    QStringList out;
    for (const QJsonValue &v : QJsonDocument::fromJson(data).array())
        out.append(v.toObject().value(QStringLiteral("text")).toString());
    return out;
}

// Stores the snippet data as an earlier run left it, then starts the model.
void startWithShelf(ModelFixture &f, const QByteArray &data, const char *key = SK::shelf.current)
{
    SettingsPreferencesStore(f.settingsPath()).setData(QString::fromLatin1(key), data);
    f.start();
}

QStringList keptCopies(const ModelFixture &f)
{
    const QFileInfo info(f.settingsPath());
    return info.dir().entryList({ info.fileName() + QStringLiteral(".snippets-*") }, QDir::Files);
}

// The one copy kept of replaced snippets.
QByteArray keptCopy(const ModelFixture &f)
{
    const QStringList copies = keptCopies(f);
    if (copies.size() != 1)
        return "(" + QByteArray::number(copies.size()) + " copies)";
    QFile copy(QFileInfo(f.settingsPath()).dir().filePath(copies.first()));
    return copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray("(unreadable)");
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Another Nookary sharing the settings file: reads the stored list, changes it and writes
// the file anew, replacing it by rename as QSettings does, unseen by this process's QSettings.
void anotherInstanceChanges(
    const ModelFixture &f, const std::function<void(QList<ShelfItem> &)> &change)
{
    const QString path = f.settingsPath() + QStringLiteral(".other");
    QFile::remove(path);
    QVERIFY(QFile::copy(f.settingsPath(), path));
    {
        QSettings other(path, QSettings::IniFormat);
        QList<ShelfItem> items;
        const QJsonArray stored
            = QJsonDocument::fromJson(other.value(kShelfKey).toByteArray()).array();
        for (const QJsonValue &v : stored)
            items.append(ShelfItem::make(QUuid::fromString(v[QStringLiteral("id")].toString()),
                v[QStringLiteral("text")].toString()));
        change(items);
        QJsonArray array;
        for (const ShelfItem &item : std::as_const(items))
            array.append(QJsonObject {
                { QStringLiteral("id"), item.id.toString(QUuid::WithoutBraces).toUpper() },
                { QStringLiteral("text"), item.text } });
        other.setValue(kShelfKey, QJsonDocument(array).toJson(QJsonDocument::Compact));
    }
    QCOMPARE(std::rename(QFile::encodeName(path).constData(),
                 QFile::encodeName(f.settingsPath()).constData()),
        0);
}

void append(QList<ShelfItem> &items, const QString &text)
{
    items.append(ShelfItem::make(QUuid::createUuid(), text));
}

} // namespace

class TestShelfStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadingCleansAndRewritesTheList()
    {
        ModelFixture f;
        QStringList stored { QStringLiteral("  one  "), QStringLiteral(" \n "),
            QStringLiteral("two"), QStringLiteral("two") };
        for (int i = 0; i < 26; ++i)
            stored.append(QStringLiteral("extra %1").arg(i));
        startWithShelf(f, shelfJson(stored));
        // The first 25 are read, blanks dropped, duplicates kept, text normalised.
        QCOMPARE(f.model->savedSnippets().items().size(), 24);
        QCOMPARE(texts(f.model->savedSnippets().items()).mid(0, 3),
            (QStringList { QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("two") }));
        QCOMPARE(storedTexts(f), texts(f.model->savedSnippets().items()));
        // Snippets beyond the 25 are gone from the list, so the list as stored is kept.
        QCOMPARE(keptCopies(f).size(), 1);
    }

    void cleaningThatLosesNothingKeepsNoCopy()
    {
        ModelFixture f;
        startWithShelf(f,
            shelfJson(
                { QStringLiteral("  one  "), QStringLiteral(" \n "), QStringLiteral("two") }));
        QCOMPARE(texts(f.model->savedSnippets().items()),
            (QStringList { QStringLiteral("one"), QStringLiteral("two") }));
        QVERIFY(keptCopies(f).isEmpty());
    }

    void aTextCutOnLoadIsKeptWhole()
    {
        ModelFixture f;
        const QByteArray stored = shelfJson({ QStringLiteral("short"), QString(25000, u'w') });
        startWithShelf(f, stored);
        QCOMPARE(f.model->savedSnippets().items().at(1).text.size(), 20000);
        QCOMPARE(keptCopy(f), stored);
    }

    void theAllZeroIdCostsOnlyThatId()
    {
        ModelFixture f;
        const QString first = QStringLiteral("6F1A2B3C-0000-4000-8000-000000000001");
        const QString third = QStringLiteral("6F1A2B3C-0000-4000-8000-000000000003");
        startWithShelf(f,
            QStringLiteral("[{\"id\":\"%1\",\"text\":\"one\"},"
                           "{\"id\":\"00000000-0000-0000-0000-000000000000\",\"text\":\"two\"},"
                           "{\"id\":\"%2\",\"text\":\"three\"}]")
                .arg(first, third)
                .toUtf8());
        const QList<ShelfItem> shelf = f.model->savedSnippets().items();
        QCOMPARE(texts(shelf),
            (QStringList {
                QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") }));
        QCOMPARE(shelf.at(0).id, QUuid::fromString(first));
        QCOMPARE(shelf.at(2).id, QUuid::fromString(third));
        QVERIFY(!shelf.at(1).id.isNull());
        QVERIFY(keptCopies(f).isEmpty());
        // The new id is stored, and the snippet behaves as any other.
        f.start();
        QCOMPARE(f.model->savedSnippets().items(), shelf);
        f.model->deleteShelf(shelf.at(1).id);
        QCOMPARE(texts(f.model->savedSnippets().items()),
            (QStringList { QStringLiteral("one"), QStringLiteral("three") }));
    }

    void aRepeatedIdCostsOnlyThatId()
    {
        ModelFixture f;
        const QString dup = QStringLiteral("6F1A2B3C-0000-4000-8000-000000000005");
        const QString other = QStringLiteral("6F1A2B3C-0000-4000-8000-000000000006");
        startWithShelf(f,
            QStringLiteral("[{\"id\":\"%1\",\"text\":\"dup A\"},"
                           "{\"id\":\"%1\",\"text\":\"dup B\"},"
                           "{\"id\":\"%2\",\"text\":\"other\"}]")
                .arg(dup, other)
                .toUtf8());
        const QList<ShelfItem> shelf = f.model->savedSnippets().items();
        QCOMPARE(texts(shelf),
            (QStringList {
                QStringLiteral("dup A"), QStringLiteral("dup B"), QStringLiteral("other") }));
        // The first keeps the id; the later one gets its own.
        QCOMPARE(shelf.at(0).id, QUuid::fromString(dup));
        QVERIFY(shelf.at(1).id != shelf.at(0).id && !shelf.at(1).id.isNull());
        QCOMPARE(shelf.at(2).id, QUuid::fromString(other));
        QVERIFY(keptCopies(f).isEmpty());
        // Each is its own snippet: numbered apart, deleted apart, and the new id is stored.
        QCOMPARE(f.model->panelState().shelfItemForShortcut(2)->text, QStringLiteral("dup B"));
        f.start();
        QCOMPARE(f.model->savedSnippets().items(), shelf);
        f.model->deleteShelf(shelf.at(0).id);
        QCOMPARE(texts(f.model->savedSnippets().items()),
            (QStringList { QStringLiteral("dup B"), QStringLiteral("other") }));
        QCOMPARE(
            storedTexts(f), (QStringList { QStringLiteral("dup B"), QStringLiteral("other") }));
    }

    void aTextCutOnLoadEndsWithoutSpace()
    {
        ModelFixture f;
        startWithShelf(f, shelfJson({ QStringLiteral("x ").repeated(10000) + u'y' }));
        QCOMPARE(f.model->savedSnippets().items().at(0).text,
            QStringLiteral("x ").repeated(9999) + u'x');
        QCOMPARE(storedTexts(f), texts(f.model->savedSnippets().items()));
        QCOMPARE(keptCopies(f).size(), 1);
    }

    void snippetsSurviveARestart()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.addShelfFromDrop(QStringLiteral("alpha"));
        m.addShelfFromDrop(QStringLiteral("beta"));
        const QList<ShelfItem> before = m.savedSnippets().items();
        f.start();
        QCOMPARE(f.model->savedSnippets().items(), before);
    }

    void legacyListIsTakenOverAndKept()
    {
        ModelFixture f;
        startWithShelf(f, shelfJson({ QStringLiteral("old one") }), SK::shelf.legacy);
        QCOMPARE(
            texts(f.model->savedSnippets().items()), QStringList { QStringLiteral("old one") });
        QVERIFY(f.reread()->contains(QString::fromLatin1(SK::shelf.legacy)));
        QCOMPARE(storedTexts(f), QStringList { QStringLiteral("old one") });
    }

    void unreadableListsStartEmptyButAreKept_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("not JSON") << QByteArray("[{\"id\":");
        QTest::newRow("missing text")
            << QByteArray("[{\"id\":\"6F1A2B3C-0000-4000-8000-000000000001\"}]");
        QTest::newRow("number for text")
            << QByteArray("[{\"id\":\"6F1A2B3C-0000-4000-8000-000000000001\",\"text\":5}]");
        QTest::newRow("an object, not a list") << QByteArray("{\"id\":\"x\"}");
        QTest::newRow("invalid UTF-8") << QByteArray(
            "[{\"id\":\"6F1A2B3C-0000-4000-8000-000000000001\",\"text\":\"\xff\xfe\"}]");
        QTest::newRow("10 MB blob") << QByteArray(10 * 1024 * 1024, 'x');
    }

    void unreadableListsStartEmptyButAreKept()
    {
        QFETCH(QByteArray, data);
        ModelFixture f;
        startWithShelf(f, data);
        QVERIFY(f.model->savedSnippets().items().isEmpty());
        QCOMPARE(f.reread()->data(kShelfKey), QByteArray("[]"));
        const QStringList copies = keptCopies(f);
        QCOMPARE(copies.size(), 1);
        QFile copy(QFileInfo(f.settingsPath()).dir().filePath(copies.first()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), data);

        // Once: the next start reads the empty list and keeps nothing more.
        f.start();
        QCOMPARE(keptCopies(f).size(), 1);
    }

    void aListStoredAsTextIsKeptToo()
    {
        ModelFixture f;
        SettingsPreferencesStore(f.settingsPath())
            .setString(kShelfKey, QStringLiteral("[{\"text\":\"typed by hand\"}]"));
        f.start();
        QVERIFY(f.model->savedSnippets().items().isEmpty());
        QCOMPARE(keptCopies(f).size(), 1);
    }

    // Hand-edited or synced files hold values that QSettings reads back as lists or other
    // types; whatever the type, the value is kept as the file spells it.
    void valuesOfOtherTypesAreKeptAsWritten_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("unquoted commas: a list") << QByteArray(
            R"([{"id":"6F1A2B3C-0000-4000-8000-000000000001","text":"hand, typed"}])");
        QTest::newRow("a rectangle") << QByteArray("@Rect(1 2 3 4)");
        QTest::newRow("a serialised number") << QByteArray("@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)");
        QTest::newRow("an unreadable variant") << QByteArray("@Variant(\\0\\0\\xff\\xff)");
    }

    void valuesOfOtherTypesAreKeptAsWritten()
    {
        QFETCH(QByteArray, value);
        ModelFixture f;
        f.writeSettingsFile(
            "[General]\nNookary.historyLimit.v2=50\nNookary.shelf.v1=" + value + "\n");
        f.start();
        QVERIFY(f.model->savedSnippets().items().isEmpty());
        QCOMPARE(f.reread()->data(kShelfKey), QByteArray("[]"));
        QCOMPARE(keptCopy(f), value);
    }

    // Typed straight into the file's own spelling, UTF-8 and all.
    void aByteArrayLineTypedInUtf8IsReadAsWritten()
    {
        ModelFixture f;
        const QString texts3[] = { QStringLiteral("caf\u00e9 de\u0301compose\u0301"),
            QStringLiteral("\u0130stanbul"), QStringLiteral("\u00c9T\u00c9 stra\u00dfe 2\u20ac") };
        const QByteArray json
            = QStringLiteral("[{\"id\":\"11111111-1111-4111-8111-111111111111\",\"text\":\"%1\"},"
                             "{\"id\":\"22222222-2222-4222-8222-222222222222\",\"text\":\"%2\"},"
                             "{\"id\":\"33333333-3333-4333-8333-333333333333\",\"text\":\"%3\"}]")
                  .arg(texts3[0], texts3[1], texts3[2])
                  .toUtf8();
        QByteArray line = json;
        line.replace('"', "\\\"");
        f.writeSettingsFile("[General]\nNookary.shelf.v1=\"@ByteArray(" + line + ")\"\n");
        f.start();
        QCOMPARE(texts(f.model->savedSnippets().items()),
            (QStringList { texts3[0], texts3[1], texts3[2] }));
        QVERIFY(keptCopies(f).isEmpty());
        f.start();
        QCOMPARE(texts(f.model->savedSnippets().items()),
            (QStringList { texts3[0], texts3[1], texts3[2] }));
    }

    void anUnreadableByteArrayLineInUtf8IsKeptAsWritten()
    {
        ModelFixture f;
        const QByteArray value
            = QStringLiteral("[{\"text\":\"\u0130stanbul \u00c9 \u00df\"}]").toUtf8();
        QByteArray line = value;
        line.replace('"', "\\\"");
        f.writeSettingsFile("[General]\nNookary.shelf.v1=\"@ByteArray(" + line + ")\"\n");
        f.start();
        // Without an id, read as a snippet with an id of its own; the list as typed is kept.
        QCOMPARE(texts(f.model->savedSnippets().items()),
            QStringList { QStringLiteral("\u0130stanbul \u00c9 \u00df") });
        QCOMPARE(keptCopy(f), value);
    }

    void aLegacyListReplacingAnUnreadableOneKeepsIt()
    {
        ModelFixture f;
        const QByteArray legacy = shelfJson({ QStringLiteral("from before") });
        f.writeSettingsFile("[General]\nNookary.shelf.v1=mine, by hand\n");
        SettingsPreferencesStore(f.settingsPath())
            .setData(QString::fromLatin1(SK::shelf.legacy), legacy);
        f.start();
        QCOMPARE(
            texts(f.model->savedSnippets().items()), QStringList { QStringLiteral("from before") });
        QCOMPARE(keptCopy(f), QByteArray("mine, by hand"));
    }

    void anUnreadableLegacyListIsKept()
    {
        ModelFixture f;
        const QByteArray value(
            R"([{"id":"11111111-1111-4111-8111-111111111111","text":"hand,  typed ; note"}])");
        f.writeSettingsFile("[General]\nQuobble.shelf.v1=" + value + "\n");
        f.start();
        QVERIFY(f.model->savedSnippets().items().isEmpty());
        QCOMPARE(keptCopy(f), value);
        // Once: the next start has a current list and keeps nothing more.
        f.start();
        QCOMPARE(keptCopies(f).size(), 1);
    }

    void theLineReadIsTheLineKept()
    {
        // A key twice in the file: QSettings reads the last line, so that is the one replaced.
        ModelFixture f;
        const QByteArray last(
            R"([{"id":"22222222-2222-4222-8222-222222222222","text":"second, by hand"}])");
        f.writeSettingsFile(
            "[General]\nNookary.shelf.v1=\"@ByteArray([])\"\nNookary.shelf.v1=" + last + "\n");
        f.start();
        QVERIFY(f.model->savedSnippets().items().isEmpty());
        QCOMPARE(keptCopy(f), last);
    }

    void droppingAddsOnceAndWhereAsked()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QSignalSpy beeps(&m, &AppModel::alertBeep);
        m.addShelfFromDrop(QStringLiteral("b"));
        m.addShelfFromDrop(QStringLiteral(" a \n"), m.savedSnippets().items().first().id);
        m.addShelfFromDrop(QStringLiteral("c"), QUuid::createUuid()); // unknown: at the end
        m.addShelfFromDrop(QStringLiteral("a")); // already there
        m.addShelfFromDrop(QStringLiteral("   "));
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") }));
        QCOMPARE(storedTexts(f), texts(m.savedSnippets().items()));
        QCOMPARE(beeps.count(), 0);
        // The selection is repaired, not moved to the new snippet.
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().at(1).id);
    }

    void aDropInAnotherCompositionIsNotASecondSnippet()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QSignalSpy beeps(&m, &AppModel::alertBeep);
        m.addShelfFromDrop(QStringLiteral("caf\u00e9"));
        m.addShelfFromDrop(QStringLiteral(" cafe\u0301 "));
        QCOMPARE(texts(m.savedSnippets().items()), QStringList { QStringLiteral("caf\u00e9") });
        QCOMPARE(beeps.count(), 0);
        // Letter case still counts.
        m.addShelfFromDrop(QStringLiteral("CAFE\u0301"));
        QCOMPARE(m.savedSnippets().items().size(), 2);
    }

    void aFullListRefuses()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QSignalSpy beeps(&m, &AppModel::alertBeep);
        for (int i = 0; i < AppModel::shelfMax; ++i)
            m.addShelfFromDrop(QString::number(i));
        m.addShelfFromDrop(QStringLiteral("one too many"));
        QCOMPARE(beeps.count(), 1);
        m.addShelfFromDrop(QStringLiteral("3")); // a duplicate does not beep
        QCOMPARE(beeps.count(), 1);
        m.savedSnippets().addAndEdit(); // by hand: silently nothing
        QCOMPARE(beeps.count(), 1);
        QCOMPARE(m.savedSnippets().items().size(), AppModel::shelfMax);
        QVERIFY(m.savedSnippets().editingID().isNull());
    }

    void editingCommitsAbandonsAndDeletes()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.addShelfFromDrop(QStringLiteral("keep"));
        m.savedSnippets().addAndEdit();
        const QUuid fresh = m.savedSnippets().editingID();
        QCOMPARE(m.savedSnippets().items().size(), 2);
        QCOMPARE(storedTexts(f).size(), 2); // the empty snippet is stored while edited

        // Opening another snippet throws the abandoned empty one away.
        m.savedSnippets().startEditing(m.savedSnippets().items().first().id);
        QCOMPARE(texts(m.savedSnippets().items()), QStringList { QStringLiteral("keep") });
        QVERIFY(!m.savedSnippets().items().isEmpty()
            && m.savedSnippets().editingID() == m.savedSnippets().items().first().id);

        m.saveEditing(m.savedSnippets().editingID(), QStringLiteral("  kept, edited\n"));
        QCOMPARE(texts(m.savedSnippets().items()), QStringList { QStringLiteral("kept, edited") });
        QVERIFY(m.savedSnippets().editingID().isNull());
        QCOMPARE(storedTexts(f), QStringList { QStringLiteral("kept, edited") });

        // An edit that leaves only white space deletes the snippet and its selection.
        m.panelState().selectShelf(m.savedSnippets().items().first().id);
        m.savedSnippets().startEditing(m.savedSnippets().items().first().id);
        m.saveEditing(m.savedSnippets().items().first().id, QStringLiteral(" \t "));
        QVERIFY(m.savedSnippets().items().isEmpty());
        QVERIFY(m.panelState().selectedShelfID().isNull());

        // Saving an id that is gone changes nothing.
        m.addShelfFromDrop(QStringLiteral("x"));
        m.savedSnippets().startEditing(m.savedSnippets().items().first().id);
        m.saveEditing(fresh, QStringLiteral("ghost"));
        QCOMPARE(texts(m.savedSnippets().items()), QStringList { QStringLiteral("x") });
        QCOMPARE(m.savedSnippets().editingID(), m.savedSnippets().items().first().id);

        // Edits are cut like every entry.
        m.saveEditing(m.savedSnippets().items().first().id, QString(25000, u'e'));
        QCOMPARE(m.savedSnippets().items().first().text.size(), 20000);
    }

    void anAbandonedEmptySnippetGoesWithTheNextEdit()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.addShelfFromDrop(QStringLiteral("kept"));
        m.savedSnippets().addAndEdit();
        const QUuid empty = m.savedSnippets().editingID();
        m.savedSnippets().setEditingID({}); // Escape: the empty row stays for now
        QCOMPARE(m.savedSnippets().items().size(), 2);

        // Taking it up again keeps it.
        m.savedSnippets().startEditing(empty);
        QCOMPARE(m.savedSnippets().items().size(), 2);
        QCOMPARE(m.savedSnippets().editingID(), empty);
        m.savedSnippets().setEditingID({});

        m.savedSnippets().startEditing(m.savedSnippets().items().first().id);
        QCOMPARE(texts(m.savedSnippets().items()), QStringList { QStringLiteral("kept") });
        QCOMPARE(storedTexts(f), QStringList { QStringLiteral("kept") });

        // A snippet that was not empty is never thrown away.
        m.savedSnippets().setEditingID({});
        m.savedSnippets().addAndEdit();
        QCOMPARE(m.savedSnippets().items().size(), 2);
    }

    void anEmptyNewSnippetIsDroppedAtTheNextStart()
    {
        ModelFixture f;
        f.start().savedSnippets().addAndEdit();
        QCOMPARE(storedTexts(f), QStringList { QString() });
        f.start();
        QVERIFY(f.model->savedSnippets().items().isEmpty());
    }

    void reorderingMovesLive()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const char *t : { "first", "second", "third" })
            m.addShelfFromDrop(QString::fromLatin1(t));
        const QUuid first = m.savedSnippets().items().at(0).id;
        const QUuid third = m.savedSnippets().items().at(2).id;
        m.moveShelfItem(first, third);
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList {
                QStringLiteral("second"), QStringLiteral("third"), QStringLiteral("first") }));
        m.moveShelfItem(first, m.savedSnippets().items().at(0).id);
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList {
                QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third") }));
        m.moveShelfItem(third, first);
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList {
                QStringLiteral("third"), QStringLiteral("first"), QStringLiteral("second") }));
        f.clock.advance(0ms);
        QCOMPARE(storedTexts(f), texts(m.savedSnippets().items()));

        // Each step of a drag is one change: announced once, never without the dragged
        // snippet (the panel would drop its row mid-drag), and written on the next turn,
        // once for every step of this one.
        f.store->resetCounts();
        int announced = 0;
        bool complete = true;
        QObject guard;
        QObject::connect(&m.savedSnippets(), &Shelf::changed, &guard, [&] {
            ++announced;
            complete = complete && m.savedSnippets().items().size() == 3;
        });
        m.moveShelfItem(third, m.savedSnippets().items().at(2).id);
        QCOMPARE(announced, 1);
        QVERIFY(complete);
        QCOMPARE(f.store->writes(QStringLiteral("Nookary.shelf.v1")), 0);
        m.moveShelfItem(third, m.savedSnippets().items().at(0).id);
        f.clock.advance(0ms);
        QCOMPARE(f.store->writes(QStringLiteral("Nookary.shelf.v1")), 1);
        QCOMPARE(storedTexts(f), texts(m.savedSnippets().items()));

        // A quit before the next turn still writes the last order.
        m.moveShelfItem(first, m.savedSnippets().items().at(0).id);
        const QStringList reordered = texts(m.savedSnippets().items());
        f.model.reset();
        QCOMPARE(storedTexts(f), reordered);
        AppModel &again = f.start();
        QCOMPARE(texts(again.savedSnippets().items()), reordered);

        const QList<ShelfItem> before = again.savedSnippets().items();
        again.moveShelfItem(first, first);
        again.moveShelfItem(QUuid::createUuid(), first);
        again.moveShelfItem(first, QUuid::createUuid());
        again.deleteShelf(QUuid::createUuid());
        again.savedSnippets().startEditing(QUuid::createUuid());
        QCOMPARE(again.savedSnippets().items(), before);
    }

    void numberedSnippetsFollowTheFilter()
    {
        ModelFixture f;
        AppModel &m = f.start();
        for (const char *t : { "apple", "banana", "cherry", "apricot" })
            m.addShelfFromDrop(QString::fromLatin1(t));
        QCOMPARE(m.panelState().shelfItemForShortcut(0), std::nullopt);
        QCOMPARE(m.panelState().shelfItemForShortcut(10), std::nullopt);
        QCOMPARE(m.panelState().shelfItemForShortcut(5), std::nullopt);
        QCOMPARE(m.panelState().shelfItemForShortcut(2)->text, QStringLiteral("banana"));
        m.panelState().setQuery(QStringLiteral("AP"));
        QCOMPARE(m.panelState().shelfItemForShortcut(1)->text, QStringLiteral("apple"));
        QCOMPARE(m.panelState().shelfItemForShortcut(2)->text, QStringLiteral("apricot"));
        QCOMPARE(m.panelState().shelfItemForShortcut(3), std::nullopt);
    }

    void aRowDropHoldsOffTheColumnDropForAMoment()
    {
        ModelFixture f;
        AppModel &m = f.start();
        QVERIFY(m.savedSnippets().columnDropAllowed());
        m.savedSnippets().noteRowDrop();
        f.clock.advance(std::chrono::milliseconds(30));
        QVERIFY(!m.savedSnippets().columnDropAllowed());
        f.clock.advance(std::chrono::milliseconds(100));
        QVERIFY(m.savedSnippets().columnDropAllowed());
    }

    void snippetsInAReadOnlyFolderAreNeverOverwritten()
    {
        // The list cannot be read and no copy of it can be kept: the file must stay as it
        // is for the whole run, even once the folder takes files again.
        ModelFixture f;
        const QByteArray unreadable = "[{\"id\":1,\"text\":\"keep me\"},{}]";
        SettingsPreferencesStore(f.settingsPath()).setData(kShelfKey, unreadable);
        QFile file(f.settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        {
            ReadOnlyFolder readOnly(QFileInfo(f.settingsPath()).absolutePath());
            QVERIFY(readOnly.isReadOnly());
            f.start();
            QCOMPARE(
                texts(f.model->savedSnippets().items()), QStringList { QStringLiteral("keep me") });
            readOnly.makeWritable();
            f.model->settings().setHistoryLimit(50);
            f.model->addShelfFromDrop(QStringLiteral("new"));
            f.model.reset();
            f.store.reset();
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(f.reread()->data(kShelfKey), unreadable);
        QVERIFY(keptCopies(f).isEmpty());
    }

    // One entry the user cannot have meant hides none of the others.
    void aMalformedSnippetCostsOnlyItself()
    {
        ModelFixture f;
        const QString first = QStringLiteral("6F1A2B3C-0000-4000-8000-000000000001");
        const QByteArray stored
            = QStringLiteral("[{\"id\":\"%1\",\"text\":\"one\"},"
                             "{\"text\":\"no id\"},"
                             "{\"id\":7,\"text\":\"a number for an id\"},"
                             "{\"id\":\"nope\",\"text\":\"not a UUID\"},"
                             "{\"id\":\"6F1A2B3C-0000-4000-8000-000000000009\"},"
                             "{\"id\":\"6F1A2B3C-0000-4000-8000-00000000000A\",\"text\":5},"
                             "\"a bare string\",42,"
                             "{\"id\":\"6F1A2B3C-0000-4000-8000-00000000000B\",\"text\":\"last\"}]")
                  .arg(first)
                  .toUtf8();
        startWithShelf(f, stored);
        const QList<ShelfItem> shelf = f.model->savedSnippets().items();
        QCOMPARE(texts(shelf),
            (QStringList { QStringLiteral("one"), QStringLiteral("no id"),
                QStringLiteral("a number for an id"), QStringLiteral("not a UUID"),
                QStringLiteral("last") }));
        QCOMPARE(shelf.at(0).id, QUuid::fromString(first));
        for (const ShelfItem &item : shelf)
            QVERIFY(!item.id.isNull());
        // What was dropped or given a new id is in the copy kept of the list as it was.
        QCOMPARE(keptCopy(f), stored);
        QCOMPARE(storedTexts(f), texts(shelf));
        // The next start reads the clean list: the same snippets, no second copy.
        f.start();
        QCOMPARE(f.model->savedSnippets().items(), shelf);
        QCOMPARE(keptCopies(f).size(), 1);
    }

    // A list that must be replaced, and a disk with room for the small rewrite but not for
    // the copy kept first: the file keeps the snippets, the run keeps its changes in memory,
    // and the user is told once.
    void snippetsThatCannotBeCopiedAreNeverOverwritten()
    {
        SmallDisk disk(256 * 1024);
        if (!disk.isMounted())
            QSKIP("this system lets the test mount no small disk");
        ModelFixture f(disk.path());
        f.start(); // a file that holds every setting already
        f.model.reset();
        QStringList stored;
        for (int i = 0; i < 25; ++i)
            stored.append(QStringLiteral("snippet %1 ").arg(i) + QString(2000, u'x'));
        QByteArray json = shelfJson(stored);
        // Hand-edited: the first entry lost its id.
        json.replace(
            json.indexOf("\"id\""), json.indexOf(",\"text\"") - json.indexOf("\"id\"") + 1, "");
        SettingsPreferencesStore(f.settingsPath()).setData(kShelfKey, json);
        const QByteArray before = fileBytes(f.settingsPath());
        QVERIFY(disk.fillLeaving(16 * 1024));

        f.start();
        QList<PreferencesStore::WriteProblem> told;
        f.store->setWriteProblemHandler(
            [&](PreferencesStore::WriteProblem problem) { told.append(problem); });
        QCOMPARE(texts(f.model->savedSnippets().items()).size(), 25);
        f.model->deleteShelf(f.model->savedSnippets().items().at(3).id);
        f.model->addShelfFromDrop(QStringLiteral("added in this run"));
        QCOMPARE(
            texts(f.model->savedSnippets().items()).last(), QStringLiteral("added in this run"));
        QCOMPARE(told, QList { PreferencesStore::WriteProblem::heldInMemory });

        // Room again later in the run: still nothing is written over the only copy.
        disk.freeAll();
        f.model->settings().setHistoryLimit(50);
        f.model.reset();
        f.store.reset();
        QCOMPARE(fileBytes(f.settingsPath()), before);
        QVERIFY(keptCopies(f).isEmpty());
    }

    // A link to nowhere at the copy's name is never written through: the copy takes the
    // next name.
    void aLinkAtTheCopysNameIsSteppedAround()
    {
        ModelFixture f;
        QTemporaryDir elsewhere;
        const QByteArray stored = shelfJson({ QString(25000, u'w') });
        SettingsPreferencesStore(f.settingsPath()).setData(kShelfKey, stored);
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = -1; s <= 5; ++s) {
            const QString stamp = now.addSecs(s).toString(QStringLiteral("yyyyMMdd-HHmmss"));
            QFile::link(
                elsewhere.filePath(stamp), f.settingsPath() + QStringLiteral(".snippets-") + stamp);
        }
        f.start();
        QCOMPARE(f.model->savedSnippets().items().at(0).text.size(), 20000);
        QVERIFY(QDir(elsewhere.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(keptCopy(f), stored);
    }

    // Two Nookarys sharing one settings file (two displays, or one home on two machines):
    // each change applies to the list as stored, so neither erases the other's.
    void twoInstancesSharingTheFileKeepEachOthersChanges()
    {
        ModelFixture f;
        AppModel &m = f.start();
        m.addShelfFromDrop(QStringLiteral("mine 1"));
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) { append(items, "theirs 1"); });
        m.addShelfFromDrop(QStringLiteral("mine 2"));
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) { append(items, "theirs 2"); });
        m.settings().setHistoryLimit(
            m.settings().historyLimit() == 50 ? 100 : 50); // reads the file first, too
        m.addShelfFromDrop(QStringLiteral("mine 3"));
        const QStringList added { QStringLiteral("mine 1"), QStringLiteral("theirs 1"),
            QStringLiteral("mine 2"), QStringLiteral("theirs 2"), QStringLiteral("mine 3") };
        QCOMPARE(texts(m.savedSnippets().items()), added);
        QCOMPARE(storedTexts(f), added);

        // An edit, a delete and a move each apply to what the other left.
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) { items[1].text = "theirs 1b"; });
        m.savedSnippets().startEditing(m.savedSnippets().items().at(0).id);
        m.saveEditing(m.savedSnippets().items().at(0).id, QStringLiteral("mine 1b"));
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) { items.removeAt(3); });
        m.deleteShelf(m.savedSnippets().items().at(2).id);
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) { append(items, "theirs 3"); });
        m.moveShelfItem(m.savedSnippets().items().at(2).id, m.savedSnippets().items().at(0).id);
        f.clock.advance(0ms); // a live reorder is written once the turn is over
        const QStringList now { QStringLiteral("mine 3"), QStringLiteral("mine 1b"),
            QStringLiteral("theirs 1b"), QStringLiteral("theirs 3") };
        QCOMPARE(texts(m.savedSnippets().items()), now);
        QCOMPARE(storedTexts(f), now);

        // Opening the panel shows what the other instance did meanwhile.
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) { items.removeLast(); });
        QSignalSpy changed(&m.savedSnippets(), &Shelf::changed);
        m.applyDefaultOpenTarget();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(texts(m.savedSnippets().items()), now.mid(0, 3));
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().at(0).id);

        // A new snippet being typed stays, though the other instance threw the empty row away.
        m.savedSnippets().addAndEdit();
        const QUuid typing = m.savedSnippets().editingID();
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) {
            items.removeLast();
            append(items, "theirs 4");
        });
        m.applyDefaultOpenTarget();
        QCOMPARE(m.savedSnippets().editingID(), typing);
        m.saveEditing(typing, QStringLiteral("typed meanwhile"));
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList { QStringLiteral("mine 3"), QStringLiteral("mine 1b"),
                QStringLiteral("theirs 1b"), QStringLiteral("typed meanwhile"),
                QStringLiteral("theirs 4") }));
        QCOMPARE(storedTexts(f), texts(m.savedSnippets().items()));

        // An import adds to the list as stored, and knows what the other saved meanwhile.
        anotherInstanceChanges(f, [](QList<ShelfItem> &items) { append(items, "theirs 5"); });
        QCOMPARE(m.importSavedSnippets({ QStringLiteral("theirs 5"), QStringLiteral("imported") }),
            (SnippetTransfer::ImportResult { 1, 1, 0 }));
        QCOMPARE(texts(m.savedSnippets().items()).mid(5),
            (QStringList { QStringLiteral("theirs 5"), QStringLiteral("imported") }));
        QCOMPARE(storedTexts(f), texts(m.savedSnippets().items()));
    }
};

QTEST_GUILESS_MAIN(TestShelfStore)
#include "tst_shelfstore.moc"
