#include "core/data/engine.h"

#include "core/text/number_text.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace lty {
namespace {

constexpr const char* kClosedDataset = "Cannot perform this operation on a closed dataset";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The first word of a statement, past blanks and comments.
std::string_view FirstWord(std::string_view sql) {
    std::size_t i = 0;
    for (;;) {
        while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
        if (sql.substr(i, 2) == "--") {
            const auto eol = sql.find('\n', i);
            i = eol == std::string_view::npos ? sql.size() : eol + 1;
        } else if (sql.substr(i, 2) == "/*") {
            const auto close = sql.find("*/", i + 2);
            i = close == std::string_view::npos ? sql.size() : close + 2;
        } else {
            break;
        }
    }
    std::size_t end = i;
    while (end < sql.size() && (std::isalpha(static_cast<unsigned char>(sql[end])) || sql[end] == '_')) ++end;
    return sql.substr(i, end - i);
}

// The program reads and writes rows and nothing else: a statement that
// would begin or end a transaction behind the binding's back (the next
// save would then vanish with the uncommitted rest), rebuild the file or
// change engine settings never reaches the engine.
bool IsRowStatement(std::string_view sql) {
    const std::string_view word = FirstWord(sql);
    for (const char* allowed : {"select", "insert", "update", "delete", "with"})
        if (word.size() == std::char_traits<char>::length(allowed) && StartsWithNoCase(word, allowed)) return true;
    return false;
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

// Date literals between '#' signs, outside quoted text, become ISO text
// literals; everything else passes through unchanged.
std::string TranslateStatement(const std::string& sql) {
    std::string out;
    out.reserve(sql.size() + 8);
    bool inQuote = false;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'') {
            inQuote = !inQuote; // a doubled quote toggles twice and stays inside
            out += c;
            continue;
        }
        if (c == '#' && !inQuote) {
            const auto end = sql.find('#', i + 1);
            if (end == std::string::npos)
                throw EngineError("Syntax error in date in query expression '" + sql.substr(i) + "'.");
            const std::string literal = sql.substr(i + 1, end - i - 1);
            Date d;
            if (!TryStrToDate(literal, d))
                throw EngineError("Syntax error in date in query expression '#" + literal + "#'.");
            out += '\'';
            out += DateToIso(d);
            out += '\'';
            i = end;
            continue;
        }
        out += c;
    }
    return out;
}

bool IsOnlyBlank(const char* p) {
    for (; *p; ++p)
        if (!std::isspace(static_cast<unsigned char>(*p))) return false;
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

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

// ---- connection ----------------------------------------------------------

// The program only reads and writes its rows: schema changes, other files,
// engine settings, transaction control and writes to the engine's own
// tables (schema, id counters) are refused unless the binding itself runs
// the statement.
int TADOConnection::Authorize(void* self, int action, const char* arg1, const char*, const char*, const char*) {
    if (static_cast<const TADOConnection*>(self)->trusted_) return SQLITE_OK;
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

TADOConnection::TADOConnection() = default;

TADOConnection::~TADOConnection() { Close(); }

void TADOConnection::Open(const std::string& path) {
    Close();
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
        sqlite3_set_authorizer(db_, &TADOConnection::Authorize, this);
    } catch (...) {
        Close();
        throw;
    }
}

void TADOConnection::Close() {
    inTrans_ = false;
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void TADOConnection::ExecInternal(const char* sql) {
    const FlagScope trusted(trusted_);
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw EngineError(msg);
    }
}

void TADOConnection::BeginTrans() {
    if (!db_) throw EngineError("Connection is closed");
    ExecInternal("BEGIN IMMEDIATE");
    inTrans_ = true;
}

void TADOConnection::CommitTrans() {
    if (!db_) throw EngineError("Connection is closed");
    ExecInternal("COMMIT");
    inTrans_ = false;
}

void TADOConnection::RollbackTrans() {
    if (!db_) throw EngineError("Connection is closed");
    inTrans_ = false;
    if (InTransaction()) ExecInternal("ROLLBACK");
}

bool TADOConnection::InTransaction() const { return db_ && sqlite3_get_autocommit(db_) == 0; }

std::int64_t TADOConnection::LastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

int TADOConnection::Changes() const { return db_ ? sqlite3_changes(db_) : 0; }

std::vector<std::string> TADOConnection::TableNames() {
    std::vector<std::string> names;
    for (auto& row : RunTrusted("select name from sqlite_master where type='table'").Rows)
        if (auto* name = std::get_if<std::string>(&row[0].Data)) names.push_back(std::move(*name));
    return names;
}

std::vector<std::string> TADOConnection::ColumnNames(const std::string& table) {
    std::vector<std::string> names;
    for (auto& row : RunTrusted("select name from pragma_table_info(" + QuoteText(table) + ")").Rows)
        if (auto* name = std::get_if<std::string>(&row[0].Data)) names.push_back(std::move(*name));
    return names;
}

std::string TADOConnection::QuickCheck() {
    const Result r = RunTrusted("PRAGMA quick_check(1)");
    if (r.Rows.empty() || !std::holds_alternative<std::string>(r.Rows[0][0].Data)) return "no result";
    return std::get<std::string>(r.Rows[0][0].Data);
}

TADOConnection::Result TADOConnection::RunTrusted(const std::string& sql) {
    if (!db_) throw EngineError("Connection is closed");
    const FlagScope trusted(trusted_);
    return Execute(sql);
}

TADOConnection::Result TADOConnection::Run(const std::string& sql) {
    if (trace_) trace_(sql);
    if (!db_) throw EngineError("Connection is closed");
    if (sql.find('\0') != std::string::npos) throw EngineError("Invalid character in SQL statement.");
    if (!IsOnlyBlank(sql.c_str()) && !IsRowStatement(sql))
        throw EngineError("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT', or 'UPDATE'.");
    // After a full disk or a similar failure the engine may have rolled the
    // whole transaction back by itself; a statement now would be committed
    // on its own, outside the all-or-nothing the caller relies on.
    if (inTrans_ && sqlite3_get_autocommit(db_))
        throw EngineError("The transaction was rolled back by the engine; nothing more is written in it.");
    return Execute(TranslateStatement(sql));
}

TADOConnection::Result TADOConnection::Execute(const std::string& translated) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, translated.c_str(), static_cast<int>(translated.size() + 1), &stmt, &tail) != SQLITE_OK)
        throw EngineError(sqlite3_errmsg(db_));
    if (!stmt) throw EngineError("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT', or 'UPDATE'.");
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    if (tail && !IsOnlyBlank(tail)) throw EngineError("Characters found after end of SQL statement.");

    Result result;
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

