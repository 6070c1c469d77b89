// The quotation grid of a project window as a model: rows of cells with their
// texts, flags, alignments and colours, the operations the window's events run
// on it, and the arithmetic of subtotals, grand total, management fee and tax.
// The grid control only renders this model and forwards edits and clicks to it.
#pragma once

#include "core/messages/user_messages.h"
#include "core/quotation/charges.h"
#include "core/quotation/rooms.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lty {

inline constexpr int kQuotationColumns = 7;

// Row 0 header, row 1 total, then the body, then one hidden empty end row.
// A body row is an item row exactly when it is kItemRowHeight pixels high; the
// kind is derived from position and height, so the two can never disagree.
enum class RowKind { Header, Total, Section, Item, End };

enum class HAlign : std::uint8_t { Left, Center, Right };

// Banded: the alternating white / window-colour banding of rows without a
// colour of their own. ButtonFace: the system button-face colour of sections.
enum class CellColor : std::uint8_t { Banded, ButtonFace };

struct GridCell {
    std::string Text;
    bool ReadOnly = false;
    HAlign Align = HAlign::Left;
    CellColor Color = CellColor::Banded;
    // The arithmetic a number cell's value was worked out from, shown as its
    // tooltip while the window is open; never stored.
    std::string Expression;
};

// What the grid takes from a catalog entry. The window converts the data
// module's TItemData into it (ItemName, Price, Count, Unit, Amount, Spec);
// the amount is recomputed from price and count when the row is added.
struct CatalogLine {
    std::string ItemName;
    double Price = 0;
    double Count = 0;
    std::string Unit;
    double Amount = 0;
    std::string Spec;
    // What the quantity follows in a measured room (the catalog entry's measure).
    Measure Follows = Measure::None;
};

// The charges RecalcTotals computes for the information page, at the grid's
// charge terms. The fee and tax amounts are unrounded; the texts are what
// Edit8 (管理费), Edit9 (税金), Label16 (项目总价) and the discount's box
// (优惠金额) show.
struct QuotationCharges {
    double ProjectTotal = 0;
    double OverheadAmount = 0;
    double TaxAmount = 0;
    std::string Edit8Text;
    std::string Edit9Text;
    std::string Label16Text;
    std::string DiscountText = "0.00";
};

// Which entries of PopupMenu1 a right click shows.
struct PopupMenuVisibility {
    bool N1 = true;   // "添加装修条目"
    bool N2 = false;  // "添加装修明细"
    bool N11 = false; // "删    除"
    bool N3 = true;   // separator
};

// The rows an operation rewrote in place: First and the Count rows below it.
// A Count of 0 means nothing moved.
struct RowSpan {
    int First = 0;
    int Count = 0;
};

inline constexpr std::string_view kInvalidNumberMessage = "输入的数据不合法，请重新输入！";

// Replaces every '@' by the full-width '＠'. '@' separates the fields of the
// stored quotation text and cannot be escaped, so no path may put one into a cell.
std::string WithoutSeparator(std::string_view text);

// The check of a typed price or quantity: "0" for a blank text, the text
// itself when it is digits with at most one point not in front, otherwise "0"
// after the invalid-number message.
std::string CheckNumberText(std::string_view text, UserMessages& messages);

// The invalid-number message followed by the ceiling of figures: what a cell
// shows when it refuses a figure, an amount or a total beyond that ceiling.
std::string BeyondLimitMessage();
// What a typed price or quantity becomes, decided without showing anything.
// Full-width digits and operators and blanks are read as ASCII; arithmetic
// ("3.2*4.5") is worked out exactly and its value, in general format, goes
// through CheckNumberText like any typed number. When refused, Refusal holds
// the one message to show.
struct NumberEntry {
    bool Accepted = false;
    std::string Text;       // the cell's new text when accepted
    std::string Expression; // the typed arithmetic, empty for a plain number
    std::string Refusal;
};
NumberEntry ReadNumberEntry(std::string_view typed);
// "输入的数据不合法：" with the typed text and what the cell accepts.
std::string RefusedNumberMessage(std::string_view typed);
// The same followed by the ceiling of figures (kNumberLimitNote): a typed or
// worked-out figure, or the amount or total it makes, beyond that ceiling.
std::string RefusedBeyondLimitMessage(std::string_view typed);

class QuotationGrid {
public:
    static constexpr int kDefaultRowHeight = 21;
    static constexpr int kItemRowHeight = 80;
    static constexpr int kStoredSectionRowHeight = 18;
    static constexpr int kHiddenRowHeight = 0;
    static constexpr std::array<int, kQuotationColumns> kColumnWidths{20, 200, 80, 70, 70, 90, 400};
    static constexpr std::array<std::string_view, kQuotationColumns> kHeadings{
        "", "施工项目", "单价", "数量", "单位", "合计(元)", "工艺做法及材料说明"};
    static constexpr std::uint32_t kSelectedCellRgb = 0xB6CAEA;

