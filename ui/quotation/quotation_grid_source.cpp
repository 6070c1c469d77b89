#include "ui/quotation/quotation_grid_source.h"

#include "core/text/number_text.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>

namespace lty {

QuotationGridSource::QuotationGridSource(QuotationGrid& grid)
    : grid_(grid), buttonFace_(QApplication::palette().color(QPalette::Button)) {}

QString QuotationGridSource::Text(int col, int row) const { return QString::fromStdString(grid_.Text(col, row)); }

QString QuotationGridSource::DisplayText(int col, int row) const {
    const std::string& text = grid_.Text(col, row);
    const bool money = row >= 1 && (col == 5 || (col == 2 && grid_.IsItemRow(row)));
    double value = 0;
    if (!money || text.empty() || !TryStrToFloat(text, value)) return QString::fromStdString(text);
    return QString::fromStdString(FormatTwoDecimals(value));
}

void QuotationGridSource::SetCompact(bool compact, const QFont& font, const std::vector<int>& columnWidths) {
    compact_ = compact;
    font_ = font;
    widths_ = columnWidths;
}

int QuotationGridSource::RowHeight(int row) const {
    const int height = grid_.RowHeight(row);
    if (!compact_ || height != QuotationGrid::kItemRowHeight || !grid_.IsItemRow(row)) return height;
    const QFontMetrics metrics(font_);
    int text = metrics.height();
    for (int c = 1; c < kQuotationColumns && c < static_cast<int>(widths_.size()); ++c) {
        const QString shown = DisplayText(c, row);
        if (shown.isEmpty()) continue;
        const QRect box(0, 0, std::max(widths_[static_cast<std::size_t>(c)] - 6, 10), 100000);
        text = std::max(text, metrics.boundingRect(box, Qt::TextWordWrap, shown).height());
    }
    return std::clamp(text + 6, QuotationGrid::kDefaultRowHeight, QuotationGrid::kItemRowHeight);
}

QString QuotationGridSource::ToolTip(int col, int row) const {
    return QString::fromStdString(grid_.Cell(col, row).Expression);
}

Qt::Alignment QuotationGridSource::Alignment(int col, int row) const {
    switch (grid_.Cell(col, row).Align) {
    case HAlign::Left:
        return Qt::AlignLeft;
    case HAlign::Center:
        return Qt::AlignHCenter;
    case HAlign::Right:
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

QColor QuotationGridSource::Background(int col, int row) const {
    return grid_.Cell(col, row).Color == CellColor::ButtonFace ? buttonFace_ : QColor();
}

void QuotationGridSource::SetText(int col, int row, const QString& text) {
    if (BeforeWrite) BeforeWrite();
    grid_.SetCellText(col, row, text.toStdString());
}

} // namespace lty
