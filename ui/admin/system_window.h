// The system-management window: catalog, prices, password, company,
// designers and backups, one page each. Opened behind the password guard,
// created on first use and only hidden when closed.
#pragma once

#include "ui/admin/admin_hooks.h"

#include <QWidget>

class QStatusBar;
class QTabWidget;

namespace lty {

class TBackupPage;
class TCatalogPage;
class TCompanyPage;
class TDesignerPage;
class TPasswordPage;
class TPricePage;

class TFrmSystem : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window, above which this window stays.
    explicit TFrmSystem(QWidget* owner = nullptr, AdminHooks hooks = {});
    void SetHooks(AdminHooks hooks) { hooks_ = std::move(hooks); }

    QTabWidget* PageControl1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    TCatalogPage* TabSheet2 = nullptr;  // 装修项目分类管理
    TPricePage* TabSheet3 = nullptr;    // 报价管理
    TPasswordPage* TabSheet1 = nullptr; // 修改密码
    TCompanyPage* TabSheet4 = nullptr;  // 公司资料管理
    TDesignerPage* TabSheet5 = nullptr; // 设计师资料管理
    TBackupPage* TabSheet6 = nullptr;   // 数据备份

    // Every showing reads the trees, the name lists, the designers and the
    // backups again, and shows CompanyInfo.
    void FormShow();
    // The main window's catalog tree is rebuilt, so changes show there.
    void FormClose();
    void RebuildCatalogTrees();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Restored();

    AdminHooks hooks_;
};

} // namespace lty
