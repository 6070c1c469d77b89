#include "core/data/engine_sqlite.h"

#include "core/data/statement_text.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace lty {
namespace {

// The program only reads and writes rows: anything that would change the
// schema, attach another file or touch engine settings is refused here.
int Authorize(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_CREATE_TEMP_VIEW:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_VTABLE:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TEMP_INDEX:
    case SQLITE_DROP_TEMP_TABLE:
    case SQLITE_DROP_TEMP_TRIGGER:
    case SQLITE_DROP_TEMP_VIEW:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_VTABLE:
    case SQLITE_ALTER_TABLE:
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
    case SQLITE_PRAGMA:
        return SQLITE_DENY;
    default:
        return SQLITE_OK;
    }
}

ColumnKind KindFromDeclType(const char* decl) {
    if (!decl) return ColumnKind::Any;
    std::string d(decl);
    std::transform(d.begin(), d.end(), d.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (d.find("DATE") != std::string::npos) return ColumnKind::Date;
    if (d.find("BOOL") != std::string::npos || d.find("YESNO") != std::string::npos) return ColumnKind::YesNo;
    if (d.find("INT") != std::string::npos) return ColumnKind::Integer;
    if (d.find("CHAR") != std::string::npos || d.find("TEXT") != std::string::npos ||
        d.find("CLOB") != std::string::npos || d.find("MEMO") != std::string::npos)
        return ColumnKind::Text;
    if (d.find("REAL") != std::string::npos || d.find("FLOA") != std::string::npos ||
        d.find("DOUB") != std::string::npos || d.find("NUM") != std::string::npos ||
        d.find("CURRENCY") != std::string::npos)
        return ColumnKind::Number;
    return ColumnKind::Any;
}

bool IsOnlyBlank(const char* p) {
    for (; *p; ++p)
        if (!std::isspace(static_cast<unsigned char>(*p))) return false;
    return true;
}

} // namespace

SqliteEngine::SqliteEngine(const std::string& path) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw EngineError(msg);
    }
    db_ = db;
    try {
        sqlite3_busy_timeout(db_, 5000);
        // The schema read below fails at once on a file that is not a database.
        ExecInternal("select count(*) from sqlite_master");
        ExecInternal("PRAGMA journal_mode=DELETE");
        ExecInternal("PRAGMA synchronous=FULL");
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_set_authorizer(db_, Authorize, nullptr);
    } catch (...) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw;
    }
}

SqliteEngine::~SqliteEngine() { sqlite3_close_v2(db_); }

void SqliteEngine::ExecInternal(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw EngineError(msg);
    }
}

void SqliteEngine::BeginTrans() { ExecInternal("BEGIN IMMEDIATE"); }

void SqliteEngine::CommitTrans() { ExecInternal("COMMIT"); }

void SqliteEngine::RollbackTrans() {
    if (InTransaction()) ExecInternal("ROLLBACK");
}

bool SqliteEngine::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

std::int64_t SqliteEngine::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int SqliteEngine::Changes() const { return sqlite3_changes(db_); }

EngineResult SqliteEngine::Run(const std::string& sql) {
    const std::string translated = TranslateDateLiterals(sql);

    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, translated.c_str(), static_cast<int>(translated.size() + 1), &stmt, &tail) != SQLITE_OK)
        throw EngineError(sqlite3_errmsg(db_));
    if (!stmt) throw EngineError("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT', or 'UPDATE'.");
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    if (tail && !IsOnlyBlank(tail)) throw EngineError("Characters found after end of SQL statement.");

    EngineResult result;
    const int cols = sqlite3_column_count(stmt);
    result.Names.reserve(static_cast<std::size_t>(cols));
    for (int c = 0; c < cols; ++c) {
        const char* name = sqlite3_column_name(stmt, c);
        result.Names.emplace_back(name ? name : "");
        result.Kinds.push_back(KindFromDeclType(sqlite3_column_decltype(stmt, c)));
    }
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) throw EngineError(sqlite3_errmsg(db_));
        std::vector<Value> row(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            auto& v = row[static_cast<std::size_t>(c)].Data;
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                v = static_cast<std::int64_t>(sqlite3_column_int64(stmt, c));
                break;
            case SQLITE_FLOAT:
                v = sqlite3_column_double(stmt, c);
                break;
            case SQLITE_NULL:
                break;
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                v = std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
            }
            }
        }
        result.Rows.push_back(std::move(row));
    }
    return result;
}

void SqliteEngine::RunBatch(const std::vector<std::string>& statements) {
    // In-process: a batch is only a loop, each statement as fast as alone.
    for (const auto& s : statements) Run(s);
}

} // namespace lty
