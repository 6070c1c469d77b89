#include "core/text/number_expression.h"

#include <gtest/gtest.h>

namespace lty {
namespace {

TEST(NumberExpression, WorksOutDecimalArithmeticExactlyAndRefusesEverythingElse) {
    struct Case {
        const char* text;
        const char* value;
    };
    const Case good[] = {
        {"3.2*4.5", "14.4"},
        {"(3.6+2.4)*2*2.8-0.9*2.1", "31.71"},
        {"12.5+3", "15.5"},
        {"0.1*3", "0.3"},          // no binary noise
        {"0.1+0.2", "0.3"},
        {"1/3", "0.333333333333333"}, // rounded to the cell's 15 significant digits
        {"2/3", "0.666666666666667"},
        {"10/4", "2.5"},
        {"100/3*3", "100"},        // exact all the way through
        {"-2+5", "3"},
        {"-(1.5)*-2", "3"},
        {"3-5", "-2"},
        {"12.", "12"},
        {"007*1", "7"},
        {"0.125*1", "0.125"},
        {"999999999999999.5+0", "1000000000000000"},
        {"１２．５＊２", "25"},        // full-width digits and operators
        {"（1＋2）×3÷2", "4.5"},
        {" 3.2 * 4.5 ", "14.4"},     // blanks, ASCII and ideographic
        {"3\xE3\x80\x80*2", "6"},
        {"1-1", "0"},
    };
    for (const auto& c : good) {
        const auto v = EvaluateNumberExpression(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    const char* bad[] = {"", "abc", "3*", "*3", "(1+2", "1+2)", "1/0", "1/(2-2)", "2..5", ".5+1",
                         "1e3", "3 4", "1,5", "12a+1", "((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))",
                         "99999999999999999999999999999*99999999999999999999999999999*9999999999"};
    for (const char* b : bad) EXPECT_FALSE(EvaluateNumberExpression(b).has_value()) << b;

    EXPECT_EQ(NormalizeNumberInput("１２．５"), "12.5");
    EXPECT_TRUE(LooksLikeExpression("3*2"));
    EXPECT_FALSE(LooksLikeExpression("3.2"));
}

} // namespace
} // namespace lty
