// SPDX-License-Identifier: GPL-3.0-or-later
// The login launcher's decisions over a made-up install tree, data folders and PATH: which
// Nookary it starts, with what, and when it starts nothing.
#include "NookaryLauncherApp.h"
#include "app/InstanceChannel.h"

#include "InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace nookary;

namespace {

// The install tree the build lays out, under the made-up prefix/.
const QString kProgram
    = QStringLiteral("prefix/") + installLayout::programFolder + QStringLiteral("/Nookary");
const QString kLauncherFolder = QStringLiteral("prefix/") + installLayout::launcherFolder;

struct Started {
    QString program;
    QStringList arguments;
};

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_running = false;
    QList<Started> m_started;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    QString makeFile(const QString &relative, const QByteArray &contents, bool executable)
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(file));
        f.write(contents);
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return file;
    }
    QString program(const QString &relative) { return makeFile(relative, "#!/bin/sh\n", true); }
    void menuEntry(const QString &dataFolder, const QByteArray &body)
    {
        makeFile(dataFolder + QStringLiteral("/applications/com.dorwen.Nookary.desktop"),
            "[Desktop Entry]\nType=Application\nName=Nookary\n" + body, false);
    }

    // An install tree under prefix/, a menu entry in sys/share whose program is on PATH, and
    // an empty data home in front of it.
    NookaryLauncherApp::Host host(const QString &launcherFolder = kLauncherFolder)
    {
        NookaryLauncherApp::Host h;
        QDir().mkpath(path(launcherFolder));
        h.launcherDirectory = path(launcherFolder);
        h.dataDirectories
            = { path(QStringLiteral("home/share")), path(QStringLiteral("sys/share")) };
        h.pathDirectories
            = { path(QStringLiteral("nothing-here")), path(QStringLiteral("path/bin")) };
        h.isMainAppRunning = [this] { return m_running; };
        h.startDetached = [this](const QString &p, const QStringList &a) {
            m_started.append({ p, a });
        };
        return h;
    }

    void run(const NookaryLauncherApp::Host &h)
    {
        NookaryLauncherApp launcher(h);
        launcher.start();
    }

    const QString marker = QStringLiteral("--launched-from-login-item");

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_running = false;
        m_started.clear();
        program(kProgram);
        program(QStringLiteral("path/bin/Nookary"));
        menuEntry(QStringLiteral("sys/share"), "Exec=Nookary %U\n");
    }

    void theEnclosingInstallIsStartedWithTheMarker()
    {
        run(host());
        QCOMPARE(m_started.size(), 1);
        QCOMPARE(m_started[0].program, path(kProgram));
        QCOMPARE(m_started[0].arguments, QStringList { marker });
    }

    void aRunningNookaryStartsNothing()
    {
        m_running = true;
        run(host());
        QCOMPARE(m_started.size(), 0);
        // Outside the install tree, the menu entry's Nookary is held back the same way.
        run(host(QStringLiteral("moved/away")));
        QCOMPARE(m_started.size(), 0);
    }

    // Running means answering on this display's socket: a Nookary of another display (or
    // another session) is no reason to start nothing here.
    void runningIsAskedOfThisDisplaysNookary()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const NookaryLauncherApp::Host system = NookaryLauncherApp::Host::system();
        InstanceChannel::useInstanceName(QStringLiteral("x11-:1"));
        InstanceServer other([](InstanceChannel::Request) { return QByteArray(); });
        QVERIFY(other.listen());
        InstanceChannel::useInstanceName(QStringLiteral("x11-:0"));
        QVERIFY(!system.isMainAppRunning());
        InstanceServer here([](InstanceChannel::Request) { return QByteArray(); });
        QVERIFY(here.listen());
        QVERIFY(system.isMainAppRunning());
    }

    void outsideTheInstallTreeTheMenuEntryIsStarted()
    {
        run(host(QStringLiteral("moved/away")));
        QCOMPARE(m_started.size(), 1);
        QCOMPARE(m_started[0].program, path(QStringLiteral("path/bin/Nookary")));
        QCOMPARE(m_started[0].arguments, QStringList { marker });
    }

    void theMenuEntrysOwnArgumentsAndQuotingAreKept()
    {
        const QString spaced = program(QStringLiteral("My Apps/Nookary"));
        menuEntry(QStringLiteral("home/share"), "Exec=\"" + spaced.toUtf8() + "\" --verbose %F\n");
        run(host(QStringLiteral("moved/away")));
        QCOMPARE(m_started.size(), 1);
        QCOMPARE(m_started[0].program, spaced);
        QCOMPARE(m_started[0].arguments, (QStringList { QStringLiteral("--verbose"), marker }));
    }

    // The build tree has the layout the launcher expects.
    void theBuiltLauncherFindsTheBuiltProgram()
    {
        NookaryLauncherApp::Host h = host();
        h.launcherDirectory = QFileInfo(QStringLiteral(LAUNCHER_BINARY)).canonicalPath();
        QCOMPARE(NookaryLauncherApp(h).bundledMainAppURL(),
            std::optional(QFileInfo(QStringLiteral(NOOKARY_BINARY)).canonicalFilePath()));
    }

    void aBrokenInstallTreeFallsBackToTheMenuEntry()
    {
        QFile::setPermissions(path(kProgram), QFileDevice::ReadOwner);
        run(host());
        QCOMPARE(m_started.size(), 1);
        QCOMPARE(m_started[0].program, path(QStringLiteral("path/bin/Nookary")));
    }

    void noUsableMenuEntryStartsNothing_data()
    {
        QTest::addColumn<QByteArray>("homeEntry");
        QTest::addColumn<bool>("removeSystemEntry");
        QTest::newRow("no entry anywhere") << QByteArray() << true;
        QTest::newRow("hidden in the data home")
            << QByteArray("Exec=Nookary\nHidden=true\n") << false;
        QTest::newRow("program not on PATH") << QByteArray("Exec=NotNookary\n") << false;
        QTest::newRow("absolute program missing")
            << QByteArray("Exec=/nonexistent/Nookary\n") << false;
        QTest::newRow("no Exec") << QByteArray("Comment=x\n") << false;
        QTest::newRow("unterminated quote") << QByteArray("Exec=\"Nookary\n") << false;
    }

    void noUsableMenuEntryStartsNothing()
    {
        QFETCH(QByteArray, homeEntry);
        QFETCH(bool, removeSystemEntry);
        if (!homeEntry.isEmpty())
            menuEntry(QStringLiteral("home/share"), homeEntry);
        if (removeSystemEntry)
            QVERIFY(QFile::remove(
                path(QStringLiteral("sys/share/applications/com.dorwen.Nookary.desktop"))));
        run(host(QStringLiteral("moved/away")));
        QCOMPARE(m_started.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
