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

Box Field(const QString& name, const QString& field, double left, double top, double width,
          Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop) {
    Box b = Label(name, field, left, top, width, kTextRow, align);
    b.Kind = BoxKind::Field;
    return b;
}

Rule Vertical(double x, double top, double bottom) { return {QLineF(x, top, x, bottom)}; }
Rule Horizontal(double y, double left = 0, double right = kWidth) { return {QLineF(left, y, right, y)}; }

QString GeneralNumber(const QVariant& v) { return QString::fromStdString(FloatToStr(v.toDouble())); }
QString TwoDecimals(const QVariant& v) { return QString::fromStdString(FormatTwoDecimals(v.toDouble())); }

Band TitleBand() {
    Band band;
    band.Name = QStringLiteral("TitleBand1");
    band.Height = 48.2;
    Box company = Label(QStringLiteral("QRLabel1"), QStringLiteral("公司"), 4.5, 4.2, 167.2, 11, Qt::AlignCenter);
    company.Font = ReportFont(22, true);
    band.Boxes.push_back(company);
    Box heading =
        Label(QStringLiteral("QRLabel2"), QStringLiteral("居室装修报价单（）"), 50.8, 15.1, 78.6, 11, Qt::AlignCenter);
    heading.Font = ReportFont(22);
    band.Boxes.push_back(heading);

    // The customer box: two rows of caption and value.
    const double row1 = 30.7, row2 = 37.8, top = 28.8, middle = 36.0, bottom = 42.9;
    const double h1 = middle - row1, h2 = bottom - row2;
    band.Boxes.push_back(Label({}, QStringLiteral("客户姓名："), 1.9, row1, 21, h1));
    band.Boxes.push_back(Label(QStringLiteral("QRLabel9"), {}, 23.3, row1, 21.5, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("联系电话："), 45.5, row1, 21, h1));
    band.Boxes.push_back(Label(QStringLiteral("QRLabel10"), {}, 66.9, row1, 30, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("设计师："), 97.4, row1, 17, h1));
    band.Boxes.push_back(Label(QStringLiteral("QRLabel11"), {}, 114.6, row1, 24, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("联系电话："), 139.2, row1, 21, h1));
    band.Boxes.push_back(Label(QStringLiteral("QRLabel12"), {}, 160.9, row1, 28.5, h1));
    band.Boxes.push_back(Label({}, QStringLiteral("施工地点："), 1.3, row2, 21, h2));
    band.Boxes.push_back(Label(QStringLiteral("QRLabel13"), {}, 22.8, row2, 166, h2));
    band.Rules = {Horizontal(top), Horizontal(middle), Horizontal(bottom), Vertical(0, top, bottom),
                  Vertical(kWidth, top, bottom)};
    return band;
}

// The column headings: under the title on the first page, at the top of
// every later one. Their rules meet the lines' rules below them.
Band ColumnHeaderBand() {
    Band band;
    band.Name = QStringLiteral("ColumnHeader");
    band.Height = 6.8;
    band.Frame = true;
    const double h = band.Height;
    band.Boxes.push_back(Label({}, QStringLiteral("项目名称"), 1.9, 0, 47.1, h, Qt::AlignCenter));
    band.Boxes.push_back(Label({}, QStringLiteral("工艺做法及说明"), 68.0, 0, 50, h));
    band.Boxes.push_back(Label({}, QStringLiteral("数量"), 132.8, 0, 11, h));
    band.Boxes.push_back(Label({}, QStringLiteral("单位"), 148.4, 0, 12, h));
    band.Boxes.push_back(Label({}, QStringLiteral("单价"), 164.8, 0, 11, h));
    band.Boxes.push_back(Label({}, QStringLiteral("合计"), 178.3, 0, 11, h));
    for (double x : {52.7, 130.2, 144.7, 161.9, 175.9}) band.Rules.push_back(Vertical(x, 0, h));
    return band;
}

Band GroupHeaderBand() {
    Band band;
    band.Name = QStringLiteral("QRGroup1");
    band.Height = 6.1;
    band.Frame = true;
    Box name =
        Field(QStringLiteral("QRDBText1"), QStringLiteral("ItemName"), 1.1, 0, 187, Qt::AlignLeft | Qt::AlignVCenter);
    name.Rect.setHeight(band.Height);
    band.Boxes.push_back(name);
    return band;
}

