#include "platform/start_path.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace fotello {

namespace {

// Qt's command-line options that take the next argument as their value.
constexpr std::array<std::string_view, 14> kQtOptionsWithValue{
    "-platform",        "-platformpluginpath",
    "-platformtheme",   "-plugin",
    "-qwindowgeometry", "-qwindowtitle",
    "-qwindowicon",     "-style",
    "-stylesheet",      "-display",
    "-geometry",        "-title",
    "-session",         "-name"};

bool takesValue(std::string_view option) {
    if (option.rfind("--", 0) == 0)
        option.remove_prefix(1);
    for (auto o : kQtOptionsWithValue)
        if (option == o)
            return true;
    return false;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string normalised(const std::string& absolute) {
    std::vector<std::string_view> parts;
    std::string_view rest(absolute);
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (auto p : parts) {
        out += '/';
        out += p;
    }
    return out.empty() ? "/" : out;
}

} // namespace

std::string StartArgument(int argc, const char* const* argv) {
    std::string found;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (options && a == "--") {
            options = false;
        } else if (options && !a.empty() && a[0] == '-') {
            if (takesValue(a))
                ++i;
        } else {
            found = a;
        }
    }
    return found;
}

std::string AbsoluteStartPath(const std::string& arg, const std::string& cwd) {
    if (arg.empty())
        return {};
    std::string path = arg;
    constexpr std::string_view scheme = "file://";
    if (path.size() >= scheme.size() &&
        std::equal(scheme.begin(), scheme.end(), path.begin(),
                   [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); })) {
        // file:///p and file://localhost/p are ours; another host's file is not.
        std::string_view rest(path);
        rest.remove_prefix(scheme.size());
        const auto slash = rest.find('/');
        if (slash == std::string_view::npos)
            return {};
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && host != "localhost")
            return {};
        path = percentDecoded(rest.substr(slash));
    } else if (path.find("://") != std::string::npos && path.find('/') > path.find("://")) {
        return {}; // another scheme (http://...)
    }
    if (path[0] != '/')
        path = cwd + "/" + path;
    return normalised(path);
}

} // namespace fotello
