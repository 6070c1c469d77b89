// The short date text (yyyy-M-d) used in records, windows and statements.
#pragma once

#include <string>
#include <string_view>

namespace lty {

struct Date {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    friend bool operator==(const Date&, const Date&) = default;
};

// The date a NULL date column reads as.
inline constexpr Date ZeroDate{1899, 12, 30};

bool IsValidDate(const Date& d);

// "2009-6-22"
std::string DateToStr(const Date& d);

// Accepts yyyy-M-d and yyyy-MM-dd (also '/' as separator); false on
// anything else, including impossible days such as 2009-2-30.
bool TryStrToDate(std::string_view text, Date& out);

// ISO form used for storage: "2009-06-22".
std::string DateToIso(const Date& d);

Date Today();
std::string TodayText();

} // namespace lty
