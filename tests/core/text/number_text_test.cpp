#include "core/text/date_text.h"
#include "core/text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lty {
namespace {

TEST(GeneralFormat, ShortestTextOfFifteenDigits) {
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(18), "18");
    EXPECT_EQ(FloatToStr(12.5), "12.5");
    EXPECT_EQ(FloatToStr(86.4), "86.4");
    EXPECT_EQ(FloatToStr(1234.5), "1234.5");
    EXPECT_EQ(FloatToStr(-3.25), "-3.25");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3"); // binary noise past 15 digits is gone
    EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
}

TEST(GeneralFormat, ExponentOutsideThePlainRange) {
    EXPECT_EQ(FloatToStr(0.00001), "0.00001");
    EXPECT_EQ(FloatToStr(0.000001), "1E-6");
    EXPECT_EQ(FloatToStr(0.0000015), "1.5E-6");
    EXPECT_EQ(FloatToStr(999999999999999.0), "999999999999999");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(-2.5e20), "-2.5E20");
    // Rounding to 15 digits can carry into the next power of ten.
    EXPECT_EQ(FloatToStr(9999999999999999.0), "1E16");
}

TEST(TwoDecimalFormat, HalfGoesAwayFromZeroOnTheDecimalForm) {
    EXPECT_EQ(FormatTwoDecimals(0), "0.00");
    EXPECT_EQ(FormatTwoDecimals(540), "540.00");
    EXPECT_EQ(FormatTwoDecimals(0.125), "0.13");
    EXPECT_EQ(FormatTwoDecimals(1.005), "1.01");
    EXPECT_EQ(FormatTwoDecimals(2.675), "2.68");
    EXPECT_EQ(FormatTwoDecimals(21.824), "21.82");
    EXPECT_EQ(FormatTwoDecimals(-0.125), "-0.13");
    EXPECT_EQ(FormatTwoDecimals(18 * 2.5), "45.00");
    EXPECT_EQ(FormatTwoDecimals(1000 * 0.0341), "34.10");
    EXPECT_EQ(FormatTwoDecimals(0.005), "0.01");
    EXPECT_EQ(FormatTwoDecimals(0.004), "0.00");
    EXPECT_EQ(FormatTwoDecimals(-0.004), "0.00"); // no negative zero
    EXPECT_EQ(FormatTwoDecimals(0.0001), "0.00");
    EXPECT_EQ(FormatTwoDecimals(9.995), "10.00");
    EXPECT_EQ(FormatTwoDecimals(99999.999), "100000.00");
    EXPECT_EQ(FormatTwoDecimals(1e15), "1000000000000000.00");
}

TEST(StrictConversion, AcceptsNumbersWithBlanksAround) {
    EXPECT_DOUBLE_EQ(StrToFloat("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" 12. "), 12.0);
    EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-3"), -3.0);
    EXPECT_DOUBLE_EQ(StrToFloat("+3"), 3.0);
    EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000.0);
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
}

TEST(StrictConversion, RefusesWithTheSystemsMessage) {
    for (const char* bad : {"",     " ",  ".",     "2.5.1", "1,000", "abc",  "12a",       "--1",  "inf",    "nan",
                            "0x10", "1e", "1e999", "NaN",   " INF ", "-inf", "+Infinity", "-nan", "-1e999", "nan(1)"}) {
        try {
            StrToFloat(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid floating point value");
        }
    }
    // Too small to hold is refused too: it is not the 0 the user typed.
    EXPECT_THROW(StrToFloat("1e-400"), ConvertError);
    EXPECT_THROW(StrToFloat("-1e-400"), ConvertError);
    for (const char* bad : {"", "1.5", "x", "99999999999", "1 2", "+-1"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

// The one ceiling every figure, typed, read or computed, is held to.
TEST(NumberCeiling, FifteenSignificantDigitsAndBelowATrillionToTheCent) {
    for (const char* within : {"0", "12.", "0.5", "123456789012345e-4", "12345678901.2345", "999999999999.99",
                               "0.1000000000000000000", "000000000012.5", " 7 "})
        EXPECT_TRUE(NumberTextWithinLimit(within)) << within;
    for (const char* beyond : {"12345678901.23456", "1.000000000000001", "999999999999.995", "1000000000000", "1e12",
                               "-1e12", "401234567890123456789012345678", "abc", "", "1.2.3",
                               "1e-999"})
        EXPECT_FALSE(NumberTextWithinLimit(beyond)) << beyond;
    // Computed values: only the amount to the cent counts.
    EXPECT_TRUE(WithinNumberLimit(0));
    EXPECT_TRUE(WithinNumberLimit(3.2 * 4.5));
    EXPECT_TRUE(WithinNumberLimit(-999999999999.99));
    EXPECT_TRUE(WithinNumberLimit(999999999999.994));
    EXPECT_FALSE(WithinNumberLimit(999999999999.995));
    EXPECT_FALSE(WithinNumberLimit(1e12));
    EXPECT_FALSE(WithinNumberLimit(std::nan("")));
    EXPECT_FALSE(WithinNumberLimit(HUGE_VAL));

    EXPECT_DOUBLE_EQ(StrToLimitedFloat(" 12.5 "), 12.5);
    const auto message = [](const char* text) {
        try {
            StrToLimitedFloat(text);
        } catch (const ConvertError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(message("1.2.3"), "'1.2.3' is not a valid floating point value");
    EXPECT_EQ(message("12345678901234567890"), "'12345678901234567890' is not a valid floating point value"
                                               "（数字最多15位有效数字，数值和金额须小于1万亿）");
}

TEST(Trim, RemovesControlCharactersAndBlanksAtBothEndsOnly) {
    EXPECT_EQ(Trim("\t 张 三 \r\n"), "张 三");
    EXPECT_EQ(Trim(std::string("\x01\x1f"
                               "a"
                               "\x20",
                               4)),
              "a");
    EXPECT_EQ(Trim("   "), "");
}

TEST(DateText, ShortFormRoundTrips) {
    EXPECT_EQ(DateToStr(Date{2009, 6, 22}), "2009-6-22");
    EXPECT_EQ(DateToStr(ZeroDate), "1899-12-30");
    EXPECT_EQ(DateToIso(Date{2009, 6, 2}), "2009-06-02");
    Date d;
    ASSERT_TRUE(TryStrToDate("2009-6-22", d));
    EXPECT_EQ(d, (Date{2009, 6, 22}));
    ASSERT_TRUE(TryStrToDate("2024-02-29", d));
    EXPECT_EQ(d, (Date{2024, 2, 29}));
    ASSERT_TRUE(TryStrToDate("2024/2/9", d));
    // Every fourth year leaps, but not a century unless it divides by 400.
    EXPECT_TRUE(TryStrToDate("2000-2-29", d));
    for (const char* bad : {"", "2009-2-30", "2023-2-29", "1900-2-29", "2100-2-29", "2009-13-1", "2009-6", "2009-6-22x",
                            "2009-6/22", "#"})
        EXPECT_FALSE(TryStrToDate(bad, d)) << bad;
    ASSERT_TRUE(TryStrToDate(TodayText(), d));
    EXPECT_EQ(d, Today());
}

} // namespace
} // namespace lty
