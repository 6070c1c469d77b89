#include "ui/print/print_form.h"

#include "controls/report/report_paint.h"
#include "controls/report/report_pdf.h"
#include "core/data/data_module.h"
#include "core/data/records.h"
#include "core/print/print_rows.h"
#include "core/print/print_totals.h"
#include "ui/app/globals.h"
#include "ui/print/quotation_report.h"

#include <QPagedPaintDevice>

#include <exception>

namespace lty {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TFrmPrint::TFrmPrint(TDM& dm, QWidget* parent)
    : report::ReportPreview(parent), QuickRep1(QuotationReport()), adoprint(dm.ADOMain), dm_(dm) {
    setObjectName(QStringLiteral("TFrmPrint"));
    setWindowTitle(QStringLiteral("打印预览"));
}

TFrmPrint::~TFrmPrint() = default;

bool TFrmPrint::PreparePrintData(const QuotationPrintSource& source) {
    const auto fail = [this] {
        Messages().Show(kPrepareFailed);
        return false;
    };
    if (!source.Grid) return fail();

    std::vector<TDM::PrintRowTexts> rows;
    for (PrintRow& r : QuotationPrintRows(*source.Grid))
        rows.push_back({std::move(r.ItemName), std::move(r.DataName), std::move(r.DataPrice), std::move(r.DataCount),
                        std::move(r.DataUnit), std::move(r.DataMemo), std::move(r.DataIndex), std::move(r.Datasum)});
    if (!dm_.ReplacePrintData(rows)) return fail();

    // Read back the rows the report prints, in the order they went in.
    report::ReportTable table;
    try {
        dm_.OpenPrintData(adoprint);
        table = PrintTable();
    } catch (const std::exception&) {
        return fail();
    }

    // The heading and the totals as the window shows them now, saved or not.
    QuickRep1.SetText(QStringLiteral("QRLabel1"), Q(CompanyInfo().Name));
    QuickRep1.SetText(QStringLiteral("QRLabel9"), Q(source.Customer));
    QuickRep1.SetText(QStringLiteral("QRLabel10"), Q(source.CustomerTel));
    QuickRep1.SetText(QStringLiteral("QRLabel11"), Q(source.Designer));
    QuickRep1.SetText(QStringLiteral("QRLabel12"), Q(source.DesignerTel));
    QuickRep1.SetText(QStringLiteral("QRLabel13"), Q(source.Address));
    QuickRep1.SetText(QStringLiteral("QRRichText1"), Q(QuotationRemark));
    const PrintTotals totals = QuotationPrintTotals(source.Grid->ProjectTotal(), source.OverheadText, source.TaxText);
    QuickRep1.SetText(QStringLiteral("QRLabel34"), Q(totals.ProjectTotal));
    QuickRep1.SetText(QStringLiteral("QRLabel33"), Q(totals.Overhead));
    QuickRep1.SetText(QStringLiteral("QRLabel35"), Q(totals.Tax));
    QuickRep1.SetText(QStringLiteral("QRLabel36"), Q(totals.Sum));
    QuickRep1.SetText(QStringLiteral("CapitalsLabel"),
                      QStringLiteral("合计人民币（大写）：") + Q(totals.SumInCapitals));

    customer_ = Q(source.Customer);
    SetReport(report::LayOut(QuickRep1, table));
    prepared_ = true;
    return true;
}

report::ReportTable TFrmPrint::PrintTable() {
    report::ReportTable table;
    table.Fields = kPrintFields;
    const int n = adoprint.RecordCount();
    table.Rows.reserve(static_cast<std::size_t>(n));
    for (adoprint.First(); !adoprint.Eof(); adoprint.Next()) {
        std::vector<QVariant> row(8);
        for (int f : {0, 1, 4, 5}) row[static_cast<std::size_t>(f)] = Q(adoprint.Fields(f).AsString());
        for (int f : {2, 3, 6, 7}) row[static_cast<std::size_t>(f)] = adoprint.Fields(f).AsFloat();
        table.Rows.push_back(std::move(row));
    }
    return table;
}

QString TFrmPrint::DocumentTitle() const { return customer_ + QStringLiteral("报价单"); }

bool TFrmPrint::PrintTo(QPagedPaintDevice& device) const { return report::PaintReport(Pages(), device); }

bool TFrmPrint::WritePdf(const QString& path) const {
    return report::WritePdf(Pages(), path, DocumentTitle(), QString::fromUtf8(kApplicationTitle));
}

void TFrmPrint::ShowPreview() {
    ShowPage(0);
    show();
    raise();
    activateWindow();
}

} // namespace lty
