// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <Qt>

#include <memory>

class QKeyEvent;

namespace nookary {

class AppModel;
class KeyTranslator;

// What the panel's keyboard map needs of the shell that hosts it.
class PanelKeyMapHost {
public:
    virtual ~PanelKeyMapHost() = default;
    virtual bool isPanelShown() const = 0;
    virtual void openPreferences() = 0;
    virtual void closeUI() = 0;
    // Writes to the clipboard, marked as the program's own write; neither closes nor focuses.
    virtual void copyToClipboard(const QString &text) = 0;
    // Ends the snippet editor's focus on the next turn, so that it commits.
    virtual void endEditingOnNextTurn() = 0;
    virtual void beep() = 0;
};

// One key press as the key map sees it: the key by its place on the keyboard (a virtual
// key code of the stored encoding) and the modifiers. On Linux, Ctrl plays the part of
// Command, Super that of Control, and Alt that of Option.
struct PanelKey {
    quint32 virtualKey = 0xFFFF; // no key of the map
    Qt::KeyboardModifiers modifiers;
    // The key's letter without modifiers, lower-cased; only the search shortcut reads it.
    QString characters;
    // Aimed at the panel's window. Keys for another window of the program (a menu, a
    // dialog) only meet the rules that hold whether the panel is shown or not.
    bool towardsPanel = true;

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

    PanelKeyMap(AppModel &model, PanelKeyMapHost &host);

    Decision handle(const PanelKey &key);
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

    // The snippet number of a digit key of the main row (1 to 9), or 0.
    static int snippetNumber(quint32 virtualKey);

private:
    // Copies the selected entry and closes (or keeps a pinned window); false: none.
    bool activateSelection();
    void copyAndFinish(const QString &text);

    AppModel &m_model;
    PanelKeyMapHost &m_host;
    // While a Return waits for a copy being read: dropping it cancels the wait.
    std::unique_ptr<QObject> m_waitingReturn;
};

} // namespace nookary
