#include "core/db/pg_connection.h"

#include "core/db/engine_interface.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>

namespace lty {
namespace {

std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

struct ConninfoDeleter {
    void operator()(PQconninfoOption* o) const { PQconninfoFree(o); }
};
using ConninfoOptions = std::unique_ptr<PQconninfoOption, ConninfoDeleter>;

ConninfoOptions ParseConninfo(const std::string& conninfo) {
    char* err = nullptr;
    ConninfoOptions options(PQconninfoParse(conninfo.c_str(), &err));
    if (!options) {
        std::string msg = err ? Trimmed(err) : std::string("out of memory");
        PQfreemem(err);
        throw EngineError(msg);
    }
    return options;
}

// A value in the quoted form of a connection string: 'it''s' is written 'it\'s'.
std::string ConninfoQuoted(std::string_view value) {
    std::string out("'");
    for (char c : value) {
        if (c == '\'' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('\'');
    return out;
}

} // namespace

void PgResultDeleter::operator()(pg_result* r) const { PQclear(r); }

PgConnection::PgConnection(const std::string& conninfo) {
    // Parsed first so that a malformed string gives libpq's reason and never
    // reaches the network.
    ParseConninfo(conninfo);
    // A server that does not answer must not hold the program's start for
    // minutes; the string's own connect_timeout, if any, wins over this one.
    const char* keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {"10", conninfo.c_str(), nullptr};
    conn_ = PQconnectdbParams(keywords, values, 1);
    if (!conn_) throw EngineError("out of memory");
    if (PQstatus(conn_) != CONNECTION_OK) {
        const std::string msg = Trimmed(PQerrorMessage(conn_));
        std::string host = PQhost(conn_) ? PQhost(conn_) : "";
        if (host.empty() || host.front() == '/') host = "localhost";
        const std::string address = host + ":" + (PQport(conn_) ? PQport(conn_) : "");
        PQfinish(conn_);
        conn_ = nullptr;
        // Whether a server answers there at all tells a stopped server or a
        // broken network from a wrong name or password: they need different
        // remedies. Asked only now that the connection failed, and briefly.
        const char* pingValues[] = {"3", conninfo.c_str(), nullptr};
        const bool answered = PQpingParams(keywords, pingValues, 1) == PQPING_OK;
        throw ServerConnectError(msg, address, answered);
    }
    // Notices (e.g. "relation already exists, skipping") are not errors and
    // must not reach the terminal of a program that has none.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
}

PgConnection::~PgConnection() {
    if (conn_) PQfinish(conn_);
}

int PgConnection::BackendPid() const { return PQbackendPID(conn_); }

std::vector<PgConnection::Notice> PgConnection::TakeNotices() {
    if (!PQconsumeInput(conn_) || PQstatus(conn_) != CONNECTION_OK) throw EngineError(Trimmed(PQerrorMessage(conn_)));
    std::vector<Notice> notices;
    while (PGnotify* n = PQnotifies(conn_)) {
        notices.push_back({n->be_pid, n->relname ? n->relname : "", n->extra ? n->extra : ""});
        PQfreemem(n);
    }
    return notices;
}

std::string PgConnection::ErrorOf(const pg_result* r) const {
    // The server's own sentence, as the file engine gives its own: without
    // the severity word and the PL/pgSQL context lines around it.
    if (r) {
        if (const char* primary = PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY)) {
            std::string msg = primary;
            if (const char* detail = PQresultErrorField(r, PG_DIAG_MESSAGE_DETAIL)) msg.append("\n").append(detail);
            return msg;
        }
        const char* m = PQresultErrorMessage(r);
        if (m && *m) return Trimmed(m);
    }
    return Trimmed(PQerrorMessage(conn_));
}

void PgConnection::Exec(const std::string& script) {
    PgResult r(PQexec(conn_, script.c_str()));
    const auto st = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK && st != PGRES_EMPTY_QUERY) throw EngineError(ErrorOf(r.get()));
}

std::vector<PgConnection::Row> PgConnection::Query(const std::string& sql, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& p : params) values.push_back(p.c_str());
    PgResult r(
        PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr, 0));
    const auto st = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) throw EngineError(ErrorOf(r.get()));
    std::vector<Row> rows;
    const int n = PQntuples(r.get());
    const int cols = PQnfields(r.get());
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        Row row;
        row.reserve(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            if (PQgetisnull(r.get(), i, c))
                row.emplace_back(std::nullopt);
            else
                row.emplace_back(
                    std::string(PQgetvalue(r.get(), i, c), static_cast<std::size_t>(PQgetlength(r.get(), i, c))));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string PgConnection::Scalar(const std::string& sql, const std::vector<std::string>& params) {
    const auto rows = Query(sql, params);
    if (rows.empty() || rows.front().empty() || !rows.front().front()) return {};
    return *rows.front().front();
}

void PgConnection::BeginCopy(const std::string& copyStatement) {
    PgResult r(PQexec(conn_, copyStatement.c_str()));
    if (PQresultStatus(r.get()) != PGRES_COPY_IN) throw EngineError(ErrorOf(r.get()));
}

void PgConnection::PutCopy(std::string_view data) {
    constexpr std::size_t kPiece = 1 << 20;
    for (std::size_t at = 0; at < data.size(); at += kPiece) {
        const std::size_t n = std::min(kPiece, data.size() - at);
        if (PQputCopyData(conn_, data.data() + at, static_cast<int>(n)) != 1) throw EngineError(ErrorOf(nullptr));
    }
}

void PgConnection::EndCopy() {
    if (PQputCopyEnd(conn_, nullptr) != 1) throw EngineError(ErrorOf(nullptr));
    PgResult end(PQgetResult(conn_));
    const bool ok = PQresultStatus(end.get()) == PGRES_COMMAND_OK;
    const std::string msg = ok ? std::string() : ErrorOf(end.get());
    if (ok) {
        const char* n = PQcmdTuples(end.get());
        lastCount_ = n && *n ? std::atoi(n) : 0;
    }
    while (PGresult* r = PQgetResult(conn_)) PQclear(r);
    if (!ok) throw EngineError(msg);
}

void PgConnection::AbandonCopy(const std::string& reason) {
    PQputCopyEnd(conn_, reason.c_str());
    while (PGresult* r = PQgetResult(conn_)) PQclear(r);
}

std::string PgConnection::Host() const {
    const char* h = PQhost(conn_);
    return h ? h : "";
}

std::string PgConnection::Database() const {
    const char* d = PQdb(conn_);
    return d ? d : "";
}

std::string PgConnection::User() const {
    const char* u = PQuser(conn_);
    return u ? u : "";
}

void AppendCopyText(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '\\':
            out.append("\\\\");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\t':
            out.append("\\t");
            break;
        default:
            out.push_back(c);
        }
    }
}

std::string PgIdentifier(std::string_view name) {
    std::string out("\"");
    for (char c : name) {
        if (c == '"') out.push_back('"');
        if (c != '\0') out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string ConninfoValue(const std::string& conninfo, const std::string& keyword) {
    const auto options = ParseConninfo(conninfo);
    for (const PQconninfoOption* o = options.get(); o->keyword; ++o)
        if (keyword == o->keyword) return o->val ? o->val : "";
    return {};
}

std::string ConninfoWith(const std::string& conninfo, std::string_view keyword, std::string_view value) {
    const auto options = ParseConninfo(conninfo);
    std::string out;
    for (const PQconninfoOption* o = options.get(); o->keyword; ++o) {
        const bool replaced = keyword == o->keyword;
        if (!replaced && (!o->val || !*o->val)) continue;
        if (!out.empty()) out.push_back(' ');
        out.append(o->keyword).push_back('=');
        out.append(ConninfoQuoted(replaced ? value : std::string_view(o->val)));
    }
    return out;
}

} // namespace lty
