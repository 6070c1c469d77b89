// Amounts in Chinese capital numerals (大写金额), as a quotation states its
// sum beside the figures so that the figures cannot be altered unnoticed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lty {

// The amount in cents as the two-decimal format prints it, so that figures
// and capitals on one paper never disagree by a rounding. None for values
// too large to count in cents (beyond a hundred trillion yuan) or not finite.
std::optional<std::int64_t> AmountCents(double value);

// 1114.10 -> "壹仟壹佰壹拾肆元壹角整", 100000.05 -> "壹拾万元零伍分",
// 0 -> "零元整"; a negative amount is prefixed "负".
std::string CapitalAmount(std::int64_t cents);
// The same from a value; empty when AmountCents has none.
std::string CapitalAmount(double value);

// Cents back to the two-decimal text, e.g. -5 -> "-0.05".
std::string CentsText(std::int64_t cents);

} // namespace lty
