#include "core/quotation/quotation_text.h"

#include "core/text/number_text.h"

#include <algorithm>
#include <climits>

namespace lty {
namespace {

constexpr char kSeparator = '@';

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char KindCharacter(const QuotationGrid& grid, int row) {
    if (!grid.IsItemRow(row)) return '1';
    return grid.IsFreeLine(row) ? '2' : '0';
}

template <class Rows>
std::string RowsToText(const QuotationGrid& grid, const Rows& rows) {
    std::size_t size = 0;
    for (int r : rows) {
        size += 1 + (kQuotationColumns - 1);
        for (int c = 1; c < kQuotationColumns; ++c) size += grid.Text(c, r).size();
    }
    std::string text;
    text.reserve(size);
    for (int r : rows) text += KindCharacter(grid, r);
    for (int r : rows) {
        for (int c = 1; c < kQuotationColumns; ++c) {
            text += kSeparator;
            text += grid.Text(c, r);
        }
    }
    return text;
}

// The body rows 2 .. end-1 without building a list of them.
struct BodyRows {
    int First;
    int Last;
    struct It {
        int R;
        int operator*() const { return R; }
        It& operator++() {
            ++R;
            return *this;
        }
        bool operator!=(const It& o) const { return R != o.R; }
    };
    It begin() const { return {First}; }
    It end() const { return {Last}; }
};

} // namespace

std::string QuotationToText(const QuotationGrid& grid) { return RowsToText(grid, BodyRows{2, grid.EndRow()}); }

std::string QuotationRowsToText(const QuotationGrid& grid, const std::vector<int>& rows) {
    std::vector<int> kept;
    kept.reserve(rows.size());
    for (int r : rows)
        if (grid.IsBodyRow(r)) kept.push_back(r);
    return RowsToText(grid, kept);
}

int TextToQuotation(QuotationGrid& grid, std::string_view text) {
    const auto first = text.find(kSeparator);
    if (first == std::string_view::npos) return 0;
    const std::string_view kinds = text.substr(0, first);
    std::string_view rest = TrimView(text.substr(first + 1));

    // Every body row is rebuilt from blank cells, whatever the grid held.
    const auto bodyRows = static_cast<int>(std::min<std::size_t>(kinds.size(), INT_MAX - 3));
    grid.ResetBody(bodyRows);
    grid.ApplyColumnAlignments();
    grid.SetCellText(5, 1, FloatToStr(grid.ProjectTotal()));

    for (int i = 0; i < bodyRows; ++i) {
        const int r = i + 2;
        switch (kinds[static_cast<std::size_t>(i)]) {
        case '1':
            grid.SetRowColor(r, CellColor::ButtonFace);
            grid.SetBodyRowHeight(r, QuotationGrid::kStoredSectionRowHeight);
            grid.FormatSectionRow(r, true);
            break;
        case '0':
            grid.SetBodyRowHeight(r, QuotationGrid::kItemRowHeight);
            grid.FormatItemRow(r);
            break;
        case '2':
            grid.SetBodyRowHeight(r, QuotationGrid::kItemRowHeight);
            grid.FormatFreeLine(r);
            break;
        default:
            break; // neither treatment; every later operation takes it for a section row
        }
    }

    // Fields past the last body row would land in the hidden end row, which
    // must stay empty (it is never stored and the print walk reads it), so
    // they are dropped.
    const int end = grid.EndRow();
    for (int r = 2; r < end && !rest.empty(); ++r) {
        for (int c = 1; c < kQuotationColumns && !rest.empty(); ++c) {
            const auto at = rest.find(kSeparator);
            if (at == std::string_view::npos) {
                grid.SetCellText(c, r, rest);
                rest = {};
            } else {
                grid.SetCellText(c, r, rest.substr(0, at));
                rest = TrimView(rest.substr(at + 1));
            }
        }
    }
    return grid.RefuseFiguresBeyondLimit();
}

} // namespace lty
