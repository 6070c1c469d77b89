// The totals block of a printed quotation: 工程总价, 管理费, 税金 and 合计,
// with 合计 in capitals. The paper must add up to the cent, so 合计 is the sum
// of the three amounts as printed, not of their unrounded values.
#pragma once

#include <string>
#include <string_view>

namespace lty {

struct PrintTotals {
    std::string ProjectTotal; // 工程总价
    std::string Overhead;     // 管理费
    std::string Tax;          // 税金
    std::string Sum;          // 合计
    std::string SumInCapitals;
};

// The fee and the tax come as the project window shows them (its 管理费 and
// 税金 boxes), so the paper matches the screen; a text that holds no number
// counts as 0, as a line without a number prints 0.
PrintTotals QuotationPrintTotals(double projectTotal, std::string_view overheadText, std::string_view taxText);

} // namespace lty
