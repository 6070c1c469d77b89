// The printed quotation end to end: a grid built with the core's own
// operations, prepared through TMP_Print, written as a real PDF and read back
// as text the way a customer's viewer would.
#include "core/data/data_module.h"
#include "core/data/records.h"
#include "core/quotation/house_type.h"
#include "core/quotation/quotation_grid.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"
#include "tests/ui/print/pdf_text.h"
#include "ui/common/globals.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"
#include "ui/print/print_settings.h"

#include <QComboBox>
#include <QMessageBox>
#include <optional>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lty {
namespace {

struct Line {
    std::string Name;
    double Price;
    double Count;
    std::string Unit;
    std::string Memo;
};
struct Section {
    std::string Name;
    std::vector<Line> Lines;
};

void Build(QuotationGrid& grid, const std::vector<Section>& sections) {
    for (const Section& s : sections) {
        grid.AddSectionRow();
        grid.SetCellText(1, grid.EndRow() - 1, s.Name);
        for (const Line& l : s.Lines) {
            grid.SetCurrentCell(1, grid.EndRow() - 1);
            grid.AddItemRow(CatalogLine{l.Name, l.Price, l.Count, l.Unit, 0, l.Memo}, false);
        }
    }
    grid.RecalcTotals();
}

QuotationPrintSource Source(const QuotationGrid& grid, const std::string& customer) {
    return {&grid,
            customer,
            "13800000000",
            "陈设计",
            "13900000000",
            "滨江路88号3栋1201",
            grid.Charges().Edit8Text,
            grid.Charges().Edit9Text,
            "",
            ""};
}

class QuotationPrint : public ::testing::Test {
protected:
    test::ScriptedMessages messages;
    test::TempProgramDir dir;
    TDM dm{messages, dir.Dir()};
    QTemporaryDir out;

    void SetUp() override {
        SetMessages(&messages);
        DM = &dm;
        CompanyInfo() = {}; // what one test sets does not reach the next
        CompanyInfo().Name = "岚庭雅装饰工程有限公司";
        QuotationRemark = "1. 本报价有效期为三十天。";
        RememberPrintVersion(PrintVersion::Customer);
    }
    void TearDown() override {
        delete &FrmPrint(); // the next test brings its own data module
        DM = nullptr;
        SetMessages(nullptr);
    }

