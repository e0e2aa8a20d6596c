#pragma once
// The effects window's menu commands that run an engine filter: menu item,
// caption, filter number and parameter. Colours are 0x00BBGGRR.

#include <cstdint>
#include <span>
#include <string_view>

namespace fotello {

struct FilterMenuEntry {
    std::string_view menuItem;
    std::string_view caption;
    int number;
    std::int32_t parameter;
    bool parameterFromUser; // gamma: the whole number the user types
};

std::span<const FilterMenuEntry> FilterTable();

// The row of a menu item, or nullptr.
const FilterMenuEntry* FindFilterEntry(std::string_view menuItem);

// 0x00BBGGRR from red, green and blue.
constexpr std::int32_t RgbColour(int red, int green, int blue) {
    return std::int32_t(red | (green << 8) | (blue << 16));
}

} // namespace fotello
