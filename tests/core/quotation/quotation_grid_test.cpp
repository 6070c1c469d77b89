#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_text.h"
#include "core/text/number_text.h"
#include "tests/core/scripted_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lty {
namespace {

CatalogLine Entry(std::string name, double price, double count = 1, std::string unit = "平米", std::string spec = "") {
    CatalogLine line;
    line.ItemName = std::move(name);
    line.Price = price;
    line.Count = count;
    line.Unit = std::move(unit);
    line.Spec = std::move(spec);
    return line;
}

std::vector<std::string> Column(const QuotationGrid& g, int col) {
    std::vector<std::string> out;
    for (int r = 2; r < g.EndRow(); ++r) out.push_back(g.Text(col, r));
    return out;
}

std::vector<bool> Editable(const QuotationGrid& g, int row) {
    std::vector<bool> out;
    for (int c = 0; c < kQuotationColumns; ++c) out.push_back(g.CanEdit(c, row));
    return out;
}

// Types a value into a cell and ends the editing, as the grid control does.
void Type(QuotationGrid& g, int col, int row, const std::string& text, UserMessages& m) {
    g.SetCellText(col, row, text);
    g.advsg1CellValidate(col, row, m);
}

TEST(QuotationGrid, NewGridIsHeaderTotalAndHiddenEndRow) {
    QuotationGrid g;
    ASSERT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Kind(0), RowKind::Header);
    EXPECT_EQ(g.Kind(1), RowKind::Total);
    EXPECT_EQ(g.Kind(2), RowKind::End);
    EXPECT_EQ(g.Text(5, 0), "合计(元)");
    EXPECT_EQ(g.Text(1, 0), "施工项目");
    EXPECT_EQ(g.Text(6, 0), "工艺做法及材料说明");
    EXPECT_EQ(g.Text(1, 1), "总计");
    EXPECT_EQ(g.Text(5, 1), "0.00");
    EXPECT_EQ(g.Cell(1, 1).Align, HAlign::Left);
    EXPECT_EQ(g.Cell(5, 1).Align, HAlign::Right);
    for (int c = 0; c < kQuotationColumns; ++c) EXPECT_EQ(g.Cell(c, 0).Align, HAlign::Center) << c;
    EXPECT_EQ(g.RowHeight(1), QuotationGrid::kDefaultRowHeight);
    EXPECT_EQ(g.RowHeight(2), 0);
    EXPECT_EQ(g.CurrentRow(), 1);
    EXPECT_EQ(g.CurrentCol(), 0);
    // Only the total's columns 5 and 6 accept typing; nothing typed there is kept.
    EXPECT_EQ(Editable(g, 1), (std::vector<bool>{false, false, false, false, false, true, true}));
    EXPECT_FALSE(g.SetCurrentCell(1, 0)) << "the header row is fixed";
    EXPECT_EQ(QuotationToText(g), "");
}

TEST(QuotationGrid, WithTotalRowCurrentManualItemGoesAboveFirstSectionAndDeleteDoesNothing) {
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCellText(1, 2, "卧室");
    const auto before = g.RecalcCount();
    EXPECT_FALSE(g.DeleteCurrentRow());
    EXPECT_EQ(g.RecalcCount(), before) << "a delete of nothing recomputes nothing";
    EXPECT_FALSE(g.AddCatalogEntry(Entry("乳胶漆", 18)));
    EXPECT_EQ(g.BodyRowCount(), 1);

    g.AddItemRow(CatalogLine{}, true); // "添加装修明细"
    ASSERT_EQ(g.BodyRowCount(), 2);
    EXPECT_TRUE(g.IsItemRow(2));
    EXPECT_EQ(g.RowHeight(2), QuotationGrid::kItemRowHeight);
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"", "卧室"}));
    EXPECT_EQ(g.Text(2, 2), "0");
    EXPECT_EQ(g.Text(3, 2), "0");
    EXPECT_EQ(g.Text(5, 2), "0.00");
    EXPECT_EQ(Editable(g, 2), (std::vector<bool>{false, true, true, true, true, false, true}));
    EXPECT_EQ(g.Cell(1, 2).Align, HAlign::Left);
    EXPECT_EQ(g.CurrentRow(), 1);
}

