#include "core/quotation/quotation_grid.h"

#include "core/text/capital_amount.h"
#include "core/text/number_expression.h"
#include "core/text/number_text.h"

#include <algorithm>
#include <stdexcept>

namespace lty {
namespace {

constexpr std::string_view kFullWidthAt = "＠";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsBlank(c); });
}

} // namespace

std::string WithoutSeparator(std::string_view text) {
    std::string out;
    if (text.find('@') == std::string_view::npos) {
        out.assign(text);
        return out;
    }
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '@')
            out += kFullWidthAt;
        else
            out += c;
    }
    return out;
}

std::string CheckNumberText(std::string_view text, UserMessages& messages) {
    if (IsBlankText(text)) return "0";
    bool valid = text.front() != '.';
    int points = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            valid = false;
    }
    if (valid && points <= 1) {
        if (NumberTextWithinLimit(text)) return std::string(text);
        messages.Show(BeyondLimitMessage());
        return "0";
    }
    messages.Show(std::string(kInvalidNumberMessage));
    return "0";
}

std::string BeyondLimitMessage() { return std::string(kInvalidNumberMessage) + std::string(kNumberLimitNote); }

namespace {

// Keeps what CheckNumberText would have said instead of saying it.
class HeldMessages : public UserMessages {
public:
    std::string First;
    void Show(const std::string& text) override {
        if (First.empty()) First = text;
    }
    void ShowBox(const std::string& text, const std::string&, MessageIcon) override { Show(text); }
    bool Ask(const std::string& text, const std::string&) override {
        Show(text);
        return false;
    }
};

} // namespace

std::string RefusedNumberMessage(std::string_view typed) {
    return "输入的数据不合法：" + std::string(typed) + "\n请输入数字或算式，如 3.2*4.5";
}

std::string RefusedBeyondLimitMessage(std::string_view typed) {
    return RefusedNumberMessage(typed) + std::string(kNumberLimitNote);
}

NumberEntry ReadNumberEntry(std::string_view typed) {
    NumberEntry entry;
    const std::string normalized = NormalizeNumberInput(typed);
    std::string candidate = normalized;
    if (LooksLikeExpression(normalized)) {
        const auto value = EvaluateNumberExpression(normalized);
        if (!value) {
            entry.Refusal = RefusedNumberMessage(typed);
            return entry;
        }
        candidate = *value;
        entry.Expression = Trim(typed);
    }
    // The same check as a typed number, so every limit on a number holds for
    // a worked-out one too.
    HeldMessages held;
    entry.Text = CheckNumberText(candidate, held);
    if (held.First.empty()) {
        entry.Accepted = true;
        return entry;
    }
    entry.Expression.clear();
    if (held.First == kInvalidNumberMessage)
        entry.Refusal = RefusedNumberMessage(typed);
    else if (held.First == BeyondLimitMessage())
        entry.Refusal = RefusedBeyondLimitMessage(typed);
    else
        entry.Refusal = held.First;
    return entry;
}

QuotationGrid::QuotationGrid() { LayoutQuotationGrid(); }

QuotationGrid::GridRow QuotationGrid::BlankRow() {
    GridRow row;
    // The spacer column is never written and never accepts typing.
    row.Cells[0].ReadOnly = true;
    row.Cells[0].Align = HAlign::Center;
    return row;
}

void QuotationGrid::LayoutQuotationGrid() {
    // The grid starts 5 columns wide: those cells are cleared, centred and
    // locked; the two columns added afterwards keep the defaults, which is
    // why columns 5 and 6 of the total row accept typing.
    rows_.assign(3, BlankRow());
    for (auto& row : rows_) {
        for (int c = 0; c < 5; ++c) {
            auto& cell = row.Cells[static_cast<std::size_t>(c)];
            cell.Text.clear();
            cell.Align = HAlign::Center;
            cell.ReadOnly = true;
        }
    }
    rows_[2].Height = kHiddenRowHeight;
    // The headings are centred over every column from the start, not only after
    // the first catalog entry realigns the grid: otherwise the last two
    // headings jump across their columns while the designer works.
    for (int c = 0; c < kQuotationColumns; ++c) {
        auto& heading = rows_[0].Cells[static_cast<std::size_t>(c)];
        heading.Text = kHeadings[c];
        heading.Align = HAlign::Center;
    }
    rows_[1].Cells[1].Text = "总计";
    rows_[1].Cells[1].Align = HAlign::Left;
    rows_[1].Cells[5].Text = "0.00";
    rows_[1].Cells[5].Align = HAlign::Right;
    currentRow_ = 1;
    currentCol_ = 0;
}

