// The print commands of the main window: 打印 (ActPrint), 打印预览
// (ActPreview) and 导出PDF. Each takes the active project window's print
// source, or none when no project window is active.
#pragma once

#include "ui/print/print_source.h"

#include <QString>

#include <functional>

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
// "<客户名称>报价单.pdf" in the documents folder, then the PDF.
void ExportQuotationPdf(QWidget* parent, const QuotationPrintSource* source);

// The file a PDF export proposes; characters a file name cannot hold become '_'.
QString ProposedPdfPath(const QString& customer);

// The two dialogs the commands open, replaceable so tests never block.
struct PrintDialogs {
    // Shows the printer dialog for `printer`; true when the user chose to print.
    static std::function<bool(QPrinter& printer, QWidget* parent)> ChoosePrinter;
    // Shows the save dialog; the chosen path, or empty when cancelled.
    static std::function<QString(QWidget* parent, const QString& proposed)> ChoosePdfPath;
};

} // namespace lty
