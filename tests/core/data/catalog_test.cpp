#include "tests/core/data/data_module_fixture.h"

#include <algorithm>
#include <random>

namespace lty {
namespace {

using test::DataModuleTest;

const std::string kWholeCatalog =
    "select ITEM_ID,ITEM_NAME,Parent_ID from TBLItem where Parent_ID=cast(Parent_ID as integer) order by ITEM_ID";

void ExpectImages(const TTreeNode& node) {
    const bool item = node.Level == 3;
    EXPECT_EQ(node.ImageIndex, item ? 2 : 4) << node.Text;
    EXPECT_EQ(node.SelectedIndex, item ? 0 : 4) << node.Text;
    EXPECT_FALSE(node.Expanded);
    for (const auto& c : node.Children) ExpectImages(c);
}

TEST_F(DataModuleTest, CatalogTreeLoadsEveryLevelInOneSelect) {
    TTreeView tree;
    tree.Add("stale");
    dm.LoadCatalogTree(tree);
    ASSERT_EQ(tree.Items.size(), 1u);
    const TTreeNode& root = tree.Items[0];
    EXPECT_EQ(root.Text, "施工项目");
    EXPECT_EQ(*root.Data, TTreeData("0", "施工项目"));
    EXPECT_EQ(root.ImageIndex, 4);
    EXPECT_EQ(root.SelectedIndex, 3);
    EXPECT_EQ(tree.Count(), 110u);
    // The whole catalog in one select, however many nodes.
    EXPECT_EQ(trace, std::vector<std::string>{kWholeCatalog});

    ASSERT_EQ(root.Children.size(), 8u);
    const TTreeNode& first = root.Children[0];
    EXPECT_EQ(*first.Data, TTreeData("1", "拆除及基础工程"));
    EXPECT_EQ(first.Children[0].Children[0].Text, "拆除非承重墙体");
    EXPECT_EQ(first.Children[0].Children[0].Level, 3);
    for (const auto& c : root.Children) ExpectImages(c);
}

TEST_F(DataModuleTest, CatalogTreeOrderOrphansDeepRowsAndAnEmptyCatalog) {
    // Siblings by ITEM_ID whatever their names; an orphan and its subtree
    // never show; a fifth level shows like a category.
    Raw("insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values"
        "(200,'Z',0),(202,'B',200),(201,'A',200),(203,'C',201),(204,'D',203),"
        "(300,'orphan',999),(301,'below orphan',300),(0,'claims the root id',0)");
    TTreeView tree;
    dm.LoadCatalogTree(tree);
    const TTreeNode& z = tree.Items[0].Children.back();
    EXPECT_EQ(z.Text, "Z");
    ASSERT_EQ(z.Children.size(), 2u);
    EXPECT_EQ(z.Children[0].Text, "A");
    EXPECT_EQ(z.Children[1].Text, "B");
    const TTreeNode& c = z.Children[0].Children.at(0);
    EXPECT_EQ(c.ImageIndex, 2);
    const TTreeNode& d = c.Children.at(0);
    EXPECT_EQ(d.Level, 4);
    EXPECT_EQ(d.ImageIndex, 4);
    EXPECT_EQ(d.SelectedIndex, 4);
    EXPECT_EQ(tree.Count(), 110u + 5u);

    // Deleting a whole catalog leaves the root alone.
    ASSERT_TRUE(dm.ClearAllData());
    dm.LoadCatalogTree(tree);
    EXPECT_EQ(tree.Count(), 1u);
    EXPECT_FALSE(dm.LoadItemChildren(tree.Items[0], "0", tree));
}

TEST_F(DataModuleTest, GetProductPricesAnItemOrAnswersDefaults) {
    const TItemData none = dm.GetProduct("", "x");
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(none.ItemID, "1");
    EXPECT_EQ(none.ItemName, "");
    EXPECT_EQ(none.Count, 0);

    const TItemData p = dm.GetProduct("3", "拆墙");
    EXPECT_EQ(trace.back(),
              "select ProductPrice,ProductUnit,ProductSpec,ProductClass from TBLPRODUCT where Product_ID=3");
    EXPECT_EQ(p.ItemName, "拆墙");
    EXPECT_EQ(p.Price, 45);
    EXPECT_EQ(p.Count, 1);
    EXPECT_EQ(p.Unit, "平米");
    EXPECT_EQ(p.Grade, "标准型");
    EXPECT_EQ(p.Spec.substr(0, 12), "人工拆除");
    EXPECT_EQ(p.ItemID, "1"); // not filled from the id
    EXPECT_EQ(p.Amount, 0);

    // A category's empty price row: price 0, count 1.
    const TItemData empty = dm.GetProduct("2", "拆除工程");
    EXPECT_EQ(empty.Price, 0);
    EXPECT_EQ(empty.Count, 1);
    // An empty text where the price belongs (a file engine keeps what it is given).
    if (!dir.Server()) {
        Raw("update TBLPRODUCT set ProductPrice='' where Product_ID=2");
        EXPECT_EQ(dm.GetProduct("2", "拆除工程").Price, 0);
    }

    // No price row at all: the defaults, name not filled in.
    Raw("delete from TBLPRODUCT where Product_ID=3");
    const TItemData gone = dm.GetProduct("3", "拆墙");
    EXPECT_EQ(gone.ItemName, "");
    EXPECT_EQ(gone.Count, 0);
    EXPECT_EQ(gone.Price, 0);

    Raw("alter table TBLPRODUCT rename to TBLGone");
    EXPECT_THROW(dm.GetProduct("3", "拆墙"), EngineError);
}

TEST_F(DataModuleTest, SaveProductUpdatesOrInserts) {
    TItemData item;
    item.SetItemID("");
    EXPECT_FALSE(dm.SaveProduct(item));
    EXPECT_TRUE(trace.empty());

    item.SetItemID("3");
    item.SetPrice(12.50);
    item.SetUnit("米");
    item.SetSpec("师傅's 做法");
    item.SetGrade("精品型");
    EXPECT_TRUE(dm.SaveProduct(item));
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0], "select * from TBLProduct where Product_ID=3");
    EXPECT_EQ(trace[1], "update TBLProduct set ProductPrice=12.5,ProductUnit='米',ProductSpec='师傅''s "
                        "做法',ProductClass='精品型' where Product_ID=3");
    EXPECT_EQ(dm.GetProduct("3", "n").Spec, "师傅's 做法");

