#include "shell/settings_rules.h"

#include <algorithm>

#include "shell/numbers.h"
#include "shell/text_chars.h"

namespace fotello {

ThumbFields ParseThumbSize(const std::string& geometry, ThumbFields f) {
    const std::u32string s = Utf8ToChars(geometry);
    const auto x = s.find(U'x');
    const long p = x == std::u32string::npos ? 0 : static_cast<long>(x) + 1; // 1-based, 0 if none
    const long n = static_cast<long>(s.size());
    // Mid$(s, start, 4) with start counted from 1.
    auto mid4 = [&](long start) { return CharsToUtf8(s.substr(std::min<long>(start - 1, n), 4)); };
    if (p - 4 >= 1)
        f.text1 = mid4(p - 4);
    f.text2 = mid4(p + 1);
    if (n - 2 >= 1)
        f.text3 = CharsToUtf8(s.substr(static_cast<std::size_t>(n - 3)));
    return f;
}

ThumbFields UsableThumbFields(ThumbFields parsed) {
    if (NumericValue(parsed.text1) > 0 && NumericValue(parsed.text2) > 0 &&
        NumericValue(parsed.text3) > 0)
        return parsed;
    return ParseThumbSize(kDefaultThumbGeometry, {});
}

ThumbGeometry ThumbGeometryOf(const ThumbFields& fields) {
    const ThumbFields f = UsableThumbFields(fields);
    auto pixels = [](const std::string& text) {
        return RoundToInt32(NumericValue(text)).value_or(0);
    };
    const ThumbGeometry g{pixels(f.text1), pixels(f.text2), pixels(f.text3)};
    if (g.cellHeight > 0 && g.cellWidth > 0 && g.side > 0)
        return g;
    const ThumbFields d = ParseThumbSize(kDefaultThumbGeometry, {});
    return {pixels(d.text1), pixels(d.text2), pixels(d.text3)};
}

std::optional<std::int32_t> WindowBackColorValue(const std::string& janelaText) {
    return RoundToInt32(NumericValue(janelaText));
}

} // namespace fotello
