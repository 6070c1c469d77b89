// The page "报价明细" driven as a user drives it: clicks, typing into the
// cell editor, the context menu and the keys, on the offscreen platform with
// the scripted message seam.
#include "ui/quotation/quotation_page.h"

#include "controls/grid/text_grid.h"
#include "core/quotation/quotation_text.h"
#include "tests/core/scripted_messages.h"
#include "tests/ui/quotation/grid_input.h"
#include "ui/common/globals.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace lty {
namespace {

CatalogLine Entry(const char* name, double price, const char* spec = "") { return {name, price, 1, "平米", 0, spec}; }

class QuotationPageTest : public ::testing::Test {
protected:
    test::ScriptedMessages messages;
    QuotationGrid grid;
    std::unique_ptr<QuotationPage> page;

    void SetUp() override {
        SetMessages(&messages);
        page = std::make_unique<QuotationPage>(grid);
        page->resize(1000, 700);
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        page->setFocus();
    }
    void TearDown() override {
        page.reset();
        SetMessages(nullptr);
    }
    controls::TextGrid& View() { return *page->advsg1; }
    QRect CellRect(int col, int row) { return test::CellRect(View(), col, row); }
    void Click(int col, int row, Qt::MouseButton button = Qt::LeftButton) { test::ClickCell(View(), col, row, button); }
    QLineEdit* Editor() { return test::CellEditor(View()); }
    // Selects the cell, opens its editor with F2, types and commits with Enter.
    void Type(int col, int row, const QString& text) { test::TypeIntoCell(View(), col, row, text); }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(&View(), Qt::Key(key), mods); }
    // The section name column of the body, as the view shows it.
    std::vector<std::string> ShownNames() {
        std::vector<std::string> names;
        const auto* m = View().Model();
        for (int v = 1; v < m->rowCount() - 1; ++v) names.push_back(m->index(v, 1).data().toString().toStdString());
        return names;
    }
    std::string Shown(int col, int row) { return test::ShownText(View(), col, row); }
    // A section named by typing, added with the context menu entry.
    void AddSection(const QString& name) {
        page->N1->trigger();
        Type(1, grid.EndRow() - 1, name);
    }
};

