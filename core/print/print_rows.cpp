#include "core/print/print_rows.h"

#include <string>

namespace lty {

std::vector<PrintRow> QuotationPrintRows(const QuotationGrid& grid) {
    std::vector<PrintRow> rows;
    std::string sectionName;
    int sectionRow = 2;
    int line = 1;
    bool sectionEmpty = false;
    const int n = grid.RowCount();
    for (int r = 2; r < n; ++r) {
        if (grid.IsItemRow(r)) {
            rows.push_back({sectionName, grid.Text(1, r), grid.Text(2, r), grid.Text(3, r), grid.Text(4, r),
                            grid.Text(6, r), std::to_string(line), grid.Text(5, sectionRow)});
            sectionEmpty = false;
            ++line;
            continue;
        }
        if (sectionEmpty)
            rows.push_back(
                {sectionName, "", "0.00", "0.00", grid.Text(4, r), grid.Text(6, r), std::to_string(line), "0.00"});
        sectionName = grid.Text(1, r);
        sectionRow = r;
        line = 1;
        sectionEmpty = true;
    }
    return rows;
}

} // namespace lty