RowKind QuotationGrid::Kind(int row) const {
    if (row < 0 || row >= RowCount()) throw std::out_of_range("quotation grid row out of range");
    if (row == 0) return RowKind::Header;
    if (row == 1) return RowKind::Total;
    if (row == EndRow()) return RowKind::End;
    return rows_[static_cast<std::size_t>(row)].Height == kItemRowHeight ? RowKind::Item : RowKind::Section;
}

void QuotationGrid::CheckColumn(int col) const {
    if (col < 0 || col >= kQuotationColumns) throw std::out_of_range("quotation grid column out of range");
}

const GridCell& QuotationGrid::Cell(int col, int row) const {
    CheckColumn(col);
    return rows_.at(static_cast<std::size_t>(row)).Cells[static_cast<std::size_t>(col)];
}

GridCell& QuotationGrid::At(int col, int row) {
    CheckColumn(col);
    return rows_.at(static_cast<std::size_t>(row)).Cells[static_cast<std::size_t>(col)];
}

bool QuotationGrid::SetCurrentCell(int col, int row) {
    if (col < 0 || col >= kQuotationColumns || row < 1 || row >= RowCount()) return false;
    currentCol_ = col;
    currentRow_ = row;
    return true;
}

bool QuotationGrid::CanEdit(int col, int row) const {
    if (row < 1 || row >= RowCount() || col < 0 || col >= kQuotationColumns) return false;
    return !Cell(col, row).ReadOnly;
}

bool QuotationGrid::advsg1SelectCell(int col, int row) {
    if (!SetCurrentCell(col, row)) return false;
    return CanEdit(col, row);
}

void QuotationGrid::ClampCurrentRow() { currentRow_ = std::clamp(currentRow_, 1, EndRow()); }

void QuotationGrid::SetCellText(int col, int row, std::string_view text) {
    if (row == 0 || row == EndRow()) return;
    auto& cell = At(col, row);
    if (col == 2 || col == 3) previous_ = {col, row, cell.Text};
    std::string written = WithoutSeparator(text);
    // A quantity written by hand is the user's: the line no longer follows its measure.
    if (col == 3 && written != cell.Text) rows_[static_cast<std::size_t>(row)].Follows = Measure::None;
    cell.Text = std::move(written);
}

int QuotationGrid::SectionOf(int row) const {
    if (!IsBodyRow(row)) return 0;
    while (row >= 2 && IsItemRow(row)) --row;
    return row >= 2 ? row : 0;
}

const RoomSize& QuotationGrid::Room(int row) const {
    static const RoomSize none;
    if (!IsBodyRow(row) || IsItemRow(row)) return none;
    return rows_[static_cast<std::size_t>(row)].Room;
}

void QuotationGrid::SetRoom(int sectionRow, RoomSize size) {
    if (!IsBodyRow(sectionRow) || IsItemRow(sectionRow)) return;
    rows_[static_cast<std::size_t>(sectionRow)].Room = std::move(size);
}

Measure QuotationGrid::LineMeasure(int row) const {
    if (row < 2 || row >= RowCount() || !IsItemRow(row)) return Measure::None;
    return rows_[static_cast<std::size_t>(row)].Follows;
}

void QuotationGrid::SetLineMeasure(int row, Measure measure) {
    if (row < 2 || row >= RowCount() || !IsItemRow(row)) return;
    rows_[static_cast<std::size_t>(row)].Follows = measure;
}

