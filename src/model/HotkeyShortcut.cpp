#include "HotkeyShortcut.h"

#include <array>

namespace nookary {

namespace {

struct LegacyPreset
{
    const char16_t *rawValue;
    HotkeyShortcut shortcut;
};

constexpr quint32 kControl = HotkeyShortcut::controlBit;
constexpr quint32 kOption = HotkeyShortcut::optionBit;
constexpr quint32 kCommand = HotkeyShortcut::commandBit;
constexpr quint32 kShift = HotkeyShortcut::shiftBit;

constexpr std::array<LegacyPreset, 9> kLegacyPresets{{
    {u"off", {0, 0}},
    {u"ctrlOptSpace", {49, kControl | kOption}},
    {u"ctrlCmdSpace", {49, kControl | kCommand}},
    {u"ctrlShiftSpace", {49, kControl | kShift}},
    {u"ctrlOptCmdSpace", {49, kControl | kOption | kCommand}},
    {u"ctrlOptK", {40, kControl | kOption}},
    {u"ctrlOptV", {9, kControl | kOption}},
    {u"ctrlCmdGrave", {50, kControl | kCommand}},
    {u"ctrlCmdSectionISO", {10, kControl | kCommand}},
}};

} // namespace

std::optional<HotkeyShortcut> HotkeyShortcut::fromLegacyPreset(QStringView rawValue)
{
    for (const LegacyPreset &preset : kLegacyPresets) {
        if (rawValue == QStringView(preset.rawValue))
            return preset.shortcut;
    }
    return std::nullopt;
}

} // namespace nookary
