// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/HotkeyShortcut.h"

#include <array>

// Every key the program reads or writes, with the key earlier versions used, the value a
// missing or unusable one stands for, and the bounds that a read value must keep. This is
// the one place for them: the model and the tests read this table. Key strings are part of
// the stored file format: never change one; add a new versioned key instead.
namespace nookary::SettingsKeys {

struct Key {
    const char *current;
    const char *legacy; // read only while `current` is absent, then copied over; may be null
};

// Every key of the program, of this version and earlier ones, starts with one of these; the
// settings store keeps them whatever else the file holds.
inline constexpr std::array<const char *, 3> keyPrefixes { "Nookary.", "Velmic.", "Quobble." };

// A key with the value that stands in when it holds nothing usable.
template <typename T> struct Setting : Key {
    T fallback;
};

// Enumerations are stored by their case names.
inline constexpr Setting<int> historyLimit {
    { "Nookary.historyLimit.v2", "Velmic.historyLimit.v2" }, 25
};
inline constexpr std::array<int, 3> historyLimitOptions { 25, 50, 100 };
inline constexpr Setting<const char *> openPresentation {
    { "Nookary.openPresentation.v2", "Velmic.openPresentation.v2" }, "centeredWindow"
};
inline constexpr Setting<const char *> defaultOpenTarget {
    { "Nookary.defaultOpenTarget.v1", "Velmic.defaultOpenTarget.v1" }, "savedFirst"
};
inline constexpr Setting<bool> keepWindowPinned {
    { "Nookary.keepWindowPinned.v1", "Velmic.keepWindowPinned.v1" }, false
};
// The shortcut is two integers, written together; the default is HotkeyShortcut's.
inline constexpr Key hotkeyCode { "Nookary.hotkey.code.v1", "Velmic.hotkey.code.v1" };
inline constexpr Key hotkeyModifiers { "Nookary.hotkey.modifiers.v1",
    "Velmic.hotkey.modifiers.v1" };
inline constexpr HotkeyShortcut defaultHotkeyShortcut = HotkeyShortcut::defaultShortcut();
// Read as a fallback only; never written.
inline constexpr Key hotkeyPreset { "Nookary.hotkeyPreset.v1", "Velmic.hotkeyPreset.v1" };
// Steps of the walkthrough, from the first to the last; 0 when never started.
inline constexpr Setting<int> onboardingLastStep { { "Nookary.onboarding.lastStep.v1", nullptr },
    0 };
inline constexpr int onboardingFirstStep = 0;
inline constexpr int onboardingLastStepIndex = 4;
// The walkthrough version last completed; 0 for none.
inline constexpr Setting<int> onboardingCompletedVersion {
    { "Nookary.onboarding.completedVersion.v1", nullptr }, 0
};
inline constexpr int onboardingCurrentVersion = 1;
// Whether choosing an entry also pastes it into the window focus goes back to.
inline constexpr Setting<bool> pasteAfterChoosing { { "Nookary.pasteAfterChoosing.v1", nullptr },
    false };
// Window classes that paste with Ctrl+Shift+V besides the built-in terminals: a string of
// names separated by commas or spaces, written by hand only; read, never written.
inline constexpr Key pasteTerminalClasses { "Nookary.pasteTerminalClasses.v1", nullptr };
// Binary data holding the JSON array of saved snippets; empty when absent.
inline constexpr Key shelf { "Nookary.shelf.v1", "Quobble.shelf.v1" };

// The centred window's frame, in Qt's screen coordinates (origin top left); when absent
// the window opens centred at its smallest size.
inline constexpr Key centeredWindowX { "Nookary.centeredWindow.posX.v1",
    "Velmic.centeredWindow.posX.v1" };
inline constexpr Key centeredWindowY { "Nookary.centeredWindow.posY.v1",
    "Velmic.centeredWindow.posY.v1" };
inline constexpr Key centeredWindowWidth { "Nookary.centeredWindow.width.v1",
    "Velmic.centeredWindow.width.v1" };
inline constexpr Key centeredWindowHeight { "Nookary.centeredWindow.height.v1",
    "Velmic.centeredWindow.height.v1" };
// The scale (device pixels per coordinate) of the screen the frame was written at: at
// another scale the same numbers are another place and size on screen. Absent in frames
// written by earlier versions.
inline constexpr Key centeredWindowScale { "Nookary.centeredWindow.scale.v1", nullptr };

} // namespace nookary::SettingsKeys
