// The totals block of a printed quotation: 工程总价, 优惠 when the project has
// a discount, 管理费, 税金 and 合计, with 合计 in capitals. The paper must add
// up to the cent, so 合计 is the sum of the amounts as printed (the discount
// taken off), not of their unrounded values. Everything a paper needs of its
// totals is here, so a copy of the struct prints the same figures later.
#pragma once

#include "core/quotation/charges.h"

#include <string>
#include <string_view>

namespace lty {

struct PrintTotals {
    std::string ProjectTotal; // 工程总价
    std::string Discount;     // 优惠, negative ("-500.00"); empty without a discount
    std::string DiscountCaption = "优惠：";
    std::string Overhead;     // 管理费
    std::string Tax;          // 税金
    std::string Sum;          // 合计
    std::string SumInCapitals;
    // The terms the fee, the tax and the discount were worked out at.
    ChargeTerms Terms;

    bool HasDiscount() const { return !Discount.empty(); }
};

// The fee and the tax come as the project window shows them (its 管理费 and
// 税金 boxes), so the paper matches the screen; a text that holds no number
// counts as 0, as a line without a number prints 0. The discount follows
// from the total and `terms`, as the window works it out.
PrintTotals QuotationPrintTotals(double projectTotal, std::string_view overheadText, std::string_view taxText,
                                 const ChargeTerms& terms = {});

} // namespace lty