void QuotationGrid::SetMeasuredQuantity(int row, const std::string& quantity) {
    if (row < 2 || row >= RowCount() || !IsItemRow(row)) return;
    auto& cells = rows_[static_cast<std::size_t>(row)].Cells;
    cells[3].Text = quantity;
    cells[3].Expression.clear();
    RecalcItemAmount(row);
}

void QuotationGrid::SetCellReadOnly(int col, int row, bool readOnly) { At(col, row).ReadOnly = readOnly || col == 0; }

void QuotationGrid::SetCellAlign(int col, int row, HAlign align) { At(col, row).Align = align; }

void QuotationGrid::SetRowColor(int row, CellColor color) {
    for (auto& cell : rows_.at(static_cast<std::size_t>(row)).Cells) cell.Color = color;
}

void QuotationGrid::SetBodyRowHeight(int row, int height) {
    if (!IsBodyRow(row)) return;
    rows_[static_cast<std::size_t>(row)].Height = std::max(height, 1);
}

void QuotationGrid::ResetBody(int bodyRows) {
    bodyRows = std::max(bodyRows, 0);
    rows_.resize(2);
    rows_.resize(static_cast<std::size_t>(bodyRows) + 3, BlankRow());
    rows_.back().Height = kHiddenRowHeight;
    ClampCurrentRow();
}

PopupMenuVisibility QuotationGrid::advsg1RightClickCell(int row, int /*col*/) const {
    PopupMenuVisibility menu;
    const bool body = row != 0 && row != 1;
    menu.N2 = body;
    menu.N11 = body;
    return menu;
}

void QuotationGrid::FormatSectionRow(int row, bool lockName) {
    for (int c = 0; c < kQuotationColumns; ++c) SetCellReadOnly(c, row, true);
    if (!lockName) SetCellReadOnly(1, row, false);
    SetCellAlign(1, row, HAlign::Left);
    SetCellAlign(5, row, HAlign::Right);
}

void QuotationGrid::FormatItemRow(int row) {
    for (int c : {1, 2, 4, 5}) SetCellReadOnly(c, row, true);
    for (int c : {3, 6}) SetCellReadOnly(c, row, false);
}

void QuotationGrid::FormatFreeLine(int row) {
    for (int c = 1; c < kQuotationColumns; ++c) SetCellReadOnly(c, row, c == 5);
}

bool QuotationGrid::UnlockSectionName(int row) {
    if (row < 2 || row >= RowCount() || Kind(row) != RowKind::Section) return false;
    SetCellReadOnly(1, row, false);
    return true;
}

void QuotationGrid::RecalcItemAmount(int row) {
    if (row < 2 || row >= RowCount() || !IsItemRow(row)) return;
    auto& cells = rows_[static_cast<std::size_t>(row)].Cells;
    cells[5].Text = FormatTwoDecimals(StrToFloat(cells[2].Text) * StrToFloat(cells[3].Text));
}

void QuotationGrid::SetCellExpression(int col, int row, std::string expression) {
    At(col, row).Expression = std::move(expression);
}

std::vector<int> QuotationGrid::RowsWithTheirItems(const std::vector<int>& selectedRows) const {
    std::vector<bool> take(static_cast<std::size_t>(RowCount()), false);
    for (int r : selectedRows) {
        if (!IsBodyRow(r)) continue;
        take[static_cast<std::size_t>(r)] = true;
        if (IsItemRow(r)) continue;
        for (int i = r + 1; i < EndRow() && IsItemRow(i); ++i) take[static_cast<std::size_t>(i)] = true;
    }
    std::vector<int> rows;
    for (int r = 2; r < EndRow(); ++r)
        if (take[static_cast<std::size_t>(r)]) rows.push_back(r);
    return rows;
}

