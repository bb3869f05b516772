// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"
#include "model/ClipboardHistory.h"
#include "model/HistoryItem.h"
#include "model/OpenOptions.h"
#include "model/PanelState.h"
#include "model/Settings.h"
#include "model/Shelf.h"
#include "model/ShelfItem.h"
#include "model/SnippetTransfer.h"
#include "platform/PasteService.h"

#include <QList>
#include <QObject>
#include <QUuid>

#include <chrono>
#include <memory>
#include <optional>

namespace nookary {

class Clock;
class LaunchAtLogin;
class LoginItemService;
class Pasteboard;
class PreferencesStore;
class RemovalUndo;
class ShelfStorage;

// The one model object of the program. It owns the parts that do the work, and views and
// the shell read and change each part on it: `settings()` (read by the one table of keys
// and defaults), `clipboardHistory()` (the watcher and the list), `savedSnippets()` (the
// `Shelf`: the snippets, their editing and storage through `ShelfStorage`, the drop
// arbitration) and `panelState()` (query, filters, selection). What needs more than one
// part together is decided here: removals that move the selection and their undo, drops
// and imports that keep the selection on a shown row, the default selection of an opening
// following the copies that land, a copy-back and a Return waiting for a copy being read.
// It also holds this run's own state (the login item, the shortcut's fate, pasting, a
// drag). Main thread only.
class AppModel final : public QObject {
    Q_OBJECT

public:
    // Stored in the settings file by their names; never rename a case.
    using OpenPresentation = OpenOptions::OpenPresentation;
    using DefaultOpenTarget = OpenOptions::DefaultOpenTarget;
    using Column = PanelState::Column;
    using Nav = PanelState::Nav;

    static constexpr int shelfMax = 25;
    // A drop onto a snippet row wins over the drop onto the whole column that follows it.
    static constexpr std::chrono::milliseconds shelfDropArbitrationWindow
        = Shelf::dropArbitrationWindow;

    // Loads every setting (taking over values of earlier versions), loads the saved
    // snippets, starts watching the clipboard and mirrors the login item's state. The
    // services and `clock` (which times the drop arbitration and the longest wait for a copy
    // being read) must outlive the model; without a login-item service, launch at login is
    // never on.
    AppModel(PreferencesStore &store, Pasteboard &pasteboard, Clock &clock,
        LoginItemService *loginItems = nullptr, QObject *parent = nullptr);
    AppModel(PreferencesStore &store, Pasteboard &pasteboard,
        LoginItemService *loginItems = nullptr, QObject *parent = nullptr);
    ~AppModel() override;

    // The stored settings, read and changed there; the history follows its limit.
    Settings &settings() { return *m_settings; }
    const Settings &settings() const { return *m_settings; }
    // The clipboard history: its entries, pausing, and the copies being read. Removals, which
    // can be undone and move the selection, go through the model.
    ClipboardHistory &clipboardHistory() { return *m_history; }
    const ClipboardHistory &clipboardHistory() const { return *m_history; }
    // The saved snippets: the list, the one being edited, the drop arbitration. Removals,
    // drops, moves and the end of an edit, which keep the selection on a shown row, go
    // through the model.
    Shelf &savedSnippets() { return *m_shelf; }
    const Shelf &savedSnippets() const { return *m_shelf; }
    // The search query, the filtered lists and the selection.
    PanelState &panelState() { return *m_panel; }
    const PanelState &panelState() const { return *m_panel; }
    bool launchAtLogin() const;
    // Registers or unregisters the login launcher; a failure turns the switch back on the
    // next turn, silently.
    void setLaunchAtLogin(bool enabled);
    // Whether this session can paste into other windows, as the shell found at start; not
    // stored.
    PasteService::Availability pasteAvailability() const { return m_pasteAvailability; }
    void setPasteAvailability(PasteService::Availability availability);
    bool isRecordingHotkey() const { return m_isRecordingHotkey; }
    void setIsRecordingHotkey(bool recording);
    // The desktop's own words for the bound shortcut, where the desktop chose the trigger
    // (it may bind another than the one asked for); empty where the shortcut is bound as
    // stored. Not stored: the desktop tells it again at each start.
    QString hotkeyTriggerText() const { return m_hotkeyTriggerText; }
    void setHotkeyTriggerText(const QString &text);
    // The shortcut is kept although another program holds it, so nothing is grabbed: shown
    // as in use elsewhere. Not stored: every start tries the shortcut again.
    bool isHotkeyUnavailable() const { return m_isHotkeyUnavailable; }
    void setIsHotkeyUnavailable(bool unavailable);
    QUuid draggedShelfID() const { return m_draggedShelfID; }
    void setDraggedShelfID(const QUuid &id);
    // Takes one entry out of the history; `undoRemoval` can put it back for a while.
    void removeHistoryEntry(const QUuid &id);
    // Removes a history entry or snippet as the keys and the row menu do (it can be undone);
    // when it was the selected row, the row that takes its place among those shown is
    // selected, else the one before it.
    void removeRow(Column column, const QUuid &id);
    // Saves a history entry's text as the last snippet, unless it is saved already. False
    // when the list is full: nothing is saved, and the caller tells why.
    bool saveHistoryEntryToShelf(const QUuid &id);

