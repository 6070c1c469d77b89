// 岚庭雅装饰报价: start-up. The main window comes first (it records the
// program directory), then the data module, which connects to the database,
// then the upgrade of a database an older program made.
#include "core/data/data_module.h"
#include "core/upkeep/schema_upgrade.h"
#include "ui/common/application.h"
#include "ui/common/globals.h"
#include "ui/shell/main_window.h"

int main(int argc, char** argv) {
    lty::TApplication app(argc, argv);
    auto* frmMain = new lty::TFrmMain;
    lty::FrmMain = frmMain;
    lty::TDM dm(lty::Messages(), lty::ProgramDirectory);
    // Never a window on a database the upgrade could not finish: the reason is said.
    if (!lty::UpgradeAtStart(dm, lty::Messages())) {
        delete frmMain;
        lty::FrmMain = nullptr;
        return 1;
    }
    lty::DM = &dm;
    frmMain->showMaximized();
    const int rc = app.exec();
    delete frmMain;
    lty::FrmMain = nullptr;
    lty::DM = nullptr;
    return rc;
}