    Raw("delete from TBLPRODUCT where Product_ID=4");
    trace.clear();
    item.SetItemID("4");
    item.SetPrice(0);
    item.SetSpec("s");
    EXPECT_TRUE(dm.SaveProduct(item));
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[1], "insert into "
                        "TBLProduct(Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductCLass)values(4,0,'米','s',"
                        "'精品型')");
    EXPECT_EQ(RawText("select ProductClass from TBLPRODUCT where Product_ID=4"), "精品型");
    // An id that is no number is a failed save; nothing reaches the engine.
    trace.clear();
    item.SetItemID("4;x");
    EXPECT_FALSE(dm.SaveProduct(item));
    EXPECT_TRUE(trace.empty());
}

TEST_F(DataModuleTest, NewCatalogRowGetsItsPriceRow) {
    TITEMREC rec;
    rec.SetID(2);
    rec.SetItemName("新项目");
    rec.SetRemark1("第一行\r\n第二行");
    rec.SetRemark2("");
    rec.SetItemType(1);
    EXPECT_TRUE(dm.InsertItem(rec));
    EXPECT_EQ(trace.back(), "insert into TBLITEM(ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID) "
                            "values('新项目','第一行\r\n第二行','',1,2)");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"保存成功！"});
    EXPECT_TRUE(dm.AddProductForNewestItem());
    EXPECT_EQ(trace[trace.size() - 2], "select max(Item_ID) from TBLITEM");
    EXPECT_EQ(trace.back(), "insert into TBLPRODUCT(Product_ID)values(110)");
    EXPECT_EQ(RawText("select Parent_ID from TBLITEM where ITEM_ID=110"), "2");
    EXPECT_EQ(RawCount("TBLPRODUCT where Product_ID=110"), 1);
}

TEST_F(DataModuleTest, FailedInsertGivesNoSecondPriceRow) {
    RefuseOn("TBLITEM", "insert");
    TITEMREC rec;
    rec.SetItemName("x");
    EXPECT_FALSE(dm.InsertItem(rec));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"保存失败！"});
    // The caller goes on with the price row, which then targets the newest
    // existing entry: it already has one, and keeps exactly one.
    EXPECT_FALSE(dm.AddProductForNewestItem());
    EXPECT_EQ(trace.back(), "insert into TBLPRODUCT(Product_ID)values(109)");
    EXPECT_EQ(RawCount("TBLPRODUCT where Product_ID=109"), 1);
    EXPECT_EQ(RawCount("TBLPRODUCT"), 109);
}

