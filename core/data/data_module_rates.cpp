// The firm's rates (TBLSETTING) and a project's own rates and discount
// (TBLPROJECTRATE, one row beside the project's, written in the project's
// save transaction).
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "core/db/transaction.h"
#include "core/text/ascii_case.h"
#include "core/text/number_text.h"

#include <cmath>

namespace lty {
namespace {

constexpr const char* kOverheadSetting = "OverheadRate";
constexpr const char* kTaxSetting = "TaxRate";

bool PercentInRange(double v) { return std::isfinite(v) && v >= 0 && v <= 100; }

std::string NumberOrNull(const std::optional<double>& v) { return v ? SqlNumber(*v) : std::string("NULL"); }

} // namespace

TFirmRates TDM::LoadFirmRates() {
    TFirmRates rates;
    if (!RunSelect(Qry_tmp, std::string("select SETNAME,SETVALUE from TBLSETTING where SETNAME in ('") +
                                kOverheadSetting + "','" + kTaxSetting + "')"))
        return rates;
    for (; !Qry_tmp.Eof(); Qry_tmp.Next()) {
        double v = 0;
        // A value no program of ours wrote keeps the default.
        if (!TryStrToFloat(Qry_tmp.Fields(1).AsString(), v) || !PercentInRange(v)) continue;
        const std::string name = Qry_tmp.Fields(0).AsString();
        if (EqualsNoCase(name, kOverheadSetting))
            rates.OverheadRate = v;
        else if (EqualsNoCase(name, kTaxSetting))
            rates.TaxRate = v;
    }
    return rates;
}

bool TDM::SaveFirmRates(const TFirmRates& rates) {
    if (!PercentInRange(rates.OverheadRate) || !PercentInRange(rates.TaxRate)) return false;
    Transaction tx(ADOMain);
    if (!tx.Began()) {
        lastError_ = tx.Error();
        return false;
    }
    for (const auto& [name, value] : {std::pair{kOverheadSetting, rates.OverheadRate}, std::pair{kTaxSetting, rates.TaxRate}}) {
        if (!RunStatement(std::string("delete from TBLSETTING where SETNAME=") + SqlText(name))) return false;
        if (!RunStatement(std::string("insert into TBLSETTING(SETNAME,SETVALUE) values(") + SqlText(name) + "," +
                          SqlText(SqlNumber(value)) + ")"))
            return false;
    }
    if (tx.Commit()) return true;
    lastError_ = tx.Error();
    return false;
}

void TDM::LoadProjectRates(TREC_PROJECT& record) {
    record.Rates = {};
    // A database without the table, or a refused select, reads as no row:
    // the firm's rates and no discount, as before the table existed.
    if (!RunSelect(Qry_tmp, "select numOverheadRate,numTaxRate,intDiscountKind,numDiscountValue from TBLPROJECTRATE "
                            "where IntID=" +
                                SqlInteger(record.IntID)) ||
        Qry_tmp.RecordCount() == 0)
        return;
    TREC_PROJECTRATE& r = record.Rates;
    r.Stored = true;
    for (int f : {0, 1}) {
        const TField field = Qry_tmp.Fields(f);
        if (!field.IsNull() && PercentInRange(field.AsFloat())) (f == 0 ? r.OverheadRate : r.TaxRate) = field.AsFloat();
    }
    const std::int64_t kind = Qry_tmp.Fields(2).AsInteger();
    const double value = Qry_tmp.Fields(3).AsFloat();
    if ((kind == 1 || kind == 2) && std::isfinite(value) && value > 0 && (kind == 1 || value <= 100)) {
        r.DiscountKind = static_cast<int>(kind);
        r.DiscountValue = value;
    }
}

std::string TDM::ProjectRateValues(const TREC_PROJECTRATE& rates) {
    if (rates.IsDefault()) return {};
    return "," + NumberOrNull(rates.OverheadRate) + "," + NumberOrNull(rates.TaxRate) + "," +
           SqlInteger(rates.DiscountValue == 0 ? 0 : rates.DiscountKind) + "," + SqlNumber(rates.DiscountValue) + ")";
}

bool TDM::StoreProjectRates(const TREC_PROJECTRATE& rates, std::int64_t id, const std::string& values) {
    // Only a project that has or had a row of its own costs a statement.
    if (values.empty() && !rates.Stored) return true;
    const std::string key = SqlInteger(id);
    if (!RunStatement("delete from TBLPROJECTRATE where IntID=" + key)) return false;
    return values.empty() ||
           RunStatement("insert into TBLPROJECTRATE(IntID,numOverheadRate,numTaxRate,intDiscountKind,numDiscountValue) "
                        "values(" +
                        key + values);
}

} // namespace lty
