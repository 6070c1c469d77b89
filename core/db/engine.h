// The binding between the data module and the SQL engine beneath it: one
// connection object and query objects bound to it, in the shape the data
// module expects (close, open, execute, rows materialised at open). The
// engine is the database file's (SQLite) or an office server's (PostgreSQL);
// the data module's statements are the same on both.
#pragma once

#include "core/db/engine_interface.h"
#include "core/text/date_text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace lty {

class PgConnection;

class TADOConnection {
public:
    TADOConnection();
    ~TADOConnection();
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;

    // Opens an existing database file read-write; never creates one.
    // Raises EngineError when the file is missing, unreadable or not a database.
    void Open(const std::string& path);
    // Connects to a PostgreSQL server by a libpq connection string. Raises
    // EngineError with the server's reason.
    void OpenServer(const std::string& conninfo);
    void Close();
    bool Connected() const { return engine_ != nullptr; }
    // "本机" or "服务器 host/db"; "" when closed.
    std::string Location() const;
    // The engine beneath, for tests that look past the binding; null when closed.
    DatabaseEngine* Engine() const { return engine_.get(); }

    // Transactions are the binding's own: statements that begin, end or
    // nest one are refused by Run. BeginTrans takes the write lock at once
    // (the file's, or the server's lock that write transactions take turns
    // by), so a check made inside holds until the commit.
    void BeginTrans();
    void CommitTrans();
    // Ends the transaction, also when the engine already rolled it back.
    void RollbackTrans();
    bool InTransaction() const;

    // The engine's own view of the database, for the check at connection:
    // its tables, one table's columns (none when it is missing), and the
    // result of the engine's quick check ("ok" when sound).
    std::vector<std::string> TableNames();
    std::vector<std::string> ColumnNames(const std::string& table);
    std::string QuickCheck();

    // The file engine's handle, for test support that needs engine settings
    // no statement may change (a page limit, a busy timeout); null on a server.
    sqlite3* Handle() const;

    // Sees every statement text exactly as the data module sent it.
    using TraceHook = std::function<void(const std::string&)>;
    void SetTraceHook(TraceHook hook) { trace_ = std::move(hook); }

    // Runs one statement; fills rows when it yields any.
    using Result = EngineResult;
    Result Run(const std::string& sql);
    // Statements that yield no rows, sent together where the engine can (one
    // round trip to a server for hundreds); stops at the first failure and
    // raises it. Inside a transaction, which the caller then rolls back.
    void RunBatch(const std::vector<std::string>& statements);
    // A multi-row insert into a table whose key the engine assigns, in one
    // round trip; the new keys in the order of the rows.
    std::vector<std::int64_t> InsertIds(const std::string& sql);

    std::int64_t LastInsertId() const;
    int Changes() const;

    // A consistent copy of the whole database file into a new file at
    // `path` (an existing file there is replaced), taken while the
    // connection stays open. Raises EngineError; a failed copy leaves no file
    // behind. Only a database file is copied this way: a server's rows travel
    // through Server() (see the upkeep's backup).
    void BackupTo(const std::string& path) const;
    // Replaces the whole database file by the copy at `path` through the same
    // page-by-page copy, so the connection stays open and usable. Raises
    // EngineError, and then the database is as it was. The copy is checked
    // by the caller: the binding does not know the program's tables.
    void RestoreFrom(const std::string& path);
    // The server connection and its settings; null and "" on a file.
    PgConnection* Server() const;
    std::string ServerConninfo() const;

private:
    DatabaseEngine& Live() const;
    std::unique_ptr<DatabaseEngine> engine_;
    TraceHook trace_;
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

    void Open(); // a select: rows are read at once
    // Opens on rows the statement `sql` gave earlier, without asking the
    // engine again (rows read back inside a transaction that is over now).
    void OpenRows(std::string sql, const TADOConnection::Result& rows);
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
