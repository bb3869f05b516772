// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <QObject>

namespace nookary {

// One system-wide keyboard shortcut. Registering replaces nothing: the caller unregisters
// the previous one first. A refusal (another program holds the combination, or the key has
// no place on this keyboard) is known at once, when `registerHotkey` returns false, or,
// where the desktop answers later (`answersLater`), through `registrationRefused` or
// `registrationBound`, which come at most once per registration and never after
// `unregisterHotkey`. `pressed` is emitted on the main thread, once per press, never for
// auto-repeat.
class GlobalHotkeyService : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~GlobalHotkeyService() override = default;

    // False where the session offers no global shortcuts at all (a pure Wayland session):
    // every registration is then refused.
    virtual bool canRegister() const = 0;
    // False: refused now. True: registered, or, where `answersLater`, asked for.
    virtual bool registerHotkey(HotkeyShortcut shortcut) = 0;
    virtual void unregisterHotkey() = 0;
    // True where the desktop answers a registration later (it may ask the user first).
    virtual bool answersLater() const { return false; }

Q_SIGNALS:
    void pressed();
    // The answer to the last registration, where the desktop answers later. The desktop may
    // bind another trigger than the one asked for: `trigger` is its own description of the
    // bound one, empty when it gave none.
    void registrationRefused();
    void registrationBound(const QString &trigger);
    // The user gave the bound shortcut another trigger in the desktop's own settings.
    void triggerChanged(const QString &trigger);
    // The keyboard's map or the layout in use changed (after the shortcut was grabbed
    // again): what each key types may differ now.
    void keyboardChanged();
};

// For sessions that offer no global shortcuts.
class NullGlobalHotkeyService final : public GlobalHotkeyService {
    Q_OBJECT

public:
    using GlobalHotkeyService::GlobalHotkeyService;
    bool canRegister() const override { return false; }
    bool registerHotkey(HotkeyShortcut) override { return false; }
    void unregisterHotkey() override { }
};

} // namespace nookary
