#pragma once
// Texts counted in characters rather than bytes, for rules that cut texts
// at character positions.

#include <string>
#include <string_view>

namespace fotello {

// Invalid UTF-8 bytes become U+FFFD.
std::u32string Utf8ToChars(std::string_view utf8);
std::string CharsToUtf8(std::u32string_view chars);

} // namespace fotello
