#include "shell/kind_rules.h"

namespace fotello {

KindCommands KindCommandsFor(const std::string& s) {
    auto has = [&](const char* kind) { return s.find(kind) != std::string::npos; };
    if (has(".bmp"))
        return {false, true, true, true, true};
    if (has(".gif"))
        return {true, false, false, true, false};
    if (has(".jpg"))
        return {true, false, false, true, true};
    if (has(".ico"))
        return {true, false, false, true, true};
    if (has(".wmf") || has(".cur"))
        return {std::nullopt, std::nullopt, std::nullopt, false, false};
    return {};
}

} // namespace fotello