TEST_F(QuotationPageTest, NewPageHasTheTotalRowCurrentSoCatalogAndDeleteDoNothing) {
    QSignalSpy changed(page.get(), &QuotationPage::changed);
    EXPECT_EQ(View().objectName(), "advsg1");
    EXPECT_EQ(page->PopupMenu1->objectName(), "PopupMenu1");
    EXPECT_EQ(View().horizontalHeader()->height(), 21);
    for (int c = 0; c < kQuotationColumns; ++c)
        EXPECT_EQ(View().columnWidth(c), QuotationGrid::kColumnWidths[static_cast<std::size_t>(c)]);
    EXPECT_EQ(View().Model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("合计(元)"));
    EXPECT_EQ(Shown(1, 1), "总计");
    EXPECT_EQ(Shown(5, 1), "0.00");
    EXPECT_EQ(View().CurrentRow(), 1);
    EXPECT_EQ(View().CurrentCol(), 0);
    EXPECT_TRUE(View().isRowHidden(View().Model()->rowCount() - 1)) << "the end row";

    page->AddCatalogEntry(Entry("墙面乳胶漆", 18));
    page->N11->trigger();
    EXPECT_EQ(grid.BodyRowCount(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(page->NUndo->isEnabled());

    // The menu on the total row and the heading offers only a new section;
    // on a body row it offers all three, which then act on the current row.
    const auto visible = [&] {
        return std::vector<bool>{page->N1->isVisible(), page->N2->isVisible(), page->N11->isVisible(),
                                 page->N3->isVisible()};
    };
    Click(3, 1, Qt::RightButton);
    page->PopupMenu1->hide();
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, true}));
    page->N1->trigger();
    page->N1->trigger();
    Click(2, 3, Qt::RightButton);
    EXPECT_TRUE(page->PopupMenu1->isVisible());
    page->PopupMenu1->hide();
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(View().CurrentRow(), 1) << "a right click leaves the current cell";
    EXPECT_EQ(grid.CurrentRow(), 1);
    QTest::mouseClick(View().horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(300, 8));
    page->PopupMenu1->hide();
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, true}));

    page->N2->trigger(); // with the total row current: directly below it
    EXPECT_TRUE(grid.IsItemRow(2));
    EXPECT_EQ(View().rowHeight(1), QuotationGrid::kItemRowHeight);
    EXPECT_EQ(View().rowHeight(2), QuotationGrid::kDefaultRowHeight);
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(QuotationPageTest, TypedPricesAndQuantitiesRecomputeAtOnceAndBadNumbersKeepTheValueTheyHad) {
    QSignalSpy changed(page.get(), &QuotationPage::changed);
    QSignalSpy charges(page.get(), &QuotationPage::chargesChanged);
    AddSection(QStringLiteral("卧室@1"));
    EXPECT_EQ(grid.Text(1, 2), "卧室＠1") << "the typed text goes through the core's write";
    EXPECT_EQ(charges.count(), 0);
    Click(1, 2);
    page->N2->trigger();
    ASSERT_TRUE(grid.IsItemRow(3));
    Type(2, 3, QStringLiteral("18"));
    EXPECT_EQ(View().CurrentRow(), 3) << "Enter goes down, but never onto the hidden end row";

    // One validated edit signals only the cells it changed, never a reset.
    QSignalSpy cells(View().Model(), &QAbstractItemModel::dataChanged);
    QSignalSpy resets(View().Model(), &QAbstractItemModel::modelReset);
    Type(3, 3, QStringLiteral("2.5"));
    EXPECT_EQ(Shown(5, 3), "45.00");
    EXPECT_EQ(Shown(5, 2), "45.00");
    EXPECT_EQ(Shown(5, 1), "45.00");
    EXPECT_EQ(resets.count(), 0);
    for (const auto& args : cells) {
        const auto tl = args[0].toModelIndex();
        const auto br = args[1].toModelIndex();
        EXPECT_TRUE((tl.column() == 5 && br.column() == 5) || (tl.row() == 2 && br.row() == 2))
            << tl.row() << "," << tl.column() << " - " << br.row() << "," << br.column();
    }

    Type(2, 3, QStringLiteral("400"));
    EXPECT_EQ(grid.Charges().Edit8Text, "80.00");
    EXPECT_EQ(grid.Charges().Edit9Text, "34.10");
    EXPECT_EQ(grid.Charges().Label16Text, "1000.00");
    EXPECT_EQ(Shown(5, 1), "1000.00");
    EXPECT_EQ(View().Model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("合计(元)"));
    EXPECT_TRUE(messages.Shown.empty());

    // A refused value says what was typed and what is accepted, and the
    // cell keeps the value it had.
    Type(3, 3, QStringLiteral("2.5.1"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"输入的数据不合法：2.5.1\n请输入数字或算式，如 3.2*4.5"});
    EXPECT_EQ(Shown(3, 3), "2.5");
    EXPECT_EQ(Shown(5, 3), "1000.00");
    EXPECT_EQ(grid.Charges().Label16Text, "1000.00");
    Type(3, 3, QString());
    EXPECT_EQ(grid.Text(3, 3), "0");
    EXPECT_EQ(messages.Shown.size(), 1u) << "a cleared quantity is 0 without a message";
    // Each edit that recomputed told the window; retyping "0" changed nothing.
    EXPECT_EQ(charges.count(), 6);
    EXPECT_EQ(changed.count(), 7);
    EXPECT_EQ(page->History().UndoCount(), 7u);
}

