#include "core/quotation/quotation_text.h"
#include "tests/core/scripted_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lty {
namespace {

using namespace std::string_literals;

const char* const kExampleText = "100@卧室@@@@640.00@@墙面乳胶漆@18@30@平米@540.00@两遍底漆两遍面漆"
                                 "@踢脚线@12.5@8@米@100.00@实木";

std::vector<std::string> RowTexts(const QuotationGrid& g, int row) {
    std::vector<std::string> out;
    for (int c = 1; c < kQuotationColumns; ++c) out.push_back(g.Text(c, row));
    return out;
}

// Whatever was read, the grid keeps its frame: header, total row, body rows of
// the two kinds, an empty hidden end row, and no separator inside a cell.
void ExpectWellFormed(const QuotationGrid& g) {
    ASSERT_GE(g.RowCount(), 3);
    EXPECT_EQ(g.Kind(0), RowKind::Header);
    EXPECT_EQ(g.Text(5, 0), "合计(元)");
    EXPECT_EQ(g.Kind(1), RowKind::Total);
    EXPECT_EQ(g.Text(1, 1), "总计");
    const int end = g.EndRow();
    EXPECT_EQ(g.Kind(end), RowKind::End);
    EXPECT_EQ(g.RowHeight(end), 0);
    for (int c = 0; c < kQuotationColumns; ++c) EXPECT_EQ(g.Text(c, end), "");
    for (int r = 2; r < end; ++r) {
        EXPECT_TRUE(g.Kind(r) == RowKind::Section || g.Kind(r) == RowKind::Item);
        EXPECT_GT(g.RowHeight(r), 0);
        for (int c = 0; c < kQuotationColumns; ++c) EXPECT_EQ(g.Text(c, r).find('@'), std::string::npos);
    }
    EXPECT_GE(g.CurrentRow(), 1);
    EXPECT_LE(g.CurrentRow(), end);
}

TEST(QuotationText, WorkedExampleIsWrittenExactly) {
    test::ScriptedMessages m;
    QuotationGrid g;
    g.AddSectionRow();
    g.SetCellText(1, 2, "卧室");
    g.SetCurrentCell(1, 2);
    CatalogLine skirting{"踢脚线", 12.5, 1, "米", 0, "实木"};
    CatalogLine paint{"墙面乳胶漆", 18, 1, "平米", 0, "两遍底漆两遍面漆"};
    g.AddCatalogEntry(skirting);
    g.AddCatalogEntry(paint);
    g.SetCellText(3, 3, "30");
    g.advsg1CellValidate(3, 3, m);
    g.SetCellText(3, 4, "8");
    g.advsg1CellValidate(3, 4, m);
    EXPECT_EQ(QuotationToText(g), kExampleText);
    EXPECT_EQ(g.Text(5, 1), "640.00");
}

TEST(QuotationText, WorkedExampleIsReadBack) {
    QuotationGrid g;
    g.SetProjectTotal(640);
    TextToQuotation(g, kExampleText);
    ExpectWellFormed(g);
    ASSERT_EQ(g.BodyRowCount(), 3);
    EXPECT_EQ(RowTexts(g, 2), (std::vector<std::string>{"卧室", "", "", "", "640.00", ""}));
    EXPECT_EQ(RowTexts(g, 3),
              (std::vector<std::string>{"墙面乳胶漆", "18", "30", "平米", "540.00", "两遍底漆两遍面漆"}));
    EXPECT_EQ(RowTexts(g, 4), (std::vector<std::string>{"踢脚线", "12.5", "8", "米", "100.00", "实木"}));
    EXPECT_EQ(g.Text(5, 1), "640") << "the stored total in general format until the next recalculation";

    EXPECT_EQ(g.Kind(2), RowKind::Section);
    EXPECT_EQ(g.RowHeight(2), QuotationGrid::kStoredSectionRowHeight);
    for (int c = 0; c < kQuotationColumns; ++c) {
        EXPECT_EQ(g.Cell(c, 2).Color, CellColor::ButtonFace);
        EXPECT_FALSE(g.CanEdit(c, 2)) << "a stored section name comes back locked";
        EXPECT_EQ(g.Cell(c, 3).Color, CellColor::Banded);
        EXPECT_EQ(g.CanEdit(c, 3), c == 3 || c == 6);
    }
    EXPECT_EQ(g.Kind(3), RowKind::Item);
    EXPECT_EQ(g.RowHeight(4), QuotationGrid::kItemRowHeight);
    // Alignment ran before the rows had kinds: every body row is aligned as a section.
    EXPECT_EQ(g.Cell(1, 3).Align, HAlign::Left);
    EXPECT_EQ(g.Cell(4, 3).Align, HAlign::Center);
    EXPECT_EQ(g.Cell(5, 3).Align, HAlign::Right);
    EXPECT_EQ(QuotationToText(g), kExampleText);
}

TEST(QuotationText, EmptyGridAndOneEmptySection) {
    QuotationGrid g;
    EXPECT_EQ(QuotationToText(g), "");
    g.AddSectionRow();
    EXPECT_EQ(QuotationToText(g), "1@@@@@@");

    QuotationGrid back;
    TextToQuotation(back, "1@@@@@@");
    ExpectWellFormed(back);
    ASSERT_EQ(back.BodyRowCount(), 1);
    EXPECT_EQ(back.Kind(2), RowKind::Section);
    EXPECT_EQ(RowTexts(back, 2), std::vector<std::string>(6, ""));
}

TEST(QuotationText, TextWithoutSeparatorKeepsTheEmptyLayout) {
    for (const char* text : {"", "101", "卧室", "   "}) {
        QuotationGrid g;
        g.SetProjectTotal(12.5);
        TextToQuotation(g, text);
        EXPECT_EQ(g.RowCount(), 3) << text;
        EXPECT_EQ(g.Text(5, 1), "0.00") << text;
    }
    // A leading separator is an empty kind string: no body, but the stored total shows.
    QuotationGrid g;
    g.SetProjectTotal(12.5);
    TextToQuotation(g, "@卧室@@@@0.00@");
    ExpectWellFormed(g);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Text(5, 1), "12.5");
}

