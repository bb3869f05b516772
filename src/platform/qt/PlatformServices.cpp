#include "platform/PlatformServices.h"

#include "platform/qt/ClipboardPasteboard.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QGuiApplication>

namespace nookary {

PlatformServices createPlatformServices()
{
    PlatformServices services;
    services.preferences =
        std::make_unique<SettingsPreferencesStore>(SettingsPreferencesStore::defaultFilePath());
    services.pasteboard = std::make_unique<ClipboardPasteboard>(QGuiApplication::clipboard());
    return services;
}

} // namespace nookary
