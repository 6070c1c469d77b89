// The main window as a user meets it: its commands, the trees, opening,
// saving and deleting projects, the window menu, the catalog search.
#include "tests/ui/shell/main_window_fixture.h"
#include "ui/common/pictures.h"
#include "ui/shell/about_window.h"
#include "ui/shell/new_project_dialog.h"
#include "ui/shell/welcome_panel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

namespace lty::test {
namespace {

QStringList Texts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

TEST_F(MainWindowTest, FirstShowingFillsBothTreesAndTheSharedValues) {
    EXPECT_EQ(frm->objectName(), "TFrmMain");
    EXPECT_EQ(Texts(frm->ToolBar1->actions()),
              (QStringList{"新建装饰工程", "保存装饰工程", "-", "打印", "打印预览", "导出PDF", "导出Excel", "-",
                           "显示/隐藏资源栏", "-", "帮助", "-", "退出"}));
    for (QAction* a : frm->ToolBar1->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().pixmap(24, 24).isNull()) << a->text().toStdString();
        }
    }
    QStringList menus;
    for (QAction* m : frm->menuBar()->actions()) menus << m->text();
    EXPECT_EQ(menus, (QStringList{"装饰工程", "系统管理", "窗口", "帮助"}));
    EXPECT_EQ(Texts(frm->MenuProject->actions()),
              (QStringList{"新建装饰工程", "保存装饰工程", "删除装饰工程", "-", "复制为新工程", "保存为模板",
                           "重新计价", "-", "打印预览", "打印", "导出PDF", "导出Excel", "打印版本", "-", "退出"}));
    EXPECT_EQ(Texts(frm->MenuSystem->actions()), (QStringList{"系统管理", "系统初始化"}));
    EXPECT_EQ(Texts(frm->MenuWindow->actions()), (QStringList{"显示/隐藏资源栏", "-", "-"}));
    EXPECT_EQ(frm->MenuWindow->actions().back(), frm->N1);
    EXPECT_EQ(Texts(frm->MenuHelp->actions()), (QStringList{"帮助", "关于"}));
    EXPECT_EQ(Texts(frm->PopupMenuTree->actions()),
              (QStringList{"打开装饰工程", "-", "新建装饰工程", "复制为新工程", "删除装饰工程", "-", "刷新"}));
    EXPECT_EQ(frm->PageControl1->tabPosition(), QTabWidget::South);
    EXPECT_EQ(frm->PageControl1->tabText(0), "装饰工程");
    EXPECT_EQ(frm->PageControl1->tabText(1), "施工项目");
    EXPECT_EQ(frm->PageControl1->tabText(2), "工具");

    // An empty project table: the root alone.
    ASSERT_EQ(frm->TreeView1->topLevelItemCount(), 1);
    EXPECT_EQ(frm->TreeView1->topLevelItem(0)->text(0), "装饰工程");
    EXPECT_EQ(frm->TreeView1->topLevelItem(0)->childCount(), 0);
    ASSERT_EQ(frm->TreeView2->topLevelItemCount(), 1);
    QTreeWidgetItem* catalog = frm->TreeView2->topLevelItem(0);
    EXPECT_EQ(catalog->text(0), "施工项目");
    EXPECT_FALSE(catalog->isExpanded());
    EXPECT_EQ(Children(catalog).mid(0, 2), (QStringList{"拆除及基础工程", "水电工程"}));
    EXPECT_EQ(CompanyInfo().Name, "岚庭雅装饰工程有限公司");
    EXPECT_TRUE(messages.Shown.empty());

    // Folder pictures follow expansion; an item on the fourth level keeps its own.
    QTreeWidgetItem* branch = Node(frm->TreeView2, "拆除工程");
    const QTreeWidgetItem* item = Node(frm->TreeView2, "拆除非承重墙体");
    EXPECT_EQ(branch->data(0, TFrmMain::kImageRole).toInt(), 4);
    EXPECT_EQ(item->data(0, TFrmMain::kImageRole).toInt(), 2);
    branch->setExpanded(true);
    EXPECT_EQ(branch->data(0, TFrmMain::kImageRole).toInt(), 3);
    branch->setExpanded(false);
    EXPECT_EQ(branch->data(0, TFrmMain::kImageRole).toInt(), 4);
    EXPECT_EQ(item->data(0, TFrmMain::kImageRole).toInt(), 2);

