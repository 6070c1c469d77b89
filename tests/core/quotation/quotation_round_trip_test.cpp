// Grids built by random sequences of the window's operations survive a store
// and reload: every cell that does not start with a blank and every row kind.
#include "core/quotation/house_type.h"
#include "core/quotation/quotation_text.h"
#include "tests/core/scripted_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace lty {
namespace {

class RandomEditor {
public:
    explicit RandomEditor(unsigned seed) : rng_(seed) {}

    std::string Text() {
        static const std::vector<std::string> pieces = {"",    " ",  "\t",     "卧室", "a",     "@",    "12.5",
                                                        "x y", "＠", "乳胶漆", "0.00", "1.2.3", "\x01", "米"};
        std::string t;
        const int n = Pick(4);
        for (int i = 0; i < n; ++i) t += pieces[static_cast<std::size_t>(Pick(static_cast<int>(pieces.size())))];
        return t;
    }

    std::string Number() {
        static const std::vector<std::string> numbers = {"",     "0",    "1",     "18", "2.5", "12.",
                                                         "3.14", "1000", "2.5.1", "-3", "abc", " 7"};
        return numbers[static_cast<std::size_t>(Pick(static_cast<int>(numbers.size())))];
    }

    CatalogLine Line() {
        CatalogLine l;
        l.ItemName = Text();
        l.Price = Pick(10000) / 100.0;
        l.Count = Pick(3);
        l.Unit = Text();
        l.Spec = Text();
        return l;
    }

    void Step(QuotationGrid& g, UserMessages& m) {
        switch (Pick(8)) {
        case 0:
            g.SetCurrentCell(Pick(kQuotationColumns), 1 + Pick(g.RowCount() - 1));
            break;
        case 1:
            g.AddSectionRow();
            break;
        case 2:
            g.AddItemRow(Line(), Pick(2) == 0);
            break;
        case 3:
            g.AddCatalogEntry(Line());
            break;
        case 4:
            if (Pick(3) == 0) g.DeleteCurrentRow();
            break;
        default: {
            // Type into a cell the editor lets the user edit, then end the edit.
            const int row = 1 + Pick(g.RowCount() - 1);
            const int col = Pick(kQuotationColumns);
            if (!g.CanEdit(col, row)) break;
            g.SetCellText(col, row, col == 2 || col == 3 ? Number() : Text());
            g.advsg1CellValidate(col, row, m);
        }
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, std::max(n - 1, 0))(rng_); }

private:
    std::mt19937 rng_;
};

bool StartsWithBlank(const std::string& s) { return !s.empty() && static_cast<unsigned char>(s.front()) <= 32; }

std::string TrimEnd(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
    return s;
}

TEST(QuotationRoundTrip, RandomGridsReadBackIntoTheSameRowsAndCells) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomEditor ed(seed);
        test::ScriptedMessages m;
        QuotationGrid g;
        if (seed % 4 == 0) {
            THuxing h;
            h.SetBedroom(ed.Pick(3));
            h.SetKitchen(ed.Pick(2));
            LayoutFromHouseType(g, h);
        }
        const int steps = 20 + ed.Pick(200);
        for (int i = 0; i < steps; ++i) ed.Step(g, m);

        const std::string text = QuotationToText(g);
        EXPECT_EQ(std::count(text.begin(), text.end(), '@'), 6 * g.BodyRowCount());
        QuotationGrid back;
        back.SetProjectTotal(g.ProjectTotal());
        TextToQuotation(back, text);
        ASSERT_EQ(back.BodyRowCount(), g.BodyRowCount());
        const int end = g.EndRow();
        for (int r = 2; r < end; ++r) {
            EXPECT_EQ(back.Kind(r), g.Kind(r)) << "row " << r;
            for (int c = 1; c < kQuotationColumns; ++c) {
                std::string want = g.Text(c, r);
                if (StartsWithBlank(want)) continue;
                if (r == end - 1 && c == kQuotationColumns - 1) want = TrimEnd(want); // the text's last cell
                EXPECT_EQ(back.Text(c, r), want) << "row " << r << " column " << c;
            }
        }
    }
}

} // namespace
} // namespace lty
