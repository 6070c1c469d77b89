// The quotation as an Excel workbook, read back from the file's own XML:
// every figure to the cent against the program's, the formulas a
// recalculating reader would follow, the formats, and the crew's version.
#include "core/print/quotation_workbook.h"

#include "core/quotation/house_type.h"
#include "core/text/capital_amount.h"
#include "core/text/number_text.h"
#include "tests/core/print/large_quotation.h"
#include "tests/core/quotation/three_room_quotation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace lty {
namespace {

namespace fs = std::filesystem;

std::string Unzipped(const fs::path& file, const std::string& member) {
    const std::string command = "unzip -p '" + file.string() + "' '" + member + "'";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
        pclose(p);
    }
    return out;
}

std::string Unescaped(std::string s) {
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}}) {
        for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
            s.replace(at, from.size(), to);
    }
    return s;
}

struct SheetCell {
    std::string Text;    // a string cell's text, or a number's value as written
    std::string Formula; // without the '='
    std::string Format;  // the number format
    bool IsNumber = false;
    std::string Cents() const { return FormatTwoDecimals(std::stod(Text)); }
};

// The first sheet of a workbook: rows (from 1) of cells by column letter.
struct Sheet {
    std::map<int, std::map<char, SheetCell>> Rows;
    std::string Xml, Workbook, Styles;

    explicit Sheet(const fs::path& file) {
        Xml = Unzipped(file, "xl/worksheets/sheet1.xml");
        Workbook = Unzipped(file, "xl/workbook.xml");
        Styles = Unzipped(file, "xl/styles.xml");
        std::vector<std::string> strings;
        const std::string shared = Unzipped(file, "xl/sharedStrings.xml");
        const std::regex si("<si><t[^>]*>([^<]*)</t></si>");
        for (std::sregex_iterator i(shared.begin(), shared.end(), si), e; i != e; ++i)
            strings.push_back(Unescaped((*i)[1]));
        // Number formats by style index: the built-in ones and the workbook's own.
        std::map<int, std::string> codes{{0, "General"}, {2, "0.00"}, {10, "0.00%"}};
        const std::regex numFmt("<numFmt numFmtId=\"(\\d+)\" formatCode=\"([^\"]*)\"");
        for (std::sregex_iterator i(Styles.begin(), Styles.end(), numFmt), e; i != e; ++i)
            codes[std::stoi((*i)[1])] = Unescaped((*i)[2]);
        std::vector<std::string> formats;
        const std::string xfs = Styles.substr(Styles.find("<cellXfs"));
        const std::regex xf("<xf numFmtId=\"(\\d+)\"");
        for (std::sregex_iterator i(xfs.begin(), xfs.end(), xf), e; i != e; ++i)
            formats.push_back(codes[std::stoi((*i)[1])]);

        const std::regex cell("<c r=\"([A-Z])(\\d+)\"(?: s=\"(\\d+)\")?(?: t=\"(\\w+)\")?(?:/>|>(?:<f>([^<]*)</f>)?"
                              "(?:<v>([^<]*)</v>)?</c>)");
        for (std::sregex_iterator i(Xml.begin(), Xml.end(), cell), e; i != e; ++i) {
            const std::smatch& m = *i;
            SheetCell c;
            c.Format = formats.at(m[3].matched ? std::stoul(m[3]) : 0);
            c.Formula = Unescaped(m[5]);
            if (m[4] == "s")
                c.Text = strings.at(std::stoul(m[6]));
            else if (m[6].matched) {
                c.Text = m[6];
                c.IsNumber = true;
            }
            Rows[std::stoi(m[2])][m[1].str()[0]] = c;
        }
    }

    // The row whose column A (or B) reads `text`, or 0.
    int RowOf(const std::string& text, char column = 'A') const {
        for (const auto& [r, cells] : Rows)
            if (auto c = cells.find(column); c != cells.end() && c->second.Text == text) return r;
        return 0;
    }
    const SheetCell& At(char column, int row) const {
        static const SheetCell none;
        const auto r = Rows.find(row);
        if (r == Rows.end()) return none;
        const auto c = r->second.find(column);
        return c == r->second.end() ? none : c->second;
    }
};

