#pragma once
// Where the tests find the build's programs and the test pictures, unless the
// environment says otherwise.

#include "tests/support/private_cache.h"

#include <cstdlib>

inline void SetTestEnvironmentDefaults() {
    ::setenv("FOTELLO_BIN_DIR", FOTELLO_BIN_DIR_DEFAULT, 0);
    ::setenv("FOTELLO_TEST_DATA", FOTELLO_TEST_DATA_DEFAULT, 0);
    // Never the developer's own per-user settings.
    ::setenv("XDG_CONFIG_HOME", "/nonexistent/fotello-tests-config", 1);
    fotello::test_env::UsePrivateThumbnailCache();
}
