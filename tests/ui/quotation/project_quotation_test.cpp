// Pricing a quotation in a project window as a user does: catalog entries
// double-clicked from the main window's tree (whole or searched), quantities
// typed into the grid, the charges on the information page following every
// recalculation and undo, and the quotation coming back identical after a
// save and a reopen.
#include "core/quotation/quotation_text.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "tests/ui/quotation/grid_input.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace lty::test {
namespace {

class ProjectQuotationTest : public MainWindowTest {
protected:
    static controls::TextGrid& View(TFrmProject_Detail* w) { return *w->Page()->advsg1; }
    // A click on the window's tab "报价明细".
    static void ShowQuotation(TFrmProject_Detail* w) {
        QTabBar* bar = w->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        ASSERT_EQ(w->PageControl1->currentWidget(), w->TabSheet2);
    }
    // A double click on the catalog entry as the tree shows it.
    void DblClickCatalog(const QString& name) {
        QTreeWidgetItem* node = Node(frm->TreeView2, name);
        ASSERT_NE(node, nullptr) << name.toStdString();
        frm->PageControl1->setCurrentWidget(frm->TabSheet2);
        for (QTreeWidgetItem* p = node->parent(); p; p = p->parent()) p->setExpanded(true);
        frm->TreeView2->scrollToItem(node);
        // As the system delivers a double click: press, release, double click, release.
        QWidget* viewport = frm->TreeView2->viewport();
        const QPoint at = frm->TreeView2->visualItemRect(node).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }
    static std::vector<std::string> Names(TFrmProject_Detail* w) {
        std::vector<std::string> names;
        for (int r = 2; r < w->Grid().EndRow(); ++r) names.push_back(ShownText(View(w), 1, r));
        return names;
    }
    // 管理费, 税金 and 项目总价 as the information page shows them.
    static std::vector<std::string> Charges(TFrmProject_Detail* w) {
        return {w->Edit8->text().toStdString(), w->Edit9->text().toStdString(), w->Label16->text().toStdString()};
    }
    static void Key(TFrmProject_Detail* w, Qt::Key key, Qt::KeyboardModifiers mods) {
        Focus(&View(w));
        QTest::keyClick(&View(w), key, mods);
    }
};

TEST_F(ProjectQuotationTest, CatalogEntriesTypedQuantitiesAndUndoMoveTheChargesAndSurviveSaveAndReopen) {
    TFrmProject_Detail* w = NewBlank();
    // A new window has the total row current: the double-click adds nothing.
    DblClickCatalog("拆除非承重墙体");
    EXPECT_EQ(w->Grid().BodyRowCount(), 0);
    EXPECT_FALSE(w->IsModified());
    EXPECT_EQ(Active(), w) << "the click into the tree keeps the window active";

    ShowQuotation(w);
    controls::TextGrid& v = View(w);
    EXPECT_EQ(w->focusWidget(), &v) << "the quotation brought up takes the keys";
    for (int i = 0; i < 2; ++i) {
        ClickCell(v, 2, 1, Qt::RightButton);
        ASSERT_TRUE(w->Page()->PopupMenu1->isVisible());
        EXPECT_FALSE(w->Page()->N11->isVisible());
        w->Page()->N1->trigger();
        w->Page()->PopupMenu1->hide();
    }
    TypeIntoCell(v, 1, 2, QStringLiteral("客厅"));
    TypeIntoCell(v, 1, 3, QStringLiteral("卧室"));
    EXPECT_TRUE(w->IsModified());
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"0.00", "0.00", "0.00"})) << "no recalculation yet";

    ClickCell(v, 1, 2);
    DblClickCatalog("拆除非承重墙体");
    DblClickCatalog("铲除墙面原有腻子层");
    EXPECT_EQ(Names(w), (std::vector<std::string>{"客厅", "铲除墙面原有腻子层", "拆除非承重墙体", "卧室"}));
    EXPECT_EQ(ShownText(v, 2, 4), "45.00") << "a unit price reads as money beside the amounts";
    EXPECT_EQ(ShownText(v, 5, 2), "53.00");
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"4.24", "1.81", "53.00"}));

    TypeIntoCell(v, 3, 3, QStringLiteral("12.5"));
    TypeIntoCell(v, 3, 4, QStringLiteral("20"));
    EXPECT_EQ(ShownText(v, 5, 3), "100.00");
    EXPECT_EQ(ShownText(v, 5, 4), "900.00");
    EXPECT_EQ(ShownText(v, 5, 1), "1000.00");
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"80.00", "34.10", "1000.00"}));

    // The charges follow an undo and a redo as they follow an edit.
    Key(w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ShownText(v, 3, 4), "1");
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"11.60", "4.94", "145.00"}));
    Key(w, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"80.00", "34.10", "1000.00"}));

    // A quantity still in its editor when the save runs is saved with the rest.
    w->Edit1->setText(QStringLiteral("王先生"));
    w->Edit2->setText(QStringLiteral("P1"));
    ASSERT_NE(StartTyping(v, 3, 3, QStringLiteral("25")), nullptr);
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"新加工程成功！"});
    EXPECT_FALSE(v.Editing());
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"88.00", "37.51", "1100.00"}));
    EXPECT_FALSE(w->IsModified());
    const std::string saved = QuotationToText(w->Grid());
    EXPECT_EQ(RawText("select charQuotation from tblProject"), saved);

    w->close();
    Settle();
    EXPECT_EQ(messages.Shown.size(), 1u) << "a saved window closes without a question";
    OpenFromTree("王先生（）");
    TFrmProject_Detail* r = Active();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(QuotationToText(r->Grid()), saved);
    // Money reads as money after a reopen too, though stored as plain numbers.
    EXPECT_EQ(Charges(r), (std::vector<std::string>{"88.00", "37.51", "1100.00"}));
    ShowQuotation(r);
    EXPECT_EQ(View(r).Model()->rowCount(), r->Grid().RowCount() - 1);
    EXPECT_EQ(Names(r), (std::vector<std::string>{"客厅", "铲除墙面原有腻子层", "拆除非承重墙体", "卧室"}));
    EXPECT_EQ(ShownText(View(r), 5, 1), "1100.00") << "the stored total, until the next recalculation";
    EXPECT_EQ(r->Grid().Text(5, 1), "1100") << "as the stored text has it";
    EXPECT_FALSE(r->IsModified());
}

