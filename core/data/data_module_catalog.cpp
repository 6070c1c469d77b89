// The catalog: the tree of construction items, their price rows and the
// grade and unit lists.
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "core/text/number_text.h"

#include <unordered_map>
#include <utility>

namespace lty {
namespace {

constexpr int kCategoryImage = 4;
constexpr int kOpenCategoryImage = 3;
constexpr int kItemImage = 2;
constexpr int kSelectedItemImage = 0;
constexpr int kItemLevel = 3;

bool FillNames(TDM& dm, const char* sql, TNameList& combo) {
    combo.Items.clear();
    combo.Select(-1);
    if (!dm.RunSelect(dm.Qry_Main, sql)) return false;
    combo.Items.reserve(static_cast<std::size_t>(dm.Qry_Main.RecordCount()));
    for (; !dm.Qry_Main.Eof(); dm.Qry_Main.Next()) combo.Items.push_back(dm.Qry_Main.Fields(0).AsString());
    if (!combo.Items.empty()) {
        combo.Select(0);
        combo.PickOnly = true;
    }
    return true;
}

} // namespace

void TDM::LoadCatalogTree(TTreeView& tree) {
    tree.Clear();
    TTreeNode& root = tree.Add("施工项目");
    root.Data = TTreeData("0", "施工项目");
    root.ImageIndex = kCategoryImage;
    root.SelectedIndex = kOpenCategoryImage;
    LoadItemChildren(root, "0", tree);
}

bool TDM::LoadItemChildren(TTreeNode& parent, const std::string& parentId, TTreeView&) {
    // The whole table in one select (one read transaction, no write lock),
    // then the tree in memory: a select per node cost a hundred times more.
    std::string literal;
    if (!IdLiteral(parentId, literal)) return false;
    TADOQuery query(ADOMain);
    // A row is a child of the rows whose id equals its Parent_ID; a NULL,
    // a text or a fraction there names no row.
    RunSelect(
        query,
        "select ITEM_ID,ITEM_NAME,Parent_ID from TBLItem where Parent_ID=cast(Parent_ID as integer) order by ITEM_ID");
    struct Row {
        std::string Id;
        std::string Name;
    };
    std::vector<Row> rows;
    // Each parent's rows, in ITEM_ID order since the rows come in that order.
    std::unordered_map<std::int64_t, std::vector<std::size_t>> children;
    if (query.Active()) rows.reserve(static_cast<std::size_t>(query.RecordCount()));
    for (; !query.Eof(); query.Next()) {
        std::string id = query.Fields(0).AsString();
        // 0 is the root's own id; a row claiming it would hang the root's
        // rows below themselves.
        if (id == "0") continue;
        children[query.Fields(2).AsInteger()].push_back(rows.size());
        rows.push_back({std::move(id), query.Fields(1).AsString()});
    }
    query.Close();

    // An explicit stack instead of recursion, and every row placed at most
    // once: a hand-edited row that is its own ancestor ends the walk instead
    // of looping, and a chain of thousands of levels cannot exhaust the stack.
    std::vector<bool> placed(rows.size(), false);
    std::vector<std::pair<TTreeNode*, std::int64_t>> pending{{&parent, std::stoll(literal)}};
    const std::size_t before = parent.Children.size();
    while (!pending.empty()) {
        auto [node, key] = pending.back();
        pending.pop_back();
        const auto it = children.find(key);
        if (it == children.end()) continue;
        // All of a node's children are added before any of them gets its
        // own, so the pointers kept on the stack stay valid.
        node->Children.reserve(node->Children.size() + it->second.size());
        const std::size_t first = node->Children.size();
        for (const std::size_t r : it->second) {
            if (placed[r]) continue;
            placed[r] = true;
            TTreeNode& child = node->AddChild(rows[r].Name);
            child.Data = TTreeData(rows[r].Id, rows[r].Name);
            const bool item = child.Level == kItemLevel;
            child.ImageIndex = item ? kItemImage : kCategoryImage;
            child.SelectedIndex = item ? kSelectedItemImage : kCategoryImage;
        }
        for (std::size_t c = first; c < node->Children.size(); ++c) {
            std::string childLiteral;
            if (IdLiteral(node->Children[c].Data->ID, childLiteral))
                pending.emplace_back(&node->Children[c], std::stoll(childLiteral));
        }
    }
    return parent.Children.size() > before;
}

TItemData TDM::GetProduct(const std::string& itemId, const std::string& itemName) {
    TItemData item;
    if (itemId.empty()) return item;
    std::string literal;
    if (IdLiteral(itemId, literal))
        RunSelect(Qry_Main,
                  "select ProductPrice,ProductUnit,ProductSpec,ProductClass from TBLPRODUCT where Product_ID=" +
                      literal);
    else
        Qry_Main.Close();
    if (Qry_Main.RecordCount() == 0) return item;
    item.SetItemName(itemName);
    const TField price = Qry_Main.Fields(0);
    item.SetPrice(price.IsNull() || Trim(price.AsString()).empty() ? 0.0 : price.AsFloat());
    item.SetUnit(Qry_Main.Fields(1).AsString());
    item.SetSpec(Qry_Main.Fields(2).AsString());
    item.SetGrade(Qry_Main.Fields(3).AsString());
    item.SetCount(1);
    return item;
}

bool TDM::SaveProduct(const TItemData& item) {
    if (item.ItemID.empty()) return false;
    std::string id;
    if (!IdLiteral(item.ItemID, id)) return false;
    RunSelect(Qry_Main, "select * from TBLProduct where Product_ID=" + id);
    std::string sql;
    if (Qry_Main.RecordCount() > 0) {
        sql.append("update TBLProduct set ProductPrice=").append(SqlNumber(item.Price));
        sql.append(",ProductUnit=").append(SqlText(item.Unit));
        sql.append(",ProductSpec=").append(SqlText(item.Spec));
        sql.append(",ProductClass=").append(SqlText(item.Grade));
        sql.append(" where Product_ID=").append(id);
    } else {
        sql.append("insert into TBLProduct(Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductCLass)values(");
        sql.append(id).append(",").append(SqlNumber(item.Price));
        sql.append(",").append(SqlText(item.Unit));
        sql.append(",").append(SqlText(item.Spec));
        sql.append(",").append(SqlText(item.Grade)).append(")");
    }
    return RunStatement(sql);
}

bool TDM::InsertItem(const TITEMREC& record) {
    std::string sql("insert into TBLITEM(ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID) values(");
    sql.append(SqlText(record.ItemName)).append(",");
    sql.append(SqlText(record.Remark1)).append(",");
    sql.append(SqlText(record.Remark2)).append(",");
    sql.append(SqlInteger(record.ItemType)).append(",");
    sql.append(SqlInteger(record.ID)).append(")");
    const bool ok = RunStatement(sql);
    messages_.Show(ok ? "保存成功！" : "保存失败！");
    return ok;
}

bool TDM::UpdateItem(const TITEMREC& record) {
    std::string sql("update TBLITEM set ITEM_NAME=");
    sql.append(SqlText(record.ItemName));
    sql.append(",CATALOGExtrainfo=").append(SqlText(record.Remark1));
    sql.append(",CatalogExtrainfo2=").append(SqlText(record.Remark2));
    sql.append(",Item_Type=").append(SqlInteger(record.ItemType));
    sql.append(" where ITEM_ID=").append(SqlInteger(record.ID));
    // An update that matched no row (the root, or an entry deleted meanwhile)
    // kept nothing and must not be reported as saved.
    const bool ok = RunStatement(sql) && ADOMain.Changes() > 0;
    messages_.Show(ok ? "保存成功！" : "保存失败！");
    return ok;
}

bool TDM::AddProductForNewestItem() {
    RunSelect(Qry_Main, "select max(Item_ID) from TBLITEM");
    const std::string newId = Qry_Main.RecordCount() == 0 ? std::string("1") : Qry_Main.Fields(0).AsString();
    // An empty catalog gives an empty maximum, which names no row.
    std::string id;
    if (!IdLiteral(newId, id)) return false;
    return RunStatement("insert into TBLPRODUCT(Product_ID)values(" + id + ")");
}

bool TDM::DeleteItem(const std::string& itemId) {
    std::string id;
    if (!IdLiteral(itemId, id)) return false;
    return RunStatement("delete from TBLITEM where ITEM_ID=" + id);
}

bool TDM::DeleteProduct(const std::string& itemId) {
    std::string id;
    if (!IdLiteral(itemId, id)) return false;
    return RunStatement("delete from TBLProduct where Product_ID=" + id);
}

bool TDM::FillClassNames(TNameList& combo) { return FillNames(*this, "select CLASSNAME from TBLCLASS", combo); }

bool TDM::FillUnitNames(TNameList& combo) { return FillNames(*this, "select UnitNAME from TBLUNIT", combo); }

std::string TDM::GetQuotationRemark(std::string& text) {
    text.clear();
    RunSelect(Qry_Main, "select CATALOGExtrainfo from TBLItem where ITEM_ID=1");
    if (Qry_Main.RecordCount() > 0) text = Qry_Main.Fields(0).AsString();
    return text;
}

bool TDM::GetCatalogEntry(const std::string& itemId, CatalogEntry& entry) {
    std::string id;
    if (IdLiteral(itemId, id))
        RunSelect(Qry_Main,
                  "select ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type from TBLItem where ITEM_ID=" + id);
    else
        Qry_Main.Close();
    if (Qry_Main.RecordCount() == 0) return false;
    entry.ItemName = Qry_Main.Fields(0).AsString();
    entry.Remark1 = Qry_Main.Fields(1).AsString();
    entry.Remark2 = Qry_Main.Fields(2).AsString();
    entry.ItemType = Qry_Main.Fields(3).AsString();
    return true;
}

} // namespace lty
