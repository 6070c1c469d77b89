#include "core/upkeep/database_builder.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lty {
namespace fs = std::filesystem;

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {

void Exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        throw std::runtime_error(msg);
    }
}

} // namespace

void CreateDatabaseFile(const std::string& path, const std::string& schemaSql, const std::string& rowsSql) {
    const fs::path target(path);
    if (fs::exists(target)) throw std::runtime_error(path + " already exists; it is left as it is");
    if (target.has_parent_path()) fs::create_directories(target.parent_path());

    // Built under a temporary name and moved into place at the end, so an
    // interrupted build never leaves a half-made database behind.
    const fs::path temp = target.string() + ".building";
    fs::remove(temp);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error(msg);
    }
    try {
        Exec(db, "PRAGMA journal_mode=DELETE");
        Exec(db, "BEGIN");
        Exec(db, schemaSql);
        Exec(db, rowsSql);
        Exec(db, "COMMIT");
    } catch (...) {
        sqlite3_close(db);
        fs::remove(temp);
        throw;
    }
    sqlite3_close(db);
    if (fs::exists(target)) {
        fs::remove(temp);
        throw std::runtime_error(path + " already exists; it is left as it is");
    }
    fs::rename(temp, target);
}

} // namespace lty
