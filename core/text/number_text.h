// Number texts shared by statements, the grid and the printed quotation.
// One implementation each, so that a price never reads differently in two places.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lty {

// A conversion error carries the user-facing message text; it reaches the
// general error report when no operation catches it.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// General format: the value rounded to 15 significant digits, shortest form,
// no trailing zeros, no point for whole numbers, '.' separator, no grouping.
// Plain notation from 0.00001 up to below 10^15, exponent notation outside.
std::string FloatToStr(double value);

// Fixed point with exactly two decimals. An exact half at the third decimal
// (judged on the 15-significant-digit decimal form) goes away from zero.
std::string FormatTwoDecimals(double value);

// Decimal digits with a minus sign for negatives.
std::string IntToStr(std::int64_t value);

// Strict conversions. Blanks around the number are allowed; anything else
// that is not a number raises ConvertError with the system's own message.
double StrToFloat(std::string_view text);
int StrToInt(std::string_view text);
bool TryStrToFloat(std::string_view text, double& out);
bool TryStrToInt(std::string_view text, int& out);

// The ceiling of every figure the program takes in or computes. Amounts are
// binary doubles shown to the cent through their 15-significant-digit decimal
// form: a figure of at most 15 significant digits reads back exactly, and an
// amount below 10^12 keeps its third decimal, which decides the cent, within
// those 15 digits. Beyond either, the figure shown and stored would no longer
// be the one entered or computed.
inline constexpr int kMaxSignificantDigits = 15;
inline constexpr double kNumberCeiling = 1e12;
// Names the ceiling; follows the bad-input message of the box or cell that
// refused a figure.
inline constexpr std::string_view kNumberLimitNote = "（数字最多15位有效数字，数值和金额须小于1万亿）";

// Whether a computed value (an amount, a product, a total) is finite and,
// rounded to the cent as the two-decimal format rounds it, below the ceiling.
bool WithinNumberLimit(double value);

// Whether a number text, as StrToFloat reads it, has at most 15 significant
// digits (leading zeros and trailing zeros of the fraction do not count) and
// a value within WithinNumberLimit. A text that is no number answers false.
bool NumberTextWithinLimit(std::string_view text);

// StrToFloat for a figure a user entered: a text that is no number raises its
// message, a number beyond the ceiling raises that message followed by
// kNumberLimitNote.
double StrToLimitedFloat(std::string_view text);

// Removes the characters of code 32 and below from both ends.
std::string Trim(std::string_view text);

} // namespace lty
