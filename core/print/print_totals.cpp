#include "core/print/print_totals.h"

#include "core/text/capital_amount.h"
#include "core/text/number_text.h"

#include <cstdint>

namespace lty {
namespace {

std::int64_t Cents(double value) { return AmountCents(value).value_or(0); }

std::int64_t TextCents(std::string_view text) {
    double v = 0;
    return TryStrToFloat(text, v) ? Cents(v) : 0;
}

} // namespace

PrintTotals QuotationPrintTotals(double projectTotal, std::string_view overheadText, std::string_view taxText,
                                 const ChargeTerms& terms) {
    const std::int64_t total = Cents(projectTotal);
    const std::int64_t discount = DiscountCents(projectTotal, terms);
    const std::int64_t overhead = TextCents(overheadText);
    const std::int64_t tax = TextCents(taxText);
    const std::int64_t sum = total - discount + overhead + tax;
    PrintTotals t;
    t.ProjectTotal = CentsText(total);
    if (terms.HasDiscount()) {
        t.Discount = CentsText(-discount);
        t.DiscountCaption = DiscountCaption(terms);
    }
    t.Overhead = CentsText(overhead);
    t.Tax = CentsText(tax);
    t.Sum = CentsText(sum);
    t.SumInCapitals = CapitalAmount(sum);
    t.Terms = terms;
    return t;
}

} // namespace lty
