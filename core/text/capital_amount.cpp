#include "core/text/capital_amount.h"

#include "core/text/number_text.h"

#include <cmath>

namespace lty {
namespace {

constexpr const char* kDigits[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
constexpr const char* kPlaces[] = {"", "拾", "佰", "仟"};
constexpr std::int64_t kMaxCents = 10'000'000'000'000'000; // a hundred trillion yuan

// 1..9999 with zeros inside read once ("壹仟零伍"); trailing zeros are silent.
std::string FourDigits(std::int64_t n) {
    std::string out;
    bool zeroPending = false;
    std::int64_t scale = 1000;
    for (int place = 3; place >= 0; --place, scale /= 10) {
        const int d = static_cast<int>(n / scale % 10);
        if (d == 0) {
            zeroPending = !out.empty();
            continue;
        }
        if (zeroPending) out += kDigits[0];
        zeroPending = false;
        out += kDigits[d];
        out += kPlaces[place];
    }
    return out;
}

// Whole yuan above zero: 亿 and 万 split the number into groups of four; a
// group that does not fill its four places after a higher one reads a 零.
std::string Yuan(std::int64_t n) {
    constexpr std::int64_t kYi = 100'000'000;
    constexpr std::int64_t kWan = 10'000;
    if (n >= kYi) {
        const std::int64_t low = n % kYi;
        std::string out = Yuan(n / kYi) + "亿";
        if (low == 0) return out;
        if (low < kYi / 10) out += kDigits[0];
        return out + Yuan(low);
    }
    if (n >= kWan) {
        const std::int64_t low = n % kWan;
        std::string out = FourDigits(n / kWan) + "万";
        if (low == 0) return out;
        if (low < kWan / 10) out += kDigits[0];
        return out + FourDigits(low);
    }
    return FourDigits(n);
}

} // namespace

std::optional<std::int64_t> AmountCents(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= static_cast<double>(kMaxCents) / 100) return std::nullopt;
    const std::string text = FormatTwoDecimals(value);
    std::int64_t cents = 0;
    bool negative = false;
    for (char c : text) {
        if (c == '-')
            negative = true;
        else if (c >= '0' && c <= '9')
            cents = cents * 10 + (c - '0');
    }
    return negative ? -cents : cents;
}

std::string CapitalAmount(std::int64_t cents) {
    if (cents <= -kMaxCents || cents >= kMaxCents) return {};
    std::string out;
    if (cents < 0) {
        out = "负";
        cents = -cents;
    }
    const std::int64_t yuan = cents / 100;
    const int jiao = static_cast<int>(cents / 10 % 10);
    const int fen = static_cast<int>(cents % 10);
    if (yuan > 0) out += Yuan(yuan) + "元";
    if (jiao == 0 && fen == 0) return out + (yuan == 0 ? "零元整" : "整");
    if (jiao > 0) {
        out += kDigits[jiao];
        out += "角";
    } else if (yuan > 0) {
        out += kDigits[0]; // 壹拾万元零伍分: the empty 角 is read
    }
    if (fen == 0) return out + "整";
    out += kDigits[fen];
    return out + "分";
}

std::string CapitalAmount(double value) {
    const auto cents = AmountCents(value);
    return cents ? CapitalAmount(*cents) : std::string();
}

std::string CentsText(std::int64_t cents) {
    const bool negative = cents < 0;
    const std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    std::string frac = std::to_string(a % 100);
    if (frac.size() < 2) frac.insert(0, "0");
    return (negative ? "-" : "") + std::to_string(a / 100) + "." + frac;
}

} // namespace lty
