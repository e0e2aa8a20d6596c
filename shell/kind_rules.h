#pragma once
// Which commands a picture's kind allows, by substring tests on its
// lower-cased path: the first kind found anywhere in the path decides.

#include <optional>
#include <string>

namespace fotello {

// Each command on, off, or left as it was (nothing).
struct KindCommands {
    std::optional<bool> toBmp;   // "Converter para .BMP"
    std::optional<bool> toJpg;   // "Converter para .JPG"
    std::optional<bool> toIco;   // "Converter para .ICO"
    std::optional<bool> convert; // the "Converter" button
    std::optional<bool> effects; // the effects button
};

KindCommands KindCommandsFor(const std::string& lowerPath);

// Shown animated: ".gif" anywhere in the lower-cased path.
inline bool ShownAsGif(const std::string& lowerPath) {
    return lowerPath.find(".gif") != std::string::npos;
}

} // namespace fotello
