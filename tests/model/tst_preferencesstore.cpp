// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadOnlyFolder.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace nookary;
using nookary::test::ReadOnlyFolder;

namespace {

QString writeFile(const QTemporaryDir &dir, const QByteArray &contents)
{
    const QString path = dir.filePath(QStringLiteral("Nookary.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test file");
    file.write(contents);
    return path;
}

QStringList backupsIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList({ QStringLiteral("Nookary.conf.damaged-*") }, QDir::Files);
}

int g_settingsWarnings = 0;
QtMessageHandler g_previousHandler = nullptr;

void countSettingsWarnings(
    QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && qstrcmp(context.category, "nookary.settings") == 0)
        ++g_settingsWarnings;
    g_previousHandler(type, context, message);
}

} // namespace

class TestPreferencesStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedReadsConvertLikeTheDefaultsGetters()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir,
            "[General]\n"
            "number=25\n"
            "padded=\"  42abc\"\n"
            "negative=-7\n"
            "huge=99999999999999999999999\n"
            "word=abc\n"
            "yes=YES\n"
            "truth=true\n"
            "falsity=false\n"
            "zero=0\n"
            "fraction=2.75\n"
            "list=25, 50\n"
            "blob=@ByteArray(\\0\\x1)\n");
        SettingsPreferencesStore store(path);

        QCOMPARE(store.integer(QStringLiteral("number")), 25);
        QCOMPARE(store.integer(QStringLiteral("padded")), 42);
        QCOMPARE(store.integer(QStringLiteral("negative")), -7);
        QCOMPARE(store.integer(QStringLiteral("huge")), std::numeric_limits<qint64>::max());
        QCOMPARE(store.integer(QStringLiteral("word")), 0);
        QCOMPARE(store.integer(QStringLiteral("fraction")), 2);
        QCOMPARE(store.integer(QStringLiteral("list")), 0);
        QCOMPARE(store.integer(QStringLiteral("blob")), 0);
        QCOMPARE(store.integer(QStringLiteral("absent")), 0);

        QVERIFY(store.boolean(QStringLiteral("yes")));
        QVERIFY(store.boolean(QStringLiteral("truth")));
        QVERIFY(store.boolean(QStringLiteral("number")));
        QVERIFY(!store.boolean(QStringLiteral("falsity")));
        QVERIFY(!store.boolean(QStringLiteral("zero")));
        QVERIFY(!store.boolean(QStringLiteral("word")));

        QCOMPARE(store.real(QStringLiteral("fraction")), 2.75);
        QCOMPARE(store.real(QStringLiteral("word")), 0.0);

        QCOMPARE(store.string(QStringLiteral("number")), QStringLiteral("25"));
        QCOMPARE(store.string(QStringLiteral("blob")), std::nullopt);
        QCOMPARE(store.string(QStringLiteral("list")), std::nullopt);
        QCOMPARE(store.string(QStringLiteral("absent")), std::nullopt);

        QCOMPARE(store.data(QStringLiteral("blob")), QByteArray("\0\1", 2));
        QCOMPARE(store.data(QStringLiteral("word")), std::nullopt);

        // Presence is per key, whatever the value's type.
        QVERIFY(store.contains(QStringLiteral("word")));
        QVERIFY(store.contains(QStringLiteral("blob")));
        QVERIFY(!store.contains(QStringLiteral("absent")));
    }

    void writesReachTheFileAtOnceAndReadBackTyped()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/Nookary.conf"));
        {
            SettingsPreferencesStore store(path);
            store.setInteger(QStringLiteral("n"), 4294967295LL);
            store.setBoolean(QStringLiteral("b"), true);
            store.setReal(QStringLiteral("r"), -12.5);
            store.setString(QStringLiteral("s"), QStringLiteral("@looks, like a list"));
            store.setData(QStringLiteral("d"), QByteArray("[{\"id\":1}]"));
            // Read back before any re-read from disk: the in-memory values are typed.
            QCOMPARE(store.integer(QStringLiteral("n")), 4294967295LL);
            QCOMPARE(store.string(QStringLiteral("n")), QStringLiteral("4294967295"));
            QCOMPARE(store.data(QStringLiteral("s")), std::nullopt);
        }
        SettingsPreferencesStore again(path);
        QCOMPARE(again.integer(QStringLiteral("n")), 4294967295LL);
        QVERIFY(again.boolean(QStringLiteral("b")));
        QCOMPARE(again.real(QStringLiteral("r")), -12.5);
        QCOMPARE(again.string(QStringLiteral("s")), QStringLiteral("@looks, like a list"));
        QCOMPARE(again.data(QStringLiteral("d")), QByteArray("[{\"id\":1}]"));
        QCOMPARE(again.string(QStringLiteral("d")), std::nullopt);
    }

    void binaryDataTypedInUtf8ReadsAsTheFileHoldsIt()
    {
        // QSettings itself reads such bytes as text and keeps only its Latin-1 part.
        QTemporaryDir dir;
        const QByteArray bytes
            = QStringLiteral("\u0130stanbul, \u00c9t\u00e9 \u00df 1\u20ac").toUtf8();
        const QString path = writeFile(dir, "[General]\nk=\"@ByteArray(" + bytes + ")\"\n");
        SettingsPreferencesStore store(path);
        QCOMPARE(store.data(QStringLiteral("k")), bytes);
        QCOMPARE(store.storedForm(QStringLiteral("k")), bytes);
        // Writing another key rewrites the file without spoiling it.
        store.setInteger(QStringLiteral("other"), 1);
        QCOMPARE(SettingsPreferencesStore(path).data(QStringLiteral("k")), bytes);
    }

    void fileIsUserOnly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dorwen/Nookary.conf"));
        SettingsPreferencesStore store(path);
        store.setInteger(QStringLiteral("k"), 1);
        const auto expected = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        const auto everyone = QFileDevice::ReadGroup | QFileDevice::WriteGroup
            | QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFile::permissions(path) & (expected | everyone), expected);

        // A file that someone made readable to all is tightened at the next write.
        QFile::setPermissions(path, expected | QFileDevice::ReadOther | QFileDevice::ReadGroup);
        store.setInteger(QStringLiteral("k"), 2);
        QCOMPARE(QFile::permissions(path) & (expected | everyone), expected);
    }

    void aFileReadableByOthersIsTightenedOnOpen()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "[General]\nk=1\n");
        QFile::setPermissions(
            path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        SettingsPreferencesStore store(path);
        QCOMPARE(QFile::permissions(path) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
            QFileDevice::Permissions());

        // One its owner made read-only for all stays read-only to its owner too, and keeps
        // what it holds.
        QTemporaryDir other;
        const QString readOnly = writeFile(other, "[General]\nk=2\n");
        QFile::setPermissions(
            readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        SettingsPreferencesStore kept(readOnly);
        const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        QCOMPARE(QFile::permissions(readOnly) & owner, QFileDevice::ReadOwner);
        QCOMPARE(kept.integer(QStringLiteral("k")), 2);
    }

    void anUnchangedValueIsNotWrittenAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Nookary.conf"));
        SettingsPreferencesStore store(path);
        store.setInteger(QStringLiteral("n"), 25);
        store.setString(QStringLiteral("s"), QStringLiteral("centeredWindow"));
        store.setBoolean(QStringLiteral("b"), false);
        store.setData(QStringLiteral("d"), "[]");
        const QDateTime written = QFileInfo(path).lastModified();
        QTest::qWait(30);
        SettingsPreferencesStore again(path); // as the next start reads it back
        again.setInteger(QStringLiteral("n"), 25);
        again.setString(QStringLiteral("s"), QStringLiteral("centeredWindow"));
        again.setBoolean(QStringLiteral("b"), false);
        again.setData(QStringLiteral("d"), "[]");
        QCOMPARE(QFileInfo(path).lastModified(), written);
        again.setInteger(QStringLiteral("n"), 50);
        QVERIFY(QFileInfo(path).lastModified() > written);
        QCOMPARE(SettingsPreferencesStore(path).integer(QStringLiteral("n")), 50);
    }

    void damagedFileIsKeptBesideBeforeItIsRewritten_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QByteArray binary(600, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 73 + 11) % 256);
        QTest::newRow("binary garbage") << binary;
        QTest::newRow("unclosed section")
            << QByteArray("Nookary.historyLimit.v2=50\n[broken\nx=1\n");
        QTest::newRow("not utf-8") << QByteArray("Nookary.historyLimit.v2=50\nname=\xff\xfe\n");
    }

    void damagedFileIsKeptBesideBeforeItIsRewritten()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = writeFile(dir, contents);
        SettingsPreferencesStore store(path);
        store.setInteger(QStringLiteral("Nookary.historyLimit.v2"), 25);

        const QStringList backups = backupsIn(dir);
        QCOMPARE(backups.size(), 1);
        QCOMPARE(store.backupPath(), dir.filePath(backups.first()));
        QFile backup(store.backupPath());
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), contents);
    }

    void healthyFileIsNotBackedUp()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "[General]\nNookary.historyLimit.v2=50\n");
        SettingsPreferencesStore store(path);
        store.setInteger(QStringLiteral("Nookary.historyLimit.v2"), 100);
        QVERIFY(backupsIn(dir).isEmpty());
        QVERIFY(store.backupPath().isEmpty());
    }

    void unwritableFolderKeepsValuesInMemoryAndWarnsOnce()
    {
        // A regular file where the folder should be: not writable even for root.
        QTemporaryDir dir;
        const QString blocker = writeFile(dir, "not a folder");
        const QString path = blocker + QStringLiteral("/dorwen/Nookary.conf");

        g_settingsWarnings = 0;
        g_previousHandler = qInstallMessageHandler(countSettingsWarnings);
        {
            SettingsPreferencesStore store(path);
            store.setInteger(QStringLiteral("a"), 50);
            store.setString(QStringLiteral("b"), QStringLiteral("centeredWindow"));
            store.setBoolean(QStringLiteral("c"), true);
            QCOMPARE(store.integer(QStringLiteral("a")), 50);
            QCOMPARE(store.string(QStringLiteral("b")), QStringLiteral("centeredWindow"));
        }
        qInstallMessageHandler(g_previousHandler);
        QCOMPARE(g_settingsWarnings, 1);
    }

    void readOnlyFolderIsReadSaidOnceAndLeftAlone()
    {
        QTemporaryDir dir;
        const QByteArray contents = "[General]\nNookary.historyLimit.v2=50\n";
        const QString path = writeFile(dir, contents);
        const QStringList files = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

        g_settingsWarnings = 0;
        g_previousHandler = qInstallMessageHandler(countSettingsWarnings);
        {
            ReadOnlyFolder readOnly(dir.path());
            QVERIFY(readOnly.isReadOnly());
            SettingsPreferencesStore store(path);
            // Said at start, before the user changes anything that would then be lost.
            QCOMPARE(g_settingsWarnings, 1);
            QVERIFY(!store.isWritable());
            QCOMPARE(store.integer(QStringLiteral("Nookary.historyLimit.v2")), 50);
            store.setInteger(QStringLiteral("Nookary.historyLimit.v2"), 100);
            store.setData(QStringLiteral("d"), QByteArray("\x01\xff", 2));
            QCOMPARE(store.integer(QStringLiteral("Nookary.historyLimit.v2")), 100);
            QVERIFY(store.contains(QStringLiteral("d")));
            QCOMPARE(store.data(QStringLiteral("d")), QByteArray("\x01\xff", 2));
            // A folder that takes files again later still receives nothing from this run.
            readOnly.makeWritable();
            store.setBoolean(QStringLiteral("c"), true);
        }
        qInstallMessageHandler(g_previousHandler);
        QCOMPARE(g_settingsWarnings, 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), files);
    }
};

QTEST_GUILESS_MAIN(TestPreferencesStore)
#include "tst_preferencesstore.moc"
