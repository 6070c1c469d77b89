#include "core/db/engine_sqlite.h"
#include "core/text/ascii_case.h"

#include "core/db/engine.h"
#include "core/db/statement_text.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace lty {
namespace {

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

// Sets a flag for the length of one call.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

// The program only reads and writes its rows: schema changes, other files,
// engine settings, transaction control and writes to the engine's own
// tables (schema, id counters) are refused unless the binding itself runs
// the statement.
int SqliteEngine::Authorize(void* self, int action, const char* arg1, const char*, const char*, const char*) {
    if (static_cast<const SqliteEngine*>(self)->trusted_) return SQLITE_OK;
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
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
    case SQLITE_REINDEX:
    case SQLITE_ANALYZE:
        return SQLITE_DENY;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        return arg1 && StartsWithNoCase(arg1, "sqlite_") ? SQLITE_DENY : SQLITE_OK;
    default:
        return SQLITE_OK;
    }
}

SqliteEngine::SqliteEngine(const std::string& path, Access access) {
    sqlite3* db = nullptr;
    const bool readOnly = access == Access::ReadOnly;
    const int rc = sqlite3_open_v2(path.c_str(), &db, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, nullptr);
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
        if (!readOnly) {
            ExecInternal("PRAGMA journal_mode=DELETE");
            ExecInternal("PRAGMA synchronous=FULL");
        }
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_set_authorizer(db_, &SqliteEngine::Authorize, this);
    } catch (...) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw;
    }
}

SqliteEngine::~SqliteEngine() { sqlite3_close_v2(db_); }

void SqliteEngine::ExecInternal(const char* sql) {
    const FlagScope trusted(trusted_);
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw EngineError(msg);
    }
}

void SqliteEngine::BeginTrans() {
    ExecInternal("BEGIN IMMEDIATE");
    inTrans_ = true;
}

void SqliteEngine::CommitTrans() {
    ExecInternal("COMMIT");
    inTrans_ = false;
}

void SqliteEngine::RollbackTrans() {
    inTrans_ = false;
    if (InTransaction()) ExecInternal("ROLLBACK");
}

bool SqliteEngine::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

std::int64_t SqliteEngine::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int SqliteEngine::Changes() const { return sqlite3_changes(db_); }

std::vector<std::string> SqliteEngine::TableNames() {
    std::vector<std::string> names;
    for (auto& row : RunTrusted("select name from sqlite_master where type='table'").Rows)
        if (auto* name = std::get_if<std::string>(&row[0].Data)) names.push_back(std::move(*name));
    return names;
}

std::vector<std::string> SqliteEngine::ColumnNames(const std::string& table) {
    std::vector<std::string> names;
    for (auto& row : RunTrusted("select name from pragma_table_info(" + QuoteText(table) + ")").Rows)
        if (auto* name = std::get_if<std::string>(&row[0].Data)) names.push_back(std::move(*name));
    return names;
}

std::string SqliteEngine::QuickCheck() {
    const EngineResult r = RunTrusted("PRAGMA quick_check(1)");
    if (r.Rows.empty() || !std::holds_alternative<std::string>(r.Rows[0][0].Data)) return "no result";
    return std::get<std::string>(r.Rows[0][0].Data);
}

std::int64_t SqliteEngine::DataVersion() {
    const EngineResult r = RunTrusted("PRAGMA data_version");
    if (r.Rows.empty() || r.Rows[0].empty()) return 0;
    const auto* v = std::get_if<std::int64_t>(&r.Rows[0][0].Data);
    return v ? *v : 0;
}

EngineResult SqliteEngine::RunTrusted(const std::string& sql) {
    const FlagScope trusted(trusted_);
    return Execute(sql);
}

EngineResult SqliteEngine::Run(const std::string& sql) {
    // After a full disk or a similar failure the engine may have rolled the
    // whole transaction back by itself; a statement now would be committed
    // on its own, outside the all-or-nothing the caller relies on.
    if (inTrans_ && sqlite3_get_autocommit(db_))
        throw EngineError("The transaction was rolled back by the engine; nothing more is written in it.");
    return Execute(TranslateDateLiterals(sql));
}

EngineResult SqliteEngine::Execute(const std::string& translated) {
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

std::vector<std::int64_t> SqliteEngine::InsertIds(const std::string& sql) {
    // On a line of its own, so a trailing "--" remark cannot hide it.
    const EngineResult r = Run(sql + "\nreturning rowid");
    std::vector<std::int64_t> ids;
    ids.reserve(r.Rows.size());
    for (const auto& row : r.Rows) ids.push_back(std::get<std::int64_t>(row.at(0).Data));
    std::sort(ids.begin(), ids.end());
    return ids;
}

void SqliteEngine::RunBatch(const std::vector<std::string>& statements) {
    // In-process: a batch is only a loop, each statement as fast as alone.
    for (const auto& s : statements) Run(s);
}

} // namespace lty
