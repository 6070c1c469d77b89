#include "core/quotation/quotation_history.h"

#include <utility>

namespace lty {

QuotationSnapshot QuotationHistory::Take(const QuotationGrid& grid, bool recalculated) {
    return {grid.Image(), grid.CurrentCol(), grid.CurrentRow(), recalculated};
}

void QuotationHistory::Put(QuotationGrid& grid, const QuotationSnapshot& snapshot) {
    grid.RestoreImage(snapshot.Image);
    if (!grid.SetCurrentCell(snapshot.Col, snapshot.Row)) grid.SetCurrentCell(0, 1);
}

void QuotationHistory::Begin(const QuotationGrid& grid) { pending_ = Take(grid, false); }

bool QuotationHistory::End(const QuotationGrid& grid, bool recalculated) {
    if (!pending_) return false;
    auto before = std::move(*pending_);
    pending_.reset();
    if (before.Image == grid.Image()) return false;
    before.Recalculated = recalculated;
    undo_.push_back(std::move(before));
    redo_.clear();
    return true;
}

bool QuotationHistory::Step(QuotationGrid& grid, std::vector<QuotationSnapshot>& from,
                            std::vector<QuotationSnapshot>& to) {
    if (from.empty()) return false;
    auto target = std::move(from.back());
    from.pop_back();
    // The state left behind is kept first, so a failing recalculation below
    // still leaves a step to go back with.
    to.push_back(Take(grid, target.Recalculated));
    Put(grid, target);
    if (target.Recalculated) grid.RecalcCharges();
    return true;
}

bool QuotationHistory::Undo(QuotationGrid& grid) { return Step(grid, undo_, redo_); }

bool QuotationHistory::Redo(QuotationGrid& grid) { return Step(grid, redo_, undo_); }

} // namespace lty