// ---- fields --------------------------------------------------------------

std::string TField::AsString() const {
    const auto& d = value_->Data;
    if (std::holds_alternative<std::monostate>(d)) return {};
    if (kind_ == ColumnKind::Date) return AsDateText();
    if (kind_ == ColumnKind::YesNo) return AsBoolean() ? "True" : "False";
    if (const auto* i = std::get_if<std::int64_t>(&d)) return std::to_string(*i);
    if (const auto* f = std::get_if<double>(&d)) return FloatToStr(*f);
    return std::get<std::string>(d);
}

double TField::AsFloat() const {
    const auto& d = value_->Data;
    if (std::holds_alternative<std::monostate>(d)) return 0.0;
    if (const auto* i = std::get_if<std::int64_t>(&d)) return static_cast<double>(*i);
    if (const auto* f = std::get_if<double>(&d)) return *f;
    double v = 0;
    if (!TryStrToFloat(std::get<std::string>(d), v))
        throw EngineError("'" + std::get<std::string>(d) + "' is not a valid floating point value");
    return v;
}

std::int64_t TField::AsInteger() const {
    const auto& d = value_->Data;
    if (std::holds_alternative<std::monostate>(d)) return 0;
    if (const auto* i = std::get_if<std::int64_t>(&d)) return *i;
    if (const auto* f = std::get_if<double>(&d)) return static_cast<std::int64_t>(std::llround(*f));
    int v = 0;
    if (!TryStrToInt(std::get<std::string>(d), v))
        throw EngineError("'" + std::get<std::string>(d) + "' is not a valid integer value");
    return v;
}

bool TField::AsBoolean() const {
    const auto& d = value_->Data;
    if (std::holds_alternative<std::monostate>(d)) return false;
    if (const auto* i = std::get_if<std::int64_t>(&d)) return *i != 0;
    if (const auto* f = std::get_if<double>(&d)) return *f != 0.0;
    const std::string& s = std::get<std::string>(d);
    if (EqualsNoCase(s, "true") || EqualsNoCase(s, "yes")) return true;
    double v = 0;
    return TryStrToFloat(s, v) && v != 0.0;
}

Date TField::AsDateTime() const {
    const auto& d = value_->Data;
    if (std::holds_alternative<std::monostate>(d)) return ZeroDate;
    if (const auto* s = std::get_if<std::string>(&d)) {
        Date date;
        // A stored time of day, if any, is not part of this program's dates.
        if (TryStrToDate(std::string_view(*s).substr(0, s->find(' ')), date)) return date;
        throw EngineError("'" + *s + "' is not a valid date");
    }
    throw EngineError("'" + AsString() + "' is not a valid date");
}

std::string TField::AsDateText() const { return DateToStr(AsDateTime()); }

std::string TField::StoredText() const {
    const auto& d = value_->Data;
    if (const auto* s = std::get_if<std::string>(&d)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&d)) return std::to_string(*i);
    if (const auto* f = std::get_if<double>(&d)) return FloatToStr(*f);
    return {};
}

// ---- query ---------------------------------------------------------------

void TADOQuery::Open() {
    Close();
    result_ = connection_->Run(sql_);
    row_ = 0;
    active_ = true;
}

void TADOQuery::ExecSQL() {
    Close();
    connection_->Run(sql_);
}

void TADOQuery::Close() {
    active_ = false;
    row_ = 0;
    result_ = {};
}

void TADOQuery::CheckActive() const {
    if (!active_) throw EngineError(kClosedDataset);
}

bool TADOQuery::Eof() const { return !active_ || row_ >= result_.Rows.size(); }

void TADOQuery::Next() {
    CheckActive();
    if (row_ < result_.Rows.size()) ++row_;
}

void TADOQuery::First() {
    CheckActive();
    row_ = 0;
}

int TADOQuery::RecordCount() const {
    CheckActive();
    return static_cast<int>(result_.Rows.size());
}

int TADOQuery::FieldCount() const {
    CheckActive();
    return static_cast<int>(result_.Names.size());
}

TField TADOQuery::Fields(int index) const {
    CheckActive();
    if (index < 0 || static_cast<std::size_t>(index) >= result_.Names.size())
        throw EngineError("List index out of bounds (" + std::to_string(index) + ")");
    static const Value null;
    const auto i = static_cast<std::size_t>(index);
    if (row_ >= result_.Rows.size()) return TField(&null, result_.Kinds[i]);
    return TField(&result_.Rows[row_][i], result_.Kinds[i]);
}

TField TADOQuery::FieldByName(std::string_view name) const {
    CheckActive();
    for (std::size_t i = 0; i < result_.Names.size(); ++i)
        if (EqualsNoCase(result_.Names[i], name)) return Fields(static_cast<int>(i));
    throw EngineError("Field '" + std::string(name) + "' not found");
}

std::string QuoteText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        if (c == '\0') continue;
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

} // namespace lty