TEST_F(DataModuleTest, AddProductOnAnEmptyCatalogFails) {
    Raw("delete from TBLITEM; delete from TBLPRODUCT");
    EXPECT_FALSE(dm.AddProductForNewestItem());
    EXPECT_EQ(trace, std::vector<std::string>{"select max(Item_ID) from TBLITEM"});
    EXPECT_EQ(RawCount("TBLPRODUCT"), 0);
}

TEST_F(DataModuleTest, UpdateItemAndTheEntrySelect) {
    TITEMREC rec;
    rec.SetID(3);
    rec.SetItemName("Tom's wall");
    rec.SetRemark1("a'b");
    rec.SetRemark2("c");
    rec.SetItemType(7);
    EXPECT_TRUE(dm.UpdateItem(rec));
    EXPECT_EQ(trace.back(), "update TBLITEM set ITEM_NAME='Tom''s wall',CATALOGExtrainfo='a''b',CatalogExtrainfo2='c',"
                            "Item_Type=7 where ITEM_ID=3");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"保存成功！"});
    EXPECT_EQ(RawCount("TBLITEM where ITEM_NAME='Tom''s wall'"), 1); // no other row reached

    TDM::CatalogEntry entry;
    EXPECT_TRUE(dm.GetCatalogEntry("3", entry));
    EXPECT_EQ(trace.back(),
              "select ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type from TBLItem where ITEM_ID=3");
    EXPECT_EQ(entry.ItemName, "Tom's wall");
    EXPECT_EQ(entry.Remark1, "a'b");
    EXPECT_EQ(entry.Remark2, "c");
    EXPECT_EQ(entry.ItemType, "7");
    // The root (id 0) has no row: the fields keep what they held.
    EXPECT_FALSE(dm.GetCatalogEntry("0", entry));
    EXPECT_EQ(entry.ItemName, "Tom's wall");

    // Updating the root, or an entry deleted meanwhile, matches nothing:
    // nothing was kept, so it is not reported as saved.
    rec.SetID(0);
    EXPECT_FALSE(dm.UpdateItem(rec));
    EXPECT_EQ(messages.Texts().back(), "保存失败！");
    rec.SetID(999);
    EXPECT_FALSE(dm.UpdateItem(rec));

    RefuseOn("TBLITEM", "update");
    rec.SetID(3);
    EXPECT_FALSE(dm.UpdateItem(rec));
    EXPECT_EQ(messages.Texts().back(), "保存失败！");
}

TEST_F(DataModuleTest, DeletesOfEntriesAndPriceRows) {
    EXPECT_TRUE(dm.DeleteProduct("3"));
    EXPECT_TRUE(dm.DeleteItem("3"));
    EXPECT_EQ(trace, (std::vector<std::string>{"delete from TBLProduct where Product_ID=3",
                                               "delete from TBLITEM where ITEM_ID=3"}));
    EXPECT_EQ(RawCount("TBLITEM where ITEM_ID=3"), 0);
    EXPECT_EQ(RawCount("TBLPRODUCT where Product_ID=3"), 0);
    EXPECT_TRUE(dm.DeleteItem("999"));
    EXPECT_FALSE(dm.DeleteItem("1 or 1=1"));
    EXPECT_FALSE(dm.DeleteProduct(""));
    EXPECT_EQ(trace.size(), 3u);
    EXPECT_EQ(RawCount("TBLITEM"), 108);
}

