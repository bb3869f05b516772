#pragma once

#include "core/HotkeyShortcut.h"

#include <QObject>

namespace nookary {

// One system-wide keyboard shortcut. Registering replaces nothing: the caller unregisters
// the previous one first. A refusal (another program holds the combination, or the key has
// no place on this keyboard) is known at once, when `registerHotkey` returns false.
// `pressed` is emitted on the main thread, once per press, never for auto-repeat.
class GlobalHotkeyService : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~GlobalHotkeyService() override = default;

    // False where the session offers no global shortcuts at all (a pure Wayland session):
    // every registration is then refused.
    virtual bool canRegister() const = 0;
    virtual bool registerHotkey(HotkeyShortcut shortcut) = 0;
    virtual void unregisterHotkey() = 0;

Q_SIGNALS:
    void pressed();
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
