// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Makes this process ask the instance running in the desk's session: the instance's socket
// is named after the session it runs in.
#include "TestDesk.h"
#include "app/InstanceChannel.h"
#include "app/InstanceName.h"

namespace nookary::bench {

inline void askInDeskSession(const test::TestDesk &desk, const QStringList &nookaryArguments)
{
    for (const char *variable : { "XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY",
             "QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "XAUTHORITY" }) {
        const QString value = desk.environment().value(QString::fromLatin1(variable));
        if (value.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, value.toLocal8Bit());
    }
    InstanceChannel::useInstanceName(
        InstanceName::forSession(desk.environment(), nookaryArguments));
}

} // namespace nookary::bench