RowSpan QuotationGrid::InsertCopiedRows(const QuotationGrid& from) {
    const int count = from.BodyRowCount();
    if (count <= 0) return {};
    bool rooms = false;
    for (int r = 2; r < from.EndRow(); ++r) rooms = rooms || !from.IsItemRow(r);
    // A room never lands inside another room: it goes after the current one.
    const int at = rooms ? std::min(SectionEnd(std::min(currentRow_, EndRow() - 1)), EndRow()) : ItemInsertRow();
    rows_.insert(rows_.begin() + at, from.rows_.begin() + 2, from.rows_.begin() + 2 + count);
    if (!AmountsWithinLimit()) {
        // The rows would carry an amount or a total beyond the ceiling of
        // figures: they stay out and the grid stays as it was.
        rows_.erase(rows_.begin() + at, rows_.begin() + at + count);
        return {};
    }
    for (int r = at; r < at + count; ++r) {
        if (IsItemRow(r)) continue;
        auto& name = rows_[static_cast<std::size_t>(r)].Cells[1].Text;
        name += name.empty() ? "副本" : " 副本";
    }
    currentRow_ = at;
    currentCol_ = 1;
    RecalcTotals();
    return {at, count};
}

void QuotationGrid::AddSectionRow() {
    const int r = EndRow();
    rows_.insert(rows_.begin() + r, BlankRow());
    SetRowColor(r, CellColor::ButtonFace);
    FormatSectionRow(r, false);
}

void QuotationGrid::AddItemRow(const CatalogLine& item, bool manual) {
    PutItemRow(item, manual);
    RecalcTotals();
}

int QuotationGrid::PutItemRow(const CatalogLine& item, bool manual) {
    // The new row goes directly below the current row. With the hidden end
    // row current (where a delete at the bottom leaves it) the row still goes
    // above the end row, which must stay the last row.
    const int r = ItemInsertRow();
    rows_.insert(rows_.begin() + r, BlankRow());
    const double amount = item.Price * item.Count;
    auto& row = rows_[static_cast<std::size_t>(r)];
    row.Cells[1].Text = WithoutSeparator(item.ItemName);
    row.Cells[2].Text = FloatToStr(item.Price);
    row.Cells[3].Text = FloatToStr(item.Count);
    row.Cells[4].Text = WithoutSeparator(item.Unit);
    row.Cells[5].Text = FormatTwoDecimals(amount);
    row.Cells[6].Text = WithoutSeparator(item.Spec);
    row.Height = kItemRowHeight;
    row.Follows = manual ? Measure::None : item.Follows;
    if (row.Follows != Measure::None) {
        // In a measured room the quantity is the room's figure, not the catalog's count.
        if (const auto quantity = MeasuredQuantity(Room(SectionOf(r)), row.Follows)) {
            row.Cells[3].Text = *quantity;
            row.Cells[5].Text = FormatTwoDecimals(item.Price * StrToFloat(*quantity));
        }
    }
    for (int c = 1; c < kQuotationColumns; ++c) {
        const bool typing = manual ? c != 5 : c == 3;
        SetCellReadOnly(c, r, !typing);
    }
    constexpr std::array<HAlign, kQuotationColumns> kItemAlign{
        HAlign::Center, HAlign::Left, HAlign::Right, HAlign::Right, HAlign::Center, HAlign::Right, HAlign::Left};
    for (int c = 1; c < kQuotationColumns; ++c) SetCellAlign(c, r, kItemAlign[static_cast<std::size_t>(c)]);
    return r;
}

int QuotationGrid::ItemInsertRow() const { return std::min(currentRow_ + 1, EndRow()); }

bool QuotationGrid::AddCatalogEntry(const CatalogLine& item) {
    if (currentRow_ == 1) return false;
    AddItemRow(item, false);
    ApplyColumnAlignments();
    return true;
}

