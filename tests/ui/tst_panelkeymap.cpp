// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakePanelActions.h"
#include "ModelFixture.h"
#include "model/ClipboardHistory.h"
#include "platform/KeyTranslator.h"
#include "ui/panel/PanelKeyMap.h"
#include "ui/panel/ShelfColumn.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QtTest>

using namespace nookary;
using namespace nookary::test;
using Decision = PanelKeyMap::Decision;

namespace {

// Keys as Qt delivers them on Linux, without an X11 key code (as offscreen).
PanelKey key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
    return PanelKey::fromEvent(event, NullKeyTranslator());
}

// Two keys by their place, as the X11 table names them: the 2 of the main row and of the
// keypad.
struct TwoKeyTranslator final : KeyTranslator {
    std::optional<quint32> virtualKey(quint32 code) const override
    {
        return code == 11 ? std::optional(19u) : code == 88 ? std::optional(84u) : std::nullopt;
    }
    std::optional<quint32> nativeScanCode(quint32) const override { return std::nullopt; }
};

QStringList numbered(int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("snippet %1").arg(i);
    return out;
}

const QString kMissedCopy
    = QStringLiteral("refused: The new copy could not be recorded. It stays on the clipboard.");

constexpr auto Ctrl = Qt::ControlModifier; // Command
constexpr auto Super = Qt::MetaModifier; // Control
constexpr auto Alt = Qt::AltModifier; // Option

struct Panel {
    ModelFixture f;
    FakePanelActions host;
    std::unique_ptr<PanelKeyMap> map;

    Panel(const QStringList &snippets = {}, const QStringList &copies = {})
    {
        AppModel &m = f.start();
        for (const QString &s : snippets)
            m.addShelfFromDrop(s);
        f.copyAll(copies);
        map = std::make_unique<PanelKeyMap>(m, host);
    }
    AppModel &model() { return *f.model; }
    // A press and its release, a moment after the last.
    Decision press(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        PanelKey k = key(qtKey, modifiers);
        k.timestamp = time += 150;
        const Decision decision = map->handle(k);
        k.timestamp = time += 50;
        map->handleRelease(k);
        return decision;
    }
    // A key held down for `repeats` repeats, as X11 sends them: a release and a press of
    // one time, which Qt marks as a repeat only when `marked`.
    QList<Decision> hold(int qtKey, int repeats, bool marked)
    {
        PanelKey k = key(qtKey);
        k.timestamp = time += 150;
        QList<Decision> out { map->handle(k) };
        for (int i = 0; i < repeats; ++i) {
            k.timestamp = time += 40;
            k.autoRepeat = marked;
            map->handleRelease(k);
            out << map->handle(k);
        }
        k.timestamp = time += 40;
        k.autoRepeat = false;
        map->handleRelease(k);
        return out;
    }

    quint64 time = 1000;
};

} // namespace

