#include "core/quotation/house_type.h"
#include "core/quotation/quotation_text.h"
#include "core/text/number_text.h"
#include "tests/core/scripted_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lty {
namespace {

std::vector<std::string> SectionNames(const QuotationGrid& g) {
    std::vector<std::string> out;
    for (int r = 2; r < g.EndRow(); ++r) out.push_back(g.Text(1, r));
    return out;
}

TEST(HouseType, DefaultBoxesGiveSevenLockedSections) {
    test::ScriptedMessages m;
    THuxing h;
    ASSERT_TRUE(ReadHouseType(h, DefaultHouseTypeTexts(), m));
    EXPECT_EQ(h.Bedroom, 2);
    EXPECT_EQ(h.Balcony, 1);
    EXPECT_EQ(h.WaterElectric, 1);
    QuotationGrid g;
    LayoutFromHouseType(g, h);
    EXPECT_EQ(SectionNames(g), (std::vector<std::string>{"卧室", "卧室2", "客厅", "卫生间", "厨房", "厨房2", "其他"}));
    for (int r = 2; r < g.EndRow(); ++r) {
        EXPECT_EQ(g.Kind(r), RowKind::Section);
        EXPECT_EQ(g.RowHeight(r), QuotationGrid::kDefaultRowHeight);
        EXPECT_EQ(g.Text(5, r), "0.00");
        EXPECT_EQ(g.Cell(1, r).Align, HAlign::Left);
        EXPECT_EQ(g.Cell(5, r).Align, HAlign::Right);
        for (int c = 0; c < kQuotationColumns; ++c) {
            EXPECT_FALSE(g.CanEdit(c, r));
            EXPECT_EQ(g.Cell(c, r).Color, CellColor::ButtonFace);
        }
    }
    EXPECT_EQ(g.Text(5, 1), "0.00");
    EXPECT_EQ(g.RowHeight(g.EndRow()), 0);
    EXPECT_EQ(QuotationToText(g).substr(0, 8), "1111111@");
    EXPECT_TRUE(m.Shown.empty());
}

TEST(HouseType, EveryRoomKindInItsOrderAndCountsWithoutSections) {
    THuxing h;
    QuotationGrid empty;
    LayoutFromHouseType(empty, h);
    EXPECT_EQ(empty.BodyRowCount(), 0);

    h.SetBalcony(3);
    h.SetWaterElectric(2);
    QuotationGrid none;
    LayoutFromHouseType(none, h);
    EXPECT_EQ(none.BodyRowCount(), 0) << "balcony and water/electric give no sections";

    h.SetOther(1);
    h.SetStairs(1);
    h.SetEntrance(1);
    h.SetStoreroom(1);
    h.SetCorridor(1);
    h.SetKitchen(1);
    h.SetBathroom(2);
    h.SetLivingRoom(1);
    h.SetBedroom(3);
    QuotationGrid g;
    LayoutFromHouseType(g, h);
    EXPECT_EQ(SectionNames(g), (std::vector<std::string>{"卧室", "卧室2", "卧室3", "客厅", "卫生间", "卫生间2", "厨房",
                                                         "过道", "储物间", "玄关", "楼梯", "其他"}));
}

TEST(HouseType, TextThatIsNoWholeNumberStopsTheReading) {
    test::ScriptedMessages m;
    HouseTypeTexts t = DefaultHouseTypeTexts();
    t.Kitchen = " 1.5 ";
    t.Corridor = "4";
    THuxing h;
    try {
        ReadHouseType(h, t, m);
        FAIL() << "expected a conversion error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'1.5' is not a valid integer value");
    }
    EXPECT_EQ(h.Balcony, 1) << "counts before it are read";
    EXPECT_EQ(h.Corridor, 0) << "counts after it are not";
    t.Kitchen = "";
    EXPECT_THROW(ReadHouseType(h, t, m), ConvertError);

    t.Kitchen = " 3\t"; // trimmed before the conversion
    ASSERT_TRUE(ReadHouseType(h, t, m));
    EXPECT_EQ(h.Kitchen, 3);
    EXPECT_EQ(h.Corridor, 4);
}

TEST(HouseType, NegativeCountIsRefusedAndNeverShrinksTheGrid) {
    test::ScriptedMessages m;
    HouseTypeTexts t = DefaultHouseTypeTexts();
    t.Bathroom = "-1";
    THuxing h;
    EXPECT_FALSE(ReadHouseType(h, t, m));
    EXPECT_EQ(m.Texts(), std::vector<std::string>{"户型数量不能为负数，请重新输入！"});
    EXPECT_EQ(h.Bathroom, 0);
    EXPECT_EQ(h.Balcony, 0) << "nothing after the refused count is read";

    // Counts set directly cannot push the layout past the grid either.
    THuxing direct;
    direct.SetBedroom(-5);
    direct.SetLivingRoom(2);
    direct.SetOther(-1);
    QuotationGrid g;
    LayoutFromHouseType(g, direct);
    EXPECT_EQ(SectionNames(g), (std::vector<std::string>{"客厅", "客厅2"}));
    EXPECT_EQ(g.Kind(g.EndRow()), RowKind::End);
    EXPECT_EQ(g.Text(1, g.EndRow()), "");
}

} // namespace
} // namespace lty
