#include "effects/filter_table.h"

#include <array>

namespace fotello {

namespace {

constexpr std::int32_t kWhite = RgbColour(255, 255, 255);
constexpr std::int32_t kTint = RgbColour(0, 120, 120);
constexpr std::int32_t kLightGrey = RgbColour(180, 180, 180);

constexpr std::array<FilterMenuEntry, 40> kTable = {{
    {"mnuSharp", "Sharpen", 1, 2, false},
    {"mnuSharpM", "Sharpen +", 1, 0, false},
    {"mnuNegative", "Negative", 2, 0, false},
    {"mnuBlur", "Blur", 3, 0, false},
    {"mnuDiffuse", "Diffuse", 4, 6, false},
    {"mnuDiffuseM", "Diffuse +", 4, 12, false},
    {"mnuSmooth", "Smooth", 5, 0, false},
    {"mnuEnhance", "Edge E&hance", 6, 0, false},
    {"mnuContour", "&Contour", 7, kWhite, false},
    {"mnuEmboss", "&Emboss", 8, kTint, false},
    {"mnuEmbossM", "E&mboss +", 9, kTint, false},
    {"mnuEngrave", "E&ngrave", 10, kTint, false},
    {"mnuEngraveM", "En&grave +", 11, kTint, false},
    {"mnuGrayscale", "Grayscale", 12, 0, false},
    {"mnuRelief", "&Relief", 13, 0, false},
    {"mnuBrighter", "Brighter", 14, 10, false},
    {"mnuDark", "Darker", 14, -10, false},
    {"mnuPixel", "Pixelize", 15, 3, false},
    {"mnuRGB1", "RGB -> BRG", 16, 1, false},
    {"mnuRGB2", "RGB -> GBR", 16, 2, false},
    {"mnuRGB3", "RGB -> RBG", 16, 3, false},
    {"mnuRGB4", "RGB -> BGR", 16, 4, false},
    {"mnuRGB5", "RGB -> GRB", 16, 5, false},
    {"mnuContrastM", "Contrast +", 17, 10, false},
    {"mnuContrastMin", "Contrast -", 17, -10, false},
    {"mnuBW1", "B&&W (High Contrast)", 18, kLightGrey, false},
    {"mnuBW2", "B&&W (Diffuse)", 19, 0, false},
    {"mnuBW3", "B&&W (Dither)", 20, 0, false},
    {"mnuBW4", "B&&W (Floyd-Steinberg)", 21, 15, false},
    {"mnuBW5", "B&&W (Burke)", 22, 15, false},
    {"mnuBW6", "B&&W (Stuck)", 23, 15, false},
    {"mnuAqua", "Aqua", 24, 0, false},
    {"mnuDilate", "&Dilate", 25, 0, false},
    {"mnuErode", "Er&ode", 26, 0, false},
    {"mnuInverse", "Contour (&Inverse)", 27, 0, false},
    {"mnuContrastS", "Contrast Stretch", 28, 0, false},
    {"mnuNoise", "Add Noise", 29, 50, false},
    {"mnuSatM", "Saturation +", 30, 15, false},
    {"mnuSatMin", "Saturation -", 30, -20, false},
    {"mnuGamma", "Gamma Correction", 31, 0, true},
}};

} // namespace

std::span<const FilterMenuEntry> FilterTable() {
    return kTable;
}

const FilterMenuEntry* FindFilterEntry(std::string_view menuItem) {
    for (const FilterMenuEntry& entry : kTable) {
        if (entry.menuItem == menuItem) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace fotello