    static QString PdfText(const QString& path) { return test::PdfText(path); }
    // Prepares and writes the PDF; answers its text ("" when not prepared).
    QString Printed(const QuotationPrintSource& source, const QString& name = QStringLiteral("q.pdf")) {
        TFrmPrint& form = FrmPrint();
        if (!form.PreparePrintData(source)) return {};
        const QString path = out.filePath(name);
        EXPECT_TRUE(form.WritePdf(path));
        if (const char* keep = getenv("LTY_KEEP_PDF")) QFile::copy(path, QString::fromUtf8(keep) + "/" + name);
        return PdfText(path);
    }
    static QStringList LinesWith(const QString& text, const QString& pattern) { return test::LinesWith(text, pattern); }
    std::vector<std::string> PrintRowNames() {
        std::vector<std::string> names;
        TADOQuery q(dm.ADOMain);
        dm.OpenPrintData(q);
        for (; !q.Eof(); q.Next()) names.push_back(q.FieldByName("DataName").AsString());
        return names;
    }
};

TEST_F(QuotationPrint, AHouseTypeWithoutItemsPrintsItsRoomsWithoutLinesUnderAFullHeading) {
    QuotationGrid grid;
    THuxing house;
    house.SetBedroom(2);
    house.SetKitchen(1);
    LayoutFromHouseType(grid, house);
    CompanyInfo().Address = "杭州市西湖区文三路198号";
    CompanyInfo().Tel2 = "0571-88886666";
    QuotationPrintSource source = Source(grid, "王先生");
    source.ProjectNumber = "LT-2024-018";
    source.DesignerTel.clear(); // the designer page's telephone instead
    source.Designer = "李婷";
    const QString text = Printed(source);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains("岚庭雅装饰工程有限公司"));
    EXPECT_TRUE(text.contains("地址：杭州市西湖区文三路198号") && text.contains("电话：0571-88886666"));
    // No house type: no empty brackets.
    EXPECT_TRUE(text.contains("居室装修报价单") && !text.contains("报价单（）"));
    EXPECT_TRUE(text.contains("工程编号："));
    QStringList heading;
    for (const auto& item : FrmPrint().Pages().Pages.front().Items)
        if (item.Band == "TitleBand1") heading << item.Text;
    EXPECT_TRUE(heading.contains("LT-2024-018")) << heading.join('|').toStdString();
    const QDate today = QDate::currentDate();
    EXPECT_TRUE(text.contains(QStringLiteral("报价日期：%1年%2月%3日").arg(today.year()).arg(today.month()).arg(today.day())));
    EXPECT_TRUE(text.contains("王先生") && text.contains("李婷") && text.contains("滨江路88号3栋1201"));
    EXPECT_TRUE(text.contains("13805710002"));
    // Three rooms, none with a line or a 小计.
    EXPECT_EQ(LinesWith(text, "^\\s*(卧室|卧室2|厨房)\\s*$"), (QStringList{"卧室", "卧室2", "厨房"}));
    EXPECT_TRUE(LinesWith(text, "^\\s*1\\s").isEmpty()) << text.toStdString();
    EXPECT_TRUE(LinesWith(text, "小计").isEmpty());
    EXPECT_EQ(LinesWith(text, "合计：\\s+0\\.00$").size(), 1);
    EXPECT_TRUE(text.contains("合计人民币（大写）：零元整"));
    EXPECT_TRUE(text.contains("1. 本报价有效期为三十天。"));
    EXPECT_TRUE(text.contains("客户签字：") && text.contains("设计师签字：") && text.contains("日期："));
    EXPECT_TRUE(text.contains(QRegularExpression("第\\s*1\\s*页\\s*共\\s*1\\s*页")));
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(QuotationPrint, LinesAreNumberedPerRoomAndTheTotalsAddUp) {
    QuotationGrid grid;
    Build(grid, {{"客厅", {{"墙面乳胶漆", 25, 24, "平米", "两遍底漆"}, {"石膏线", 20, 10, "米", ""}}},
                 {"厨房", {{"墙砖铺贴", 50, 2, "平米", ""}}},
                 {"厨房", {{"吊顶", 100, 1, "项", ""}}}});
    ASSERT_DOUBLE_EQ(grid.ProjectTotal(), 1000);
    const QString text = Printed(Source(grid, "李女士"));
    EXPECT_EQ(LinesWith(text, "墙面乳胶漆|石膏线|墙砖铺贴|吊顶"),
              (QStringList{"1 墙面乳胶漆 两遍底漆 24 平米 25.00 600.00", "2 石膏线 10 米 20.00 200.00",
                           "1 墙砖铺贴 2 平米 50.00 100.00", "2 吊顶 1 项 100.00 100.00"}));
    // Two sections of one name in a row print as one group with one 小计,
    // which is theirs together.
    EXPECT_EQ(LinesWith(text, "^\\s*(客厅|厨房)\\s*$"), (QStringList{"客厅", "厨房"}));
    EXPECT_EQ(LinesWith(text, "小计："), (QStringList{"小计： 800.00", "小计： 200.00"}));
    EXPECT_EQ(LinesWith(text, "工程总价：|管理费：|税金：|^\\s*合计："),
              (QStringList{"工程总价： 1000.00", "管理费： 80.00", "税金： 34.10", "合计： 1114.10"}));
    EXPECT_TRUE(text.contains("合计人民币（大写）：壹仟壹佰壹拾肆元壹角整"));
}

TEST_F(QuotationPrint, ThePaperIsAlwaysTheWindowAsItStands) {
    // A window's lines and heading, then another, never saved, window's: the
    // second paper holds nothing of the first.
    QuotationGrid first;
    Build(first, {{"客厅", {{"旧沙发背景墙", 1000, 1, "项", ""}}}});
    ASSERT_FALSE(Printed(Source(first, "张三")).isEmpty());
    QuotationGrid unsaved;
    Build(unsaved, {{"卧室", {{"衣柜", 2000, 1, "项", ""}}}});
    QString text = Printed(Source(unsaved, "李四"));
    EXPECT_TRUE(text.contains("李四") && text.contains("衣柜"));
    EXPECT_FALSE(text.contains("张三") || text.contains("旧沙发背景墙"));

    // Fee and tax as the window shows them, here those of a stored project
    // in the general format beside a total changed since: 合计 adds what is printed.
    QuotationPrintSource shown = Source(unsaved, "李四");
    shown.OverheadText = "98.76";
    shown.TaxText = "42.1";
    text = Printed(shown);
    EXPECT_EQ(LinesWith(text, "工程总价：|管理费：|税金：|^\\s*合计："),
              (QStringList{"工程总价： 2000.00", "管理费： 98.76", "税金： 42.10", "合计： 2140.86"}));

    // A price or quantity that holds no number prints as 0.
    QuotationGrid odd;
    Build(odd, {{"阳台", {{"防腐木地板", 300, 2, "平米", ""}, {"晾衣架", 150, 1, "套", ""}}}});
    odd.SetCellText(2, 3, "");
    odd.SetCellText(3, 4, "两个");
    text = Printed(Source(odd, "赵五"));
    EXPECT_EQ(LinesWith(text, "防腐木地板|晾衣架"),
              (QStringList{"1 防腐木地板 2 平米 0.00 0.00", "2 晾衣架 0 套 150.00 0.00"}));
}

TEST_F(QuotationPrint, AFailedPreparationSaysSoAndPrintsNothing) {
    QuotationGrid first;
    Build(first, {{"客厅", {{"电视墙", 1000, 1, "项", ""}}}});
    ASSERT_FALSE(Printed(Source(first, "张三")).isEmpty());
    ASSERT_EQ(test::RawExec(dir.DatabasePath(), test::RefuseSql(dir.DatabasePath(), "refuse", "TMP_Print", "insert",
                                                                "refused", "new.DataName='地漏'")),
              "");
    QuotationGrid second;
    Build(second, {{"卫生间", {{"防水", 80, 10, "平米", ""}, {"地漏", 50, 2, "个", ""}}}});
    const QuotationPrintSource source = Source(second, "李四");

    // The printer is chosen, the preparation fails: no paper, the old rows stay.
    const QString printed = out.filePath(QStringLiteral("printer.pdf"));
    PrintDialogs::ChoosePrinter = [&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    };
    PrintQuotation(nullptr, &source);
    EXPECT_FALSE(QFile::exists(printed));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"准备打印数据失败！"});
    EXPECT_EQ(PrintRowNames(), std::vector<std::string>{"电视墙"});

    PreviewQuotation(nullptr, &source);
    EXPECT_FALSE(FrmPrint().isVisible());
    EXPECT_EQ(messages.Shown.size(), 2u);

    // Mended, the same command prints the new quotation on the chosen printer.
    test::RawExec(dir.DatabasePath(), test::StopRefusingSql(dir.DatabasePath(), "refuse", "TMP_Print"));
    PrintQuotation(nullptr, &source);
    const QString text = PdfText(printed);
    EXPECT_TRUE(text.contains("地漏") && text.contains("李四") && text.contains("卫生间"));
    EXPECT_EQ(messages.Shown.size(), 2u);
    PrintDialogs::ChoosePrinter = nullptr;
}

