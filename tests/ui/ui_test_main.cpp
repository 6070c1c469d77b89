// Window tests run on the offscreen platform with the scripted message seam.
#include "ui/app/application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    lty::TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
