// The text a selection of quotation cells puts on the clipboard, in the form
// spreadsheets paste: one line per row, cells separated by tabs.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <string>
#include <vector>

namespace lty {

struct CellRef {
    int Col = 0;
    int Row = 0;
};

// The rectangle spanned by the selected cells, top row first. Cells inside
// the rectangle that are not selected stay empty, so every pasted cell lands
// where it stood. The spacer column 0 and the hidden end row are left out;
// cells outside the grid are ignored. A cell holding a tab, a line break or a
// double quote is quoted, with its quotes doubled, so it stays one cell.
// Every line ends in '\n'; no cell gives the empty text.
std::string SelectionToTsv(const QuotationGrid& grid, const std::vector<CellRef>& cells);

} // namespace lty