TEST_F(QuotationPrint, CommandsWithoutAProjectWindowAndThePreviewAndExport) {
    // Qt's own dialogs speak Chinese.
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), "打印");
    PrintDialogs::ChoosePrinter = [](QPrinter&, QWidget*) -> bool { throw std::logic_error("no dialog expected"); };
    PrintQuotation(nullptr, nullptr);
    PreviewQuotation(nullptr, nullptr);
    ExportQuotationPdf(nullptr, nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(3, "请选择要打印的工程！"));
    messages.Shown.clear();

    QuotationGrid grid;
    std::vector<Line> lines;
    for (int i = 0; i < 120; ++i) lines.push_back({"项目" + std::to_string(i), 10, 1, "项", "说明"});
    Build(grid, {{"全屋", lines}});
    const QuotationPrintSource source = Source(grid, "王/先生");
    PreviewQuotation(nullptr, &source);
    TFrmPrint& form = FrmPrint();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "打印预览");
    EXPECT_EQ(form.objectName(), "TFrmPrint");
    // The whole window, its scroll bar included, lies on the screen.
    const QSize screen = form.screen()->availableGeometry().size();
    EXPECT_LE(form.width(), screen.width());
    EXPECT_LE(form.height(), screen.height());
    ASSERT_GE(form.PageCount(), 3);
    EXPECT_EQ(form.PageIndex(), 0);
    form.ActLast->trigger();
    EXPECT_EQ(form.PageIndex(), form.PageCount() - 1);
    EXPECT_FALSE(form.ActNext->isEnabled());
    form.ActPrior->trigger();
    EXPECT_EQ(form.PageIndex(), form.PageCount() - 2);
    const int width = form.CurrentImage().width();
    form.ActZoomIn->trigger();
    EXPECT_GT(form.CurrentImage().width(), width);

    // The preview's PDF button: the customer's name, made safe for a file name.
    QString proposed;
    const QString path = out.filePath(QStringLiteral("导出"));
    PrintDialogs::ChoosePdfPath = [&](QWidget*, const QString& p) {
        proposed = p;
        return path;
    };
    form.ActPdf->trigger();
    EXPECT_TRUE(proposed.endsWith("/王_先生报价单.pdf")) << proposed.toStdString();
    ASSERT_TRUE(QFile::exists(path + ".pdf"));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path + ".pdf"});
    info.waitForFinished();
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(meta.contains(QRegularExpression("Title:\\s+王/先生报价单"))) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(form.PageCount()))));
    EXPECT_TRUE(
        PdfText(path + ".pdf")
            .contains(QRegularExpression(QStringLiteral("第\\s*1\\s*页\\s*共\\s*%1\\s*页").arg(form.PageCount()))));

    // A place that cannot be written says so.
    PrintDialogs::ChoosePdfPath = [](QWidget*, const QString&) { return QStringLiteral("/nonexistent/dir/x.pdf"); };
    ExportQuotationPdf(nullptr, &source);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kPdfWriteFailed});
    PrintDialogs::ChoosePdfPath = nullptr;
    PrintDialogs::ChoosePrinter = nullptr;
}

