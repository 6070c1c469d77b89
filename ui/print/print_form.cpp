#include "ui/print/print_form.h"

#include "controls/report/report_paint.h"
#include "controls/report/report_pdf.h"
#include "core/data/data_module.h"
#include "core/data/records.h"
#include "core/print/print_rows.h"
#include "core/print/print_totals.h"
#include "ui/common/globals.h"
#include "ui/print/print_settings.h"
#include "ui/print/quotation_report.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QToolBar>

#include <exception>

namespace lty {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The title of `version` for a heading titled `title` for either version:
// only the title differs between the two.
std::string TitleFor(PrintVersion version, const std::string& title) {
    const QString house = Q(title).section(QStringLiteral("（"), 1);
    std::string result = version == PrintVersion::Crew ? "居室装修施工单" : "居室装修报价单";
    if (!house.isEmpty()) result += "（" + house.toStdString();
    return result;
}

} // namespace

PrintHeading CurrentPrintHeading(TDM& dm, PrintVersion version, const QuotationPrintSource& source) {
    // A designer's telephone not typed in the window comes from the designer page.
    TDesignerGrid designers;
    try {
        dm.FillDesignerGrid(designers);
    } catch (const std::exception&) {
        designers = {};
    }
    const QDate today = QDate::currentDate();
    return QuotationPrintHeading(version, source, CompanyInfo(), designers,
                                 Date{today.year(), today.month(), today.day()});
}

TFrmPrint::TFrmPrint(TDM& dm, QWidget* parent)
    : report::ReportPreview(parent), adoprint(dm.ADOMain), dm_(dm), version_(RememberedPrintVersion()) {
    setObjectName(QStringLiteral("TFrmPrint"));
    setWindowTitle(QStringLiteral("打印预览"));
    QuickRep1 = QuotationReport(version_);

    // The version on view, switched without leaving the preview.
    auto* caption = new QLabel(QStringLiteral("版本："), this);
    VersionBox = new QComboBox(this);
    VersionBox->setObjectName(QStringLiteral("VersionBox"));
    VersionBox->setAccessibleName(QStringLiteral("打印版本"));
    caption->setBuddy(VersionBox);
    for (PrintVersion v : {PrintVersion::Customer, PrintVersion::Crew})
        VersionBox->addItem(QString::fromUtf8(PrintVersionCaption(v)), static_cast<int>(v));
    VersionBox->setCurrentIndex(static_cast<int>(version_));
    QToolBar* bar = ToolBar();
    QAction* first = bar->actions().isEmpty() ? nullptr : bar->actions().front();
    bar->insertWidget(first, caption);
    bar->insertWidget(first, VersionBox);
    bar->insertSeparator(first);
    connect(VersionBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetVersion(static_cast<PrintVersion>(VersionBox->itemData(index).toInt())); });
}

TFrmPrint::~TFrmPrint() = default;

PrintedQuotation PrintedQuotationOf(TDM& dm, const QuotationPrintSource& source) {
    PrintedQuotation printed;
    if (!source.Grid) return printed;
    printed.Heading = CurrentPrintHeading(dm, PrintVersion::Customer, source);
    printed.Rows = QuotationPrintRows(*source.Grid);
    printed.Totals =
        QuotationPrintTotals(source.Grid->ProjectTotal(), source.OverheadText, source.TaxText, source.Grid->Terms());
    printed.Remark = QuotationRemark;
    return printed;
}

bool TFrmPrint::PreparePrintData(const QuotationPrintSource& source) {
    if (!source.Grid) {
        Messages().Show(kPrepareFailed);
        return false;
    }
    // The heading and the totals as the window shows them now, saved or not.
    return PrepareVersion(PrintedQuotationOf(dm_, source), Q(source.Customer));
}

bool TFrmPrint::PrepareVersion(const PrintedQuotation& printed, const QString& customer) {
    const auto fail = [this] {
        Messages().Show(kPrepareFailed);
        return false;
    };
    std::vector<TDM::PrintRowTexts> rows;
    for (const PrintRow& r : printed.Rows)
        rows.push_back({r.ItemName, r.DataName, r.DataPrice, r.DataCount, r.DataUnit, r.DataMemo, r.DataIndex, r.Datasum});
    if (!dm_.ReplacePrintData(rows)) return fail();

    // Read back the rows the report prints, in the order they went in.
    try {
        dm_.OpenPrintData(adoprint);
        table_ = PrintTable();
    } catch (const std::exception&) {
        return fail();
    }

    heading_ = printed.Heading;
    heading_.Title = TitleFor(version_, heading_.Title);
    totals_ = printed.Totals;
    QuickRep1 = QuotationReport(version_, totals_.HasDiscount());
    remark_ = Q(printed.Remark);
    customer_ = customer;
    prepared_ = true;
    LayOutVersion();
    return true;
}

