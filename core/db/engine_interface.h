// One database engine beneath the binding (TADOConnection): the embedded
// file engine a single PC uses, or a server that a whole office shares.
// The data module never sees which; each engine takes the statement texts
// exactly as the data module writes them and translates what it must.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace lty {

// Any error the engine raises; the text is the engine's message.
class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A commit whose answer never came: the connection was lost after the
// commit had been sent, so whether the transaction is stored is known only
// by asking the database again.
class CommitOutcomeUnknown : public EngineError {
public:
    using EngineError::EngineError;
};

// How a column was declared, so a read can give a date as date text.
enum class ColumnKind { Any, Text, Number, Integer, Date, YesNo };

struct Value {
    std::variant<std::monostate, std::int64_t, double, std::string> Data;
    bool IsNull() const { return std::holds_alternative<std::monostate>(Data); }
};

// The rows of one statement, read at once.
struct EngineResult {
    std::vector<std::string> Names;
    std::vector<ColumnKind> Kinds;
    std::vector<std::vector<Value>> Rows;
};

class DatabaseEngine {
public:
    virtual ~DatabaseEngine() = default;

    // One statement; its rows when it yields any. Raises EngineError.
    virtual EngineResult Run(const std::string& sql) = 0;
    // Statements that yield no rows, in order, sent together where the
    // engine can. Stops at the first failure and raises it. Meant to run
    // inside a transaction, which the caller then rolls back.
    virtual void RunBatch(const std::vector<std::string>& statements) = 0;
    // An insert of any number of rows ("values (...),(...)") into a table
    // whose key the engine assigns, in one round trip: the keys given to the
    // rows, in ascending order, which is the order of the rows (each engine
    // hands out increasing keys as it inserts them). Raises EngineError.
    virtual std::vector<std::int64_t> InsertIds(const std::string& sql) = 0;

    // A write transaction: one at a time across every program on the
    // database, as the file engine's lock gives.
    virtual void BeginTrans() = 0;
    // Raises CommitOutcomeUnknown when the connection is lost between
    // sending the commit and its answer.
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
    virtual bool InTransaction() const = 0;

    // The identity given to the row of the last insert that got one.
    virtual std::int64_t LastInsertId() const = 0;
    // Rows touched by the last insert, update or delete.
    virtual int Changes() const = 0;

    // Where the data live, as the status bar names it: "本机" or
    // "服务器 host/db".
    virtual std::string Location() const = 0;

    // The engine's own view of the database, for the check at connection:
    // its tables, one table's columns (none when it is missing), and the
    // result of the engine's check of its storage ("ok" when sound).
    virtual std::vector<std::string> TableNames() = 0;
    virtual std::vector<std::string> ColumnNames(const std::string& table) = 0;
    virtual std::string QuickCheck() = 0;
};

} // namespace lty
