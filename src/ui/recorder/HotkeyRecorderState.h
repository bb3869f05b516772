// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QObject>

#include <array>
#include <functional>

class QKeyEvent;

namespace nookary {

class KeyTranslator;

// Listens to the keyboard for a new global shortcut. While recording it sees every key press
// of the application first, through an application-wide event filter, and consumes it, so
// no other control, menu shortcut, mnemonic or default button takes it: Escape (with or
// without modifiers) cancels, a modifier key alone is ignored, a key with at least one of
// Control, Alt, Super or Shift is captured, anything else beeps. So does a combination that
// would break typing everywhere (Shift with a typing key; a standard editing combination,
// known by the letter the key types in the layout in use). Every beep is also reported as
// `refused`. Main thread only.
class HotkeyRecorderState final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)

public:
    using OnCaptured = std::function<void(HotkeyShortcut)>;

    // Keys that are modifiers by themselves, by place (stored encoding): Super, right Super,
    // Shift, right Shift, Alt, right Alt (AltGr), Control, right Control, Caps Lock, Fn.
    static constexpr std::array<quint32, 10> modifierOnlyKeyCodes { 55, 54, 56, 60, 58, 61, 59, 62,
        57, 63 };
    static constexpr quint32 escapeKeyCode = 53;

    // `keys` names the pressed key by its place; it must outlive the state.
    explicit HotkeyRecorderState(const KeyTranslator &keys, QObject *parent = nullptr);
    ~HotkeyRecorderState() override;

    bool isRecording() const { return m_isRecording; }
    // Does nothing while already recording: the first `onCaptured` stays in force.
    void startRecording(OnCaptured onCaptured);
    // Safe when not recording; announces `isRecordingChanged` in any case.
    void stopRecording();

    // The refusal sound; the system beep unless a test replaces it.
    std::function<void()> beep;

Q_SIGNALS:
    void isRecordingChanged();
    // A press was not taken (it beeped); recording goes on. For a standard editing
    // combination, `editingLetter` is the letter its key types, so that the reason can be
    // shown; for anything else it is null.
    void refused(quint32 modifiers, QChar editingLetter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void handleKeyPress(const QKeyEvent &event);

    const KeyTranslator &m_keys;
    bool m_isRecording = false;
    bool m_filterInstalled = false;
    OnCaptured m_onCaptured;
};

} // namespace nookary
