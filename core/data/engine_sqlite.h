// The file engine: SQLite on Data/LTY.db, what a single PC uses without any
// set-up. Date literals become ISO texts; texts compare without regard to
// ASCII case through the columns' NOCASE collation; yes/no are -1/0.
#pragma once

#include "core/data/engine_interface.h"

struct sqlite3;

namespace lty {

class SqliteEngine : public DatabaseEngine {
public:
    // Opens an existing database file read-write; never creates one.
    // Raises EngineError when the file is missing, unreadable or not a database.
    explicit SqliteEngine(const std::string& path);
    ~SqliteEngine() override;
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;

    EngineResult Run(const std::string& sql) override;
    void RunBatch(const std::vector<std::string>& statements) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;
    bool InTransaction() const override;
    std::int64_t LastInsertId() const override;
    int Changes() const override;
    std::string Location() const override { return "本机"; }

    // The engine handle, for tests that need engine settings no statement may change.
    sqlite3* Handle() const { return db_; }

private:
    void ExecInternal(const char* sql);
    sqlite3* db_ = nullptr;
};

} // namespace lty
