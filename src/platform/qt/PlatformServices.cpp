#include "platform/PlatformServices.h"

#include "platform/qt/ClipboardPasteboard.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "platform/qt/TrayStatusItem.h"
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11GlobalHotkeyService.h"
#include "platform/x11/X11Workspace.h"
#include "platform/xdg/XdgAutostartLoginItemService.h"

#include <QGuiApplication>

namespace nookary {

PlatformServices createPlatformServices()
{
    PlatformServices services;
    services.preferences =
        std::make_unique<SettingsPreferencesStore>(SettingsPreferencesStore::defaultFilePath());
    if (auto x11 = X11Workspace::create()) {
        services.pasteboard = std::make_unique<ClipboardPasteboard>(QGuiApplication::clipboard(),
                                                                    X11ClipboardReader::create());
        services.workspace = std::move(x11);
        services.clipboardManager = X11ClipboardManager::create();
    } else {
        services.pasteboard = std::make_unique<ClipboardPasteboard>(QGuiApplication::clipboard());
        services.workspace = std::make_unique<NullWorkspace>();
    }
    services.statusItem = std::make_unique<TrayStatusItem>();
    if (auto x11 = X11GlobalHotkeyService::create())
        services.hotkeys = std::move(x11);
    else
        services.hotkeys = std::make_unique<NullGlobalHotkeyService>();
    // XDG autostart is read by X11 and Wayland sessions alike.
    services.loginItems = std::make_unique<XdgAutostartLoginItemService>(
        XdgAutostartLoginItemService::defaultAutostartFolder(),
        XdgAutostartLoginItemService::defaultLauncherPath());
    return services;
}

} // namespace nookary
