#include "controls/grid/grid_model.h"

#include <algorithm>

namespace lty::controls {

GridModel::GridModel(GridSource& source, QObject* parent)
    : QAbstractTableModel(parent), source_(source), rows_(std::max(source.RowCount() - 1, 0)),
      cols_(source.ColumnCount()) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int col = index.column();
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return source_.DisplayText(col, row);
    case Qt::EditRole:
        return source_.Text(col, row);
    case Qt::ToolTipRole: {
        const QString tip = source_.ToolTip(col, row);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(source_.Alignment(col, row) | Qt::AlignVCenter);
    case Qt::BackgroundRole: {
        const QColor c = source_.Background(col, row);
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= cols_) return {};
    switch (role) {
    case Qt::DisplayRole:
        return source_.Text(section, 0);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(source_.Alignment(section, 0) | Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!source_.ReadOnly(index.column(), index.row() + 1)) f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const int col = index.column();
    const int row = index.row() + 1;
    source_.SetText(col, row, value.toString());
    emit dataChanged(index, index);
    emit cellWritten(col, row);
    return true;
}

void GridModel::NotifyCellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) {
    firstRow = std::max(firstRow - 1, 0);
    lastRow = std::min(lastRow - 1, rows_ - 1);
    firstCol = std::max(firstCol, 0);
    lastCol = std::min(lastCol, cols_ - 1);
    if (firstRow > lastRow || firstCol > lastCol) return;
    emit dataChanged(index(firstRow, firstCol), index(lastRow, lastCol));
}

void GridModel::NotifyAllCellsChanged() {
    if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

void GridModel::NotifyRowsInserted(int firstRow, int count) {
    if (count <= 0) return;
    const int first = std::clamp(firstRow - 1, 0, rows_);
    beginInsertRows({}, first, first + count - 1);
    rows_ += count;
    endInsertRows();
    emit rowHeightsChanged(first, first + count - 1);
}

void GridModel::NotifyRowsRemoved(int firstRow, int count) {
    const int first = firstRow - 1;
    if (count <= 0 || first < 0 || first + count > rows_) return;
    beginRemoveRows({}, first, first + count - 1);
    rows_ -= count;
    endRemoveRows();
}

void GridModel::NotifyRowsRewritten(int firstRow, int count) {
    const int first = std::max(firstRow - 1, 0);
    const int last = std::min(firstRow - 1 + count - 1, rows_ - 1);
    if (first > last) return;
    emit dataChanged(index(first, 0), index(last, cols_ - 1));
    emit rowHeightsChanged(first, last);
}

void GridModel::NotifyReset() {
    beginResetModel();
    rows_ = std::max(source_.RowCount() - 1, 0);
    cols_ = source_.ColumnCount();
    endResetModel();
    if (rows_ > 0) emit rowHeightsChanged(0, rows_ - 1);
}

} // namespace lty::controls
