#pragma once
// What the settings page hands to the main window when the user applies it.

#include <array>
#include <cstdint>

#include <QString>

namespace fotello {

// The thumbnail geometries the page offers, in order.
inline constexpr std::array<const char*, 7> kThumbGeometries = {
    " 80 x 80 - 64 x 64",  " 80 x 96 - 64 x 64",  " 96 x 80 - 64 x 64",   "100 x 100 - 80 x 80",
    "100 x 120 - 80 x 80", "120 x 100 - 80 x 80", "120 x 120 - 100 x 100"};

struct SettingsApply {
    QString slide;               // interval in seconds, digits
    QString zoom;                // "Sim" or "Não"
    QString geometry;            // one of kThumbGeometries, or empty
    std::int32_t windowBack = 0; // 0x00BBGGRR
    std::int32_t screenBack = 0;
};

} // namespace fotello
