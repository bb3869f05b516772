// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PasteService.h"

#include <memory>

namespace nookary {

// Pastes on Wayland through the compositor's virtual keyboard
// (zwp_virtual_keyboard_manager_v1, offered by the wlroots compositors), on a connection of
// its own. No program can see which window the compositor activates, so the keys go once
// our window has lost the keyboard; the target's class is unknown, so they are Ctrl+V. The
// virtual keyboard is made at the first paste and kept: a program takes a new keyboard
// only after a moment, and the first paste waits that moment.
class VirtualKeyboardPasteService final : public PasteService {
    Q_OBJECT

public:
    // Null without a Wayland connection; where the compositor lacks the protocol, one that
    // answers `noVirtualKeyboard`.
    static std::unique_ptr<PasteService> create(Clock &clock);
    ~VirtualKeyboardPasteService() override;

    Availability availability() const override;

protected:
    bool canServe(const Request &) const override { return true; }
    bool isReady(const Request &request) const override;
    QStringList windowClass(const Request &) const override { return {}; }
    bool send(Keys keys) override;

private:
    struct Connection;
    VirtualKeyboardPasteService(std::unique_ptr<Connection> connection, Clock &clock);
    bool makeKeyboard() const;

    std::unique_ptr<Connection> m_wl;
};

} // namespace nookary
