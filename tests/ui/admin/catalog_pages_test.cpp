// The two catalog pages of the management window, driven as a user would.
#include "core/upkeep/catalog_csv.h"
#include "tests/ui/admin/admin_fixture.h"
#include "ui/admin/admin_widgets.h"
#include "ui/admin/catalog_page.h"
#include "ui/admin/price_page.h"
#include "ui/admin/system_window.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace lty {
namespace {

class CatalogPages : public test::AdminTest {
protected:
    std::unique_ptr<TFrmSystem> frm;
    TCatalogPage* page = nullptr;
    void SetUp() override {
        AdminTest::SetUp();
        frm = std::make_unique<TFrmSystem>(nullptr, hooks);
        frm->show();
        page = frm->TabSheet2;
    }
    void TearDown() override {
        frm.reset();
        AdminTest::TearDown();
    }
    QTreeWidgetItem* Select(const QString& text) {
        QTreeWidgetItem* item = Node(page->TreeView1, text);
        EXPECT_NE(item, nullptr) << text.toStdString();
        page->TreeView1->setCurrentItem(item);
        return item;
    }
    // 新建 on the selected node, a name typed, 确定: answers the new row's parent id.
    std::string AddBelowSelected(const QString& name) {
        page->N1->trigger();
        EXPECT_EQ(page->EditMode, 2);
        EXPECT_TRUE(page->Edit3->text().isEmpty());
        page->Edit3->insert(name);
        QTest::mouseClick(page->Button2, Qt::LeftButton);
        EXPECT_EQ(page->EditMode, 0);
        EXPECT_FALSE(page->Button2->isEnabled());
        const std::string id = One("select max(ITEM_ID) from TBLITEM where ITEM_NAME='" + name.toStdString() + "'");
        EXPECT_EQ(Count("TBLPRODUCT where Product_ID=" + id), 1) << "a price row for the new entry";
        return One("select Parent_ID from TBLITEM where ITEM_ID=" + id);
    }
};

TEST_F(CatalogPages, WindowLayoutNamesAndPictures) {
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("系统管理"));
    // Assistive tools meet a dialog named by its title, not a filler pane.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(frm.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Dialog);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("系统管理"));
    EXPECT_EQ(frm->size(), QSize(675, 620));
    QStringList tabs;
    for (int i = 0; i < frm->PageControl1->count(); ++i) tabs << frm->PageControl1->tabText(i);
    EXPECT_EQ(tabs,
              (QStringList{"装修项目分类管理", "报价管理", "修改密码", "公司资料管理", "设计师资料管理", "数据备份"}));
    for (const char* name :
         {"TreeView1", "PopupMenu1", "Edit3",     "Memo1",  "Memo2",   "ComboBox1", "Button2",   "TreeView2", "Edit4",
          "Edit5",     "Edit6",      "ComboBox2", "MMMemo", "Button3", "Edit1",     "Edit2",     "Edit7",     "Edit11",
          "sgDes",     "Edit12",     "Edit13",    "Edit15", "Button5", "Button8",   "StatusBar1"})
        EXPECT_NE(frm->findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(page->Edit3->accessibleName(), QStringLiteral("名称"));
    EXPECT_EQ(page->ComboBox1->currentText(), QStringLiteral("1"));

    // The tree as loaded: root 4/3, categories 4/4, items 2/0; opening and closing swap 3 and 4.
    QTreeWidgetItem* root = page->TreeView1->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("施工项目"));
    EXPECT_EQ(NodeImage(root), 4);
    EXPECT_EQ(NodeSelectedImage(root), 3);
    QTreeWidgetItem* item = Node(page->TreeView1, "拆除非承重墙体");
    EXPECT_EQ(NodeImage(item), 2);
    EXPECT_EQ(NodeSelectedImage(item), 0);
    QTreeWidgetItem* cat = Node(frm->TabSheet3->TreeView2, "拆除工程");
    cat->setExpanded(true);
    EXPECT_EQ(NodeImage(cat), 3);
    cat->setExpanded(false);
    EXPECT_EQ(NodeImage(cat), 4);
    EXPECT_EQ(NodeSelectedImage(cat), 4);

    // Closing hides the window and rebuilds the main window's catalog tree.
    frm->close();
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(catalogTreeBuilds, 1);
}