// The workbook opened by LibreOffice with every formula recalculated, saved
// as CSV (UTF-8, figures as shown): its rows of fields.
std::vector<std::vector<std::string>> Recalculated(const fs::path& file, const fs::path& dir) {
    const fs::path profile = dir / "profile";
    fs::create_directories(profile / "user");
    std::FILE* xcu = std::fopen((profile / "user" / "registrymodifications.xcu").c_str(), "w");
    std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?><oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
               "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"><item oor:path=\"/org.openoffice.Office.Calc/Formula/"
               "Load\"><prop oor:name=\"OOXMLRecalcMode\" oor:op=\"fuse\"><value>0</value></prop></item></oor:items>",
               xcu);
    std::fclose(xcu);
    const std::string command = "soffice -env:UserInstallation=file://" + profile.string() +
                                " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir '" +
                                dir.string() + "' '" + file.string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::vector<std::vector<std::string>> rows;
    std::FILE* in = std::fopen((dir / file.stem()).replace_extension(".csv").c_str(), "r");
    if (!in) return rows;
    std::string text;
    for (int c; (c = std::fgetc(in)) != EOF;) text += static_cast<char>(c);
    std::fclose(in);
    rows.emplace_back(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            rows.back().back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            rows.back().emplace_back();
        else if (!quoted && c == '\n')
            rows.emplace_back(1);
        else
            rows.back().back() += c;
    }
    return rows;
}

class QuotationWorkbookTest : public ::testing::Test {
protected:
    fs::path dir =
        fs::temp_directory_path() / ("lty_xlsx_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                     "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    static QuotationWorkbook Workbook(PrintVersion version, const QuotationPrintSource& source) {
        TCompanyInfo company;
        company.Name = "岚庭雅装饰工程有限公司";
        company.Address = "文三路198号";
        company.Tel2 = "0571-88886666";
        QuotationWorkbook w;
        w.Version = version;
        w.Heading = QuotationPrintHeading(version, source, company, {}, {2024, 5, 6});
        w.Rows = QuotationPrintRows(*source.Grid);
        w.Totals = QuotationPrintTotals(source.Grid->ProjectTotal(), source.OverheadText, source.TaxText);
        w.Remark = "1. 本报价有效期为三十天。\n2. 水电按实际发生结算。";
        return w;
    }
};

TEST_F(QuotationWorkbookTest, TheLargeQuotationReadsBackToTheCentWithFormulasFormatsAndPageSetUp) {
    test::LargeQuotation q;
    QuotationGrid& g = q.Grid;
    // Figures whose cent is a rounding away from zero, a room of a house type
    // with nothing in it (no block), and an awkward name.
    g.AddSectionRow();
    g.SetCellText(1, g.EndRow() - 1, "阳台");
    g.AddSectionRow();
    g.SetCellText(1, g.EndRow() - 1, "厨房 & <卫>");
    for (const CatalogLine& l :
         {CatalogLine{"防水", 18.35, 2.7, "平米", 0, "两遍"}, CatalogLine{"角阀", 0.15, 0.3, "个", 0, ""},
          CatalogLine{"橱柜", 1999.99, 3.33, "米", 0, "含台面"}}) {
        g.SetCurrentCell(1, g.EndRow() - 1);
        g.AddItemRow(l, false);
    }
    g.RecalcTotals();
    q.Source.OverheadText = g.Charges().Edit8Text;
    q.Source.TaxText = g.Charges().Edit9Text;
    const QuotationWorkbook w = Workbook(PrintVersion::Customer, q.Source);
    const fs::path file = dir / "王先生报价单.xlsx";
    ASSERT_TRUE(WriteQuotationWorkbook(file.string(), w));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1); // nothing beside it
    const Sheet s(file);

