// The core quotation grid as the text grid control sees it. Reads go straight
// to the core model; the editor's write goes through SetCellText, which keeps
// '@' out of every cell.
#pragma once

#include "controls/grid/grid_source.h"
#include "core/quotation/quotation_grid.h"

#include <QFont>

#include <functional>
#include <vector>

namespace lty {

class QuotationGridSource : public controls::GridSource {
public:
    explicit QuotationGridSource(QuotationGrid& grid);

    // Runs before a typed text is written, while the grid is still as it was.
    std::function<void()> BeforeWrite;

    int RowCount() const override { return grid_.RowCount(); }
    int ColumnCount() const override { return kQuotationColumns; }
    QString Text(int col, int row) const override;
    // Prices and amounts read as money, two decimals, whatever form the
    // stored text keeps them in.
    QString DisplayText(int col, int row) const override;
    // The arithmetic a price or quantity was worked out from.
    QString ToolTip(int col, int row) const override;
    bool ReadOnly(int col, int row) const override { return Locked || !grid_.CanEdit(col, row); }
    // The lines of a signed quotation: no cell opens for typing.
    bool Locked = false;
    Qt::Alignment Alignment(int col, int row) const override;
    QColor Background(int col, int row) const override;
    // An item row is 80 pixels high, or in compact display as tall as its
    // text needs; the core's row kinds do not change with the display.
    int RowHeight(int row) const override;
    void SetCompact(bool compact, const QFont& font, const std::vector<int>& columnWidths);
    bool Compact() const { return compact_; }
    void SetText(int col, int row, const QString& text) override;

private:
    QuotationGrid& grid_;
    QColor buttonFace_;
    bool compact_ = false;
    QFont font_;
    std::vector<int> widths_;
};

} // namespace lty
