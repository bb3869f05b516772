// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardManager.h"
#include "platform/GlobalHotkeyService.h"
#include "platform/KeyTranslator.h"
#include "platform/LoginItemService.h"
#include "platform/PasteService.h"
#include "platform/Pasteboard.h"
#include "platform/PreferencesStore.h"
#include "platform/SessionCapabilities.h"
#include "platform/StatusItem.h"
#include "platform/Workspace.h"

#include <QStringList>

#include <memory>

namespace nookary {

// The realisations of every service the program uses. `createPlatformServices` chooses them;
// a service nobody chose does nothing (the null realisations), so no caller chooses again.
// The store and the clipboard have no such stand-in: they must be given.
struct PlatformServices {
    std::unique_ptr<PreferencesStore> preferences;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<Workspace> workspace = std::make_unique<NullWorkspace>();
    std::unique_ptr<StatusItem> statusItem; // none: no tray icon
    std::unique_ptr<GlobalHotkeyService> hotkeys = std::make_unique<NullGlobalHotkeyService>();
    std::unique_ptr<KeyTranslator> keys = std::make_unique<NullKeyTranslator>();
    std::unique_ptr<LoginItemService> loginItems = std::make_unique<NullLoginItemService>();
    std::unique_ptr<ClipboardManager> clipboardManager = std::make_unique<NullClipboardManager>();
    std::unique_ptr<PasteService> paste = std::make_unique<NullPasteService>();
    SessionCapabilities session;
};

// The one place that picks realisations, among the platform folders this build has, by the
// session the application runs in. Needs a QGuiApplication. Settings live at the per-user
// location; keys starting with `settingsKeyPrefixes` are the program's own there.
PlatformServices createPlatformServices(const QStringList &settingsKeyPrefixes = {});

} // namespace nookary
