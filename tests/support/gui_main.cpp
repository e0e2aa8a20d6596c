// main() of the window tests: one QApplication for the whole program, on the
// offscreen platform unless another is asked for.
#include <QApplication>

#include <gtest/gtest.h>

#include "test_env.h"

int main(int argc, char** argv) {
    SetTestEnvironmentDefaults();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
