// The core quotation grid as the text grid control sees it. Reads go straight
// to the core model; the editor's write goes through SetCellText, which keeps
// '@' out of every cell.
#pragma once

#include "controls/grid/grid_source.h"
#include "core/quotation/quotation_grid.h"

#include <functional>

namespace lty {

class QuotationGridSource : public controls::GridSource {
public:
    explicit QuotationGridSource(QuotationGrid& grid);

    // Runs before a typed text is written, while the grid is still as it was.
    std::function<void()> BeforeWrite;

    int RowCount() const override { return grid_.RowCount(); }
    int ColumnCount() const override { return kQuotationColumns; }
    QString Text(int col, int row) const override;
    bool ReadOnly(int col, int row) const override { return !grid_.CanEdit(col, row); }
    Qt::Alignment Alignment(int col, int row) const override;
    QColor Background(int col, int row) const override;
    int RowHeight(int row) const override { return grid_.RowHeight(row); }
    void SetText(int col, int row, const QString& text) override;

private:
    QuotationGrid& grid_;
    QColor buttonFace_;
};

} // namespace lty
