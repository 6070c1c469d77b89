// The print commands of the main window: 打印 (ActPrint), 打印预览
// (ActPreview), 导出PDF and 导出Excel. Each takes the active project window's print
// source, or none when no project window is active.
#pragma once

#include "controls/report/report.h"
#include "core/print/print_sheet.h"
#include "core/print/print_source.h"

#include <QString>

#include <functional>

class QAction;
class QMenu;
class QMessageBox;
class QPrinter;
class QWidget;

namespace lty {

class TFrmPrint;

// The report form, created on first use (as a child of `parent`) and kept.
TFrmPrint& FrmPrint(QWidget* parent = nullptr);

// 打印: "请选择要打印的工程！" without a source; then the printer dialog; if
// it is accepted, the preparation and the printout.
void PrintQuotation(QWidget* parent, const QuotationPrintSource* source);
// 打印预览: the preparation, then the preview window "打印预览".
void PreviewQuotation(QWidget* parent, const QuotationPrintSource* source);
// 导出PDF: the preparation, then a save dialog proposing
// "<客户名称>报价单.pdf" (施工单 for the crew) in the folder of the last
// export, else the documents folder, then the PDF and a notice of where it went.
void ExportQuotationPdf(QWidget* parent, const QuotationPrintSource* source);

// 导出Excel: a save dialog proposing "<客户名称>报价单.xlsx" (施工单 for the
// crew) in the folder of the last export, then the workbook of the chosen
// version and the same notice as the PDF's. Takes the window as it stands,
// without touching the print rows of the database.
void ExportQuotationWorkbook(QWidget* parent, const QuotationPrintSource* source);
// The workbook of `source` in `version` at `path`; false when it could not be
// written (nothing is left there then).
bool WriteQuotationWorkbookOf(const QuotationPrintSource& source, PrintVersion version, const QString& path);

// The file a PDF export proposes; characters a file name cannot hold become '_'.
QString ProposedPdfPath(const QString& customer, PrintVersion version = PrintVersion::Customer);
// The same for a workbook, ending in .xlsx.
QString ProposedWorkbookPath(const QString& customer, PrintVersion version = PrintVersion::Customer);

// The version the three commands print: the one last chosen, in the menu
// below or in the preview, remembered between runs.
PrintVersion ChosenPrintVersion();
void ChoosePrintVersion(PrintVersion version);
// A menu "打印版本" with the two versions as a radio group, for the main
// window's menu and its print buttons; it follows the choice wherever made.
QMenu* NewPrintVersionMenu(QWidget* parent);

// Lets `action`'s shortcut work while a text field of its window has the
// focus, instead of the field taking the key (Ctrl+E: end of line).
void KeepShortcutFromTextFields(QAction* action);

// The notice after an export: "已导出：" and the path, with 打开文件夹.
inline constexpr const char* kExported = "已导出：";
void ShowExportNotice(QWidget* parent, const QString& path);
// Laid-out pages to the printer the user chose; "print to file" as PDF
// takes the export's way, whose text stays searchable. Says when it failed.
void PrintPages(const report::LaidOutReport& pages, const QString& title, QPrinter& printer);
QMessageBox* ExportNotice(); // the one on screen, if any

// The two dialogs the commands open, replaceable so tests never block.
struct PrintDialogs {
    // Shows the printer dialog for `printer`; true when the user chose to print.
    static std::function<bool(QPrinter& printer, QWidget* parent)> ChoosePrinter;
    // Shows the save dialog; the chosen path, or empty when cancelled.
    static std::function<QString(QWidget* parent, const QString& proposed)> ChoosePdfPath;
    static std::function<QString(QWidget* parent, const QString& proposed)> ChooseWorkbookPath;
    // Opens a folder in the desktop's file manager.
    static std::function<void(const QString& folder)> OpenFolder;
};

} // namespace lty
