#include "shell/thumb_cache_rules.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "shell/numbers.h"

namespace fotello {

namespace {

// The bytes g_filename_to_uri leaves as they are in a path.
bool KeptInUri(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("!$&'()*+,-./:=@_~").find(char(c)) != std::string_view::npos;
}

bool ParseWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

} // namespace

int FlavourSide(ThumbFlavour f) {
    switch (f) {
    case ThumbFlavour::Normal:
        return 128;
    case ThumbFlavour::Large:
        return 256;
    case ThumbFlavour::None:
        break;
    }
    return 0;
}

const char* FlavourFolder(ThumbFlavour f) {
    return f == ThumbFlavour::Large ? "large" : "normal";
}

ThumbFlavour FlavourFor(int boxPixels) {
    if (boxPixels <= 128)
        return ThumbFlavour::Normal;
    if (boxPixels <= 256)
        return ThumbFlavour::Large;
    return ThumbFlavour::None;
}

std::string ThumbCacheRoot(const char* xdgCacheHome, const char* home) {
    if (xdgCacheHome && xdgCacheHome[0] == '/')
        return CleanAbsolutePath(xdgCacheHome) + "/thumbnails";
    if (home && home[0] == '/')
        return CleanAbsolutePath(std::string(home) + "/.cache") + "/thumbnails";
    return {};
}

std::string CleanAbsolutePath(std::string_view path) {
    if (path.empty() || path[0] != '/')
        return {};
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t next = std::min(path.find('/', at), path.size());
        const std::string_view part = path.substr(at, next - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = next + 1;
    }
    std::string out;
    for (std::string_view part : parts)
        out.append("/").append(part);
    return out.empty() ? "/" : out;
}

std::string FileUri(std::string_view absolutePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char ch : absolutePath) {
        const auto c = static_cast<unsigned char>(ch);
        if (KeptInUri(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0xF];
        }
    }
    return uri;
}

ThumbPixels CachedThumbSize(int w, int h, int side) {
    if (w <= 0 || h <= 0 || side <= 0)
        return {};
    if (w <= side && h <= side)
        return {w, h};
    const double ratio = double(side) / std::max(w, h);
    auto scaled = [ratio](int v) { return std::max(1, int(RoundHalfEven(v * ratio))); };
    return {scaled(w), scaled(h)};
}

bool EntryIsFresh(const ThumbKeys& keys, std::string_view uri, long long mtime, long long size) {
    long long value = 0;
    if (keys.uri != uri || !ParseWhole(keys.mtime, value) || value != mtime)
        return false;
    return keys.size.empty() || (ParseWhole(keys.size, value) && value == size);
}

} // namespace fotello
