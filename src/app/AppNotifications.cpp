#include "AppNotifications.h"

namespace nookary {

AppNotifications &AppNotifications::instance()
{
    static AppNotifications notifications;
    return notifications;
}

} // namespace nookary