TEST_F(QuotationPrint, AThreeRoomQuotationOverPagesKeepsItsHeadingsAndPageNumbers) {
    QuotationGrid grid;
    const std::string plaster =
        "墙面找平：石膏粉找平，刮耐水腻子三遍，打磨平整；立邦净味乳胶漆一底两面，颜色由客户选定。";
    Build(grid,
          {{"客厅",
            {{"墙面乳胶漆", 38, 62.5, "平米", plaster},
             {"顶面石膏板吊顶", 145, 18.6, "平米", "轻钢龙骨框架，泰山纸面石膏板，接缝处贴绷带防裂，含灯孔开孔。"},
             {"电视背景墙", 2800, 1, "项", "木工板基层，饰面板造型，具体以设计图纸为准。"},
             {"地面瓷砖铺贴", 65, 35.2, "平米", "水泥砂浆铺贴，800×800 抛光砖，瓷砖由客户自购。"},
             {"踢脚线安装", 18, 24, "米", "与地砖同色踢脚线，含辅料。"},
             {"窗帘盒", 120, 4.2, "米", ""}}},
           {"主卧",
            {{"墙面乳胶漆", 38, 45.8, "平米", plaster},
             {"实木复合地板铺设", 35, 16.4, "平米", "含防潮膜及扣条，地板由客户自购。"},
             {"衣柜", 1280, 3.6, "平米", "E0 级多层板柜体，投影面积计算，五金另计。"},
             {"门及门套", 1650, 1, "套", "实木复合门，含门锁、合页、门吸。"}}},
           {"卫生间",
            {{"防水处理", 85, 22.5, "平米", "地面及墙面 1.8 米高刷防水涂料两遍，闭水试验四十八小时。"},
             {"墙地砖铺贴", 72, 30.6, "平米", "300×600 墙砖，300×300 防滑地砖，瓷砖由客户自购。"},
             {"铝扣板吊顶", 165, 4.8, "平米", ""},
             {"洁具安装", 380, 1, "项", "坐便器、洗脸盆、淋浴花洒安装，洁具由客户自购。"},
             {"地漏", 45, 2, "个", "防臭地漏。"}}}});
    QuotationPrintSource source = Source(grid, "王先生");
    source.HouseType = "三室两厅";
    source.ProjectNumber = "LT-2024-018";
    const QString text = Printed(source, QStringLiteral("three_rooms.pdf"));
    const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    const int count = static_cast<int>(pages.size());
    for (int p = 0; p < count; ++p) {
        // Headings over every page of lines; the signatures' page has none.
        EXPECT_EQ(pages[p].contains("工艺做法及说明"), !pages[p].contains("客户签字：")) << "page " << p + 1;
        EXPECT_TRUE(pages[p].contains(
            QRegularExpression(QStringLiteral("第\\s*%1\\s*页\\s*共\\s*%2\\s*页").arg(p + 1).arg(count))));
    }
    EXPECT_FALSE(pages[1].contains("居室装修报价单（）"));
    // Every line's amount is price × count; 合计 adds what the paper shows.
    const auto totals = LinesWith(text, "工程总价：|管理费：|税金：|^\\s*合计：");
    EXPECT_EQ(totals, (QStringList{"工程总价： 25046.10", "管理费： 2003.69", "税金： 854.07", "合计： 27903.86"}));
    EXPECT_TRUE(text.contains("合计人民币（大写）：贰万柒仟玖佰零叁元捌角陆分"));
    EXPECT_EQ(LinesWith(text, "^\\s*1\\s+墙面乳胶漆").size(), 2);

    // The crew's sheet of it: every line, not one figure of money.
    FrmPrint().SetVersion(PrintVersion::Crew);
    const QString crew = Printed(source, QStringLiteral("three_rooms_crew.pdf"));
    EXPECT_TRUE(crew.contains("居室装修施工单（三室两厅）"));
    EXPECT_EQ(LinesWith(crew, "^\\s*\\d+\\s+\\S").size(), 15u);
    EXPECT_FALSE(crew.contains("2375.00") || crew.contains("38.00") || crew.contains("25046.10"));
}

