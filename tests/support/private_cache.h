#pragma once
// Tests and benchmarks that open the main window write thumbnail cache entries:
// into a folder of their own for the run, never the user's ~/.cache. Call
// once, first in main().

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fotello::test_env {

inline void UsePrivateThumbnailCache() {
    static char folder[256] = "";
    const std::string pattern =
        (std::filesystem::temp_directory_path() / "fotello-cache-XXXXXX").string();
    if (pattern.size() >= sizeof folder || !::mkdtemp(std::strcpy(folder, pattern.c_str())))
        std::abort();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    ::setenv("XDG_CACHE_HOME", folder, 1);
}

} // namespace fotello::test_env
