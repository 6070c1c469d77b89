// Splicing helpers, one per value kind. Every value that enters a statement
// goes through one of these, so a statement is always literal pieces plus
// values the engine cannot mistake for statement text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lty {

// Text between single quotes, quotes inside doubled: O'Brien -> 'O''Brien'.
std::string SqlText(std::string_view text);
// A double in the general format: 1234.5, 80, 0. A value that is not finite
// raises ConvertError ("'INF' is not a valid floating point value").
std::string SqlNumber(double value);
// Decimal digits.
std::string SqlInteger(std::int64_t value);
// A short date text between '#' signs. A text that is no date is kept
// between the signs with any '#' removed, so the engine refuses it.
std::string SqlDate(std::string_view dateText);
// -1 for yes, 0 for no.
std::string SqlYesNo(bool value);

} // namespace lty
