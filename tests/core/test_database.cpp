#include "tests/core/test_database.h"

#include "core/data/database_builder.h"

#include <atomic>
#include <filesystem>
#include <random>
#include <sqlite3.h>
#include <unistd.h>

namespace lty::test {
namespace fs = std::filesystem;

std::string SchemaSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/schema.sql");
    return s;
}

std::string FirstRowsSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/first_rows.sql");
    return s;
}

std::string RawExec(const std::string& databasePath, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(databasePath.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot open " + databasePath;
    }
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string msg = rc == SQLITE_OK ? "" : err ? err : "error";
    sqlite3_free(err);
    sqlite3_close(db);
    return msg;
}

TempProgramDir::TempProgramDir(bool withDatabase) {
    static std::atomic<int> counter{0};
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() / ("ltyquote-test-" + std::to_string(::getpid()) + "-" +
                                                    std::to_string(counter++) + "-" + std::to_string(rd()));
    fs::create_directories(p);
    dir_ = p.string() + "/";
    if (withDatabase) CreateDatabaseFile(DatabasePath(), SchemaSql(), FirstRowsSql());
}

TempProgramDir::~TempProgramDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

} // namespace lty::test
