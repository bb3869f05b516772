// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalHotkeyService.h"

#include <QAbstractNativeEventFilter>
#include <QTimer>

#include <memory>
#include <optional>

namespace nookary {

// GlobalHotkeyService over X11 key grabs on the root window. The stored key code is mapped
// to the X11 key code by its place on the keyboard; Control, Alt, Super and Shift to the
// modifier bits that the server's modifier mapping gives them (which bit carries Alt or
// Super is the server's choice). The grab is repeated for every combination of Caps Lock
// and Num Lock, so the shortcut works whatever locks are on; BadAccess on any of them is a
// refusal, and the grabs already made are released again. A new keyboard or modifier
// mapping re-grabs the shortcut.
class X11GlobalHotkeyService final : public GlobalHotkeyService,
                                     private QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // Null when the application does not run on X11.
    static std::unique_ptr<X11GlobalHotkeyService> create();
    ~X11GlobalHotkeyService() override;

    bool canRegister() const override { return true; }
    bool registerHotkey(HotkeyShortcut shortcut) override;
    void unregisterHotkey() override;

private:
    struct Grab {
        quint8 keycode = 0;
        quint16 modifiers = 0;
    };
    struct Connection;

    explicit X11GlobalHotkeyService(std::unique_ptr<Connection> connection);
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void readModifierMapping();
    std::optional<Grab> grabFor(HotkeyShortcut shortcut) const;
    bool grab(const Grab &grab);
    void ungrab(const Grab &grab);
    QList<quint16> lockVariants() const;
    void checkKeyReleased();
    bool isKeyDown(quint8 keycode) const;

    std::unique_ptr<Connection> m_x;
    std::optional<HotkeyShortcut> m_shortcut;
    std::optional<Grab> m_grab;
    bool m_keyDown = false;
    quint32 m_lastReleaseTime = 0;
    bool m_regrabPending = false;
    bool m_groupNoticePending = false;
    // Runs while the shortcut's key is down, in case its release goes elsewhere.
    QTimer m_releaseWatch;
};

} // namespace nookary
