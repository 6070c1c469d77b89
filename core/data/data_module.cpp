#include "core/data/data_module.h"

namespace lty {

TDM::TDM(UserMessages& messages, std::string programDirectory)
    : messages_(messages), programDirectory_(std::move(programDirectory)) {
    DataModuleCreate();
}

void TDM::DataModuleCreate() { ConnectDatabase(); }

std::string TDM::DatabasePath() const { return programDirectory_ + "Data/LTY.db"; }

bool TDM::ConnectDatabase() {
    ADOMain.Close();
    try {
        ADOMain.Open(DatabasePath());
        // An empty or foreign file opens as a database too; without the
        // project table it is not ours.
        ADOMain.Run("select count(*) from tblProject");
        return true;
    } catch (const std::exception&) {
        ADOMain.Close();
        messages_.Show("连接数据库失败，请检查数据库文件！");
        return false;
    }
}

bool TDM::RunSelect(TADOQuery& query, const std::string& sql) {
    query.Close();
    query.SetSQL(sql);
    try {
        query.Open();
        return true;
    } catch (const std::exception& e) {
        lastError_ = e.what();
        query.Close();
        return false;
    }
}

bool TDM::RunStatement(const std::string& sql) {
    Qry_Main.Close();
    Qry_Main.SetSQL(sql);
    try {
        Qry_Main.ExecSQL();
        return true;
    } catch (const std::exception& e) {
        lastError_ = e.what();
        Qry_Main.Close();
        return false;
    }
}

} // namespace lty