    frm->ActHindLeft->trigger();
    EXPECT_FALSE(frm->Panel1->isVisible());
    frm->ActHindLeft->trigger();
    EXPECT_TRUE(frm->Panel1->isVisible());
    frm->N15->trigger();
    EXPECT_TRUE(frm->AboutWindow()->isVisible());
    EXPECT_EQ(frm->AboutWindow()->windowTitle(), "关于");
}

TEST(MainWindowWithoutDatabase, ShowsTheRootAloneAfterTheOneConnectionMessage) {
    TempProgramDir dir(false);
    ScriptedMessages messages;
    SetMessages(&messages);
    TFrmMain frm;
    TDM dm(messages, dir.Dir());
    DM = &dm;
    frm.show();
    ASSERT_EQ(messages.Shown.size(), 1u); // the connection message, and no engine error after it
    EXPECT_EQ(messages.Shown[0].Text, "连接数据库失败，请检查数据库文件！\n找不到数据库文件：" + dir.DatabasePath());
    EXPECT_EQ(frm.StatusPanel(0)->text().toStdString(), "数据库：未连接");
    ASSERT_EQ(frm.TreeView1->topLevelItemCount(), 1);
    EXPECT_EQ(frm.TreeView1->topLevelItem(0)->text(0), "装饰工程");
    EXPECT_EQ(frm.TreeView2->topLevelItemCount(), 0);
    // No welcome offering a new project that could not be saved.
    EXPECT_FALSE(frm.findChild<TWelcomePanel*>()->isVisible());
    // Saving a window then fails with the save's own message, not silently.
    ASSERT_TRUE(frm.OpenProjectWindow(0));
    frm.ActiveProjectWindow()->Edit1->setText(QStringLiteral("王先生"));
    frm.ActiveProjectWindow()->Edit2->setText(QStringLiteral("P1"));
    frm.SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back().rfind("保存工程失败，数据未保存！", 0), 0u);
    DM = nullptr;
    SetMessages(nullptr);
}

TEST_F(MainWindowTest, ProjectsAreGroupedUnderTheirDesignersAndOpenByDoubleClick) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner) values"
        "(3,'B1','赵六','滨江路','王磊'),(1,'A1','张三','文一路','李婷'),(2,'A2','李四','','李婷'),"
        "(4,'E1','无名','某地','')");
    frm->ReloadProjectTree();
    QTreeWidgetItem* root = frm->TreeView1->topLevelItem(0);
    EXPECT_EQ(Children(root), (QStringList{"", "李婷", "王磊"}));
    EXPECT_EQ(Children(Node(frm->TreeView1, "李婷")), (QStringList{"张三（文一路）", "李四（）"}));
    EXPECT_TRUE(Node(frm->TreeView1, "李婷")->isExpanded());

    // The root and a designer open nothing.
    OpenFromTree("装饰工程");
    OpenFromTree("李婷");
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(ProjectWindowMode, 0);

    // Enter on a project node opens it as the double-click does.
    frm->TreeView1->setCurrentItem(Node(frm->TreeView1, "张三（文一路）"));
    QTest::keyClick(frm->TreeView1, Qt::Key_Return);
    ASSERT_EQ(frm->ProjectWindows().size(), 1u);
    EXPECT_EQ(Active()->Caption(), "张三（文一路）");
    EXPECT_EQ(WindowMenuCaptions(), QStringList{"张三（文一路）"});
    EXPECT_EQ(CheckedEntries(), QStringList{"张三（文一路）"});
    EXPECT_EQ(frm->ActiveProjectWindowIndex(), 0);

    // A project deleted meanwhile opens nothing.
    Raw("delete from tblProject where IntID=2");
    ProjectWindowMode = 0;
    OpenFromTree("李四（）");
    EXPECT_EQ(frm->ProjectWindows().size(), 1u);
    EXPECT_EQ(ProjectWindowMode, 1);
}

