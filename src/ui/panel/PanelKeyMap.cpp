// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelKeyMap.h"

#include "model/AppModel.h"
#include "platform/KeyTranslator.h"

#include <QKeyEvent>

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
    default:
        break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9 && !keypad)
        return kDigitKeys[key - Qt::Key_1];
    return 0xFFFF;
}

} // namespace

PanelKey PanelKey::fromEvent(const QKeyEvent &event, const KeyTranslator &keys)
{
    PanelKey key;
    key.modifiers = event.modifiers();
    const auto byPlace = keys.virtualKey(event.nativeScanCode());
    key.virtualKey = byPlace ? *byPlace : virtualKeyFromQtKey(event.key(), event.modifiers());
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        key.characters = QString(QChar(u'a' + (event.key() - Qt::Key_A)));
    return key;
}

PanelKeyMap::PanelKeyMap(AppModel &model, PanelKeyMapHost &host)
    : m_model(model)
    , m_host(host)
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
    if (m_model.isRecordingHotkey())
        return Decision::pass;

    const Qt::KeyboardModifiers held
        = key.modifiers & (Qt::ShiftModifier | kControl | kOption | kCommand);
    if (key.virtualKey == commaKey && held == kCommand) {
        m_host.openPreferences();
        return Decision::consume;
    }
    if (!m_host.isPanelShown() || !key.towardsPanel)
        return Decision::pass;

    const bool editing = !m_model.editingID().isNull();
    if (key.virtualKey == escapeKey) {
        if (editing)
            m_model.setEditingID({});
        else
            m_host.closeUI();
        return Decision::consume;
    }
    if ((key.modifiers & kCommand) && key.characters == QLatin1String("f")) {
        m_model.setFocusSearchTick(m_model.focusSearchTick() + 1);
        return Decision::consume;
    }
    const int number = snippetNumber(key.virtualKey);
    if (number > 0 && (key.modifiers & kCommand) && !(key.modifiers & (kControl | kOption))) {
        if (const auto item = m_model.savedItemForShortcut(number)) {
            m_model.selectShelf(item->id);
            copyAndFinish(item->text);
        } else {
            m_host.beep();
        }
        return Decision::consume;
    }

    const bool isReturn = key.virtualKey == returnKey || key.virtualKey == keypadEnterKey;
    if (editing) {
        if (!isReturn)
            return Decision::pass;
        m_host.endEditingOnNextTurn();
        return Decision::consume;
    }
    switch (key.virtualKey) {
    case leftArrowKey:
        m_model.moveSelection(AppModel::Nav::left);
        return Decision::consume;
    case rightArrowKey:
        m_model.moveSelection(AppModel::Nav::right);
        return Decision::consume;
    case downArrowKey:
        m_model.moveSelection(AppModel::Nav::down);
        return Decision::consume;
    case upArrowKey:
        m_model.moveSelection(AppModel::Nav::up);
        return Decision::consume;
    default:
        break;
    }
    if (isReturn) {
        if (m_model.isCapturePending()) {
            // A copy made just before is still being read: Return acts once it landed, on
            // the selection as it is then (the default one moves to the new entry).
            if (!m_waitingReturn) {
                m_waitingReturn = std::make_unique<QObject>();
                m_model.setCopyBackWaiting(true);
                m_model.whenCaptureSettled(m_waitingReturn.get(), [this] {
                    dropWaitingReturn();
                    // Pausing ends the wait, but the copy never lands.
                    if (m_host.isPanelShown() && m_model.editingID().isNull()
                        && !m_model.isTrackingPaused())
                        activateSelection();
                });
            }
            return Decision::consume;
        }
        return activateSelection() ? Decision::consume : Decision::pass;
    }
    return Decision::pass;
}

bool PanelKeyMap::activateSelection()
{
    const std::optional<QString> text = m_model.activateSelectedItemTextForPasteboard();
    if (!text || text->isEmpty())
        return false;
    copyAndFinish(*text);
    return true;
}

void PanelKeyMap::copyAndFinish(const QString &text)
{
    m_host.copyToClipboard(text);
    if (m_model.openPresentation() == AppModel::OpenPresentation::centeredWindow
        && m_model.keepWindowPinned())
        m_model.setFocusSearchTick(m_model.focusSearchTick() + 1);
    else
        m_host.closeUI();
}

} // namespace nookary
