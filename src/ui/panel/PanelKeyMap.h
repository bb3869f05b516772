// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/KeyPressFilter.h"
#include "ui/panel/PanelActions.h"

#include <QObject>
#include <QString>
#include <QUuid>
#include <Qt>

#include <memory>

class QKeyEvent;

namespace nookary {

class AppModel;
class PanelState;
class Shelf;
class ClipboardHistory;
class KeyTranslator;

// One key press as the key map sees it: the key by its place on the keyboard (a virtual
// key code of the stored encoding) and the modifiers. On Linux, Ctrl plays the part of
// Command, Super that of Control, and Alt that of Option.
struct PanelKey {
    quint32 virtualKey = 0xFFFF; // no key of the map
    Qt::KeyboardModifiers modifiers;
    // The key's letter without modifiers, lower-cased; the letter shortcuts read it.
    QString characters;
    // Sent again by a key held down, as far as Qt could tell.
    bool autoRepeat = false;
    // The event's time, in milliseconds: a held key's repeats share it with a release.
    quint64 timestamp = 0;
    // Aimed at the panel's window. Keys for another window of the program (a menu, a
    // dialog) only meet the rules that hold whether the panel is shown or not.
    bool towardsPanel = true;
    // Another control of the panel than the search field has keyboard focus (a button
    // reached by Tab). The keys act on the selected row only from the search field (readers
    // are told that row stands for its focus): from elsewhere the arrows first take the
    // focus back to it, and the other row keys are the control's.
    bool focusElsewhere = false;

    // From a Qt key event: by the key's place when the platform can tell it from the
    // native scan code, else by Qt's key.
    static PanelKey fromEvent(const QKeyEvent &event, const KeyTranslator &keys);
};

// The panel's keyboard map, seen before the focused control: it decides whether a key
// press is the panel's (consume) or the focused control's (pass), and carries out the
// panel's part. Rules are tried in order; the first that applies wins.
class PanelKeyMap final {
public:
    enum class Decision { pass, consume };

    PanelKeyMap(AppModel &model, PanelActions &actions);

    Decision handle(const PanelKey &key);
    // A key going up: it tells a new press of Delete from a held one.
    void handleRelease(const PanelKey &key);
    // A Return waiting for a copy being read is dropped: the panel closed or lost the
    // keyboard (to the tray menu, say). It is dropped as well when tracking pauses.
    void dropWaitingReturn();

    // Virtual key codes the map recognises.
    static constexpr quint32 returnKey = 36;
    static constexpr quint32 keypadEnterKey = 76;
    static constexpr quint32 escapeKey = 53;
    static constexpr quint32 commaKey = 43;
    static constexpr quint32 leftArrowKey = 123;
    static constexpr quint32 rightArrowKey = 124;
    static constexpr quint32 downArrowKey = 125;
    static constexpr quint32 upArrowKey = 126;
    static constexpr quint32 forwardDeleteKey = 117;
    static constexpr quint32 f2Key = 120;
    static constexpr quint32 f10Key = 109;
    static constexpr quint32 menuKey = 110; // the context-menu key of PC keyboards

    // The snippet number of a digit key of the main row (1 to 9), or 0.
    static int snippetNumber(quint32 virtualKey);

private:
    // Chooses the selected entry; false: none.
    bool activateSelection();
    // The keys that act on the selected row; a first press that finds none passes.
    bool handleRowKey(const PanelKey &key, Qt::KeyboardModifiers held, bool newDeletePress);
    // The keys of the panel as a whole, not of the selected row (Ctrl+N, Ctrl+Z).
    bool handlePanelKey(const PanelKey &key, Qt::KeyboardModifiers held);
    QUuid selectedID() const;

    AppModel &m_model;
    PanelState &m_panel;
    Shelf &m_snippets;
    ClipboardHistory &m_clipboardHistory;
    PanelActions &m_actions;
    KeyPressFilter m_deletePresses;
    // While a Return waits for a copy being read: dropping it cancels the wait.
    std::unique_ptr<QObject> m_waitingReturn;
};

} // namespace nookary
