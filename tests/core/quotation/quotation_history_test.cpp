// Undo snapshots, moving rows and sections, and the clipboard text of a selection.
#include "core/quotation/quotation_clipboard.h"
#include "core/quotation/quotation_history.h"
#include "core/quotation/quotation_text.h"
#include "tests/core/scripted_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lty {
namespace {

CatalogLine Entry(std::string name, double price) {
    CatalogLine line;
    line.ItemName = std::move(name);
    line.Price = price;
    line.Count = 1;
    line.Unit = "米";
    return line;
}

std::vector<std::string> Names(const QuotationGrid& g) {
    std::vector<std::string> out;
    for (int r = 2; r < g.EndRow(); ++r) out.push_back(g.Text(1, r));
    return out;
}

// S1 {a 10, b 20}, S2 {c 30}, S3 {}: sections added by the menu, items from the catalog.
QuotationGrid ThreeSections() {
    QuotationGrid g;
    for (int i = 0; i < 3; ++i) g.AddSectionRow();
    for (int s : {2, 3, 4}) g.SetCellText(1, s, "S" + std::to_string(s - 1));
    g.SetCurrentCell(1, 3);
    g.AddCatalogEntry(Entry("c", 30));
    g.SetCurrentCell(1, 2);
    g.AddCatalogEntry(Entry("b", 20));
    g.AddCatalogEntry(Entry("a", 10));
    return g;
}

TEST(QuotationImage, RestoresEveryFlagHeightAndTextTheStoredTextWouldLose) {
    QuotationGrid g = ThreeSections();
    g.SetCurrentCell(1, 2);
    g.AddItemRow(CatalogLine{}, true); // a typed item: name, price, unit editable
    g.SetCellText(1, 3, "手填@项");
    const std::string image = g.Image();

    QuotationGrid h;
    h.RestoreImage(image);
    EXPECT_EQ(h.Image(), image);
    EXPECT_EQ(QuotationToText(h), QuotationToText(g));
    for (int r = 0; r < g.RowCount(); ++r) {
        EXPECT_EQ(h.RowHeight(r), g.RowHeight(r));
        for (int c = 0; c < kQuotationColumns; ++c) {
            EXPECT_EQ(h.CanEdit(c, r), g.CanEdit(c, r)) << c << "," << r;
            EXPECT_EQ(h.Cell(c, r).Align, g.Cell(c, r).Align);
            EXPECT_EQ(h.Cell(c, r).Color, g.Cell(c, r).Color);
        }
    }
    EXPECT_TRUE(h.CanEdit(1, 2)) << "a section name typed by the menu stays editable";
    EXPECT_EQ(h.RowHeight(2), QuotationGrid::kDefaultRowHeight);

    // A damaged image is refused and the grid keeps what it had.
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, image.size() / 2, image.size() - 1}) {
        EXPECT_THROW(h.RestoreImage(std::string_view(image).substr(0, cut)), std::invalid_argument);
        EXPECT_EQ(h.Image(), image);
    }
    EXPECT_THROW(h.RestoreImage(image + "x"), std::invalid_argument);
}

TEST(QuotationHistory, UndoAndRedoWalkMixedChangesBackAndForthExactly) {
    test::ScriptedMessages m;
    QuotationGrid g;
    QuotationHistory h;
    std::vector<std::string> texts{QuotationToText(g)};
    std::vector<std::string> charges{g.Charges().Label16Text};
    const auto change = [&](auto op, bool recalculates) {
        const auto before = g.RecalcCount();
        h.Begin(g);
        op();
        EXPECT_EQ(g.RecalcCount() != before, recalculates);
        ASSERT_TRUE(h.End(g, g.RecalcCount() != before));
        texts.push_back(QuotationToText(g));
        charges.push_back(g.Charges().Label16Text);
    };
    change([&] { g.AddSectionRow(); }, false);
    change([&] { g.SetCellText(1, 2, "卧室"); }, false);
    change(
        [&] {
            g.SetCurrentCell(1, 2);
            g.AddCatalogEntry(Entry("乳胶漆", 18));
        },
        true);
    change(
        [&] {
            g.SetCellText(3, 3, "2.5");
            g.advsg1CellValidate(3, 3, m);
        },
        true);
    change(
        [&] {
            g.SetCurrentCell(1, 3);
            g.DeleteCurrentRow();
        },
        true);
    ASSERT_EQ(h.UndoCount(), 5u);

    // An edit that changes nothing leaves no step behind and keeps the redo.
    h.Begin(g);
    EXPECT_FALSE(h.End(g, false));
    EXPECT_EQ(h.UndoCount(), 5u);

    for (int i = 4; i >= 0; --i) {
        ASSERT_TRUE(h.Undo(g));
        EXPECT_EQ(QuotationToText(g), texts[static_cast<std::size_t>(i)]) << "undo to " << i;
    }
    EXPECT_FALSE(h.Undo(g));
    EXPECT_EQ(g.Text(5, 1), "0.00");
    EXPECT_EQ(g.Charges().Label16Text, "0.00");
    EXPECT_EQ(g.CurrentRow(), 1) << "the current cell comes back with the snapshot";
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(h.Redo(g));
        EXPECT_EQ(QuotationToText(g), texts[static_cast<std::size_t>(i)]) << "redo to " << i;
    }
    EXPECT_FALSE(h.Redo(g));

    // Undoing the quantity edit brings the charges of the catalog entry back.
    h.Undo(g);
    h.Undo(g);
    EXPECT_EQ(g.Charges().Label16Text, "18.00");
    EXPECT_EQ(g.Charges().Edit8Text, "1.44");
    EXPECT_EQ(g.Text(5, 1), "18.00");
    EXPECT_EQ(g.CurrentRow(), 2);
    // A new change after undoing ends the redo.
    h.Begin(g);
    g.AddSectionRow();
    EXPECT_TRUE(h.End(g, false));
    EXPECT_FALSE(h.CanRedo());
}

