// One database engine beneath the binding (TADOConnection): the embedded
// file engine a single PC uses, or a server that a whole office shares.
// The data module never sees which; each engine takes the statement texts
// exactly as the data module writes them and translates what it must.
#pragma once

#include "core/data/engine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lty {

using EngineResult = TADOConnection::Result;

class DatabaseEngine {
public:
    virtual ~DatabaseEngine() = default;

    // One statement; its rows when it yields any. Raises EngineError.
    virtual EngineResult Run(const std::string& sql) = 0;
    // Statements that yield no rows, in order, sent together where the
    // engine can. Stops at the first failure and raises it. Meant to run
    // inside a transaction, which the caller then rolls back.
    virtual void RunBatch(const std::vector<std::string>& statements) = 0;

    // A write transaction: one at a time across every program on the
    // database, as the file engine's lock gives.
    virtual void BeginTrans() = 0;
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
};

} // namespace lty
