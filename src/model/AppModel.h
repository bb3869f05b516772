// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"
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
#include <functional>
#include <memory>
#include <optional>

namespace nookary {

class ClipboardHistory;
class Clock;
class LaunchAtLogin;
class LoginItemService;
class Pasteboard;
class PreferencesStore;
class RemovalUndo;
class ShelfStorage;

// The one model object of the program: the user's settings, the clipboard history, the
// saved snippets, the search and selection state and the global shortcut. Every view and
// the shell share it; every setting is written to the store at the moment it changes.
// It owns its sections, which do the work: `Settings` (read by the one table of keys and
// defaults; views take it from `settings()`), `ClipboardHistory` (the watcher and the
// list), `Shelf` (the snippets, their editing and storage through `ShelfStorage`, the drop
// arbitration) and `PanelState` (query, filters, selection), and decides here what needs
// more than one of them. Main thread only.
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

    QString query() const;
    void setQuery(const QString &query);
    bool isTrackingPaused() const;
    void setIsTrackingPaused(bool paused);
    // The stored settings, read and changed there; the history follows its limit.
    Settings &settings() { return *m_settings; }
    const Settings &settings() const { return *m_settings; }
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
    const QList<HistoryItem> &history() const;
    const QList<ShelfItem> &shelf() const { return m_shelf->items(); }
    QUuid editingID() const { return m_shelf->editingID(); }
    void setEditingID(const QUuid &id);
    QUuid draggedShelfID() const { return m_draggedShelfID; }
    void setDraggedShelfID(const QUuid &id);
    Column selectedColumn() const { return m_panel->selectedColumn(); }
    void setSelectedColumn(Column column);
    QUuid selectedShelfID() const { return m_panel->selectedShelfID(); }
    void setSelectedShelfID(const QUuid &id);
    QUuid selectedHistoryID() const { return m_panel->selectedHistoryID(); }
    void setSelectedHistoryID(const QUuid &id);

    // The clipboard's change count as the history last saw it.
    qint64 lastChangeCount() const;

    // Empties the history (the panel's "Clear").
    void clearHistory();
    // Takes one entry out of the history; `undoRemoval` can put it back for a while.
    void removeHistoryEntry(const QUuid &id);
    // Removes a history entry or snippet as the keys and the row menu do (it can be undone);
    // when it was the selected row, the row that takes its place among those shown is
    // selected, else the one before it.
    void removeRow(Column column, const QUuid &id);
    // Saves a history entry's text as the last snippet, unless it is saved already. False
    // when the list is full: nothing is saved, and the caller tells why.
    bool saveHistoryEntryToShelf(const QUuid &id);

    // One look at the clipboard: records the change counted last unless it was seen. The
    // history does this as each change is counted; public so that tests can drive it.
    void pollClipboard();
    // Records one entry at the top of the history, moving an equal one instead of adding.
    void pushHistory(QStringView text);

    // A copy made in another program is being read, and lands in the history shortly (the
    // reader's deadline bounds the wait). Until the user moves the selection, the panel's
    // default selection is applied again when it lands.
    bool isCapturePending() const;
    // Runs `task` once no copy is being read: at once when none is, else when it landed
    // (at most `ClipboardHistory::captureWaitLimit` later). `context` going cancels it.
    void whenCaptureSettled(QObject *context, std::function<void()> task);
    // Other programs' copies counted so far; a task that waited for a copy passes it to
    // `missedAwaitedCopy`.
    qint64 copiesCounted() const;
    // Whether the copy awaited since `copiesCounted` was `since` is not in the history (its
    // owner too slow, a secret, an image) while the selection is where it would have
    // landed: acting on the selection would act on another entry than the one awaited.
    bool missedAwaitedCopy(qint64 since) const;

    // Saved snippets. Every change is written at once; ids not in the list change nothing.
    // Adds dropped text in front of `before` (at the end when it names no snippet); a text
    // already saved is not added again, and a full list refuses with `alertBeep` and
    // `shelfFullRefusedDrop`. `partial`: the text is the first part of a longer one.
    void addShelfFromDrop(const QString &text, const QUuid &before = {}, bool partial = false);
    // The snippet holds only the first part of what was dropped (this run; until edited).
    bool snippetWasCutOnDrop(const QUuid &id) const { return m_shelf->wasCutOnDrop(id); }
    // Appends an empty snippet and opens it for editing; silently nothing on a full list.
    void addShelfAndEdit();
    void startEditing(const QUuid &id);
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
    // The snippet at `index` (1 to 9) of the filtered saved list.
    std::optional<ShelfItem> shelfItemForShortcut(int index) const;

    // Drop arbitration between a snippet row and the saved column as a whole.
    void noteShelfRowDrop();
    bool shelfColumnDropAllowed() const;

    // Both lists narrowed by the trimmed query, lower-cased and in canonical form, in list
    // order. Cached until the query or the list changes, since the panel reads them several
    // times a keystroke.
    QList<ShelfItem> filteredShelf() const;
    QList<HistoryItem> filteredHistory() const;
    void selectShelf(const QUuid &id);
    void selectHistory(const QUuid &id);
    // Keeps the selection on a visible row after the lists changed.
    void ensureSelectionValid();
    void selectDefaultOnOpen(bool preferSaved);
    // The shell calls this each time it shows the panel. The snippets are read again first
    // when another Nookary changed them, and another program's copy is read again, so that
    // one its owner changed unannounced is there too (when it lands).
    void applyDefaultOpenTarget();
    void moveSelection(Nav direction);
    std::optional<QString> selectedText() const;
    // The selected text for copying: a history entry moves to the top. The write that
    // follows is known as the program's own by the change it causes.
    std::optional<QString> activateSelectedItemTextForPasteboard();
    // A Return in the panel waits for a copy being read; the panel says so meanwhile.
    bool isCopyBackWaiting() const { return m_copyBackWaiting; }
    void setCopyBackWaiting(bool waiting);

Q_SIGNALS:
    void queryChanged();
    void isTrackingPausedChanged();
    void launchAtLoginChanged();
    void pasteAvailabilityChanged();
    void isRecordingHotkeyChanged();
    void hotkeyTriggerTextChanged();
    void isHotkeyUnavailableChanged();
    void historyChanged();
    void shelfChanged();
    void editingIDChanged();
    void draggedShelfIDChanged();
    void selectedColumnChanged();
    void selectedShelfIDChanged();
    void selectedHistoryIDChanged();
    // The keys moved the selection, or an action wants the selected row seen: the columns
    // scroll it into view.
    void selectionRevealRequested();
    void capturePendingChanged();
    void undoableRemovalChanged();
    void copyBackWaitingChanged();
    // A refused action: the shell sounds the system beep.
    void alertBeep();
    // A drop was refused because the saved list is full: the column says why.
    void shelfFullRefusedDrop();

private:
    void applyDefaultSelection();

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
    // The selection is the default one applied on opening, not moved by the user since.
    bool m_selectionIsDefault = false;
    // Since the default selection, the user only changed column: in the history, its first
    // row stays selected as copies land.
    bool m_onlyColumnChanged = false;
    bool m_copyBackWaiting = false;
};

} // namespace nookary
