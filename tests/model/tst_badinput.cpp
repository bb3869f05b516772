// SPDX-License-Identifier: GPL-3.0-or-later
// Bad input from a fixed seed, in bounded rounds: random and mutated settings files, snippet
// lists and copied texts thrown at the loaders and the clipboard path. Nothing may crash or
// hang, the model comes up on values it can use, and snippets that were stored but cannot
// be loaded are kept in a copy beside the settings.
//
// NOOKARY_BADINPUT_SEED and NOOKARY_BADINPUT_ROUNDS explore further by hand; CI runs the
// fixed seed, so a failure there is reproducible.
#include "ModelFixture.h"
#include "model/EntryText.h"
#include "model/SettingsKeys.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;
namespace SK = nookary::SettingsKeys;

namespace {

const QString kShelfKey = QString::fromLatin1(SK::shelf.current);
const QString kLegacyShelfKey = QString::fromLatin1(SK::shelf.legacy);

quint32 seed()
{
    bool ok = false;
    const quint32 value = qEnvironmentVariable("NOOKARY_BADINPUT_SEED").toUInt(&ok);
    return ok ? value : 20261208;
}

int rounds(int ciRounds)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue("NOOKARY_BADINPUT_ROUNDS", &ok);
    return ok && value > 0 ? value : ciRounds;
}

// Builds random values from one generator, so that a seed gives the same run everywhere.
class Chaos {
public:
    explicit Chaos(quint32 seed)
        : m_random(seed)
    {
    }

    int below(int n) { return n <= 0 ? 0 : int(m_random.bounded(quint32(n))); }
    bool oneIn(int n) { return below(n) == 0; }

    QByteArray bytes(int size)
    {
        QByteArray out(size, Qt::Uninitialized);
        for (char &c : out)
            c = char(below(256));
        return out;
    }

    // Text made of the pieces that break text handling: control characters and NULs, lone
    // and paired surrogates, long runs of combining marks, spaces of every kind.
    QString text(int pieces)
    {
        QString out;
        for (int i = 0; i < pieces; ++i) {
            switch (below(12)) {
            case 0:
                out += QChar(char16_t(below(0x20))); // NUL and other control characters
                break;
            case 1:
                out += QChar(char16_t(0xD800 + below(0x400))); // lone high surrogate
                break;
            case 2:
                out += QChar(char16_t(0xDC00 + below(0x400))); // lone low surrogate
                break;
            case 3:
                out += QString::fromUcs4(U"\U0001F600\U0001F469\u200D\U0001F4BB");
                break;
            case 4: {
                // One mark repeated, or a mix of marks of different combining classes.
                const int run = oneIn(8) ? 20000 : below(300);
                const char16_t marks[] = { 0x0301, 0x0316, 0x0334, 0x05B0, 0x0E38, 0x302A };
                const bool mixed = oneIn(2);
                for (int m = 0; m < run; ++m)
                    out += QChar(marks[mixed ? below(6) : 0]);
                break;
            }
            case 5:
                out += QStringList { QStringLiteral(" "), QStringLiteral("\t"),
                    QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\u00A0"),
                    QStringLiteral("\u2028"), QStringLiteral("\u3000"), QStringLiteral("\uFEFF") }
                           .at(below(8));
                break;
            case 6:
                out += QChar(char16_t(0xFFFE + below(2))); // noncharacters
                break;
            case 7:
                out += QStringLiteral("\u202E\u05D0\u05D1\u0627"); // right to left
                break;
            case 8:
                out += QString(below(4) == 0 ? 30000 : below(40), QChar(u'a' + below(26)));
                break;
            default:
                out += QStringLiteral("word%1 ").arg(below(1000));
                break;
            }
        }
        return out;
    }

    QString uuid() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

    // A JSON value of any type, as a wrong-typed field would hold it.
    QByteArray anyJsonValue()
    {
        switch (below(8)) {
        case 0:
            return "null";
        case 1:
            return below(2) ? "true" : "false";
        case 2:
            return QByteArray::number(below(100000) - 50000) + (oneIn(2) ? ".5e308" : "");
        case 3:
            return "[" + QByteArray::number(below(10)) + "]";
        case 4:
            return "{\"text\":\"nested\"}";
        case 5:
            return "\"\\ud800\\u0000\\udfff\"";
        case 6:
            return '"' + bytes(below(20)).toHex() + '"';
        default:
            return QJsonDocument(QJsonArray { text(3) })
                .toJson(QJsonDocument::Compact)
                .mid(1)
                .chopped(1);
        }
    }

