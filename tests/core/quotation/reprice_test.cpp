// Repricing: which catalog lines today's catalog prices differently, and
// bringing the chosen ones up to date with their amounts and totals.
#include "core/quotation/quotation_text.h"
#include "core/quotation/reprice.h"
#include "core/text/number_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lty {
namespace {

CatalogLine Line(std::string name, double price, double count, std::string unit) {
    return CatalogLine{std::move(name), price, count, std::move(unit), 0, "说明"};
}

void Room(QuotationGrid& g, const std::string& name, const std::vector<CatalogLine>& lines) {
    g.AddSectionRow();
    g.SetCellText(1, g.EndRow() - 1, name);
    for (const CatalogLine& l : lines) {
        g.SetCurrentCell(1, g.EndRow() - 1);
        g.AddItemRow(l, false);
    }
}

// 客厅 rows 2..7, 卧室 rows 8..10 (a free line last).
QuotationGrid TwoRooms() {
    QuotationGrid g;
    Room(g, "客厅",
         {Line("墙面乳胶漆", 25, 40, "平米"), Line("地砖", 80, 20, "平米"), Line("踢脚线", 12, 15.5, "米"),
          Line("旧项目", 5, 1, "项"), Line("吊顶", 100, 10, "平米")});
    Room(g, "卧室", {Line("墙面乳胶漆", 25, 30, "平米")});
    g.SetCurrentCell(1, g.EndRow() - 1);
    g.AddItemRow(Line("手填项", 99, 1, "项"), true);
    g.RecalcTotals();
    return g;
}

const std::vector<RepriceCatalogEntry> kCatalog{
    {"11", "墙面乳胶漆", "平米", 28}, {"12", "地砖", "平米", 80},  {"13", "踢脚线", "米", 11.5},
    {"14", "吊顶", "平米", 100},      {"15", "吊顶", "平米", 120}, {"16", "手填项", "项", 1},
    {"17", "墙面乳胶漆", "米", 3},
};

TEST(Reprice, ListsExactlyTheChangedCatalogLinesWithTheirDifferences) {
    const QuotationGrid g = TwoRooms();
    ASSERT_EQ(g.Text(1, 9), "墙面乳胶漆");
    ASSERT_TRUE(g.IsFreeLine(10));
    const PriceComparison c = ComparePrices(g, kCatalog);

    // Free line, unchanged 地砖, ambiguous 吊顶 and missing 旧项目 stay out;
    // the unit tells 平米 from 米 of the same name.
    ASSERT_EQ(c.Changes.size(), 3u);
    EXPECT_EQ(c.Compared, 4);
    EXPECT_EQ(c.Missing, 1);
    EXPECT_EQ(c.Ambiguous, 1);
    const PriceChange& wall = c.Changes[0];
    EXPECT_EQ(wall.Row, 3);
    EXPECT_EQ(wall.Room, "客厅");
    EXPECT_EQ(wall.OldPrice, "25");
    EXPECT_EQ(wall.NewPrice, "28");
    EXPECT_EQ(wall.AmountDifferenceCents(), 12000);
    EXPECT_EQ(c.Changes[1].Name, "踢脚线");
    EXPECT_EQ(c.Changes[1].NewPrice, "11.5");
    EXPECT_EQ(c.Changes[1].AmountDifferenceCents(), -775); // 15.5 m at 0.50 less
    EXPECT_EQ(c.Changes[2].Row, 9);
    EXPECT_EQ(c.Changes[2].Room, "卧室");
    EXPECT_EQ(TotalDifferenceCents(c.Changes), 12000 - 775 + 9000);
    EXPECT_EQ(CentsText(TotalDifferenceCents(c.Changes)), "202.25");
    EXPECT_EQ(CentsText(-775), "-7.75");
    EXPECT_EQ(CentsText(5), "0.05");

    // A known id settles what name and unit cannot; an id whose entry is
    // now called otherwise, or is gone, falls back to name and unit.
    std::vector<std::string> ids(static_cast<std::size_t>(g.RowCount()));
    ids[7] = "15";  // 吊顶 at 120
    ids[3] = "12";  // names 地砖 now: the line is found by its name
    ids[5] = "999"; // gone
    const PriceComparison byId = ComparePrices(g, kCatalog, ids);
    EXPECT_EQ(byId.Ambiguous, 0);
    ASSERT_EQ(byId.Changes.size(), 4u);
    EXPECT_EQ(byId.Changes[0].Row, 3);
    EXPECT_EQ(byId.Changes[0].NewPrice, "28");
    EXPECT_EQ(byId.Changes[2].Name, "吊顶");
    EXPECT_EQ(byId.Changes[2].AmountDifferenceCents(), 20000);

    // Letter case aside, as the catalog compares names.
    QuotationGrid led;
    Room(led, "厨房", {Line("LED灯带", 30, 2, "M")});
    EXPECT_EQ(ComparePrices(led, {{"1", "led灯带", "m", 35}}).Changes.size(), 1u);
}

TEST(Reprice, ApplyingTheChosenLinesMovesAmountsAndTotalsAndSkipsStaleOnes) {
    QuotationGrid g = TwoRooms();
    const std::string before = QuotationToText(g);
    const double totalBefore = g.ProjectTotal();
    const auto changes = ComparePrices(g, kCatalog).Changes;

    // 踢脚线 changed by hand since the comparison: left as it is.
    QuotationGrid edited = g;
    edited.SetCellText(2, changes[1].Row, "13");
    EXPECT_EQ(ApplyPriceChanges(edited, {changes[1]}), 0);
    EXPECT_EQ(edited.Text(2, changes[1].Row), "13");

    EXPECT_EQ(ApplyPriceChanges(g, {changes[0], changes[2]}), 2);
    EXPECT_EQ(g.Text(2, 3), "28");
    EXPECT_EQ(g.Text(5, 3), "1120.00");
    EXPECT_EQ(g.Text(2, 9), "28");
    EXPECT_EQ(g.Text(5, 9), "840.00");
    EXPECT_EQ(g.Text(2, 5), "12"); // not chosen
    EXPECT_DOUBLE_EQ(g.ProjectTotal(), totalBefore + 120 + 90);
    EXPECT_EQ(ComparePrices(g, kCatalog).Changes.size(), 1u);

    // A price that would carry the amounts past the ceiling changes nothing.
    QuotationGrid h;
    h.LayoutQuotationGrid();
    TextToQuotation(h, before);
    h.RecalcTotals();
    const std::string image = h.Image();
    PriceChange huge = ComparePrices(h, kCatalog).Changes[0];
    huge.NewPrice = "99999999999999";
    bool beyond = false;
    EXPECT_EQ(ApplyPriceChanges(h, {huge}, &beyond), 0);
    EXPECT_TRUE(beyond);
    EXPECT_EQ(h.Image(), image);
}

} // namespace
} // namespace lty