TEST_F(QuotationPageTest, CatalogEntriesUnderASectionAndDeletingSectionsWithTheirItems) {
    AddSection(QStringLiteral("客厅"));
    AddSection(QStringLiteral("卧室"));
    Click(1, 2);
    page->AddCatalogEntry(Entry("墙面乳胶漆", 18, "两遍底漆两遍面漆"));
    page->AddCatalogEntry(Entry("踢脚线", 12.5));
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"客厅", "踢脚线", "墙面乳胶漆", "卧室"}));
    EXPECT_EQ(View().Model()->rowCount(), grid.RowCount() - 1);
    EXPECT_EQ(View().rowHeight(2), 80);
    EXPECT_EQ(Shown(5, 2), "30.50");
    EXPECT_EQ(View().CurrentRow(), 2);
    // Only the quantity of a catalog row opens the editor.
    Click(1, 3);
    QTest::keyClick(&View(), Qt::Key_F2);
    EXPECT_EQ(Editor(), nullptr);
    Type(3, 3, QStringLiteral("4"));
    EXPECT_EQ(Shown(5, 3), "50.00");
    EXPECT_EQ(Shown(5, 1), "68.00");

    Click(0, 2);
    page->N11->trigger();
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"卧室"}));
    EXPECT_EQ(Shown(5, 1), "0.00");
    // The last row deleted: the current cell goes up to the last visible row,
    // never onto the hidden end row.
    page->N11->trigger();
    EXPECT_EQ(grid.BodyRowCount(), 0);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(View().CurrentRow(), 1);
    EXPECT_TRUE(View().isRowHidden(View().Model()->rowCount() - 1));
    page->AddCatalogEntry(Entry("x", 1));
    EXPECT_EQ(grid.BodyRowCount(), 0);

    // Under the last section of a long quotation the new row would land below
    // the bottom edge; the view brings it into sight.
    for (int i = 0; i < 40; ++i) page->N1->trigger();
    Click(1, grid.EndRow() - 1);
    page->AddCatalogEntry(Entry("墙面乳胶漆", 18));
    const QRect added = View().visualRect(View().Model()->index(grid.EndRow() - 2, 1));
    EXPECT_TRUE(View().viewport()->rect().contains(added)) << added.y();
    page->N2->trigger();
    EXPECT_TRUE(View().viewport()->rect().contains(View().visualRect(View().Model()->index(grid.EndRow() - 3, 1))));
}

TEST_F(QuotationPageTest, UndoRedoMovesAndCopyFromTheKeyboard) {
    QSignalSpy charges(page.get(), &QuotationPage::chargesChanged);
    std::vector<std::string> texts{QuotationToText(grid)};
    const auto step = [&] { texts.push_back(QuotationToText(grid)); };
    page->N1->trigger(); // 1, 2: two sections
    step();
    page->N1->trigger();
    step();
    Type(1, 2, QStringLiteral("厨房")); // 3: a name
    step();
    Click(1, 2);
    page->AddCatalogEntry(Entry("墙砖", 45)); // 4: a catalog entry
    step();
    Type(3, 3, QStringLiteral("12")); // 5: its quantity
    step();
    Click(1, 4);
    page->N11->trigger(); // 6: a delete
    step();
    ASSERT_EQ(page->History().UndoCount(), 6u);
    ASSERT_EQ(texts.back(), "10@厨房@@@@540.00@@墙砖@45@12@平米@540.00@");

    View().setFocus();
    for (int i = 5; i >= 0; --i) {
        charges.clear();
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(QuotationToText(grid), texts[static_cast<std::size_t>(i)]) << "undo to " << i;
        EXPECT_EQ(View().Model()->rowCount(), grid.RowCount() - 1);
        EXPECT_EQ(View().CurrentRow(), grid.CurrentRow());
    }
    EXPECT_FALSE(page->NUndo->isEnabled());
    for (int i = 1; i <= 6; ++i) {
        Key(i % 2 ? Qt::Key_Y : Qt::Key_Z, i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(QuotationToText(grid), texts[static_cast<std::size_t>(i)]) << "redo to " << i;
    }
    EXPECT_EQ(Shown(5, 1), "540.00");
    EXPECT_EQ(View().rowHeight(1), 21) << "view row 1 is grid row 2";
    EXPECT_EQ(View().rowHeight(2), 80);

    // Ctrl+Up on the item moves it above its section; Ctrl+Z puts it back.
    Click(3, 3);
    charges.clear();
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(QuotationToText(grid), "01@墙砖@45@12@平米@540.00@@厨房@@@@0.00@");
    EXPECT_EQ(View().CurrentRow(), 2);
    EXPECT_EQ(View().rowHeight(1), 80);
    EXPECT_EQ(View().rowHeight(2), 21);
    EXPECT_EQ(charges.count(), 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(QuotationToText(grid), texts.back());
    EXPECT_EQ(charges.count(), 2) << "the move had recomputed, so the undo does too";

    // Ctrl+C: the selected cells as tab-separated lines.
    Click(1, 1);
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ShiftModifier, CellRect(3, 3).center());
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("总计\t\t\n厨房\t\t\n墙砖\t45\t12\n"));
}

