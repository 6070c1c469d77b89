#include "tests/core/test_database.h"

#include "core/data/database_builder.h"

#include <atomic>
#include <filesystem>
#include <random>
#include <sqlite3.h>
#include <unistd.h>

namespace lty::test {
namespace fs = std::filesystem;

std::string RawExec(const std::string& databasePath, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(databasePath.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot open " + databasePath;
    }
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string msg = rc == SQLITE_OK ? "" : (err ? err : "error");
    sqlite3_free(err);
    sqlite3_close(db);
    return msg;
}

std::vector<std::string> RawColumn(const std::string& databasePath, const std::string& sql) {
    std::vector<std::string> out;
    sqlite3* db = nullptr;
    sqlite3_open(databasePath.c_str(), &db);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) out.emplace_back("<bad statement>");
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        out.emplace_back(t ? t : "");
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

std::string SchemaSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/schema.sql");
    return s;
}

std::string FirstRowsSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/first_rows.sql");
    return s;
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
