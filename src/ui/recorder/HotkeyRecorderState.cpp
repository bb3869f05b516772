// SPDX-License-Identifier: GPL-3.0-or-later
#include "HotkeyRecorderState.h"

#include "platform/KeyTranslator.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>

namespace nookary {

namespace {

// Keys that act as modifiers wherever the layout puts them (AltGr is ISO_Level3_Shift, which
// Qt calls Key_AltGr), besides the modifier keys known by place.
bool isModifierKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace

HotkeyRecorderState::HotkeyRecorderState(const KeyTranslator &keys, QObject *parent)
    : QObject(parent)
    , beep([] { QApplication::beep(); })
    , m_keys(keys)
{
}

HotkeyRecorderState::~HotkeyRecorderState()
{
    // No filter may outlive its state object.
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void HotkeyRecorderState::startRecording(OnCaptured onCaptured)
{
    if (m_filterInstalled)
        return;
    m_isRecording = true;
    Q_EMIT isRecordingChanged();
    // Filters installed last see events first: the recorder comes before the panel's key map.
    QCoreApplication::instance()->installEventFilter(this);
    m_filterInstalled = true;
    m_onCaptured = std::move(onCaptured);
}

void HotkeyRecorderState::stopRecording()
{
    if (m_filterInstalled) {
        QCoreApplication::instance()->removeEventFilter(this);
        m_filterInstalled = false;
    }
    m_onCaptured = nullptr;
    m_isRecording = false;
    Q_EMIT isRecordingChanged();
}

bool HotkeyRecorderState::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_isRecording)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted, Qt delivers the key as a plain press instead of firing a shortcut.
        event->accept();
        return true;
    case QEvent::KeyPress:
        // A press reaches the window first and then its widget: act on it once, at the window.
        if (watched->isWindowType())
            handleKeyPress(static_cast<QKeyEvent &>(*event));
        return true;
    default:
        return false;
    }
}

void HotkeyRecorderState::handleKeyPress(const QKeyEvent &event)
{
    // Where the session tells no key's place (Wayland), Qt's key names it on the US layout.
    const std::optional<quint32> key = m_keys.knowsPlaces()
        ? m_keys.virtualKey(event.nativeScanCode())
        : HotkeyShortcut::keyCodeForQtKey(event.key(), event.modifiers());
    if (key == escapeKeyCode) {
        stopRecording();
        return;
    }
    const bool modifierOnly
        = (key && std::ranges::find(modifierOnlyKeyCodes, *key) != modifierOnlyKeyCodes.end())
        || isModifierKey(event.key());
    if (modifierOnly)
        return;
    const HotkeyShortcut captured { key.value_or(0),
        HotkeyShortcut::carbonModifiers(event.modifiers()) };
    // Programs take their editing combinations by the letter the key types in the layout in
    // use, not by the key's place (Control + C on Dvorak is another key); asked as the grab
    // asks, so that what is taken here is never shown as off afterwards.
    const std::optional<QChar> letter = key ? m_keys.letterTyped(*key) : std::nullopt;
    const bool editing
        = letter && HotkeyShortcut::editingCommand(captured.modifiers, *letter).has_value();
    // A key without a place in the table could not be grabbed or named again.
    if (!key || !captured.isSet() || editing) {
        if (beep)
            beep();
        Q_EMIT refused(captured.modifiers, editing ? *letter : QChar());
        return;
    }
    QPointer<HotkeyRecorderState> self(this);
    // A copy: the call may stop the recording, which drops the stored callback.
    if (const OnCaptured onCaptured = m_onCaptured)
        onCaptured(captured);
    // Applying the capture may show an alert, during which the recorder's owner can go away.
    if (self)
        stopRecording();
}

} // namespace nookary
