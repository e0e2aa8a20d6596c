// main() of the tests that need no display.
#include <gtest/gtest.h>

#include "test_env.h"

int main(int argc, char** argv) {
    SetTestEnvironmentDefaults();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
