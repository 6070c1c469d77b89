// The stored form of a quotation: a kind string ("0" item row, "1" section
// row, "2" an item row typed in by hand, one character per body row) followed by, for every body row and each
// of its columns 1 to 6, '@' and the cell's text. No escaping, no count, no
// terminator; a grid without body rows is the empty text.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <string>
#include <string_view>
#include <vector>

namespace lty {

std::string QuotationToText(const QuotationGrid& grid);
// The same form for some body rows only (in the order given), as the rows
// travel on the clipboard from one quotation to another.
std::string QuotationRowsToText(const QuotationGrid& grid, const std::vector<int>& rows);

// Rebuilds the body of `grid` from a stored text. Meant for a freshly laid out
// grid whose ProjectTotal has been set from the stored project. Any text is
// accepted: whatever it holds, the grid ends well-formed (header, total row,
// body, empty hidden end row). Nothing is reported and no recalculation runs,
// except that figures beyond the ceiling of figures are refused as
// QuotationGrid::RefuseFiguresBeyondLimit says; answers how many items were.
// A line typed in by hand ("2") comes back with its name, price, quantity,
// unit and text open to typing, as it was when it was typed; texts written
// before such lines were told apart hold only "0" and "1" and read as ever.
int TextToQuotation(QuotationGrid& grid, std::string_view text);

} // namespace lty
