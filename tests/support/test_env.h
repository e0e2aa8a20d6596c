#pragma once
// Where the tests find the build's programs and the test pictures, unless the
// environment says otherwise.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

inline void SetTestEnvironmentDefaults() {
    ::setenv("FOTELLO_BIN_DIR", FOTELLO_BIN_DIR_DEFAULT, 0);
    ::setenv("FOTELLO_TEST_DATA", FOTELLO_TEST_DATA_DEFAULT, 0);
    // Never the developer's own per-user settings.
    ::setenv("XDG_CONFIG_HOME", "/nonexistent/fotello-tests-config", 1);
    // --- Thumbnail cache: a fresh one per run, never the user's ~/.cache ---
    static char cache[256] = "";
    if (cache[0] == '\0') {
        const std::string pattern =
            (std::filesystem::temp_directory_path() / "fotello-tests-cache-XXXXXX").string();
        if (pattern.size() >= sizeof cache || !::mkdtemp(std::strcpy(cache, pattern.c_str())))
            std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(cache, ignored);
        });
    }
    ::setenv("XDG_CACHE_HOME", cache, 1);
    // --- end of thumbnail cache ---
}
