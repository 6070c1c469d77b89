// A plain libpq connection for the server engine, the set-up and migration
// tools and the tests: open by connection string, run a script, read rows
// as text. Errors raise EngineError with the server's own message.
#pragma once

#include "core/db/engine_interface.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace lty {

// A connection that could not be made. `Address` is the server as it was
// tried ("host:port"; a local socket is "localhost"); `Answered` whether a
// server answered there at all: a wrong database, user or password, as
// against a server stopped, a wrong address or the network down.
class ServerConnectError : public EngineError {
public:
    ServerConnectError(const std::string& reason, std::string address, bool answered)
        : EngineError(reason), address_(std::move(address)), answered_(answered) {}
    const std::string& Address() const { return address_; }
    bool Answered() const { return answered_; }

private:
    std::string address_;
    bool answered_;
};

// Owns one result.
struct PgResultDeleter {
    void operator()(pg_result* r) const;
};
using PgResult = std::unique_ptr<pg_result, PgResultDeleter>;

class PgConnection {
public:
    // Connects; raises ServerConnectError carrying libpq's reason on failure.
    explicit PgConnection(const std::string& conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    pg_conn* Handle() const { return conn_; }

    // Runs a script of any number of statements (simple protocol); raises on
    // the first error. Only for the tools' own fixed texts, never for text
    // assembled from user input.
    void Exec(const std::string& script);
    // One statement with its values passed apart from the text; rows as text,
    // NULL as nullopt.
    using Row = std::vector<std::optional<std::string>>;
    std::vector<Row> Query(const std::string& sql, const std::vector<std::string>& params = {});
    // The first column of the first row, "" when there is none or it is NULL.
    std::string Scalar(const std::string& sql, const std::vector<std::string>& params = {});

    // COPY ... FROM STDIN: begin it, send its rows (any number of pieces),
    // end it. End raises the server's error; Abandon ends it with `reason`.
    void BeginCopy(const std::string& copyStatement);
    void PutCopy(std::string_view data);
    void EndCopy();
    void AbandonCopy(const std::string& reason);
    // Rows touched by the last command (e.g. a COPY's row count).
    int LastCount() const { return lastCount_; }

    std::string Host() const;
    std::string Database() const;
    std::string User() const;
    // The server process that serves this connection: what a notice names
    // as its sender.
    int BackendPid() const;

    // Notices another session sends with NOTIFY on a channel this connection
    // listens to (LISTEN, through Exec). TakeNotices reads what has arrived
    // without waiting and answers it, oldest first; it raises EngineError
    // when the connection is lost.
    struct Notice {
        int SenderPid = 0;
        std::string Channel;
        std::string Payload;
    };
    std::vector<Notice> TakeNotices();

    // The server's error text of a failed result (or of the connection).
    std::string ErrorOf(const pg_result* r) const;

private:
    pg_conn* conn_ = nullptr;
    int lastCount_ = 0;
};

// A text as one field of COPY's text form: backslash, tab, newline and
// carriage return escaped.
void AppendCopyText(std::string& out, std::string_view text);

// A name as a double-quoted SQL identifier.
std::string PgIdentifier(std::string_view name);

// Parses a libpq connection string; raises EngineError when it is not one.
// Gives the value of `keyword` in it, "" when absent.
std::string ConninfoValue(const std::string& conninfo, const std::string& keyword);

// The same connection string with `keyword` set to `value` (e.g. another
// dbname or user).
std::string ConninfoWith(const std::string& conninfo, std::string_view keyword, std::string_view value);

} // namespace lty
