// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadOnlyFolder.h"
#include "SmallDisk.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "platform/qt/StaleLockFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace nookary;
using nookary::test::ReadOnlyFolder;
using nookary::test::SmallDisk;
using WriteProblem = PreferencesStore::WriteProblem;

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

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A value QSettings would read with QDataStream: lists nested `depth` deep around a number,
// spelled with QSettings' escapes.
QByteArray nestedVariant(int depth)
{
    QByteArray line = "@Variant(";
    for (int i = 0; i < depth; ++i)
        line += "\\0\\0\\0\\t\\0\\0\\0\\x1"; // a list (type 9) of one
    line += "\\0\\0\\0\\x2\\0\\0\\0\\x5)"; // the number 5
    return line;
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

    // QSettings reads "@Variant" values with QDataStream, by recursion: a hostile file must
    // not crash every start. The value is set aside (kept in the copy), the rest is read.
    void aDeeplyNestedValueIsSetAsideNotRead_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("setAside");
        QTest::newRow("100,000 deep, 1.7 MB") << 100000 << true;
        QTest::newRow("5,000 deep, 85 KB") << 5000 << true;
        QTest::newRow("3 deep") << 3 << false;
    }

    void aDeeplyNestedValueIsSetAsideNotRead()
    {
        QFETCH(int, depth);
        QFETCH(bool, setAside);
        QTemporaryDir dir;
        const QByteArray contents
            = "[General]\nNookary.historyLimit.v2=50\nnested=" + nestedVariant(depth) + "\n";
        const QString path = writeFile(dir, contents);
        SettingsPreferencesStore store(path);
        QCOMPARE(store.integer(QStringLiteral("Nookary.historyLimit.v2")), 50);
        QCOMPARE(store.contains(QStringLiteral("nested")), !setAside);
        QVERIFY(store.isWritable());
        if (!setAside) {
            QVERIFY(backupsIn(dir).isEmpty());
            return;
        }
        QCOMPARE(backupsIn(dir).size(), 1);
        QCOMPARE(fileBytes(store.backupPath()), contents);
        QCOMPARE(fileBytes(path), QByteArray("[General]\nNookary.historyLimit.v2=50\n"));
        // The next start reads the cleaned file: no second copy.
        SettingsPreferencesStore again(path);
        QCOMPARE(backupsIn(dir).size(), 1);
    }

    // Only a regular file is read: a FIFO would block the start for good, /dev/zero would
    // never end. Either is said once and left alone; Nookary runs on its defaults.
    void aFileThatIsNoRegularFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a FIFO") << QStringLiteral("fifo");
        QTest::newRow("a link to /dev/zero") << QStringLiteral("zero");
    }

    void aFileThatIsNoRegularFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Nookary.conf"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        const QStringList files = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System);

        g_settingsWarnings = 0;
        g_previousHandler = qInstallMessageHandler(countSettingsWarnings);
        QList<WriteProblem> told;
        {
            SettingsPreferencesStore store(path);
            store.setWriteProblemHandler([&](WriteProblem p) { told.append(p); });
            QVERIFY(!store.isWritable());
            QVERIFY(!store.contains(QStringLiteral("Nookary.historyLimit.v2")));
            store.setInteger(QStringLiteral("Nookary.historyLimit.v2"), 100);
            QCOMPARE(store.integer(QStringLiteral("Nookary.historyLimit.v2")), 100);
        }
        qInstallMessageHandler(g_previousHandler);
        QCOMPARE(g_settingsWarnings, 1);
        QCOMPARE(told, QList { WriteProblem::heldInMemory });
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System), files);
        QCOMPARE(QFileInfo(path).isSymLink(), kind == QLatin1String("zero"));
    }

    // A file grown by keys that are not Nookary's (a million lines) is written back with
    // Nookary's keys only, once, after a copy; a few other keys stay as they are.
    void keysNookaryNeverReadsAreDroppedOnlyWhenHuge()
    {
        const QStringList ours { QStringLiteral("Nookary."), QStringLiteral("Velmic.") };
        QTemporaryDir dir;
        QByteArray huge = "[General]\nNookary.historyLimit.v2=50\n";
        for (int i = 0; i < 100000; ++i)
            huge += "junk" + QByteArray::number(i) + "=some value\n";
        huge += "Nookary.shelf.v1=\"@ByteArray([])\"\n[Other]\nmore=1\n";
        const QString path = writeFile(dir, huge);
        {
            SettingsPreferencesStore store(path, ours);
            QCOMPARE(store.integer(QStringLiteral("Nookary.historyLimit.v2")), 50);
            QCOMPARE(store.data(QStringLiteral("Nookary.shelf.v1")), QByteArray("[]"));
            QVERIFY(!store.contains(QStringLiteral("junk7")));
            QCOMPARE(fileBytes(store.backupPath()), huge);
            QCOMPARE(fileBytes(path),
                QByteArray("[General]\nNookary.historyLimit.v2=50\n"
                           "Nookary.shelf.v1=\"@ByteArray([])\"\n"));
        }
        SettingsPreferencesStore again(path, ours);
        QCOMPARE(QDir(dir.path()).entryList({ QStringLiteral("Nookary.conf.large-*") }).size(), 1);
        QVERIFY(backupsIn(dir).isEmpty());

        QTemporaryDir small;
        QByteArray some = "[General]\nNookary.historyLimit.v2=50\n";
        for (int i = 0; i < 1000; ++i)
            some += "junk" + QByteArray::number(i) + "=some value\n";
        const QString smallPath = writeFile(small, some);
        SettingsPreferencesStore kept(smallPath, ours);
        QCOMPARE(kept.string(QStringLiteral("junk7")), QStringLiteral("some value"));
        QCOMPARE(fileBytes(smallPath), some);
        QVERIFY(backupsIn(small).isEmpty());
    }

    // A lock left by a killed program would hold the first write for QSettings' 30 s.
    void aLockLeftBehindDoesNotHoldTheWrite()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "[General]\nNookary.historyLimit.v2=50\n");
        const QString lock = path + QStringLiteral(".lock");
        SettingsPreferencesStore store(path);
        QFile empty(lock);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(empty.open(QIODevice::ReadWrite));
        QVERIFY(empty.setFileTime(
            QDateTime::currentDateTime().addSecs(-5), QFileDevice::FileModificationTime));
        empty.close();
        QElapsedTimer timer;
        timer.start();
        store.setInteger(QStringLiteral("Nookary.historyLimit.v2"), 100);
        // QSettings would have waited until the lock is 30 s old.
        QVERIFY2(timer.elapsed() < 15000, "the write waited for a lock nobody holds");
        QCOMPARE(
            SettingsPreferencesStore(path).integer(QStringLiteral("Nookary.historyLimit.v2")), 100);
        QVERIFY(!QFile::exists(lock));
    }

    void onlyLocksOfGoneProcessesAreRemoved()
    {
        QTemporaryDir dir;
        const QString lock = dir.filePath(QStringLiteral("Nookary.conf.lock"));
        auto writeLock = [&](const QByteArray &contents, int ageSeconds) {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(contents);
            file.close();
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                QFileDevice::FileModificationTime);
        };
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const QByteArray here
            = host + '\n' + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
        // A live process of this machine (this one), and one of another machine: kept.
        writeLock(QByteArray::number(::getpid()) + "\nNookary\n" + here, 60);
        QVERIFY(!removeStaleLockFile(lock));
        writeLock("1\nNookary\nsome-other-host\nother-machine\nother-boot\n", 60);
        QVERIFY(!removeStaleLockFile(lock));
        // Being written right now: empty for a moment.
        writeLock("", 0);
        QVERIFY(!removeStaleLockFile(lock));
        // Gone: an empty one a while later, a dead process, a process of an earlier boot.
        writeLock("", 3);
        QVERIFY(removeStaleLockFile(lock));
        const pid_t gone = ::fork();
        if (gone == 0)
            ::_exit(0);
        QVERIFY(gone > 0 && ::waitpid(gone, nullptr, 0) == gone);
        writeLock(QByteArray::number(gone) + "\nNookary\n" + here, 0);
        QVERIFY(removeStaleLockFile(lock));
        writeLock(QByteArray::number(::getpid()) + "\nNookary\n" + host + '\n'
                + QSysInfo::machineUniqueId() + "\nan-earlier-boot\n",
            0);
        QVERIFY(removeStaleLockFile(lock));
        QVERIFY(!QFile::exists(lock));
    }

    // A full disk: the file stays whole (QSettings alone would replace it with a cut one),
    // the user is told once, and the changes go with the next write or at quit.
    void aFullDiskKeepsTheFileWholeAndWritesLater()
    {
        SmallDisk disk(192 * 1024);
        if (!disk.isMounted())
            QSKIP("this system lets the test mount no small disk");
        const QString path = disk.path() + QStringLiteral("/Nookary.conf");
        QList<WriteProblem> told;
        const QByteArray big(40 * 1024, 'b');
        {
            SettingsPreferencesStore store(path);
            store.setWriteProblemHandler([&](WriteProblem p) { told.append(p); });
            store.setData(QStringLiteral("first"), QByteArray(4 * 1024, 'a'));
            const QByteArray whole = fileBytes(path);
            QVERIFY(disk.fillLeaving(16 * 1024));

            store.setData(QStringLiteral("big"), big);
            store.setInteger(QStringLiteral("n"), 1);
            QCOMPARE(fileBytes(path), whole);
            QCOMPARE(store.data(QStringLiteral("big")), big);
            QCOMPARE(told, QList { WriteProblem::writeFailed });

            // Room again: the next change takes the waiting ones with it.
            disk.freeAll();
            store.setInteger(QStringLiteral("n"), 2);
            SettingsPreferencesStore reread(path);
            QCOMPARE(reread.data(QStringLiteral("big")), big);
            QCOMPARE(reread.integer(QStringLiteral("n")), 2);

            // Full again, and room only once the change is made: written at quit.
            QVERIFY(disk.fillLeaving(16 * 1024));
            store.setInteger(QStringLiteral("n"), 3);
            disk.freeAll();
        }
        QCOMPARE(SettingsPreferencesStore(path).integer(QStringLiteral("n")), 3);
        QCOMPARE(told, QList { WriteProblem::writeFailed });
        QVERIFY(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size() == 1);
    }
};

QTEST_GUILESS_MAIN(TestPreferencesStore)
#include "tst_preferencesstore.moc"
