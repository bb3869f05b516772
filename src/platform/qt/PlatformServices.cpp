// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PlatformServices.h"

#include "platform/portal/PortalGlobalHotkeyService.h"
#include "platform/qt/ClipboardPasteboard.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "platform/qt/TrayStatusItem.h"
#if NOOKARY_HAVE_X11
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11GlobalHotkeyService.h"
#include "platform/x11/X11KeyTranslator.h"
#include "platform/x11/X11Workspace.h"
#endif
#if NOOKARY_HAVE_WAYLAND
#include "platform/wayland/DataControlPasteboard.h"
#endif
#include "platform/xdg/XdgAutostartLoginItemService.h"

#include <QGuiApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPlatformServices, "nookary.platform")

namespace nookary {

namespace {

// The X11 realisations, where this build has them and the session is X11; false otherwise.
bool addX11Services(PlatformServices &services)
{
#if NOOKARY_HAVE_X11
    auto workspace = X11Workspace::create();
    if (!workspace)
        return false;
    // A few reads at once: an owner that answers slowly or never holds up no copy after it.
    constexpr int readsAtOnce = 3;
    services.pasteboard = std::make_unique<ClipboardPasteboard>(
        QGuiApplication::clipboard(), X11ClipboardReader::create(readsAtOnce));
    services.workspace = std::move(workspace);
    if (auto hotkeys = X11GlobalHotkeyService::create())
        services.hotkeys = std::move(hotkeys);
    services.keys = std::make_unique<X11KeyTranslator>();
    if (auto manager = X11ClipboardManager::create())
        services.clipboardManager = std::move(manager);
    return true;
#else
    Q_UNUSED(services);
    return false;
#endif
}

// On a Wayland session, the compositor's data-control protocol where it offers it: Qt's
// clipboard sees another program's copy only while Nookary has focus there.
std::unique_ptr<Pasteboard> createWaylandPasteboard()
{
#if NOOKARY_HAVE_WAYLAND
    if (auto pasteboard = DataControlPasteboard::create())
        return pasteboard;
#endif
    qCWarning(lcPlatformServices,
        "Capturing the clipboard on Wayland needs a compositor with the data-control protocol "
        "(such as KWin or sway; GNOME's has none): only copies made while Nookary has focus "
        "are recorded.");
    return std::make_unique<ClipboardPasteboard>(QGuiApplication::clipboard());
}

// A Wayland session: the compositor places the windows and no program may activate
// another (the hand-back stays the null one); a global shortcut only where the desktop
// portal binds one.
void addWaylandServices(PlatformServices &services)
{
    services.session.placesWindows = false;
    if (auto hotkeys = PortalGlobalHotkeyService::create())
        services.hotkeys = std::move(hotkeys);
}

bool isWaylandSession()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

PlatformServices createPlatformServices()
{
    PlatformServices services;
    services.preferences
        = std::make_unique<SettingsPreferencesStore>(SettingsPreferencesStore::defaultFilePath());
    if (!addX11Services(services)) {
        if (isWaylandSession())
            services.pasteboard = createWaylandPasteboard();
        else
            services.pasteboard
                = std::make_unique<ClipboardPasteboard>(QGuiApplication::clipboard());
    }
    if (isWaylandSession())
        addWaylandServices(services);
    services.statusItem = std::make_unique<TrayStatusItem>();
    // XDG autostart is read by X11 and Wayland sessions alike.
    services.loginItems = std::make_unique<XdgAutostartLoginItemService>(
        XdgAutostartLoginItemService::defaultAutostartFolder(),
        XdgAutostartLoginItemService::defaultLauncherPath());
    return services;
}

} // namespace nookary