TEST_F(DataModuleTest, NameListsFillAndSelectTheFirst) {
    TNameList classes;
    classes.Items = {"stale"};
    EXPECT_TRUE(dm.FillClassNames(classes));
    EXPECT_EQ(trace.back(), "select CLASSNAME from TBLCLASS");
    EXPECT_EQ(classes.Items, (std::vector<std::string>{"经济型", "标准型", "精品型", "豪华型"}));
    EXPECT_EQ(classes.ItemIndex, 0);
    EXPECT_EQ(classes.Text, "经济型");
    EXPECT_TRUE(classes.PickOnly);

    TNameList units;
    EXPECT_TRUE(dm.FillUnitNames(units));
    EXPECT_EQ(trace.back(), "select UnitNAME from TBLUNIT");
    EXPECT_EQ(units.Items.size(), 15u);
    EXPECT_EQ(units.Text, "平米");

    // An empty list: true, nothing selected, free typing stays.
    Raw("delete from TBLUNIT");
    TNameList none;
    none.Text = "typed";
    EXPECT_TRUE(dm.FillUnitNames(none));
    EXPECT_TRUE(none.Items.empty());
    EXPECT_EQ(none.Text, "");
    EXPECT_FALSE(none.PickOnly);

    Raw("alter table TBLCLASS rename to TBLGone");
    EXPECT_FALSE(dm.FillClassNames(classes));
    EXPECT_TRUE(classes.Items.empty());
    EXPECT_EQ(classes.Text, "");
    EXPECT_EQ(classes.ItemIndex, -1);
}

