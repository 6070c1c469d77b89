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

// Removes the characters of code 32 and below from both ends.
std::string Trim(std::string_view text);

} // namespace lty