TEST_F(CatalogPages, NewEntriesGrowTheTreeThreeLevelsDeep) {
    const int before = Count("TBLITEM");
    Select("施工项目");
    EXPECT_EQ(AddBelowSelected("新一级"), "0");
    Select("拆除及基础工程"); // level 1
    EXPECT_EQ(AddBelowSelected("新二级"), "1");
    Select("拆除工程"); // level 2
    EXPECT_EQ(AddBelowSelected("新项目"), "2");
    Select("拆除非承重墙体"); // level 3: a sibling under the same category
    EXPECT_EQ(AddBelowSelected("新项目二"), "2");
    EXPECT_EQ(Count("TBLITEM"), before + 4);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>(4, "保存成功！")));
    // The trees were rebuilt and show the new entries; nothing is selected.
    EXPECT_NE(Node(page->TreeView1, "新项目二"), nullptr);
    EXPECT_NE(Node(frm->TabSheet3->TreeView2, "新一级"), nullptr);
    EXPECT_EQ(page->TreeView1->currentItem(), nullptr);

    // Editing: the selection shows the entry, remarks keep their CR LF breaks.
    Select("新一级");
    EXPECT_EQ(page->EditMode, 1);
    EXPECT_EQ(page->Edit3->text(), QStringLiteral("新一级"));
    page->Memo1->setPlainText(QStringLiteral("第一行\n第二行\n\n"));
    page->ComboBox1->setEditText(QStringLiteral(" 7 "));
    page->Button2->click();
    EXPECT_EQ(One("select CATALOGExtrainfo||'|'||Item_Type from TBLITEM where ITEM_NAME='新一级'"),
              "第一行\r\n第二行|7");

    // The root has no row: an update keeps nothing and says so.
    Select("施工项目");
    page->Button2->click();
    EXPECT_EQ(messages.Texts().back(), "保存失败！");

    // A type that is no integer ends the save with the general error report; nothing is sent.
    Select("新一级");
    page->ComboBox1->setEditText(QStringLiteral("abc"));
    QTest::mouseClick(page->Button2, Qt::LeftButton);
    EXPECT_EQ(messages.Shown.back().Text, "'abc' is not a valid integer value");
    EXPECT_EQ(messages.Shown.back().Icon, MessageIcon::Stop);
    EXPECT_EQ(page->EditMode, 1);
    EXPECT_EQ(One("select Item_Type from TBLITEM where ITEM_NAME='新一级'"), "7");
}

TEST_F(CatalogPages, PendingEntryQuestionOnASelectionChange) {
    page->TreeView1->expandAll();
    Select("水电工程");
    page->N1->trigger();
    page->Edit3->insert(QStringLiteral("待存分类"));
    // Clicking another node asks; Yes saves under the node clicked.
    messages.Answers = {true};
    QTreeWidgetItem* target = Node(page->TreeView1, "墙体砌筑");
    const QRect r = page->TreeView1->visualItemRect(target);
    QTest::mouseClick(page->TreeView1->viewport(), Qt::LeftButton, {}, r.center());
    QApplication::processEvents();
    EXPECT_EQ(messages.Shown.at(0).Text, "是否保存分类信息？");
    EXPECT_EQ(messages.Shown.at(0).Title, "询问");
    EXPECT_EQ(One("select Parent_ID from TBLITEM where ITEM_NAME='待存分类'"), "9");
    // The clicked node went with the rebuild: no entry shown, nothing pending.
    EXPECT_EQ(page->EditMode, 0);
    EXPECT_TRUE(page->Edit3->text().isEmpty());
    EXPECT_TRUE(page->Edit3->isReadOnly());
    EXPECT_NE(Node(page->TreeView1, "待存分类"), nullptr);

    // No drops the pending entry and shows the node clicked.
    Select("水电工程");
    page->N1->trigger();
    page->Edit3->insert(QStringLiteral("不存"));
    messages.Answers = {false};
    Select("墙体砌筑");
    EXPECT_EQ(page->EditMode, 1);
    EXPECT_EQ(page->Edit3->text(), QStringLiteral("墙体砌筑"));
    EXPECT_EQ(Count("TBLITEM where ITEM_NAME='不存'"), 0);
}

