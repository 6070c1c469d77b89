#include "ui/print/change_order_print.h"

#include "controls/report/report_paint.h"
#include "controls/report/report_pdf.h"
#include "core/data/data_module.h"
#include "core/text/capital_amount.h"
#include "core/text/number_text.h"
#include "ui/common/globals.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"
#include "ui/print/print_settings.h"
#include "ui/print/quotation_report.h"

#include <QFileInfo>
#include <QPointer>
#include <QPrinter>

#include <optional>
#include <stdexcept>

namespace lty {
namespace {

using report::Band;
using report::Box;
using report::BoxKind;
using report::Rule;

constexpr double kWidth = 190;
const QColor kLightGrey(0xE8, 0xE8, 0xE8);
constexpr double kRow = 6.1;
constexpr double kPad = 1.0;

// 类型 | 项目名称 | 单位 | 原数量 原单价 原金额 | 新数量 新单价 新金额 | 增减金额
const std::vector<double> kRules{0, 11, 55, 67, 83, 101, 121, 137, 155, 172, kWidth};
const char* const kFields[] = {"Kind",     "Name",     "Unit",     "OldCount",  "OldPrice", "OldAmount",
                               "NewCount", "NewPrice", "NewAmount", "Delta"};
const char* const kHeadings[] = {"类型", "项目名称", "单位", "原数量", "原单价", "原金额",
                                 "新数量", "新单价", "新金额", "增减金额"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

Box Text(const QString& text, const QRectF& rect, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
         bool bold = false) {
    Box b;
    b.Text = text;
    b.Rect = rect;
    b.Align = align;
    b.ShrinkToFit = true;
    if (bold) b.Font = QuotationReportFont(10, true);
    return b;
}

QRectF Column(std::size_t c, double height) { return QRectF(kRules[c] + kPad, 0, kRules[c + 1] - kRules[c] - 2 * kPad, height); }

Band ColumnHeader() {
    Band band;
    band.Name = QStringLiteral("ColumnHeader");
    band.Height = kRow;
    band.Frame = true;
    for (std::size_t c = 0; c + 1 < kRules.size(); ++c) {
        band.Boxes.push_back(Text(QString::fromUtf8(kHeadings[c]), Column(c, kRow), Qt::AlignCenter));
        if (c > 0) band.Rules.push_back({QLineF(kRules[c], 0, kRules[c], kRow)});
    }
    return band;
}

Band Detail() {
    Band band;
    band.Name = QStringLiteral("ChangeLine");
    band.Height = kRow;
    band.Frame = true;
    for (std::size_t c = 0; c + 1 < kRules.size(); ++c) {
        Box b;
        b.Kind = BoxKind::Field;
        b.Text = QString::fromLatin1(kFields[c]);
        b.Name = b.Text;
        b.Rect = Column(c, kRow);
        b.Align = (c == 1 ? Qt::AlignLeft : c < 3 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter;
        if (c == 1) {
            b.WordWrap = true;
            b.Grows = true;
        } else {
            b.ShrinkToFit = true;
        }
        band.Boxes.push_back(b);
        if (c > 0) band.Rules.push_back({QLineF(kRules[c], 0, kRules[c], kRow)});
    }
    return band;
}

Band RoomHeader() {
    Band band;
    band.Name = QStringLiteral("RoomHeader");
    band.Height = kRow;
    band.Frame = true;
    Box room = Text({}, QRectF(1.1, 0, kWidth - 2.2, kRow), Qt::AlignLeft | Qt::AlignVCenter, true);
    room.Kind = BoxKind::Field;
    room.Text = QStringLiteral("Room");
    band.Boxes.push_back(room);
    return band;
}

// The change of the lines, then every figure of the totals: as signed, as
// earlier change orders left it, as this one changes it, as it now stands.
Band Figures(const ChangeOrderSheet& sheet) {
    Band band;
    band.Name = QStringLiteral("ChangeTotals");
    band.Frame = true;
    band.Background = kLightGrey;
    const std::vector<double> cols{0, 40, 77.5, 115, 152.5, kWidth};
    const char* heads[] = {"", "签约金额", "此前增减", "本次增减", "变更后金额"};
    double top = 0;
    const auto row = [&](const QString (&texts)[5], bool bold, const QString& name) {
        for (std::size_t c = 0; c < 5; ++c) {
            Box b = Text(texts[c], QRectF(cols[c] + kPad, top, cols[c + 1] - cols[c] - 2 * kPad, kRow),
                         (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, bold);
            if (c > 0 && !name.isEmpty()) b.Name = name + QString::number(c);
            band.Boxes.push_back(b);
        }
        top += kRow;
        band.Rules.push_back({QLineF(0, top, kWidth, top)});
    };
    {
        const QString texts[5] = {QStringLiteral("本次增减明细合计"), {}, {}, Q(CentsText(sheet.Lines.DeltaCents)), {}};
        row(texts, true, QStringLiteral("LinesDelta"));
    }
    {
        QString texts[5];
        for (std::size_t c = 0; c < 5; ++c) texts[c] = QString::fromUtf8(heads[c]);
        row(texts, false, {});
    }
    for (const ChangeOrderFigure& f : sheet.Figures) {
        const QString texts[5] = {Q(f.Caption) + QStringLiteral("："), Q(f.Signed), Q(f.Earlier), Q(f.Change), Q(f.New)};
        row(texts, f.Caption == "合计", f.Caption == "合计" ? QStringLiteral("Sum") : QString());
    }
    band.Rules.pop_back(); // the frame closes the last row
    for (std::size_t c = 1; c + 1 < cols.size(); ++c) band.Rules.push_back({QLineF(cols[c], kRow, cols[c], top)});
    band.Height = top;
    return band;
}

Band Capitals(const ChangeOrderSheet& sheet) {
    Band band;
    band.Name = QStringLiteral("ChangeCapitals");
    band.Height = 2 * kRow;
    band.Frame = true;
    Box change = Text(QStringLiteral("本次增减（大写）：") + Q(sheet.ChangeInCapitals), QRectF(1.3, 0, 186, kRow),
                      Qt::AlignLeft | Qt::AlignVCenter, true);
    change.Name = QStringLiteral("ChangeInCapitals");
    Box total = Text(QStringLiteral("变更后合计人民币（大写）：") + Q(sheet.NewInCapitals), QRectF(1.3, kRow, 186, kRow),
                     Qt::AlignLeft | Qt::AlignVCenter, true);
    total.Name = QStringLiteral("NewInCapitals");
    band.Boxes = {change, total};
    band.Rules.push_back({QLineF(0, kRow, kWidth, kRow)});
    return band;
}

Band Signatures() {
    Band band;
    band.Name = QStringLiteral("SignatureBand");
    band.Height = 24;
    const double line = 16;
    band.Boxes.push_back(Text(QStringLiteral("客户签字："), QRectF(1.3, line - 5.3, 20, 5.3)));
    band.Boxes.push_back(Text(QStringLiteral("设计师签字："), QRectF(68, line - 5.3, 24, 5.3)));
    band.Boxes.push_back(Text(QStringLiteral("日期："), QRectF(138, line - 5.3, 12, 5.3)));
    band.Rules = {{QLineF(20, line, 62, line)}, {QLineF(90.5, line, 132, line)}, {QLineF(148, line, 188, line)}};
    return band;
}

QString Money(const std::string& text) {
    if (text.empty()) return {};
    double v = 0;
    return TryStrToFloat(text, v) ? Q(FormatTwoDecimals(v)) : Q(text);
}

QString Count(const std::string& text) {
    double v = 0;
    return !text.empty() && TryStrToFloat(text, v) ? Q(FloatToStr(v)) : Q(text);
}

QPointer<TFrmChangeOrder> changeOrderPreview;

TFrmChangeOrder& ChangeOrderForm(QWidget* parent) {
    if (!changeOrderPreview) {
        changeOrderPreview = new TFrmChangeOrder(parent);
        TFrmChangeOrder* form = changeOrderPreview;
        QObject::connect(form, &TFrmChangeOrder::PrintRequested, form, [form] {
            QPrinter printer(QPrinter::HighResolution);
            if (PrintDialogs::ChoosePrinter(printer, form)) PrintPages(form->Report(), form->DocumentTitle(), printer);
        });
        QObject::connect(form, &TFrmChangeOrder::PdfRequested, form, [form] {
            const QString folder = QFileInfo(ProposedPdfPath(form->DocumentTitle())).absolutePath();
            QString path = PrintDialogs::ChoosePdfPath(form, folder + QLatin1Char('/') + form->DocumentTitle() +
                                                                 QStringLiteral(".pdf"));
            if (path.isEmpty()) return;
            if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
            if (!form->WritePdf(path)) {
                Messages().Show(kPdfWriteFailed);
                return;
            }
            RememberPdfFolder(QFileInfo(path).absolutePath());
            ShowExportNotice(form, path);
        });
    }
    return *changeOrderPreview;
}

std::optional<VersionSnapshot> ReadKept(std::int32_t projectId, int number) {
    if (!DM) return std::nullopt;
    const auto kept = DM->LoadProjectVersion(projectId, number);
    if (!kept) return std::nullopt;
    try {
        return ReadVersionSnapshot(kept->Snapshot);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

// Lays the version out in its form: the quotation form for the signed
// version, the change-order form for a change order. The form, or none
// (after saying so) when a version it needs cannot be read.
report::ReportPreview* PreparedVersion(QWidget* parent, std::int32_t projectId, int number) {
    const auto current = ReadKept(projectId, number);
    if (current && number == 0) {
        TFrmPrint& form = FrmPrint(parent);
        return form.PrepareVersion(current->Printed, Q(current->Project.Customer)) ? &form : nullptr;
    }
    const auto signedVersion = number > 0 ? ReadKept(projectId, 0) : std::nullopt;
    const auto previous = number > 1 ? ReadKept(projectId, number - 1) : signedVersion;
    if (!current || !signedVersion || !previous) {
        Messages().Show(kPrepareFailed);
        return nullptr;
    }
    TFrmChangeOrder& form = ChangeOrderForm(parent);
    form.Prepare(MakeChangeOrderSheet(*signedVersion, *previous, *current, number), Q(current->Project.Customer));
    return &form;
}

} // namespace

report::ReportDefinition ChangeOrderReport(const ChangeOrderSheet& sheet) {
    report::ReportDefinition r;
    r.Page.DefaultFont = QuotationReportFont(9);
    r.Page.PageFooter = QStringLiteral("第 %1 页 共 %2 页");
    r.Title = QuotationTitleBand(PrintVersion::Customer);
    const auto set = [&r](const char* box, const std::string& text) { r.SetText(QString::fromLatin1(box), Q(text)); };
    const PrintHeading& h = sheet.Heading;
    set("QRLabel1", h.Company);
    set("CompanyContact", h.CompanyContact);
    set("QRLabel2", h.Title);
    set("ProjectNumber", h.ProjectNumber);
    set("QuotationDate", "日期：" + h.Date);
    set("QRLabel9", h.Customer);
    set("QRLabel10", h.CustomerTel);
    set("QRLabel11", h.Designer);
    set("QRLabel12", h.DesignerTel);
    set("QRLabel13", h.Address);
    r.ColumnHeader = ColumnHeader();
    r.GroupField = QStringLiteral("Room");
    r.GroupHeader = RoomHeader();
    r.GroupContinued = RoomHeader();
    r.Detail = Detail();
    r.Summary = {Figures(sheet), Capitals(sheet), Signatures()};
    return r;
}

report::ReportTable ChangeOrderTable(const ChangeOrderSheet& sheet) {
    report::ReportTable table;
    table.Fields << QStringLiteral("Room");
    for (const char* f : kFields) table.Fields << QString::fromLatin1(f);
    for (const ChangedLine& l : sheet.Lines.Lines) {
        const std::string delta = CentsText(l.DeltaCents);
        table.Rows.push_back({Q(l.Room.empty() ? "（未分房间）" : l.Room), QString::fromUtf8(LineChangeCaption(l.Kind)),
                              Q(l.Name), Q(l.Unit), Count(l.OldCount), Money(l.OldPrice), Money(l.OldAmount),
                              Count(l.NewCount), Money(l.NewPrice), Money(l.NewAmount),
                              Q(l.DeltaCents > 0 ? "+" + delta : delta)});
    }
    return table;
}

TFrmChangeOrder::TFrmChangeOrder(QWidget* parent) : report::ReportPreview(parent) {
    setObjectName(QStringLiteral("TFrmChangeOrder"));
    setWindowTitle(QStringLiteral("增减项目单预览"));
}

void TFrmChangeOrder::Prepare(const ChangeOrderSheet& sheet, const QString& customer) {
    title_ = customer + QStringLiteral("增减项目单") + QString::number(sheet.Number);
    SetReport(report::LayOut(ChangeOrderReport(sheet), ChangeOrderTable(sheet)));
    ShowPage(0);
}

bool TFrmChangeOrder::WritePdf(const QString& path) const {
    return report::WritePdf(Report(), path, title_, QString::fromUtf8(kApplicationTitle));
}

TFrmChangeOrder* ChangeOrderPreview() { return changeOrderPreview.data(); }

bool PreviewProjectVersion(QWidget* parent, std::int32_t projectId, int number) {
    report::ReportPreview* form = PreparedVersion(parent, projectId, number);
    if (!form) return false;
    form->show();
    form->raise();
    form->activateWindow();
    return true;
}

bool PrintProjectVersion(QWidget* parent, std::int32_t projectId, int number) {
    report::ReportPreview* form = PreparedVersion(parent, projectId, number);
    if (!form) return false;
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintDialogs::ChoosePrinter(printer, parent)) return true;
    const QString title = number == 0 ? static_cast<TFrmPrint*>(form)->DocumentTitle()
                                      : static_cast<TFrmChangeOrder*>(form)->DocumentTitle();
    PrintPages(form->Report(), title, printer);
    return true;
}

} // namespace lty
