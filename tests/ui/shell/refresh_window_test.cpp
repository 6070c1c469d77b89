// Another program on the same database adds, renames and deletes projects and
// changes prices: this program's trees follow within two seconds by
// themselves, and at once on F5, keeping what the user selected and opened,
// and never touching an open project window's unsaved work.
#include "tests/ui/shell/main_window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace lty::test {
namespace {

QTreeWidgetItem* ById(QTreeWidget* tree, const QString& id) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, TFrmMain::kHasDataRole).toBool() && (*it)->data(0, TFrmMain::kIdRole).toString() == id)
            return *it;
    return nullptr;
}

TEST_F(MainWindowTest, TreesFollowAnotherProgramKeepingSelectionAndOpenedNodes) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner) values"
        "(1,'P1','王先生','文三路','张明'),(2,'P2','李女士','教工路','张明'),"
        "(3,'P3','赵先生','古墩路','陈红'),(4,'P4','钱女士','天目山路','陈红')");
    frm->RefreshTrees();
    QTreeWidget* projects = frm->TreeView1;
    ASSERT_NE(Node(projects, "钱女士（天目山路）"), nullptr);
    Node(projects, "陈红")->setExpanded(false);
    projects->setCurrentItem(Node(projects, "李女士（教工路）"));

    // A branch of the catalog opened, an entry in it selected.
    QTreeWidget* catalog = frm->TreeView2;
    QTreeWidgetItem* entry = ById(catalog, "3");
    ASSERT_TRUE(entry && entry->parent());
    for (QTreeWidgetItem* p = entry->parent(); p; p = p->parent()) p->setExpanded(true);
    catalog->setCurrentItem(entry);
    const QString branch = entry->parent()->text(0);

    // An open project with a change not yet saved.
    OpenFromTree("王先生（文三路）");
    TFrmProject_Detail* window = Active();
    ASSERT_NE(window, nullptr);
    window->Edit4->setText(QStringLiteral("未保存的电话"));
    projects->setCurrentItem(Node(projects, "李女士（教工路）"));

    // The other program adds one, renames one, deletes one and changes a price.
    {
        ScriptedMessages otherMessages;
        TDM other(otherMessages, dir.Dir());
        TREC_PROJECT added;
        added.SetcharProjectID("P5");
        added.SetcharCustomer("孙先生");
        added.SetcharAddress("学院路");
        added.SetcharDesigner("张明");
        ASSERT_TRUE(other.StoreProject(added, SaveModeInsert, nullptr));
        auto renamed = other.LoadProject("1");
        TREC_PROJECT changed = *renamed;
        changed.SetcharCustomer("王先生夫妇");
        ASSERT_TRUE(other.StoreProject(changed, SaveModeUpdate, renamed.get()));
        ASSERT_TRUE(other.DeleteProject("4"));
        TItemData price = other.GetProduct("3", "");
        price.SetItemID("3");
        price.SetPrice(123.45);
        ASSERT_TRUE(other.SaveProduct(price));
    }

    // Within two seconds, by the window's own timer.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Node(projects, "孙先生（学院路）") != nullptr; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ById(catalog, "3")->toolTip(0).contains("123.45"); }, 2000));
    EXPECT_EQ(Children(Node(projects, "张明")),
              (QStringList{"王先生夫妇（文三路）", "李女士（教工路）", "孙先生（学院路）"}));
    EXPECT_EQ(Children(Node(projects, "陈红")), QStringList{"赵先生（古墩路）"});
    ASSERT_NE(projects->currentItem(), nullptr);
    EXPECT_EQ(projects->currentItem()->text(0), "李女士（教工路）");
    EXPECT_TRUE(projects->currentItem()->isSelected());
    EXPECT_TRUE(Node(projects, "张明")->isExpanded());
    EXPECT_FALSE(Node(projects, "陈红")->isExpanded()) << "closed by the user, closed it stays";
    ASSERT_NE(catalog->currentItem(), nullptr);
    EXPECT_EQ(catalog->currentItem()->data(0, TFrmMain::kIdRole).toString(), "3");
    EXPECT_TRUE(Node(catalog, branch)->isExpanded());

    // The open window keeps its work, and its unsaved state.
    EXPECT_EQ(window->Edit4->text(), "未保存的电话");
    EXPECT_TRUE(window->IsModified());

    // F5 at once, without waiting for the timer; the selected project going
    // leaves its designer selected.
    projects->setCurrentItem(Node(projects, "孙先生（学院路）"));
    Raw("delete from tblProject where charProjectID='P5'");
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner) "
        "values(9,'P9','周女士','凤起路','张明')");
    EXPECT_TRUE(frm->PopupMenuTree->actions().contains(frm->ActRefresh));
    EXPECT_EQ(frm->ActRefresh->shortcut(), QKeySequence(Qt::Key_F5));
    frm->ActRefresh->trigger();
    EXPECT_NE(Node(projects, "周女士（凤起路）"), nullptr);
    EXPECT_EQ(Node(projects, "孙先生（学院路）"), nullptr);
    ASSERT_NE(projects->currentItem(), nullptr);
    EXPECT_EQ(projects->currentItem()->text(0), "张明");
    EXPECT_FALSE(Node(projects, "陈红")->isExpanded());
    EXPECT_EQ(window->Edit4->text(), "未保存的电话");
}

} // namespace
} // namespace lty::test
