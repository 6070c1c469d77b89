#include "ui/admin/admin_commands.h"

#include "core/data/data_module.h"
#include "core/data/records.h"
#include "core/upkeep/backup.h"
#include "ui/admin/password_dialog.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/admin/system_window.h"
#include "ui/common/globals.h"

#include <QPointer>

namespace lty {
namespace {

QPointer<TFrmPassWord>& PassWordWindow() {
    static QPointer<TFrmPassWord> w;
    return w;
}

QPointer<TFrmSystem>& SystemWindow() {
    static QPointer<TFrmSystem> w;
    return w;
}

} // namespace

TFrmPassWord* FrmPassWord() { return PassWordWindow().data(); }
TFrmSystem* FrmSystem() { return SystemWindow().data(); }

void ReleaseAdminWindows() {
    CloseManagerSession();
    delete PassWordWindow().data();
    delete SystemWindow().data();
}

bool PasswordGuard(QWidget* owner) {
    PasswordAccepted = false;
    if (!PassWordWindow()) PassWordWindow() = new TFrmPassWord(owner);
    PassWordWindow()->exec();
    return PasswordAccepted;
}

void N20Click(QWidget* mainWindow, const AdminHooks& hooks) {
    if (!PasswordGuard(mainWindow)) return;
    // On a server the management pages write as the administrator.
    if (!OpenManagerSession(mainWindow)) return;
    if (!SystemWindow()) SystemWindow() = new TFrmSystem(mainWindow, hooks);
    SystemWindow()->SetHooks(hooks);
    // Already open: brought to the front as it is, unsaved entries and all.
    if (!SystemWindow()->isVisible()) SystemWindow()->show();
    SystemWindow()->raise();
    SystemWindow()->activateWindow();
}

void N25Click(QWidget* mainWindow, const AdminHooks& hooks) {
    if (!Messages().Ask("确认要清空所有的数据吗？", "询问")) return;
    if (!PasswordGuard(mainWindow)) return;
    // On a server the wipe runs as the administrator; a session opened
    // only for it closes again with it.
    const bool ownSession = !ManagerSessionOpen();
    if (!OpenManagerSession(mainWindow)) return;
    struct SessionEnd {
        bool Own;
        ~SessionEnd() {
            if (Own && !(FrmSystem() && FrmSystem()->isVisible())) CloseManagerSession();
        }
    } sessionEnd{ownSession};
    // Changes still open are saved (or dropped) before the copy is taken.
    if (!ProjectWindowsClosed(hooks)) return;
    // A wrong click must cost nothing: no wipe without a copy to go back to.
    const BackupResult backup = MakeBackup(AdminData());
    if (!backup.Ok) {
        Messages().Show("备份数据失败，未清空数据！");
        return;
    }
    if (!AdminData().ClearAllData()) {
        Messages().Show("操作失败！");
        return;
    }
    Messages().Show("操作成功！数据已备份到：" + backup.Path);
    ReloadAfterDataChange(hooks, false);
    // A management window left open would offer entries that are gone.
    if (TFrmSystem* w = FrmSystem(); w && w->isVisible()) w->FormShow();
}

void ReloadAfterDataChange(const AdminHooks& hooks, bool sharedValues) {
    if (hooks.RebuildProjectTree) hooks.RebuildProjectTree();
    if (hooks.RebuildCatalogTree) hooks.RebuildCatalogTree();
    if (sharedValues) {
        if (hooks.ReloadSharedValues) {
            hooks.ReloadSharedValues();
        } else {
            CompanyInfo() = DM->LoadCompanyInfo();
            DM->GetQuotationRemark(QuotationRemark);
        }
    }
}

} // namespace lty
