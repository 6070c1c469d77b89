// A project's measured rooms (TBLPROJECTROOMS) and a catalog entry's measure
// (TBLPRODUCTMEASURE): tables of their own beside the first nine, so a
// project or an entry without them reads and writes exactly as before.
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "core/db/transaction.h"

namespace lty {

void TDM::LoadRooms(TREC_PROJECT& record) {
    record.charRooms.clear();
    // A select the database refuses leaves the project without rooms: the
    // quotation itself is whole either way.
    if (RunSelect(Qry_Main, "select charRooms from TBLPROJECTROOMS where IntID=" + SqlInteger(record.IntID)) &&
        Qry_Main.RecordCount() > 0)
        record.charRooms = Qry_Main.Fields(0).AsString();
}

bool TDM::StoreRooms(std::int64_t id, const TREC_PROJECT& record, const TREC_PROJECT* loaded) {
    const bool had = loaded && !loaded->charRooms.empty();
    if (record.charRooms.empty() && !had) return true;
    const std::string key = SqlInteger(id);
    if (!RunStatement("delete from TBLPROJECTROOMS where IntID=" + key)) return false;
    if (record.charRooms.empty()) return true;
    return RunStatement("insert into TBLPROJECTROOMS(IntID,charRooms) values(" + key + "," + SqlText(record.charRooms) +
                        ")");
}

int TDM::GetProductMeasure(const std::string& itemId) {
    std::string literal;
    if (!IdLiteral(itemId, literal)) return 0;
    // Refused (a database that has not been given the table yet): no measure.
    if (!RunSelect(Qry_Main, "select intMeasure from TBLPRODUCTMEASURE where Product_ID=" + literal) ||
        Qry_Main.RecordCount() == 0)
        return 0;
    const std::int64_t m = Qry_Main.Fields(0).AsInteger();
    return m >= 0 && m <= 4 ? static_cast<int>(m) : 0;
}

bool TDM::SaveProductMeasure(const std::string& itemId, int measure) {
    std::string literal;
    if (!IdLiteral(itemId, literal) || measure < 0 || measure > 4) return false;
    Transaction tx(ADOMain);
    if (!tx.Began() || !RunStatement("delete from TBLPRODUCTMEASURE where Product_ID=" + literal)) return false;
    if (measure != 0 && !RunStatement("insert into TBLPRODUCTMEASURE(Product_ID,intMeasure) values(" + literal + "," +
                                      SqlInteger(measure) + ")"))
        return false;
    return tx.Commit();
}

} // namespace lty
