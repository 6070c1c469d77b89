#include "core/print/print_rows.h"

#include "core/text/capital_amount.h"
#include "core/text/number_text.h"

#include <cstdint>
#include <string>

namespace lty {
namespace {

// Consecutive sections of one name print as one group with one 小计, so that
// 小计 must be theirs together, not only the last section's, and the group's
// lines are numbered through.
void JoinSubtotalsOfMergedGroups(std::vector<PrintRow>& rows, const std::vector<int>& sectionOf) {
    for (std::size_t begin = 0; begin < rows.size();) {
        std::size_t end = begin + 1;
        while (end < rows.size() && rows[end].ItemName == rows[begin].ItemName) ++end;
        if (sectionOf[end - 1] != sectionOf[begin]) {
            std::int64_t cents = 0;
            for (std::size_t i = begin; i < end; ++i) {
                if (i > begin && sectionOf[i] == sectionOf[i - 1]) continue;
                double v = 0;
                if (TryStrToFloat(rows[i].Datasum, v)) cents += AmountCents(v).value_or(0);
            }
            const std::string sum = CentsText(cents);
            for (std::size_t i = begin; i < end; ++i) {
                rows[i].Datasum = sum;
                rows[i].DataIndex = std::to_string(i - begin + 1); // one group, one run of numbers
            }
        }
        begin = end;
    }
}

} // namespace

std::vector<PrintRow> QuotationPrintRows(const QuotationGrid& grid) {
    std::vector<PrintRow> rows;
    std::vector<int> sectionOf; // the section row each print row came from
    std::string sectionName;
    int sectionRow = 2;
    int line = 1;
    bool sectionEmpty = false;
    const int n = grid.RowCount();
    for (int r = 2; r < n; ++r) {
        if (grid.IsItemRow(r)) {
            rows.push_back({sectionName, grid.Text(1, r), grid.Text(2, r), grid.Text(3, r), grid.Text(4, r),
                            grid.Text(6, r), std::to_string(line), grid.Text(5, sectionRow)});
            sectionOf.push_back(sectionRow);
            sectionEmpty = false;
            ++line;
            continue;
        }
        if (sectionEmpty) {
            rows.push_back(
                {sectionName, "", "0.00", "0.00", grid.Text(4, r), grid.Text(6, r), std::to_string(line), "0.00"});
            sectionOf.push_back(sectionRow);
        }
        sectionName = grid.Text(1, r);
        sectionRow = r;
        line = 1;
        sectionEmpty = true;
    }
    JoinSubtotalsOfMergedGroups(rows, sectionOf);
    return rows;
}

} // namespace lty
