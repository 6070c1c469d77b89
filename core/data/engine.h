// The binding between the data module and the embedded SQL engine: one
// connection object and query objects bound to it, in the shape the data
// module expects (close, open, execute, rows materialised at open).
#pragma once

#include "core/text/date_text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;

namespace lty {

// Any error the engine raises; the text is the engine's message.
class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How a column was declared, so a read can give a date as date text.
enum class ColumnKind { Any, Text, Number, Integer, Date, YesNo };

struct Value {
    std::variant<std::monostate, std::int64_t, double, std::string> Data;
    bool IsNull() const { return std::holds_alternative<std::monostate>(Data); }
};

class TADOConnection {
public:
    TADOConnection();
    ~TADOConnection();
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;

    // Opens an existing database file read-write; never creates one.
    // Raises EngineError when the file is missing, unreadable or not a database.
    void Open(const std::string& path);
    void Close();
    bool Connected() const { return db_ != nullptr; }

    // Transactions are the binding's own: statements that begin, end or
    // nest one are refused by Run. BeginTrans takes the write lock at once
    // (BEGIN IMMEDIATE), so a check made inside holds until the commit.
    void BeginTrans();
    void CommitTrans();
    // Ends the transaction, also when the engine already rolled it back.
    void RollbackTrans();
    bool InTransaction() const;

    // The engine's own view of the open file, for the check at connection:
    // the file's tables, one table's columns (none when it is missing), and
    // the result of the engine's quick check ("ok" for a sound file).
    std::vector<std::string> TableNames();
    std::vector<std::string> ColumnNames(const std::string& table);
    std::string QuickCheck();

    // The engine handle, for test support that needs engine settings no
    // statement may change (a page limit, a busy timeout).
    sqlite3* Handle() const { return db_; }

    // Sees every statement text exactly as the data module sent it.
    using TraceHook = std::function<void(const std::string&)>;
    void SetTraceHook(TraceHook hook) { trace_ = std::move(hook); }

    // Runs one statement; fills rows when it yields any.
    struct Result {
        std::vector<std::string> Names;
        std::vector<ColumnKind> Kinds;
        std::vector<std::vector<Value>> Rows;
    };
    Result Run(const std::string& sql);

    std::int64_t LastInsertId() const;
    int Changes() const;

    // A consistent copy of the whole database into a new file at `path`
    // (an existing file there is replaced), taken while the connection
    // stays open. Raises EngineError; a failed copy leaves no file behind.
    void BackupTo(const std::string& path) const;
    // Replaces the whole database by the copy at `path` through the same
    // page-by-page copy, so the connection stays open and usable. Raises
    // EngineError, and then the database is as it was.
    void RestoreFrom(const std::string& path);

private:
    static int Authorize(void* self, int action, const char* arg1, const char*, const char*, const char*);
    void ExecInternal(const char* sql);
    Result Execute(const std::string& sql);
    Result RunTrusted(const std::string& sql);
    sqlite3* db_ = nullptr;
    TraceHook trace_;
    bool trusted_ = false; // running the binding's own statement
    bool inTrans_ = false; // between BeginTrans and its commit or rollback
};

// One field of the current row.
class TField {
public:
    TField(const Value* value, ColumnKind kind) : value_(value), kind_(kind) {}
    bool IsNull() const { return value_->IsNull(); }
    std::string AsString() const;   // NULL gives ""
    double AsFloat() const;         // NULL gives 0
    std::int64_t AsInteger() const; // NULL gives 0
    bool AsBoolean() const;         // NULL gives false; any non-zero is true
    Date AsDateTime() const;        // NULL gives the zero date 1899-12-30
    std::string AsDateText() const; // the date as short date text
    std::string StoredText() const; // the value as stored, without any reading as a date

private:
    const Value* value_;
    ColumnKind kind_;
};

class TADOQuery {
public:
    explicit TADOQuery(TADOConnection& connection) : connection_(&connection) {}

    // The statement text (a single line in this program).
    void SetSQL(std::string text) { sql_ = std::move(text); }
    const std::string& SQL() const { return sql_; }

    void Open();    // a select: rows are read at once
    void ExecSQL(); // a statement that yields no rows
    void Close();
    bool Active() const { return active_; }

    bool Eof() const;
    void Next();
    void First();
    int RecordCount() const;
    int FieldCount() const;
    TField Fields(int index) const;
    TField FieldByName(std::string_view name) const;

private:
    void CheckActive() const;
    TADOConnection* connection_;
    std::string sql_;
    bool active_ = false;
    std::size_t row_ = 0;
    TADOConnection::Result result_;
};

// The one quoting function for text values: the text between single quotes,
// each single quote doubled and NUL characters dropped, so no typed text can
// end the literal.
std::string QuoteText(std::string_view text);

} // namespace lty