// Every word the PDF shows inside a line, a 小计 or the totals lies between
// the rules of its column, as the laid-out pages drew them.
int ExpectEveryWordInItsColumn(const QString& path, const report::LaidOutReport& laid) {
    using report::Primitive;
    const QStringList bands{"QRSubDetail1", "QRBand2", "QRSubDetail2"};
    int checked = 0;
    for (const test::PdfWord& w : test::PdfWords(path)) {
        if (w.Page < 0 || w.Page >= static_cast<int>(laid.Pages.size())) continue;
        const auto& items = laid.Pages[static_cast<std::size_t>(w.Page)].Items;
        const QPointF c = w.Box.center();
        std::optional<QRectF> frame;
        QString band;
        for (const Primitive& p : items)
            if (p.Type == Primitive::Kind::Rect && p.Stroke && bands.contains(p.Band) && p.Rect.top() <= c.y() &&
                c.y() <= p.Rect.bottom()) {
                frame = p.Rect;
                band = p.Band;
            }
        if (!frame) continue;
        std::vector<double> rules{frame->left(), frame->right()};
        for (const Primitive& p : items)
            if (p.Type == Primitive::Kind::Line && p.Band == band && p.Line.x1() == p.Line.x2() &&
                std::min(p.Line.y1(), p.Line.y2()) <= c.y() && c.y() <= std::max(p.Line.y1(), p.Line.y2()))
                rules.push_back(p.Line.x1());
        std::sort(rules.begin(), rules.end());
        std::size_t col = 0;
        while (col + 2 < rules.size() && c.x() >= rules[col + 1]) ++col;
        EXPECT_GE(w.Box.left(), rules[col] - 0.05) << w.Text.toStdString() << " on page " << w.Page + 1;
        EXPECT_LE(w.Box.right(), rules[col + 1] + 0.05) << w.Text.toStdString() << " on page " << w.Page + 1;
        ++checked;
    }
    return checked;
}

