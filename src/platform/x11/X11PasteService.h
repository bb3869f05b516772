// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PasteService.h"

#include <memory>

namespace nookary {

// Pastes through the XTEST extension, which types into whatever has the input focus: so
// the keys go only once the target is the EWMH active window, holds the input focus (itself
// or a window inside it) and the keymap shows no key down. The target's class is its
// WM_CLASS. Qt's own connection, on the main thread.
class X11PasteService final : public PasteService {
    Q_OBJECT

public:
    // Null when the application does not run on X11.
    static std::unique_ptr<X11PasteService> create(Clock &clock);
    ~X11PasteService() override;

    Availability availability() const override;

protected:
    bool canServe(const Request &request) const override;
    bool isReady(const Request &request) const override;
    QStringList windowClass(const Request &request) const override;
    bool send(Keys keys) override;

private:
    struct Connection;
    X11PasteService(std::unique_ptr<Connection> connection, Clock &clock);
    std::unique_ptr<Connection> m_x;
};

} // namespace nookary
