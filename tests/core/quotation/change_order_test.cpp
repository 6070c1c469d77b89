// A change order lists what moved money between two versions of a quotation,
// and its lines add up exactly to the change of the project total.
#include "core/quotation/change_order.h"
#include "core/quotation/quotation_text.h"

#include <gtest/gtest.h>

namespace lty {
namespace {

QuotationLine Line(const char* room, const char* name, const char* price, const char* count, const char* amount,
                   const char* memo = "") {
    return {room, name, price, count, "平米", amount, memo};
}

TEST(ChangeOrder, ListsAddedRemovedAndChangedLinesByRoomAndTheirCentsAddUp) {
    const std::vector<QuotationLine> before{
        Line("客厅", "墙面乳胶漆", "18", "30", "540.00"),
        Line("客厅", "踢脚线", "12.5", "8", "100.00"),
        Line("客厅", "踢脚线", "12.5", "2", "25.00"), // a second line of the same name pairs with the second
        Line("卧室", "地板", "120", "15", "1800.00"),
        Line("厨房", "吊顶", "95", "6", "570.00"),
    };
    const std::vector<QuotationLine> after{
        Line("客厅", "墙面乳胶漆", "18.00", "30", "540.00", "三遍面漆"), // same figures, new text: not listed
        Line("客厅", "踢脚线", "12.5", "8", "100.00"),
        Line("客厅", "踢脚线", "12.5", "3.2", "40.00"),
        Line("卧室", "地板", "135.5", "15", "2032.50"),
        Line("阳台", "防水", "45.3", "7.1", "321.63"),
    };
    const ChangeOrderLines diff = DiffQuotationLines(before, after);
    ASSERT_EQ(diff.Lines.size(), 4u);
    EXPECT_EQ(diff.Lines[0].Kind, LineChange::Changed); // 客厅 踢脚线 #2
    EXPECT_EQ(diff.Lines[0].OldCount, "2");
    EXPECT_EQ(diff.Lines[0].NewCount, "3.2");
    EXPECT_EQ(diff.Lines[0].DeltaCents, 1500);
    EXPECT_EQ(diff.Lines[1].Room, "卧室");
    EXPECT_EQ(diff.Lines[1].OldPrice, "120");
    EXPECT_EQ(diff.Lines[1].NewPrice, "135.5");
    EXPECT_EQ(diff.Lines[1].DeltaCents, 23250);
    EXPECT_EQ(diff.Lines[2].Kind, LineChange::Added);
    EXPECT_EQ(diff.Lines[2].Room, "阳台");
    EXPECT_EQ(diff.Lines[2].OldAmount, "");
    EXPECT_EQ(diff.Lines[2].DeltaCents, 32163);
    EXPECT_EQ(diff.Lines[3].Kind, LineChange::Removed); // a room only the old version had comes last
    EXPECT_EQ(diff.Lines[3].Room, "厨房");
    EXPECT_EQ(diff.Lines[3].NewAmount, "");
    EXPECT_EQ(diff.Lines[3].DeltaCents, -57000);
    EXPECT_STREQ(LineChangeCaption(diff.Lines[3].Kind), "减少");

    std::int64_t oldTotal = 0, newTotal = 0;
    for (const auto& l : before) oldTotal += MoneyTextCents(l.Amount);
    for (const auto& l : after) newTotal += MoneyTextCents(l.Amount);
    EXPECT_EQ(diff.DeltaCents, newTotal - oldTotal);

    // Nothing changed: nothing listed. From a stored text, lines above the first room have none.
    EXPECT_TRUE(DiffQuotationLines(after, after).Lines.empty());
    QuotationGrid grid;
    TextToQuotation(grid, "010@门锁@80@2@把@160.00@@卧室@@@@0.00@@地板@120@15@平米@1800.00@实木");
    const auto lines = QuotationLines(grid);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Room, "");
    EXPECT_EQ(lines[1].Room, "卧室");
    EXPECT_EQ(lines[1].Amount, "1800.00");
    EXPECT_EQ(lines[1].Memo, "实木");
}

} // namespace
} // namespace lty