Band DetailBand() {
    Band band;
    band.Name = QStringLiteral("QRSubDetail1");
    band.Height = 24.9;
    band.Frame = true;
    const double top = 10.6;
    Box index =
        Field(QStringLiteral("QRDBText2"), QStringLiteral("DataIndex"), 0, top, 14.3, Qt::AlignRight | Qt::AlignTop);
    index.Format = GeneralNumber;
    band.Boxes.push_back(index);
    band.Boxes.push_back(Field(QStringLiteral("QRDBText3"), QStringLiteral("DataName"), 17.2, top, 35));
    Box memo = Field(QStringLiteral("QRDBText8"), QStringLiteral("DataMemo"), 53.7, 2.1, 75.7);
    memo.Rect.setHeight(21.4);
    memo.WordWrap = true;
    memo.Grows = true;
    band.Boxes.push_back(memo);
    Box count = Field(QStringLiteral("QRDBText5"), QStringLiteral("DataCount"), 131.5, top, 13);
    count.Format = GeneralNumber;
    band.Boxes.push_back(count);
    band.Boxes.push_back(Field(QStringLiteral("QRDBText6"), QStringLiteral("DataUnit"), 146.1, top, 15.5));
    Box price = Field(QStringLiteral("QRDBText7"), QStringLiteral("DataPrice"), 162.5, top, 13.2);
    price.Format = GeneralNumber;
    band.Boxes.push_back(price);
    Box amount =
        Field(QStringLiteral("QRExpr1"), QStringLiteral("adoPrint.DataPrice*adoprint.DataCount"), 176.5, top, 13.3);
    amount.Kind = BoxKind::Expression;
    amount.Format = TwoDecimals;
    band.Boxes.push_back(amount);
    for (double x : {15.3, 52.7, 130.2, 144.7, 161.9, 175.9}) band.Rules.push_back(Vertical(x, 0, band.Height));
    return band;
}

Band GroupFooterBand() {
    Band band;
    band.Name = QStringLiteral("QRBand2");
    band.Height = 6.1;
    band.Frame = true;
    band.Background = kLightGrey;
    Box caption = Label({}, QStringLiteral("小计："), 25.7, 0, 20, band.Height);
    caption.Font = ReportFont(10, true);
    band.Boxes.push_back(caption);
    Box sum =
        Field(QStringLiteral("QRDBText9"), QStringLiteral("Datasum"), 169.3, 0, 20.2, Qt::AlignLeft | Qt::AlignVCenter);
    sum.Rect.setHeight(band.Height);
    sum.Format = TwoDecimals;
    band.Boxes.push_back(sum);
    band.Rules.push_back(Vertical(144.7, 0, band.Height));
    return band;
}

Band TotalsBand() {
    Band band;
    band.Name = QStringLiteral("QRSubDetail2");
    band.Height = 21.2;
    band.Frame = true;
    band.Background = kLightGrey;
    const QString captions[] = {QStringLiteral("工程总价："), QStringLiteral("管理费："), QStringLiteral("税金："),
                                QStringLiteral("合计：")};
    const QString values[] = {QStringLiteral("QRLabel34"), QStringLiteral("QRLabel33"), QStringLiteral("QRLabel35"),
                              QStringLiteral("QRLabel36")};
    for (int i = 0; i < 4; ++i) {
        const double top = 5.3 * i;
        Box caption = Label({}, captions[i], 1.3, top, 40, 5.3);
        caption.Font = ReportFont(10, true);
        band.Boxes.push_back(caption);
        Box value = Label(values[i], {}, 156.4, top, 174.9 - 156.4, 5.3, Qt::AlignCenter);
        value.Font = ReportFont(10, true);
        band.Boxes.push_back(value);
    }
    for (double y : {5.3, 10.6, 15.9}) band.Rules.push_back(Horizontal(y));
    band.Rules.push_back(Vertical(144.7, 0, band.Height));
    return band;
}

// The sum once more in capitals, as a customer's contract states it.
Band CapitalsBand() {
    Band band;
    band.Name = QStringLiteral("CapitalsBand");
    band.Height = 7;
    band.Frame = true;
    Box caption =
        Label(QStringLiteral("CapitalsLabel"), QStringLiteral("合计人民币（大写）："), 1.3, 0, 186, band.Height);
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

// Room for both parties to sign and date the quotation.
Band SignatureBand() {
    Band band;
    band.Name = QStringLiteral("SignatureBand");
    band.Height = 24;
    const double line = 16;
    band.Boxes.push_back(Label({}, QStringLiteral("客户签字："), 1.3, line - 5.3, 20));
    band.Boxes.push_back(Label({}, QStringLiteral("设计师签字："), 68, line - 5.3, 24));
    band.Boxes.push_back(Label({}, QStringLiteral("日期："), 138, line - 5.3, 12));
    band.Rules = {Horizontal(line, 20, 62), Horizontal(line, 90.5, 132), Horizontal(line, 148, 188)};
    return band;
}

} // namespace

report::ReportDefinition QuotationReport() {
    report::ReportDefinition r;
    r.Page.PaperMm = QSizeF(210, 297);
    r.Page.LeftMm = r.Page.TopMm = r.Page.RightMm = r.Page.BottomMm = 10;
    r.Page.DefaultFont = ReportFont(10);
    r.Page.PageFooter = QStringLiteral("第 %1 页 共 %2 页");
    r.Title = TitleBand();
    r.ColumnHeader = ColumnHeaderBand();
    r.GroupField = QStringLiteral("adoprint.ItemName");
    r.GroupHeader = GroupHeaderBand();
    r.Detail = DetailBand();
    r.GroupFooter = GroupFooterBand();
    r.Summary = {TotalsBand(), CapitalsBand(), RemarkBand(), SignatureBand()};
    return r;
}

} // namespace lty
