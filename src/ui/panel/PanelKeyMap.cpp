// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelKeyMap.h"

#include "model/AppModel.h"
#include "platform/KeyTranslator.h"
#include "ui/panel/ShelfColumn.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>

#include <array>
#include <utility>

namespace nookary {

namespace {

// Main-row digits 1 to 9, in order.
constexpr std::array<quint32, 9> kDigitKeys { 18, 19, 20, 21, 23, 22, 26, 28, 25 };

// Linux names for the stored encoding's modifiers.
constexpr Qt::KeyboardModifier kCommand = Qt::ControlModifier;
constexpr Qt::KeyboardModifier kControl = Qt::MetaModifier;
constexpr Qt::KeyboardModifier kOption = Qt::AltModifier;

// Where the key's place is unknown (offscreen, say), Qt's key tells the same keys.
quint32 virtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Return:
        return PanelKeyMap::returnKey;
    case Qt::Key_Enter:
        return PanelKeyMap::keypadEnterKey;
    case Qt::Key_Escape:
        return PanelKeyMap::escapeKey;
    case Qt::Key_Comma:
        return keypad ? 0xFFFF : PanelKeyMap::commaKey;
    case Qt::Key_Left:
        return PanelKeyMap::leftArrowKey;
    case Qt::Key_Right:
        return PanelKeyMap::rightArrowKey;
    case Qt::Key_Down:
        return PanelKeyMap::downArrowKey;
    case Qt::Key_Up:
        return PanelKeyMap::upArrowKey;
    case Qt::Key_Delete:
        return PanelKeyMap::forwardDeleteKey;
    case Qt::Key_F2:
        return PanelKeyMap::f2Key;
    case Qt::Key_F10:
        return PanelKeyMap::f10Key;
    case Qt::Key_Menu:
        return PanelKeyMap::menuKey;
    default:
        break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9 && !keypad)
        return kDigitKeys[key - Qt::Key_1];
    return 0xFFFF;
}