    // A snippet list as some earlier, later, broken or hand-edited program may have stored
    // it.
    QByteArray snippetList()
    {
        switch (below(10)) {
        case 0: { // nested far deeper than any parser should follow
            const int depth = oneIn(2) ? 100000 : below(2000);
            return QByteArray(depth, '[') + QByteArray(oneIn(2) ? depth : below(depth), ']');
        }
        case 1: // a huge text
            return "[{\"id\":\"" + uuid().toLatin1() + "\",\"text\":\"" + QByteArray(1 << 20, 'x')
                + "\"}]";
        case 2: { // bytes that are not UTF-8 inside the strings
            QByteArray inner = bytes(below(64));
            inner.replace('"', 'q');
            inner.replace('\\', 'b');
            return "[{\"id\":\"" + uuid().toLatin1() + "\",\"text\":\"ok " + inner + "\"}]";
        }
        case 3:
            return bytes(below(4096));
        default:
            break;
        }
        // A list, mostly well formed, with wrong types, repeated ids and too many items.
        const int count = oneIn(4) ? 25 + below(10) : below(8);
        QByteArray list = "[";
        for (int i = 0; i < count; ++i) {
            if (i)
                list += ',';
            QByteArray id = '"' + uuid().toLatin1() + '"';
            QByteArray value = QJsonDocument(QJsonArray { text(1 + below(6)) })
                                   .toJson(QJsonDocument::Compact)
                                   .mid(1)
                                   .chopped(1);
            switch (below(12)) {
            case 0:
                id = anyJsonValue();
                break;
            case 1:
                value = anyJsonValue();
                break;
            case 2:
                list += anyJsonValue();
                continue;
            case 3:
                id = "\"00000000-0000-0000-0000-000000000000\"";
                break;
            default:
                break;
            }
            list += "{\"id\":" + id + ",\"text\":" + value
                + (oneIn(6) ? ",\"extra\":" + anyJsonValue() : QByteArray()) + "}";
        }
        list += "]";
        return oneIn(5) ? mutated(list) : list;
    }

    // Flips, inserts, drops and repeats bytes: what a crash mid-write, a sync tool or an
    // editor in the wrong encoding leaves behind.
    QByteArray mutated(QByteArray data)
    {
        const int edits = 1 + below(6);
        for (int e = 0; e < edits && !data.isEmpty(); ++e) {
            const int at = below(int(data.size()));
            switch (below(7)) {
            case 0:
                data[at] = char(below(256));
                break;
            case 1:
                data.insert(at, char(below(0x20)));
                break;
            case 2:
                data.insert(at, bytes(1 + below(8)));
                break;
            case 3:
                data.truncate(at);
                break;
            case 4:
                data.remove(at, 1 + below(16));
                break;
            case 5:
                data.insert(at, data.mid(at, below(200)));
                break;
            default:
                data.insert(at, "\xC3\x28\xED\xA0\x80\xF0\x9F\x98");
                break;
            }
        }
        return data;
    }

    // A value spelled the way QSettings or a hand edit could spell it, of any type.
    QByteArray iniValue()
    {
        static const char *const spellings[] = { "50", "100", "25", "-1", "30", "0",
            "99999999999999999999999", "4294967296", "-9223372036854775808", "1e999", "nan", "true",
            "false", "yes", "centeredWindow", "menubarPopover", "historyFirst", "savedFirst",
            "ctrlOptK", "off", "\"quoted, text\"", "a, b, c", "@Invalid()", "@ByteArray()",
            "@ByteArray(\\0\\x1\\xff)", "@Variant(\\0\\0\\0\\x7f\\0\\0\\0)",
            "@Variant(\\0\\0\\0\\n\\0\\0\\0\\x2\\0\\x61)", "@Rect(1 2 3 4)", "@Size(-5 9)",
            "@Point(1e308 -1e308)", "@DateTime(\\0)", "\\xd800", "\\x0", "\\\\", "=" };
        switch (below(6)) {
        case 0:
            return bytes(below(40)).replace('\n', ' ');
        case 1:
            return "@ByteArray(" + snippetList().replace('\n', ' ') + ")";
        case 2:
            return QByteArray(below(100000), 'z');
        default:
            return spellings[below(int(std::size(spellings)))];
        }
    }

