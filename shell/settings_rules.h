#pragma once
// What the main window derives from the settings fields.

#include <cstdint>
#include <optional>
#include <string>

namespace fotello {

// Used when the stored geometry is absent or gives a size of 0.
inline constexpr const char* kDefaultThumbGeometry = "100 x 100 - 80 x 80";

// Cell height, cell width and picture side, as the hidden fields hold them
// (padded text). A field that the text does not reach keeps its previous value.
struct ThumbFields {
    std::string text1; // cell height
    std::string text2; // cell width
    std::string text3; // side of the square picture box
};

// Splits a geometry such as "100 x 120 - 80 x 80" by character positions
// around its first "x".
ThumbFields ParseThumbSize(const std::string& geometry, ThumbFields previous);

// The geometry fields parsed, with the default geometry whenever one of the
// three sizes would be 0 or less.
ThumbFields UsableThumbFields(ThumbFields parsed);

// The thumbnail geometry in pixels, as layout uses it.
struct ThumbGeometry {
    int cellHeight = 0;
    int cellWidth = 0;
    int side = 0; // of the square picture box
    bool operator==(const ThumbGeometry&) const = default;
};

// The numeric values of the three fields, rounded halves to even; the default
// geometry when one of them is not a size.
ThumbGeometry ThumbGeometryOf(const ThumbFields& fields);

// The settings the windows lay out and paint with, parsed from the hidden
// fields when they are loaded or applied.
struct SettingsValues {
    ThumbGeometry thumbs = ThumbGeometryOf({});
    std::int32_t screenBackColor = 0; // 0x00BBGGRR, the full-screen view
};

// The picture host's background from the text of txtJanela: its leading
// number rounded halves to even; nothing when that overflows 32 bits.
std::optional<std::int32_t> WindowBackColorValue(const std::string& janelaText);

// Whether a value is a colour 0x00BBGGRR a control accepts.
inline bool IsBgrColour(std::int32_t v) {
    return v >= 0 && v <= 0xFFFFFF;
}

// The magnifier runs only for exactly "Sim".
inline bool MagnifierOn(const std::string& zoomText) {
    return zoomText == "Sim";
}

} // namespace fotello
