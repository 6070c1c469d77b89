// What copying a project, its templates and repricing read and write: the
// priced catalog in one select and the named templates new projects start
// from.
#include "core/data/data_module.h"

#include "core/db/sql_text.h"
#include "core/db/transaction.h"
#include "core/text/date_text.h"
#include "core/text/number_text.h"

namespace lty {

std::vector<TDM::CatalogPriceRow> TDM::LoadCatalogPriceRows() {
    std::vector<CatalogPriceRow> rows;
    TADOQuery query(ADOMain);
    if (!RunSelect(query, "select TBLITEM.ITEM_ID,TBLITEM.ITEM_NAME,TBLPRODUCT.ProductUnit,TBLPRODUCT.ProductPrice "
                          "from TBLITEM inner join TBLPRODUCT on TBLPRODUCT.Product_ID=TBLITEM.ITEM_ID"))
        return rows;
    rows.reserve(static_cast<std::size_t>(query.RecordCount()));
    for (; !query.Eof(); query.Next()) {
        CatalogPriceRow row{query.Fields(0).AsString(), query.Fields(1).AsString(), query.Fields(2).AsString(), 0};
        const TField price = query.Fields(3);
        if (!price.IsNull() && !TryStrToFloat(price.AsString(), row.Price)) row.Price = 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TDM::TemplateInfo> TDM::LoadTemplates() {
    std::vector<TemplateInfo> out;
    TADOQuery query(ADOMain);
    if (!RunSelect(query, "select ID,charName,dateCreated from TBLTEMPLATE order by charName,ID")) return out;
    out.reserve(static_cast<std::size_t>(query.RecordCount()));
    for (; !query.Eof(); query.Next())
        out.push_back({query.Fields(0).AsInteger(), query.Fields(1).AsString(), query.Fields(2).AsString()});
    return out;
}

std::optional<TDM::ProjectTemplate> TDM::LoadTemplate(std::int64_t id) {
    TADOQuery query(ADOMain);
    if (!RunSelect(query, "select charName,charQuotation,charRooms from TBLTEMPLATE where ID=" + SqlInteger(id)) ||
        query.RecordCount() == 0)
        return std::nullopt;
    return ProjectTemplate{query.Fields(0).AsString(), query.Fields(1).AsString(), query.Fields(2).AsString()};
}

bool TDM::SaveTemplate(const std::string& name, const std::string& quotation, const std::string& rooms) {
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) {
        messages_.Show("模板名称不能为空！");
        return false;
    }
    const std::string where = " from TBLTEMPLATE where charName=" + SqlText(trimmed);
    {
        TADOQuery query(ADOMain);
        if (RunSelect(query, "select ID" + where) && query.RecordCount() > 0 &&
            !messages_.Ask("已有名为「" + trimmed + "」的模板，是否替换？", "保存为模板"))
            return false;
    }
    // The question waits outside the transaction; the name is looked at
    // again inside it, so two saves under one name leave one template.
    Transaction tx(ADOMain);
    const bool stored = tx.Began() && RunStatement("delete" + where) &&
                        RunStatement("insert into TBLTEMPLATE (charName,charQuotation,charRooms,dateCreated) values (" +
                                     SqlText(trimmed) + "," + SqlText(quotation) + "," + SqlText(rooms) + "," +
                                     SqlText(TodayText()) + ")") &&
                        tx.Commit();
    if (!stored) {
        messages_.Show("保存模板失败！\n" + (tx.Error().empty() ? lastError_ : tx.Error()));
        return false;
    }
    messages_.Show("模板「" + trimmed + "」已保存！");
    return true;
}

bool TDM::DeleteTemplate(std::int64_t id) {
    return RunStatement("delete from TBLTEMPLATE where ID=" + SqlInteger(id)) && ADOMain.Changes() == 1;
}

} // namespace lty
