// The stored form of a quotation: a kind string ("0" item row, "1" section
// row, one character per body row) followed by, for every body row and each
// of its columns 1 to 6, '@' and the cell's text. No escaping, no count, no
// terminator; a grid without body rows is the empty text.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <string>
#include <string_view>

namespace lty {

std::string QuotationToText(const QuotationGrid& grid);

// Rebuilds the body of `grid` from a stored text. Meant for a freshly laid out
// grid whose ProjectTotal has been set from the stored project. Any text is
// accepted: whatever it holds, the grid ends well-formed (header, total row,
// body, empty hidden end row). Nothing is reported and no recalculation runs,
// except that figures beyond the ceiling of figures are refused as
// QuotationGrid::RefuseFiguresBeyondLimit says; answers how many items were.
int TextToQuotation(QuotationGrid& grid, std::string_view text);

} // namespace lty
