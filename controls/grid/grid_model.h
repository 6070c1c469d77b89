// The Qt table model over a GridSource. The heading row 0 is the horizontal
// header; the view's row v is the source's row v + 1. The source changes
// first and then says so here; the model keeps its own row count so the view
// never sees rows that were not announced yet.
#pragma once

#include "controls/grid/grid_source.h"

#include <QAbstractTableModel>

namespace lty::controls {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(GridSource& source, QObject* parent = nullptr);

    GridSource& Source() const { return source_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Announcements of changes already made in the source (source rows).
    void NotifyCellsChanged(int firstCol, int firstRow, int lastCol, int lastRow);
    // Every cell may have changed, the rows did not move: one signal, and the
    // view repaints only what it shows.
    void NotifyAllCellsChanged();
    void NotifyRowsInserted(int firstRow, int count);
    void NotifyRowsRemoved(int firstRow, int count);
    // Rows rewritten in place, heights included (rows moved within the grid).
    void NotifyRowsRewritten(int firstRow, int count);
    void NotifyReset();

signals:
    // A text was written through setData (source coordinates).
    void cellWritten(int col, int row);
    // Heights of these view rows may differ from what the view shows.
    void rowHeightsChanged(int firstViewRow, int lastViewRow);

private:
    GridSource& source_;
    int rows_ = 0; // view rows, as last announced
    int cols_ = 0;
};

} // namespace lty::controls
