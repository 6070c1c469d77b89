// A stored quotation text is never trusted: whatever bytes it holds, reading it
// must leave a well-formed grid that the editor's operations and the print walk
// can work on, and writing that grid must give a text that reads back stably.
#include "core/print/print_rows.h"
#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_text.h"
#include "core/text/number_text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "quotation grid not well-formed: %s\n", what);
    std::abort();
}

void RequireWellFormed(const lty::QuotationGrid& g) {
    Require(g.RowCount() >= 3, "fewer than three rows");
    Require(g.Kind(0) == lty::RowKind::Header && g.Text(5, 0) == "合计(元)", "header row");
    Require(g.Kind(1) == lty::RowKind::Total && g.Text(1, 1) == "总计", "total row");
    const int end = g.EndRow();
    Require(g.Kind(end) == lty::RowKind::End && g.RowHeight(end) == 0, "end row");
    for (int c = 0; c < lty::kQuotationColumns; ++c) Require(g.Text(c, end).empty(), "end row not empty");
    for (int r = 2; r < end; ++r) {
        const auto kind = g.Kind(r);
        Require(kind == lty::RowKind::Section || kind == lty::RowKind::Item, "body row kind");
        Require(g.RowHeight(r) > 0, "hidden body row");
        for (int c = 0; c < lty::kQuotationColumns; ++c)
            Require(g.Text(c, r).find('@') == std::string::npos, "separator inside a cell");
    }
    Require(g.CurrentRow() >= 1 && g.CurrentRow() <= end, "current row");
}

std::string TrimEnd(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
    return s;
}

class Silent : public lty::UserMessages {
public:
    void Show(const std::string&) override {}
    void ShowBox(const std::string&, const std::string&, lty::MessageIcon) override {}
    bool Ask(const std::string&, const std::string&) override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    lty::QuotationGrid g;
    g.SetProjectTotal(640);
    lty::TextToQuotation(g, text);
    RequireWellFormed(g);

    // Stored again, only the trailing blanks of the last cell may be lost;
    // from then on the text is a fixed point.
    const std::string t1 = lty::QuotationToText(g);
    lty::QuotationGrid g1;
    lty::TextToQuotation(g1, t1);
    RequireWellFormed(g1);
    Require(g1.RowCount() == g.RowCount(), "row count changed on reload");
    const std::string t2 = lty::QuotationToText(g1);
    Require(t2 == TrimEnd(t1), "text changed on reload");
    lty::QuotationGrid g2;
    lty::TextToQuotation(g2, t2);
    Require(lty::QuotationToText(g2) == t2, "text not stable");

    // The editor and the print walk work on whatever was read.
    (void)lty::QuotationPrintRows(g);
    Silent messages;
    try {
        g.RecalcTotals(); // a stored amount that is no number is reported, not a crash
    } catch (const lty::ConvertError&) {
    }
    const int row = g.RowCount() > 1 ? 1 + static_cast<int>(size % static_cast<std::size_t>(g.RowCount() - 1)) : 1;
    g.SetCurrentCell(3, row);
    try {
        g.advsg1CellValidate(3, row, messages);
        g.AddCatalogEntry(lty::CatalogLine{"名@", 12.5, 1, "米", 0, "@"});
        g.DeleteCurrentRow();
        g.AddSectionRow();
    } catch (const lty::ConvertError&) {
    }
    RequireWellFormed(g);
    return 0;
}