TEST(QuotationMoves, ItemsSwapAcrossSectionsAndSectionsTakeTheirItems) {
    QuotationGrid g = ThreeSections();
    ASSERT_EQ(Names(g), (std::vector<std::string>{"S1", "a", "b", "S2", "c", "S3"}));
    ASSERT_EQ(g.Text(5, 2), "30.00");

    // Item b down: past S2's heading it becomes S2's first item.
    g.SetCurrentCell(3, 4);
    RowSpan span = g.MoveCurrentRowDown();
    EXPECT_EQ(span.First, 4);
    EXPECT_EQ(span.Count, 2);
    EXPECT_EQ(Names(g), (std::vector<std::string>{"S1", "a", "S2", "b", "c", "S3"}));
    EXPECT_EQ(g.CurrentRow(), 5);
    EXPECT_EQ(g.CurrentCol(), 3);
    EXPECT_EQ(g.Text(5, 2), "10.00");
    EXPECT_EQ(g.Text(5, 4), "50.00");
    EXPECT_EQ(g.Text(5, 1), "60.00");

    // Section S2 up past S1: its items come along, S1 keeps a.
    g.SetCurrentCell(1, 4);
    span = g.MoveCurrentRowUp();
    EXPECT_EQ(span.First, 2);
    EXPECT_EQ(span.Count, 5);
    EXPECT_EQ(Names(g), (std::vector<std::string>{"S2", "b", "c", "S1", "a", "S3"}));
    EXPECT_EQ(g.CurrentRow(), 2);
    EXPECT_TRUE(g.IsItemRow(3));
    EXPECT_EQ(g.RowHeight(3), QuotationGrid::kItemRowHeight);
    EXPECT_EQ(g.Text(5, 2), "50.00");

    // ... and down again past S1, then past the empty S3.
    span = g.MoveCurrentRowDown();
    EXPECT_EQ(Names(g), (std::vector<std::string>{"S1", "a", "S2", "b", "c", "S3"}));
    EXPECT_EQ(g.CurrentRow(), 4);
    g.MoveCurrentRowDown();
    EXPECT_EQ(Names(g), (std::vector<std::string>{"S1", "a", "S3", "S2", "b", "c"}));
    EXPECT_EQ(g.CurrentRow(), 5);

    // Nothing moves past the ends, and nothing moves from the total row.
    const auto text = QuotationToText(g);
    EXPECT_EQ(g.MoveCurrentRowDown().Count, 0);
    g.SetCurrentCell(1, 7);
    EXPECT_EQ(g.MoveCurrentRowDown().Count, 0) << "the last item stays above the end row";
    g.SetCurrentCell(1, 2);
    EXPECT_EQ(g.MoveCurrentRowUp().Count, 0);
    g.SetCurrentCell(1, 1);
    EXPECT_EQ(g.MoveCurrentRowUp().Count, 0);
    EXPECT_EQ(g.MoveCurrentRowDown().Count, 0);
    EXPECT_EQ(QuotationToText(g), text);

    // An item directly below the total row goes no higher; a section never
    // climbs above items that belong to no section.
    g.SetCurrentCell(1, 1);
    g.AddItemRow(Entry("loose", 1), true);
    g.SetCurrentCell(1, 2);
    EXPECT_EQ(g.MoveCurrentRowUp().Count, 0);
    g.SetCurrentCell(1, 3);
    EXPECT_EQ(g.MoveCurrentRowUp().Count, 0);
    EXPECT_EQ(g.Text(5, 1), "61.00");
}

TEST(QuotationMoves, DeleteAtTheBottomLeavesTheEndRowForTheLastVisibleRow) {
    QuotationGrid g = ThreeSections();
    g.SetCurrentCell(2, 7);
    ASSERT_TRUE(g.DeleteCurrentRow());
    ASSERT_EQ(g.CurrentRow(), g.EndRow());
    EXPECT_TRUE(g.LeaveEndRow());
    EXPECT_EQ(g.CurrentRow(), g.EndRow() - 1);
    EXPECT_FALSE(g.LeaveEndRow());

    QuotationGrid empty;
    empty.AddSectionRow();
    empty.SetCurrentCell(0, 2);
    empty.DeleteCurrentRow();
    EXPECT_TRUE(empty.LeaveEndRow());
    EXPECT_EQ(empty.CurrentRow(), 1) << "with no body left the total row is current";
}

TEST(QuotationClipboard, SelectionBecomesTabSeparatedRectangle) {
    QuotationGrid g = ThreeSections();
    g.SetCellText(6, 3, "两遍\t底漆\n\"面漆\"");
    // Rows 2 and 3, columns 0 (left out), 1, 2, 5 and 6 of row 3 only.
    const std::vector<CellRef> cells{{0, 2}, {1, 2}, {5, 2}, {1, 3}, {2, 3}, {5, 3}, {6, 3}};
    EXPECT_EQ(SelectionToTsv(g, cells), "S1\t\t\t\t30.00\t\n"
                                        "a\t10\t\t\t10.00\t\"两遍\t底漆\n\"\"面漆\"\"\"\n");
    EXPECT_EQ(SelectionToTsv(g, {{5, 1}, {5, 0}}), "合计(元)\n60.00\n");
    EXPECT_EQ(SelectionToTsv(g, {{0, 3}, {3, g.EndRow()}, {9, 3}}), "");
    EXPECT_EQ(SelectionToTsv(g, {}), "");
}

} // namespace
} // namespace lty
