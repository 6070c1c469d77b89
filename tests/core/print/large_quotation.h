// The quotation of a very large job, 80 rooms of 25 lines each (2,000 lines)
// with memos of every length, built with the grid's own operations: the
// benchmarks time the ways out of the program on it, and the tests check
// that those ways keep its figures.
#pragma once

#include "core/print/print_source.h"
#include "core/quotation/quotation_grid.h"

#include <string>

namespace lty::test {

inline constexpr int kLargeRooms = 80;
inline constexpr int kLargeLinesPerRoom = 25;

struct LargeQuotation {
    QuotationGrid Grid;
    QuotationPrintSource Source;
    LargeQuotation() {
        static const char* const memos[] = {
            "",
            "防潮膜及扣条，地板由客户自购。",
            "墙面找平：石膏粉找平，刮耐水腻子三遍，打磨平整；立邦净味乳胶漆一底两面，颜色由客户选定。",
            "轻钢龙骨框架，纸面石膏板，接缝处贴绷带防裂，含灯孔开孔。",
        };
        for (int s = 0; s < kLargeRooms; ++s) {
            Grid.AddSectionRow();
            Grid.SetCellText(1, Grid.EndRow() - 1, "房间" + std::to_string(s + 1));
            for (int i = 0; i < kLargeLinesPerRoom; ++i) {
                Grid.SetCurrentCell(1, Grid.EndRow() - 1);
                Grid.AddItemRow(
                    CatalogLine{"施工项目" + std::to_string(i + 1), 12.5 + i, 3.0 + i % 7, "平米", 0, memos[i % 4]},
                    false);
            }
        }
        Grid.RecalcTotals();
        Source = {&Grid,
                  "王先生",
                  "13800000000",
                  "陈设计",
                  "13900000000",
                  "滨江路88号",
                  Grid.Charges().Edit8Text,
                  Grid.Charges().Edit9Text,
                  "LT-2024-001",
                  "别墅"};
    }
};

} // namespace lty::test
