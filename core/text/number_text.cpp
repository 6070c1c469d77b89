#include "core/text/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace lty {
namespace {

// The value's decimal form rounded to 15 significant digits: 15 digits
// d0 d1 ... d14 and the power of ten of d0.
struct Decimal15 {
    bool Negative = false;
    std::string Digits; // exactly 15 digits, first one non-zero unless the value is 0
    int Exponent = 0;
};

Decimal15 ToDecimal15(double value) {
    Decimal15 d;
    d.Negative = std::signbit(value) && value != 0.0;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    // s looks like "1.23450000000000e+03"
    const auto ePos = s.find('e');
    d.Digits.reserve(15);
    for (char c : s.substr(0, ePos))
        if (c != '.') d.Digits.push_back(c);
    int exp = 0;
    std::string_view es = s.substr(ePos + 1);
    if (!es.empty() && es.front() == '+') es.remove_prefix(1);
    std::from_chars(es.data(), es.data() + es.size(), exp);
    d.Exponent = exp;
    return d;
}

std::string NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Sign, digits with at most one point and at least one digit, optional exponent.
bool IsFloatSyntax(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

std::string_view TrimView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

} // namespace

std::string FloatToStr(double value) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (value == 0.0) return "0";
    const Decimal15 d = ToDecimal15(value);
    std::string digits = d.Digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = d.Negative ? "-" : "";
    const int e = d.Exponent;
    if (e >= -5 && e < 15) {
        if (e < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-e - 1), '0');
            out += digits;
        } else {
            const auto intLen = static_cast<std::size_t>(e + 1);
            if (digits.size() <= intLen) {
                out += digits;
                out.append(intLen - digits.size(), '0');
            } else {
                out += digits.substr(0, intLen);
                out += '.';
                out += digits.substr(intLen);
            }
        }
        return out;
    }
    out += digits.substr(0, 1);
    if (digits.size() > 1) {
        out += '.';
        out += digits.substr(1);
    }
    out += 'E';
    out += std::to_string(e);
    return out;
}

std::string FormatTwoDecimals(double value) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (value == 0.0) return "0.00";
    const Decimal15 d = ToDecimal15(value);
    // Digits that stand before the third decimal place.
    const int keep = d.Exponent + 3;
    std::string cents;
    bool roundUp = false;
    if (keep <= 0) {
        roundUp = keep == 0 && d.Digits[0] >= '5';
    } else if (keep >= 15) {
        cents = d.Digits;
        cents.append(static_cast<std::size_t>(keep - 15), '0');
    } else {
        cents = d.Digits.substr(0, static_cast<std::size_t>(keep));
        roundUp = d.Digits[static_cast<std::size_t>(keep)] >= '5';
    }
    if (roundUp) {
        int i = static_cast<int>(cents.size()) - 1;
        while (i >= 0 && cents[static_cast<std::size_t>(i)] == '9') cents[static_cast<std::size_t>(i--)] = '0';
        if (i < 0)
            cents.insert(cents.begin(), '1');
        else
            ++cents[static_cast<std::size_t>(i)];
    }
    if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');
    const bool allZero = cents.find_first_not_of('0') == std::string::npos;
    std::string out = (d.Negative && !allZero) ? "-" : "";
    out += cents.substr(0, cents.size() - 2);
    out += '.';
    out += cents.substr(cents.size() - 2);
    return out;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

bool TryStrToFloat(std::string_view text, double& out) {
    std::string_view s = TrimView(text);
    if (!IsFloatSyntax(s)) return false;
    if (s.front() == '+') s.remove_prefix(1);
    double v = 0;
    // Out of range either way is refused: a value too small to hold is not the 0 the user typed.
    auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool TryStrToInt(std::string_view text, int& out) {
    std::string_view s = TrimView(text);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) return false;
    }
    if (s.empty()) return false;
    int v = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
    out = v;
    return true;
}

namespace {

std::string NotAFloatMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid floating point value";
}

// Digits from the first non-zero one to the last non-zero one of the mantissa.
int SignificantDigits(std::string_view number) {
    const auto end = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, end);
    int count = 0;
    int pendingZeros = 0;
    bool started = false;
    for (char c : mantissa) {
        if (c < '0' || c > '9') continue;
        if (c == '0') {
            if (started) ++pendingZeros;
            continue;
        }
        count += pendingZeros + 1;
        pendingZeros = 0;
        started = true;
    }
    return count;
}

} // namespace

double StrToFloat(std::string_view text) {
    double v = 0;
    if (!TryStrToFloat(text, v)) throw ConvertError(NotAFloatMessage(text));
    return v;
}

bool WithinNumberLimit(double value) {
    if (!std::isfinite(value)) return false;
    const double magnitude = std::fabs(value);
    if (magnitude < kNumberCeiling * 0.99) return true;
    if (magnitude >= kNumberCeiling) return false;
    // Just below the ceiling the cent may round up onto it: twelve digits
    // before the point at most, as the two-decimal text shows it.
    return FormatTwoDecimals(magnitude).find('.') <= 12;
}

bool NumberTextWithinLimit(std::string_view text) {
    double v = 0;
    return TryStrToFloat(text, v) && SignificantDigits(TrimView(text)) <= kMaxSignificantDigits &&
           WithinNumberLimit(v);
}

double StrToLimitedFloat(std::string_view text) {
    const double v = StrToFloat(text);
    if (!NumberTextWithinLimit(text)) throw ConvertError(NotAFloatMessage(text) + std::string(kNumberLimitNote));
    return v;
}

int StrToInt(std::string_view text) {
    int v = 0;
    if (!TryStrToInt(text, v)) throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
    return v;
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

} // namespace lty