TEST_F(QuotationPrint, NothingLeavesItsColumnAndARoomOverAPageBreakSaysSo) {
    // Every name of the starter catalog, with amounts up to 99,999,999.99.
    const std::vector<std::string> names = test::RawColumn(dir.DatabasePath(), "select ITEM_NAME from TBLITEM");
    ASSERT_GT(names.size(), 100u);
    std::vector<Line> lines;
    const double prices[] = {28, 99999999.99, 12345678.9, 0.5};
    const double counts[] = {1, 1, 8.1, 99999.99};
    for (std::size_t i = 0; i < names.size(); ++i)
        lines.push_back({names[i], prices[i % 4], counts[i % 4], i % 5 ? "平米" : "立方米",
                         i % 3 ? "" : "水泥砂浆找平，防水涂料两遍，闭水试验四十八小时，具体以设计图纸为准。"});
    QuotationGrid grid;
    Build(grid, {{"全屋", lines}});
    const QuotationPrintSource source = Source(grid, "王先生");
    TFrmPrint& form = FrmPrint();
    for (PrintVersion version : {PrintVersion::Customer, PrintVersion::Crew}) {
        form.SetVersion(version);
        const QString name = QStringLiteral("columns%1.pdf").arg(static_cast<int>(version));
        const QString text = Printed(source, name);
        EXPECT_GT(ExpectEveryWordInItsColumn(out.filePath(name), form.Pages()), 3 * static_cast<int>(names.size()));
        // The room goes on over pages and says so at the top of each.
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        ASSERT_GE(pages.size(), 3);
        for (int p = 1; p + 1 < pages.size(); ++p) EXPECT_TRUE(pages[p].contains("全屋（续）")) << "page " << p + 1;
        EXPECT_FALSE(pages[0].contains("（续）"));
        if (version == PrintVersion::Customer) {
            EXPECT_GE(LinesWith(text, "99999999\\.99").size(), names.size() / 4); // every digit on paper
            EXPECT_TRUE(text.contains("28.00") && text.contains("0.50"));
        }
    }

    // A line is as tall as its text: one line of type without a memo, and the
    // rules meet from line to line.
    QuotationGrid small;
    Build(small, {{"客厅", {{"踢脚线", 18, 24, "米", ""}, {"PPR给水管铺设（冷热水）", 60, 30, "米", ""}}}});
    form.SetVersion(PrintVersion::Customer);
    ASSERT_TRUE(form.PreparePrintData(Source(small, "李四")));
    std::vector<QRectF> frames;
    for (const auto& p : form.Pages().Pages.front().Items)
        if (p.Band == "QRSubDetail1" && p.Type == report::Primitive::Kind::Rect && p.Stroke) frames.push_back(p.Rect);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_LT(frames[0].height(), 7.0);
    EXPECT_GT(frames[1].height(), frames[0].height()); // the long name wraps in its column
    EXPECT_NEAR(frames[1].top(), frames[0].bottom(), 1e-9);
}