TEST_F(CatalogPages, DeletesAndThePopupMenu) {
    // The right button opens the menu on the selected node, not the one under the pointer.
    page->TreeView1->expandAll();
    Select("施工项目");
    QTreeWidgetItem* other = Node(page->TreeView1, "拆除工程");
    QTest::mousePress(page->TreeView1->viewport(), Qt::RightButton, {},
                      page->TreeView1->visualItemRect(other).center());
    EXPECT_EQ(page->TreeView1->currentItem()->text(0), QStringLiteral("施工项目"));
    EXPECT_FALSE(page->N2->isEnabled()); // the root cannot be deleted
    page->PopupMenu1->close();
    // The Menu key and Shift+F10 open the same menu, set up the same way.
    frm->activateWindow();
    QApplication::setActiveWindow(frm.get());
    page->TreeView1->setFocus();
    QTest::keyClick(page->TreeView1, Qt::Key_Menu);
    ASSERT_TRUE(page->PopupMenu1->isVisible());
    EXPECT_FALSE(page->N2->isEnabled());
    page->PopupMenu1->close();
    Select("拆除工程");
    QTest::keyClick(page->TreeView1, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(page->PopupMenu1->isVisible());
    EXPECT_TRUE(page->N2->isEnabled());
    // Chosen from the keyboard too: 编辑 on the selected node.
    page->EditMode = 0;
    QTest::keyClick(page->PopupMenu1, Qt::Key_Down);
    QTest::keyClick(page->PopupMenu1, Qt::Key_Down);
    QTest::keyClick(page->PopupMenu1, Qt::Key_Return);
    EXPECT_FALSE(page->PopupMenu1->isVisible());
    EXPECT_EQ(page->EditMode, 1);
    Select("拆除工程");
    page->TreeView1MouseDown();
    EXPECT_TRUE(page->N2->isEnabled() && page->N1->isEnabled() && page->N3->isEnabled());
    page->TreeView1->setCurrentItem(nullptr);
    page->TreeView1MouseDown();
    EXPECT_TRUE(page->N2->isEnabled());

    // A category with entries below it: only the message, nothing asked or deleted.
    Select("拆除工程");
    page->N2->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"该分类下面有小分类不能直接删除，请先删除小分类后再删除！"});
    EXPECT_EQ(Count("TBLITEM"), 109);

    // An item goes with its price row; No keeps it.
    Select("拆除非承重墙体");
    messages.Answers = {false};
    page->N2->trigger();
    EXPECT_EQ(Count("TBLITEM where ITEM_ID=3"), 1);
    messages.Answers = {true};
    Select("拆除非承重墙体");
    page->N2->trigger();
    EXPECT_EQ(messages.Texts().back(), "删除数据成功!");
    EXPECT_EQ(Count("TBLITEM where ITEM_ID=3") + Count("TBLPRODUCT where Product_ID=3"), 0);
    EXPECT_EQ(Node(page->TreeView1, "拆除非承重墙体"), nullptr);

    // A category's price row (the price page saves whatever node is selected) goes too.
    Select("施工项目");
    page->N1->trigger();
    page->Edit3->insert(QStringLiteral("空类"));
    page->Button2->click();
    Select("空类");
    frm->TabSheet3->TreeView2->setCurrentItem(Node(frm->TabSheet3->TreeView2, "空类"));
    frm->TabSheet3->Edit5->setText(QStringLiteral("9"));
    frm->TabSheet3->Button3->click();
    const std::string id = One("select ITEM_ID from TBLITEM where ITEM_NAME='空类'");
    EXPECT_EQ(One("select ProductPrice from TBLPRODUCT where Product_ID=" + id), "9");
    messages.Answers = {true};
    Select("空类");
    page->N2->trigger();
    EXPECT_EQ(Count("TBLPRODUCT where Product_ID=" + id), 0);

    // A price row that cannot be deleted keeps the item too.
    Raw(test::RefuseSql(dir.DatabasePath(), "keep", "TBLPRODUCT", "delete", "no"));
    messages.Answers = {true};
    Select("铲除墙面原有腻子层");
    page->N2->trigger();
    EXPECT_EQ(messages.Texts().back(), "删除数据失败！");
    EXPECT_EQ(Count("TBLITEM where ITEM_ID=4"), 1);
}

