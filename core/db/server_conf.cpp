#include "core/db/server_conf.h"

#include "core/db/engine.h"
#include "core/db/pg_connection.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace lty {

std::string ServerConfPath(const std::string& programDirectory) { return programDirectory + "Data/server.conf"; }

std::optional<std::string> ReadServerConf(const std::string& programDirectory) {
    const std::string path = ServerConfPath(programDirectory);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EngineError("无法读取 " + path);
    std::string conninfo;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        if (!conninfo.empty()) conninfo.push_back(' ');
        conninfo.append(line, first);
    }
    if (conninfo.empty()) throw EngineError(path + " 中没有连接串");
    // Also raises for a text that is no connection string.
    if (!ConninfoValue(conninfo, "password").empty())
        throw EngineError(path + " 中不应写密码，请把密码写在 ~/.pgpass 中");
    return conninfo;
}

} // namespace lty