TEST_F(QuotationPrint, TheCrewSheetComesFromTheSameCommandsWithoutAnyPrice) {
    QuotationGrid grid;
    Build(grid, {{"客厅", {{"墙面乳胶漆", 25, 24, "平米", "两遍底漆"}, {"石膏线", 20, 10, "米", ""}}},
                 {"厨房", {{"墙砖铺贴", 50, 2, "平米", "瓷砖由客户自购"}}}});
    QuotationPrintSource source = Source(grid, "李女士");
    source.HouseType = "三室两厅";
    PreviewQuotation(nullptr, &source);
    TFrmPrint& form = FrmPrint();
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.Version(), PrintVersion::Customer);
    EXPECT_EQ(form.VersionBox->currentText(), "报价单（客户）");
    EXPECT_EQ(form.VersionBox->accessibleName(), "打印版本");

    // Switched in the open preview: the same window shows the crew's sheet.
    form.VersionBox->setCurrentIndex(1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Version(), PrintVersion::Crew);
    QString proposed;
    PrintDialogs::ChoosePdfPath = [&](QWidget*, const QString& p) {
        proposed = p;
        return out.filePath(QStringLiteral("crew.pdf"));
    };
    form.ActPdf->trigger();
    EXPECT_TRUE(proposed.endsWith("/李女士施工单.pdf")) << proposed.toStdString();
    const QString text = PdfText(out.filePath(QStringLiteral("crew.pdf")));
    EXPECT_TRUE(text.contains("居室装修施工单（三室两厅）"));
    EXPECT_EQ(LinesWith(text, "墙面乳胶漆|石膏线|墙砖铺贴"),
              (QStringList{"1 墙面乳胶漆 两遍底漆 24 平米", "2 石膏线 10 米", "1 墙砖铺贴 瓷砖由客户自购 2 平米"}));
    for (const char* priced : {"单价", "合计", "25.00", "600.00", "小计", "工程总价", "管理费", "税金", "大写", "备注"})
        EXPECT_FALSE(text.contains(QString::fromUtf8(priced))) << priced;
    EXPECT_TRUE(text.contains("施工负责人签字："));
    ASSERT_NE(ExportNotice(), nullptr);
    ExportNotice()->close();

    // Remembered: a new run's form, and the commands, print the crew's sheet.
    delete &FrmPrint();
    EXPECT_EQ(ChosenPrintVersion(), PrintVersion::Crew);
    ASSERT_TRUE(FrmPrint().PreparePrintData(source));
    EXPECT_EQ(FrmPrint().VersionBox->currentIndex(), 1);
    EXPECT_EQ(FrmPrint().DocumentTitle(), "李女士施工单");
    ChoosePrintVersion(PrintVersion::Customer);
    EXPECT_EQ(FrmPrint().Version(), PrintVersion::Customer);
    EXPECT_TRUE(Printed(source).contains("居室装修报价单（三室两厅）"));
    PrintDialogs::ChoosePdfPath = nullptr;
}

// Text with every character stripped of blanks, for comparing what is drawn
// with what a reader extracts (which places its own blanks by position).
// The text without white space of any kind: pdftotext gives the ideographic
// space between the address and the telephone as a plain one.
QString Dense(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\s"), QRegularExpression::UseUnicodePropertiesOption));
    return text;
}