TEST(QuotationGrid, CatalogEntriesAddedBelowASectionComeOutNewestFirst) {
    QuotationGrid g;
    g.AddSectionRow();
    g.AddSectionRow();
    g.SetCellText(1, 2, "卧室");
    g.SetCellText(1, 3, "客厅");
    ASSERT_TRUE(g.SetCurrentCell(1, 2));
    ASSERT_TRUE(g.AddCatalogEntry(Entry("墙面乳胶漆", 18, 1, "平米", "两遍底漆两遍面漆")));
    ASSERT_TRUE(g.AddCatalogEntry(Entry("踢脚线", 12.5, 1, "米", "实木")));
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"卧室", "踢脚线", "墙面乳胶漆", "客厅"}));
    EXPECT_EQ(g.CurrentRow(), 2);
    EXPECT_EQ(g.Text(2, 3), "12.5");
    EXPECT_EQ(g.Text(3, 3), "1");
    EXPECT_EQ(g.Text(4, 3), "米");
    EXPECT_EQ(g.Text(5, 3), "12.50");
    EXPECT_EQ(g.Text(6, 3), "实木");
    // Only the quantity of a catalog row accepts typing; its name is centred
    // by the alignment pass that follows a catalog addition.
    EXPECT_EQ(Editable(g, 3), (std::vector<bool>{false, false, false, true, false, false, false}));
    EXPECT_EQ(g.Cell(1, 3).Align, HAlign::Center);
    EXPECT_EQ(g.Cell(1, 2).Align, HAlign::Left);
    EXPECT_EQ(g.Text(5, 2), "30.50");
    EXPECT_EQ(g.Text(5, 5), "0.00");
    EXPECT_EQ(g.Text(5, 1), "30.50");

    // With an item current, the next one goes directly below it, same section.
    ASSERT_TRUE(g.SetCurrentCell(3, 4));
    ASSERT_TRUE(g.AddCatalogEntry(Entry("顶角线", 10, 1, "米")));
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"卧室", "踢脚线", "墙面乳胶漆", "顶角线", "客厅"}));
    EXPECT_EQ(g.Text(5, 2), "40.50");
}

TEST(QuotationGrid, SectionRowAddedAboveEndRowWhateverIsCurrent) {
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCurrentCell(1, 2);
    g.AddCatalogEntry(Entry("a", 1));
    g.SetCurrentCell(1, 2);
    g.AddSectionRow();
    ASSERT_EQ(g.BodyRowCount(), 3);
    EXPECT_EQ(g.Kind(4), RowKind::Section);
    EXPECT_EQ(g.Kind(5), RowKind::End);
    EXPECT_EQ(g.RowHeight(4), QuotationGrid::kDefaultRowHeight);
    EXPECT_EQ(g.Text(5, 4), "") << "not recomputed until the next change";
    EXPECT_EQ(Editable(g, 4), (std::vector<bool>{false, true, false, false, false, false, false}));
    for (int c = 0; c < kQuotationColumns; ++c) EXPECT_EQ(g.Cell(c, 4).Color, CellColor::ButtonFace);
    EXPECT_EQ(g.Cell(1, 3).Color, CellColor::Banded);
    g.RecalcTotals();
    EXPECT_EQ(g.Text(5, 4), "0.00");
}

