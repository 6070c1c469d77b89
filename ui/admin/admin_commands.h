// The main window's two guarded commands of the menu "系统管理", and the
// password guard they share. The main window calls
//   N20Click(this, hooks)  for "系统管理"
//   N25Click(this, hooks)  for "系统初始化"
// with hooks that rebuild its project and catalog trees.
#pragma once

#include "ui/admin/admin_hooks.h"

class QWidget;

namespace lty {

class TFrmPassWord;
class TFrmSystem;

// Clears PasswordAccepted, shows the password dialog modally (created on
// first use and kept) and answers PasswordAccepted.
bool PasswordGuard(QWidget* owner);

// "系统管理": the guard, then the management window, not modally, above
// `mainWindow`; created on first use and kept.
void N20Click(QWidget* mainWindow, const AdminHooks& hooks);

// "系统初始化": the question, the guard, a backup of everything, then the
// reset of catalog, prices, projects and print rows, and both trees rebuilt.
// Without a backup nothing is wiped.
void N25Click(QWidget* mainWindow, const AdminHooks& hooks);

// After the data changed underneath the windows: both trees of the main
// window rebuilt and, with `sharedValues`, CompanyInfo and QuotationRemark
// read again.
void ReloadAfterDataChange(const AdminHooks& hooks, bool sharedValues);

// The kept windows, or null before their first use.
TFrmPassWord* FrmPassWord();
TFrmSystem* FrmSystem();
// Frees the kept windows (the end of the program, and between tests).
void ReleaseAdminWindows();

} // namespace lty
