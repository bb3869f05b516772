// SPDX-License-Identifier: GPL-3.0-or-later
// The login item as an XDG autostart entry, read and written as a session reads it, and the
// desktop-entry rules it relies on (the Exec quoting above all).
#include "platform/xdg/DesktopEntry.h"
#include "platform/xdg/XdgAutostartLoginItemService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace nookary;

namespace {

void writeFile(const QString &path, const QByteArray &contents, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

} // namespace

class TestXdgAutostart : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString launcher(const QString &folder = QStringLiteral("libexec/nookary"))
    {
        const QString path = m_dir.filePath(folder + QStringLiteral("/NookaryLauncher"));
        writeFile(path, "#!/bin/sh\n", true);
        return path;
    }
    QString autostart() { return m_dir.filePath(QStringLiteral("config/autostart")); }

private Q_SLOTS:
    void execQuotingSurvivesEveryAwkwardCharacter_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("plain") << QStringLiteral("/usr/libexec/nookary/NookaryLauncher");
        QTest::newRow("space") << QStringLiteral("/home/ann/my apps/NookaryLauncher");
        QTest::newRow("percent") << QStringLiteral("/opt/100%/x%u");
        QTest::newRow("shell characters")
            << QStringLiteral("/a/\"q\" `b` $HOME \\ ' ; & | * ? # ( ) < > ~");
        QTest::newRow("control characters") << QStringLiteral("/a/tab\there/new\nline");
        QTest::newRow("leading space") << QStringLiteral(" lead");
        QTest::newRow("non-ASCII") << QStringLiteral("/home/zoë/Ñoño/NookaryLauncher");
    }

    void execQuotingSurvivesEveryAwkwardCharacter()
    {
        QFETCH(QString, argument);
        const QString value = DesktopEntry::escapeString(DesktopEntry::quoteExecArgument(argument));
        const auto entry
            = DesktopEntry::parse("[Desktop Entry]\nExec=" + value.toUtf8() + " --x\n");
        QVERIFY(entry);
        QCOMPARE(entry->execArguments(), (QStringList { argument, QStringLiteral("--x") }));
    }

    void execFieldCodesAreDroppedAndQuotesUndone_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("bare") << QStringLiteral("Nookary")
                              << QStringList { QStringLiteral("Nookary") };
        QTest::newRow("field codes")
            << QStringLiteral("Nookary %U --flag %f %i %c %k")
            << QStringList { QStringLiteral("Nookary"), QStringLiteral("--flag") };
        QTest::newRow("quoted program") << QStringLiteral("\"/opt/My Apps/Nookary\" %F")
                                        << QStringList { QStringLiteral("/opt/My Apps/Nookary") };
        QTest::newRow("percent sign")
            << QStringLiteral("Nookary --rate=50%%")
            << QStringList { QStringLiteral("Nookary"), QStringLiteral("--rate=50%") };
        QTest::newRow("empty quoted argument") << QStringLiteral(
            "Nookary \"\"") << QStringList { QStringLiteral("Nookary"), QString() };
        QTest::newRow("escaped space")
            << QStringLiteral("\\sNookary") << QStringList { QStringLiteral("Nookary") };
        QTest::newRow("unterminated quote") << QStringLiteral("\"/opt/Nookary") << QStringList {};
        QTest::newRow("empty") << QString() << QStringList {};
    }

    void execFieldCodesAreDroppedAndQuotesUndone()
    {
        QFETCH(QString, exec);
        QFETCH(QStringList, arguments);
        const auto entry = DesktopEntry::parse("[Desktop Entry]\nExec=" + exec.toUtf8() + "\n");
        QVERIFY(entry);
        QCOMPARE(entry->execArguments(), arguments);
    }

    void registeringWritesAnEntryThatRunsTheLauncherByItsPath()
    {
        const QString path = launcher(QStringLiteral("my apps/100% \"odd\"/libexec/nookary"));
        XdgAutostartLoginItemService service(autostart(), path);
        QVERIFY(!service.isRegistered());
        QVERIFY(service.registerLoginItem());
        QVERIFY(service.isRegistered());
        QCOMPARE(service.entryPath(),
            autostart() + QStringLiteral("/com.dorwen.NookaryLauncher.desktop"));

        const auto entry = DesktopEntry::read(service.entryPath());
        QVERIFY(entry);
        QCOMPARE(entry->execArguments(), QStringList { path });
        QCOMPARE(entry->string(QStringLiteral("TryExec")), path);
        QCOMPARE(entry->string(QStringLiteral("Type")), QStringLiteral("Application"));
        // Nothing else is left in the folder: the entry was renamed into place.
        QCOMPARE(QDir(autostart()).entryList(QDir::Files | QDir::Hidden),
            QStringList { QStringLiteral("com.dorwen.NookaryLauncher.desktop") });

        const QString validator
            = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed (scripts/setup installs it)");
        QProcess validate;
        validate.start(validator, { service.entryPath() });
        QVERIFY(validate.waitForFinished(10000));
        const QByteArray complaints
            = validate.readAllStandardOutput() + validate.readAllStandardError();
        QVERIFY2(validate.exitCode() == 0 && complaints.isEmpty(), complaints.constData());
    }

    void entriesTheSessionWouldNotRunCountAsOff_data()
    {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<bool>("registered");
        QTest::newRow("as written") << QByteArray() << true;
        QTest::newRow("Hidden=true") << QByteArray("Hidden=true\n") << false;
        QTest::newRow("Hidden=false") << QByteArray("Hidden=false\n") << true;
        QTest::newRow("GNOME switch off")
            << QByteArray("X-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("GNOME switch on") << QByteArray("X-GNOME-Autostart-enabled=true\n") << true;
        QTest::newRow("launcher gone")
            << QByteArray("TryExec=/nonexistent/NookaryLauncher\n") << false;
        QTest::newRow("a line of rubbish") << QByteArray("this is not a key\n") << false;
        QTest::newRow("other groups after")
            << QByteArray("[Desktop Action x]\nHidden=true\n") << true;
    }

    void aHeaderWithTrailingSpaceIsStillTheEntry()
    {
        XdgAutostartLoginItemService service(autostart(), launcher());
        QByteArray contents = service.entryContents();
        contents.replace("[Desktop Entry]\n", "[Desktop Entry] \t\n");
        writeFile(service.entryPath(), contents);
        QVERIFY(service.isRegistered());
    }

    void registeringAMissingLauncherFails()
    {
        XdgAutostartLoginItemService service(m_dir.filePath(QStringLiteral("fresh/autostart")),
            m_dir.filePath(QStringLiteral("gone/NookaryLauncher")));
        QVERIFY(!service.registerLoginItem());
        QVERIFY(!QFileInfo::exists(service.entryPath()));
        QVERIFY(!service.isRegistered());
    }

    void entriesTheSessionWouldNotRunCountAsOff()
    {
        QFETCH(QByteArray, extra);
        QFETCH(bool, registered);
        const QString path = launcher();
        XdgAutostartLoginItemService service(autostart(), path);
        // Keys given twice: the last counts, as for the sessions, so the extra lines go last.
        writeFile(service.entryPath(), service.entryContents() + extra);
        QCOMPARE(service.isRegistered(), registered);
    }

    void filesThatAreNoEntryCountAsOff_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no main group") << QByteArray("Exec=/bin/true\n");
        QTest::newRow("another group first")
            << QByteArray("[Other]\nA=b\n[Desktop Entry]\nExec=/bin/true\n");
        QTest::newRow("no Exec") << QByteArray("[Desktop Entry]\nType=Application\nName=x\n");
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0",
            10);
    }

    void filesThatAreNoEntryCountAsOff()
    {
        QFETCH(QByteArray, contents);
        XdgAutostartLoginItemService service(autostart(), launcher());
        writeFile(service.entryPath(), contents);
        QVERIFY(!service.isRegistered());
    }

    void registeringReplacesAnEntryDisabledByHand()
    {
        XdgAutostartLoginItemService service(autostart(), launcher());
        writeFile(service.entryPath(),
            "[Desktop Entry]\nType=Application\nExec=/bin/true\nHidden=true\n");
        QVERIFY(!service.isRegistered());
        QVERIFY(service.registerLoginItem());
        QVERIFY(service.isRegistered());
    }

    // A link at the entry's place is replaced itself; its target, someone else's file, is
    // never written through.
    void aLinkAtTheEntrysPlaceIsReplacedNotWrittenThrough()
    {
        XdgAutostartLoginItemService service(autostart(), launcher());
        const QString target = m_dir.filePath(QStringLiteral("dotfiles/other.desktop"));
        writeFile(target, "[Desktop Entry]\nType=Application\nExec=/bin/true\nHidden=true\n");
        QDir().mkpath(autostart());
        QFile::remove(service.entryPath());
        QVERIFY(QFile::link(target, service.entryPath()));
        QVERIFY(service.registerLoginItem());
        QVERIFY(service.isRegistered());
        QVERIFY(!QFileInfo(service.entryPath()).isSymLink());
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(),
            QByteArray("[Desktop Entry]\nType=Application\nExec=/bin/true\nHidden=true\n"));

        // A link to nowhere too: nothing is made where it points.
        QVERIFY(QFile::remove(service.entryPath()));
        const QString nowhere = m_dir.filePath(QStringLiteral("nowhere.desktop"));
        QVERIFY(QFile::link(nowhere, service.entryPath()));
        QVERIFY(service.registerLoginItem());
        QVERIFY(!QFileInfo(service.entryPath()).isSymLink());
        QVERIFY(!QFileInfo::exists(nowhere));
    }

    void unregisteringRemovesTheEntry()
    {
        XdgAutostartLoginItemService service(autostart(), launcher());
        QVERIFY(service.unregisterLoginItem()); // nothing there: nothing to do
        QVERIFY(service.registerLoginItem());
        QVERIFY(service.unregisterLoginItem());
        QVERIFY(!QFile::exists(service.entryPath()));
        QVERIFY(!service.isRegistered());
        // A hand-written entry of the same name goes too.
        writeFile(service.entryPath(), "[Desktop Entry]\nHidden=true\n");
        QVERIFY(service.unregisterLoginItem());
        QVERIFY(!QFile::exists(service.entryPath()));
    }

    void aFolderThatCannotBeMadeIsAFailure()
    {
        // A file where the autostart folder should be: no permission bits can help (the
        // tests may run as root).
        const QString blocked = m_dir.filePath(QStringLiteral("blocked/autostart"));
        writeFile(blocked, "not a folder");
        XdgAutostartLoginItemService service(blocked, launcher());
        QVERIFY(!service.registerLoginItem());
        QVERIFY(!service.isRegistered());
        QVERIFY(service.unregisterLoginItem());
    }

    void aReadOnlyFolderIsAFailure()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        const QString folder = m_dir.filePath(QStringLiteral("readonly/autostart"));
        QVERIFY(QDir().mkpath(folder));
        XdgAutostartLoginItemService service(folder, launcher());
        QVERIFY(service.registerLoginItem());
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(!service.unregisterLoginItem());
        QVERIFY(service.isRegistered());
        QFile::remove(service.entryPath());
        QVERIFY(!service.registerLoginItem());
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // An entry written by an install whose layout has since moved the launcher.
    void anEntryWhoseLauncherMovedFollowsIt_data()
    {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("rewritten");
        const QString gone = QStringLiteral("/nonexistent/libexec/nookary/NookaryLauncher");
        QTest::newRow("moved") << QByteArray() << gone << true;
        QTest::newRow("turned off by hand") << QByteArray("Hidden=true\n") << gone << false;
        QTest::newRow("turned off in GNOME")
            << QByteArray("X-GNOME-Autostart-enabled=false\n") << gone << false;
        QTest::newRow("another program")
            << QByteArray() << QStringLiteral("/nonexistent/bin/other-launcher") << false;
        QTest::newRow("a relative program")
            << QByteArray() << QStringLiteral("NookaryLauncher") << false;
    }
    void anEntryWhoseLauncherMovedFollowsIt()
    {
        QFETCH(QByteArray, extra);
        QFETCH(QString, named);
        QFETCH(bool, rewritten);
        const QString folder = autostart() + QStringLiteral("/moved");
        XdgAutostartLoginItemService service(folder, launcher(QStringLiteral("lib64/nookary")));
        const QByteArray old = "[Desktop Entry]\nType=Application\nName=Nookary\nExec="
            + DesktopEntry::quoteExecArgument(named).toUtf8() + "\n" + extra;
        writeFile(service.entryPath(), old);
        QCOMPARE(service.followMovedLauncher(), rewritten ? std::optional(named) : std::nullopt);
        QFile file(service.entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), rewritten ? service.entryContents() : old);
        if (rewritten)
            QVERIFY(service.isRegistered());
        QVERIFY(QFile::remove(service.entryPath()));
    }

    void anEntryLeftAloneWhenItsLauncherStillExists()
    {
        const QString folder = autostart() + QStringLiteral("/other-install");
        const QString other = launcher(QStringLiteral("opt/libexec/nookary"));
        XdgAutostartLoginItemService earlier(folder, other);
        QVERIFY(earlier.registerLoginItem());
        XdgAutostartLoginItemService service(folder, launcher(QStringLiteral("lib64/nookary")));
        QCOMPARE(service.followMovedLauncher(), std::nullopt);
        QCOMPARE(DesktopEntry::read(service.entryPath())->execArguments(), QStringList { other });
        // Nor does an entry get rewritten for a launcher of ours that is missing as well.
        QVERIFY(QFile::remove(other));
        XdgAutostartLoginItemService broken(
            folder, m_dir.filePath(QStringLiteral("missing/NookaryLauncher")));
        QCOMPARE(broken.followMovedLauncher(), std::nullopt);
        QCOMPARE(DesktopEntry::read(service.entryPath())->execArguments(), QStringList { other });
        // Without an entry there is nothing to follow.
        QVERIFY(service.unregisterLoginItem());
        QCOMPARE(service.followMovedLauncher(), std::nullopt);
        QVERIFY(!QFileInfo::exists(service.entryPath()));
    }

    // The tests run from the build tree's program folder, which has the install layout.
    void theDefaultLauncherIsTheBuiltOne()
    {
        QCOMPARE(XdgAutostartLoginItemService::defaultLauncherPath(),
            QFileInfo(QStringLiteral(LAUNCHER_BINARY)).canonicalFilePath());
    }
};

QTEST_GUILESS_MAIN(TestXdgAutostart)
#include "tst_xdgautostart.moc"
