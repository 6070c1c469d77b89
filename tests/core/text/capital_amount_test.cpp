#include "core/print/print_totals.h"
#include "core/text/capital_amount.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace lty {
namespace {

TEST(CapitalAmount, ReadsAsAChineseChequeDoes) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {1114.10, "壹仟壹佰壹拾肆元壹角整"},
        {100000.05, "壹拾万元零伍分"},
        {0, "零元整"},
        {0.05, "伍分"},
        {0.5, "伍角整"},
        {10, "壹拾元整"},
        {1005.07, "壹仟零伍元零柒分"},
        {1000.5, "壹仟元伍角整"},
        {10010, "壹万零壹拾元整"},
        {100100, "壹拾万零壹佰元整"},
        {1000001, "壹佰万零壹元整"},
        {12345678.9, "壹仟贰佰叁拾肆万伍仟陆佰柒拾捌元玖角整"},
        {100000000, "壹亿元整"},
        {100010000, "壹亿零壹万元整"},
        {10001000, "壹仟万壹仟元整"},    // a full group after 万 reads no 零
        {101000000, "壹亿零壹佰万元整"}, // the group after 亿 starts with a zero
        {110000000, "壹亿壹仟万元整"},
        {100000001.01, "壹亿零壹元零壹分"},
        {1000000000000, "壹万亿元整"},
        {-1114.1, "负壹仟壹佰壹拾肆元壹角整"},
        {-0.001, "零元整"},      // rounds to 0.00: no "负" before nothing
        {2.675, "贰元陆角捌分"}, // as the two-decimal format rounds it
    };
    for (const auto& c : cases) EXPECT_EQ(CapitalAmount(c.value), c.text) << c.value;
}

TEST(CapitalAmount, AmountsBeyondReckoningGiveNoTextRatherThanWrongOnes) {
    EXPECT_EQ(CapitalAmount(1e14), "");
    EXPECT_EQ(CapitalAmount(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(CapitalAmount(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(CapitalAmount(std::int64_t{9'999'999'999'999'999}),
              "玖拾玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分");
    EXPECT_EQ(CapitalAmount(std::int64_t{10'000'000'000'000'000}), "");
    EXPECT_EQ(CentsText(-5), "-0.05");
    EXPECT_EQ(CentsText(111410), "1114.10");
}

TEST(PrintTotals, TheSumIsTheSumOfThePrintedFigures) {
    auto t = QuotationPrintTotals(1000, "80.00", "34.10");
    EXPECT_EQ(t.ProjectTotal, "1000.00");
    EXPECT_EQ(t.Overhead, "80.00");
    EXPECT_EQ(t.Tax, "34.10");
    EXPECT_EQ(t.Sum, "1114.10");
    EXPECT_EQ(t.SumInCapitals, "壹仟壹佰壹拾肆元壹角整");

    // Each figure rounds on its own; the sum of unrounded values (0.015 * 3 =
    // 0.045 -> 0.05) would differ from what the paper adds up to (0.06).
    t = QuotationPrintTotals(0.015, "0.015", " 0.015 ");
    EXPECT_EQ(t.ProjectTotal, "0.02");
    EXPECT_EQ(t.Sum, "0.06");

    // Stored projects show their fee and tax in the general format; a box
    // that holds no number counts 0 rather than stopping the printout.
    t = QuotationPrintTotals(1234.5, "98.76", "");
    EXPECT_EQ(t.Tax, "0.00");
    EXPECT_EQ(t.Sum, "1333.26");
    EXPECT_EQ(QuotationPrintTotals(0, "abc", "1.2.3").Sum, "0.00");
    EXPECT_EQ(QuotationPrintTotals(0, "0", "0").SumInCapitals, "零元整");
}

} // namespace
} // namespace lty
