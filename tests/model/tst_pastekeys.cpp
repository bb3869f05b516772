// SPDX-License-Identifier: GPL-3.0-or-later
// Paste after choosing, short of a real window system: which keys a window gets, the
// terminals a settings file adds, and how a paste waits for its window and gives up.
#include "FakePasteService.h"
#include "ModelFixture.h"
#include "model/PasteKeys.h"
#include "model/SettingsKeys.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;
using Keys = PasteService::Keys;

namespace {

PasteService::Request requestFor(quint64 window, const bool *ownFocus = nullptr)
{
    PasteService::Request request;
    request.target = RunningApplication { window, 0 };
    request.ownWindowHasFocus = [ownFocus] { return ownFocus && *ownFocus; };
    request.keysFor
        = [](const QStringList &windowClass) { return PasteKeys::forWindowClass(windowClass, {}); };
    return request;
}

} // namespace

class TestPasteKeys : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // In a terminal Ctrl+V makes the shell take the next key literally: each gets the key
    // that pastes the clipboard in its default configuration, or none.
    void eachTerminalGetsItsOwnPasteKey_data()
    {
        QTest::addColumn<QStringList>("windowClass");
        QTest::addColumn<Keys>("keys");
        auto row = [](const char *name, QStringList windowClass, Keys keys) {
            QTest::newRow(name) << windowClass << keys;
        };
        row("xterm", { "xterm", "XTerm" }, Keys::none);
        row("uxterm", { "uxterm", "UXTerm" }, Keys::none);
        row("URxvt", { "urxvt", "URxvt" }, Keys::ctrlAltV);
        row("URxvt started as rxvt", { "rxvt", "URxvt" }, Keys::ctrlAltV);
        row("gnome-terminal", { "gnome-terminal-server", "Gnome-terminal" }, Keys::ctrlShiftV);
        row("kitty", { "kitty", "kitty" }, Keys::ctrlShiftV);
        row("Alacritty", { "Alacritty", "Alacritty" }, Keys::ctrlShiftV);
        row("foot app id", { "foot" }, Keys::ctrlShiftV);
        row("st", { "st-256color", "st-256color" }, Keys::ctrlShiftV);
        row("a text editor", { "gedit", "Gedit" }, Keys::ctrlV);
        row("a browser named like a terminal", { "Navigator", "firefox-xterm" }, Keys::ctrlV);
        row("no class", {}, Keys::ctrlV);
        row("empty names", { "", "" }, Keys::ctrlV);
    }

    void eachTerminalGetsItsOwnPasteKey()
    {
        QFETCH(QStringList, windowClass);
        QFETCH(Keys, keys);
        QCOMPARE(PasteKeys::forWindowClass(windowClass, {}), keys);
    }

    void theSettingsFileAddsTerminals_data()
    {
        QTest::addColumn<QByteArray>("line");
        // As QSettings writes a string, and as a hand-written line reads (a list).
        QTest::newRow("quoted") << QByteArray("\"MyTerm, other-term\"");
        QTest::newRow("a list") << QByteArray("MyTerm, other-term");
        QTest::newRow("spaces") << QByteArray("MyTerm other-term");
    }

    void theSettingsFileAddsTerminals()
    {
        QFETCH(QByteArray, line);
        ModelFixture f;
        f.writeSettingsFile("[General]\nNookary.pasteTerminalClasses.v1=" + line + "\n");
        AppModel &model = f.start();
        QCOMPARE(model.settings().pasteTerminalClasses(),
            (QStringList { QStringLiteral("MyTerm"), QStringLiteral("other-term") }));
        QCOMPARE(PasteKeys::forWindowClass({ "myterm" }, model.settings().pasteTerminalClasses()),
            Keys::ctrlShiftV);
        QCOMPARE(PasteKeys::forWindowClass({ "gedit" }, model.settings().pasteTerminalClasses()),
            Keys::ctrlV);
        // An xterm the user taught a paste key is theirs to name.
        QCOMPARE(PasteKeys::forWindowClass({ "xterm", "XTerm" }, { "XTerm" }), Keys::ctrlShiftV);
        QVERIFY(!model.settings().pasteAfterChoosing()); // off unless chosen
        model.settings().setPasteAfterChoosing(true);
        QVERIFY(f.reread()->boolean(QString::fromLatin1(SettingsKeys::pasteAfterChoosing.current)));
    }

    void aPasteWaitsForItsWindowAndGivesUp()
    {
        ManualClock clock;
        FakePasteService service(clock);
        QSignalSpy finished(&service, &PasteService::finished);
        bool ownFocus = true;

        // Sent once our window has let go and the target is ready, with its class's keys.
        service.targetClass = { "kitty", "kitty" };
        service.paste(requestFor(7, &ownFocus));
        service.targetReady = true;
        clock.advance(200ms);
        QVERIFY(service.typed.isEmpty()); // we still have the keyboard
        ownFocus = false;
        clock.advance(PasteService::checkInterval);
        QCOMPARE(service.typed, QList<Keys> { Keys::ctrlShiftV });
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.last().first().toBool(), true);

        // A terminal without a key that pastes the clipboard: nothing is typed.
        service.typed.clear();
        service.targetClass = { "xterm", "XTerm" };
        service.paste(requestFor(7));
        clock.advance(PasteService::checkInterval);
        QVERIFY(!service.isWaiting());
        QVERIFY(service.typed.isEmpty());
        QCOMPARE(finished.last().first().toBool(), false);

        // A target that never gets ready: nothing is typed, ever.
        service.typed.clear();
        service.targetReady = false;
        service.paste(requestFor(7));
        clock.advance(PasteService::giveUpAfter + 50ms);
        service.targetReady = true;
        clock.advance(1s);
        QVERIFY(service.typed.isEmpty());
        QCOMPARE(finished.last().first().toBool(), false);

        // No target (no window was active, the hand-back cannot happen): nothing waits.
        PasteService::Request nowhere = requestFor(0);
        nowhere.target.reset();
        service.paste(nowhere);
        QVERIFY(!service.isWaiting());
        QCOMPARE(finished.last().first().toBool(), false);

        // The panel opened again before the target was ready: the paste is dropped.
        service.targetReady = false;
        service.paste(requestFor(7));
        clock.advance(100ms);
        service.cancel();
        service.targetReady = true;
        clock.advance(1s);
        QVERIFY(service.typed.isEmpty());
        QCOMPARE(finished.size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestPasteKeys)
#include "tst_pastekeys.moc"