class TestPanelKeyMap : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recordingAShortcutPassesEverything()
    {
        Panel p({ QStringLiteral("a") });
        p.model().setIsRecordingHotkey(true);
        QCOMPARE(p.press(Qt::Key_Comma, Ctrl), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Escape), Decision::pass);
        QCOMPARE(p.press(Qt::Key_1, Ctrl), Decision::pass);
        QVERIFY(p.host.calls.isEmpty());
    }

    void ctrlCommaOpensSettingsEvenWithThePanelClosed()
    {
        Panel p;
        p.host.shown = false;
        QCOMPARE(p.press(Qt::Key_Comma, Ctrl), Decision::consume);
        QCOMPARE(p.press(Qt::Key_Comma, Ctrl | Qt::ShiftModifier), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Comma, Ctrl | Super), Decision::pass);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("preferences") });
        // Closed panel: nothing else is the panel's.
        QCOMPARE(p.press(Qt::Key_Escape), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Down), Decision::pass);
    }

    void escapeAbandonsAnEditThenCloses()
    {
        Panel p({ QStringLiteral("a") });
        p.model().savedSnippets().startEditing(p.model().savedSnippets().items().first().id);
        QCOMPARE(p.press(Qt::Key_Escape), Decision::consume);
        QVERIFY(p.model().savedSnippets().editingID().isNull());
        QVERIFY(p.host.calls.isEmpty());
        QCOMPARE(p.press(Qt::Key_Escape), Decision::consume);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("close") });
    }

    void ctrlFFocusesTheSearch()
    {
        Panel p;
        QCOMPARE(p.press(Qt::Key_F, Ctrl | Qt::ShiftModifier), Decision::consume);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("focus search") });
        QCOMPARE(p.press(Qt::Key_F), Decision::pass); // typing an f
        QCOMPARE(p.press(Qt::Key_G, Ctrl), Decision::pass);
    }

    void numberedSnippetsCopyOrAreRefused()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
                    QStringLiteral("four"), QStringLiteral("five") },
            { QStringLiteral("history") });
        QCOMPARE(p.press(Qt::Key_3, Ctrl | Qt::ShiftModifier), Decision::consume);
        QCOMPARE(p.host.chosen, QStringList { QStringLiteral("three") });
        QCOMPARE(
            p.model().panelState().selectedShelfID(), p.model().savedSnippets().items().at(2).id);

        QCOMPARE(p.press(Qt::Key_7, Ctrl), Decision::consume);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("refused: There is no snippet 7.") });

        // With Alt or Super, on the keypad, or the 0 key: not the panel's.
        QCOMPARE(p.press(Qt::Key_3, Ctrl | Alt), Decision::pass);
        QCOMPARE(p.press(Qt::Key_3, Ctrl | Super), Decision::pass);
        QCOMPARE(p.press(Qt::Key_3, Ctrl | Qt::KeypadModifier), Decision::pass);
        QCOMPARE(p.press(Qt::Key_0, Ctrl), Decision::pass);
        QCOMPARE(p.press(Qt::Key_3), Decision::pass);

        // Numbers follow the filter.
        p.model().panelState().setQuery(QStringLiteral("f"));
        p.host.chosen.clear();
        QCOMPARE(p.press(Qt::Key_2, Ctrl), Decision::consume);
        QCOMPARE(p.host.chosen, QStringList { QStringLiteral("five") });
    }

    void returnEndsAnEditWhileShiftReturnAndArrowsStayInTheEditor()
    {
        Panel p({ QStringLiteral("a") }, { QStringLiteral("h") });
        p.model().savedSnippets().startEditing(p.model().savedSnippets().items().first().id);
        QCOMPARE(p.press(Qt::Key_Down), Decision::pass);
        QCOMPARE(p.press(Qt::Key_X), Decision::pass);
        // Shift+Return is the editor's line break.
        QCOMPARE(p.press(Qt::Key_Return, Qt::ShiftModifier), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier), Decision::pass);
        QVERIFY(p.host.calls.isEmpty());
        QCOMPARE(p.press(Qt::Key_Enter, Qt::KeypadModifier), Decision::consume);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("end editing") });
        QCOMPARE(
            p.press(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier), Decision::consume);
        QVERIFY(p.host.chosen.isEmpty());
    }

    void arrowsMoveTheSelectionWhateverTheModifiers()
    {
        Panel p({ QStringLiteral("s1") }, { QStringLiteral("h2"), QStringLiteral("h1") });
        p.model().applyDefaultOpenTarget();
        QSignalSpy reveals(&p.model().panelState(), &PanelState::selectionRevealRequested);
        QCOMPARE(p.press(Qt::Key_Left, Qt::ShiftModifier), Decision::consume);
        QCOMPARE(p.model().panelState().selectedColumn(), AppModel::Column::history);
        QCOMPARE(p.press(Qt::Key_Down, Ctrl), Decision::consume);
        QCOMPARE(p.model().panelState().selectedHistoryID(),
            p.model().clipboardHistory().items().at(1).id);
        QCOMPARE(p.press(Qt::Key_Up), Decision::consume);
        QCOMPARE(p.press(Qt::Key_Right), Decision::consume);
        QCOMPARE(p.model().panelState().selectedColumn(), AppModel::Column::saved);
        QCOMPARE(reveals.size(), 4);
    }

    void returnChoosesTheSelection()
    {
        // Whether the panel then closes is the shell's (a pinned window stays).
        Panel p({}, { QStringLiteral("older"), QStringLiteral("newer") });
        p.model().panelState().selectHistory(p.model().clipboardHistory().items().at(1).id);
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        QCOMPARE(p.host.chosen, QStringList { QStringLiteral("older") });
        QVERIFY(p.host.calls.isEmpty());
        QCOMPARE(p.model().clipboardHistory().items().first().text, QStringLiteral("older"));
        QCOMPARE(p.press(Qt::Key_Enter, Qt::KeypadModifier), Decision::consume);
        QCOMPARE(p.host.chosen.size(), 2);

        // Nothing selected: Return is passed on.
        p.model().panelState().setQuery(QStringLiteral("no such text"));
        p.model().panelState().ensureSelectionValid();
        QCOMPARE(p.press(Qt::Key_Return), Decision::pass);
    }

    void returnWhileACopyIsReadActsOnceItLands()
    {
        // The panel opened right after a copy whose read has not landed yet.
        Panel p({ QStringLiteral("snippet") }, { QStringLiteral("previous") });
        p.model().settings().setDefaultOpenTarget(AppModel::DefaultOpenTarget::historyFirst);
        p.f.pasteboard.holdReads(true);
        p.f.pasteboard.copyText(QStringLiteral("just copied"));
        p.model().applyDefaultOpenTarget();
        // Held a little long, the key repeats: still one copy.
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        QVERIFY(p.host.chosen.isEmpty());
        QVERIFY(p.f.pasteboard.landRead());
        QCOMPARE(p.host.chosen, QStringList { QStringLiteral("just copied") });

        // Closed meanwhile: nothing is copied when it lands.
        p.host.chosen.clear();
        p.f.pasteboard.copyText(QStringLiteral("copied again"));
        p.model().applyDefaultOpenTarget();
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        p.host.shown = false;
        QVERIFY(p.f.pasteboard.landRead());
        QVERIFY(p.host.chosen.isEmpty());

        // An owner that never answers holds Return up for the reader's deadline at most, and
        // Return then puts no other entry in place of the copy it waited for.
        p.host.shown = true;
        p.host.calls.clear();
        p.f.pasteboard.copyText(QStringLiteral("never answered"));
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        p.f.clock.advance(ClipboardHistory::captureWaitLimit);
        QVERIFY(p.host.chosen.isEmpty());
        QCOMPARE(p.host.calls, QStringList { kMissedCopy });
        QVERIFY(p.f.pasteboard.landRead());

        // Nor when the read lands with nothing the history keeps (too slow an owner's empty
        // answer, a secret).
        p.host.calls.clear();
        p.f.pasteboard.copy({});
        p.model().applyDefaultOpenTarget();
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        QVERIFY(p.f.pasteboard.landRead());
        QVERIFY(p.host.chosen.isEmpty());
        QCOMPARE(p.host.calls, QStringList { kMissedCopy });

        // A look again at an unchanged copy is no missed copy: Return acts on what it shows.
        p.host.calls.clear();
        p.f.pasteboard.copyText(QStringLiteral("looked at again"));
        QVERIFY(p.f.pasteboard.landRead());
        p.model().applyDefaultOpenTarget();
        QVERIFY(p.model().clipboardHistory().isCapturePending());
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        QVERIFY(p.f.pasteboard.landRead());
        QCOMPARE(p.host.chosen, QStringList { QStringLiteral("looked at again") });
    }

    void aWaitingReturnFollowsTheUserAndNothingElse()
    {
        // "Saved first" and one snippet: Left is the only way to the new copy's column.
        Panel p({ QStringLiteral("snippet") }, { QStringLiteral("previous") });
        p.f.pasteboard.holdReads(true);
        p.f.pasteboard.copyText(QStringLiteral("slow copy"));
        p.model().applyDefaultOpenTarget();
        QCOMPARE(p.press(Qt::Key_Left), Decision::consume);
        QCOMPARE(p.model().panelState().selectedText(), QStringLiteral("previous"));
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        // The panel tells why nothing happens yet.
        QVERIFY(p.model().isCopyBackWaiting());
        QVERIFY(p.f.pasteboard.landRead());
        QCOMPARE(p.host.chosen, QStringList { QStringLiteral("slow copy") });
        QVERIFY(!p.model().isCopyBackWaiting());

        // The tray menu took the keyboard, or the panel closed and opened again: dropped.
        p.f.pasteboard.copyText(QStringLiteral("second"));
        p.model().applyDefaultOpenTarget();
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        p.map->dropWaitingReturn();
        QVERIFY(!p.model().isCopyBackWaiting());
        QVERIFY(p.f.pasteboard.landRead());
        QCOMPARE(p.host.chosen.size(), 1);

        // Pausing ends the wait, but the copy never lands: nothing is copied.
        p.f.pasteboard.copyText(QStringLiteral("third"));
        p.model().applyDefaultOpenTarget();
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        p.model().clipboardHistory().setPaused(true);
        QVERIFY(!p.model().isCopyBackWaiting());
        QCOMPARE(p.host.chosen.size(), 1);

        // A move within a column is the user's own choice: the landing copy leaves it.
        p.model().clipboardHistory().setPaused(false);
        QVERIFY(p.f.pasteboard.landRead());
        p.f.pasteboard.copyText(QStringLiteral("fourth"));
        p.model().applyDefaultOpenTarget();
        QCOMPARE(p.press(Qt::Key_Left), Decision::consume);
        QCOMPARE(p.press(Qt::Key_Down), Decision::consume);
        const QString chosen = *p.model().panelState().selectedText();
        QCOMPARE(p.press(Qt::Key_Return), Decision::consume);
        QVERIFY(p.f.pasteboard.landRead());
        QCOMPARE(p.host.chosen.size(), 2);
        QCOMPARE(p.host.chosen.last(), chosen);
    }

    void keysForOurOwnMenusAreTheirs()
    {
        // A menu of the program (the search field's, the tray's) is open over the panel.
        Panel p({ QStringLiteral("a") }, { QStringLiteral("h2"), QStringLiteral("h1") });
        p.model().applyDefaultOpenTarget();
        auto toMenu = [&p](int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            PanelKey k = key(qtKey, modifiers);
            k.towardsPanel = false;
            return p.map->handle(k);
        };
        const QUuid selected = p.model().panelState().selectedShelfID();
        for (const int k :
            { int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Down), int(Qt::Key_Left) })
            QCOMPARE(toMenu(k), Decision::pass);
        QCOMPARE(toMenu(Qt::Key_1, Ctrl), Decision::pass);
        QVERIFY(p.host.calls.isEmpty());
        QVERIFY(p.host.chosen.isEmpty());
        QCOMPARE(p.model().panelState().selectedShelfID(), selected);
        // The settings shortcut holds wherever the key goes.
        QCOMPARE(toMenu(Qt::Key_Comma, Ctrl), Decision::consume);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("preferences") });
    }

    void deleteRemovesTheSelectionOnlyWithAnEmptySearch()
    {
        Panel p({ QStringLiteral("s1"), QStringLiteral("s2"), QStringLiteral("s3") },
            { QStringLiteral("h") });
        AppModel &m = p.model();
        m.panelState().selectShelf(m.savedSnippets().items().at(1).id);
        QCOMPARE(p.press(Qt::Key_Backspace), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Delete, Qt::ShiftModifier), Decision::pass); // cut, in a field
        QCOMPARE(m.savedSnippets().items().size(), 3);
        QCOMPARE(p.press(Qt::Key_Delete), Decision::consume);
        // The row that took its place is selected, not the first.
        QCOMPARE(texts(m.savedSnippets().items()),
            (QStringList { QStringLiteral("s1"), QStringLiteral("s3") }));
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().at(1).id);
        QCOMPARE(p.press(Qt::Key_Delete), Decision::consume); // the last: the one before
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().first().id);
        QCOMPARE(m.undoableRemoval(), AppModel::Column::saved);

        // With text in the search field, Delete edits the text.
        m.panelState().setQuery(QStringLiteral("h"));
        m.panelState().selectHistory(m.clipboardHistory().items().first().id);
        QCOMPARE(p.press(Qt::Key_Delete), Decision::pass);
        m.panelState().setQuery(QString());
        QCOMPARE(p.press(Qt::Key_Delete, Qt::KeypadModifier), Decision::consume); // Num Lock off
        QVERIFY(m.clipboardHistory().items().isEmpty());

        // Ctrl+Z takes the removals back, the last first; then it is the field's again.
        QCOMPARE(p.press(Qt::Key_Z, Ctrl), Decision::consume);
        QCOMPARE(m.clipboardHistory().items().size(), 1);
        QCOMPARE(p.press(Qt::Key_Z, Ctrl), Decision::consume);
        QCOMPARE(p.press(Qt::Key_Z, Ctrl), Decision::consume);
        QCOMPARE(m.savedSnippets().items().size(), 3);
        QCOMPARE(p.press(Qt::Key_Z, Ctrl), Decision::pass);
    }

    void aHeldDeleteRemovesOneRow()
    {
        // However X11 repeats a held key and whether Qt recognised the repeats.
        for (const bool marked : { true, false }) {
            Panel p(numbered(5), { QStringLiteral("h") });
            AppModel &m = p.model();
            m.panelState().selectShelf(m.savedSnippets().items().first().id);
            const QList<Decision> held = p.hold(Qt::Key_Delete, 30, marked);
            QCOMPARE(held.count(Decision::consume), held.size()); // none reaches the field
            QCOMPARE(m.savedSnippets().items().size(), 4);
            QCOMPARE(m.clipboardHistory().items().size(), 1);
            QCOMPARE(p.press(Qt::Key_Delete), Decision::consume); // let go: the next press acts
            QCOMPARE(m.savedSnippets().items().size(), 3);
        }

        // A hold that begins by emptying the search field removes nothing.
        Panel p(numbered(3));
        p.model().panelState().setQuery(QStringLiteral("snip"));
        p.model().panelState().selectShelf(p.model().savedSnippets().items().first().id);
        PanelKey k = key(Qt::Key_Delete);
        k.timestamp = 5000;
        QCOMPARE(p.map->handle(k), Decision::pass);
        p.model().panelState().setQuery(QString());
        for (int i = 1; i <= 20; ++i) {
            k.timestamp += 40;
            p.map->handleRelease(k);
            p.map->handle(k);
        }
        QCOMPARE(p.model().savedSnippets().items().size(), 3);
        // A release that went elsewhere (the panel closed meanwhile) does not stop the next press.
        k.timestamp += KeyPressFilter::longestRepeatGap + 1;
        QCOMPARE(p.map->handle(k), Decision::consume);
        QCOMPARE(p.model().savedSnippets().items().size(), 2);
    }

    void keysForTheSelectedRow()
    {
        Panel p({ QStringLiteral("s1"), QStringLiteral("s2") }, { QStringLiteral("h") });
        AppModel &m = p.model();
        m.panelState().selectHistory(m.clipboardHistory().items().first().id);
        QCOMPARE(p.press(Qt::Key_F2), Decision::pass); // an entry has no editor
        QCOMPARE(p.press(Qt::Key_S, Ctrl), Decision::consume);
        QCOMPARE(m.savedSnippets().items().last().text, QStringLiteral("h"));
        QCOMPARE(m.panelState().selectedColumn(), AppModel::Column::history);

        m.panelState().selectShelf(m.savedSnippets().items().first().id);
        QCOMPARE(p.press(Qt::Key_S, Ctrl), Decision::pass);
        QCOMPARE(p.press(Qt::Key_F2), Decision::consume);
        QCOMPARE(m.savedSnippets().editingID(), m.savedSnippets().items().first().id);
        // While editing, the keys are the editor's.
        for (const int k : { int(Qt::Key_Delete), int(Qt::Key_F2), int(Qt::Key_Menu) })
            QCOMPARE(p.press(k), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Up, Alt), Decision::pass);
        QCOMPARE(p.press(Qt::Key_N, Ctrl), Decision::pass);
        m.savedSnippets().setEditingID({});

        QCOMPARE(p.press(Qt::Key_Menu), Decision::consume);
        QCOMPARE(p.press(Qt::Key_F10, Qt::ShiftModifier), Decision::consume);
        QCOMPARE(p.press(Qt::Key_F10), Decision::pass);
        QCOMPARE(p.host.calls, (QStringList { QStringLiteral("menu"), QStringLiteral("menu") }));
    }

    void altArrowsMoveTheSelectedSnippet()
    {
        Panel p({ QStringLiteral("one"), QStringLiteral("two") }, { QStringLiteral("h") });
        AppModel &m = p.model();
        const QUuid two = m.savedSnippets().items().at(1).id;
        m.panelState().selectShelf(two);
        QCOMPARE(p.press(Qt::Key_Up, Alt), Decision::consume);
        QCOMPARE(m.savedSnippets().items().first().id, two);
        QCOMPARE(m.panelState().selectedShelfID(), two);
        QCOMPARE(p.press(Qt::Key_Up, Alt), Decision::consume);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("refused: Already at the top.") });
        QCOMPARE(p.press(Qt::Key_Down, Alt | Qt::ShiftModifier), Decision::consume); // plain move
        QCOMPARE(m.savedSnippets().items().first().id, two);
        // In the history, Alt changes nothing: the arrows move the selection.
        m.panelState().selectHistory(m.clipboardHistory().items().first().id);
        QCOMPARE(p.press(Qt::Key_Right, Alt), Decision::consume);
        QCOMPARE(m.panelState().selectedColumn(), AppModel::Column::saved);
    }

    void ctrlNAddsASnippetEvenWhileSearching()
    {
        Panel p({ QStringLiteral("kept") });
        AppModel &m = p.model();
        m.panelState().setQuery(QStringLiteral("zzz"));
        QCOMPARE(p.press(Qt::Key_N, Ctrl), Decision::consume);
        // A new snippet is empty: a query would hide its editor.
        QVERIFY(m.panelState().query().isEmpty());
        QCOMPARE(m.savedSnippets().items().size(), 2);
        QCOMPARE(m.savedSnippets().editingID(), m.savedSnippets().items().last().id);

        Panel full(numbered(AppModel::shelfMax));
        QCOMPARE(full.press(Qt::Key_N, Ctrl), Decision::consume);
        QCOMPARE(full.host.calls,
            QStringList { QStringLiteral("refused: ") + ShelfColumn::fullListReason() });
        QVERIFY(full.model().savedSnippets().editingID().isNull());
    }

    void rowKeysActOnlyFromTheSearchField()
    {
        // Readers hear the selected row as the focus only while the search field has it.
        Panel p({ QStringLiteral("s1"), QStringLiteral("s2") }, { QStringLiteral("h") });
        AppModel &m = p.model();
        m.panelState().selectShelf(m.savedSnippets().items().first().id);
        auto onButton = [&p](int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            PanelKey k = key(qtKey, modifiers);
            k.timestamp = p.time += 150;
            k.focusElsewhere = true;
            return p.map->handle(k);
        };
        for (const int k : { int(Qt::Key_Return), int(Qt::Key_Delete), int(Qt::Key_F2),
                 int(Qt::Key_Menu), int(Qt::Key_Space) })
            QCOMPARE(onButton(k), Decision::pass);
        QCOMPARE(onButton(Qt::Key_Up, Alt), Decision::consume); // back to the field first
        QCOMPARE(m.savedSnippets().items().size(), 2);
        QVERIFY(p.host.chosen.isEmpty() && m.savedSnippets().editingID().isNull());
        QVERIFY(!p.host.calls.contains(QStringLiteral("menu")));

        // The arrows take the focus back to the field, then move.
        p.host.calls.clear();
        QCOMPARE(onButton(Qt::Key_Down), Decision::consume);
        QCOMPARE(p.host.calls, QStringList { QStringLiteral("focus search") });
        QCOMPARE(m.panelState().selectedShelfID(), m.savedSnippets().items().at(1).id);
        // The panel's own keys hold from anywhere in it.
        QCOMPARE(onButton(Qt::Key_N, Ctrl), Decision::consume);
        QCOMPARE(m.savedSnippets().items().size(), 3);
    }

    void otherKeysPass()
    {
        Panel p({ QStringLiteral("a") });
        QCOMPARE(p.press(Qt::Key_A), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Tab), Decision::pass);
        QCOMPARE(p.press(Qt::Key_Space, Ctrl | Alt), Decision::pass);
        QVERIFY(p.host.calls.isEmpty());
    }

    void placeDecidesOverQtKeys()
    {
        // Where the platform knows the key's place, it decides: key code 11 is the 2 of the main
        // row even when the layout gives another character there (an AZERTY é, say).
        const QKeyEvent event(QEvent::KeyPress, Qt::Key_Eacute, Ctrl, 11, 0, 0);
        QCOMPARE(PanelKey::fromEvent(event, TwoKeyTranslator()).virtualKey, 19u);
        const QKeyEvent keypad(QEvent::KeyPress, Qt::Key_2, Ctrl | Qt::KeypadModifier, 88, 0, 0);
        QCOMPARE(
            PanelKeyMap::snippetNumber(PanelKey::fromEvent(keypad, TwoKeyTranslator()).virtualKey),
            0);
    }
};

QTEST_MAIN(TestPanelKeyMap)
#include "tst_panelkeymap.moc"
