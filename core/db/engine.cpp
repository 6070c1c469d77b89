#include "core/db/engine.h"
#include "core/text/ascii_case.h"

#include "core/db/engine_pg.h"
#include "core/db/engine_sqlite.h"
#include "core/db/statement_text.h"

#include "core/text/number_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace lty {
namespace {

constexpr const char* kClosedDataset = "Cannot perform this operation on a closed dataset";

// What every statement must be before either engine sees it: one row
// statement without a NUL. A statement that would begin or end a
// transaction behind the binding's back (the next save would then vanish
// with the uncommitted rest), rebuild the database or change engine
// settings never reaches the engine.
void CheckStatement(const std::string& sql) {
    // NUL ends a text early in either engine's interface; refused, never cut.
    if (sql.find('\0') != std::string::npos) throw EngineError("Invalid character in SQL statement.");
    if (!IsRowStatement(sql))
        throw EngineError("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT', or 'UPDATE'.");
}

} // namespace

// ---- connection ----------------------------------------------------------

TADOConnection::TADOConnection() = default;

TADOConnection::~TADOConnection() { Close(); }

void TADOConnection::Open(const std::string& path) {
    Close();
    engine_ = std::make_unique<SqliteEngine>(path);
}

void TADOConnection::OpenServer(const std::string& conninfo) {
    Close();
    engine_ = std::make_unique<PgEngine>(conninfo);
}

void TADOConnection::Close() { engine_.reset(); }

std::string TADOConnection::Location() const { return engine_ ? engine_->Location() : std::string(); }

DatabaseEngine& TADOConnection::Live() const {
    if (!engine_) throw EngineError("未连接数据库");
    return *engine_;
}

void TADOConnection::BeginTrans() { Live().BeginTrans(); }

void TADOConnection::CommitTrans() { Live().CommitTrans(); }

void TADOConnection::RollbackTrans() { Live().RollbackTrans(); }

bool TADOConnection::InTransaction() const { return engine_ && engine_->InTransaction(); }

std::vector<std::string> TADOConnection::TableNames() { return Live().TableNames(); }

std::vector<std::string> TADOConnection::ColumnNames(const std::string& table) { return Live().ColumnNames(table); }

std::string TADOConnection::QuickCheck() { return Live().QuickCheck(); }

namespace {
SqliteEngine& FileEngine(DatabaseEngine& live) {
    auto* file = dynamic_cast<SqliteEngine*>(&live);
    if (!file) throw EngineError("not a database file");
    return *file;
}
} // namespace

void TADOConnection::BackupTo(const std::string& path) const { FileEngine(Live()).BackupTo(path); }

void TADOConnection::RestoreFrom(const std::string& path) {
    if (InTransaction()) throw EngineError("a transaction is open");
    FileEngine(Live()).RestoreFrom(path);
}

PgConnection* TADOConnection::Server() const {
    auto* server = dynamic_cast<PgEngine*>(engine_.get());
    return server ? &server->Connection() : nullptr;
}

std::string TADOConnection::ServerConninfo() const {
    const auto* server = dynamic_cast<const PgEngine*>(engine_.get());
    return server ? server->Conninfo() : std::string();
}

sqlite3* TADOConnection::Handle() const {
    const auto* file = dynamic_cast<const SqliteEngine*>(engine_.get());
    return file ? file->Handle() : nullptr;
}

std::int64_t TADOConnection::LastInsertId() const { return engine_ ? engine_->LastInsertId() : 0; }

int TADOConnection::Changes() const { return engine_ ? engine_->Changes() : 0; }

TADOConnection::Result TADOConnection::Run(const std::string& sql) {
    if (trace_) trace_(sql);
    DatabaseEngine& engine = Live();
    CheckStatement(sql);
    return engine.Run(sql);
}

void TADOConnection::RunBatch(const std::vector<std::string>& statements) {
    if (trace_)
        for (const auto& s : statements) trace_(s);
    DatabaseEngine& engine = Live();
    for (const auto& s : statements) CheckStatement(s);
    engine.RunBatch(statements);
}

std::vector<std::int64_t> TADOConnection::InsertIds(const std::string& sql) {
    if (trace_) trace_(sql);
    DatabaseEngine& engine = Live();
    CheckStatement(sql);
    return engine.InsertIds(sql);
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

void TADOQuery::OpenRows(std::string sql, const TADOConnection::Result& rows) {
    Close();
    sql_ = std::move(sql);
    result_ = rows;
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
