#include "shell/numbers.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>

namespace fotello {

double RoundHalfEven(double v) {
    // nearbyint follows the current rounding mode; the default mode is
    // to-nearest-even, but a library may have changed it.
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    if (saved != FE_TONEAREST)
        std::fesetround(saved);
    return r;
}

template <typename Int> static std::optional<Int> roundTo(double v) {
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(r);
}

std::optional<std::int32_t> RoundToInt32(double v) {
    return roundTo<std::int32_t>(v);
}
std::optional<std::int16_t> RoundToInt16(double v) {
    return roundTo<std::int16_t>(v);
}

double NumericValue(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\n' || t[i] == '\r'))
        ++i;
    const std::size_t start = i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    std::size_t end = i;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            ++j;
        std::size_t expDigits = 0;
        while (j < t.size() && t[j] >= '0' && t[j] <= '9') {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            end = j;
    }
    // from_chars ignores the process locale, which Qt sets from the user's.
    const char* first = t.data() + start;
    if (*first == '+')
        ++first;
    double v = 0.0;
    const auto r = std::from_chars(first, t.data() + end, v);
    if (r.ec == std::errc::result_out_of_range)
        return 0.0;
    return std::isfinite(v) ? v : 0.0;
}

std::string NumberToText(double v) {
    if (!std::isfinite(v))
        return {};
    if (v == 0.0)
        return "0";
    char buf[64];
    const auto r = (v == std::trunc(v) && std::fabs(v) < 1e15)
                       ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0)
                       : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

} // namespace fotello