TEST(QuotationText, ReaderTrimsAfterEachSeparator) {
    QuotationGrid g;
    TextToQuotation(g, "11@ 卧室@@@@\t1.00@@客厅 @@@@@ 末尾  \r\n");
    ExpectWellFormed(g);
    ASSERT_EQ(g.BodyRowCount(), 2);
    EXPECT_EQ(RowTexts(g, 2), (std::vector<std::string>{"卧室", "", "", "", "1.00", ""}));
    EXPECT_EQ(RowTexts(g, 3), (std::vector<std::string>{"客厅 ", "", "", "", "", "末尾"}));
}

TEST(QuotationText, TooFewAndTooManyFields) {
    QuotationGrid few;
    TextToQuotation(few, "10@a@@@@1.00@@b");
    ExpectWellFormed(few);
    ASSERT_EQ(few.BodyRowCount(), 2);
    EXPECT_EQ(RowTexts(few, 2), (std::vector<std::string>{"a", "", "", "", "1.00", ""}));
    EXPECT_EQ(RowTexts(few, 3), (std::vector<std::string>{"b", "", "", "", "", ""}));
    EXPECT_TRUE(few.IsItemRow(3));

    // The surplus would fall into the hidden end row; it is dropped and the
    // end row stays empty, so nothing of it is printed or stored again.
    QuotationGrid many;
    TextToQuotation(many, "1@a@@@@@@x@y@z@1@2@3@4@5");
    ExpectWellFormed(many);
    ASSERT_EQ(many.BodyRowCount(), 1);
    EXPECT_EQ(RowTexts(many, 2), (std::vector<std::string>{"a", "", "", "", "", ""}));
    EXPECT_EQ(QuotationToText(many), "1@a@@@@@");
}

TEST(QuotationText, UnknownKindCharacterGivesAnUntreatedSectionRow) {
    QuotationGrid g;
    TextToQuotation(g, "1x0@s@@@@@@u@@@@@@i@1@2@个@2.00@");
    ExpectWellFormed(g);
    ASSERT_EQ(g.BodyRowCount(), 3);
    EXPECT_EQ(g.Kind(3), RowKind::Section);
    EXPECT_EQ(g.RowHeight(3), QuotationGrid::kDefaultRowHeight);
    EXPECT_EQ(g.Cell(1, 3).Color, CellColor::Banded);
    EXPECT_EQ(g.Text(1, 3), "u");
    EXPECT_EQ(QuotationToText(g), "110@s@@@@@@u@@@@@@i@1@2@个@2.00@");
    // Later operations take it for a section: it heads the item below it.
    g.RecalcTotals();
    EXPECT_EQ(g.Text(5, 3), "2.00");
    EXPECT_EQ(g.Text(5, 2), "0.00");
}