TEST_F(CatalogPages, PriceBoxRulesAndTheSave) {
    TPricePage* price = frm->TabSheet3;
    frm->PageControl1->setCurrentWidget(price);
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    price->TreeView2->setCurrentItem(Node(price->TreeView2, "拆除非承重墙体"));
    EXPECT_EQ(price->Edit4->text(), QStringLiteral("拆除非承重墙体"));
    EXPECT_TRUE(price->Edit4->isReadOnly());
    EXPECT_EQ(price->Edit5->text(), QStringLiteral("45"));
    EXPECT_EQ(price->Edit6->currentText(), QStringLiteral("平米"));
    EXPECT_EQ(price->ComboBox2->currentText(), QStringLiteral("标准型"));

    // Only digits and the point get in; Backspace is dropped too.
    price->Edit5->setFocus();
    price->Edit5->selectAll();
    QTest::keyClicks(price->Edit5, QStringLiteral("1a2,.5x"));
    QTest::keyClick(price->Edit5, Qt::Key_Backspace);
    EXPECT_EQ(price->Edit5->text(), QStringLiteral("12.5"));

    // Leaving an empty box fills in 0.00; a malformed number keeps the focus.
    price->Edit5->clear();
    price->MMMemo->setFocus();
    EXPECT_EQ(price->Edit5->text(), QStringLiteral("0.00"));
    EXPECT_TRUE(messages.Shown.empty());
    price->Edit5->setFocus();
    price->Edit5->setText(QStringLiteral("1..2"));
    price->MMMemo->setFocus();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"输入错误格式不正确，请重新输入"});
    EXPECT_TRUE(price->Edit5->hasFocus());

    // A price beyond the ceiling of figures is refused the same way, naming
    // the ceiling, also when the save is asked without leaving the box.
    const std::string beyond = "输入错误格式不正确，请重新输入（数字最多15位有效数字，数值和金额须小于1万亿）";
    messages.Shown.clear();
    price->Edit5->setText(QStringLiteral("1234567890123456"));
    price->MMMemo->setFocus();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{beyond});
    EXPECT_TRUE(price->Edit5->hasFocus());
    price->Edit5->setText(QStringLiteral("1000000000000"));
    price->Button3->click();
    EXPECT_EQ(messages.Texts().back(), beyond);
    EXPECT_EQ(One("select ProductPrice from TBLPRODUCT where Product_ID=3"), "45");

    price->Edit5->setText(QStringLiteral("12.50"));
    price->Edit6->setCurrentText(QStringLiteral("米"));
    price->MMMemo->setPlainText(QStringLiteral("  新做法\n第二行  "));
    price->Button3->click();
    EXPECT_EQ(messages.Texts().back(), "保存成功!");
    EXPECT_EQ(One("select ProductPrice||ProductUnit||ProductSpec from TBLPRODUCT where Product_ID=3"),
              "12.5米新做法\r\n第二行");

    // A unit that is not in the list selects nothing.
    Raw("update TBLPRODUCT set ProductUnit='吨' where Product_ID=4");
    price->TreeView2->setCurrentItem(Node(price->TreeView2, "铲除墙面原有腻子层"));
    EXPECT_EQ(price->Edit6->currentIndex(), -1);
}

TEST_F(CatalogPages, CsvExportAndImportFromThePricePage) {
    TPricePage* price = frm->TabSheet3;
    const QString file = QString::fromStdString(dir.Dir() + "目录.csv");
    price->ExportTo(file);
    EXPECT_EQ(messages.Texts().back().rfind("导出成功！", 0), 0u);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray text = f.readAll();
    f.close();

    ASSERT_TRUE(dm->ClearAllData());
    messages.Answers = {true};
    price->ImportFrom(file);
    EXPECT_EQ(messages.Shown.back().Text, "导入成功！");
    EXPECT_EQ(messages.Shown[messages.Shown.size() - 2].Text, "将新增109项，修改0项的价格资料。确定导入吗？");
    EXPECT_EQ(Count("TBLITEM"), 109);
    EXPECT_NE(Node(price->TreeView2, "拆除非承重墙体"), nullptr);

    // A malformed line is named and nothing is written.
    const int badLine = static_cast<int>(text.count('\n')) + 1;
    text.append("新类,新二级,新项,个,1.2.3,,,\r\n");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
    f.close();
    price->ImportFrom(file);
    EXPECT_EQ(messages.Texts().back(),
              "导入失败！第" + std::to_string(badLine) + "行格式不正确：单价“1.2.3”不是数字。没有导入任何数据。");
    EXPECT_EQ(Count("TBLITEM"), 109);

    // Saved by a Chinese spreadsheet in GBK: read, and the question says so.
    const QByteArray gbk(
        "\xD0\xC2\xC0\xE0,\xD0\xC2\xB6\xFE\xBC\xB6,\xD0\xC2\xCF\xEE,\xB8\xF6,10,,\r\n"); // 新类,新二级,新项,个,10,,
    messages.Answers = {true};
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(gbk);
    f.close();
    price->ImportFrom(file);
    EXPECT_EQ(messages.Shown.back().Text, "导入成功！");
    EXPECT_EQ(messages.Shown[messages.Shown.size() - 2].Text,
              "（文件不是UTF-8编码，已按GBK编码读取。）将新增3项，修改0项的价格资料。确定导入吗？");
    EXPECT_NE(Node(price->TreeView2, "新项"), nullptr);

    // Neither UTF-8 nor GBK: refused as a whole.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\xFF\xFE\x80,1\r\n");
    f.close();
    price->ImportFrom(file);
    EXPECT_EQ(messages.Texts().back(), "文件编码无法识别，请另存为 CSV UTF-8 后再导入。");
    EXPECT_EQ(Count("TBLITEM"), 112);
}

} // namespace
} // namespace lty
