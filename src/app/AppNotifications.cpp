// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppNotifications.h"

namespace nookary {

AppNotifications &AppNotifications::instance()
{
    static AppNotifications notifications;
    return notifications;
}

} // namespace nookary
