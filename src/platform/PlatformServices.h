#pragma once

#include "platform/ClipboardManager.h"
#include "platform/GlobalHotkeyService.h"
#include "platform/LoginItemService.h"
#include "platform/Pasteboard.h"
#include "platform/PreferencesStore.h"
#include "platform/StatusItem.h"
#include "platform/Workspace.h"

#include <memory>

namespace nookary {

// The platform's realisations of every service the program uses, chosen in one place.
struct PlatformServices
{
    std::unique_ptr<PreferencesStore> preferences;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<StatusItem> statusItem;
    std::unique_ptr<GlobalHotkeyService> hotkeys;
    std::unique_ptr<LoginItemService> loginItems;
    // None where the session has no clipboard managers (no X11).
    std::unique_ptr<ClipboardManager> clipboardManager;
};

// Needs a QGuiApplication. Settings live at the per-user location.
PlatformServices createPlatformServices();

} // namespace nookary
