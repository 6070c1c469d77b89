#include "core/data/data_module.h"
#include "core/data/database_check.h"
#include "core/db/pg_connection.h"
#include "core/db/server_conf.h"

#include <filesystem>

namespace lty {

TDM::TDM(UserMessages& messages, std::string programDirectory)
    : messages_(messages), programDirectory_(std::move(programDirectory)) {
    DataModuleCreate();
}

TDM::TDM(UserMessages& messages, std::string programDirectory, std::string serverConninfo)
    : messages_(messages), programDirectory_(std::move(programDirectory)), serverConninfo_(std::move(serverConninfo)) {
    DataModuleCreate();
}

void TDM::DataModuleCreate() { ConnectDatabase(); }

std::string TDM::DatabasePath() const { return programDirectory_ + "Data/LTY.db"; }

bool TDM::ConnectDatabase() {
    ADOMain.Close();
    // Data/server.conf beside the file names an office server instead.
    std::error_code ec;
    const bool onServer = serverConninfo_ || std::filesystem::exists(ServerConfPath(programDirectory_), ec);
    std::string text("连接数据库失败，请检查数据库文件！");
    std::string problems;
    try {
        if (onServer) {
            const auto conninfo = serverConninfo_ ? serverConninfo_ : ReadServerConf(programDirectory_);
            if (!conninfo) throw EngineError(ServerConfPath(programDirectory_) + " 已不存在");
            ADOMain.OpenServer(*conninfo);
        } else {
            ADOMain.Open(DatabasePath());
        }
        // Any file opens as a database, even an empty one, and a server
        // database may lack a table; what the program needs of it is
        // checked now, not by the first save that fails.
        problems = CheckDatabaseFile(ADOMain);
        if (problems.empty()) return true;
    } catch (const ServerConnectError& e) {
        // Said once, in the user's words: which server, what to look at,
        // and the server's own reason below for whoever looks after it.
        text = e.Answered() ? "数据库服务器 " + e.Address() + " 拒绝了连接，请检查数据库名、用户名和密码是否正确。"
                            : "无法连接数据库服务器 " + e.Address() + "，请检查服务器是否已启动、网络是否连通。";
        problems = e.what();
    } catch (const std::exception& e) {
        // The server set-up file's own reason; for a database file, the
        // file that was looked for (the engine's English adds nothing).
        if (onServer)
            problems = e.what();
        else
            problems = (std::filesystem::exists(DatabasePath(), ec) ? "无法打开数据库文件：" : "找不到数据库文件：") +
                       DatabasePath();
    }
    ADOMain.Close();
    if (!problems.empty()) text.append("\n").append(problems);
    messages_.Show(text);
    return false;
}

std::string TDM::DatabaseLocationText() const {
    return "数据库：" + (ADOMain.Connected() ? ADOMain.Location() : std::string("未连接"));
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