TEST_F(MainWindowTest, DeleteAsksFirstAndTouchesOnlyProjectNodes) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner) values"
        "(1,'A1','张三','文一路','李婷'),(2,'A2','李四','古墩路','李婷')");
    frm->ReloadProjectTree();

    frm->TreeView1->setCurrentItem(Node(frm->TreeView1, "李婷"));
    frm->DeleteProject->trigger();
    EXPECT_TRUE(messages.Shown.empty());

    frm->TreeView1->setCurrentItem(Node(frm->TreeView1, "张三（文一路）"));
    messages.Answers = {false};
    frm->DeleteProject->trigger();
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Text, "确认要删除张三（文一路）吗？");
    EXPECT_EQ(messages.Shown[0].Title, "删除提示");
    EXPECT_EQ(ProjectRows(), 2);
    EXPECT_NE(Node(frm->TreeView1, "张三（文一路）"), nullptr);

    // The Delete key asks the same question.
    messages.Answers = {true};
    QTest::keyClick(frm->TreeView1, Qt::Key_Delete);
    EXPECT_EQ(messages.Texts().back(), "删除成功!");
    EXPECT_EQ(ProjectRows(), 1);
    EXPECT_EQ(Node(frm->TreeView1, "张三（文一路）"), nullptr);
    EXPECT_NE(Node(frm->TreeView1, "李四（古墩路）"), nullptr);
}

TEST_F(MainWindowTest, WindowMenuFollowsCaptionsAndTheActiveWindow) {
    const auto blank = [this] { return frm->OpenProjectWindow(0); };
    ASSERT_TRUE(blank());
    ASSERT_TRUE(blank());
    EXPECT_EQ(WindowMenuCaptions(), (QStringList{"新装饰工程:1", "新装饰工程:2"}));
    EXPECT_EQ(CheckedEntries(), QStringList{"新装饰工程:2"});
    ASSERT_TRUE(blank());
    EXPECT_EQ(Active()->Caption(), "新装饰工程:3");
    EXPECT_EQ(frm->OpenProjectWindow(7), false);
    EXPECT_EQ(frm->ProjectWindows().size(), 3u);

    // Entries stand between the two separators, in the order windows were made.
    const auto entries = frm->MenuWindow->actions();
    EXPECT_EQ(Texts(entries),
              (QStringList{"显示/隐藏资源栏", "-", "新装饰工程:1", "新装饰工程:2", "新装饰工程:3", "-"}));

    // Choosing an entry brings its window to the front.
    frm->WindowMenuEntries[0]->trigger();
    EXPECT_EQ(Active()->Caption(), "新装饰工程:1");
    EXPECT_EQ(frm->ActiveProjectWindowIndex(), 0);
    EXPECT_EQ(CheckedEntries(), QStringList{"新装饰工程:1"});

    // Closing the first of three: the next blank window counts three again
    // and shares the caption of the second.
    frm->ProjectWindows()[0]->close();
    Settle();
    EXPECT_EQ(WindowMenuCaptions(), (QStringList{"新装饰工程:2", "新装饰工程:3"}));
    ASSERT_TRUE(blank());
    EXPECT_EQ(WindowMenuCaptions(), (QStringList{"新装饰工程:2", "新装饰工程:3", "新装饰工程:3"}));
    EXPECT_EQ(CheckedEntries(), (QStringList{"新装饰工程:3", "新装饰工程:3"}));

    // Closing one of the two windows of one caption takes both entries away.
    Active()->close();
    Settle();
    EXPECT_EQ(WindowMenuCaptions(), QStringList{"新装饰工程:2"});
    EXPECT_EQ(frm->ProjectWindows().size(), 2u);
}

