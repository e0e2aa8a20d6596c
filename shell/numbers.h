#pragma once
// Number rules shared by every window: rounding halves to even, reading the
// leading number of a text, and writing a number as text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fotello {

// Nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double v);

// RoundHalfEven into the integer type, or nothing when the result does not fit.
std::optional<std::int32_t> RoundToInt32(double v);
std::optional<std::int16_t> RoundToInt16(double v);

// The longest leading number of a text (blanks before it skipped, optional
// sign, digits, one decimal point, exponent); 0 when there is none.
double NumericValue(std::string_view text);

// A number as the settings fields show it: whole numbers without a decimal
// part, others with up to 15 significant digits and "." as the separator.
std::string NumberToText(double v);

} // namespace fotello
