#include "core/data/data_module.h"
#include "core/data/database_check.h"

namespace lty {

TDM::TDM(UserMessages& messages, std::string programDirectory)
    : messages_(messages), programDirectory_(std::move(programDirectory)) {
    DataModuleCreate();
}

void TDM::DataModuleCreate() { ConnectDatabase(); }

std::string TDM::DatabasePath() const { return programDirectory_ + "Data/LTY.db"; }

bool TDM::ConnectDatabase() {
    ADOMain.Close();
    std::string problems;
    try {
        ADOMain.Open(DatabasePath());
        // Any file opens as a database, even an empty one; what the program
        // needs of it is checked now, not by the first save that fails.
        problems = CheckDatabaseFile(ADOMain);
        if (problems.empty()) return true;
    } catch (const std::exception&) {
        // Missing, unreadable or not a database: the message alone says it.
    }
    ADOMain.Close();
    std::string text("连接数据库失败，请检查数据库文件！");
    if (!problems.empty()) text.append("\n").append(problems);
    messages_.Show(text);
    return false;
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
