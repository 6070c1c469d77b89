#include "core/quotation/charges.h"

#include "core/text/capital_amount.h"
#include "core/text/number_expression.h"
#include "core/text/number_text.h"

#include <algorithm>

namespace lty {
namespace {

double CentsValue(std::int64_t cents) { return static_cast<double>(cents) / 100; }

// Digits with at most one point, not in front, and at most `decimals` after
// it; what the other number boxes take, without the arithmetic.
bool PlainNumber(std::string_view text, int decimals) {
    if (text.empty() || text.front() == '.') return false;
    const auto point = text.find('.');
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != point && (text[i] < '0' || text[i] > '9')) return false;
    return point == std::string_view::npos || static_cast<int>(text.size() - point - 1) <= decimals;
}

FigureEntry Refused(std::string message) {
    FigureEntry e;
    e.Refusal = std::move(message);
    return e;
}

} // namespace

double RateOfPercent(double percent) { return StrToFloat(FloatToStr(percent / 100)); }

std::int64_t DiscountCents(double projectTotal, const ChargeTerms& terms) {
    const std::int64_t total = AmountCents(projectTotal).value_or(0);
    std::int64_t d = 0;
    if (terms.Discount == DiscountKind::Amount)
        d = AmountCents(terms.DiscountValue).value_or(0);
    else if (terms.Discount == DiscountKind::Percent)
        d = AmountCents(projectTotal * RateOfPercent(terms.DiscountValue)).value_or(0);
    return std::clamp<std::int64_t>(d, 0, std::max<std::int64_t>(total, 0));
}

double ChargeBase(double projectTotal, std::int64_t discountCents) {
    return discountCents == 0 ? projectTotal : CentsValue(AmountCents(projectTotal).value_or(0) - discountCents);
}

std::int64_t ChargeAt(double projectTotal, std::int64_t discountCents, double percent) {
    return AmountCents(ChargeBase(projectTotal, discountCents) * RateOfPercent(percent)).value_or(0);
}

ChargeCents ComputeCharges(double projectTotal, const ChargeTerms& terms) {
    ChargeCents c;
    c.Total = AmountCents(projectTotal).value_or(0);
    c.Discount = DiscountCents(projectTotal, terms);
    c.Overhead = ChargeAt(projectTotal, c.Discount, terms.OverheadPercent);
    c.Tax = ChargeAt(projectTotal, c.Discount, terms.TaxPercent);
    c.Sum = c.Total - c.Discount + c.Overhead + c.Tax;
    return c;
}

std::string DiscountCaption(const ChargeTerms& terms) {
    if (terms.Discount == DiscountKind::Percent) return "优惠（" + PercentText(terms.DiscountValue) + "%）：";
    return "优惠：";
}

std::string PercentText(double percent) { return FloatToStr(percent); }

FigureEntry ReadPercentEntry(std::string_view typed, std::string_view caption) {
    std::string text = Trim(NormalizeNumberInput(typed));
    for (std::string_view sign : {std::string_view("%"), std::string_view("％")})
        if (text.size() >= sign.size() && text.compare(text.size() - sign.size(), sign.size(), sign) == 0)
            text = Trim(text.substr(0, text.size() - sign.size()));
    FigureEntry e;
    if (text.empty()) {
        e.Accepted = e.Blank = true;
        return e;
    }
    double v = 0;
    if (!PlainNumber(text, 6) || !TryStrToFloat(text, v) || v > kMaxPercent)
        return Refused(std::string(caption) + "不合法：" + std::string(typed) +
                       "\n请输入0到100之间的百分数，如 8 或 3.41");
    e.Accepted = true;
    e.Value = v;
    return e;
}

FigureEntry ReadDiscountEntry(std::string_view typed, DiscountKind kind) {
    if (kind == DiscountKind::Percent) return ReadPercentEntry(typed, "优惠比例");
    const std::string text = Trim(NormalizeNumberInput(typed));
    FigureEntry e;
    if (text.empty()) {
        e.Accepted = e.Blank = true;
        return e;
    }
    double v = 0;
    if (!PlainNumber(text, 2) || !TryStrToFloat(text, v))
        return Refused("优惠金额不合法：" + std::string(typed) + "\n请输入金额，最多两位小数，如 500 或 88.50");
    if (!NumberTextWithinLimit(text))
        return Refused("优惠金额不合法：" + std::string(typed) + std::string(kNumberLimitNote));
    e.Accepted = true;
    e.Value = v;
    return e;
}

} // namespace lty