TEST_F(ProjectQuotationTest, SearchResultsAndEnterAddEntriesAndAnOpenEditorCountsWhenClosing) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,dateSignDate,"
        "numContractPrice,numOverheadExp,numTax,charQuotation) values(1,'A1','张三','文一路','李婷','2009-6-22',"
        "540,43.2,18.41,'10@客厅@@@@540.00@@墙面乳胶漆@18@30@平米@540.00@两遍面漆')");
    frm->ReloadProjectTree();
    OpenFromTree("张三（文一路）");
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    const std::string stored = QuotationToText(w->Grid());
    ShowQuotation(w);
    controls::TextGrid& v = View(w);
    ClickCell(v, 1, 2);
    EXPECT_FALSE(w->IsModified());

    // From the search results: by double click, and by Enter on the tree.
    frm->ActFindCatalog->trigger();
    TypeText(frm->CatalogSearch, "pvc");
    DblClickCatalog("PVC排水管（Φ50）");
    frm->TreeView2->setCurrentItem(Node(frm->TreeView2, "PVC排水管（Φ110）"));
    QTest::keyClick(frm->TreeView2, Qt::Key_Return);
    EXPECT_EQ(Names(w), (std::vector<std::string>{"客厅", "PVC排水管（Φ110）", "PVC排水管（Φ50）", "墙面乳胶漆"}));
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"55.60", "23.70", "695.00"}));
    EXPECT_TRUE(w->IsModified());

    // Both undone: the stored rows, with the charges computed from them.
    Key(w, Qt::Key_Z, Qt::ControlModifier);
    Key(w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(QuotationToText(w->Grid()), stored);
    EXPECT_EQ(Charges(w), (std::vector<std::string>{"43.20", "18.41", "540.00"}));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_EQ(RawText("select charQuotation from tblProject"), stored);

    // A quantity typed and not yet committed makes the window changed when it
    // is closed: the question comes, and Yes saves the typed quantity.
    ASSERT_NE(StartTyping(v, 3, 3, QStringLiteral("2")), nullptr);
    EXPECT_FALSE(w->IsModified());
    messages.Choices = {Answer::Yes};
    w->close();
    Settle();
    EXPECT_EQ(messages.Texts().end()[-2], "工程「张三（文一路）」已修改，是否保存？");
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(RawText("select charQuotation from tblProject"), "10@客厅@@@@36.00@@墙面乳胶漆@18@2@平米@36.00@两遍面漆");
    EXPECT_EQ(RawText("select numTax from tblProject"), "1.23");
}

// From the catalog tree without a place in the quotation the status bar says
// where to choose one; an entry added from the tree is undone by Ctrl+Z
// while the tree keeps the focus.
TEST_F(ProjectQuotationTest, TheCatalogTreeHintsWithoutAPlaceAndItsEntryUndoesFromTheTree) {
    TFrmProject_Detail* w = NewBlank();
    DblClickCatalog("拆除非承重墙体");
    EXPECT_EQ(w->Grid().BodyRowCount(), 0);
    EXPECT_EQ(frm->statusBar()->currentMessage(), "请先在报价明细中选择一个房间或明细行");
    EXPECT_TRUE(messages.Shown.empty());

    ShowQuotation(w);
    controls::TextGrid& v = View(w);
    w->Page()->N1->trigger();
    TypeIntoCell(v, 1, 2, QStringLiteral("客厅"));
    ClickCell(v, 1, 2);
    DblClickCatalog("拆除非承重墙体");
    EXPECT_TRUE(frm->statusBar()->currentMessage().isEmpty()) << "the hint goes once an entry found its place";
    EXPECT_EQ(Names(w), (std::vector<std::string>{"客厅", "拆除非承重墙体"}));
    EXPECT_EQ(Charges(w)[2], "45.00");

    Focus(frm->TreeView2);
    ASSERT_EQ(QApplication::focusWidget(), frm->TreeView2);
    QTest::keyClick(frm->TreeView2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Names(w), std::vector<std::string>{"客厅"});
    EXPECT_EQ(Charges(w)[2], "0.00");
    QTest::keyClick(frm->TreeView2, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Names(w), (std::vector<std::string>{"客厅", "拆除非承重墙体"}));

    // With two windows, the keys act on the active one only.
    TFrmProject_Detail* second = NewBlank();
    Focus(frm->TreeView2);
    QTest::keyClick(frm->TreeView2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Names(w), (std::vector<std::string>{"客厅", "拆除非承重墙体"}));
    second->close();
    Settle();
    ASSERT_EQ(Active(), w);
    Focus(frm->TreeView2);
    QTest::keyClick(frm->TreeView2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Names(w), std::vector<std::string>{"客厅"});
}