TEST_F(QuotationPageTest, ArithmeticPasteAndTheDeleteKeyWorkAsInASpreadsheet) {
    AddSection(QStringLiteral("卧室"));
    Click(1, 2);
    page->AddCatalogEntry(Entry("墙面乳胶漆", 18));
    page->AddCatalogEntry(Entry("踢脚线", 12.5));
    page->AddCatalogEntry(Entry("吊顶", 100));
    ASSERT_EQ(ShownNames(), (std::vector<std::string>{"卧室", "吊顶", "踢脚线", "墙面乳胶漆"}));
    // Prices read as money beside the amounts.
    EXPECT_EQ(Shown(2, 3), "100.00");
    EXPECT_EQ(Shown(2, 4), "12.50");
    EXPECT_EQ(grid.Text(2, 3), "100") << "the stored form stays as it was";

    // Arithmetic in a quantity, worked out exactly; the sum stays as the tooltip.
    Type(3, 3, QStringLiteral("(3.6+2.4)*2*2.8-0.9*2.1"));
    EXPECT_EQ(grid.Text(3, 3), "31.71");
    EXPECT_EQ(Shown(5, 3), "3171.00");
    EXPECT_EQ(View().Model()->index(2, 3).data(Qt::ToolTipRole).toString(), "(3.6+2.4)*2*2.8-0.9*2.1");
    Type(3, 4, QStringLiteral("１２．５＊２"));
    EXPECT_EQ(grid.Text(3, 4), "25");
    Type(3, 5, QStringLiteral("0.1*3"));
    EXPECT_EQ(grid.Text(3, 5), "0.3");
    EXPECT_EQ(Shown(5, 5), "5.40");
    EXPECT_EQ(Shown(5, 1), "3488.90");
    Type(3, 5, QStringLiteral("3*"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"输入的数据不合法：3*\n请输入数字或算式，如 3.2*4.5"});
    EXPECT_EQ(grid.Text(3, 5), "0.3");
    EXPECT_EQ(View().Model()->index(4, 3).data(Qt::ToolTipRole).toString(), "0.1*3");
    Type(3, 5, QStringLiteral("2"));
    EXPECT_FALSE(View().Model()->index(4, 3).data(Qt::ToolTipRole).isValid()) << "a plain number has no sum";

    // Ctrl+V of a spreadsheet's column: one step, the totals at once.
    QSignalSpy changed(page.get(), &QuotationPage::changed);
    const auto steps = page->History().UndoCount();
    QGuiApplication::clipboard()->setText(QStringLiteral("2\r\n3.5\r\n1+1\r\n"));
    Click(3, 3);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid.Text(3, 3), "2");
    EXPECT_EQ(grid.Text(3, 4), "3.5");
    EXPECT_EQ(grid.Text(3, 5), "2");
    EXPECT_EQ(Shown(5, 1), "279.75");
    EXPECT_EQ(Shown(5, 2), "279.75");
    EXPECT_EQ(page->History().UndoCount(), steps + 1);
    EXPECT_EQ(changed.count(), 1);

    // One refused value refuses the whole paste and names it.
    QGuiApplication::clipboard()->setText(QStringLiteral("5\nabc\n"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(messages.Texts().back(), "输入的数据不合法：abc\n请输入数字或算式，如 3.2*4.5");
    EXPECT_EQ(grid.Text(3, 3), "2");
    EXPECT_EQ(page->History().UndoCount(), steps + 1);
    // So do figures each within the ceiling of figures whose amount is not.
    QGuiApplication::clipboard()->setText(QStringLiteral("5\n99999999999\n"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(messages.Texts().back(), "输入的数据不合法：99999999999\n请输入数字或算式，如 3.2*4.5"
                                       "（数字最多15位有效数字，数值和金额须小于1万亿）");
    EXPECT_EQ(grid.Text(3, 3), "2");
    EXPECT_EQ(grid.Text(3, 4), "3.5");
    EXPECT_EQ(Shown(5, 1), "279.75");
    EXPECT_EQ(page->History().UndoCount(), steps + 1);

    // Cells that refuse typing are passed over without a word: a catalog
    // line takes only its quantity.
    QGuiApplication::clipboard()->setText(QStringLiteral("石膏板\t9\t7\n"));
    Click(1, 3);
    page->NPaste->trigger();
    EXPECT_EQ(grid.Text(1, 3), "吊顶");
    EXPECT_EQ(grid.Text(2, 3), "100");
    EXPECT_EQ(grid.Text(3, 3), "7");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid.Text(3, 3), "2");
    const auto before = messages.Shown.size();

    // Delete does what "删    除" does: an item alone, a room with its items.
    Click(1, 4);
    Key(Qt::Key_Delete);
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"卧室", "吊顶", "墙面乳胶漆"}));
    EXPECT_EQ(Shown(5, 1), "236.00");
    Click(1, 2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(grid.BodyRowCount(), 0);
    EXPECT_EQ(messages.Shown.size(), before);
    // In an open editor Delete and Ctrl+V are the editor's own.
    AddSection(QStringLiteral("厨房"));
    QLineEdit* edit = test::StartTyping(View(), 1, 2, QStringLiteral("厨房间"));
    ASSERT_NE(edit, nullptr);
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(grid.Text(1, 2), "房间");
}

