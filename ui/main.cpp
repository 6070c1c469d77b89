// 岚庭雅装饰报价: start-up. The main window comes first (it records the
// program directory), then the data module, which connects to the database.
#include "core/data/data_module.h"
#include "ui/common/application.h"
#include "ui/common/globals.h"
#include "ui/shell/main_window.h"

int main(int argc, char** argv) {
    lty::TApplication app(argc, argv);
    auto* frmMain = new lty::TFrmMain;
    lty::FrmMain = frmMain;
    lty::TDM dm(lty::Messages(), lty::ProgramDirectory);
    lty::DM = &dm;
    frmMain->showMaximized();
    const int rc = app.exec();
    delete frmMain;
    lty::FrmMain = nullptr;
    lty::DM = nullptr;
    return rc;
}
