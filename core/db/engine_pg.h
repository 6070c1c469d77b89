// The server engine: PostgreSQL over libpq, for an office whose programs
// share one database. Everything that differs from the file engine is
// translated here, in one place:
//   - '#date#' literals become ISO date literals (as for the file engine);
//   - yes/no columns are integers holding -1/0 (domain lty_yesno) and read
//     back as booleans;
//   - texts compare without regard to ASCII case through the column type
//     (citext in a database whose character class is "C"), so no statement
//     changes;
//   - an insert into a table with an identity returns the new id in the
//     same round trip, for LastInsertId;
//   - names are folded to lower case by the server, and field reads by name
//     are case-insensitive in the binding already.
// A batch sends runs of inserts of plain values as one COPY.
// Only select, insert, update and delete are sent, one per call, over the
// extended protocol (which refuses a second statement in the text). Inside
// a transaction a failed statement is undone alone, as the file engine
// does, instead of spoiling the whole transaction.
#pragma once

#include "core/db/engine_interface.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lty {

class PgConnection;

class PgEngine : public DatabaseEngine {
public:
    // Connects with a libpq connection string. Raises EngineError with the
    // server's reason.
    explicit PgEngine(const std::string& conninfo);
    ~PgEngine() override;

    EngineResult Run(const std::string& sql) override;
    void RunBatch(const std::vector<std::string>& statements) override;
    std::vector<std::int64_t> InsertIds(const std::string& sql) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;
    bool InTransaction() const override;
    std::int64_t LastInsertId() const override { return lastInsertId_; }
    int Changes() const override { return changes_; }
    std::string Location() const override;
    std::vector<std::string> TableNames() override;
    std::vector<std::string> ColumnNames(const std::string& table) override;
    std::string QuickCheck() override;
    // The connection and the settings it was made with: a server's copy to a
    // database file and back is made through them by the upkeep, which knows
    // the program's tables.
    // What is done through it directly may change the tables.
    PgConnection& Connection() {
        catalogFresh_ = false;
        return *conn_;
    }
    const std::string& Conninfo() const { return conninfo_; }

    // The text actually sent for a statement of the data module, and the
    // identity column whose new value it returns ("" for none).
    struct Translation {
        std::string Sql;
        std::string IdentityColumn;
    };
    static Translation Translate(const std::string& sql);

    // For tests: called with the connection's socket each time a commit has
    // been sent and before its answer is read, so a test can lose the
    // connection at exactly that point.
    void SetCommitSentHook(std::function<void(int socket)> hook) { commitSent_ = std::move(hook); }

private:
    struct Sent;
    void Reconnect();
    void LoadColumnKinds();
    EngineResult ToResult(const void* result) const;
    void Note(const void* result, const std::string& identityColumn);
    std::vector<Sent> Pipeline(const std::vector<std::string>& texts);
    void Copy(const std::string& target, const std::string& data);

    std::string conninfo_;
    std::unique_ptr<PgConnection> conn_;
    // (table oid, column number) -> kind, and kinds of type oids seen in results.
    std::map<std::pair<unsigned, int>, ColumnKind> columnKinds_;
    unsigned citextOid_ = 0;
    // Every table's columns as read at connection; answers the check at
    // connection while nothing else has been sent.
    std::map<std::string, std::vector<std::string>> catalog_;
    bool catalogFresh_ = false;
    std::int64_t lastInsertId_ = 0;
    int changes_ = 0;
    bool inTrans_ = false;
    std::function<void(int)> commitSent_;
};

} // namespace lty