// Without a mouse: the project tree's and the quotation's menus open with the
// Menu key and Shift+F10, and the figures of the information page are read
// out by their names.
TEST_F(ProjectQuotationTest, MenusOpenFromTheKeyboardAndTheFiguresAreReadOut) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,dateSignDate,"
        "numContractPrice,numOverheadExp,numTax,charQuotation) values(1,'A1','张三','文一路','李婷','2009-6-22',"
        "540,43.2,18.41,'10@客厅@@@@540.00@@墙面乳胶漆@18@30@平米@540.00@两遍面漆')");
    frm->ReloadProjectTree();
    Focus(frm->TreeView1);
    frm->TreeView1->setCurrentItem(Node(frm->TreeView1, "张三（文一路）"));
    QTest::keyClick(frm->TreeView1, Qt::Key_Menu);
    ASSERT_TRUE(frm->PopupMenuTree->isVisible());
    QTest::keyClick(frm->PopupMenuTree, Qt::Key_Down);
    QTest::keyClick(frm->PopupMenuTree, Qt::Key_Return); // 打开装饰工程
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), "张三（文一路）");
    Focus(frm->TreeView1);
    QTest::keyClick(frm->TreeView1, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(frm->PopupMenuTree->isVisible());
    frm->PopupMenuTree->close();

    // Each figure is read with its caption; the fee and the tax are reached by Tab.
    const auto name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    const auto value = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Value);
    };
    EXPECT_EQ(name(w->Label16), "项目总价（元）：540.00");
    EXPECT_EQ(name(w->Edit8), "管理费");
    EXPECT_EQ(value(w->Edit8), "43.20");
    EXPECT_EQ(name(w->Edit9), "税金");
    EXPECT_EQ(value(w->Edit9), "18.41");
    for (QWidget* figure :
         {static_cast<QWidget*>(w->Edit8), static_cast<QWidget*>(w->Edit9), static_cast<QWidget*>(w->Label16)}) {
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(figure)->state().disabled);
        EXPECT_TRUE(figure->focusPolicy() & Qt::TabFocus);
    }

    ShowQuotation(w);
    controls::TextGrid& v = View(w);
    ClickCell(v, 1, 3);
    Focus(&v);
    QTest::keyClick(&v, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(w->Page()->PopupMenu1->isVisible());
    EXPECT_TRUE(w->Page()->N11->isVisible()) << "the menu of the current item row";
    for (QAction* entry : {w->Page()->NPaste, w->Page()->NCopyRows, w->Page()->NPasteRows, w->Page()->NCompact})
        EXPECT_TRUE(entry->isVisible()) << entry->text().toStdString();
    EXPECT_FALSE(w->Page()->NRename->isVisible()) << "renaming is for a room";
    w->Page()->PopupMenu1->close();
    ClickCell(v, 1, 2);
    Focus(&v);
    QTest::keyClick(&v, Qt::Key_Menu);
    ASSERT_TRUE(w->Page()->PopupMenu1->isVisible());
    EXPECT_TRUE(w->Page()->NRename->isVisible()) << "the room's menu";
    w->Page()->PopupMenu1->close();
    ClickCell(v, 1, 1);
    Focus(&v);
    QTest::keyClick(&v, Qt::Key_Menu);
    ASSERT_TRUE(w->Page()->PopupMenu1->isVisible());
    EXPECT_FALSE(w->Page()->N11->isVisible()) << "the total row's menu";
    QTest::keyClick(w->Page()->PopupMenu1, Qt::Key_Down);
    QTest::keyClick(w->Page()->PopupMenu1, Qt::Key_Return); // 添加装修条目
    EXPECT_EQ(w->Grid().BodyRowCount(), 3);
    TypeIntoCell(v, 3, 3, QStringLiteral("40"));
    EXPECT_EQ(name(w->Label16), "项目总价（元）：720.00");
    EXPECT_EQ(value(w->Edit8), "57.60");
}

} // namespace
} // namespace lty::test
