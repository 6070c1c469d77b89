#include "ui/print/quotation_report.h"

#include "core/text/number_text.h"

namespace lty {
namespace {

using report::Band;
using report::Box;
using report::BoxKind;
using report::Rule;

constexpr double kWidth = 190; // A4 less two 10 mm margins
const QColor kLightGrey(0xE8, 0xE8, 0xE8);
constexpr double kTextRow = 5.3; // one 10 pt line with a little air
constexpr double kPad = 1.0;     // text to the column's rule
constexpr double kLineTop = 0.5; // a line's text below its top rule
constexpr double kLineHeight = 5.1; // one 10 pt line of the CJK face

// The columns of the lines, left to right, by their rules.
const std::vector<double> kCustomerRules{0, 9, 45, 119, 134, 147, 166, kWidth};
const std::vector<double> kCrewRules{0, 9, 50, 160, 176, kWidth};
enum Column { Index, Name, Memo, Count, Unit, Price, Amount };

QFont ReportFont(double points, bool bold = false) {
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"), QStringLiteral("sans-serif")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

Box Label(const QString& name, const QString& text, double left, double top, double width = 0, double height = kTextRow,
          Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    Box b;
    b.Name = name;
    b.Text = text;
    b.Rect = QRectF(left, top, width > 0 ? width : 40, height);
    b.Align = align;
    return b;
}

// A value of the heading: never wider than its place.
Box Value(const QString& name, double left, double top, double width, double height,
          Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    Box b = Label(name, {}, left, top, width, height, align);
    b.ShrinkToFit = true;
    return b;
}

Rule Vertical(double x, double top, double bottom) { return {QLineF(x, top, x, bottom)}; }
Rule Horizontal(double y, double left = 0, double right = kWidth) { return {QLineF(left, y, right, y)}; }

QString GeneralNumber(const QVariant& v) { return QString::fromStdString(FloatToStr(v.toDouble())); }
QString TwoDecimals(const QVariant& v) { return QString::fromStdString(FormatTwoDecimals(v.toDouble())); }

const std::vector<double>& RulesOf(PrintVersion version) {
    return version == PrintVersion::Crew ? kCrewRules : kCustomerRules;
}

// The text area of column `c`: between its rules, less the padding.
QRectF Cell(PrintVersion version, int c, double top = kLineTop, double height = kLineHeight) {
    const auto& rules = RulesOf(version);
    return QRectF(rules[c] + kPad, top, rules[c + 1] - rules[c] - 2 * kPad, height);
}

Band TitleBand(PrintVersion version) {
    Band band;
    band.Name = QStringLiteral("TitleBand1");
    band.Height = 50;
    Box company = Value(QStringLiteral("QRLabel1"), 0, 2, kWidth, 10, Qt::AlignCenter);
    company.Text = QStringLiteral("公司");
    company.Font = ReportFont(22, true);
    band.Boxes.push_back(company);
    Box contact = Value(QStringLiteral("CompanyContact"), 0, 12.2, kWidth, 4.8, Qt::AlignCenter);
    contact.Font = ReportFont(9);
    band.Boxes.push_back(contact);
    Box heading = Value(QStringLiteral("QRLabel2"), 0, 18, kWidth, 9.5, Qt::AlignCenter);
    heading.Text = QString::fromUtf8(version == PrintVersion::Crew ? "居室装修施工单" : "居室装修报价单");
    heading.Font = ReportFont(18, true);
    band.Boxes.push_back(heading);

    // 工程编号 on the left, the date on the right, just above the customer box.
    const double numbers = 28.4;
    band.Boxes.push_back(Label({}, QStringLiteral("工程编号："), 1.3, numbers, 18));
    band.Boxes.push_back(Value(QStringLiteral("ProjectNumber"), 19.3, numbers, 80, kTextRow));
    band.Boxes.push_back(Value(QStringLiteral("QuotationDate"), 110, numbers, 79, kTextRow,
                               Qt::AlignRight | Qt::AlignVCenter));

    // The customer box: two rows of caption and value.
    const double top = 34, middle = 41.1, bottom = 48.2;
    const double h1 = middle - top, h2 = bottom - middle;
    band.Boxes.push_back(Label({}, QStringLiteral("客户姓名："), 1.3, top, 18, h1));
    band.Boxes.push_back(Value(QStringLiteral("QRLabel9"), 19.3, top, 38.7, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("联系电话："), 59, top, 18, h1));
    band.Boxes.push_back(Value(QStringLiteral("QRLabel10"), 77, top, 27, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("设计师："), 105, top, 14.5, h1));
    band.Boxes.push_back(Value(QStringLiteral("QRLabel11"), 119.5, top, 28.5, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("联系电话："), 149, top, 18, h1));
    band.Boxes.push_back(Value(QStringLiteral("QRLabel12"), 167, top, 22.5, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("施工地点："), 1.3, middle, 18, h2));
    band.Boxes.push_back(Value(QStringLiteral("QRLabel13"), 19.3, middle, 169.7, h2));
    band.Rules = {Horizontal(top), Horizontal(middle), Horizontal(bottom), Vertical(0, top, bottom),
                  Vertical(kWidth, top, bottom)};
    return band;
}

// The column headings: under the title on the first page, at the top of
// every later one. Their rules meet the lines' rules below them.
Band ColumnHeaderBand(PrintVersion version) {
    Band band;
    band.Name = QStringLiteral("ColumnHeader");
    band.Height = 6.8;
    band.Frame = true;
    const double h = band.Height;
    const auto& rules = RulesOf(version);
    const char* customer[] = {"序号", "项目名称", "工艺做法及说明", "数量", "单位", "单价", "合计"};
    const char* crew[] = {"序号", "项目名称", "工艺做法及说明", "数量", "单位"};
    for (std::size_t c = 0; c + 1 < rules.size(); ++c) {
        const char* caption = version == PrintVersion::Crew ? crew[c] : customer[c];
        band.Boxes.push_back(Label({}, QString::fromUtf8(caption), rules[c], 0, rules[c + 1] - rules[c], h,
                                   Qt::AlignCenter));
    }
    for (std::size_t c = 1; c + 1 < rules.size(); ++c) band.Rules.push_back(Vertical(rules[c], 0, h));
    return band;
}

Band GroupHeaderBand(const QString& name, const QString& suffix) {
    Band band;
    band.Name = name;
    band.Height = 6.1;
    band.Frame = true;
    Box room = Label(name == QStringLiteral("QRGroup1") ? QStringLiteral("QRDBText1") : QString(),
                     QStringLiteral("ItemName"), 1.1, 0, 187, band.Height);
    room.Kind = BoxKind::Field;
    room.ShrinkToFit = true;
    room.Font = ReportFont(10, true);
    if (!suffix.isEmpty()) room.Format = [suffix](const QVariant& v) { return v.toString() + suffix; };
    band.Boxes.push_back(room);
    return band;
}

Box LineField(const QString& name, const QString& field, const QRectF& area, Qt::Alignment align) {
    Box b;
    b.Name = name;
    b.Kind = BoxKind::Field;
    b.Text = field;
    b.Rect = area;
    b.Align = align;
    return b;
}

// A text that wraps inside its column and makes the line as tall as it needs.
Box Wrapped(Box b) {
    b.WordWrap = true;
    b.Grows = true;
    return b;
}

// A figure, right-aligned on its column's edge, never cut.
Box Figure(Box b) {
    b.Align = Qt::AlignRight | Qt::AlignTop;
    b.ShrinkToFit = true;
    return b;
}

// One line: as tall as its wrapped name, memo or unit, at least one text line.
Band DetailBand(PrintVersion version) {
    Band band;
    band.Name = QStringLiteral("QRSubDetail1");
    band.Height = kLineTop + kLineHeight + kLineTop;
    band.Frame = true;
    band.PrintWhen = QStringLiteral("LineShown");
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    Box index = Figure(LineField(QStringLiteral("QRDBText2"), QStringLiteral("LineNo"), Cell(version, Index), left));
    index.Align = Qt::AlignHCenter | Qt::AlignTop;
    index.Format = GeneralNumber;
    band.Boxes.push_back(index);
    band.Boxes.push_back(
        Wrapped(LineField(QStringLiteral("QRDBText3"), QStringLiteral("DataName"), Cell(version, Name), left)));
    band.Boxes.push_back(
        Wrapped(LineField(QStringLiteral("QRDBText8"), QStringLiteral("DataMemo"), Cell(version, Memo), left)));
    Box count = Figure(LineField(QStringLiteral("QRDBText5"), QStringLiteral("DataCount"), Cell(version, Count), left));
    count.Format = GeneralNumber;
    band.Boxes.push_back(count);
    band.Boxes.push_back(Wrapped(LineField(QStringLiteral("QRDBText6"), QStringLiteral("DataUnit"),
                                           Cell(version, Unit), Qt::AlignHCenter | Qt::AlignTop)));
    if (version == PrintVersion::Customer) {
        Box price =
            Figure(LineField(QStringLiteral("QRDBText7"), QStringLiteral("DataPrice"), Cell(version, Price), left));
        price.Format = TwoDecimals;
        band.Boxes.push_back(price);
        Box amount = Figure(LineField(QStringLiteral("QRExpr1"), QStringLiteral("adoPrint.DataPrice*adoprint.DataCount"),
                                      Cell(version, Amount), left));
        amount.Kind = BoxKind::Expression;
        amount.Format = TwoDecimals;
        band.Boxes.push_back(amount);
    }
    const auto& rules = RulesOf(version);
    for (std::size_t c = 1; c + 1 < rules.size(); ++c) band.Rules.push_back(Vertical(rules[c], 0, band.Height));
    return band;
}

// A figure of the totals, on the same right edge as the lines' amounts.
Box TotalValue(const QString& name, double top, double height) {
    Box value = Value(name, kCustomerRules[Amount] + kPad, top, kWidth - kCustomerRules[Amount] - 2 * kPad, height,
                      Qt::AlignRight | Qt::AlignVCenter);
    value.Font = ReportFont(10, true);
    return value;
}

Band GroupFooterBand() {
    Band band;
    band.Name = QStringLiteral("QRBand2");
    band.Height = 6.1;
    band.Frame = true;
    band.Background = kLightGrey;
    band.PrintWhen = QStringLiteral("GroupShown");
    Box caption = Label({}, QStringLiteral("小计："), kCustomerRules[Name] + kPad, 0, 20, band.Height);
    caption.Font = ReportFont(10, true);
    band.Boxes.push_back(caption);
    Box sum = TotalValue(QStringLiteral("QRDBText9"), 0, band.Height);
    sum.Kind = BoxKind::Field;
    sum.Text = QStringLiteral("Datasum");
    sum.Format = TwoDecimals;
    band.Boxes.push_back(sum);
    band.Rules.push_back(Vertical(kCustomerRules[Amount], 0, band.Height));
    return band;
}

// 工程总价, then 优惠 when the quotation has a discount, 管理费, 税金 and 合计.
Band TotalsBand(bool discount) {
    std::vector<std::pair<QString, QString>> lines{{QStringLiteral("工程总价："), QStringLiteral("QRLabel34")}};
    if (discount) lines.emplace_back(QStringLiteral("优惠："), QStringLiteral("DiscountValue"));
    lines.emplace_back(QStringLiteral("管理费："), QStringLiteral("QRLabel33"));
    lines.emplace_back(QStringLiteral("税金："), QStringLiteral("QRLabel35"));
    lines.emplace_back(QStringLiteral("合计："), QStringLiteral("QRLabel36"));
    constexpr double kLine = 5.3;
    Band band;
    band.Name = QStringLiteral("QRSubDetail2");
    band.Height = discount ? 26.5 : 21.2;
    band.Frame = true;
    band.Background = kLightGrey;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double top = kLine * static_cast<double>(i);
        Box caption = Label(lines[i].second == QStringLiteral("DiscountValue") ? QStringLiteral("DiscountCaption")
                                                                               : QString(),
                            lines[i].first, 1.3, top, 40, kLine);
        caption.Font = ReportFont(10, true);
        band.Boxes.push_back(caption);
        band.Boxes.push_back(TotalValue(lines[i].second, top, kLine));
        if (i > 0) band.Rules.push_back(Horizontal(top));
    }
    band.Rules.push_back(Vertical(kCustomerRules[Amount], 0, band.Height));
    return band;
}

// The sum once more in capitals, as a customer's contract states it.
Band CapitalsBand() {
    Band band;
    band.Name = QStringLiteral("CapitalsBand");
    band.Height = 7;
    band.Frame = true;
    Box caption =
        Value(QStringLiteral("CapitalsLabel"), 1.3, 0, 186, band.Height);
    caption.Text = QStringLiteral("合计人民币（大写）：");
    caption.Font = ReportFont(10, true);
    band.Boxes.push_back(caption);
    return band;
}

Band RemarkBand() {
    Band band;
    band.Name = QStringLiteral("QRSubDetail3");
    band.Height = 6.3;
    Box remark = Label(QStringLiteral("QRRichText1"), QStringLiteral("备注："), 0.7, 1.0, 188.6, 5.3,
                       Qt::AlignLeft | Qt::AlignTop);
    remark.WordWrap = true;
    remark.Grows = true;
    band.Boxes.push_back(remark);
    return band;
}

// Room to sign and date: the customer and the designer the quotation, the
// foreman the work sheet.
Band SignatureBand(PrintVersion version) {
    Band band;
    band.Name = QStringLiteral("SignatureBand");
    band.Height = 24;
    const double line = 16;
    if (version == PrintVersion::Crew) {
        band.Boxes.push_back(Label({}, QStringLiteral("施工负责人签字："), 1.3, line - 5.3, 30));
        band.Boxes.push_back(Label({}, QStringLiteral("设计师签字："), 80, line - 5.3, 24));
        band.Boxes.push_back(Label({}, QStringLiteral("日期："), 138, line - 5.3, 12));
        band.Rules = {Horizontal(line, 30, 76), Horizontal(line, 102.5, 134), Horizontal(line, 148, 188)};
        return band;
    }
    band.Boxes.push_back(Label({}, QStringLiteral("客户签字："), 1.3, line - 5.3, 20));
    band.Boxes.push_back(Label({}, QStringLiteral("设计师签字："), 68, line - 5.3, 24));
    band.Boxes.push_back(Label({}, QStringLiteral("日期："), 138, line - 5.3, 12));
    band.Rules = {Horizontal(line, 20, 62), Horizontal(line, 90.5, 132), Horizontal(line, 148, 188)};
    return band;
}

} // namespace

report::ReportDefinition QuotationReport(PrintVersion version, bool discount) {
    report::ReportDefinition r;
    r.Page.PaperMm = QSizeF(210, 297);
    r.Page.LeftMm = r.Page.TopMm = r.Page.RightMm = r.Page.BottomMm = 10;
    r.Page.DefaultFont = ReportFont(10);
    r.Page.PageFooter = QStringLiteral("第 %1 页 共 %2 页");
    r.Title = TitleBand(version);
    r.ColumnHeader = ColumnHeaderBand(version);
    r.GroupField = QStringLiteral("adoprint.ItemName");
    r.GroupHeader = GroupHeaderBand(QStringLiteral("QRGroup1"), {});
    r.GroupContinued = GroupHeaderBand(QStringLiteral("GroupContinued"), QStringLiteral("（续）"));
    r.Detail = DetailBand(version);
    if (version == PrintVersion::Crew) {
        r.Summary = {SignatureBand(version)};
        return r;
    }
    r.GroupFooter = GroupFooterBand();
    r.Summary = {TotalsBand(discount), CapitalsBand(), RemarkBand(), SignatureBand(version)};
    return r;
}

std::vector<double> QuotationColumnRules(PrintVersion version) { return RulesOf(version); }

report::Band QuotationTitleBand(PrintVersion version) { return TitleBand(version); }

QFont QuotationReportFont(double points, bool bold) { return ReportFont(points, bold); }

} // namespace lty