    QByteArray settingsFile()
    {
        static const char *const keys[]
            = { SK::historyLimit.current, SK::historyLimit.legacy, SK::openPresentation.current,
                  SK::openPresentation.legacy, SK::defaultOpenTarget.current,
                  SK::keepWindowPinned.current, SK::keepWindowPinned.legacy, SK::hotkeyCode.current,
                  SK::hotkeyCode.legacy, SK::hotkeyModifiers.current, SK::hotkeyPreset.current,
                  SK::hotkeyPreset.legacy, SK::onboardingLastStep.current,
                  SK::onboardingCompletedVersion.current, SK::shelf.current, SK::shelf.legacy,
                  SK::centeredWindowX.current, SK::centeredWindowWidth.current, "Unknown.key.v9" };
        QByteArray file;
        if (!oneIn(5))
            file += oneIn(6) ? "[Other]\n" : "[General]\n";
        const int lines = below(20);
        for (int i = 0; i < lines; ++i) {
            file += keys[below(int(std::size(keys)))];
            file += '=';
            file += iniValue();
            file += oneIn(8) ? "\\\n" : "\n";
            if (oneIn(10))
                file += "[General]\n";
        }
        switch (below(6)) {
        case 0:
            return mutated(file);
        case 1: // another encoding
            return QByteArray("\xFF\xFE") + QString::fromLatin1(file).toUtf8().toHex();
        case 2:
            return bytes(below(2000));
        default:
            return file;
        }
    }

private:
    QRandomGenerator m_random;
};

QStringList texts(const QList<ShelfItem> &items)
{
    QStringList out;
    for (const ShelfItem &item : items)
        out.append(item.text);
    return out;
}

QStringList keptCopies(const QString &settingsPath)
{
    const QFileInfo info(settingsPath);
    return info.dir().entryList({ info.fileName() + QStringLiteral(".*-*") }, QDir::Files);
}

bool aCopyHolds(const QString &settingsPath, const QByteArray &wanted)
{
    const QDir dir = QFileInfo(settingsPath).dir();
    for (const QString &name : keptCopies(settingsPath)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(wanted))
            return true;
    }
    return false;
}

bool isBlank(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).trimmed().isEmpty();
}

// The texts a lenient reader finds in a stored snippet list (any object with a string
// "text"), or nothing when it is no JSON array at all.
std::optional<QStringList> lenientTexts(const QByteArray &stored)
{
    const QJsonDocument doc = QJsonDocument::fromJson(stored);
    if (!doc.isArray())
        return std::nullopt;
    QStringList out;
    for (const QJsonValue &value : doc.array()) {
        const QJsonValue text = value.toObject().value(QStringLiteral("text"));
        if (text.isString())
            out.append(text.toString());
    }
    return out;
}

// What the store offers for the snippet list before the model touches it, read from a copy
// of the file so that the reading keeps no copies of its own in the test's folder.
QByteArray storedSnippets(const QString &settingsPath)
{
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("Nookary.conf"));
    QFile::copy(settingsPath, copy);
    const SettingsPreferencesStore store(copy);
    if (store.contains(kShelfKey))
        return store.storedForm(kShelfKey);
    return store.storedForm(kLegacyShelfKey);
}

// Every check that holds whatever the model was started on.
void checkModelIsUsable(const AppModel &model)
{
    QVERIFY(std::find(SK::historyLimitOptions.begin(), SK::historyLimitOptions.end(),
                model.settings().historyLimit())
        != SK::historyLimitOptions.end());
    QVERIFY(
        model.settings().onboardingLastStep() >= 0 && model.settings().onboardingLastStep() <= 4);
    QVERIFY(model.settings().onboardingCompletedVersion() >= 0);
    QVERIFY(model.savedSnippets().items().size() <= 25);
    QSet<QUuid> ids;
    for (const ShelfItem &item : model.savedSnippets().items()) {
        QVERIFY(!item.id.isNull());
        QVERIFY2(!ids.contains(item.id), "two snippets share an id");
        ids.insert(item.id);
        QVERIFY(!item.text.isEmpty());
        QCOMPARE(item.text, item.text.trimmed());
    }
}

// Nothing the user stored is lost: every non-blank text is loaded or kept in a copy.
void checkSnippetsKept(const QString &settingsPath, const QByteArray &stored, const AppModel &model)
{
    if (isBlank(stored))
        return;
    if (aCopyHolds(settingsPath, stored))
        return;
    const std::optional<QStringList> found = lenientTexts(stored);
    QVERIFY2(found, "an unreadable snippet list was replaced without a copy");
    const QStringList loaded = texts(model.savedSnippets().items());
    for (const QString &text : *found) {
        const std::optional<QString> expected = normalizedEntryText(text);
        if (expected)
            QVERIFY2(loaded.contains(*expected), "a stored snippet was dropped without a copy");
    }
}