    // The heading as the printout has it.
    EXPECT_EQ(s.At('A', 1).Text, "岚庭雅装饰工程有限公司");
    EXPECT_EQ(s.At('A', 2).Text, "地址：文三路198号　电话：0571-88886666");
    EXPECT_EQ(s.At('A', 3).Text, "居室装修报价单（别墅）");
    EXPECT_EQ(s.At('A', 4).Text, "工程编号：LT-2024-001");
    EXPECT_EQ(s.At('D', 4).Text, "报价日期：2024年5月6日");
    EXPECT_EQ(s.At('A', 5).Text, "客户姓名：王先生");
    EXPECT_EQ(s.At('F', 5).Text, "联系电话：13900000000");
    EXPECT_EQ(s.At('A', 6).Text, "施工地点：滨江路88号");
    const int headings = s.RowOf("序号");
    ASSERT_GT(headings, 6);
    EXPECT_EQ(s.At('G', headings).Text, "合计");

    // Every room, line, amount and 小计, walking the grid beside the sheet.
    int r = headings + 1;
    int rooms = 0, lines = 0;
    for (int row = 2; row < g.EndRow(); ++row) {
        if (g.IsItemRow(row)) continue;
        const std::string room = g.Text(1, row);
        int items = 0;
        while (g.IsItemRow(row + 1 + items)) ++items;
        if (items == 0) {
            EXPECT_EQ(s.RowOf(room), 0) << room;
            continue;
        }
        ASSERT_EQ(s.At('A', r).Text, room) << "row " << r;
        const int first = ++r;
        for (int i = 1; i <= items; ++i, ++r) {
            const int item = row + i;
            ASSERT_EQ(s.At('B', r).Text, g.Text(1, item)) << "row " << r;
            EXPECT_EQ(s.At('A', r).Text, std::to_string(i));
            EXPECT_EQ(s.At('C', r).Text, g.Text(6, item));
            EXPECT_EQ(s.At('D', r).Text, g.Text(3, item));
            EXPECT_EQ(s.At('E', r).Text, g.Text(4, item));
            EXPECT_EQ(FloatToStr(std::stod(s.At('F', r).Text)), g.Text(2, item));
            EXPECT_EQ(s.At('F', r).Format, "0.00");
            const SheetCell& amount = s.At('G', r);
            EXPECT_EQ(amount.Formula, "ROUND(D" + std::to_string(r) + "*F" + std::to_string(r) + ",2)");
            EXPECT_EQ(amount.Cents(), g.Text(5, item)) << "row " << r;
            EXPECT_EQ(amount.Format, "0.00");
            ++lines;
        }
        EXPECT_EQ(s.At('B', r).Text, "小计：");
        const SheetCell& subtotal = s.At('G', r);
        EXPECT_EQ(subtotal.Formula, "SUM(G" + std::to_string(first) + ":G" + std::to_string(r - 1) + ")");
        EXPECT_EQ(subtotal.Cents(), g.Text(5, row)) << room;
        EXPECT_EQ(subtotal.Format, "0.00");
        ++r;
        ++rooms;
    }
    EXPECT_EQ(rooms, test::kLargeRooms + 1);
    EXPECT_EQ(lines, test::kLargeRooms * test::kLargeLinesPerRoom + 3);
    EXPECT_EQ(s.At('G', r - 1).Cents(), "6709.57"); // the awkward room's 小计
    EXPECT_EQ(s.At('G', r - 2).Cents(), "6659.97");
    EXPECT_EQ(s.At('G', r - 3).Cents(), "0.05");
    EXPECT_EQ(s.At('G', r - 4).Cents(), "49.55");