TEST(QuotationText, ReadingReplacesWhateverTheGridHeld) {
    QuotationGrid g;
    for (int i = 0; i < 5; ++i) g.AddSectionRow();
    g.SetCellText(1, 6, "old");
    g.SetCurrentCell(1, 6);
    TextToQuotation(g, "0@a@1@1@@1.00@");
    ExpectWellFormed(g);
    ASSERT_EQ(g.BodyRowCount(), 1);
    EXPECT_EQ(g.CurrentRow(), g.EndRow());
    EXPECT_EQ(g.Cell(1, 2).Color, CellColor::Banded);
}

TEST(QuotationText, MalformedTextsEndWithAWellFormedGrid) {
    std::vector<std::string> texts = {
        "@",
        "@@@@@@@@@@@@@@@@@@@@",
        "1@",
        "111@",
        "0@@@",
        "\xff\xfe\x80@\xc3@\xe4\xb8@@\x00\x01 @"s,
        "0\x00"
        "1@a\x00b@c"s,
        std::string(5000, '@'),
        std::string(5000, ' ') + "@" + std::string(5000, ' '),
        "10@" + std::string(100000, 'x'),
        "卧室@@",
        std::string(20000, '1') + "@",           // as many rows as kind characters
        std::string(kExampleText).substr(0, 40), // cut inside a multi-byte character
    };
    for (const auto& text : texts) {
        QuotationGrid g;
        TextToQuotation(g, text);
        SCOPED_TRACE(text.substr(0, 40));
        ExpectWellFormed(g);
        // Written again, the grid reads back into the same text.
        const std::string again = QuotationToText(g);
        QuotationGrid g2;
        TextToQuotation(g2, again);
        EXPECT_EQ(QuotationToText(g2).size(), again.size());
    }
}

// A text stored before figures had a ceiling may hold one the program cannot
// reproduce; ordinary texts read exactly as they were stored.
TEST(QuotationText, StoredFiguresBeyondTheCeilingAreRefusedOnReading) {
    QuotationGrid g;
    g.SetProjectTotal(640);
    EXPECT_EQ(TextToQuotation(g, kExampleText), 0);
    EXPECT_EQ(QuotationToText(g), kExampleText);
    EXPECT_EQ(g.Text(5, 1), "640");

    const std::string huge = "7222222222222220000000000000000.00";
    QuotationGrid bad;
    bad.SetProjectTotal(7.22222222222222e30);
    const std::string text = "100000@卧室@@@@" + huge +
                             "@"
                             // the filed quantity of thirty digits
                             "@乳胶漆@18@401234567890123456789012345678@平米@" +
                             huge +
                             "@说明"
                             // good figures, an amount at the ceiling
                             "@地砖@1000000@1000000@平米@1000000000000.00@"
                             // more digits than the amount was computed with
                             "@踢脚线@10@3.14159265358979323@米@31.42@"
                             // each amount good, the two together at the ceiling
                             "@吊顶@600000000000@1@项@600000000000.00@"
                             "@门套@400000000000@1@项@400000000000.00@";
    EXPECT_EQ(TextToQuotation(bad, text), 4);
    EXPECT_EQ(RowTexts(bad, 3), (std::vector<std::string>{"乳胶漆", "18", "0", "平米", "0.00", "说明"}));
    EXPECT_EQ(RowTexts(bad, 4), (std::vector<std::string>{"地砖", "1000000", "0", "平米", "0.00", ""}));
    EXPECT_EQ(RowTexts(bad, 5), (std::vector<std::string>{"踢脚线", "10", "3.14159265358979", "米", "31.42", ""}));
    EXPECT_EQ(RowTexts(bad, 6)[4], "600000000000.00");
    EXPECT_EQ(RowTexts(bad, 7), (std::vector<std::string>{"门套", "400000000000", "0", "项", "0.00", ""}));
    EXPECT_EQ(bad.Text(5, 2), "600000000031.42");
    EXPECT_EQ(bad.Text(5, 1), "600000000031.42");
    EXPECT_EQ(bad.Charges().Label16Text, "600000000031.42");
    ExpectWellFormed(bad);
}

} // namespace
} // namespace lty
