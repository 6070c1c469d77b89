// An editable text grid over a GridSource: a fixed heading row, per-cell text,
// read-only flag, alignment and background, per-row heights (0 hides a row),
// in-place editing only where the cell accepts typing, and cell events.
// Rows and columns in its signals and methods are the source's: the heading
// row is row 0, the first row under it row 1.
#pragma once

#include "controls/grid/grid_delegate.h"
#include "controls/grid/grid_model.h"

#include <QTableView>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QMenu;

namespace lty::controls {

class GridHeading;

class TextGrid : public QTableView {
    Q_OBJECT
public:
    explicit TextGrid(QWidget* parent = nullptr);
    ~TextGrid() override;

    // Shows `source` (not owned). Widths and heights come from the source and
    // SetColumnWidths; the model is created here and lives with the grid.
    void SetSource(GridSource& source);
    GridModel* Model() const { return model_.get(); }

    void SetColumnWidths(const std::vector<int>& widths);
    // The font of the cells; the heading row gets its bold form.
    void SetGridFont(const QFont& font);
    GridColors& Colors() { return delegate_->Colors; }

    // The menu a right click, the Menu key or Shift+F10 pops up after
    // rightClickCell (not owned).
    void SetPopupMenu(QMenu* menu) { menu_ = menu; }
    QMenu* PopupMenu() const { return menu_; }

    int CurrentCol() const;
    int CurrentRow() const; // 0 when no cell is current
    // Makes the cell current and the only one selected, and scrolls to it.
    void SetCurrentCell(int col, int row);
    bool Editing() const { return state() == QAbstractItemView::EditingState; }
    // Writes what the open editor holds, as Enter would without moving on,
    // and closes it; cellValidate follows. Nothing without an editor.
    void CommitEdit();
    // Every selected cell as (col, row).
    std::vector<std::pair<int, int>> SelectedCells() const;
    // Keeps the first row under the heading in sight: when it scrolls away
    // it stays drawn just below the heading, above the rows.
    void SetPinnedFirstRow(bool pinned);
    QTableView* PinnedRow() const { return pinned_; }

signals:
    // The current cell changed (a click, the keyboard or SetCurrentCell).
    void cellSelected(int col, int row);
    // The editor closed with a typed text written through the source, or a
    // text was written outside an editor.
    void cellValidate(int col, int row);
    // A right click on a cell (row 0: the heading row), before the popup
    // menu shows. The current cell stays where it was.
    void rightClickCell(int row, int col);
    // Ctrl+C (the platform's copy key) outside an editor.
    void copyRequested();
    // Ctrl+V (the platform's paste key) outside an editor.
    void pasteRequested();
    // The Delete key outside an editor.
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void ApplyRowHeights(int firstViewRow, int lastViewRow);
    void CellWritten(int col, int row);
    void MoveCurrent(CursorAction action);
    void PopUp(int row, int col, const QPoint& globalPos);
    void PlacePinnedRow();
    void PopUpForCurrent(); // the Menu key or Shift+F10

    std::unique_ptr<GridModel> model_;
    GridDelegate* delegate_;
    GridHeading* heading_;
    QMenu* menu_ = nullptr;
    QTableView* pinned_ = nullptr; // the first row, drawn over the top of the rows while scrolled away
    std::optional<std::pair<int, int>> pendingValidate_;
};

} // namespace lty::controls