// A window is named after its project once saved, a project opens in one
// window only, and a project deleted under an open window can be saved anew.
TEST_F(MainWindowTest, ASavedWindowTakesItsProjectsNameOpensOnceAndOutlivesADelete) {
    TFrmProject_Detail* w = NewBlank();
    w->Edit1->setText(QStringLiteral("张三"));
    w->Edit2->setText(QStringLiteral("P9"));
    w->Edit3->setText(QStringLiteral("西湖路1号"));
    // Before the first save the question names the window as it was made.
    EXPECT_FALSE(w->ConfirmClose());
    EXPECT_EQ(messages.Texts().back(), "工程「新装饰工程:1」已修改，是否保存？");
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "新加工程成功！");
    EXPECT_EQ(w->Caption(), "张三（西湖路1号）");
    EXPECT_EQ(w->windowTitle(), "张三（西湖路1号）");
    EXPECT_EQ(WindowMenuCaptions(), QStringList{"张三（西湖路1号）"});
    EXPECT_EQ(CheckedEntries(), QStringList{"张三（西湖路1号）"});

    // Opened from the tree while its window is open, from behind another
    // window: the open window comes to the front, no second one is made.
    TFrmProject_Detail* other = NewBlank();
    ASSERT_NE(other, w);
    OpenFromTree("张三（西湖路1号）");
    EXPECT_EQ(frm->ProjectWindows().size(), 2u);
    EXPECT_EQ(Active(), w);
    EXPECT_EQ(CheckedEntries(), QStringList{"张三（西湖路1号）"});
    EXPECT_EQ(ProjectWindowMode, 1);

    // A renamed customer renames the window, its entry and its node at the
    // save; the other window's entry stays as it was.
    w->Edit1->setText(QStringLiteral("张三丰"));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_EQ(WindowMenuCaptions(), (QStringList{"张三丰（西湖路1号）", "新装饰工程:2"}));
    EXPECT_NE(Node(frm->TreeView1, "张三丰（西湖路1号）"), nullptr);
    EXPECT_EQ(Node(frm->TreeView1, "张三（西湖路1号）"), nullptr);
    w->Edit4->setText(QStringLiteral("138"));
    EXPECT_FALSE(w->ConfirmClose());
    EXPECT_EQ(messages.Texts().back(), "工程「张三丰（西湖路1号）」已修改，是否保存？");

    // Deleted from the tree while the window is open: the save asks; No
    // keeps the window unsaved, Yes stores the project as a new row.
    frm->TreeView1->setCurrentItem(Node(frm->TreeView1, "张三丰（西湖路1号）"));
    messages.Answers = {true};
    frm->DeleteProject->trigger();
    ASSERT_EQ(ProjectRows(), 0);
    const int oldId = w->ProjectRecord()->IntID;
    messages.Answers = {false};
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "该工程已被删除，是否另存为新工程？");
    EXPECT_EQ(ProjectRows(), 0);
    EXPECT_TRUE(w->IsModified());
    messages.Answers = {true};
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().end()[-2], "该工程已被删除，是否另存为新工程？");
    EXPECT_EQ(messages.Texts().back(), "新加工程成功！");
    EXPECT_EQ(ProjectRows(), 1);
    EXPECT_EQ(RawText("select charCustomerTel from tblProject"), "138");
    EXPECT_FALSE(w->IsModified());
    QTreeWidgetItem* again = Node(frm->TreeView1, "张三丰（西湖路1号）");
    ASSERT_NE(again, nullptr) << "the tree shows the project again";
    EXPECT_NE(again->data(0, TFrmMain::kIdRole).toString(), QString::number(oldId));
    // Its window is the project's: the next save updates the new row.
    w->Edit4->setText(QStringLiteral("139"));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_EQ(RawText("select charCustomerTel from tblProject"), "139");
}

TEST_F(MainWindowTest, NewProjectDialogOffersBlankAndHouseType) {
    frm->ActNewProject->trigger();
    TFrmNewProject* dialog = frm->LastNewProjectDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "新装饰工程");
    ASSERT_EQ(dialog->ListView1->count(), 2);
    EXPECT_EQ(dialog->ListView1->item(0)->text(), "空白工程");
    EXPECT_EQ(dialog->ListView1->item(1)->text(), "户型选择");
    EXPECT_EQ(dialog->size(), QSize(428, 242));

    // Nothing selected: nothing made, the dialog stays.
    dialog->ListView1->clearSelection();
    dialog->ListView1DblClick();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(frm->ProjectWindows().empty());

    dialog->ListView1->setCurrentRow(0);
    dialog->ListView1DblClick();
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(frm->ProjectWindows().size(), 1u);
    EXPECT_EQ(Active()->Caption(), "新装饰工程:1");
    EXPECT_EQ(Active()->Grid().BodyRowCount(), 0);
}