bool QuotationGrid::AddCatalogEntry(const CatalogLine& item, UserMessages& messages) {
    if (currentRow_ == 1) return false;
    // A price stored before figures had a ceiling, or one that would carry
    // its section or the grand total past it, stays out of the quotation.
    const bool figuresWithin =
        WithinNumberLimit(item.Price) && WithinNumberLimit(item.Count) && WithinNumberLimit(item.Price * item.Count);
    if (figuresWithin) {
        const int r = PutItemRow(item, false);
        if (AmountsWithinLimit()) {
            RecalcTotals();
            ApplyColumnAlignments();
            return true;
        }
        rows_.erase(rows_.begin() + r);
    }
    messages.Show(BeyondLimitMessage());
    return false;
}

void QuotationGrid::DeleteRowAt(int row) {
    if (!IsBodyRow(row)) return;
    rows_.erase(rows_.begin() + row);
}

bool QuotationGrid::DeleteCurrentRow() {
    const int c = currentRow_;
    if (!IsBodyRow(c)) return false;
    // A section goes together with the item rows that follow it; they are
    // removed in one step rather than one row at a time.
    int last = c + 1;
    if (!IsItemRow(c)) {
        while (last < EndRow() && IsItemRow(last)) ++last;
    }
    rows_.erase(rows_.begin() + c, rows_.begin() + last);
    ClampCurrentRow();
    RecalcTotals();
    return true;
}

bool QuotationGrid::advsg1CellValidate(int col, int row, UserMessages& messages) {
    if ((col != 2 && col != 3) || row < 2 || row >= RowCount() || !IsItemRow(row)) return false;
    auto& cells = rows_[static_cast<std::size_t>(row)].Cells;
    const auto colIndex = static_cast<std::size_t>(col);
    const std::string typed = cells[colIndex].Text;
    const std::string typedOver = cells[colIndex].Expression;
    // The value from before the typing, when it is one; otherwise 0.
    const bool known = previous_.Col == col && previous_.Row == row;
    const std::string previousText = known ? previous_.Text : std::string();
    const auto earlier = [&] {
        NumberEntry entry = known ? ReadNumberEntry(previousText) : NumberEntry{};
        if (!entry.Accepted) entry.Text = "0";
        entry.Expression = typedOver;
        return entry;
    };
    for (int c : {2, 3}) {
        auto& cell = cells[static_cast<std::size_t>(c)];
        const bool edited = c == col;
        NumberEntry entry = ReadNumberEntry(cell.Text);
        if (!entry.Accepted) {
            messages.Show(entry.Refusal);
            entry = edited ? earlier() : NumberEntry{};
            if (!entry.Accepted && !edited) entry.Text = "0";
        }
        if (edited || cell.Text != entry.Text) cell.Expression = entry.Expression;
        cell.Text = std::move(entry.Text);
    }
    previous_ = {};
    const auto amountWithin = [&] {
        RecalcItemAmount(row);
        return WithinNumberLimit(StrToFloat(cells[2].Text) * StrToFloat(cells[3].Text)) && AmountsWithinLimit();
    };
    if (!amountWithin()) {
        // Each figure keeps to the ceiling, their product or a total does not:
        // the figure just typed is refused like any other bad input and the
        // cell keeps what it had.
        messages.Show(RefusedBeyondLimitMessage(typed));
        NumberEntry back = earlier();
        cells[colIndex].Text = std::move(back.Text);
        cells[colIndex].Expression = std::move(back.Expression);
        if (!amountWithin()) {
            cells[colIndex].Text = "0";
            cells[colIndex].Expression.clear();
            RecalcItemAmount(row);
        }
    }
    RecalcTotals();
    return true;
}

double QuotationGrid::SumAmounts(bool* within) const {
    // Per heading, then the headings' sums into the grand total, the order in
    // which RecalcTotals sums them. A text that is no number raises when the
    // sum is asked for; the check alone counts it as 0 and leaves the error
    // to RecalcTotals.
    double grand = 0;
    double sum = 0;
    int items = 0;
    bool ok = true;
    const int n = RowCount();
    for (int r = 2; r < n; ++r) {
        if (IsItemRow(r)) {
            const auto& text = rows_[static_cast<std::size_t>(r)].Cells[5].Text;
            double v = 0;
            if (within)
                TryStrToFloat(text, v);
            else if (!IsBlankText(text))
                v = StrToFloat(text);
            ok = ok && WithinNumberLimit(v);
            sum += v;
            ++items;
            continue;
        }
        if (items > 0) grand += sum;
        ok = ok && WithinNumberLimit(sum) && WithinNumberLimit(grand);
        sum = 0;
        items = 0;
    }
    if (within) *within = ok;
    return grand;
}

