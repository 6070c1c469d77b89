#include "core/text/date_text.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace lty {
namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

bool ReadNumber(std::string_view& s, int maxDigits, int& out) {
    std::size_t n = 0;
    while (n < s.size() && n < static_cast<std::size_t>(maxDigits) && s[n] >= '0' && s[n] <= '9') ++n;
    if (n == 0) return false;
    std::from_chars(s.data(), s.data() + n, out);
    s.remove_prefix(n);
    return true;
}

} // namespace

bool IsValidDate(const Date& d) {
    return d.Year >= 1 && d.Year <= 9999 && d.Month >= 1 && d.Month <= 12 && d.Day >= 1 &&
           d.Day <= DaysInMonth(d.Year, d.Month);
}

std::string DateToStr(const Date& d) {
    return std::to_string(d.Year) + "-" + std::to_string(d.Month) + "-" + std::to_string(d.Day);
}

std::string DateToIso(const Date& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.Year, d.Month, d.Day);
    return buf;
}

bool TryStrToDate(std::string_view text, Date& out) {
    Date d;
    std::string_view s = text;
    if (!ReadNumber(s, 4, d.Year) || s.empty()) return false;
    const char sep = s.front();
    if (sep != '-' && sep != '/') return false;
    s.remove_prefix(1);
    if (!ReadNumber(s, 2, d.Month) || s.empty() || s.front() != sep) return false;
    s.remove_prefix(1);
    if (!ReadNumber(s, 2, d.Day) || !s.empty()) return false;
    if (!IsValidDate(d)) return false;
    out = d;
    return true;
}

Date Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string TodayText() { return DateToStr(Today()); }

} // namespace lty
