// SPDX-License-Identifier: GPL-3.0-or-later
// The steps for binding Nookary's shortcut in a desktop: the session's desktop shown first,
// each desktop's lines on choosing it, shown whole and copied as they are, and GNOME's gsettings
// lines run for real (with a settings file of the test's own), which must keep the user's other
// custom shortcuts.
#include "ui/ShortcutGuide.h"
#include "ui/preferences/SegmentedControl.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace nookary;

namespace {

const QString kSchema = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
const QString kNookary
    = QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/nookary/");

// gsettings on a keyfile of its own, as a GNOME user's shell would run it.
struct Gsettings {
    QTemporaryDir home;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        env.insert(QStringLiteral("HOME"), home.path());
        return env;
    }
    QString run(const QString &program, const QStringList &arguments, const QString &input = {})
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program, arguments);
        process.write(input.toUtf8());
        process.closeWriteChannel();
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed()
            + QString::fromUtf8(process.readAllStandardError()).trimmed();
    }
    QString get(const QString &schema, const QString &key)
    {
        return run(QStringLiteral("gsettings"), { QStringLiteral("get"), schema, key });
    }
};

} // namespace

class TestShortcutGuide : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theSessionsDesktopComesFirst()
    {
        auto desktopOf = [](std::initializer_list<std::pair<const char *, const char *>> vars) {
            QProcessEnvironment env;
            for (const auto &[name, value] : vars)
                env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
            return ShortcutGuide::desktopOf(env);
        };
        using D = ShortcutGuide::Desktop;
        QCOMPARE(desktopOf({ { "XDG_CURRENT_DESKTOP", "ubuntu:GNOME" } }), D::gnome);
        QCOMPARE(desktopOf({ { "XDG_CURRENT_DESKTOP", "KDE" } }), D::kde);
        QCOMPARE(desktopOf({ { "XDG_CURRENT_DESKTOP", "sway" } }), D::sway);
        QCOMPARE(desktopOf({}), D::gnome);
        // Debian's sway names no desktop; its socket tells it, and so does i3's, which sway
        // also sets. A named desktop still comes first.
        QCOMPARE(desktopOf({ { "SWAYSOCK", "/run/user/1000/sway-ipc.sock" } }), D::sway);
        QCOMPARE(desktopOf({ { "XDG_CURRENT_DESKTOP", "" }, { "I3SOCK", "/tmp/i3" } }), D::sway);
        QCOMPARE(desktopOf({ { "XDG_CURRENT_DESKTOP", "KDE" }, { "SWAYSOCK", "/tmp/s" } }), D::kde);
        QCOMPARE(desktopOf({ { "SWAYSOCK", "" } }), D::gnome);

        ShortcutGuide guide(ShortcutGuide::Desktop::sway, nullptr);
        QCOMPARE(guide.desktopChooser()->currentIndex(), 2);
        QVERIFY(guide.commandsView()->toPlainText().contains(QStringLiteral("bindsym")));
        guide.desktopChooser()->choose(1);
        QCOMPARE(guide.shownDesktop(), ShortcutGuide::Desktop::kde);
        QCOMPARE(guide.commandsView()->toPlainText().trimmed(), QStringLiteral("Nookary --toggle"));
        guide.desktopChooser()->choose(0);
        QVERIFY(guide.commandsView()->toPlainText().contains(QStringLiteral("gsettings")));
        QVERIFY(guide.commandsView()->isReadOnly());
    }

    // Given the width it asks for, every desktop's lines show whole, without a scroll bar;
    // "Copy" hands over the shown desktop's lines, ready to run when pasted.
    void theCommandsShowWholeAndCopy()
    {
        ShortcutGuide guide(ShortcutGuide::Desktop::gnome, nullptr);
        guide.resize(guide.sizeHint());
        guide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&guide));
        QPlainTextEdit *view = guide.commandsView();
        QStringList copied;
        connect(&guide, &ShortcutGuide::copyRequested, this,
            [&](const QString &commands) { copied << commands; });
        for (int desktop : { 0, 1, 2 }) {
            guide.desktopChooser()->choose(desktop);
            QTRY_COMPARE(view->verticalScrollBar()->maximum(), 0);
            QVERIFY(!view->verticalScrollBar()->isVisible());
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
            QVERIFY(!view->horizontalScrollBar()->isVisible());
            QCOMPARE(guide.copyButton()->text(), QStringLiteral("Copy"));
            guide.copyButton()->click();
            QCOMPARE(copied.size(), desktop + 1);
            QCOMPARE(copied.last(), ShortcutGuide::commandsFor(guide.shownDesktop()));
            QVERIFY(copied.last().endsWith(u'\n'));
            QCOMPARE(copied.last().chopped(1), view->toPlainText());
            QCOMPARE(guide.copyButton()->text(), QStringLiteral("Copied"));
        }
        // In a narrower window the long lines scroll sideways, and still no line hides.
        guide.resize(guide.sizeHint().width() / 2, guide.height());
        QTRY_VERIFY(view->horizontalScrollBar()->maximum() > 0);
        guide.desktopChooser()->choose(0);
        QTRY_COMPARE(view->verticalScrollBar()->maximum(), 0);
    }

    // Setting GNOME's list to Nookary's entry alone would erase the user's own shortcuts.
    void gnomesLinesAddToTheCustomShortcuts()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
            QSKIP("gsettings is not installed");
        Gsettings gsettings;
        if (!gsettings.run(QStringLiteral("gsettings"), { QStringLiteral("list-schemas") })
                 .contains(kSchema))
            QSKIP("GNOME's media-keys schema is not installed");
        const QString lines = ShortcutGuide::commandsFor(ShortcutGuide::Desktop::gnome);

        // From an empty list, twice: one entry.
        gsettings.run(QStringLiteral("sh"), {}, lines);
        gsettings.run(QStringLiteral("sh"), {}, lines);
        QCOMPARE(gsettings.get(kSchema, QStringLiteral("custom-keybindings")),
            QStringLiteral("['%1']").arg(kNookary));
        const QString entry = kSchema + QStringLiteral(".custom-keybinding:") + kNookary;
        QCOMPARE(
            gsettings.get(entry, QStringLiteral("command")), QStringLiteral("'Nookary --toggle'"));
        QCOMPARE(
            gsettings.get(entry, QStringLiteral("binding")), QStringLiteral("'<Super><Shift>v'"));

        // Beside the user's own.
        Gsettings other;
        const QString mine = QStringLiteral(
            "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/");
        other.run(QStringLiteral("gsettings"),
            { QStringLiteral("set"), kSchema, QStringLiteral("custom-keybindings"),
                QStringLiteral("['%1']").arg(mine) });
        other.run(QStringLiteral("sh"), {}, lines);
        other.run(QStringLiteral("sh"), {}, lines);
        QCOMPARE(other.get(kSchema, QStringLiteral("custom-keybindings")),
            QStringLiteral("['%1', '%2']").arg(mine, kNookary));
    }
};

QTEST_MAIN(TestShortcutGuide)
#include "tst_shortcutguide.moc"