void TFrmPrint::SetVersion(PrintVersion version) {
    if (VersionBox->currentIndex() != static_cast<int>(version)) {
        VersionBox->setCurrentIndex(static_cast<int>(version)); // comes back here through the box
        return;
    }
    if (version == version_) return;
    version_ = version;
    RememberPrintVersion(version);
    QuickRep1 = QuotationReport(version, totals_.HasDiscount());
    if (!prepared_) return;
    heading_.Title = TitleFor(version, heading_.Title);
    const int page = PageIndex();
    LayOutVersion();
    ShowPage(page);
}

void TFrmPrint::LayOutVersion() {
    const auto set = [this](const char* box, const std::string& text) {
        QuickRep1.SetText(QString::fromLatin1(box), Q(text));
    };
    set("QRLabel1", heading_.Company);
    set("CompanyContact", heading_.CompanyContact);
    set("QRLabel2", heading_.Title);
    set("ProjectNumber", heading_.ProjectNumber);
    set("QuotationDate", (version_ == PrintVersion::Crew ? "日期：" : "报价日期：") + heading_.Date);
    set("QRLabel9", heading_.Customer);
    set("QRLabel10", heading_.CustomerTel);
    set("QRLabel11", heading_.Designer);
    set("QRLabel12", heading_.DesignerTel);
    set("QRLabel13", heading_.Address);
    QuickRep1.SetText(QStringLiteral("QRRichText1"), remark_);
    set("QRLabel34", totals_.ProjectTotal);
    set("DiscountCaption", totals_.DiscountCaption);
    set("DiscountValue", totals_.Discount);
    set("QRLabel33", totals_.Overhead);
    set("QRLabel35", totals_.Tax);
    set("QRLabel36", totals_.Sum);
    set("CapitalsLabel", "合计人民币（大写）：" + totals_.SumInCapitals);
    SetReport(report::LayOut(QuickRep1, table_));
}

report::ReportTable TFrmPrint::PrintTable() {
    report::ReportTable table;
    table.Fields = kPrintFields + kPrintMarkFields;
    const int n = adoprint.RecordCount();
    table.Rows.reserve(static_cast<std::size_t>(n));
    std::vector<PrintRow> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (adoprint.First(); !adoprint.Eof(); adoprint.Next()) {
        std::vector<QVariant> row(11);
        PrintRow texts;
        std::string* text[] = {&texts.ItemName, &texts.DataName, &texts.DataPrice, &texts.DataCount,
                               &texts.DataUnit, &texts.DataMemo, &texts.DataIndex, &texts.Datasum};
        for (int f = 0; f < 8; ++f) *text[f] = adoprint.Fields(f).AsString();
        for (int f : {0, 1, 4, 5}) row[static_cast<std::size_t>(f)] = Q(*text[f]);
        for (int f : {2, 3, 6, 7}) row[static_cast<std::size_t>(f)] = adoprint.Fields(f).AsFloat();
        table.Rows.push_back(std::move(row));
        rows.push_back(std::move(texts));
    }
    const std::vector<PrintLineMark> marks = MarkPrintLines(rows);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        table.Rows[i][8] = marks[i].Shown;
        table.Rows[i][9] = marks[i].Number;
        table.Rows[i][10] = marks[i].GroupShown;
    }
    return table;
}

QString TFrmPrint::DocumentTitle() const {
    return customer_ + (version_ == PrintVersion::Crew ? QStringLiteral("施工单") : QStringLiteral("报价单"));
}

bool TFrmPrint::PrintTo(QPagedPaintDevice& device) const { return report::PaintReport(Pages(), device); }

bool TFrmPrint::WritePdf(const QString& path) const {
    return report::WritePdf(Pages(), path, DocumentTitle(), QString::fromUtf8(kApplicationTitle));
}

void TFrmPrint::ShowPreview() {
    show();
    raise();
    activateWindow();
}

} // namespace lty