// What the model wrote, it reads back whole at the next start, and finds nothing to keep.
void checkRestartKeepsTheShelf(ModelFixture &f)
{
    const QStringList before = texts(f.model->savedSnippets().items());
    const qsizetype copies = keptCopies(f.settingsPath()).size();
    f.start();
    QCOMPARE(f.model->savedSnippets().items().size(), before.size());
    QCOMPARE(keptCopies(f.settingsPath()).size(), copies);
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Every round logs what it kept and why, and Qt what it could not parse; thousands of
        // such lines would hide a failure.
        QLoggingCategory::setFilterRules(
            QStringLiteral("nookary.*.warning=false\ndefault.warning=false"));
        qInfo("seed %u", seed());
    }

    void settingsFiles()
    {
        Chaos chaos(seed());
        for (int round = 0, n = rounds(40); round < n; ++round) {
            ModelFixture f;
            const QByteArray file = chaos.settingsFile();
            f.writeSettingsFile(file);
            const QByteArray stored = storedSnippets(f.settingsPath());
            f.start();
            checkModelIsUsable(*f.model);
            checkSnippetsKept(f.settingsPath(), stored, *f.model);
            checkRestartKeepsTheShelf(f);
            if (QTest::currentTestFailed()) {
                qInfo("failed in round %d of seed %u", round, seed());
                return;
            }
        }
    }

    void snippetLists()
    {
        Chaos chaos(seed() + 1);
        for (int round = 0, n = rounds(40); round < n; ++round) {
            ModelFixture f;
            const QByteArray list = chaos.snippetList();
            const bool legacy = chaos.oneIn(4);
            SettingsPreferencesStore(f.settingsPath())
                .setData(legacy ? kLegacyShelfKey : kShelfKey, list);
            f.start();
            checkModelIsUsable(*f.model);
            checkSnippetsKept(f.settingsPath(), list, *f.model);
            checkRestartKeepsTheShelf(f);
            if (QTest::currentTestFailed()) {
                qInfo("failed in round %d of seed %u", round, seed());
                return;
            }
        }
    }

    void copiedTexts()
    {
        Chaos chaos(seed() + 2);
        ModelFixture f;
        AppModel &model = f.start();
        const auto copy = [&](const QString &text) {
            f.pasteboard.copyText(text);
            f.clock.advance(1s);
        };
        // The named worst cases first, then random ones.
        QString mixedMarks(u'e');
        for (int i = 0; i < 200000; ++i)
            mixedMarks += QChar(i % 3 ? 0x0316 : 0x0301); // classes 220 and 230, out of order
        QList<QString> texts { mixedMarks, QString(u'e') + QString(200000, QChar(0x0301)),
            QString(200000, QChar(0x0301)), QStringLiteral("a\0b\0c"),
            QString(QChar(0xD800)) + QStringLiteral("lone") + QChar(0xDC00),
            QString(100000, QChar(0)) };
        for (int round = 0, n = rounds(40); round < n; ++round)
            texts.append(chaos.text(1 + chaos.below(12)));

        for (int round = 0; round < texts.size(); ++round) {
            const QString &text = texts.at(round);
            copy(text);
            const QString trimmed = text.trimmed();
            if (!trimmed.isEmpty()) {
                QVERIFY(!model.clipboardHistory().items().isEmpty());
                const QString top = model.clipboardHistory().items().first().text;
                QVERIFY(!top.isEmpty());
                QVERIFY(trimmed.startsWith(top));
                QCOMPARE(top, top.trimmed());
            }
            QVERIFY(model.clipboardHistory().items().size() <= model.settings().historyLimit());

            // Searching with a piece of it, and saving it as a snippet.
            model.panelState().setQuery(text.mid(chaos.below(int(text.size())), chaos.below(8)));
            QVERIFY(model.panelState().filteredHistory().size()
                <= model.clipboardHistory().items().size());
            model.panelState().setQuery({});
            if (!model.clipboardHistory().items().isEmpty() && chaos.oneIn(3)) {
                if (model.savedSnippets().items().size() >= 25)
                    model.deleteShelf(model.savedSnippets().items().first().id);
                model.addShelfFromDrop(model.clipboardHistory().items().first().text);
            }
            if (QTest::currentTestFailed()) {
                qInfo("failed on text %d of seed %u", round, seed());
                return;
            }
        }
        checkModelIsUsable(model);
        checkRestartKeepsTheShelf(f);
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
