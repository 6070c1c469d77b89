#include "ui/print/print_commands.h"

#include "ui/app/globals.h"
#include "ui/print/print_form.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace lty {
namespace {

QPointer<TFrmPrint> frmPrint;

bool ShowPrinterDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    return dialog.exec() == QDialog::Accepted;
}

QString ShowPdfDialog(QWidget* parent, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("导出PDF"), proposed,
                                        QStringLiteral("PDF 文件 (*.pdf)"));
}

// The chosen printer gets the prepared pages; the preview's button and the
// command share this.
void PrintPrepared(TFrmPrint& form, QPrinter& printer) {
    // "Print to file" as PDF takes the export's way, whose text stays searchable.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        if (!form.WritePdf(printer.outputFileName())) Messages().Show(kPdfWriteFailed);
        return;
    }
    printer.setDocName(form.DocumentTitle());
    if (!form.PrintTo(printer)) Messages().Show(kPrintFailed);
}

void ExportPrepared(TFrmPrint& form, QWidget* parent) {
    QString path = PrintDialogs::ChoosePdfPath(parent, ProposedPdfPath(form.Customer()));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (!form.WritePdf(path)) Messages().Show(kPdfWriteFailed);
}

bool HasSource(const QuotationPrintSource* source) {
    if (!source) Messages().Show(kNoProjectToPrint);
    return source != nullptr;
}

// The form with the source prepared, or none when the preparation failed
// (it has said so).
TFrmPrint* Prepared(QWidget* parent, const QuotationPrintSource& source) {
    TFrmPrint& form = FrmPrint(parent);
    return form.PreparePrintData(source) ? &form : nullptr;
}

} // namespace

std::function<bool(QPrinter&, QWidget*)> PrintDialogs::ChoosePrinter = ShowPrinterDialog;
std::function<QString(QWidget*, const QString&)> PrintDialogs::ChoosePdfPath = ShowPdfDialog;

TFrmPrint& FrmPrint(QWidget* parent) {
    // A form made on another data module (a test's, since gone) is replaced.
    if (frmPrint && DM && &frmPrint->DataModule() != DM) delete frmPrint.data();
    if (!frmPrint) {
        frmPrint = new TFrmPrint(*DM, parent);
        QObject::connect(frmPrint, &TFrmPrint::PrintRequested, frmPrint, [] {
            QPrinter printer(QPrinter::HighResolution);
            if (PrintDialogs::ChoosePrinter(printer, frmPrint)) PrintPrepared(*frmPrint, printer);
        });
        QObject::connect(frmPrint, &TFrmPrint::PdfRequested, frmPrint, [] { ExportPrepared(*frmPrint, frmPrint); });
    }
    return *frmPrint;
}

void PrintQuotation(QWidget* parent, const QuotationPrintSource* source) {
    if (!HasSource(source)) return;
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintDialogs::ChoosePrinter(printer, parent)) return;
    if (TFrmPrint* form = Prepared(parent, *source)) PrintPrepared(*form, printer);
}

void PreviewQuotation(QWidget* parent, const QuotationPrintSource* source) {
    if (!HasSource(source)) return;
    if (TFrmPrint* form = Prepared(parent, *source)) form->ShowPreview();
}

void ExportQuotationPdf(QWidget* parent, const QuotationPrintSource* source) {
    if (!HasSource(source)) return;
    if (TFrmPrint* form = Prepared(parent, *source)) ExportPrepared(*form, parent);
}

QString ProposedPdfPath(const QString& customer) {
    QString name = customer.trimmed();
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32) c = '_';
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A documents folder that was never made would leave the dialog elsewhere.
    if (dir.isEmpty() || !QDir(dir).exists()) dir = QDir::homePath();
    return QDir(dir).filePath(name + QStringLiteral("报价单.pdf"));
}

} // namespace lty