TEST_F(QuotationPageTest, RoomsRenamedFreeLinesKeptOpenAndRowsCarriedToAnotherQuotation) {
    TextToQuotation(grid, "100@卧室@@@@640.00@@墙面乳胶漆@18@30@平米@540.00@两遍@踢脚线@12.5@8@米@100.00@实木");
    page->ReloadFromGrid();
    // F2 on a stored room's name opens it, although stored names come back locked.
    Click(1, 2);
    QTest::keyClick(&View(), Qt::Key_F2);
    QLineEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("主卧"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(grid.Text(1, 2), "主卧");
    EXPECT_EQ(QuotationToText(grid).rfind("100@主卧@", 0), 0u);
    // "重命名房间" is offered on a room and does the same.
    Click(1, 3);
    Click(1, 3, Qt::RightButton);
    EXPECT_FALSE(page->NRename->isVisible());
    page->PopupMenu1->hide();
    Click(1, 2);
    Click(1, 2, Qt::RightButton);
    EXPECT_TRUE(page->NRename->isVisible());
    page->NRename->trigger();
    page->PopupMenu1->hide();
    ASSERT_NE(Editor(), nullptr);
    Editor()->setText(QStringLiteral("主卧室"));
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(grid.Text(1, 2), "主卧室");

    // A line typed in by hand stays open to typing after a store and reload;
    // a catalog line does not.
    Click(1, 4);
    page->N2->trigger();
    Type(1, 5, QStringLiteral("美缝"));
    Type(2, 5, QStringLiteral("30"));
    Type(3, 5, QStringLiteral("2"));
    const std::string stored = QuotationToText(grid);
    EXPECT_EQ(stored.substr(0, 5), "1002@");
    QuotationGrid reopened;
    TextToQuotation(reopened, stored);
    EXPECT_TRUE(reopened.CanEdit(1, 5));
    EXPECT_TRUE(reopened.CanEdit(2, 5));
    EXPECT_FALSE(reopened.CanEdit(5, 5));
    EXPECT_FALSE(reopened.CanEdit(1, 3));
    EXPECT_EQ(QuotationToText(reopened), stored);

    // 复制行 on the room takes its items along, into another quotation.
    Click(1, 2);
    page->NCopyRows->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "主卧室\t\t\t\t700.00\t\n墙面乳胶漆\t18\t30\t平米\t540.00\t两遍\n踢脚线\t12.5\t8\t米\t100.00\t实木\n"
              "美缝\t30\t2\t\t60.00\t\n");
    QuotationGrid otherGrid;
    QuotationPage other(otherGrid);
    other.show();
    QSignalSpy otherChanged(&other, &QuotationPage::changed);
    other.N1->trigger();
    test::TypeIntoCell(*other.advsg1, 1, 2, QStringLiteral("客厅"));
    test::ClickCell(*other.advsg1, 1, 2);
    other.NPasteRows->trigger();
    std::vector<std::string> names;
    for (int r = 2; r < otherGrid.EndRow(); ++r) names.push_back(otherGrid.Text(1, r));
    EXPECT_EQ(names, (std::vector<std::string>{"客厅", "主卧室 副本", "墙面乳胶漆", "踢脚线", "美缝"}));
    EXPECT_EQ(test::ShownText(*other.advsg1, 5, 1), "700.00");
    EXPECT_TRUE(otherGrid.IsFreeLine(6));
    EXPECT_EQ(other.advsg1->Model()->rowCount(), otherGrid.RowCount() - 1);
    EXPECT_EQ(otherChanged.count(), 3);

    // Item rows alone go below the current row, inside its room.
    Click(1, 4);
    page->NCopyRows->trigger();
    test::ClickCell(*other.advsg1, 1, 2);
    other.NPasteRows->trigger();
    EXPECT_EQ(otherGrid.Text(1, 3), "踢脚线");
    EXPECT_EQ(test::ShownText(*other.advsg1, 5, 2), "100.00");
    EXPECT_EQ(test::ShownText(*other.advsg1, 5, 1), "800.00");
    other.NUndo->trigger();
    EXPECT_EQ(otherGrid.Text(1, 3), "主卧室 副本");
}

