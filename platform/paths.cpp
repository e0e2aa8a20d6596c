#include "platform/paths.h"

namespace fotello {

std::string WithSeparator(const std::string& folder) {
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + '/';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return "/" + name;
    return WithSeparator(folder) + name;
}

} // namespace fotello
