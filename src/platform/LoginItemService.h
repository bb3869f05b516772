// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace nookary {

// The system's record of the login launcher: whether the session starts it at login, and
// changing that. The record is the only truth; callers keep no copy of their own that
// could disagree with it. Main thread only; every call returns at once.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;

    // True only when the session will start the launcher at the next login.
    virtual bool isRegistered() const = 0;
    // False when the record could not be written; it is then left as it was.
    virtual bool registerLoginItem() = 0;
    // False when an existing record could not be removed. Nothing to remove is success.
    virtual bool unregisterLoginItem() = 0;
};

// For sessions without a start-at-login mechanism: never registered, and registering fails,
// so a switch bound to it falls back to off.
class NullLoginItemService final : public LoginItemService {
public:
    bool isRegistered() const override { return false; }
    bool registerLoginItem() override { return false; }
    bool unregisterLoginItem() override { return true; }
};

} // namespace nookary
