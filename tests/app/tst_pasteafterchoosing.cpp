// SPDX-License-Identifier: GPL-3.0-or-later
// When the shell asks for a paste after a copy-back: only with the setting on and the panel
// closing, into the window focus goes back to, with the keys of its class; and an opening
// of the panel, or another program's copy, drops a paste still waiting.
#include "FakePasteService.h"
#include "FakeShellServices.h"
#include "ModelFixture.h"
#include "app/FocusHandBack.h"
#include "app/PasteAfterChoosing.h"

#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using namespace std::chrono_literals;
using Keys = PasteService::Keys;

namespace {

const RunningApplication kEditor { 0x1234, 77 };

struct Shell {
    ModelFixture f;
    FakeWorkspace workspace;
    FakePasteService service { f.clock };
    FocusHandBack focus { workspace, f.clock, [](quint64) { return false; },
        [](quint64) { return false; } };
    bool ownFocus = false;
    std::unique_ptr<PasteAfterChoosing> paste;

    explicit Shell(const QByteArray &settings)
    {
        f.writeSettingsFile("[General]\n" + settings);
        f.start();
        paste = std::make_unique<PasteAfterChoosing>(
            *f.model, f.pasteboard, service, focus, [this] { return ownFocus; });
        workspace.frontmost = kEditor;
        focus.noteOpening();
    }

    // The copy-back of an entry, as the shell does it.
    void choose()
    {
        f.pasteboard.writeString(QStringLiteral("chosen"));
        paste->entryCopied();
    }
};

} // namespace

class TestPasteAfterChoosing : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void offByDefaultAndNeverFromThePinnedWindow()
    {
        Shell off({});
        QCOMPARE(off.f.model->pasteAvailability(), PasteService::Availability::available);
        off.choose();
        QVERIFY(off.service.requests.isEmpty());

        Shell pinned("Nookary.pasteAfterChoosing.v1=true\nNookary.keepWindowPinned.v1=true\n");
        pinned.choose();
        QVERIFY(pinned.service.requests.isEmpty());
        // Pinning means nothing to the popover, which closes after a copy.
        pinned.f.model->settings().setOpenPresentation(AppModel::OpenPresentation::menubarPopover);
        pinned.choose();
        QCOMPARE(pinned.service.requests.size(), 1);
    }

    void theWindowFocusGoesBackToGetsItsKeys()
    {
        Shell s("Nookary.pasteAfterChoosing.v1=true\n"
                "Nookary.pasteTerminalClasses.v1=\"myterm\"\n");
        s.choose();
        QCOMPARE(s.service.requests.size(), 1);
        QCOMPARE(s.service.requests.first().target, kEditor);
        s.service.targetClass = { QStringLiteral("myterm"), QStringLiteral("MyTerm") };
        s.service.targetReady = true;
        s.f.clock.advance(PasteService::checkInterval);
        QCOMPARE(s.service.typed, QList<Keys> { Keys::ctrlShiftV });
    }

    void anOpeningDropsAWaitingPaste()
    {
        Shell s("Nookary.pasteAfterChoosing.v1=true\n");
        s.choose();
        QVERIFY(s.service.isWaiting());
        s.focus.noteOpening(); // the panel opens again before focus went back
        QVERIFY(!s.service.isWaiting());
        s.service.targetReady = true;
        s.f.clock.advance(2s);
        QVERIFY(s.service.typed.isEmpty());
    }

    // The keys would paste what the other program copied, not the entry chosen.
    void anotherProgramsCopyDropsAWaitingPaste()
    {
        Shell s("Nookary.pasteAfterChoosing.v1=true\n");
        s.choose();
        s.f.pasteboard.copyText(QStringLiteral("copied elsewhere"));
        s.service.targetReady = true;
        s.f.clock.advance(PasteService::checkInterval);
        QVERIFY(!s.service.isWaiting());
        QVERIFY(s.service.typed.isEmpty());
    }
};

QTEST_MAIN(TestPasteAfterChoosing)
#include "tst_pasteafterchoosing.moc"
