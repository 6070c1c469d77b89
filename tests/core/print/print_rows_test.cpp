#include "core/print/print_rows.h"
#include "core/quotation/house_type.h"
#include "core/quotation/quotation_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lty {
namespace {

using Row = std::vector<std::string>;

std::vector<Row> Walk(const QuotationGrid& g) {
    std::vector<Row> out;
    for (const auto& p : QuotationPrintRows(g))
        out.push_back(
            {p.ItemName, p.DataName, p.DataPrice, p.DataCount, p.DataUnit, p.DataMemo, p.DataIndex, p.Datasum});
    return out;
}

TEST(PrintRows, EmptyQuotationPrintsNoLine) { EXPECT_TRUE(Walk(QuotationGrid{}).empty()); }

TEST(PrintRows, EachSectionWithoutItemsGivesOneEmptyLine) {
    QuotationGrid g;
    THuxing h;
    h.SetBedroom(2);
    h.SetKitchen(1);
    LayoutFromHouseType(g, h);
    EXPECT_EQ(Walk(g), (std::vector<Row>{{"卧室", "", "0.00", "0.00", "", "", "1", "0.00"},
                                         {"卧室2", "", "0.00", "0.00", "", "", "1", "0.00"},
                                         {"厨房", "", "0.00", "0.00", "", "", "1", "0.00"}}));
}

TEST(PrintRows, ItemsAreNumberedWithinTheirSectionAndCarryItsSubtotal) {
    QuotationGrid g;
    g.SetProjectTotal(652);
    TextToQuotation(g, "10011@卧室@@@@640.00@@墙面乳胶漆@18@30@平米@540.00@两遍底漆"
                       "@踢脚线@12.5@8@米@100.00@实木@客厅@@@@12.00@@阳台@@@@0.00@");
    // The living room's item was not stored; its subtotal prints as stored.
    EXPECT_EQ(Walk(g), (std::vector<Row>{{"卧室", "墙面乳胶漆", "18", "30", "平米", "两遍底漆", "1", "640.00"},
                                         {"卧室", "踢脚线", "12.5", "8", "米", "实木", "2", "640.00"},
                                         {"客厅", "", "0.00", "0.00", "", "", "1", "0.00"},
                                         {"阳台", "", "0.00", "0.00", "", "", "1", "0.00"}}));
}

TEST(PrintRows, ItemsAboveTheFirstSectionHaveNoSectionNameAndTakeRowTwoAsSum) {
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCellText(1, 2, "卧室");
    g.SetCurrentCell(1, 2);
    g.AddItemRow(CatalogLine{"灯", 5, 2, "个", 0, ""}, false);
    g.SetCurrentCell(1, 1);
    g.AddItemRow(CatalogLine{"b", 3, 1, "个", 0, "x"}, true);
    g.AddItemRow(CatalogLine{"a", 7, 1, "个", 0, "y"}, true);
    EXPECT_EQ(Walk(g), (std::vector<Row>{{"", "a", "7", "1", "个", "y", "1", "7.00"},
                                         {"", "b", "3", "1", "个", "x", "2", "7.00"},
                                         {"卧室", "灯", "5", "2", "个", "", "1", "10.00"}}));
}

TEST(PrintRows, ConsecutiveSectionsOfOneNameCarryTheirSubtotalsTogether) {
    QuotationGrid g;
    TextToQuotation(g, "101101010@厨房@@@@100.00@@墙砖@50@2@平米@100.00@@厨房@@@@0.00@@厨房@@@@34.10@@"
                       "吊顶@34.1@1@项@34.10@@卫生间@@@@5.00@@地漏@5@1@个@5.00@@厨房@@@@1.00@@"
                       "挂件@1@1@个@1.00@");
    const auto rows = Walk(g);
    ASSERT_EQ(rows.size(), 5u);
    // Three kitchens in a row, the empty one included: one group, one 小计.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[static_cast<std::size_t>(i)][6], std::to_string(i + 1));
        EXPECT_EQ(rows[static_cast<std::size_t>(i)][7], "134.10") << i;
    }
    EXPECT_EQ(rows[1], (Row{"厨房", "", "0.00", "0.00", "", "", "2", "134.10"}));
    // Sections apart from each other keep their own subtotals.
    EXPECT_EQ(rows[3][7], "5.00");
    EXPECT_EQ(rows[4], (Row{"厨房", "挂件", "1", "1", "个", "", "1", "1.00"}));
}

} // namespace
} // namespace lty