TEST(QuotationGrid, DeletingASectionTakesItsItemsAndDeletingAnItemLeavesItsSection) {
    QuotationGrid g;
    for (int i = 0; i < 3; ++i) g.AddSectionRow();
    for (int s : {2, 3, 4}) g.SetCellText(1, s, "S" + std::to_string(s));
    g.SetCurrentCell(1, 4);
    g.AddCatalogEntry(Entry("c1", 5));
    g.SetCurrentCell(1, 3);
    g.AddCatalogEntry(Entry("b1", 20));
    g.AddCatalogEntry(Entry("b2", 30));
    g.SetCurrentCell(1, 2);
    g.AddCatalogEntry(Entry("a1", 100));
    ASSERT_EQ(Column(g, 1), (std::vector<std::string>{"S2", "a1", "S3", "b2", "b1", "S4", "c1"}));
    ASSERT_EQ(g.Text(5, 1), "155.00");

    g.SetCurrentCell(2, 4);
    ASSERT_TRUE(g.DeleteCurrentRow()); // the section S3 and both its items
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"S2", "a1", "S4", "c1"}));
    EXPECT_EQ(g.CurrentRow(), 4);
    EXPECT_EQ(g.Text(5, 1), "105.00");

    g.SetCurrentCell(1, 3);
    ASSERT_TRUE(g.DeleteCurrentRow()); // the item a1 only
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"S2", "S4", "c1"}));
    EXPECT_EQ(g.Text(5, 2), "0.00");
    EXPECT_EQ(g.Text(5, 1), "5.00");
    EXPECT_EQ(g.Charges().Label16Text, "5.00");

    // Deleting the last section leaves the hidden end row current: a delete
    // does nothing there and a new item still goes above the end row.
    g.SetCurrentCell(1, 3);
    ASSERT_TRUE(g.DeleteCurrentRow());
    ASSERT_EQ(g.CurrentRow(), g.EndRow());
    EXPECT_FALSE(g.DeleteCurrentRow());
    g.AddItemRow(Entry("x", 2), true);
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"S2", "x"}));
    EXPECT_EQ(g.Kind(g.EndRow()), RowKind::End);
    EXPECT_EQ(g.RowHeight(g.EndRow()), 0);
    EXPECT_EQ(g.Text(5, 2), "2.00");
}

TEST(QuotationGrid, CheckNumberTextAcceptsOnlyDigitsWithOnePointNotInFront) {
    struct Case {
        const char* text;
        const char* result;
        bool message;
    };
    const Case cases[] = {
        {"12", "12", false}, {"12.", "12.", false}, {"0.5", "0.5", false},  {"007", "007", false},
        {"", "0", false},    {"   ", "0", false},   {"\t\r\n", "0", false}, {"2.5.1", "0", true},
        {".5", "0", true},   {" 12", "0", true},    {"12 ", "0", true},     {"-3", "0", true},
        {"+3", "0", true},   {"1e3", "0", true},    {"12a", "0", true},     {"１２", "0", true},
    };
    for (const auto& c : cases) {
        test::ScriptedMessages m;
        EXPECT_EQ(CheckNumberText(c.text, m), c.result) << '"' << c.text << '"';
        EXPECT_EQ(m.Shown.size(), c.message ? 1u : 0u) << '"' << c.text << '"';
        if (c.message) {
            EXPECT_EQ(m.Texts().at(0), "输入的数据不合法，请重新输入！");
        }
    }
}

