// Catalog maintenance that needs more than one statement to stay whole.
#include "core/data/data_module.h"
#include "core/db/sql_text.h"

namespace lty {

bool TDM::DeleteCatalogEntry(const std::string& itemId) {
    std::string id;
    if (!IdLiteral(itemId, id)) return false;
    // A row with rows below it would leave them unreachable for ever.
    if (!RunSelect(Qry_Main, "select count(*) from TBLITEM where Parent_ID=" + id) || Qry_Main.Eof() ||
        Qry_Main.Fields(0).AsInteger() != 0)
        return false;
    try {
        ADOMain.BeginTrans();
    } catch (const std::exception&) {
        return false;
    }
    // The price row goes with the row, whatever its level: a category may
    // have one too, written by the price page.
    bool ok = DeleteProduct(itemId) && DeleteItem(itemId);
    try {
        if (ok) ADOMain.CommitTrans();
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        try {
            ADOMain.RollbackTrans();
        } catch (const std::exception&) {
        }
    }
    return ok;
}

} // namespace lty
