// The main window's printing commands and the two guarded commands of the
// menu "系统管理".
#include "ui/admin/admin_commands.h"
#include "ui/admin/admin_hooks.h"
#include "ui/shell/main_window.h"
#include "ui/print/print_commands.h"
#include "ui/quotation/project_window.h"

#include <optional>

namespace lty {
namespace {

// The active project window's print source, taken at the moment of the
// command, or none (the command then says there is nothing to print).
template <class Command>
void WithPrintSource(TFrmMain* main, Command command) {
    std::optional<QuotationPrintSource> source;
    if (TFrmProject_Detail* window = main->ActiveProjectWindow()) {
        // Tool-bar buttons take no focus, so a cell still being typed in must
        // be written first, or the paper would miss what the screen shows.
        window->FinishGridEdit();
        source = window->PrintSource();
    }
    command(main, source ? &*source : nullptr);
}

} // namespace

void TFrmMain::ActPrintExecute() { WithPrintSource(this, PrintQuotation); }
void TFrmMain::ActPreviewExecute() { WithPrintSource(this, PreviewQuotation); }
void TFrmMain::ActExportPdfExecute() { WithPrintSource(this, ExportQuotationPdf); }
void TFrmMain::ActExportExcelExecute() { WithPrintSource(this, ExportQuotationWorkbook); }

AdminHooks TFrmMain::AdminCallbacks() {
    AdminHooks hooks;
    hooks.RebuildProjectTree = [this] { ReloadProjectTree(); };
    hooks.RebuildCatalogTree = [this] { ReloadCatalogTree(); };
    hooks.ReloadSharedValues = [this] { ReloadCompanyAndRemark(); };
    hooks.CloseProjectWindows = [this] { return CloseProjectWindows(); };
    return hooks;
}

void TFrmMain::N20Click() { lty::N20Click(this, AdminCallbacks()); }
void TFrmMain::N25Click() { lty::N25Click(this, AdminCallbacks()); }

bool TFrmMain::CloseProjectWindows() {
    // All asked before any closes: a Cancel on the last keeps the others too.
    const auto windows = ProjectWindows();
    for (TFrmProject_Detail* w : windows)
        if (!w->ConfirmClose()) return false;
    for (TFrmProject_Detail* w : windows) w->CloseWithoutAsking();
    return true;
}

} // namespace lty