    // The totals: formulas over the 小计 and the rates as shown, their values
    // the program's to the cent.
    ASSERT_EQ(s.At('A', r).Text, "工程总价：");
    const std::string lineRange = std::to_string(headings + 1) + ":";
    EXPECT_EQ(s.At('G', r).Formula, "SUMIF(B" + lineRange + "B" + std::to_string(r - 1) + ",\"小计：\",G" + lineRange +
                                        "G" + std::to_string(r - 1) + ")");
    EXPECT_EQ(s.At('G', r).Cents(), g.Charges().Label16Text);
    EXPECT_EQ(s.At('G', r).Cents(), w.Totals.ProjectTotal);
    const std::string total = "G" + std::to_string(r);
    EXPECT_EQ(s.At('A', r + 1).Text, "管理费：");
    EXPECT_EQ(s.At('F', r + 1).Text, "0.08");
    EXPECT_EQ(s.At('F', r + 1).Format, "0.00%");
    EXPECT_EQ(s.At('G', r + 1).Formula, "ROUND(" + total + "*F" + std::to_string(r + 1) + ",2)");
    EXPECT_EQ(s.At('G', r + 1).Cents(), g.Charges().Edit8Text);
    EXPECT_EQ(s.At('A', r + 2).Text, "税金：");
    EXPECT_EQ(s.At('F', r + 2).Text, "0.0341");
    EXPECT_EQ(s.At('G', r + 2).Formula, "ROUND(" + total + "*F" + std::to_string(r + 2) + ",2)");
    EXPECT_EQ(s.At('G', r + 2).Cents(), g.Charges().Edit9Text);
    EXPECT_EQ(s.At('A', r + 3).Text, "合计：");
    EXPECT_EQ(s.At('G', r + 3).Formula, total + "+G" + std::to_string(r + 1) + "+G" + std::to_string(r + 2));
    EXPECT_EQ(s.At('G', r + 3).Cents(), w.Totals.Sum);
    for (int t = r; t <= r + 3; ++t) EXPECT_EQ(s.At('G', t).Format, "0.00") << t;
    EXPECT_EQ(s.At('A', r + 4).Text, "合计人民币（大写）：" + w.Totals.SumInCapitals);
    EXPECT_EQ(s.At('A', r + 5).Text, "备注：" + w.Remark);
    EXPECT_EQ(s.At('A', r + 7).Text, "客户签字：");

    // A4 portrait, one page wide, headings on every page, a CJK face, wrapping.
    EXPECT_NE(s.Xml.find("paperSize=\"9\""), std::string::npos);
    EXPECT_NE(s.Xml.find("orientation=\"portrait\""), std::string::npos);
    EXPECT_NE(s.Xml.find("<pageSetUpPr fitToPage=\"1\"/>"), std::string::npos);
    EXPECT_NE(s.Workbook.find("_xlnm.Print_Titles\" localSheetId=\"0\">'报价单'!$" + std::to_string(headings) + ":$" +
                              std::to_string(headings) + "<"),
              std::string::npos)
        << s.Workbook;
    EXPECT_NE(s.Styles.find("<name val=\"宋体\"/>"), std::string::npos);
    EXPECT_NE(s.Styles.find("wrapText=\"1\""), std::string::npos);
    EXPECT_NE(s.Xml.find("<col min=\"3\" max=\"3\" width="), std::string::npos);

    // Where LibreOffice is installed: recalculated from the formulas alone,
    // every figure comes out as the sheet carries it.
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) return;
    const std::vector<std::vector<std::string>> csv = Recalculated(file, dir);
    ASSERT_GE(csv.size(), static_cast<std::size_t>(r + 3));
    int figures = 0;
    for (const auto& [row, cells] : s.Rows) {
        const auto g = cells.find('G');
        if (g == cells.end() || !g->second.IsNumber) continue;
        ASSERT_GE(csv[row - 1].size(), 7u) << row;
        EXPECT_EQ(csv[row - 1][6], g->second.Cents()) << "row " << row;
        ++figures;
    }
    EXPECT_EQ(figures, lines + rooms + 4);
}