    QuotationGrid(); // laid out empty, as LayoutQuotationGrid leaves it

    // Back to the empty layout: header, total row with "0.00", hidden end row;
    // the current cell is column 0 of the total row.
    void LayoutQuotationGrid();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int BodyRowCount() const { return RowCount() - 3; }
    int EndRow() const { return RowCount() - 1; }
    RowKind Kind(int row) const;
    bool IsItemRow(int row) const { return Kind(row) == RowKind::Item; }
    // An item row typed in by hand ("添加装修明细"): its name is open to
    // typing, which a catalog line's never is.
    bool IsFreeLine(int row) const { return IsItemRow(row) && !Cell(1, row).ReadOnly; }
    bool IsBodyRow(int row) const { return row >= 2 && row < EndRow(); }
    int RowHeight(int row) const { return rows_.at(static_cast<std::size_t>(row)).Height; }
    const GridCell& Cell(int col, int row) const;
    const std::string& Text(int col, int row) const { return Cell(col, row).Text; }

    // The current cell: the one a click or the keyboard selected. The header
    // row is fixed and cannot be selected.
    int CurrentRow() const { return currentRow_; }
    int CurrentCol() const { return currentCol_; }
    bool SetCurrentCell(int col, int row);

    // Selects the cell and answers whether in-place editing is on for it.
    bool advsg1SelectCell(int col, int row);
    bool CanEdit(int col, int row) const;

    // The editor's write of a cell (a typed text). '@' becomes '＠'. The header
    // and the end row are never written.
    void SetCellText(int col, int row, std::string_view text);

    // Runs when the editing of a cell ends, with the typed text already in the
    // cell. Answers whether it acted (price or quantity of an item row). A
    // price or quantity is read by ReadNumberEntry; a refused one shows its
    // message and the cell gets back the value it had before the typing.
    bool advsg1CellValidate(int col, int row, UserMessages& messages);

    PopupMenuVisibility advsg1RightClickCell(int row, int col) const;

    void AddSectionRow();
    void AddItemRow(const CatalogLine& item, bool manual);
    // The catalog double-click: nothing while the total row is current,
    // otherwise AddItemRow (not manual) and ApplyColumnAlignments.
    bool AddCatalogEntry(const CatalogLine& item);
    // The same for the window: an entry whose price, amount or effect on a
    // total is beyond the ceiling of figures is refused with the message of
    // a bad figure, and the grid stays as it was.
    bool AddCatalogEntry(const CatalogLine& item, UserMessages& messages);
    // "删    除" on the current row. Answers false when nothing was removed
    // (header, total or end row current); then the totals are not recomputed.
    bool DeleteCurrentRow();
    // Removes one body row; the header, total and end rows are never removed.
    void DeleteRowAt(int row);

    // Where AddItemRow puts its row: below the current row, never below the end row.
    int ItemInsertRow() const;

    // Moves the current row one place: an item row swaps with its neighbour
    // (past a section row it changes sections); a section row moves together
    // with its items past the whole neighbouring section. Nothing moves past
    // the total row or the end row, and a section never moves above items
    // that belong to no section (they would become its items). The current
    // cell follows the row; the totals are recomputed after a move. Answers
    // the rows rewritten.
    RowSpan MoveCurrentRowUp();
    RowSpan MoveCurrentRowDown();

    // The end row is hidden and cannot be selected on screen: when a delete
    // left it current, the current cell moves up to the last visible row.
    bool LeaveEndRow();

    // Every row with its height and every cell with its text, flags,
    // alignment and colour, as one string; RestoreImage puts it back exactly.
    // The stored quotation text is not enough for undo: it drops read-only
    // flags, alignments and the 21/18 heights of sections. The current cell
    // and the charges are not part of the image.
    std::string Image() const;
    // Throws std::invalid_argument for a string no Image() produced.
    void RestoreImage(std::string_view image);

    // Whether every item amount, section subtotal and the grand total, as
    // RecalcTotals would sum them, stay within the ceiling of figures.
    bool AmountsWithinLimit() const;

    // For a grid just read from a stored text: a price or quantity of more
    // than 15 significant digits is cut to the 15 the amount was computed
    // with; one whose value is beyond the ceiling becomes "0", and so does the
    // quantity of every item whose amount, or whose share of a subtotal or of
    // the grand total, would reach it. The amounts of the rows touched are
    // recomputed, and when anything was changed the totals too. Answers how
    // many items were changed.
    int RefuseFiguresBeyondLimit();

