// Window tests run on the offscreen platform with the scripted message seam.
#include "ui/app/application.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    lty::TApplication app(argc, argv);
    // What the windows remember (e.g. the compact grid) goes to a folder of
    // the run's own, never to the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    return RUN_ALL_TESTS();
}