    // Whether the copy awaited since the history's `copiesCounted` was `since` is not in the
    // history (its owner too slow, a secret, an image) while the selection is where it would have
    // landed: acting on the selection would act on another entry than the one awaited.
    bool missedAwaitedCopy(qint64 since) const;

    // Saved snippets. Every change is written at once; ids not in the list change nothing.
    // Adds dropped text in front of `before` (at the end when it names no snippet); a text
    // already saved is not added again, and a full list refuses with `alertBeep` and
    // `shelfFullRefusedDrop`. `partial`: the text is the first part of a longer one.
    void addShelfFromDrop(const QString &text, const QUuid &before = {}, bool partial = false);
    // Commits an edit; a text that normalises to nothing deletes the snippet.
    void saveEditing(const QUuid &id, const QString &newText);
    void deleteShelf(const QUuid &id);
    // Live reordering while dragging: `draggedID` takes the place of `overID`.
    void moveShelfItem(const QUuid &draggedID, const QUuid &overID);
    // Appends imported texts after the snippets in their order: those already saved are
    // skipped, and the list stops at `shelfMax`; a copy of the list is kept first.
    SnippetTransfer::ImportResult importSavedSnippets(const QStringList &texts);
    // The snippets' texts in list order, as an export holds them (without one still empty).
    QStringList savedSnippetTexts() const;
    // Writes their export to `path`, never over the settings file or its copies: how many
    // were written, or nothing with `error` saying why in one sentence.
    std::optional<qsizetype> exportSavedSnippets(const QString &path, QString *error) const;
    // Moves a snippet one place up (`offset` -1) or down (+1) among the snippets shown, and
    // scrolls it into view. False at either end.
    bool moveShelfItemBy(const QUuid &id, int offset);

    // The column of the last removed snippet or history entry, while `undoRemoval` can still
    // put it back (a few seconds after the last `deleteShelf` or `removeHistoryEntry`).
    std::optional<Column> undoableRemoval() const;
    enum class UndoRefusal {
        savedFull, // the saved list was filled meanwhile
        historyFull, // its place is now past the oldest entry the history keeps
    };
    // Why the last `undoRemoval` could not put the latest removal back, while it is pending.
    std::optional<UndoRefusal> undoRefusal() const;
    // Puts the last removed snippet or entry back where it was and selects it; the one
    // removed before it is next. A text that came back meanwhile counts as put back. Where
    // there is no room, the removal stays pending with `undoRefusal` set, and `alertBeep`.
    // False when nothing went back.
    bool undoRemoval();
    // While held (the keyboard is on an undo button), pending removals do not lapse.
    void setRemovalUndoHeld(bool held);
    // The shell calls this each time it shows the panel. The snippets are read again first
    // when another Nookary changed them, and another program's copy is read again, so that
    // one its owner changed unannounced is there too (when it lands).
    void applyDefaultOpenTarget();
    // The selected text for copying: a history entry moves to the top. The write that
    // follows is known as the program's own by the change it causes.
    std::optional<QString> activateSelectedItemTextForPasteboard();
    // A Return in the panel waits for a copy being read; the panel says so meanwhile.
    bool isCopyBackWaiting() const { return m_copyBackWaiting; }
    void setCopyBackWaiting(bool waiting);

Q_SIGNALS:
    void launchAtLoginChanged();
    void pasteAvailabilityChanged();
    void isRecordingHotkeyChanged();
    void hotkeyTriggerTextChanged();
    void isHotkeyUnavailableChanged();
    void draggedShelfIDChanged();
    void undoableRemovalChanged();
    void copyBackWaitingChanged();
    // A refused action: the shell sounds the system beep.
    void alertBeep();
    // A drop was refused because the saved list is full: the column says why.
    void shelfFullRefusedDrop();

private:
    bool historyFirst() const;

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<ShelfStorage> m_shelfStorage;
    std::unique_ptr<ClipboardHistory> m_history;
    std::unique_ptr<Shelf> m_shelf;
    std::unique_ptr<PanelState> m_panel;
    std::unique_ptr<RemovalUndo> m_removalUndo;

    std::unique_ptr<LoginItemService> m_nullLoginItems; // when none was given
    std::unique_ptr<LaunchAtLogin> m_launchAtLogin;
    bool m_isRecordingHotkey = false;
    QString m_hotkeyTriggerText;
    PasteService::Availability m_pasteAvailability = PasteService::Availability::noWindowSystem;
    bool m_isHotkeyUnavailable = false;
    QUuid m_draggedShelfID;
    bool m_copyBackWaiting = false;
};

} // namespace nookary