bool QuotationGrid::AmountsWithinLimit() const {
    bool within = true;
    SumAmounts(&within);
    return within;
}

int QuotationGrid::RefuseFiguresBeyondLimit() {
    // Only a text written before figures had a ceiling, or by hand, holds
    // such a figure; a quotation of ordinary figures is left exactly as stored.
    int refused = 0;
    const auto zeroQuantity = [this, &refused](int r) {
        auto& cells = rows_[static_cast<std::size_t>(r)].Cells;
        cells[3].Text = "0";
        cells[5].Text = FormatTwoDecimals(0);
        ++refused;
    };
    const int end = EndRow();
    for (int r = 2; r < end; ++r) {
        if (!IsItemRow(r)) continue;
        auto& cells = rows_[static_cast<std::size_t>(r)].Cells;
        bool changed = false;
        bool amountStale = false;
        double figures[2] = {0, 0};
        for (int c : {2, 3}) {
            auto& text = cells[static_cast<std::size_t>(c)].Text;
            double& v = figures[c - 2];
            if (!TryStrToFloat(text, v) || NumberTextWithinLimit(text)) continue; // no number prints as 0
            changed = true;
            if (WithinNumberLimit(v)) {
                text = FloatToStr(v); // too many digits: the 15 the amount was computed with
            } else {
                text = "0";
                v = 0;
                amountStale = true;
            }
        }
        double amount = 0;
        if (TryStrToFloat(cells[5].Text, amount) && !WithinNumberLimit(amount)) amountStale = true;
        const double product = figures[0] * figures[1];
        if (!WithinNumberLimit(product)) {
            zeroQuantity(r);
            continue;
        }
        if (amountStale) cells[5].Text = FormatTwoDecimals(product);
        if (changed || amountStale) ++refused;
    }
    // Figures that each keep to the ceiling may still carry a total past it:
    // every item that would is refused, in the order RecalcTotals sums.
    double grand = 0;
    double sum = 0;
    for (int r = 2; r <= end; ++r) {
        if (!IsItemRow(r)) {
            grand += sum;
            sum = 0;
            continue;
        }
        double amount = 0;
        TryStrToFloat(rows_[static_cast<std::size_t>(r)].Cells[5].Text, amount);
        if (WithinNumberLimit(sum + amount) && WithinNumberLimit(grand + (sum + amount)))
            sum += amount;
        else
            zeroQuantity(r);
    }
    if (refused > 0) RecalcTotals();
    return refused;
}

void QuotationGrid::CloseHeading(int heading, int firstItem, int itemCount, double& grandTotal) {
    auto& headingText = rows_[static_cast<std::size_t>(heading)].Cells[5].Text;
    if (itemCount == 0) {
        headingText = "0.00";
        return;
    }
    for (int i = firstItem; i < firstItem + itemCount; ++i) {
        auto& text = rows_[static_cast<std::size_t>(i)].Cells[5].Text;
        if (IsBlankText(text)) text = "0.00";
    }
    double sum = 0;
    for (int i = firstItem; i < firstItem + itemCount; ++i)
        sum += StrToFloat(rows_[static_cast<std::size_t>(i)].Cells[5].Text);
    headingText = FormatTwoDecimals(sum);
    grandTotal += sum;
}

