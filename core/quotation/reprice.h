// Repricing a quotation: which catalog lines are priced differently in
// today's catalog, and bringing the chosen ones up to date. A stored
// quotation keeps a line's name, price, quantity and unit but not which
// catalog entry it came from, so a line is found in the catalog by its id
// where the caller knows one, otherwise by its name and unit (letter case
// aside). A name and unit that several entries share at different prices
// is ambiguous and left alone, as are lines typed in by hand.
#pragma once

#include "core/quotation/quotation_grid.h"
#include "core/text/capital_amount.h" // CentsText for the differences

#include <cstdint>
#include <string>
#include <vector>

namespace lty {

// One priced catalog entry as the catalog holds it today.
struct RepriceCatalogEntry {
    std::string Id;
    std::string Name;
    std::string Unit;
    double Price = 0;
};

// One line whose catalog price differs from its own.
struct PriceChange {
    int Row = 0;
    std::string Room; // the section the line stands in; empty above the first
    std::string Name;
    std::string Unit;
    std::string Count;    // the quantity as the cell shows it
    std::string OldPrice; // the price cell's text
    std::string NewPrice; // the text the price cell gets
    double OldPriceValue = 0;
    double NewPriceValue = 0;
    std::int64_t OldAmountCents = 0; // the line's amount as it stands
    std::int64_t NewAmountCents = 0; // and at the new price, rounded as the grid rounds it
    std::int64_t AmountDifferenceCents() const { return NewAmountCents - OldAmountCents; }
};

struct PriceComparison {
    std::vector<PriceChange> Changes; // in row order
    int Compared = 0;                 // catalog lines found in the catalog
    int Missing = 0;                  // catalog lines the catalog no longer holds
    int Ambiguous = 0;                // catalog lines whose name and unit several entries share at different prices
};

// `lineIds`, when given, holds a catalog entry id per grid row ("" where
// none is known); a line whose id is gone from the catalog, or names an
// entry now called otherwise, is looked for by name and unit instead.
PriceComparison ComparePrices(const QuotationGrid& grid, const std::vector<RepriceCatalogEntry>& catalog,
                              const std::vector<std::string>& lineIds = {});

// The sum of the amount differences of `changes`, in cents.
std::int64_t TotalDifferenceCents(const std::vector<PriceChange>& changes);

// Puts the new price into each chosen line that still holds what the
// comparison saw (same row kind, name, unit and price text), recomputes its
// amount and, when any line changed, the totals. When the new amounts would
// pass the ceiling of figures nothing is changed and `beyondLimit` is set.
// Answers how many lines changed.
int ApplyPriceChanges(QuotationGrid& grid, const std::vector<PriceChange>& chosen, bool* beyondLimit = nullptr);

} // namespace lty
