// Window tests run on the offscreen platform with the scripted message seam.
#include "ui/app/application.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Settings and folders of their own, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    lty::TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
