#pragma once
// The effects window's rules that need no window: where the picture's folder
// ends, which kind a save writes, the progress text and the gamma answer.

#include <optional>
#include <string>
#include <string_view>

namespace fotello {

// The text after the first "." of name ("" when it has none), with the dot
// when asked.
std::string FileExtension(std::string_view name, bool withDot);

enum class EffectsSaveKind { None, Bmp, Ico, Jpg };
// The kind a save writes, from FileExtension of imagePath's last part,
// lower-cased: only "bmp", "ico" and "jpg" are written. (A dot in a folder
// above it says nothing of the picture.)
EffectsSaveKind SaveKindFor(std::string_view imagePath);
// The kind a file's name says it holds, by its last suffix ("jpeg" is a JPEG).
// A save writes only into a file of the kind it writes.
EffectsSaveKind NamedKindOf(std::string_view fileName);

// The folder of fullPath without its closing "/", when fullPath ends in "/"
// followed by name; "" otherwise (and for a file at the root).
std::string PictureFolder(std::string_view fullPath, std::string_view name);

// "Filtro: 37%".
std::string FilterProgressText(int percent);

// The gamma box's answer as a whole number (halves to even); nothing for an
// empty, non-numeric or out-of-range answer.
std::optional<int> ParseGammaAnswer(std::string_view answer);

} // namespace fotello