TEST(QuotationGrid, ValidatedPriceAndQuantityRecomputeAmountAndTotals) {
    test::ScriptedMessages m;
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCurrentCell(1, 2);
    g.AddItemRow(CatalogLine{}, true);
    Type(g, 2, 3, "18", m);
    Type(g, 3, 3, "2.5", m);
    EXPECT_EQ(g.Text(5, 3), "45.00");
    EXPECT_EQ(g.Text(5, 2), "45.00");
    EXPECT_EQ(g.Text(5, 1), "45.00");
    EXPECT_TRUE(m.Shown.empty());

    // A refused value names itself and what is accepted; the cell keeps the
    // value it had, so the amount does not fall to 0.
    Type(g, 3, 3, "2.5.1", m);
    EXPECT_EQ(m.Texts(), std::vector<std::string>{"输入的数据不合法：2.5.1\n请输入数字或算式，如 3.2*4.5"});
    EXPECT_EQ(g.Text(3, 3), "2.5");
    EXPECT_EQ(g.Text(5, 3), "45.00");
    EXPECT_EQ(g.Text(5, 1), "45.00");
    // Arithmetic is worked out exactly and kept as the cell's tooltip; blanks
    // and full-width forms read as ASCII.
    Type(g, 3, 3, " 0.1 ＊ 3 ", m);
    EXPECT_EQ(g.Text(3, 3), "0.3");
    EXPECT_EQ(g.Cell(3, 3).Expression, "0.1 ＊ 3");
    EXPECT_EQ(g.Text(5, 3), "5.40");
    Type(g, 3, 3, "2.5", m);
    EXPECT_EQ(g.Cell(3, 3).Expression, "");
    Type(g, 3, 3, "2-3", m); // a negative result is refused as a typed "-1" is
    EXPECT_EQ(m.Texts().back(), "输入的数据不合法：2-3\n请输入数字或算式，如 3.2*4.5");
    EXPECT_EQ(g.Text(3, 3), "2.5");

    // Both cells go through the check whichever was edited; a cleared cell
    // becomes "0" silently.
    m.Shown.clear();
    g.SetCellText(2, 3, "-1");
    Type(g, 3, 3, "", m);
    EXPECT_EQ(m.Shown.size(), 1u);
    EXPECT_EQ(g.Text(2, 3), "0");
    EXPECT_EQ(g.Text(3, 3), "0");

    // A trailing point reads as the number before it.
    Type(g, 2, 3, "12.", m);
    Type(g, 3, 3, "4", m);
    EXPECT_EQ(g.Text(5, 3), "48.00");
}

// Beyond 15 significant digits, or from 10^12 on, a figure no longer comes
// back to the cent: the cell refuses it as bad input, names it, says where the
// limit is and keeps the value it had, typed or worked out.
TEST(QuotationGrid, FiguresAmountsAndTotalsStayBelowTheCeilingOfFigures) {
    const auto refused = [](const std::string& typed) {
        return std::vector<std::string>{"输入的数据不合法：" + typed +
                                        "\n请输入数字或算式，如 3.2*4.5（数字最多15位有效数字，数值和金额须小于1万亿）"};
    };
    test::ScriptedMessages m;
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCurrentCell(1, 2);
    g.AddItemRow(CatalogLine{}, true);
    Type(g, 2, 3, "18", m);
    Type(g, 3, 3, "2.5", m);
    Type(g, 3, 3, "401234567890123456789012345678", m);
    EXPECT_EQ(m.Texts(), refused("401234567890123456789012345678"));
    EXPECT_EQ(g.Text(3, 3), "2.5");
    EXPECT_EQ(g.Text(5, 3), "45.00");
    EXPECT_EQ(g.Text(5, 1), "45.00");
    for (const char* tooMany :
         {"1.000000000000001", "999999999999.995", "1000000000000", "999999*999999+999999*999999", "1e12"}) {
        m.Shown.clear();
        Type(g, 3, 3, tooMany, m);
        if (std::string(tooMany) == "1e12")
            EXPECT_EQ(m.Texts().at(0), "输入的数据不合法：1e12\n请输入数字或算式，如 3.2*4.5") << "no number at all";
        else
            EXPECT_EQ(m.Texts(), refused(tooMany)) << tooMany;
        EXPECT_EQ(g.Text(3, 3), "2.5") << tooMany;
        EXPECT_EQ(g.Text(5, 3), "45.00") << tooMany;
    }

    // Fifteen digits are taken; leading zeros and zeros ending a fraction are no digits of the figure.
    m.Shown.clear();
    Type(g, 3, 3, "12345.6789012345", m);
    EXPECT_EQ(g.Text(5, 3), "222222.22");
    Type(g, 3, 3, "0002.50000000000000000", m);
    EXPECT_EQ(g.Text(5, 3), "45.00");
    EXPECT_TRUE(m.Shown.empty());

    // Two good figures whose amount reaches the ceiling: the figure just
    // typed goes back to what it was, a worked-out one too.
    Type(g, 2, 3, "400000", m);
    Type(g, 3, 3, "2500000", m);
    EXPECT_EQ(m.Texts(), refused("2500000"));
    EXPECT_EQ(g.Text(2, 3), "400000");
    EXPECT_EQ(g.Text(3, 3), "0002.50000000000000000");
    EXPECT_EQ(g.Text(5, 3), "1000000.00");
    m.Shown.clear();
    Type(g, 3, 3, "1+1", m);
    Type(g, 3, 3, "2500*1000", m);
    EXPECT_EQ(m.Texts(), refused("2500*1000"));
    EXPECT_EQ(g.Text(3, 3), "2");
    EXPECT_EQ(g.Cell(3, 3).Expression, "1+1");
    m.Shown.clear();
    Type(g, 3, 3, "2499999.99999", m);
    EXPECT_EQ(g.Text(5, 1), "999999999996.00");

    // Nor may a second item carry the subtotal and grand total there, typed or from the catalog.
    m.Shown.clear();
    g.SetCurrentCell(1, 3);
    g.AddItemRow(CatalogLine{}, true);
    Type(g, 2, 4, "1", m);
    Type(g, 3, 4, "4", m);
    EXPECT_EQ(m.Texts(), refused("4"));
    EXPECT_EQ(g.Text(3, 4), "0");
    Type(g, 3, 4, "3.99", m);
    EXPECT_EQ(g.Text(5, 2), "999999999999.99");
    EXPECT_EQ(g.Charges().Label16Text, "999999999999.99");
    m.Shown.clear();
    const std::string before = g.Image();
    EXPECT_FALSE(g.AddCatalogEntry(Entry("踢脚线", 0.01), m));
    EXPECT_EQ(m.Texts(), std::vector<std::string>{BeyondLimitMessage()}); // no typed figure to name
    EXPECT_EQ(g.Image(), before);

    // A price stored in the catalog before there was a ceiling stays out too.
    QuotationGrid fresh;
    fresh.AddSectionRow();
    fresh.SetCurrentCell(1, 2);
    EXPECT_FALSE(fresh.AddCatalogEntry(Entry("石材", 7.2e30), m));
    EXPECT_EQ(fresh.BodyRowCount(), 1);
    EXPECT_TRUE(fresh.AddCatalogEntry(Entry("石材", 999999999999.99), m));
    EXPECT_EQ(fresh.Text(5, 1), "999999999999.99");
    // Nor may rows carried from another quotation.
    QuotationGrid copied;
    TextToQuotation(copied, "0@踢脚线@1@1@米@1.00@");
    const std::string full = fresh.Image();
    EXPECT_EQ(fresh.InsertCopiedRows(copied).Count, 0);
    EXPECT_EQ(fresh.Image(), full);
}

