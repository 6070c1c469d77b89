#include "core/data/data_module.h"
#include "core/data/database_check.h"
#include "core/data/server_conf.h"

#include <filesystem>

namespace lty {

TDM::TDM(UserMessages& messages, std::string programDirectory)
    : messages_(messages), programDirectory_(std::move(programDirectory)) {
    DataModuleCreate();
}

void TDM::DataModuleCreate() { ConnectDatabase(); }

std::string TDM::DatabasePath() const { return programDirectory_ + "Data/LTY.db"; }

bool TDM::ConnectDatabase() {
    ADOMain.Close();
    // Data/server.conf beside the file names an office server instead.
    std::error_code ec;
    const bool onServer = std::filesystem::exists(ServerConfPath(programDirectory_), ec);
    location_ = onServer ? "服务器" : "本机";
    std::string problems;
    try {
        if (onServer) {
            const auto conninfo = ReadServerConf(programDirectory_);
            if (!conninfo) throw EngineError(ServerConfPath(programDirectory_) + " 已不存在");
            location_ = ServerLocation(*conninfo);
            ADOMain.OpenServer(*conninfo);
        } else {
            ADOMain.Open(DatabasePath());
        }
        // Any file opens as a database, even an empty one, and a server
        // database may lack a table; what the program needs of it is
        // checked now, not by the first save that fails.
        problems = CheckDatabaseFile(ADOMain);
        if (problems.empty()) return true;
    } catch (const std::exception& e) {
        // A missing, unreadable or foreign file: the message alone says it.
        // A server's own reason goes with it: a wrong host, a wrong password
        // and a stopped server need different remedies.
        if (onServer) problems = e.what();
    }
    ADOMain.Close();
    std::string text("连接数据库失败，请检查数据库文件！");
    if (!problems.empty()) text.append("\n").append(problems);
    messages_.Show(text);
    return false;
}

std::string TDM::DatabaseLocationText() const {
    return "数据库：" + (ADOMain.Connected() ? ADOMain.Location() : location_);
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