TEST_F(QuotationWorkbookTest, TheCrewSheetHasNoPriceAndAFeeTypedOverStaysAsShown) {
    QuotationGrid g;
    THuxing h;
    h.SetKitchen(1);
    LayoutFromHouseType(g, h);
    g.SetCurrentCell(1, 2);
    g.AddItemRow({"墙砖铺贴", 45, 12.5, "平米", 0, "瓷砖由客户自购"}, false);
    g.AddItemRow({"石膏线", 20, 10, "米", 0, ""}, false);
    g.RecalcTotals();
    QuotationPrintSource source{&g, "李女士", "", "张明", "", "西溪路1号", "150", "40.5", "LT-7", ""};

    // The crew: its title, lines with quantities, nothing priced, its signature.
    const fs::path crew = dir / "李女士施工单.xlsx";
    ASSERT_TRUE(WriteQuotationWorkbook(crew.string(), Workbook(PrintVersion::Crew, source)));
    const Sheet c(crew);
    EXPECT_EQ(c.At('A', 3).Text, "居室装修施工单");
    EXPECT_EQ(c.At('D', 4).Text, "日期：2024年5月6日");
    EXPECT_EQ(c.At('D', 5).Text, "设计师：张明");
    EXPECT_EQ(c.At('A', 6).Text, "施工地点：西溪路1号");
    EXPECT_EQ(c.At('D', 6).Text, "设计师电话：");
    const int headings = c.RowOf("序号");
    ASSERT_GT(headings, 0);
    EXPECT_EQ(c.At('E', headings).Text, "单位");
    EXPECT_EQ(c.At('A', headings + 1).Text, g.Text(1, 2));
    EXPECT_EQ(c.At('B', headings + 2).Text, "石膏线"); // below the current row: first
    EXPECT_EQ(c.At('D', headings + 3).Text, "12.5");
    EXPECT_EQ(c.At('C', headings + 3).Text, "瓷砖由客户自购");
    EXPECT_NE(c.RowOf("施工负责人签字："), 0);
    EXPECT_EQ(c.Xml.find("<f>"), std::string::npos);
    for (const auto& [row, cells] : c.Rows) {
        EXPECT_FALSE(cells.count('F') || cells.count('G')) << "row " << row;
        for (const auto& [col, cell] : cells)
            for (const char* priced : {"单价", "合计", "小计", "管理费", "税金", "大写", "备注", "45"})
                EXPECT_EQ(cell.Text.find(priced), std::string::npos) << col << row << " " << cell.Text;
    }

    // The customer's, with 管理费 typed over: not 8 % of 工程总价, so the
    // figure stands as the window shows it, and 合计 still adds what is there.
    const fs::path customer = dir / "李女士报价单.xlsx";
    const QuotationWorkbook w = Workbook(PrintVersion::Customer, source);
    ASSERT_TRUE(WriteQuotationWorkbook(customer.string(), w));
    const Sheet s(customer);
    const int total = s.RowOf("工程总价：");
    ASSERT_GT(total, 0);
    EXPECT_EQ(s.At('G', total).Cents(), "762.50");
    EXPECT_EQ(s.At('G', total + 1).Formula, "");
    EXPECT_EQ(s.At('G', total + 1).Cents(), "150.00");
    EXPECT_EQ(s.At('F', total + 1).Text, "");
    EXPECT_EQ(s.At('G', total + 2).Cents(), "40.50");
    EXPECT_EQ(s.At('G', total + 3).Cents(), "953.00");
    EXPECT_EQ(w.Totals.Sum, "953.00");
    EXPECT_EQ(s.RowOf(g.Text(1, 3)), 0); // the house type's other rooms are empty: no block

    // A place that cannot take the file: false, and nothing left behind; a
    // file there before is kept.
    EXPECT_FALSE(WriteQuotationWorkbook((dir / "missing" / "x.xlsx").string(), w));
    fs::create_directories(dir / "held" / "inside");
    EXPECT_FALSE(WriteQuotationWorkbook((dir / "held").string(), w));
    EXPECT_TRUE(fs::is_directory(dir / "held" / "inside"));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"held", "李女士报价单.xlsx", "李女士施工单.xlsx"}));
}

} // namespace
} // namespace lty