TEST(QuotationGrid, EditsOutsidePriceAndQuantityOfItemsOnlyChangeTheCell) {
    test::ScriptedMessages m;
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCurrentCell(1, 2);
    g.AddCatalogEntry(Entry("a", 3, 2));
    const auto recalcs = g.RecalcCount();
    g.SetCellText(1, 2, "x.y");
    EXPECT_FALSE(g.advsg1CellValidate(1, 2, m));
    g.SetCellText(2, 2, "abc"); // column 2 of a section row is not checked
    EXPECT_FALSE(g.advsg1CellValidate(2, 2, m));
    g.SetCellText(6, 3, "说明");
    EXPECT_FALSE(g.advsg1CellValidate(6, 3, m));
    EXPECT_FALSE(g.advsg1CellValidate(3, 1, m));
    EXPECT_EQ(g.Text(2, 2), "abc");
    EXPECT_EQ(g.RecalcCount(), recalcs);
    EXPECT_TRUE(m.Shown.empty());
}

TEST(QuotationGrid, ChargesOfAGrandTotalOfOneThousand) {
    QuotationGrid g;
    g.AddSectionRow();
    g.AddSectionRow();
    g.SetCurrentCell(1, 3);
    g.AddCatalogEntry(Entry("b", 250, 2));
    g.SetCurrentCell(1, 2);
    g.AddCatalogEntry(Entry("a", 125, 4));
    const auto& ch = g.Charges();
    EXPECT_DOUBLE_EQ(ch.ProjectTotal, 1000);
    EXPECT_DOUBLE_EQ(ch.OverheadAmount, 80);
    EXPECT_DOUBLE_EQ(ch.TaxAmount, 1000 * 0.0341);
    EXPECT_EQ(ch.Edit8Text, "80.00");
    EXPECT_EQ(ch.Edit9Text, "34.10");
    EXPECT_EQ(ch.Label16Text, "1000.00");
    EXPECT_EQ(g.Text(5, 1), "1000.00");
    EXPECT_EQ(g.Text(5, 0), "合计(元)");
    EXPECT_DOUBLE_EQ(g.ProjectTotal(), 1000);

    // Fee and tax stay unrounded; only their texts round, half away from zero.
    g.SetCurrentCell(1, 1);
    g.AddItemRow(Entry("c", 12.345), true); // amount 12.35
    EXPECT_DOUBLE_EQ(g.Charges().TaxAmount, 1012.35 * 0.0341);
    EXPECT_EQ(g.Charges().Edit9Text, "34.52"); // 34.521135
    EXPECT_EQ(g.Charges().Edit8Text, "80.99"); // 80.988
}

