// Undo and redo of a project window's quotation. Before each change the window
// takes a snapshot of the whole grid and its current cell; undo puts that
// snapshot back whole. A snapshot of 2,000 rows costs well under a
// millisecond, so no operation needs an inverse of its own.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lty {

struct QuotationSnapshot {
    std::string Image; // QuotationGrid::Image()
    int Col = 0;
    int Row = 1;
    // Whether the change leading away from this state recomputed the totals.
    bool Recalculated = false;
};

class QuotationHistory {
public:
    // Before a change: remembers the grid as it is.
    void Begin(const QuotationGrid& grid);
    // After the change. A change that left the grid as it was is forgotten
    // (answers false); any other becomes the newest undo step and ends every
    // redo. Without a Begin nothing happens.
    bool End(const QuotationGrid& grid, bool recalculated);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }

    // Back to the grid before the newest change, current cell included, every
    // cell exactly as it was. When that change had recomputed the totals, the
    // charges are recomputed from the restored amounts (RecalcCharges, which
    // writes no cell); otherwise the change did not touch them. Answers false
    // when there is nothing to undo.
    bool Undo(QuotationGrid& grid);
    // The change undone last, made again, with the same rule for the totals.
    bool Redo(QuotationGrid& grid);

private:
    static QuotationSnapshot Take(const QuotationGrid& grid, bool recalculated);
    static void Put(QuotationGrid& grid, const QuotationSnapshot& snapshot);
    static bool Step(QuotationGrid& grid, std::vector<QuotationSnapshot>& from, std::vector<QuotationSnapshot>& to);

    std::vector<QuotationSnapshot> undo_;
    std::vector<QuotationSnapshot> redo_;
    std::optional<QuotationSnapshot> pending_;
};

} // namespace lty
