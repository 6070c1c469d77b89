// What the paper says besides its lines, and which print rows become lines:
// shared by the PDF and any other way out of the program.
#include "core/print/print_sheet.h"
#include "core/quotation/house_type.h"

#include <gtest/gtest.h>

namespace lty {
namespace {

TEST(PrintSheet, TheHeadingCarriesHouseTypeNumberDateCompanyAndTheDesignersTelephone) {
    TCompanyInfo company;
    company.Name = "岚庭雅装饰工程有限公司";
    company.Address = "杭州市西湖区文三路198号";
    company.Tel1 = "陈岚"; // the company page's 联系人
    company.Tel2 = "0571-88886666";
    company.Person = "0571-88887777";
    TDesignerGrid designers; // as the designer page fills it: the telephone in the last cell
    designers.Rows = {{"编号", "设计师姓名", "设计师地址", "设计师电话"},
                      {"1", "张明", "设计一部", "13805710001"},
                      {"2", "李婷", "设计一部", "13805710002"}};
    QuotationPrintSource source;
    source.Customer = "王先生";
    source.Designer = "李婷";
    source.ProjectNumber = "LT-2024-018";
    source.HouseType = "三室两厅";

    PrintHeading h = QuotationPrintHeading(PrintVersion::Customer, source, company, designers, {2024, 5, 6});
    EXPECT_EQ(h.Company, "岚庭雅装饰工程有限公司");
    EXPECT_EQ(h.CompanyContact, "地址：杭州市西湖区文三路198号　电话：0571-88886666  0571-88887777");
    EXPECT_EQ(h.Title, "居室装修报价单（三室两厅）");
    EXPECT_EQ(h.ProjectNumber, "LT-2024-018");
    EXPECT_EQ(h.Date, "2024年5月6日");
    EXPECT_EQ(h.DesignerTel, "13805710002"); // nothing typed in the window: the designer page's

    // What the window shows wins; no house type, no empty brackets; the crew's own title.
    source.DesignerTel = "13900000000";
    source.HouseType = "  ";
    h = QuotationPrintHeading(PrintVersion::Crew, source, company, designers, {2024, 12, 31});
    EXPECT_EQ(h.Title, "居室装修施工单");
    EXPECT_EQ(h.DesignerTel, "13900000000");
    EXPECT_EQ(h.Date, "2024年12月31日");

    // A company without address or telephones prints no empty captions.
    company.Address.clear();
    company.Tel2.clear();
    company.Person.clear();
    source.Designer = "不在名单";
    source.DesignerTel.clear();
    h = QuotationPrintHeading(PrintVersion::Customer, source, company, designers, {2024, 1, 2});
    EXPECT_EQ(h.CompanyContact, "");
    EXPECT_EQ(h.DesignerTel, "");
    EXPECT_EQ(h.Title, "居室装修报价单");

    EXPECT_EQ(PrintVersionFromKey(PrintVersionKey(PrintVersion::Crew)), PrintVersion::Crew);
    EXPECT_EQ(PrintVersionFromKey("anything else"), PrintVersion::Customer);
    EXPECT_STREQ(PrintVersionCaption(PrintVersion::Crew), "施工单（不含价格）");
    EXPECT_STREQ(PrintVersionCaption(PrintVersion::Customer), "报价单（客户）");
}

TEST(PrintSheet, ARoomWithoutItemsPrintsNoLineAndNoSubtotal) {
    // A house type's rooms with nothing in them, then a room with items, and
    // an empty room followed by one of the same name with an item: they print
    // as one group whose only line is numbered 1.
    QuotationGrid g;
    THuxing h;
    h.SetBedroom(1);
    h.SetKitchen(1);
    LayoutFromHouseType(g, h);
    std::vector<PrintRow> rows = QuotationPrintRows(g);
    rows.push_back({"客厅", "墙面乳胶漆", "25", "40", "平米", "", "1", "1000.00"});
    rows.push_back({"客厅", "石膏线", "20", "10", "米", "", "2", "1000.00"});
    rows.push_back({"阳台", "", "0", "0", "", "", "1", "50.00"});
    rows.push_back({"阳台", "晾衣架", "50", "1", "套", "", "2", "50.00"});
    ASSERT_EQ(rows.size(), 6u);
    ASSERT_TRUE(IsEmptyRoomRow(rows[0]) && IsEmptyRoomRow(rows[1]));
    const std::vector<PrintLineMark> marks = MarkPrintLines(rows);
    const auto shown = [&](std::size_t i) { return marks[i].Shown; };
    EXPECT_FALSE(shown(0) || shown(1) || marks[0].GroupShown || marks[1].GroupShown);
    EXPECT_TRUE(shown(2) && shown(3) && marks[2].GroupShown);
    EXPECT_EQ(marks[3].Number, 2);
    EXPECT_FALSE(shown(4));
    EXPECT_TRUE(shown(5) && marks[4].GroupShown && marks[5].GroupShown);
    EXPECT_EQ(marks[5].Number, 1);
    // A line the user left without name but with a price still prints.
    EXPECT_FALSE(IsEmptyRoomRow({"客厅", "", "12", "0", "", "", "3", "0"}));
}

} // namespace
} // namespace lty