TEST_F(QuotationPrint, EveryDrawnCharacterComesBackFromThePdfText) {
    // Every name, unit and text of the starter catalog, with Latin letters,
    // digits and the signs quotations use, between and beside ideographs: a
    // digit after a Latin letter is drawn with a glyph of its own.
    const auto column = [&](const std::string& sql) { return test::RawColumn(dir.DatabasePath(), sql); };
    const std::string products = " from TBLITEM left join TBLPRODUCT on Product_ID=ITEM_ID order by ITEM_ID";
    const auto names = column("select ITEM_NAME" + products), units = column("select ProductUnit" + products),
               specs = column("select ProductSpec" + products);
    ASSERT_GT(names.size(), 100u);
    ASSERT_EQ(units.size(), names.size());
    ASSERT_EQ(specs.size(), names.size());
    std::vector<Line> lines;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < names.size(); ++i) {
        lines.push_back({names[i], 12.5, 2, units[i], specs[i]});
        texts.insert(texts.end(), {names[i], units[i], specs[i]});
    }
    for (const char* sql :
         {"select UnitNAME from TBLUNIT", "select CLASSNAME from TBLCLASS", "select CatalogExtrainfo2 from TBLITEM"})
        for (const std::string& t : column(sql))
            if (!t.empty()) {
                lines.push_back({t, 1, 1, t, ""});
                texts.push_back(t);
            }
    lines.push_back({"ABCDEFGHIJKLM", 1, 1, "NOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz 0123456789"});
    lines.push_back({"E0级", 1, 1, "㎡", "15mm石英石 M2 BV2.5 PVC排水管（Φ50） 1200×2400 5m² 3㎡ fi ff fl Wi-Fi"});
    lines.push_back({"（Φ20）Φ25×2.8", 1, 1, "m²", "【A1】〔B2〕「C3」《D4》 ①② ±3mm ≤5° 20%~30% #8 @9 &10"});
    QuotationGrid grid;
    Build(grid, {{"全部材料A1", lines}, {"B2区", {{"C3", 1, 1, "D4", "x1y2z3"}}}});
    // The standing remark of the catalog, as the main window reads it.
    QuotationRemark = column("select CATALOGExtrainfo from TBLITEM where ITEM_ID=1").at(0);
    CompanyInfo().Address = "杭州市西湖区文三路198号";
    CompanyInfo().Tel2 = "0571-88886666";

    // Both versions, each text wrapped into its column: a digit drawn twice
    // in a contextual form ("Φ110") stands for one digit each time.
    for (PrintVersion version : {PrintVersion::Customer, PrintVersion::Crew}) {
        SCOPED_TRACE(static_cast<int>(version));
        FrmPrint().SetVersion(version);
        const QString printed = Printed(Source(grid, "Mr. Q7 王"), QStringLiteral("catalog.pdf"));
        ASSERT_FALSE(printed.isEmpty());
        QString drawn;
        for (const report::Page& page : FrmPrint().Pages().Pages)
            for (const report::Primitive& p : page.Items)
                if (p.Type == report::Primitive::Kind::Text) drawn += p.Text;
        const QString dense = Dense(drawn);
        for (const std::string& t : texts) ASSERT_TRUE(dense.contains(Dense(QString::fromStdString(t)))) << t;

        // In drawing order, nothing lost, nothing added, nothing changed.
        QProcess raw;
        raw.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-raw"), out.filePath(QStringLiteral("catalog.pdf")), QStringLiteral("-")});
        raw.waitForFinished();
        const QString extracted = Dense(QString::fromUtf8(raw.readAllStandardOutput()));
        qsizetype at = 0;
        while (at < dense.size() && at < extracted.size() && dense[at] == extracted[at]) ++at;
        EXPECT_EQ(at, dense.size()) << "drawn:     " << dense.mid(std::max<qsizetype>(0, at - 20), 40).toStdString()
                                    << "\nextracted: " << extracted.mid(std::max<qsizetype>(0, at - 20), 40).toStdString();
        EXPECT_EQ(extracted.size(), dense.size());
    }

    // The maps are written anew: every object still stands where the
    // cross-reference table says (readers that trust it find each font).
    QFile file(out.filePath(QStringLiteral("catalog.pdf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    const qsizetype xref = pdf.mid(pdf.lastIndexOf("startxref") + 9).trimmed().split('\n')[0].toLongLong();
    const QList<QByteArray> entries = pdf.mid(xref).split('\n');
    ASSERT_EQ(entries[0], "xref");
    const int objects = entries[1].split(' ')[1].toInt();
    ASSERT_GT(objects, 10);
    for (int k = 1; k < objects; ++k)
        EXPECT_TRUE(pdf.mid(entries[2 + k].left(10).toLongLong()).startsWith(QByteArray::number(k) + " 0 obj"))
            << "object " << k;
}

} // namespace
} // namespace lty