// Keypad keys that mean Delete or an arrow while Num Lock is off: their meaning counts, not
// their place (the keypad's . and 2, 4, 6, 8).
bool isKeypadNavigation(const QKeyEvent &event)
{
    if (!(event.modifiers() & Qt::KeypadModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

} // namespace

PanelKey PanelKey::fromEvent(const QKeyEvent &event, const KeyTranslator &keys)
{
    PanelKey key;
    key.modifiers = event.modifiers();
    key.autoRepeat = event.isAutoRepeat();
    key.timestamp = event.timestamp();
    const std::optional<quint32> byPlace
        = isKeypadNavigation(event) ? std::nullopt : keys.virtualKey(event.nativeScanCode());
    key.virtualKey = byPlace ? *byPlace : virtualKeyFromQtKey(event.key(), event.modifiers());
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        key.characters = QString(QChar(u'a' + (event.key() - Qt::Key_A)));
    return key;
}

PanelKeyMap::PanelKeyMap(AppModel &model, PanelActions &actions)
    : m_model(model)
    , m_panel(model.panelState())
    , m_snippets(model.savedSnippets())
    , m_clipboardHistory(model.clipboardHistory())
    , m_actions(actions)
{
}

void PanelKeyMap::dropWaitingReturn()
{
    if (!m_waitingReturn)
        return;
    m_waitingReturn.reset();
    m_model.setCopyBackWaiting(false);
}

int PanelKeyMap::snippetNumber(quint32 virtualKey)
{
    for (std::size_t i = 0; i < kDigitKeys.size(); ++i) {
        if (kDigitKeys[i] == virtualKey)
            return int(i) + 1;
    }
    return 0;
}

PanelKeyMap::Decision PanelKeyMap::handle(const PanelKey &key)
{
    // Every press of Delete counts, wherever it goes, so that a held one is known as held.
    const bool newDeletePress = key.virtualKey == forwardDeleteKey
        && m_deletePresses.press(key.timestamp, key.autoRepeat);
    if (m_model.isRecordingHotkey())
        return Decision::pass;

    const Qt::KeyboardModifiers held
        = key.modifiers & (Qt::ShiftModifier | kControl | kOption | kCommand);
    if (key.virtualKey == commaKey && held == kCommand) {
        m_actions.openPreferences();
        return Decision::consume;
    }
    if (!m_actions.isPanelShown() || !key.towardsPanel)
        return Decision::pass;

    const bool editing = !m_snippets.editingID().isNull();
    if (key.virtualKey == escapeKey) {
        if (editing)
            m_snippets.setEditingID({});
        else
            m_actions.closePanel();
        return Decision::consume;
    }
    if ((key.modifiers & kCommand) && key.characters == QLatin1String("f")) {
        m_actions.focusSearch();
        return Decision::consume;
    }
    const int number = snippetNumber(key.virtualKey);
    if (number > 0 && (key.modifiers & kCommand) && !(key.modifiers & (kControl | kOption))) {
        if (const auto item = m_panel.shelfItemForShortcut(number)) {
            m_panel.selectShelf(item->id);
            m_actions.choose(item->text);
        } else {
            m_actions.refuse(
                QCoreApplication::translate("nookary::PanelKeyMap", "There is no snippet %1.")
                    .arg(QLocale().toString(number)));
        }
        return Decision::consume;
    }

    const bool isReturn = key.virtualKey == returnKey || key.virtualKey == keypadEnterKey;
    if (editing) {
        // Shift+Return is the editor's: a line break in a multi-line snippet.
        if (!isReturn || held == Qt::ShiftModifier)
            return Decision::pass;
        m_actions.endEditingOnNextTurn();
        return Decision::consume;
    }
    if (handlePanelKey(key, held))
        return Decision::consume;
    const bool arrow = key.virtualKey == leftArrowKey || key.virtualKey == rightArrowKey
        || key.virtualKey == downArrowKey || key.virtualKey == upArrowKey;
    if (key.focusElsewhere) {
        if (!arrow)
            return Decision::pass;
        m_actions.focusSearch();
    }
    if (handleRowKey(key, held, newDeletePress))
        return Decision::consume;
    // Left and Right go to the column on their side of the screen; a mirrored panel has
    // the history column on the right.
    const bool mirrored = QGuiApplication::isRightToLeft();
    switch (key.virtualKey) {
    case leftArrowKey:
        m_panel.moveSelection(mirrored ? AppModel::Nav::right : AppModel::Nav::left);
        return Decision::consume;
    case rightArrowKey:
        m_panel.moveSelection(mirrored ? AppModel::Nav::left : AppModel::Nav::right);
        return Decision::consume;
    case downArrowKey:
        m_panel.moveSelection(AppModel::Nav::down);
        return Decision::consume;
    case upArrowKey:
        m_panel.moveSelection(AppModel::Nav::up);
        return Decision::consume;
    default:
        break;
    }
    if (isReturn) {
        if (m_clipboardHistory.isCapturePending()) {
            // A copy made just before is still being read: Return acts once it landed, on
            // the selection as it is then (the default one moves to the new entry).
            if (!m_waitingReturn) {
                m_waitingReturn = std::make_unique<QObject>();
                m_model.setCopyBackWaiting(true);
                m_clipboardHistory.whenCaptureSettled(
                    m_waitingReturn.get(), [this, since = m_clipboardHistory.copiesCounted()] {
                        dropWaitingReturn();
                        // Pausing ends the wait, but the copy never lands.
                        if (!m_actions.isPanelShown() || !m_snippets.editingID().isNull()
                            || m_clipboardHistory.isPaused())
                            return;
                        // The entry selected now is not the copy Return was meant for.
                        if (m_model.missedAwaitedCopy(since)) {
                            m_actions.refuse(QCoreApplication::translate("nookary::PanelKeyMap",
                                "The new copy could not be recorded. It stays on the "
                                "clipboard."));
                            return;
                        }
                        activateSelection();
                    });
            }
            return Decision::consume;
        }
        return activateSelection() ? Decision::consume : Decision::pass;
    }
    return Decision::pass;
}

void PanelKeyMap::handleRelease(const PanelKey &key)
{
    if (key.virtualKey == forwardDeleteKey)
        m_deletePresses.release(key.timestamp, key.autoRepeat);
}

bool PanelKeyMap::activateSelection()
{
    const std::optional<QString> text = m_model.activateSelectedItemTextForPasteboard();
    if (!text || text->isEmpty())
        return false;
    m_actions.choose(*text);
    return true;
}

QUuid PanelKeyMap::selectedID() const
{
    if (!m_panel.selectedText())
        return {};
    return m_panel.selectedColumn() == AppModel::Column::history ? m_panel.selectedHistoryID()
                                                                 : m_panel.selectedShelfID();
}

bool PanelKeyMap::handlePanelKey(const PanelKey &key, Qt::KeyboardModifiers held)
{
    if (held == kCommand && key.characters == QLatin1String("n")) {
        if (m_snippets.items().size() >= AppModel::shelfMax) {
            m_actions.refuse(ShelfColumn::fullListReason());
            return true;
        }
        // A new, empty snippet matches no query: its editor would open hidden.
        m_panel.setQuery(QString());
        m_snippets.addAndEdit();
        return true;
    }
    if (held == kCommand && key.characters == QLatin1String("z") && m_model.undoableRemoval()) {
        // A refusal is told by the undo bar, which stays.
        m_model.undoRemoval();
        return true;
    }
    return false;
}

bool PanelKeyMap::handleRowKey(const PanelKey &key, Qt::KeyboardModifiers held, bool newDeletePress)
{
    const QUuid id = selectedID();
    const AppModel::Column column = m_panel.selectedColumn();
    const bool saved = column == AppModel::Column::saved;
    const bool vertical = key.virtualKey == upArrowKey || key.virtualKey == downArrowKey;
    if (vertical && held == kOption && saved && !id.isNull()) {
        // Here the arrows' modifiers count: Alt moves the snippet itself.
        const bool up = key.virtualKey == upArrowKey;
        if (!m_model.moveShelfItemBy(id, up ? -1 : 1))
            m_actions.refuse(
                up ? QCoreApplication::translate("nookary::PanelKeyMap", "Already at the top.")
                   : QCoreApplication::translate("nookary::PanelKeyMap", "Already at the bottom."));
        return true;
    }
    if (key.virtualKey == forwardDeleteKey && !held) {
        // With text in the search field, Delete edits it.
        if (!m_panel.query().isEmpty())
            return false;
        // One press, one removal: a key held a moment too long takes no more rows with it,
        // and a hold that began by emptying the search field takes none.
        if (newDeletePress && !id.isNull())
            m_model.removeRow(column, id);
        return true;
    }
    if (key.virtualKey == f2Key && !held && saved && !id.isNull()) {
        m_snippets.startEditing(id);
        return true;
    }
    if (held == kCommand && key.characters == QLatin1String("s") && !saved && !id.isNull()) {
        if (!m_model.saveHistoryEntryToShelf(id))
            m_actions.refuse(ShelfColumn::fullListReason());
        return true;
    }
    const bool menu = (key.virtualKey == menuKey && !held)
        || (key.virtualKey == f10Key && held == Qt::ShiftModifier);
    if (menu && !id.isNull()) {
        m_actions.openContextMenu();
        return true;
    }
    return false;
}

} // namespace nookary