    // Throws ConvertError when a column-5 text of an item row is not a number;
    // what was written before it stays.
    const QuotationCharges& RecalcTotals();
    // The charges of RecalcTotals from the item amounts as they stand, without
    // writing any cell: after an undo the cells are exactly the restored ones
    // while fee, tax and total follow them. Throws as RecalcTotals does.
    const QuotationCharges& RecalcCharges();
    void ApplyColumnAlignments();
    void FormatSectionRow(int row, bool lockName);
    void FormatItemRow(int row);
    // An item row typed in by hand: everything but the amount accepts typing.
    void FormatFreeLine(int row);

    // Opens the name of a section row to typing ("重命名房间"). Answers false
    // for any other row.
    bool UnlockSectionName(int row);
    // Column 5 of an item row from its price and quantity, two decimals.
    void RecalcItemAmount(int row);
    // The arithmetic a cell's value was worked out from (empty: none).
    void SetCellExpression(int col, int row, std::string expression);

    // The body rows that whole-row commands act on for a selection: every
    // selected body row, and with a section row all of its items, in order.
    std::vector<int> RowsWithTheirItems(const std::vector<int>& selectedRows) const;
    // Inserts the body rows of `from` (a grid rebuilt from copied rows) into
    // this one: rows that hold a section go after the room of the current
    // row, each section named "名称 副本"; item rows alone go directly below
    // the current row, inside its room. The current cell moves to the first
    // row inserted and the totals are recomputed. Answers where they went;
    // nothing (Count 0) when they would carry an amount or a total beyond the
    // ceiling of figures, and then the grid is as it was.
    RowSpan InsertCopiedRows(const QuotationGrid& from);

    // The window's ProjectTotal: set from a stored project, then by RecalcTotals.
    double ProjectTotal() const { return charges_.ProjectTotal; }
    void SetProjectTotal(double total) { charges_.ProjectTotal = total; }
    const QuotationCharges& Charges() const { return charges_; }
    // The rates and the discount the charges follow; the firm's defaults and
    // no discount until set. Setting them does not recompute anything.
    const ChargeTerms& Terms() const { return terms_; }
    void SetTerms(const ChargeTerms& terms) { terms_ = terms; }
    // Grows by one with every RecalcTotals, so a window knows when to refresh
    // its fee, tax and total texts after an operation.
    std::uint64_t RecalcCount() const { return recalcCount_; }

    // ---- measured rooms (rooms.h) ------------------------------------------
    // The section row a body row belongs to (a section row itself), or 0 for
    // the rows above the first section and for any other row.
    int SectionOf(int row) const;
    // A section row's measurements; empty for any other row.
    const RoomSize& Room(int row) const;
    void SetRoom(int sectionRow, RoomSize size); // section rows only
    // The measure an item row's quantity follows (None: typed or none).
    // A quantity written into the row (SetCellText) ends the following.
    Measure LineMeasure(int row) const;
    void SetLineMeasure(int row, Measure measure); // item rows only
    // Writes an item row's quantity as a measure gives it and its amount.
    void SetMeasuredQuantity(int row, const std::string& quantity);

    // Building blocks for laying out from a house type or a stored text.
    // ResetBody discards the body and makes `bodyRows` blank rows before a
    // blank hidden end row.
    void ResetBody(int bodyRows);
    void SetBodyRowHeight(int row, int height); // body rows only
    void SetRowColor(int row, CellColor color);
    void SetCellReadOnly(int col, int row, bool readOnly); // column 0 never accepts typing
    void SetCellAlign(int col, int row, HAlign align);

private:
    struct GridRow {
        std::array<GridCell, kQuotationColumns> Cells;
        int Height = kDefaultRowHeight;
        RoomSize Room;                   // a section's measurements
        Measure Follows = Measure::None; // what an item's quantity follows
    };
    static GridRow BlankRow();
    int PutItemRow(const CatalogLine& item, bool manual); // AddItemRow without the recalculation
    // The grand total as RecalcTotals sums it. With `within`, texts that are
    // no number count as 0 and *within says whether the sums keep to the
    // ceiling; without, such a text raises ConvertError.
    double SumAmounts(bool* within) const;
    GridCell& At(int col, int row);
    void CheckColumn(int col) const;
    void CloseHeading(int heading, int firstItem, int itemCount, double& grandTotal);
    void ClampCurrentRow();
    int SectionEnd(int row) const;
    void StoreCharges(double grandTotal);

    std::vector<GridRow> rows_;
    // The text a price or quantity cell held before its last write, so a
    // refused entry can put it back.
    struct PreviousText {
        int Col = -1;
        int Row = -1;
        std::string Text;
    } previous_;
    int currentRow_ = 1;
    int currentCol_ = 0;
    QuotationCharges charges_;
    ChargeTerms terms_;
    std::uint64_t recalcCount_ = 0;
};

} // namespace lty
