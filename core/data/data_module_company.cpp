// Reference data: the company row, the designers, the management password,
// and the reset that wipes catalog, prices, projects and print rows.
#include "core/data/data_module.h"
#include "core/data/password_hash.h"
#include "core/db/sql_text.h"
#include "core/db/transaction.h"
#include "core/text/number_text.h"

namespace lty {

TCompanyInfo TDM::LoadCompanyInfo() {
    TCompanyInfo info;
    RunSelect(Qry_Main, "select COM_NAME,COM_ADDRESS,COM_TEL1,COM_TEL2,COM_PERSON from TBLCOMPANYINFO");
    if (Qry_Main.RecordCount() == 0) return info;
    info.SetName(Qry_Main.FieldByName("COM_NAME").AsString());
    info.SetAddress(Qry_Main.FieldByName("COM_ADDRESS").AsString());
    info.SetTel1(Qry_Main.FieldByName("COM_TEL1").AsString());
    info.SetTel2(Qry_Main.FieldByName("COM_TEL2").AsString());
    info.SetPerson(Qry_Main.FieldByName("COM_PERSON").AsString());
    return info;
}

bool TDM::UpdateCompanyInfo(const TCompanyInfo* info) {
    if (!info) return false;
    std::string sql("update TBLCOMPANYINFO set COM_NAME=");
    sql.append(SqlText(info->Name));
    sql.append(",COM_ADDRESS=").append(SqlText(info->Address));
    sql.append(",COM_TEL1=").append(SqlText(info->Tel1));
    sql.append(",COM_TEL2=").append(SqlText(info->Tel2));
    sql.append(",COM_PERSON=").append(SqlText(info->Person));
    if (!RunStatement(sql)) return false;
    if (ADOMain.Changes() > 0) return true;
    // No company row yet: an update alone would report success and keep nothing.
    std::string insert("insert into TBLCOMPANYINFO(COM_NAME,COM_ADDRESS,COM_TEL1,COM_TEL2,COM_PERSON)values(");
    insert.append(SqlText(info->Name)).append(",").append(SqlText(info->Address)).append(",");
    insert.append(SqlText(info->Tel1)).append(",").append(SqlText(info->Tel2)).append(",");
    insert.append(SqlText(info->Person)).append(")");
    return RunStatement(insert);
}

void TDM::FillDesignerGrid(TDesignerGrid& grid) {
    RunSelect(adoDes, "select ID,DESNAME,DESTEL,DESADDRESS from TBLDESIGNER");
    grid.SetRowCount(adoDes.RecordCount() + 1);
    for (auto& h : grid.RowHeights) h = 18;
    std::size_t row = 1;
    for (; !adoDes.Eof(); adoDes.Next(), ++row) {
        auto& cells = grid.Rows[row];
        for (int c = 0; c < 4; ++c) cells[static_cast<std::size_t>(c)] = adoDes.Fields(c).AsString();
    }
}

bool TDM::InsertDesigner(const TDes& designer) {
    std::string sql("insert into TBLDESIGNER(DESNAME,DESTEL,DESADDRESS)values(");
    sql.append(SqlText(designer.Name)).append(",");
    sql.append(SqlText(designer.Tel)).append(",");
    sql.append(SqlText(designer.Address)).append(")");
    return RunStatement(sql);
}

bool TDM::DeleteDesigner(const std::string& id) {
    std::string literal;
    if (!IdLiteral(id, literal)) return false;
    return RunStatement("delete from TBLDESIGNER where id=" + literal);
}

void TDM::FillDesignerNames(TNameList& combo) {
    RunSelect(adoDes, "select distinct DESNAME From TBLDESIGNER");
    combo.Items.clear();
    for (; !adoDes.Eof(); adoDes.Next()) combo.Items.push_back(adoDes.Fields(0).AsString());
    combo.Select(combo.Items.empty() ? -1 : 0);
}

bool TDM::ClearAllData() {
    Transaction tx(ADOMain);
    if (!tx.Began()) return false;
    // One batch (one round trip to a server), stopping at the first
    // failure: after a full disk the engine has already rolled everything
    // back, and a later delete would then stand alone. The projects'
    // companions go with the projects, the entries' measures with the
    // catalog, the templates (quotations of that catalog) too; the firm's
    // settings stay, as its company data and designers do.
    try {
        ADOMain.RunBatch({"delete from TBLITEM", "delete from TBLProduct", "delete from tblProject",
                          "delete From TMP_Print", "delete from TBLPROJECTRATE", "delete from TBLPROJECTROOMS",
                          "delete from TBLPROJECTSTAMP", "delete from TBLPROJECTVERSION",
                          "delete from TBLPRODUCTMEASURE", "delete from TBLTEMPLATE"});
    } catch (const std::exception& e) {
        lastError_ = e.what();
        return false; // the transaction rolls back
    }
    preparedPrintRows_.reset();
    return tx.Commit();
}

bool TDM::CheckPassword(const std::string& entered) { return VerifyPassword(entered) == PasswordVerdict::Matches; }

PasswordVerdict TDM::VerifyPassword(const std::string& entered) {
    if (!RunSelect(Qry_Main, "select PSNAME from TBLPASSWORD")) return PasswordVerdict::Differs;
    if (Qry_Main.Eof()) return PasswordVerdict::Differs;
    return CheckPasswordAgainst(entered, Trim(Qry_Main.FieldByName("PSNAME").AsString()));
}

bool TDM::UpdatePassword(const std::string& newPassword) {
    // Stored as a salted hash; a clear-text row of an older version is replaced.
    const std::string stored = HashPassword(newPassword);
    if (stored.empty()) return false;
    if (!RunStatement("update TBLPassWord set PSNAME=" + SqlText(stored))) return false;
    if (ADOMain.Changes() > 0) return true;
    // No password row: without one no entry would ever be accepted again.
    return RunStatement("insert into TBLPASSWORD(PSNAME)values(" + SqlText(stored) + ")");
}

} // namespace lty
