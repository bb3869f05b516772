#pragma once

#include <array>

// Every key the program reads or writes, with the key earlier versions used and the bounds
// that a read value must keep. Key strings are part of the stored file format: never change
// one; add a new versioned key instead.
namespace nookary::SettingsKeys {

struct Key
{
    const char *current;
    const char *legacy; // read only while `current` is absent, then copied over; may be null
};

inline constexpr Key historyLimit{"Nookary.historyLimit.v2", "Velmic.historyLimit.v2"};
inline constexpr Key openPresentation{"Nookary.openPresentation.v2", "Velmic.openPresentation.v2"};
inline constexpr Key defaultOpenTarget{"Nookary.defaultOpenTarget.v1", "Velmic.defaultOpenTarget.v1"};
inline constexpr Key keepWindowPinned{"Nookary.keepWindowPinned.v1", "Velmic.keepWindowPinned.v1"};
inline constexpr Key hotkeyCode{"Nookary.hotkey.code.v1", "Velmic.hotkey.code.v1"};
inline constexpr Key hotkeyModifiers{"Nookary.hotkey.modifiers.v1", "Velmic.hotkey.modifiers.v1"};
// Read as a fallback only; never written.
inline constexpr Key hotkeyPreset{"Nookary.hotkeyPreset.v1", "Velmic.hotkeyPreset.v1"};
inline constexpr Key onboardingLastStep{"Nookary.onboarding.lastStep.v1", nullptr};
inline constexpr Key onboardingCompletedVersion{"Nookary.onboarding.completedVersion.v1", nullptr};
// Binary data holding the JSON array of saved snippets.
inline constexpr Key shelf{"Nookary.shelf.v1", "Quobble.shelf.v1"};

// The centred window's frame, in Qt's screen coordinates (origin top left).
inline constexpr Key centeredWindowX{"Nookary.centeredWindow.posX.v1", "Velmic.centeredWindow.posX.v1"};
inline constexpr Key centeredWindowY{"Nookary.centeredWindow.posY.v1", "Velmic.centeredWindow.posY.v1"};
inline constexpr Key centeredWindowWidth{"Nookary.centeredWindow.width.v1", "Velmic.centeredWindow.width.v1"};
inline constexpr Key centeredWindowHeight{"Nookary.centeredWindow.height.v1", "Velmic.centeredWindow.height.v1"};

inline constexpr std::array<int, 3> historyLimitOptions{25, 50, 100};
inline constexpr int defaultHistoryLimit = 25;
inline constexpr int onboardingFirstStep = 0;
inline constexpr int onboardingLastStepIndex = 4;
inline constexpr int onboardingCurrentVersion = 1;

} // namespace nookary::SettingsKeys