TEST(QuotationGrid, ItemsAboveTheFirstSectionCountInTheGrandTotalOnly) {
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCurrentCell(1, 2);
    g.AddCatalogEntry(Entry("in section", 100));
    g.SetCurrentCell(1, 1);
    g.AddItemRow(Entry("loose", 7, 3), true);
    ASSERT_EQ(Column(g, 1), (std::vector<std::string>{"loose", "", "in section"}));
    EXPECT_EQ(g.Text(5, 3), "100.00");
    EXPECT_EQ(g.Text(5, 1), "121.00");
    EXPECT_DOUBLE_EQ(g.ProjectTotal(), 121);
}

TEST(QuotationGrid, RecalcFillsEmptyAmountsAndStopsAtAnAmountThatIsNoNumber) {
    QuotationGrid g;
    g.AddSectionRow();
    g.AddSectionRow();
    g.SetCurrentCell(1, 3);
    g.AddItemRow(Entry("b", 1), true);
    g.SetCurrentCell(1, 2);
    g.AddItemRow(Entry("a", 2), true);
    // Only a stored text can put these into column 5 of an item row.
    g.SetCellText(5, 3, "  ");
    g.SetCellText(5, 5, "abc");
    try {
        g.RecalcTotals();
        FAIL() << "expected a conversion error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(g.Text(5, 3), "0.00");
    EXPECT_EQ(g.Text(5, 2), "0.00") << "what was written before the error stays";
}

TEST(QuotationGrid, SeparatorNeverEntersACell) {
    test::ScriptedMessages m;
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCellText(1, 2, "a@b@");
    EXPECT_EQ(g.Text(1, 2), "a＠b＠");
    g.SetCurrentCell(1, 2);
    g.AddCatalogEntry(Entry("名@称", 1, 1, "@", "工艺@说明"));
    EXPECT_EQ(g.Text(1, 3), "名＠称");
    EXPECT_EQ(g.Text(4, 3), "＠");
    EXPECT_EQ(g.Text(6, 3), "工艺＠说明");
    // A typed '@' in a number cell is not a number either way: refused, the
    // quantity stays as it was.
    Type(g, 3, 3, "1@", m);
    EXPECT_EQ(g.Text(3, 3), "1");
    EXPECT_EQ(m.Shown.size(), 1u);
}

TEST(QuotationGrid, ContextMenuShowsAddItemAndDeleteOnBodyRowsOnly) {
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCurrentCell(1, 2);
    g.AddItemRow(CatalogLine{}, true);
    for (int row : {0, 1}) {
        const auto menu = g.advsg1RightClickCell(row, 3);
        EXPECT_TRUE(menu.N1 && menu.N3);
        EXPECT_FALSE(menu.N2 || menu.N11);
    }
    const auto menu = g.advsg1RightClickCell(3, 1);
    EXPECT_TRUE(menu.N1 && menu.N2 && menu.N11 && menu.N3);
    EXPECT_EQ(g.CurrentRow(), 2) << "a right click does not move the current cell";
}

} // namespace
} // namespace lty
