// Stored quotations of any size for the benchmarks: sections of one heading
// and nine items with realistic texts.
#pragma once

#include <string>

namespace lty::bench {

inline std::string QuotationTextOf(int rows) {
    std::string kinds;
    std::string cells;
    for (int r = 0; r < rows; ++r) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on chains of operator+.
        if (r % 10 == 0) {
            kinds += '1';
            cells.append("@卧室").append(std::to_string(r / 10)).append("@@@@0.00@");
        } else {
            kinds += '0';
            cells.append("@墙面乳胶漆（一底两面）@18@").append(std::to_string(r % 7 + 1)).append(".5@平米@");
            cells.append(std::to_string(18 * (r % 7 + 1) + 9)).append(".00@滚涂一遍底漆两遍面漆，墙面找平，含辅料");
        }
    }
    return kinds + cells;
}

} // namespace lty::bench
