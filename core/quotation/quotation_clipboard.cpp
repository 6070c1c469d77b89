#include "core/quotation/quotation_clipboard.h"

#include "core/text/number_text.h"

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

std::vector<std::vector<std::string>> ParseTsv(std::string_view text) {
    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> line;
    std::string field;
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool lineOpen = false;
    while (i < n) {
        lineOpen = true;
        if (text[i] == '"' && field.empty()) {
            // A quoted cell: up to the quote not doubled.
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            continue;
        }
        const char c = text[i++];
        if (c == '\t') {
            line.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i < n && text[i] == '\n') ++i;
            line.push_back(std::move(field));
            field.clear();
            lines.push_back(std::move(line));
            line.clear();
            lineOpen = false;
        } else {
            field += c;
        }
    }
    if (lineOpen) {
        line.push_back(std::move(field));
        lines.push_back(std::move(line));
    }
    return lines;
}

PasteOutcome PasteTsv(QuotationGrid& grid, int col, int row, std::string_view text) {
    struct Write {
        int Col;
        int Row;
        std::string Text;
        std::string Expression;
        bool Number;
        std::string Typed; // as pasted, for the message
    };
    PasteOutcome outcome;
    const auto lines = ParseTsv(text);
    std::vector<Write> writes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int r = row + static_cast<int>(i);
        if (r >= grid.EndRow()) break;
        for (std::size_t j = 0; j < lines[i].size(); ++j) {
            const int c = col + static_cast<int>(j);
            if (c >= kQuotationColumns) break;
            if (!grid.CanEdit(c, r)) continue;
            const std::string& value = lines[i][j];
            const bool number = (c == 2 || c == 3) && grid.IsItemRow(r);
            if (!number) {
                writes.push_back({c, r, value, {}, false, {}});
                continue;
            }
            NumberEntry entry = ReadNumberEntry(value);
            if (!entry.Accepted) {
                outcome.Refusal = std::move(entry.Refusal);
                return outcome;
            }
            writes.push_back({c, r, std::move(entry.Text), std::move(entry.Expression), true, value});
        }
    }
    if (writes.empty()) return outcome;
    outcome.FirstRow = writes.front().Row;
    outcome.LastRow = writes.back().Row;
    int lastAmountRow = -1;
    struct Earlier {
        std::string Text;
        std::string Expression;
    };
    std::vector<Earlier> earlier;
    earlier.reserve(writes.size());
    for (auto& w : writes) {
        earlier.push_back({grid.Text(w.Col, w.Row), grid.Cell(w.Col, w.Row).Expression});
        grid.SetCellText(w.Col, w.Row, w.Text);
        if (!w.Number) continue;
        grid.SetCellExpression(w.Col, w.Row, std::move(w.Expression));
        outcome.Recalculated = true;
    }
    for (const auto& w : writes) {
        if (!w.Number || w.Row == lastAmountRow) continue;
        grid.RecalcItemAmount(w.Row);
        lastAmountRow = w.Row;
    }
    if (outcome.Recalculated && !grid.AmountsWithinLimit()) {
        // Each figure keeps to the ceiling, an amount or a total they make
        // does not: the paste is refused as a whole, naming the figure whose
        // amount, or else the last one, went beyond.
        const Write* named = nullptr;
        for (const auto& w : writes) {
            if (!w.Number) continue;
            named = &w;
            if (!WithinNumberLimit(StrToFloat(grid.Text(2, w.Row)) * StrToFloat(grid.Text(3, w.Row)))) break;
        }
        for (std::size_t i = writes.size(); i-- > 0;) {
            const auto& w = writes[i];
            grid.SetCellText(w.Col, w.Row, earlier[i].Text);
            if (w.Number) grid.SetCellExpression(w.Col, w.Row, earlier[i].Expression);
        }
        lastAmountRow = -1;
        for (const auto& w : writes) {
            if (!w.Number || w.Row == lastAmountRow) continue;
            grid.RecalcItemAmount(w.Row);
            lastAmountRow = w.Row;
        }
        return PasteOutcome{false, false, RefusedBeyondLimitMessage(named->Typed), 0, 0};
    }
    if (outcome.Recalculated) grid.RecalcTotals();
    outcome.Written = true;
    return outcome;
}

} // namespace lty