TEST_F(MainWindowTest, CatalogSearchShowsMatchesWithTheirAncestorsAndAddsFromThem) {
    QTreeWidgetItem* root = frm->TreeView2->topLevelItem(0);
    frm->ActFindCatalog->trigger();
    EXPECT_EQ(frm->PageControl1->currentWidget(), frm->TabSheet2);
    EXPECT_EQ(frm->CatalogSearch->placeholderText(), "搜索施工项目");

    TypeText(frm->CatalogSearch, "pvc");
    QStringList visible;
    for (QTreeWidgetItemIterator it(frm->TreeView2); *it; ++it)
        if (!(*it)->isHidden()) visible << (*it)->text(0);
    EXPECT_EQ(visible, (QStringList{"施工项目", "水电工程", "给排水", "PVC排水管（Φ50）", "PVC排水管（Φ110）"}));
    EXPECT_TRUE(Node(frm->TreeView2, "给排水")->isExpanded());
    EXPECT_EQ(Node(frm->TreeView2, "给排水")->data(0, TFrmMain::kImageRole).toInt(), 3);

    // A found entry goes into the active quotation as from the whole tree.
    ASSERT_TRUE(frm->OpenProjectWindow(0));
    TFrmProject_Detail* w = Active();
    w->Page()->N1->trigger();
    w->Page()->advsg1->SetCurrentCell(1, 2);
    Raw("update TBLPRODUCT set ProductPrice=12.5,ProductUnit='米' where Product_ID=18");
    // From the search box by keyboard alone: Down lands on the first entry
    // found, Enter in the tree adds it.
    QTest::keyClick(frm->CatalogSearch, Qt::Key_Down);
    ASSERT_NE(frm->TreeView2->currentItem(), nullptr);
    EXPECT_EQ(frm->TreeView2->currentItem()->text(0), "PVC排水管（Φ50）");
    QTest::keyClick(frm->TreeView2, Qt::Key_Return);
    ASSERT_EQ(w->Grid().BodyRowCount(), 2);
    EXPECT_EQ(w->Grid().Text(1, 3), "PVC排水管（Φ50）");
    EXPECT_EQ(w->Grid().Text(2, 3), "12.5");
    EXPECT_EQ(w->Grid().Text(5, 3), "12.50");
    EXPECT_EQ(w->Label16->text(), "12.50");
    EXPECT_EQ(w->Edit8->text(), "1.00");
    EXPECT_EQ(w->Edit9->text(), "0.43");
    EXPECT_TRUE(w->IsModified());

    // Esc gives the whole tree back, as it was before the search.
    QTest::keyClick(frm->CatalogSearch, Qt::Key_Escape);
    EXPECT_TRUE(frm->CatalogSearch->text().isEmpty());
    for (QTreeWidgetItemIterator it(frm->TreeView2); *it; ++it) EXPECT_FALSE((*it)->isHidden());
    EXPECT_FALSE(root->isExpanded());
    EXPECT_EQ(Node(frm->TreeView2, "给排水")->data(0, TFrmMain::kImageRole).toInt(), 4);

    // Enter in the box does the same; a branch is taken only where no item matches.
    TypeText(frm->CatalogSearch, "给排");
    QTest::keyClick(frm->CatalogSearch, Qt::Key_Return);
    EXPECT_EQ(frm->TreeView2->currentItem(), Node(frm->TreeView2, "给排水"));
    EXPECT_EQ(w->Grid().BodyRowCount(), 2);
    QTest::keyClick(frm->CatalogSearch, Qt::Key_Escape);

    // Nothing found: only the tree's root would match nothing, so nothing shows.
    TypeText(frm->CatalogSearch, "不存在的项目");
    EXPECT_TRUE(root->isHidden());
}

