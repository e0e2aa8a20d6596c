#pragma once
// A folder that opens but refuses its listing, even to root: /proc/1/map_files
// on kernels that guard it. Null where this machine has none.

#include <cerrno>
#include <dirent.h>

namespace fotello::test {

inline const char* UnreadableFolder() {
    const char* folder = "/proc/1/map_files";
    DIR* probe = ::opendir(folder);
    if (!probe)
        return nullptr;
    errno = 0;
    while (::readdir(probe)) {
    }
    const bool refused = errno == EACCES;
    ::closedir(probe);
    return refused ? folder : nullptr;
}

} // namespace fotello::test
