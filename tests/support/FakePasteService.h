// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PasteService.h"

#include <QList>

namespace nookary::test {

// A window system whose state the test sets: whether the target has the keyboard with no
// key down and what its class is; records every request and what was typed.
class FakePasteService final : public PasteService {
    Q_OBJECT

public:
    using PasteService::PasteService;

    Availability availability() const override { return available; }

    Availability available = Availability::available;
    bool targetReady = false;
    QStringList targetClass;
    QList<Request> requests;
    QList<Keys> typed;

protected:
    bool canServe(const Request &request) const override
    {
        const_cast<FakePasteService *>(this)->requests.append(request);
        return request.target.has_value();
    }
    bool isReady(const Request &) const override { return targetReady; }
    QStringList windowClass(const Request &) const override { return targetClass; }
    bool send(Keys keys) override
    {
        typed.append(keys);
        return true;
    }
};

} // namespace nookary::test
