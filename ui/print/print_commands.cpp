#include "ui/print/print_commands.h"

#include "controls/report/report_paint.h"
#include "controls/report/report_pdf.h"
#include "core/print/print_rows.h"
#include "core/print/print_totals.h"
#include "core/print/quotation_workbook.h"
#include "ui/common/globals.h"
#include "ui/print/print_form.h"
#include "ui/print/print_settings.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include <vector>

namespace lty {
namespace {

QPointer<TFrmPrint> frmPrint;
QPointer<QMessageBox> exportNotice;

bool ShowPrinterDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    return dialog.exec() == QDialog::Accepted;
}

QString ShowPdfDialog(QWidget* parent, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("导出PDF"), proposed,
                                        QStringLiteral("PDF 文件 (*.pdf)"));
}

QString ShowWorkbookDialog(QWidget* parent, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("导出Excel"), proposed,
                                        QStringLiteral("Excel 工作簿 (*.xlsx)"));
}

// The chosen printer gets the prepared pages; the preview's button and the
// command share this.
void PrintPrepared(TFrmPrint& form, QPrinter& printer) { PrintPages(form.Pages(), form.DocumentTitle(), printer); }

void ExportPrepared(TFrmPrint& form, QWidget* parent) {
    QString path = PrintDialogs::ChoosePdfPath(parent, ProposedPdfPath(form.Customer(), form.Version()));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (!form.WritePdf(path)) {
        Messages().Show(kPdfWriteFailed);
        return;
    }
    RememberPdfFolder(QFileInfo(path).absolutePath());
    ShowExportNotice(parent, path);
}

// Takes the shortcut keys of the actions given back from the text field
// with the focus, when it lies in the action's window.
class ShortcutKeeper : public QObject {
public:
    std::vector<QPointer<QAction>> Actions;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QPointer<QAction>& action : Actions) {
            if (!action || !action->isEnabled() || action->shortcut() != pressed) continue;
            const auto* owner = qobject_cast<QWidget*>(action->parent());
            if (owner && owner->window() == widget->window()) {
                event->ignore();
                return true; // not overridden: the shortcut runs
            }
        }
        return false;
    }
};

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
std::function<QString(QWidget*, const QString&)> PrintDialogs::ChooseWorkbookPath = ShowWorkbookDialog;
std::function<void(const QString&)> PrintDialogs::OpenFolder = [](const QString& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
};

void PrintPages(const report::LaidOutReport& pages, const QString& title, QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        if (!report::WritePdf(pages, printer.outputFileName(), title, QString::fromUtf8(kApplicationTitle)))
            Messages().Show(kPdfWriteFailed);
        return;
    }
    printer.setDocName(title);
    if (!report::PaintReport(pages, printer)) Messages().Show(kPrintFailed);
}

// Says where the PDF went, without holding the user up: the box stays
// until closed, and 打开文件夹 shows the folder.
void ShowExportNotice(QWidget* parent, const QString& path) {
    if (exportNotice) exportNotice->close();
    auto* box = new QMessageBox(QMessageBox::Information, QString::fromUtf8(kApplicationTitle),
                                QString::fromUtf8(kExported) + QDir::toNativeSeparators(path), QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("ExportNotice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton* open = box->addButton(QStringLiteral("打开文件夹"), QMessageBox::ActionRole);
    open->setObjectName(QStringLiteral("OpenFolder"));
    // With two buttons the box knows no escape button and would refuse Esc
    // and the title bar's close: OK is the way out.
    box->setEscapeButton(box->button(QMessageBox::Ok));
    const QString folder = QFileInfo(path).absolutePath();
    QObject::connect(open, &QPushButton::clicked, box, [folder] { PrintDialogs::OpenFolder(folder); });
    exportNotice = box;
    box->open();
}

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

void ExportQuotationWorkbook(QWidget* parent, const QuotationPrintSource* source) {
    if (!HasSource(source)) return;
    const PrintVersion version = ChosenPrintVersion();
    QString path = PrintDialogs::ChooseWorkbookPath(
        parent, ProposedWorkbookPath(QString::fromStdString(source->Customer), version));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) path += QStringLiteral(".xlsx");
    if (!WriteQuotationWorkbookOf(*source, version, path)) {
        Messages().Show(kWorkbookWriteFailed);
        return;
    }
    RememberPdfFolder(QFileInfo(path).absolutePath());
    ShowExportNotice(parent, path);
}

bool WriteQuotationWorkbookOf(const QuotationPrintSource& source, PrintVersion version, const QString& path) {
    if (!source.Grid || !DM) return false;
    QuotationWorkbook workbook;
    workbook.Version = version;
    workbook.Heading = CurrentPrintHeading(*DM, version, source);
    workbook.Rows = QuotationPrintRows(*source.Grid);
    workbook.Totals =
        QuotationPrintTotals(source.Grid->ProjectTotal(), source.OverheadText, source.TaxText, source.Grid->Terms());
    workbook.Remark = QuotationRemark;
    return WriteQuotationWorkbook(path.toStdString(), workbook);
}

QString ProposedWorkbookPath(const QString& customer, PrintVersion version) {
    return ProposedPdfPath(customer, version).chopped(4) + QStringLiteral(".xlsx");
}

QString ProposedPdfPath(const QString& customer, PrintVersion version) {
    QString name = customer.trimmed();
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32) c = '_';
    QString dir = LastPdfFolder();
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A documents folder that was never made would leave the dialog elsewhere.
    if (dir.isEmpty() || !QDir(dir).exists()) dir = QDir::homePath();
    return QDir(dir).filePath(name + (version == PrintVersion::Crew ? QStringLiteral("施工单.pdf")
                                                                    : QStringLiteral("报价单.pdf")));
}

PrintVersion ChosenPrintVersion() { return frmPrint ? frmPrint->Version() : RememberedPrintVersion(); }

void ChoosePrintVersion(PrintVersion version) {
    if (frmPrint)
        frmPrint->SetVersion(version);
    else
        RememberPrintVersion(version);
}

QMenu* NewPrintVersionMenu(QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("打印版本"), parent);
    menu->setObjectName(QStringLiteral("PrintVersionMenu"));
    auto* group = new QActionGroup(menu);
    for (PrintVersion v : {PrintVersion::Customer, PrintVersion::Crew}) {
        QAction* a = menu->addAction(QString::fromUtf8(PrintVersionCaption(v)));
        a->setObjectName(v == PrintVersion::Crew ? QStringLiteral("ActCrewVersion")
                                                 : QStringLiteral("ActCustomerVersion"));
        a->setCheckable(true);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [v] { ChoosePrintVersion(v); });
    }
    // The choice may have changed in the preview since: shown as it stands.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] {
        const auto actions = menu->actions();
        actions[static_cast<int>(ChosenPrintVersion())]->setChecked(true);
    });
    menu->actions()[static_cast<int>(ChosenPrintVersion())]->setChecked(true);
    return menu;
}

void KeepShortcutFromTextFields(QAction* action) {
    static QPointer<ShortcutKeeper> keeper;
    if (!keeper) {
        keeper = new ShortcutKeeper;
        keeper->setParent(qApp);
        qApp->installEventFilter(keeper);
    }
    keeper->Actions.emplace_back(action);
}

QMessageBox* ExportNotice() { return exportNotice; }

} // namespace lty
