#include "core/data/data_module.h"
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
    std::string reason;
    try {
        if (onServer) {
            const auto conninfo = ReadServerConf(programDirectory_);
            if (!conninfo) throw EngineError(ServerConfPath(programDirectory_) + " 已不存在");
            location_ = ServerLocation(*conninfo);
            ADOMain.OpenServer(*conninfo);
        } else {
            ADOMain.Open(DatabasePath());
        }
        // An empty or foreign file opens as a database too; without the
        // project table it is not ours.
        ADOMain.Run("select count(*) from tblProject");
        return true;
    } catch (const std::exception& e) {
        // The server's own reason goes with the message: a wrong host, a
        // wrong password and a stopped server need different remedies.
        if (onServer) reason = e.what();
    }
    ADOMain.Close();
    std::string text("连接数据库失败，请检查数据库文件！");
    if (!reason.empty()) text.append("\n").append(reason);
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
    } catch (const std::exception&) {
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
    } catch (const std::exception&) {
        Qry_Main.Close();
        return false;
    }
}

} // namespace lty
