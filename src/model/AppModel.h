#pragma once

#include "model/HistoryItem.h"
#include "model/HotkeyShortcut.h"
#include "model/ShelfItem.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace nookary {

class LaunchAtLogin;
class LoginItemService;
class Pasteboard;
class PreferencesStore;

// The one model object of the program: the user's settings, the clipboard history, the
// saved snippets, the search and selection state and the global shortcut. Every view and
// the shell share it; every setting is written to the store at the moment it changes.
// Main thread only.
class AppModel final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(bool isTrackingPaused READ isTrackingPaused WRITE setIsTrackingPaused NOTIFY isTrackingPausedChanged)
    Q_PROPERTY(int historyLimit READ historyLimit WRITE setHistoryLimit NOTIFY historyLimitChanged)
    Q_PROPERTY(OpenPresentation openPresentation READ openPresentation WRITE setOpenPresentation NOTIFY openPresentationChanged)
    Q_PROPERTY(DefaultOpenTarget defaultOpenTarget READ defaultOpenTarget WRITE setDefaultOpenTarget NOTIFY defaultOpenTargetChanged)
    Q_PROPERTY(bool keepWindowPinned READ keepWindowPinned WRITE setKeepWindowPinned NOTIFY keepWindowPinnedChanged)
    Q_PROPERTY(nookary::HotkeyShortcut hotkeyShortcut READ hotkeyShortcut WRITE setHotkeyShortcut NOTIFY hotkeyShortcutChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(int focusSearchTick READ focusSearchTick WRITE setFocusSearchTick NOTIFY focusSearchTickChanged)
    Q_PROPERTY(bool isRecordingHotkey READ isRecordingHotkey WRITE setIsRecordingHotkey NOTIFY isRecordingHotkeyChanged)
    Q_PROPERTY(int onboardingLastStep READ onboardingLastStep NOTIFY onboardingLastStepChanged)
    Q_PROPERTY(int onboardingCompletedVersion READ onboardingCompletedVersion NOTIFY onboardingCompletedVersionChanged)
    Q_PROPERTY(QList<nookary::HistoryItem> history READ history NOTIFY historyChanged)
    Q_PROPERTY(QList<nookary::ShelfItem> shelf READ shelf NOTIFY shelfChanged)
    Q_PROPERTY(QUuid editingID READ editingID WRITE setEditingID NOTIFY editingIDChanged)
    Q_PROPERTY(QUuid draggedShelfID READ draggedShelfID WRITE setDraggedShelfID NOTIFY draggedShelfIDChanged)
    Q_PROPERTY(Column selectedColumn READ selectedColumn WRITE setSelectedColumn NOTIFY selectedColumnChanged)
    Q_PROPERTY(QUuid selectedShelfID READ selectedShelfID WRITE setSelectedShelfID NOTIFY selectedShelfIDChanged)
    Q_PROPERTY(QUuid selectedHistoryID READ selectedHistoryID WRITE setSelectedHistoryID NOTIFY selectedHistoryIDChanged)
    Q_PROPERTY(int selectionScrollTick READ selectionScrollTick NOTIFY selectionScrollTickChanged)

public:
    // Stored in the settings file by their names; never rename a case.
    enum class OpenPresentation { menubarPopover, centeredWindow };
    Q_ENUM(OpenPresentation)
    enum class DefaultOpenTarget { savedFirst, historyFirst };
    Q_ENUM(DefaultOpenTarget)
    enum class Column { saved, history };
    Q_ENUM(Column)
    enum class Nav { up, down, left, right };
    Q_ENUM(Nav)

    using Clock = std::chrono::steady_clock;

    // Milliseconds between a clipboard change and the poll that reads it.
    static constexpr int pollIntervalMs = 700;
    static constexpr int shelfMax = 25;
    // A drop onto a snippet row wins over the drop onto the whole column that follows it.
    static constexpr std::chrono::milliseconds shelfDropArbitrationWindow{120};

    // Loads every setting (taking over values of earlier versions), loads the saved
    // snippets, starts watching the clipboard and mirrors the login item's state. The
    // services must outlive the model; without a login-item service, launch at login is
    // never on.
    AppModel(PreferencesStore &store, Pasteboard &pasteboard,
             LoginItemService *loginItems = nullptr, QObject *parent = nullptr);
    ~AppModel() override;

    QString query() const { return m_query; }
    void setQuery(const QString &query);
    bool isTrackingPaused() const { return m_isTrackingPaused; }
    void setIsTrackingPaused(bool paused);
    int historyLimit() const { return m_historyLimit; }
    // Any value but one of the options becomes the default; the history is trimmed.
    void setHistoryLimit(int limit);
    OpenPresentation openPresentation() const { return m_openPresentation; }
    void setOpenPresentation(OpenPresentation presentation);
    DefaultOpenTarget defaultOpenTarget() const { return m_defaultOpenTarget; }
    void setDefaultOpenTarget(DefaultOpenTarget target);
    bool keepWindowPinned() const { return m_keepWindowPinned; }
    void setKeepWindowPinned(bool pinned);
    HotkeyShortcut hotkeyShortcut() const { return m_hotkeyShortcut; }
    void setHotkeyShortcut(HotkeyShortcut shortcut);
    bool launchAtLogin() const;
    // Registers or unregisters the login launcher; a failure turns the switch back on the
    // next turn, silently.
    void setLaunchAtLogin(bool enabled);
    int focusSearchTick() const { return m_focusSearchTick; }
    void setFocusSearchTick(int tick);
    bool isRecordingHotkey() const { return m_isRecordingHotkey; }
    void setIsRecordingHotkey(bool recording);
    int onboardingLastStep() const { return m_onboardingLastStep; }
    int onboardingCompletedVersion() const { return m_onboardingCompletedVersion; }
    const QList<HistoryItem> &history() const { return m_history; }
    const QList<ShelfItem> &shelf() const { return m_shelf; }
    QUuid editingID() const { return m_editingID; }
    void setEditingID(const QUuid &id);
    QUuid draggedShelfID() const { return m_draggedShelfID; }
    void setDraggedShelfID(const QUuid &id);
    Column selectedColumn() const { return m_selectedColumn; }
    void setSelectedColumn(Column column);
    QUuid selectedShelfID() const { return m_selectedShelfID; }
    void setSelectedShelfID(const QUuid &id);
    QUuid selectedHistoryID() const { return m_selectedHistoryID; }
    void setSelectedHistoryID(const QUuid &id);
    int selectionScrollTick() const { return m_selectionScrollTick; }

    // Onboarding progress.
    void setOnboardingLastStep(int step);
    void completeOnboarding();
    int onboardingStartStepForManualShow() const;

    // Marks the coming clipboard write as the program's own, so the watcher skips it. The
    // shell calls this before every write.
    void markProgrammaticWrite(const QString &text);
    bool ignoreNextPasteboardChange() const { return m_ignoreNextPasteboardChange; }
    std::optional<QString> lastProgrammaticWrite() const { return m_lastProgrammaticWrite; }
    qint64 lastChangeCount() const { return m_lastChangeCount; }

    // Empties the history (the panel's "Clear").
    void clearHistory();

    // One look at the clipboard. The watcher calls it one poll interval after the
    // clipboard's change count moves; public so that tests can drive it.
    void pollClipboard();
    // Records one entry at the top of the history, moving an equal one instead of adding.
    void pushHistory(QStringView text);

    // Saved snippets. Every change is written at once; ids not in the list change nothing.
    // Adds dropped text in front of `before` (at the end when it names no snippet); a text
    // already saved is not added again, and a full list refuses with `alertBeep`.
    void addShelfFromDrop(const QString &text, const QUuid &before = {});
    // Appends an empty snippet and opens it for editing; silently nothing on a full list.
    void addShelfAndEdit();
    void startEditing(const QUuid &id);
    // Commits an edit; a text that normalises to nothing deletes the snippet.
    void saveEditing(const QUuid &id, const QString &newText);
    void deleteShelf(const QUuid &id);
    // Live reordering while dragging: `draggedID` takes the place of `overID`.
    void moveShelfItem(const QUuid &draggedID, const QUuid &overID);
    // The snippet at `index` (1 to 9) of the filtered saved list.
    std::optional<ShelfItem> savedItemForShortcut(int index) const;

    // Drop arbitration between a snippet row and the saved column as a whole.
    void noteShelfRowDrop();
    bool shelfColumnDropAllowed() const;
    void setClock(std::function<Clock::time_point()> clock) { m_clock = std::move(clock); }

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
    // The shell calls this each time it shows the panel.
    void applyDefaultOpenTarget();
    void moveSelection(Nav direction);
    std::optional<QString> selectedText() const;
    // The selected text for copying: a history entry moves to the top, and the coming
    // clipboard write is marked as the program's own.
    std::optional<QString> activateSelectedItemTextForPasteboard();

Q_SIGNALS:
    void queryChanged();
    void isTrackingPausedChanged();
    void historyLimitChanged();
    void openPresentationChanged();
    void defaultOpenTargetChanged();
    void keepWindowPinnedChanged();
    void hotkeyShortcutChanged();
    void launchAtLoginChanged();
    void focusSearchTickChanged();
    void isRecordingHotkeyChanged();
    void onboardingLastStepChanged();
    void onboardingCompletedVersionChanged();
    void historyChanged();
    void shelfChanged();
    void editingIDChanged();
    void draggedShelfIDChanged();
    void selectedColumnChanged();
    void selectedShelfIDChanged();
    void selectedHistoryIDChanged();
    void selectionScrollTickChanged();
    // A refused action: the shell sounds the system beep.
    void alertBeep();

private:
    // The persisted-read family: the current key if present; else the legacy key, whose
    // value is then copied to the current key; else nothing.
    std::optional<qint64> persistedInt(const char *key, const char *legacyKey);
    std::optional<bool> persistedBool(const char *key, const char *legacyKey);
    std::optional<QString> persistedString(const char *key, const char *legacyKey);
    std::optional<QByteArray> persistedData(const char *key, const char *legacyKey);
    std::optional<quint32> persistedUInt32(const char *key, const char *legacyKey);

    void loadSettings();
    void loadHotkeyShortcut();
    void persistHotkeyShortcut();
    void loadShelf();
    // Copies a stored snippet list that is about to be replaced, and says so in the log.
    void keepShelfCopy(const QByteArray &stored, const char *reason);
    void persistShelf();

    void shelfDidChange();
    void historyDidChange();
    void discardEditingIfEmpty();
    qsizetype shelfIndex(const QUuid &id) const;
    QString filterNeedle() const;

    void startClipboardWatcher();
    void armPoll();
    void trimHistoryToLimit();

    PreferencesStore &m_store;
    Pasteboard &m_pasteboard;
    std::unique_ptr<LoginItemService> m_nullLoginItems; // when none was given
    std::unique_ptr<LaunchAtLogin> m_launchAtLogin;

    QString m_query;
    bool m_isTrackingPaused = false;
    int m_historyLimit = 25;
    OpenPresentation m_openPresentation = OpenPresentation::centeredWindow;
    DefaultOpenTarget m_defaultOpenTarget = DefaultOpenTarget::savedFirst;
    bool m_keepWindowPinned = false;
    HotkeyShortcut m_hotkeyShortcut = HotkeyShortcut::defaultShortcut();
    int m_focusSearchTick = 0;
    bool m_isRecordingHotkey = false;
    int m_onboardingLastStep = 0;
    int m_onboardingCompletedVersion = 0;
    QList<HistoryItem> m_history;
    QList<ShelfItem> m_shelf;
    QUuid m_editingID;
    QUuid m_draggedShelfID;
    Column m_selectedColumn = Column::saved;
    QUuid m_selectedShelfID;
    QUuid m_selectedHistoryID;
    int m_selectionScrollTick = 0;

    qint64 m_lastChangeCount = 0;
    bool m_ignoreNextPasteboardChange = false;
    std::optional<QString> m_lastProgrammaticWrite;
    template <typename Item>
    struct FilterCache
    {
        QString needle;
        quint64 revision = ~quint64(0);
        QList<Item> result;
    };
    quint64 m_shelfRevision = 0;
    quint64 m_historyRevision = 0;
    mutable FilterCache<ShelfItem> m_shelfFilter;
    mutable FilterCache<HistoryItem> m_historyFilter;

    // An empty snippet whose edit was abandoned: the next edit or addition throws it away,
    // so that abandoned empty rows do not pile up.
    QUuid m_abandonedEmptyID;

    std::function<Clock::time_point()> m_clock = [] { return Clock::now(); };
    Clock::time_point m_shelfRowDropPriorityUntil{};

    // Single-shot, armed when the clipboard changes: an idle program never wakes.
    QTimer m_pollTimer;
};

} // namespace nookary
