#include "tests/core/test_database.h"

#include "core/db/pg_connection.h"
#include "core/db/server_conf.h"
#include "core/db/sql_text.h"
#include "core/upkeep/database_builder.h"
#include "core/upkeep/sql_scripts.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace lty::test {
namespace fs = std::filesystem;

bool TestOnServer() {
    const char* e = std::getenv("LTY_TEST_ENGINE");
    return e && std::string_view(e) == "pg";
}

namespace {

// The owner's connection string of the test server database that the
// program directory of `databasePath` names, or "" when it names none.
std::string ServerOf(const std::string& databasePath) {
    const fs::path data = fs::path(databasePath).parent_path();
    const std::string programDirectory = data.parent_path().string() + "/";
    std::error_code ec;
    if (!fs::exists(ServerConfPath(programDirectory), ec)) return {};
    const auto conninfo = ReadServerConf(programDirectory);
    return conninfo ? ConninfoWith(TestServer(), "dbname", ConninfoValue(*conninfo, "dbname")) : std::string();
}

} // namespace

std::string RawExec(const std::string& databasePath, const std::string& sql) {
    if (const std::string server = ServerOf(databasePath); !server.empty()) {
        try {
            PgConnection(server).Exec(sql);
            return {};
        } catch (const std::exception& e) {
            return e.what();
        }
    }
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
    if (const std::string server = ServerOf(databasePath); !server.empty()) {
        try {
            PgConnection pg(server);
            pg.Exec("SET extra_float_digits = 0");
            const auto kinds = pg.Query("select pg_typeof(x)::text from (" + sql + ") as t(x) limit 1");
            const bool isFloat = !kinds.empty() && kinds[0][0] == std::string("double precision");
            for (const auto& row : pg.Query(sql)) {
                std::string v = row.at(0).value_or("");
                if (isFloat && row.at(0) && v.find_first_of(".eEn") == std::string::npos) v += ".0";
                out.push_back(std::move(v));
            }
        } catch (const std::exception&) {
            out.emplace_back("<bad statement>");
        }
        return out;
    }
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

std::string RefuseSql(const std::string& databasePath, const std::string& name, const std::string& table,
                      const std::string& action, const std::string& message, const std::string& when) {
    if (!ServerOf(databasePath).empty())
        return "create function " + name + "() returns trigger language plpgsql as $$ begin raise exception " +
               SqlText(message) + "; end $$; create trigger " + name + " before " + action + " on " + table +
               " for each row" + (when.empty() ? "" : " when (" + when + ")") + " execute function " + name + "()";
    return "create trigger " + name + " before " + action + " on " + table + (when.empty() ? "" : " when " + when) +
           " begin select raise(abort, " + SqlText(message) + "); end";
}

std::string StopRefusingSql(const std::string& databasePath, const std::string& name, const std::string& table) {
    return ServerOf(databasePath).empty() ? "drop trigger " + name : "drop trigger " + name + " on " + table;
}

std::string SchemaSql() { return FileSchemaScript(); }

std::string FirstRowsSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/first_rows.sql");
    return s;
}

void WriteServerConf(const std::string& programDirectory, const std::string& conninfo) {
    fs::create_directories(programDirectory + "Data");
    std::ofstream out(ServerConfPath(programDirectory), std::ios::binary | std::ios::trunc);
    out << "# The office's quotation database\n" << conninfo << "\n";
    if (!out) throw std::runtime_error("cannot write " + ServerConfPath(programDirectory));
}

TempProgramDir::TempProgramDir(bool withDatabase, bool alwaysFile) {
    static std::atomic<int> counter{0};
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() / ("ltyquote-test-" + std::to_string(::getpid()) + "-" +
                                                    std::to_string(counter++) + "-" + std::to_string(rd()));
    fs::create_directories(p);
    dir_ = p.string() + "/";
    if (!withDatabase) return;
    if (TestOnServer() && !alwaysFile) {
        server_ = std::make_unique<TempServerDatabase>();
        // As the administrator, who may write every table: the suites drive
        // every operation of the data module. What the designers' role may
        // not do has tests of its own.
        WriteServerConf(dir_, server_->ManagerConninfo());
    } else {
        CreateDatabaseFile(DatabasePath(), SchemaSql(), FirstRowsSql());
    }
}

TempProgramDir::~TempProgramDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

} // namespace lty::test
