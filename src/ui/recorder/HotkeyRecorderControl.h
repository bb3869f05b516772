// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace nookary {

class AppModel;
class KeyTranslator;
class HotkeyRecorderState;
class ShortcutBadge;
class ShortcutField;

// The one control through which the user chooses the global shortcut: it shows the model's
// shortcut and, on request, records a new one into it. Persisting and grabbing the shortcut
// happen behind the model. Its recording state is mirrored into the model's
// `isRecordingHotkey` from the time it is first shown, and a control that leaves the screen
// stops recording and lowers that flag.
class HotkeyRecorderControl final : public QWidget {
    Q_OBJECT

public:
    // `settings`: a compact field with a pull-down of commands (the preferences window).
    // `onboarding`: a large key cap with one big button (the walkthrough).
    enum class Style { settings, onboarding };
    Q_ENUM(Style)

    HotkeyRecorderControl(AppModel &model, const KeyTranslator &keys, Style style,
        bool onboardingTreatAsUnset = false, QWidget *parent = nullptr);
    ~HotkeyRecorderControl() override;

    Style style() const { return m_style; }
    HotkeyRecorderState &recorder() const { return *m_recorder; }
    bool isRecording() const;

    // The texts shown, as pure functions of what they depend on.
    // A set shortcut's text ("Control + Alt + Space").
    static QString shortcutText(HotkeyShortcut shortcut);
    static QString settingsFieldText(HotkeyShortcut shortcut, bool recording);
    static QString onboardingBadgeText(HotkeyShortcut shortcut, Style style, bool treatAsUnset);
    static QString onboardingButtonTitle(
        HotkeyShortcut shortcut, Style style, bool treatAsUnset, bool recording);
    QString settingsFieldText() const;
    QString onboardingBadgeText() const;
    QString onboardingButtonTitle() const;
    // Why a standard editing combination is not taken ("Apps use Control + C to copy."),
    // named by the letter its key types; empty for any other.
    static QString refusalReason(quint32 modifiers, QChar letter);
    // The line under the field: while recording, why the last combination was refused;
    // otherwise, for a shortcut shown that another program holds, that it is in use.
    QString noteText() const;

    // The user's commands.
    void toggle();
    void start();
    void newShortcut();
    void resetToDefault();
    void disableShortcut();

    // The parts, for tests and hosts; null where the style has no such part.
    ShortcutField *field() const { return m_field; }
    QToolButton *pullDown() const { return m_pullDown; }
    QAction *newShortcutAction() const { return m_newShortcut; }
    QAction *resetAction() const { return m_reset; }
    QAction *disableAction() const { return m_disable; }
    ShortcutBadge *badge() const { return m_badge; }
    QPushButton *button() const { return m_button; }
    QLabel *hint() const { return m_hint; }
    QLabel *note() const { return m_note; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildSettings();
    void buildOnboarding();
    void buildNote(QVBoxLayout &stack, Qt::Alignment alignment);
    void sync();
    void writeBinding(HotkeyShortcut shortcut);
    HotkeyShortcut binding() const;
    // The binding as shown: off where it is no shortcut in the layout in use.
    HotkeyShortcut shownBinding() const;

    QPointer<AppModel> m_model;
    const KeyTranslator &m_keys;
    const Style m_style;
    const bool m_onboardingTreatAsUnset;
    HotkeyRecorderState *m_recorder;
    bool m_wasShown = false;

    ShortcutField *m_field = nullptr;
    QToolButton *m_pullDown = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_newShortcut = nullptr;
    QAction *m_reset = nullptr;
    QAction *m_disable = nullptr;
    ShortcutBadge *m_badge = nullptr;
    QPushButton *m_button = nullptr;
    QLabel *m_hint = nullptr;
    QLabel *m_note = nullptr;
    QString m_refusal;
};

// The settings style's field: the shortcut's text on a rounded key-cap-like face; a click
// toggles recording.
class ShortcutField final : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutField(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    // `set`: a shortcut is shown (the primary text colour rather than the secondary).
    void setState(const QString &text, bool recording, bool set);
    bool isRecording() const { return m_recording; }
    QColor textColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_text;
    bool m_recording = false;
    bool m_set = false;
};

} // namespace nookary
