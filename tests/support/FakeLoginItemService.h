// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LoginItemService.h"

namespace nookary::test {

// The system's login-item record, held in memory. The test decides whether changing it
// fails, and what the system did anyway when it did.
class FakeLoginItemService final : public LoginItemService {
public:
    bool registered = false;
    bool failRegister = false;
    bool failUnregister = false;
    // On a failed change, whether the record changed nonetheless.
    bool changesDespiteFailure = false;
    int registerCalls = 0;
    int unregisterCalls = 0;
    mutable int statusReads = 0;

    bool isRegistered() const override
    {
        ++statusReads;
        return registered;
    }
    bool registerLoginItem() override
    {
        ++registerCalls;
        if (!failRegister || changesDespiteFailure)
            registered = true;
        return !failRegister;
    }
    bool unregisterLoginItem() override
    {
        ++unregisterCalls;
        if (!failUnregister || changesDespiteFailure)
            registered = false;
        return !failUnregister;
    }
};

} // namespace nookary::test
