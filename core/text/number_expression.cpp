#include "core/text/number_expression.h"

#include <cstdint>

namespace lty {
namespace {

__extension__ typedef __int128 Int;

// An exact rational number; every decimal literal is one, and so is every
// sum, difference, product and quotient of them. The denominator is positive
// and the fraction is kept in lowest terms. Any step that would overflow
// makes the whole expression fail rather than answer a wrong number.
struct Rational {
    Int Num = 0;
    Int Den = 1;
};

Int Gcd(Int a, Int b) {
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    while (b != 0) {
        const Int t = a % b;
        a = b;
        b = t;
    }
    return a;
}

bool Reduce(Rational& r) {
    if (r.Den == 0) return false;
    if (r.Den < 0) {
        r.Num = -r.Num;
        r.Den = -r.Den;
    }
    const Int g = Gcd(r.Num, r.Den);
    if (g > 1) {
        r.Num /= g;
        r.Den /= g;
    }
    return true;
}

bool Mul(Int a, Int b, Int& out) { return !__builtin_mul_overflow(a, b, &out); }
bool Add(Int a, Int b, Int& out) { return !__builtin_add_overflow(a, b, &out); }

bool AddRational(const Rational& a, const Rational& b, bool subtract, Rational& out) {
    const Int g = Gcd(a.Den, b.Den);
    Int left = 0, right = 0, den = 0;
    if (!Mul(a.Num, b.Den / g, left) || !Mul(b.Num, a.Den / g, right) || !Mul(a.Den / g, b.Den, den)) return false;
    if (subtract) right = -right;
    if (!Add(left, right, out.Num)) return false;
    out.Den = den;
    return Reduce(out);
}

bool MulRational(const Rational& a, const Rational& b, Rational& out) {
    // Cross-cancelling first keeps the intermediate products small.
    const Int g1 = Gcd(a.Num, b.Den);
    const Int g2 = Gcd(b.Num, a.Den);
    const Int d1 = g1 == 0 ? 1 : g1;
    const Int d2 = g2 == 0 ? 1 : g2;
    if (!Mul(a.Num / d1, b.Num / d2, out.Num) || !Mul(a.Den / d2, b.Den / d1, out.Den)) return false;
    return Reduce(out);
}

bool DivRational(const Rational& a, const Rational& b, Rational& out) {
    if (b.Num == 0) return false;
    return MulRational(a, Rational{b.Den, b.Num}, out) && Reduce(out);
}

// expression := term { ('+' | '-') term }
// term       := factor { ('*' | '/') factor }
// factor     := ('+' | '-') factor | '(' expression ')' | number
// number     := digit { digit } [ '.' { digit } ]
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool Parse(Rational& out) { return Expression(out, 0) && Peek() == '\0' && pos_ == text_.size(); }

private:
    static constexpr int kMaxDepth = 64;   // brackets and signs nested deeper are refused
    static constexpr int kMaxDigits = 30;  // 10^30 still fits with room to multiply by a denominator

    // The next character past blanks, which may stand between numbers and
    // operators but not inside a number.
    char Peek() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }

    bool Expression(Rational& out, int depth) {
        if (!Term(out, depth)) return false;
        while (Peek() == '+' || Peek() == '-') {
            const bool subtract = Peek() == '-';
            ++pos_;
            Rational right;
            if (!Term(right, depth)) return false;
            Rational sum;
            if (!AddRational(out, right, subtract, sum)) return false;
            out = sum;
        }
        return true;
    }

    bool Term(Rational& out, int depth) {
        if (!Factor(out, depth)) return false;
        while (Peek() == '*' || Peek() == '/') {
            const bool divide = Peek() == '/';
            ++pos_;
            Rational right;
            if (!Factor(right, depth)) return false;
            Rational result;
            if (!(divide ? DivRational(out, right, result) : MulRational(out, right, result))) return false;
            out = result;
        }
        return true;
    }

    bool Factor(Rational& out, int depth) {
        if (depth > kMaxDepth) return false;
        const char c = Peek();
        if (c == '+' || c == '-') {
            ++pos_;
            if (!Factor(out, depth + 1)) return false;
            if (c == '-') out.Num = -out.Num;
            return true;
        }
        if (c == '(') {
            ++pos_;
            if (!Expression(out, depth + 1) || Peek() != ')') return false;
            ++pos_;
            return true;
        }
        return Number(out);
    }

