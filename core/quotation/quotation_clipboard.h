// The text a selection of quotation cells puts on the clipboard, in the form
// spreadsheets paste: one line per row, cells separated by tabs.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <string>
#include <string_view>
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

// Lines of tab-separated cells as spreadsheets (WPS, Excel) and
// SelectionToTsv put them on the clipboard: "\r\n" or "\n" between lines,
// a quoted cell may hold tabs, line breaks and doubled quotes. The line
// break after the last line ends it and makes no empty line.
std::vector<std::vector<std::string>> ParseTsv(std::string_view text);

struct PasteOutcome {
    bool Written = false;      // at least one cell took a value
    bool Recalculated = false; // a price or quantity changed, so the totals were recomputed
    std::string Refusal;       // the message for the first refused value; then nothing was written
    int FirstRow = 0;          // the rows the paste reached
    int LastRow = 0;
};

// Pastes `text` (ParseTsv) with its first cell on (col, row), down and to the
// right. Only cells that accept typing take a value; others are skipped.
// Prices and quantities of item rows are read as typed ones are
// (ReadNumberEntry); one refused value refuses the whole paste. The amounts
// of the rows reached and the totals are recomputed once.
PasteOutcome PasteTsv(QuotationGrid& grid, int col, int row, std::string_view text);

} // namespace lty