TEST_F(DataModuleTest, QuotationRemarkComesFromTheFirstEntry) {
    std::string text = "old";
    const std::string remark = dm.GetQuotationRemark(text);
    EXPECT_EQ(trace, std::vector<std::string>{"select CATALOGExtrainfo from TBLItem where ITEM_ID=1"});
    EXPECT_EQ(remark, text);
    EXPECT_EQ(text.rfind("1. 本报价有效期为三十天", 0), 0u);
    EXPECT_NE(text.find("\r\n2. "), std::string::npos);

    Raw("delete from TBLITEM where ITEM_ID=1");
    EXPECT_EQ(dm.GetQuotationRemark(text), "");
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace lty

namespace lty {
namespace {

using test::DataModuleTest;

// The catalog walk as it was first built: one select per node, recursion
// per level. For every catalog it can load, the tree must come out the same.
void ReferenceWalk(TDM& dm, TTreeNode& parent, const std::string& parentId) {
    TADOQuery query(dm.ADOMain);
    dm.RunSelect(query, "select ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Item_Provider,"
                        "Item_Date from TBLItem where Parent_ID=" +
                            parentId + " order by ITEM_ID");
    for (; !query.Eof(); query.Next()) {
        std::string id = query.Fields(0).AsString();
        if (id == "0") continue;
        std::string name = query.Fields(1).AsString();
        TTreeNode& node = parent.AddChild(name);
        node.Data = TTreeData(id, std::move(name));
        ReferenceWalk(dm, node, id);
        node.ImageIndex = node.Level == 3 ? 2 : 4;
        node.SelectedIndex = node.Level == 3 ? 0 : 4;
    }
}

void ExpectSameTree(const TTreeNode& a, const TTreeNode& b, const std::string& path) {
    ASSERT_EQ(a.Text, b.Text) << path;
    ASSERT_EQ(a.Data, b.Data) << path;
    ASSERT_EQ(a.Level, b.Level) << path;
    ASSERT_EQ(a.ImageIndex, b.ImageIndex) << path;
    ASSERT_EQ(a.SelectedIndex, b.SelectedIndex) << path;
    ASSERT_EQ(a.Expanded, b.Expanded) << path;
    ASSERT_EQ(a.Children.size(), b.Children.size()) << path;
    for (std::size_t i = 0; i < a.Children.size(); ++i)
        ExpectSameTree(a.Children[i], b.Children[i], path + "/" + a.Children[i].Text);
}

void ExpectTreeAsTheReferenceWalk(TDM& dm) {
    TTreeView tree;
    dm.LoadCatalogTree(tree);
    TTreeNode root;
    root.Text = "施工项目";
    root.Data = TTreeData("0", "施工项目");
    root.ImageIndex = 4;
    root.SelectedIndex = 3;
    ReferenceWalk(dm, root, "0");
    ASSERT_EQ(tree.Items.size(), 1u);
    ExpectSameTree(tree.Items[0], root, "");
}

TEST_F(DataModuleTest, CatalogTreeIsTheReferenceWalksNodeForNode) {
    ExpectTreeAsTheReferenceWalk(dm); // the shipped catalog

    // A large catalog whose ids run against the tree (children older than
    // their parents), with orphans, a loop no root reaches, a row claiming
    // the root's id, empty and NULL names, and branches six levels deep.
    std::mt19937 random(7);
    std::string sql = "begin;delete from TBLITEM;";
    std::vector<int> ids(3000);
    for (int i = 0; i < 3000; ++i) ids[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(ids.begin(), ids.end(), random);
    for (int i = 0; i < 3000; ++i) {
        // Row i hangs below one of the rows before it in the shuffled order, or at the top.
        const int parent = i < 8 ? 0 : ids[random() % static_cast<unsigned>(i)];
        const std::string name = i % 97 == 0 ? "null" : "'项目" + std::to_string(random() % 50) + "'";
        sql.append("insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(")
            .append(std::to_string(ids[static_cast<std::size_t>(i)]))
            .append(",")
            .append(name)
            .append(",")
            .append(std::to_string(parent))
            .append(");");
    }
    sql += "insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(5001,'orphan',9999),(5002,'below orphan',5001),"
           "(5003,'loop a',5004),(5004,'loop b',5003),(0,'claims the root id',0),(5005,'',1);";
    // A parent id that is no whole number: only a file keeps one (a server's
    // integer column rounds it to a real parent).
    if (!dir.Server()) sql += "insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(5006,'frac',1.5);";
    Raw(sql + "commit");
    ExpectTreeAsTheReferenceWalk(dm);
    TTreeView tree;
    dm.LoadCatalogTree(tree);
    EXPECT_EQ(tree.Count(), 1u + 3000u + 1u);

    // Below any node, as the maintenance window reloads one branch.
    TTreeNode branch;
    branch.Level = 1;
    EXPECT_TRUE(dm.LoadItemChildren(branch, std::to_string(ids[0]), tree));
    TTreeNode reference;
    reference.Level = 1;
    ReferenceWalk(dm, reference, std::to_string(ids[0]));
    ExpectSameTree(branch, reference, "branch");
    EXPECT_FALSE(dm.LoadItemChildren(branch, "5005", tree));
    EXPECT_FALSE(dm.LoadItemChildren(branch, "x", tree));
}

TEST_F(DataModuleTest, CatalogTreeSurvivesLoopsAndDeepChains) {
    // A hand-edited file whose TBLITEM lost its key: two rows share id 1, and
    // the second hangs below the first's child, so the first is its own
    // ancestor. Every row shows once and the load ends. (A server's table
    // keeps its key.)
    if (!dir.Server()) {
        Raw("drop table TBLITEM;"
            "create table TBLITEM(ITEM_ID INTEGER, ITEM_NAME TEXT, CATALOGExtrainfo TEXT, CatalogExtrainfo2 TEXT,"
            " Item_Type INTEGER, Parent_ID INTEGER, Item_Provider TEXT, Item_Date DATE);"
            "insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(1,'A',0),(2,'B',1),(1,'A again',2),(3,'C',3)");
        TTreeView tree;
        dm.LoadCatalogTree(tree);
        ASSERT_EQ(tree.Items.size(), 1u);
        const TTreeNode& a = tree.Items[0].Children.at(0);
        EXPECT_EQ(a.Text, "A");
        const TTreeNode& b = a.Children.at(0);
        EXPECT_EQ(b.Text, "B");
        ASSERT_EQ(b.Children.size(), 1u);
        EXPECT_EQ(b.Children[0].Text, "A again");
        EXPECT_TRUE(b.Children[0].Children.empty()); // B is placed already
        EXPECT_EQ(tree.Count(), 4u);
    }

    // A chain of 16,000 nested rows: loaded, counted, expanded and freed
    // without running out of stack.
    std::string sql = "begin;delete from TBLITEM;";
    for (int i = 1; i <= 16000; ++i)
        sql.append("insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(")
            .append(std::to_string(i))
            .append(",'层',")
            .append(std::to_string(i - 1))
            .append(");");
    Raw(sql + "commit");
    {
        TTreeView deep;
        dm.LoadCatalogTree(deep);
        EXPECT_EQ(deep.Count(), 16001u);
        deep.FullExpand();
        const TTreeNode* n = &deep.Items[0];
        while (!n->Children.empty()) n = &n->Children[0];
        EXPECT_EQ(n->Level, 16000);
        EXPECT_EQ(*n->Data, TTreeData("16000", "层"));
        EXPECT_TRUE(n->Expanded);
    }
}

} // namespace
} // namespace lty
