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

TEST_F(QuotationPageTest, TypedPricesAndQuantitiesRecomputeAtOnceAndBadNumbersBecomeZero) {
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

    Type(3, 3, QStringLiteral("2.5.1"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"输入的数据不合法，请重新输入！"});
    EXPECT_EQ(Shown(3, 3), "0");
    EXPECT_EQ(Shown(5, 3), "0.00");
    EXPECT_EQ(grid.Charges().Label16Text, "0.00");
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

} // namespace
} // namespace lty
