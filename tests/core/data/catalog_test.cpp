#include "tests/core/data/data_module_fixture.h"

namespace lty {
namespace {

using test::DataModuleTest;

const std::string kS1 = "select ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Item_Provider,Item_Date "
                        "from TBLItem where Parent_ID=";

void ExpectImages(const TTreeNode& node) {
    const bool item = node.Level == 3;
    EXPECT_EQ(node.ImageIndex, item ? 2 : 4) << node.Text;
    EXPECT_EQ(node.SelectedIndex, item ? 0 : 4) << node.Text;
    EXPECT_FALSE(node.Expanded);
    for (const auto& c : node.Children) ExpectImages(c);
}

TEST_F(DataModuleTest, CatalogTreeLoadsEveryLevelOneSelectPerNode) {
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
    EXPECT_EQ(trace.size(), 110u);
    EXPECT_EQ(trace[0], kS1 + "0 order by ITEM_ID");
    EXPECT_EQ(trace[1], kS1 + "1 order by ITEM_ID");
    // Depth first: a node's whole subtree before its next sibling.
    EXPECT_EQ(trace[2], kS1 + "2 order by ITEM_ID");
    EXPECT_EQ(trace[3], kS1 + "3 order by ITEM_ID");

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
    Raw("update TBLPRODUCT set ProductPrice='' where Product_ID=2");
    EXPECT_EQ(dm.GetProduct("2", "拆除工程").Price, 0);

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
