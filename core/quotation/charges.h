// The charges on a quotation's total: a discount (优惠), then the management
// fee (管理费) and the tax (税金) at the firm's or the project's rates. The fee
// and the tax are taken on the discounted price, so a customer given a
// discount pays neither on the part given. Every figure is whole cents,
// rounded as the two-decimal format rounds, so the lines of the paper add up
// to its 合计 exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lty {

// The rates as percentages, as the firm types them: 8 and 3.41.
inline constexpr double kDefaultOverheadPercent = 8;
inline constexpr double kDefaultTaxPercent = 3.41;
inline constexpr double kMaxPercent = 100;

enum class DiscountKind : int { None = 0, Amount = 1, Percent = 2 };

// What a quotation's charges follow: the rates in force (the project's own
// or else the firm's) and the project's discount.
struct ChargeTerms {
    double OverheadPercent = kDefaultOverheadPercent;
    double TaxPercent = kDefaultTaxPercent;
    DiscountKind Discount = DiscountKind::None;
    double DiscountValue = 0; // yuan for an amount, a percentage for a percent

    // A discount of 0 is none: no 优惠 line, nothing stored.
    bool HasDiscount() const { return Discount != DiscountKind::None && DiscountValue > 0; }
    friend bool operator==(const ChargeTerms&, const ChargeTerms&) = default;
};

// A percentage as the factor it multiplies by, to 15 significant digits, so
// 8 gives exactly the double 0.08 and 3.41 exactly 0.0341.
double RateOfPercent(double percent);

// The lines of the charges in cents. Sum = Total - Discount + Overhead + Tax.
struct ChargeCents {
    std::int64_t Total = 0;
    std::int64_t Discount = 0; // never more than Total, never negative
    std::int64_t Overhead = 0;
    std::int64_t Tax = 0;
    std::int64_t Sum = 0;
};

// The discount on `projectTotal` in cents: an amount as given, a percentage of
// the total rounded to the cent; at most the total itself.
std::int64_t DiscountCents(double projectTotal, const ChargeTerms& terms);
// What the fee and the tax are taken on: the total less the discount; without
// a discount the total as the grid summed it, unrounded, so a quotation keeps
// the very cents it always had.
double ChargeBase(double projectTotal, std::int64_t discountCents);
// The fee or the tax at `percent` on ChargeBase.
std::int64_t ChargeAt(double projectTotal, std::int64_t discountCents, double percent);
ChargeCents ComputeCharges(double projectTotal, const ChargeTerms& terms);

// The caption of the discount line: "优惠：", or "优惠（5%）：" for a percentage.
std::string DiscountCaption(const ChargeTerms& terms);

// What a rate or discount box makes of its text. A blank text is Blank (for a
// project's rate: the firm's). A refused text leaves the box's figure as it
// was; Refusal is the one message to show.
struct FigureEntry {
    bool Accepted = false;
    bool Blank = false;
    double Value = 0;
    std::string Refusal;
};
// A percentage from 0 to 100 ("8", "3.41", "8%"); `caption` names the box in
// the message ("管理费率").
FigureEntry ReadPercentEntry(std::string_view typed, std::string_view caption);
// A discount of `kind`: an amount of yuan to the cent within the ceiling of
// figures, or a percentage from 0 to 100.
FigureEntry ReadDiscountEntry(std::string_view typed, DiscountKind kind);

// A percentage as a box shows it: general format, "8", "3.41".
std::string PercentText(double percent);

} // namespace lty
