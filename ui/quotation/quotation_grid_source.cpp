#include "ui/quotation/quotation_grid_source.h"

#include <QApplication>
#include <QPalette>

namespace lty {

QuotationGridSource::QuotationGridSource(QuotationGrid& grid)
    : grid_(grid), buttonFace_(QApplication::palette().color(QPalette::Button)) {}

QString QuotationGridSource::Text(int col, int row) const { return QString::fromStdString(grid_.Text(col, row)); }

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
