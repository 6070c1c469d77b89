// The file engine: SQLite on Data/LTY.db, what a single PC uses without any
// set-up. Date literals become ISO texts; texts compare without regard to
// ASCII case through the columns' NOCASE collation; yes/no are -1/0. An
// authorizer refuses anything but rows (schema, settings, other files,
// transaction control) unless the engine itself runs the statement.
#pragma once

#include "core/db/engine_interface.h"

struct sqlite3;

namespace lty {

class SqliteEngine : public DatabaseEngine {
public:
    // Opens an existing database file read-write (or only for reading, as
    // for a copy that is looked at before a restore); never creates one.
    // Raises EngineError when the file is missing, unreadable or not a database.
    enum class Access { ReadWrite, ReadOnly };
    explicit SqliteEngine(const std::string& path, Access access = Access::ReadWrite);
    ~SqliteEngine() override;
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;

    EngineResult Run(const std::string& sql) override;
    void RunBatch(const std::vector<std::string>& statements) override;
    std::vector<std::int64_t> InsertIds(const std::string& sql) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;
    bool InTransaction() const override;
    std::int64_t LastInsertId() const override;
    int Changes() const override;
    std::string Location() const override { return "本机"; }
    std::vector<std::string> TableNames() override;
    std::vector<std::string> ColumnNames(const std::string& table) override;
    std::string QuickCheck() override;
    // A number that changes whenever another connection (another program on
    // the same file) has committed a change since it was last read; this
    // connection's own commits leave it as it is.
    std::int64_t DataVersion();
    // Page by page through the engine's backup interface (engine_backup.cpp).
    // A consistent copy of the whole database into a new database file at
    // `path` (an existing file there is replaced), taken while the
    // connection stays open; and the whole database replaced by such a copy.
    // Raise EngineError; a failed backup leaves no file behind, a failed
    // restore leaves the database as it was.
    void BackupTo(const std::string& path);
    void RestoreFrom(const std::string& path);

    // The engine handle, for test support that needs engine settings no
    // statement may change (a page limit, a busy timeout).
    sqlite3* Handle() const { return db_; }

private:
    static int Authorize(void* self, int action, const char* arg1, const char*, const char*, const char*);
    void ExecInternal(const char* sql);
    EngineResult Execute(const std::string& sql);
    EngineResult RunTrusted(const std::string& sql);
    sqlite3* db_ = nullptr;
    bool trusted_ = false; // running the engine's own statement
    bool inTrans_ = false; // between BeginTrans and its commit or rollback
};

} // namespace lty