const QuotationCharges& QuotationGrid::RecalcTotals() {
    ++recalcCount_;
    double grand = 0;
    int heading = 1; // item rows above the first section are collected under the total row
    int firstItem = 0;
    int itemCount = 0;
    const int n = RowCount();
    for (int r = 2; r < n; ++r) {
        if (IsItemRow(r)) {
            if (itemCount++ == 0) firstItem = r;
            continue;
        }
        CloseHeading(heading, firstItem, itemCount, grand);
        heading = r;
        itemCount = 0;
    }
    rows_[1].Cells[5].Text = FormatTwoDecimals(grand);
    StoreCharges(grand);
    return charges_;
}

void QuotationGrid::StoreCharges(double grand) {
    charges_.ProjectTotal = grand;
    const ChargeCents cents = ComputeCharges(grand, terms_);
    const double base = ChargeBase(grand, cents.Discount);
    charges_.TaxAmount = base * RateOfPercent(terms_.TaxPercent);
    charges_.OverheadAmount = base * RateOfPercent(terms_.OverheadPercent);
    charges_.Edit9Text = CentsText(cents.Tax);
    charges_.Edit8Text = CentsText(cents.Overhead);
    charges_.DiscountText = CentsText(cents.Discount);
    charges_.Label16Text = FormatTwoDecimals(grand);
}

const QuotationCharges& QuotationGrid::RecalcCharges() {
    ++recalcCount_;
    // The same sums in the same order as RecalcTotals, so both give the same cent.
    StoreCharges(SumAmounts(nullptr));
    return charges_;
}

void QuotationGrid::ApplyColumnAlignments() {
    using A = HAlign;
    constexpr std::array<A, kQuotationColumns> kHeader{A::Center, A::Center, A::Center, A::Center,
                                                       A::Center, A::Center, A::Center};
    constexpr std::array<A, kQuotationColumns> kPlain{A::Center, A::Left,  A::Right, A::Right,
                                                      A::Center, A::Right, A::Left};
    constexpr std::array<A, kQuotationColumns> kItem{A::Center, A::Center, A::Right, A::Right,
                                                     A::Center, A::Right,  A::Left};
    const int n = RowCount();
    for (int r = 0; r < n; ++r) {
        const auto kind = Kind(r);
        const auto& align = kind == RowKind::Header ? kHeader : kind == RowKind::Item ? kItem : kPlain;
        auto& cells = rows_[static_cast<std::size_t>(r)].Cells;
        for (std::size_t c = 0; c < cells.size(); ++c) cells[c].Align = align[c];
    }
}

int QuotationGrid::SectionEnd(int row) const {
    int end = row + 1;
    while (end < EndRow() && IsItemRow(end)) ++end;
    return end;
}

RowSpan QuotationGrid::MoveCurrentRowUp() {
    const int c = currentRow_;
    if (!IsBodyRow(c)) return {};
    const auto at = [this](int r) { return rows_.begin() + r; };
    if (IsItemRow(c)) {
        if (c - 1 < 2) return {};
        std::swap(rows_[static_cast<std::size_t>(c - 1)], rows_[static_cast<std::size_t>(c)]);
        currentRow_ = c - 1;
        RecalcTotals();
        return {c - 1, 2};
    }
    int above = c - 1;
    while (above >= 2 && IsItemRow(above)) --above;
    if (above < 2) return {};
    const int end = SectionEnd(c);
    std::rotate(at(above), at(c), at(end));
    currentRow_ = above;
    RecalcTotals();
    return {above, end - above};
}

RowSpan QuotationGrid::MoveCurrentRowDown() {
    const int c = currentRow_;
    if (!IsBodyRow(c)) return {};
    const auto at = [this](int r) { return rows_.begin() + r; };
    if (IsItemRow(c)) {
        if (c + 1 >= EndRow()) return {};
        std::swap(rows_[static_cast<std::size_t>(c)], rows_[static_cast<std::size_t>(c + 1)]);
        currentRow_ = c + 1;
        RecalcTotals();
        return {c, 2};
    }
    const int end = SectionEnd(c);
    if (end >= EndRow()) return {};
    const int next = SectionEnd(end);
    std::rotate(at(c), at(end), at(next));
    currentRow_ = c + (next - end);
    RecalcTotals();
    return {c, next - c};
}