TEST_F(QuotationPageTest, CompactRowsKeepTheTotalInSightAndAreRemembered) {
    AddSection(QStringLiteral("卧室"));
    Click(1, 2);
    for (int i = 0; i < 30; ++i) page->AddCatalogEntry(Entry("墙面乳胶漆", 18, "两遍底漆两遍面漆"));
    EXPECT_EQ(View().rowHeight(2), 80);
    const int before = View().rowAt(View().viewport()->height() - 1);

    page->NCompact->trigger();
    EXPECT_TRUE(page->NCompact->isChecked());
    EXPECT_LT(View().rowHeight(2), 40);
    EXPECT_GE(View().rowHeight(2), 21);
    EXPECT_EQ(grid.RowHeight(3), QuotationGrid::kItemRowHeight) << "the rows stay item rows";
    const int compact = View().rowAt(View().viewport()->height() - 1);
    EXPECT_GE(compact + 1, 3 * (before + 1)) << before << " rows against " << compact;

    // Scrolled down, the total row stays drawn above the rows.
    ASSERT_NE(View().PinnedRow(), nullptr);
    EXPECT_FALSE(View().PinnedRow()->isVisible());
    View().scrollToBottom();
    EXPECT_TRUE(View().PinnedRow()->isVisible());
    EXPECT_EQ(View().PinnedRow()->model()->index(0, 1).data().toString(), "总计");
    EXPECT_EQ(View().PinnedRow()->geometry().top(), View().viewport()->geometry().top());
    EXPECT_EQ(View().PinnedRow()->columnViewportPosition(5), View().columnViewportPosition(5));
    Click(3, 20); // the current cell far below does not scroll the pinned row away
    EXPECT_EQ(View().PinnedRow()->rowAt(1), 0);

    // The next quotation opened starts compact; switched off, rows are 80 again.
    QuotationGrid otherGrid;
    QuotationPage other(otherGrid);
    EXPECT_TRUE(other.NCompact->isChecked());
    page->NCompact->trigger();
    EXPECT_EQ(View().rowHeight(2), 80);
    EXPECT_EQ(View().PinnedRow(), nullptr);
    QuotationGrid third;
    EXPECT_FALSE(QuotationPage(third).NCompact->isChecked());
}

} // namespace
} // namespace lty
