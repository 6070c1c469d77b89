// The page "报价明细" of a project window: the quotation grid advsg1 with its
// context menu, the cell events, undo and redo, moving rows and copying.
// The page renders the window's QuotationGrid (not owned) and runs the core
// operations on it; every rule stays in the core.
#pragma once

#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_history.h"
#include "ui/quotation/quotation_grid_source.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;

namespace lty {

namespace controls {
class TextGrid;
}

class QuotationPage : public QWidget {
    Q_OBJECT
public:
    // Messages go through the process-wide seam Messages().
    explicit QuotationPage(QuotationGrid& grid, QWidget* parent = nullptr);
    ~QuotationPage() override;

    // A catalog entry below the current row (undoable); nothing, and false,
    // while the total row is current.
    bool AddCatalogEntry(const CatalogLine& line);
    // A change of cells by a command from outside the page (repricing): one
    // undo step, the view repainted. `op` adds and removes no row.
    void ChangeCells(const std::function<void(QuotationGrid&)>& op);
    // After the window laid the grid out anew (stored text, house type): the
    // view forgets what it showed and shows the grid. Not an undo step.
    void ReloadFromGrid();
    // Ends an open cell editor as Enter would, so a save, a close or a print
    // sees the text the user typed; its validation runs as usual.
    void FinishEditing();

    // The lines of a signed quotation refuse every change, each refusal
    // naming the way on in the status bar; a bar above the grid says so and
    // offers 新建增减项. Unlocked with a banner, the bar names the change
    // order being edited; without one it is hidden.
    void SetLinesLocked(bool locked, const QString& banner);
    bool LinesLocked() const { return source_.Locked; }
    static constexpr const char* kLockedHint = "已签合同，请新建增减项后修改";
    QWidget* VersionBar = nullptr;
    QLabel* VersionLabel = nullptr;
    QPushButton* BtnNewChangeOrder = nullptr; // "新建增减项"

    QuotationGrid& Grid() { return grid_; }
    const QuotationHistory& History() const { return history_; }

    controls::TextGrid* advsg1;
    QMenu* PopupMenu1;
    QAction* N1;  // "添加装修条目"
    QAction* N2;  // "添加装修明细"
    QAction* N11; // "删    除"
    QAction* N3;  // separator
    QAction* NMoveUp;
    QAction* NMoveDown;
    QAction* NUndo;
    QAction* NRedo;
    QAction* NPaste;     // "粘贴": cells from the clipboard
    QAction* NCopyRows;  // "复制行"
    QAction* NPasteRows; // "粘贴行"
    QAction* NRename;    // "重命名房间"
    QAction* NCompact;   // "紧凑显示", checkable
    QAction* NRoomSize;  // "房间尺寸…" of the current row's room (Ctrl+M), also on the tool bar
    QToolBar* ToolBar;   // above the grid

    // The clipboard format of whole rows: the stored quotation text of them.
    static constexpr const char* kRowsMimeType = "application/x-ltyquote-rows";

signals:
    // After every change of the quotation (the window counts as modified).
    void changed();
    // After every recalculation of the totals: fee, tax and total to show are
    // in Grid().Charges().
    void chargesChanged();
    // "紧凑显示" was switched; the window keeps the choice for the next run.
    void compactChanged(bool compact);
    // "新建增减项" on the bar above the locked lines.
    void newChangeOrderRequested();

public slots:
    void advsg1SelectCell(int col, int row);
    void advsg1CellValidate(int col, int row);
    void advsg1RightClickCell(int row, int col);
    void N1Click();
    void N2Click();
    void N11Click();
    void MoveUpClick();
    void MoveDownClick();
    void UndoClick();
    void RedoClick();
    void CopyClick();
    void PasteClick();
    void CopyRowsClick();
    void PasteRowsClick();
    void RenameClick();
    void SetCompact(bool compact);
    // The room of the current row measured in "房间尺寸"; lines whose
    // quantity follows a changed measure are offered the new figures. One
    // undo step.
    void RoomSizeClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <class Op>
    void Change(Op op);
    void Finish(std::uint64_t recalcsBefore, bool showCurrent);
    void BeginEdit();
    void Restore(bool (QuotationHistory::*step)(QuotationGrid&));
    void Move(RowSpan (QuotationGrid::*move)());
    void ShowCurrentCell();
    void UpdateActions();
    std::vector<std::string> Amounts() const;
    void SignalChangedAmounts(const std::vector<std::string>& before);
    bool InsertItem(const CatalogLine& line, bool catalog);
    // True (and the hint shown) when the lines are locked.
    bool RefusedWhenLocked();

    QuotationGrid& grid_;
    QuotationGridSource source_;
    QuotationHistory history_;
    bool syncing_ = false; // the view follows the core; its events are not the user's
    bool editing_ = false; // a typed text was written, its validation is due
    std::uint64_t editRecalcs_ = 0;
};

} // namespace lty