bool QuotationGrid::LeaveEndRow() {
    if (currentRow_ != EndRow()) return false;
    currentRow_ = EndRow() - 1;
    return true;
}

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t TakeU32(std::string_view& in) {
    if (in.size() < 4) throw std::invalid_argument("quotation image cut short");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    in.remove_prefix(4);
    return v;
}

} // namespace

std::string QuotationGrid::Image() const {
    std::size_t size = 4;
    for (const auto& row : rows_) {
        size += 5;
        for (const auto& cell : row.Cells)
            size += 5 + cell.Text.size() + (cell.Expression.empty() ? 0 : 4 + cell.Expression.size());
    }
    std::string out;
    out.reserve(size);
    PutU32(out, static_cast<std::uint32_t>(rows_.size()));
    for (const auto& row : rows_) {
        PutU32(out, static_cast<std::uint32_t>(row.Height));
        // The room's measurements and the line's measure go with the row, so
        // an undo takes a change of measurements back as well.
        const bool room = !row.Room.Empty();
        out += static_cast<char>(static_cast<unsigned>(row.Follows) | (room ? 0x80u : 0u));
        if (room) {
            const std::string text = EncodeRoomSize(row.Room);
            PutU32(out, static_cast<std::uint32_t>(text.size()));
            out += text;
        }
        for (const auto& cell : row.Cells) {
            const bool expression = !cell.Expression.empty();
            const auto flags = static_cast<unsigned>(cell.ReadOnly) | static_cast<unsigned>(cell.Align) << 1 |
                               static_cast<unsigned>(cell.Color) << 3 | static_cast<unsigned>(expression) << 4;
            out += static_cast<char>(flags);
            PutU32(out, static_cast<std::uint32_t>(cell.Text.size()));
            out += cell.Text;
            if (expression) {
                PutU32(out, static_cast<std::uint32_t>(cell.Expression.size()));
                out += cell.Expression;
            }
        }
    }
    return out;
}

void QuotationGrid::RestoreImage(std::string_view image) {
    const std::uint32_t count = TakeU32(image);
    if (count < 3 || count > image.size() / 4) throw std::invalid_argument("quotation image has no valid row count");
    std::vector<GridRow> rows(count);
    for (auto& row : rows) {
        row.Height = static_cast<int>(TakeU32(image));
        if (image.empty()) throw std::invalid_argument("quotation image cut short");
        const auto marks = static_cast<unsigned char>(image.front());
        image.remove_prefix(1);
        row.Follows = MeasureFromNumber(marks & 0x7Fu);
        if ((marks & 0x80u) != 0) {
            const std::uint32_t length = TakeU32(image);
            if (length > image.size() || !DecodeRoomSize(image.substr(0, length), row.Room))
                throw std::invalid_argument("quotation image holds no room");
            image.remove_prefix(length);
        }
        for (auto& cell : row.Cells) {
            if (image.empty()) throw std::invalid_argument("quotation image cut short");
            const auto flags = static_cast<unsigned char>(image.front());
            image.remove_prefix(1);
            cell.ReadOnly = (flags & 1u) != 0;
            cell.Align = static_cast<HAlign>(std::min((flags >> 1) & 3u, 2u));
            cell.Color = static_cast<CellColor>((flags >> 3) & 1u);
            const std::uint32_t length = TakeU32(image);
            if (length > image.size()) throw std::invalid_argument("quotation image cut short");
            cell.Text.assign(image.substr(0, length));
            image.remove_prefix(length);
            if ((flags & 16u) != 0) {
                const std::uint32_t expressionLength = TakeU32(image);
                if (expressionLength > image.size()) throw std::invalid_argument("quotation image cut short");
                cell.Expression.assign(image.substr(0, expressionLength));
                image.remove_prefix(expressionLength);
            }
        }
    }
    if (!image.empty()) throw std::invalid_argument("quotation image too long");
    rows_ = std::move(rows);
    ClampCurrentRow();
}

} // namespace lty
