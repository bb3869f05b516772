// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PlatformServices.h"

#include "platform/Clock.h"
#include "platform/WindowSystem.h"
#include "platform/portal/PortalGlobalHotkeyService.h"
#include "platform/qt/ClipboardPasteboard.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "platform/qt/TrayStatusItem.h"
#if NOOKARY_HAVE_X11
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11GlobalHotkeyService.h"
#include "platform/x11/X11KeyTranslator.h"
#include "platform/x11/X11PasteService.h"
#include "platform/x11/X11SelectionPasteboard.h"
#include "platform/x11/X11WindowSystem.h"
#include "platform/x11/X11Workspace.h"
#endif
#if NOOKARY_HAVE_WAYLAND
#include "platform/wayland/DataControlClipboardManager.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/wayland/VirtualKeyboardPasteService.h"
#endif
#include "platform/xdg/XdgAutostartLoginItemService.h"

#include <QGuiApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPlatformServices, "nookary.platform")

namespace nookary {

namespace {

// The X11 realisations, the window system's included, where this build has them and the
// session is X11; false otherwise.
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
    services.keys = std::make_unique<X11KeyTranslator>(X11::qtConnection());
    if (auto manager = X11ClipboardManager::create())
        services.clipboardManager = std::move(manager);
    if (auto paste = X11PasteService::create(SystemClock::shared()))
        services.paste = std::move(paste);
    WindowSystem::install(std::make_unique<X11WindowSystem>());
    return true;
#else
    Q_UNUSED(services);
    return false;
#endif
}

// The clipboard of a Wayland session, by what it offers: the compositor's data-control
// protocol (under either name), which also shows a copy vanishing with its program; else,
// where an X display is named (GNOME's XWayland, onto whose CLIPBOARD Mutter mirrors the
// Wayland clipboard both ways), that display's selection on connections of our own; else
// Qt's clipboard, which sees another program's copy only while Nookary has focus.
void addWaylandClipboard(PlatformServices &services)
{
#if NOOKARY_HAVE_WAYLAND
    if (auto pasteboard = DataControlPasteboard::create()) {
        services.clipboardManager = std::make_unique<DataControlClipboardManager>(*pasteboard);
        services.pasteboard = std::move(pasteboard);
        return;
    }
#endif
#if NOOKARY_HAVE_X11
    if (qEnvironmentVariableIsSet("DISPLAY")) {
        // Mutter's XWayland serves the CLIPBOARD of Wayland programs one request at a time:
        // a request sent beside another waits past the deadline.
        if (auto pasteboard = X11SelectionPasteboard::create(
                X11ClipboardReader::create(1, X11ClipboardReader::Requests::OneAtATime))) {
            qCInfo(lcPlatformServices,
                "The compositor has no data-control: the clipboard is watched through the X "
                "display %s.",
                qgetenv("DISPLAY").constData());
            services.pasteboard = std::move(pasteboard);
            return;
        }
    }
#endif
    qCWarning(lcPlatformServices,
        "Capturing the clipboard on Wayland needs a compositor with the data-control protocol "
        "(such as KWin or sway) or an X display beside it (as GNOME's XWayland): only copies "
        "made while Nookary has focus are recorded.");
    services.pasteboard = std::make_unique<ClipboardPasteboard>(QGuiApplication::clipboard());
}

// A Wayland session: the compositor places the windows and no program may activate
// another (the hand-back stays the null one); a global shortcut only where the desktop
// portal binds one.
void addWaylandServices(PlatformServices &services)
{
    services.session.placesWindows = false;
    services.session.activatesWindows = false;
    if (auto hotkeys = PortalGlobalHotkeyService::create())
        services.hotkeys = std::move(hotkeys);
    // Where no virtual keyboard can be had (GNOME's XWayland reaches X11 windows only),
    // the settings window says that no paste can follow a choice here.
    services.paste
        = std::make_unique<NullPasteService>(PasteService::Availability::noVirtualKeyboard);
#if NOOKARY_HAVE_WAYLAND
    if (auto paste = VirtualKeyboardPasteService::create(SystemClock::shared()))
        services.paste = std::move(paste);
#endif
}

bool isWaylandSession()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

PlatformServices createPlatformServices(const QStringList &settingsKeyPrefixes)
{
    PlatformServices services;
    services.preferences = std::make_unique<SettingsPreferencesStore>(
        SettingsPreferencesStore::defaultFilePath(), settingsKeyPrefixes);
    if (!addX11Services(services)) {
        if (isWaylandSession())
            addWaylandClipboard(services);
        else
            services.pasteboard
                = std::make_unique<ClipboardPasteboard>(QGuiApplication::clipboard());
    }
    if (isWaylandSession())
        addWaylandServices(services);
    services.statusItem = std::make_unique<TrayStatusItem>();
    // XDG autostart is read by X11 and Wayland sessions alike.
    auto loginItems = std::make_unique<XdgAutostartLoginItemService>(
        XdgAutostartLoginItemService::defaultAutostartFolder(),
        XdgAutostartLoginItemService::defaultLauncherPath());
    if (const std::optional<QString> moved = loginItems->followMovedLauncher())
        qCInfo(lcPlatformServices).noquote()
            << QStringLiteral("The autostart entry named a launcher that is gone (%1); it now "
                              "runs %2")
                   .arg(*moved, XdgAutostartLoginItemService::defaultLauncherPath());
    services.loginItems = std::move(loginItems);
    return services;
}

} // namespace nookary
