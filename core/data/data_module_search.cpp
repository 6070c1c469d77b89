// What the main window's searches and the catalog's tooltips read beside the
// two trees: one select each, never one per node.
#include "core/data/data_module.h"

#include "core/text/number_text.h"

namespace lty {

std::unordered_map<std::string, TDM::ProjectSearchFields> TDM::LoadProjectSearchFields() {
    std::unordered_map<std::string, ProjectSearchFields> fields;
    TADOQuery query(ADOMain);
    if (!RunSelect(query, "select intID,charProjectID,charCustomerTel from tblProject")) return fields;
    fields.reserve(static_cast<std::size_t>(query.RecordCount()));
    for (; !query.Eof(); query.Next())
        fields[query.Fields(0).AsString()] = {query.Fields(1).AsString(), query.Fields(2).AsString()};
    return fields;
}

std::unordered_map<std::string, TDM::CatalogPrice> TDM::LoadCatalogPrices() {
    std::unordered_map<std::string, CatalogPrice> prices;
    TADOQuery query(ADOMain);
    if (!RunSelect(query, "select Product_ID,ProductPrice,ProductUnit from TBLPRODUCT")) return prices;
    prices.reserve(static_cast<std::size_t>(query.RecordCount()));
    for (; !query.Eof(); query.Next()) {
        const TField price = query.Fields(1);
        double value = 0;
        // A price the maintenance window left empty or unreadable reads as none.
        if (!price.IsNull() && !TryStrToFloat(price.AsString(), value)) value = 0;
        prices[query.Fields(0).AsString()] = {value, query.Fields(2).AsString()};
    }
    return prices;
}

} // namespace lty
