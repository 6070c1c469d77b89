#include "core/quotation/quotation_clipboard.h"

#include <algorithm>
#include <climits>

namespace lty {
namespace {

void AppendField(std::string& out, const std::string& text) {
    if (text.find_first_of("\t\r\n\"") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string SelectionToTsv(const QuotationGrid& grid, const std::vector<CellRef>& cells) {
    std::vector<CellRef> kept;
    kept.reserve(cells.size());
    for (const auto& c : cells) {
        if (c.Col >= 1 && c.Col < kQuotationColumns && c.Row >= 0 && c.Row < grid.EndRow()) kept.push_back(c);
    }
    if (kept.empty()) return {};
    int top = INT_MAX, bottom = 0, left = INT_MAX, right = 0;
    for (const auto& c : kept) {
        top = std::min(top, c.Row);
        bottom = std::max(bottom, c.Row);
        left = std::min(left, c.Col);
        right = std::max(right, c.Col);
    }
    const int width = right - left + 1;
    std::vector<bool> selected(static_cast<std::size_t>(bottom - top + 1) * static_cast<std::size_t>(width));
    for (const auto& c : kept)
        selected[static_cast<std::size_t>(c.Row - top) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(c.Col - left)] = true;
    std::string out;
    std::size_t i = 0;
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c, ++i) {
            if (c > left) out += '\t';
            if (selected[i]) AppendField(out, grid.Text(c, r));
        }
        out += '\n';
    }
    return out;
}

} // namespace lty
