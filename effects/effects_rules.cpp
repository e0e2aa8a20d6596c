#include "effects/effects_rules.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace fotello {

std::string FileExtension(std::string_view name, bool withDot) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos)
        return {};
    return std::string(name.substr(withDot ? dot : dot + 1));
}

namespace {

EffectsSaveKind KindNamed(std::string kind) {
    for (char& c : kind)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (kind == "bmp")
        return EffectsSaveKind::Bmp;
    if (kind == "ico")
        return EffectsSaveKind::Ico;
    if (kind == "jpg")
        return EffectsSaveKind::Jpg;
    return EffectsSaveKind::None;
}

std::string_view LastPart(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

EffectsSaveKind SaveKindFor(std::string_view imagePath) {
    return KindNamed(FileExtension(LastPart(imagePath), false));
}

EffectsSaveKind NamedKindOf(std::string_view fileName) {
    const std::string_view name = LastPart(fileName);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return EffectsSaveKind::None;
    const std::string suffix(name.substr(dot + 1));
    std::string lower = suffix;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return KindNamed(lower == "jpeg" ? "jpg" : lower);
}

std::string PictureFolder(std::string_view fullPath, std::string_view name) {
    // The name is matched at the end: a folder whose path holds "/name"
    // elsewhere must not be cut there (the save would write another file).
    if (name.empty() || fullPath.size() <= name.size() ||
        fullPath.substr(fullPath.size() - name.size()) != name)
        return {};
    const std::size_t slash = fullPath.size() - name.size() - 1;
    if (fullPath[slash] != '/')
        return {};
    return std::string(fullPath.substr(0, slash));
}

std::string FilterProgressText(int percent) {
    return "Filtro: " + std::to_string(percent) + "%";
}

std::optional<int> ParseGammaAnswer(std::string_view answer) {
    while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.front())))
        answer.remove_prefix(1);
    while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back())))
        answer.remove_suffix(1);
    if (answer.empty())
        return std::nullopt;
    std::size_t i = 0;
    if (answer[0] == '-' || answer[0] == '+')
        ++i;
    bool digits = false, dot = false;
    for (; i < answer.size(); ++i) {
        const char c = answer[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    // Not strtod: the locale's decimal separator must not change the answer.
    if (answer[0] == '+')
        answer.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(answer.data(), answer.data() + answer.size(), value);
    if (ec != std::errc() || end != answer.data() + answer.size())
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default mode: halves to even
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(rounded);
}

} // namespace fotello
