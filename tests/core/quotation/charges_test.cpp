// The charges on a quotation: the firm's default rates give the very cents
// the grid always gave; other rates and a discount give figures worked out
// here by hand, whose printed lines add up to 合计 exactly.
#include "core/print/print_totals.h"
#include "core/quotation/charges.h"
#include "core/text/capital_amount.h"
#include "core/text/number_text.h"
#include "tests/core/quotation/three_room_quotation.h"

#include <gtest/gtest.h>

namespace lty {
namespace {

TEST(Charges, TheFirmDefaultsGiveTheCentsOfTheFixedRatesForEveryTotal) {
    EXPECT_EQ(RateOfPercent(8), 0.08);
    EXPECT_EQ(RateOfPercent(3.41), 0.0341);
    const ChargeTerms defaults;
    // Totals as the grid sums them (two-decimal amounts added as doubles),
    // halves of a cent included.
    double total = 0;
    for (int i = 0; i < 20000; ++i) {
        total += StrToFloat(FormatTwoDecimals((i * 7919 % 100003) / 100.0));
        const ChargeCents c = ComputeCharges(total, defaults);
        ASSERT_EQ(CentsText(c.Overhead), FormatTwoDecimals(total * 0.08)) << FloatToStr(total);
        ASSERT_EQ(CentsText(c.Tax), FormatTwoDecimals(total * 0.0341)) << FloatToStr(total);
        ASSERT_EQ(c.Discount, 0);
        ASSERT_EQ(c.Sum, c.Total + c.Overhead + c.Tax);
    }
    // 50 * 3.41 % = 1.705: the half cent goes up, as the grid's text did.
    EXPECT_EQ(ComputeCharges(50, defaults).Tax, 171);
}

// The three-room quotation: the printed lines, 合计 as their sum, 大写 of it.
void ExpectPrinted(const ChargeTerms& terms, const std::vector<std::string>& lines, const std::string& capitals) {
    QuotationGrid g;
    test::BuildThreeRoomQuotation(g);
    g.SetTerms(terms);
    const QuotationCharges& c = g.RecalcCharges();
    const PrintTotals t = QuotationPrintTotals(g.ProjectTotal(), c.Edit8Text, c.Edit9Text, terms);
    std::vector<std::string> printed{t.ProjectTotal};
    if (t.HasDiscount()) printed.push_back(t.Discount);
    for (const std::string* s : {&t.Overhead, &t.Tax, &t.Sum}) printed.push_back(*s);
    EXPECT_EQ(printed, lines);
    std::int64_t sum = 0;
    for (std::size_t i = 0; i + 1 < printed.size(); ++i) sum += *AmountCents(StrToFloat(printed[i]));
    EXPECT_EQ(CentsText(sum), t.Sum);
    EXPECT_EQ(t.SumInCapitals, capitals);
    // The window's 优惠金额 is the printed line without its sign.
    EXPECT_EQ(c.DiscountText, t.HasDiscount() ? t.Discount.substr(1) : "0.00");
}

TEST(Charges, TheThreeRoomQuotationAtOtherRatesAndWithDiscountsAsWorkedOutByHand) {
    // Today's figures at the firm's defaults.
    ExpectPrinted({}, {"25046.10", "2003.69", "854.07", "27903.86"}, "贰万柒仟玖佰零叁元捌角陆分");
    // Firm's rates of 10 % and 5 %: 2504.61; 1252.305 goes up to 1252.31.
    ExpectPrinted({10, 5}, {"25046.10", "2504.61", "1252.31", "28803.02"}, "贰万捌仟捌佰零叁元零贰分");
    // A project's own 6 % fee: 1502.766 -> 1502.77; the tax stays the firm's.
    ExpectPrinted({6, 3.41}, {"25046.10", "1502.77", "854.07", "27402.94"}, "贰万柒仟肆佰零贰元玖角肆分");
    // 1046.10 off: fee and tax on 24000.00, 1920.00 and 818.40; 24000 + 1920 + 818.40.
    ExpectPrinted({8, 3.41, DiscountKind::Amount, 1046.1}, {"25046.10", "-1046.10", "1920.00", "818.40", "26738.40"},
                  "贰万陆仟柒佰叁拾捌元肆角整");
    // 5 % off: 1252.305 -> 1252.31; on 23793.79 the fee 1903.5032 -> 1903.50
    // and the tax 811.368239 -> 811.37.
    ExpectPrinted({8, 3.41, DiscountKind::Percent, 5}, {"25046.10", "-1252.31", "1903.50", "811.37", "26508.66"},
                  "贰万陆仟伍佰零捌元陆角陆分");
    // More off than the price: the price goes to nothing, never below.
    ExpectPrinted({8, 3.41, DiscountKind::Amount, 30000}, {"25046.10", "-25046.10", "0.00", "0.00", "0.00"}, "零元整");
    // A discount of nothing is none: no line.
    ExpectPrinted({8, 3.41, DiscountKind::Percent, 0}, {"25046.10", "2003.69", "854.07", "27903.86"},
                  "贰万柒仟玖佰零叁元捌角陆分");
    EXPECT_EQ(DiscountCaption({8, 3.41, DiscountKind::Percent, 9.5}), "优惠（9.5%）：");
    EXPECT_EQ(DiscountCaption({8, 3.41, DiscountKind::Amount, 500}), "优惠：");
}

TEST(Charges, RateAndDiscountBoxesTakePercentagesAndCentsAndSayWhatTheyRefuse) {
    for (const auto& [typed, value] : std::vector<std::pair<std::string, double>>{
             {"8", 8}, {" 3.41 ", 3.41}, {"８％", 8}, {"5 %", 5}, {"0", 0}, {"100", 100}, {"12.345678", 12.345678}}) {
        const FigureEntry e = ReadPercentEntry(typed, "管理费率");
        EXPECT_TRUE(e.Accepted && !e.Blank) << typed;
        EXPECT_EQ(e.Value, value) << typed;
    }
    EXPECT_TRUE(ReadPercentEntry("  ", "税率").Blank);
    for (const std::string typed : {"abc", "100.01", "-1", "1.2.3", ".5", "1e2", "8%%", "3.1234567"}) {
        const FigureEntry e = ReadPercentEntry(typed, "税率");
        EXPECT_FALSE(e.Accepted) << typed;
        EXPECT_EQ(e.Refusal, "税率不合法：" + typed + "\n请输入0到100之间的百分数，如 8 或 3.41");
    }
    EXPECT_EQ(ReadDiscountEntry("1046.10", DiscountKind::Amount).Value, 1046.1);
    EXPECT_EQ(ReadDiscountEntry("５００", DiscountKind::Amount).Value, 500);
    EXPECT_TRUE(ReadDiscountEntry("", DiscountKind::Amount).Blank);
    EXPECT_EQ(ReadDiscountEntry("88.505", DiscountKind::Amount).Refusal,
              "优惠金额不合法：88.505\n请输入金额，最多两位小数，如 500 或 88.50");
    EXPECT_EQ(ReadDiscountEntry("1000000000000", DiscountKind::Amount).Refusal,
              "优惠金额不合法：1000000000000" + std::string(kNumberLimitNote));
    EXPECT_EQ(ReadDiscountEntry("500", DiscountKind::Percent).Refusal,
              "优惠比例不合法：500\n请输入0到100之间的百分数，如 8 或 3.41");
}

} // namespace
} // namespace lty