namespace lty {
namespace {

TEST_F(QuotationWorkbookTest, ADiscountIsItsOwnLineAndTheFeeAndTaxAreFormulasOnTheDiscountedPrice) {
    QuotationGrid g;
    test::BuildThreeRoomQuotation(g);
    const ChargeTerms terms{6, 3.41, DiscountKind::Percent, 5};
    g.SetTerms(terms);
    g.RecalcCharges();
    QuotationPrintSource source{&g, "王先生", "", "陈设计", "", "滨江路88号", g.Charges().Edit8Text,
                                g.Charges().Edit9Text, "LT-2024-018", ""};
    QuotationWorkbook w = Workbook(PrintVersion::Customer, source);
    w.Totals = QuotationPrintTotals(g.ProjectTotal(), source.OverheadText, source.TaxText, terms);
    const fs::path file = dir / "discount.xlsx";
    ASSERT_TRUE(WriteQuotationWorkbook(file.string(), w));
    const Sheet s(file);
    const int r = s.RowOf("工程总价：");
    ASSERT_GT(r, 0);
    const std::string total = "G" + std::to_string(r), discount = "G" + std::to_string(r + 1);
    EXPECT_EQ(s.At('A', r + 1).Text, "优惠（5%）：");
    EXPECT_EQ(s.At('F', r + 1).Text, "0.05");
    EXPECT_EQ(s.At('G', r + 1).Formula, "-ROUND(" + total + "*F" + std::to_string(r + 1) + ",2)");
    EXPECT_EQ(s.At('G', r + 1).Cents(), "-1252.31");
    EXPECT_EQ(s.At('A', r + 2).Text, "管理费：");
    EXPECT_EQ(s.At('F', r + 2).Text, "0.06");
    EXPECT_EQ(s.At('G', r + 2).Formula, "ROUND((" + total + "+" + discount + ")*F" + std::to_string(r + 2) + ",2)");
    EXPECT_EQ(s.At('G', r + 2).Cents(), "1427.63");
    EXPECT_EQ(s.At('G', r + 3).Cents(), "811.37");
    EXPECT_EQ(s.At('A', r + 4).Text, "合计：");
    EXPECT_EQ(s.At('G', r + 4).Formula,
              total + "+" + discount + "+G" + std::to_string(r + 2) + "+G" + std::to_string(r + 3));
    EXPECT_EQ(s.At('G', r + 4).Cents(), "26032.79"); // 25046.10 - 1252.31 + 1427.63 + 811.37
    EXPECT_EQ(w.Totals.Sum, "26032.79");
    EXPECT_EQ(s.At('A', r + 5).Text, "合计人民币（大写）：贰万陆仟零叁拾贰元柒角玖分");

    // An amount off: the figure as given, no rate beside it.
    w.Totals = QuotationPrintTotals(g.ProjectTotal(), "1920.00", "818.40", {8, 3.41, DiscountKind::Amount, 1046.1});
    ASSERT_TRUE(WriteQuotationWorkbook(file.string(), w));
    const Sheet a(file);
    EXPECT_EQ(a.At('A', r + 1).Text, "优惠：");
    EXPECT_EQ(a.At('F', r + 1).Text, "");
    EXPECT_EQ(a.At('G', r + 1).Cents(), "-1046.10");
    EXPECT_EQ(a.At('G', r + 2).Formula, "ROUND((" + total + "+" + discount + ")*F" + std::to_string(r + 2) + ",2)");
    EXPECT_EQ(a.At('G', r + 4).Cents(), "26738.40");

    // Recalculated by LibreOffice from the formulas alone: the same cents.
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) return;
    const std::vector<std::vector<std::string>> csv = Recalculated(file, dir);
    ASSERT_GE(csv.size(), static_cast<std::size_t>(r + 4));
    for (int row = r; row <= r + 4; ++row) {
        ASSERT_GE(csv[row - 1].size(), 7u) << row;
        EXPECT_EQ(csv[row - 1][6], a.At('G', row).Cents()) << "row " << row;
    }
}

} // namespace
} // namespace lty
