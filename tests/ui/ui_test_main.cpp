// Window tests run on the offscreen platform with the scripted message seam.
#include "tests/core/test_database.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/common/application.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Settings and folders of their own, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    lty::TApplication app(argc, argv);
    // The test mode's settings folder is one per user, shared by every test
    // program running at the same time (ctest -j): one switching the printed
    // version to the crew's would change what another prints. Each program
    // keeps its settings to itself: what the windows remember (the printed
    // version, the compact grid) goes to a folder of the run's own, in either
    // format they are kept in.
    QTemporaryDir settings;
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());
    // On the server the management window logs in as the test databases'
    // administrator without asking; the test of that login clears this.
    if (lty::test::TestOnServer()) lty::SetPresetManagerLogin(lty::ManagerLogin{"lty_admin", "test"});
    return RUN_ALL_TESTS();
}
