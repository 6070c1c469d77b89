// A change order (增减项) against the version before it: which lines of the
// quotation were added, removed or changed in quantity or price, each with
// its old and new figures and what it adds to the amount, in whole cents so
// that the lines add up exactly to the change of the project total.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lty {

// One item line of a quotation as stored: texts of its cells, and its room
// (the name of the section above it; empty above the first section).
struct QuotationLine {
    std::string Room;
    std::string Name;
    std::string Price;
    std::string Count;
    std::string Unit;
    std::string Amount; // column 5, two decimals
    std::string Memo;
};

std::vector<QuotationLine> QuotationLines(const QuotationGrid& grid);

enum class LineChange { Added, Removed, Changed };

struct ChangedLine {
    LineChange Kind = LineChange::Changed;
    std::string Room;
    std::string Name;
    std::string Unit;
    // Empty on the side where the line does not exist.
    std::string OldCount, OldPrice, OldAmount;
    std::string NewCount, NewPrice, NewAmount;
    std::int64_t DeltaCents = 0; // new amount less old amount
};

struct ChangeOrderLines {
    // Grouped by room (rooms in the order of the new version, then rooms only
    // the old one had); within a room the new version's order, removed lines last.
    std::vector<ChangedLine> Lines;
    std::int64_t DeltaCents = 0; // the sum of the lines' deltas
};

// A line is the same line in both versions when its room, name and unit are
// the same; the n-th such line of one version pairs with the n-th of the
// other. A paired line is changed when its quantity, price or amount differs
// (a changed description alone moves no money and is not listed).
ChangeOrderLines DiffQuotationLines(const std::vector<QuotationLine>& before, const std::vector<QuotationLine>& after);

// The caption of a line's kind on the printed change order: "增加", "减少", "变更".
const char* LineChangeCaption(LineChange kind);

// Whole cents of a money text ("12.5", "-3.00"); 0 for a text that holds no number.
std::int64_t MoneyTextCents(std::string_view text);

} // namespace lty