TEST_F(MainWindowTest, BothSearchesFindByPinyinAndSayWhenNothingIsFound) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,charCustomerTel) values"
        "(1,'A1','张三','文一路','李婷','13900000001'),(2,'B7','李四','古墩路','王磊','13600000002'),"
        "(3,'C3','赵六','滨江路','王磊','')");
    frm->ReloadProjectTree();
    const auto shown = [](QTreeWidget* tree) {
        QStringList out;
        for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NotHidden); *it; ++it) out << (*it)->text(0);
        return out;
    };
    const auto search = [](QLineEdit* box, const QString& text) {
        QTest::keyClick(box, Qt::Key_Escape);
        TypeText(box, text);
    };

    // Ctrl+Shift+F puts the keys into the project search, as typed.
    frm->PageControl1->setCurrentWidget(frm->TabSheet2);
    Focus(frm->TreeView2);
    QTest::keyClick(frm->TreeView2, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(frm->PageControl1->currentWidget(), frm->TabSheet1);
    EXPECT_EQ(QApplication::focusWidget(), frm->ProjectSearch);
    EXPECT_EQ(frm->ProjectSearch->accessibleName(), "搜索装饰工程");
    search(frm->ProjectSearch, "zs"); // pinyin initials of the customer
    EXPECT_EQ(shown(frm->TreeView1), (QStringList{"装饰工程", "李婷", "张三（文一路）"}));
    search(frm->ProjectSearch, "1360"); // telephone
    EXPECT_EQ(shown(frm->TreeView1), (QStringList{"装饰工程", "王磊", "李四（古墩路）"}));
    search(frm->ProjectSearch, "b7"); // project number, any letter case
    EXPECT_EQ(shown(frm->TreeView1), (QStringList{"装饰工程", "王磊", "李四（古墩路）"}));
    search(frm->ProjectSearch, "wanglei"); // full pinyin of the designer
    EXPECT_EQ(shown(frm->TreeView1), (QStringList{"装饰工程", "王磊", "李四（古墩路）", "赵六（滨江路）"}));
    search(frm->ProjectSearch, "滨江"); // address
    EXPECT_EQ(shown(frm->TreeView1), (QStringList{"装饰工程", "王磊", "赵六（滨江路）"}));
    EXPECT_FALSE(frm->ProjectNotFound->isVisible());
    search(frm->ProjectSearch, "xyz");
    EXPECT_EQ(shown(frm->TreeView1), QStringList{});
    EXPECT_TRUE(frm->ProjectNotFound->isVisible());
    EXPECT_EQ(frm->ProjectNotFound->text(), "未找到");
    // Enter lands on the first project found, Enter once more opens it.
    search(frm->ProjectSearch, "zhao");
    EXPECT_FALSE(frm->ProjectNotFound->isVisible());
    QTest::keyClick(frm->ProjectSearch, Qt::Key_Return);
    EXPECT_EQ(frm->TreeView1->currentItem(), Node(frm->TreeView1, "赵六（滨江路）"));
    QTest::keyClick(frm->TreeView1, Qt::Key_Return);
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->Caption(), "赵六（滨江路）");
    QTest::keyClick(frm->ProjectSearch, Qt::Key_Escape);
    EXPECT_EQ(shown(frm->TreeView1).size(), 6);

    // The catalog: initials and full pinyin find the same entries as the characters.
    frm->ActFindCatalog->trigger();
    search(frm->CatalogSearch, "吊顶");
    const QStringList ceilings = shown(frm->TreeView2);
    EXPECT_TRUE(ceilings.contains("铝扣板吊顶"));
    search(frm->CatalogSearch, "diaoding");
    EXPECT_EQ(shown(frm->TreeView2), ceilings);
    search(frm->CatalogSearch, "dd");
    for (const QString& name : ceilings) EXPECT_TRUE(shown(frm->TreeView2).contains(name)) << name.toStdString();
    search(frm->CatalogSearch, "rjq");
    EXPECT_TRUE(shown(frm->TreeView2).contains("乳胶漆（一底两面）"));
    EXPECT_FALSE(shown(frm->TreeView2).contains("铝扣板吊顶"));
    search(frm->CatalogSearch, "qqqqqq");
    EXPECT_TRUE(frm->CatalogNotFound->isVisible());
    QTest::keyClick(frm->CatalogSearch, Qt::Key_Escape);
    EXPECT_FALSE(frm->CatalogNotFound->isVisible());

    // Each priced entry tells its price and unit; every entry its whole name.
    EXPECT_EQ(Node(frm->TreeView2, "拆除原有吊顶")->toolTip(0), "拆除原有吊顶\n单价 12.00 元/平米");
    EXPECT_EQ(Node(frm->TreeView2, "吊顶")->toolTip(0), "吊顶");
}

} // namespace
} // namespace lty::test
