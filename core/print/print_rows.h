// The lines of a printed quotation, walked from the grid: one line per item
// row, numbered within its section and carrying the section's name and
// subtotal; a section without items gives one empty line so that it still
// prints as a group. The data module stores these rows in TMP_Print.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <string>
#include <vector>

namespace lty {

struct PrintRow {
    std::string ItemName;  // the section's name
    std::string DataName;  // the item's name
    std::string DataPrice; // unit price, as the cell's text
    std::string DataCount; // quantity, as the cell's text
    std::string DataUnit;
    std::string DataMemo;  // workmanship and materials text
    std::string DataIndex; // line number within the section, from 1
    std::string Datasum;   // the section's subtotal, the same on each of its lines
};

// Item rows above the first section get an empty section name and, as their
// subtotal, column 5 of row 2. Consecutive sections of one name print as one
// group, so their lines are numbered through and all carry the sum of those
// sections' subtotals.
std::vector<PrintRow> QuotationPrintRows(const QuotationGrid& grid);

} // namespace lty