    bool Number(Rational& out) {
        Int num = 0;
        Int den = 1;
        int digits = 0;
        bool point = false;
        const char first = Peek();
        if (first < '0' || first > '9') return false; // a number starts with a digit, as a typed one must
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '.' && !point) {
                point = true;
            } else if (c >= '0' && c <= '9') {
                if (++digits > kMaxDigits) return false;
                num = num * 10 + (c - '0');
                if (point) den *= 10;
            } else {
                break;
            }
            ++pos_;
        }
        out = Rational{num, den};
        return Reduce(out);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void AppendDigits(std::string& out, Int value) {
    char buffer[48];
    int n = 0;
    do {
        buffer[n++] = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    while (n > 0) out += buffer[--n];
}

// General format of an exact fraction: 15 significant digits, the 16th
// deciding the rounding (an exact half goes away from zero), trailing zeros
// and a bare point dropped.
std::string FormatGeneral(Rational value) {
    if (value.Num == 0) return "0";
    const bool negative = value.Num < 0;
    const Int num = negative ? -value.Num : value.Num;
    const Int den = value.Den;
    const Int whole = num / den;
    Int rest = num % den;

    std::string intDigits;
    if (whole > 0) AppendDigits(intDigits, whole);
    constexpr int kSignificant = 15;
    if (static_cast<int>(intDigits.size()) > kSignificant) return {}; // beyond plain notation; never a cell value

    // Digits after the point until 15 significant ones are known, plus one
    // to round on. Leading zeros of a value below 1 are not significant.
    std::string fraction;
    int significant = static_cast<int>(intDigits.size());
    int roundDigit = 0;
    while (true) {
        rest *= 10;
        const int digit = static_cast<int>(rest / den);
        rest %= den;
        if (significant >= kSignificant) {
            roundDigit = digit;
            break;
        }
        fraction += static_cast<char>('0' + digit);
        if (significant > 0 || digit != 0) ++significant;
        if (fraction.size() > 40) break; // a value this small reads as 0 in a cell
    }

    std::string digits = intDigits + fraction;
    if (roundDigit >= 5) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0)
            ++digits[static_cast<std::size_t>(i)];
        else
            digits.insert(digits.begin(), '1');
    }
    const std::size_t intLength = digits.size() - fraction.size();
    std::string text = intLength == 0 ? "0" : digits.substr(0, intLength);
    std::string frac = digits.substr(intLength);
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    if (!frac.empty()) text += "." + frac;
    if (text == "0") return "0";
    return negative ? "-" + text : text;
}

// Appends the ASCII form of one UTF-8 character, or nothing for a blank.
// Answers the bytes consumed.
std::size_t NormalizeOne(std::string_view text, std::size_t i, std::string& out) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 <= 32) {
        out += ' ';
        return 1;
    }
    if (b0 < 0x80) {
        out += static_cast<char>(b0);
        return 1;
    }
    if (i + 2 < text.size() && b0 == 0xEF) {
        // U+FF01..U+FF5E, the full-width forms of '!'..'~': EF BC 81..BF, EF BD 80..9E.
        const auto b1 = static_cast<unsigned char>(text[i + 1]);
        const auto b2 = static_cast<unsigned char>(text[i + 2]);
        int code = -1;
        if (b1 == 0xBC && b2 >= 0x81 && b2 <= 0xBF) code = 0x21 + (b2 - 0x81);
        if (b1 == 0xBD && b2 >= 0x80 && b2 <= 0x9E) code = 0x21 + 0x3F + (b2 - 0x80);
        if (code >= 0) {
            out += static_cast<char>(code);
            return 3;
        }
    }
    if (i + 2 < text.size() && b0 == 0xE3 && text[i + 1] == '\x80' && text[i + 2] == '\x80') { // U+3000
        out += ' ';
        return 3;
    }
    if (i + 1 < text.size() && b0 == 0xC3) {
        const auto b1 = static_cast<unsigned char>(text[i + 1]);
        if (b1 == 0x97) { // U+00D7 ×
            out += '*';
            return 2;
        }
        if (b1 == 0xB7) { // U+00F7 ÷
            out += '/';
            return 2;
        }
    }
    out += static_cast<char>(b0);
    return 1;
}

} // namespace

std::string NormalizeNumberInput(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) i += NormalizeOne(text, i, out);
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    out.erase(out.find_last_not_of(' ') + 1);
    out.erase(0, first);
    return out;
}

bool LooksLikeExpression(std::string_view normalized) {
    return normalized.find_first_of("+-*/()") != std::string_view::npos;
}

std::optional<std::string> EvaluateNumberExpression(std::string_view text) {
    const std::string normalized = NormalizeNumberInput(text);
    if (normalized.empty()) return std::nullopt;
    Rational value;
    Parser parser(normalized);
    if (!parser.Parse(value)) return std::nullopt;
    std::string result = FormatGeneral(value);
    if (result.empty()) return std::nullopt;
    return result;
}

} // namespace lty
