#include "core/db/engine_pg.h"

#include "core/db/pg_connection.h"
#include "core/db/statement_text.h"
#include "core/text/date_text.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace lty {
namespace {

// Built-in type oids (pg_type.dat); they never change.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700,
              kText = 25, kVarchar = 1043, kBpchar = 1042, kDate = 1082, kTimestamp = 1114;

// The key of the advisory lock that makes write transactions take turns,
// as the file engine's write lock does ("LTY" in ASCII).
constexpr const char* kWriteLock = "SELECT pg_advisory_xact_lock(5002329)";
constexpr const char* kSavepoint = "SAVEPOINT lty_statement";
constexpr const char* kRelease = "RELEASE SAVEPOINT lty_statement";

// The nine tables of a quotation database, as the server folds their names.
constexpr const char* kTables[] = {"tblproject",  "tblitem",        "tblproduct",  "tblclass", "tblunit",
                                   "tbldesigner", "tblcompanyinfo", "tblpassword", "tmp_print"};

// Tables whose key the server assigns, and that key.
struct Identity {
    const char* Table;
    const char* Column;
};
constexpr Identity kIdentities[] = {{"tblproject", "intid"}, {"tblitem", "item_id"}, {"tbldesigner", "id"}};

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

bool StartsWithWord(const std::string& s, std::size_t& i, const char* word) {
    const std::size_t n = std::strlen(word);
    if (i + n > s.size()) return false;
    for (std::size_t k = 0; k < n; ++k)
        if (std::tolower(static_cast<unsigned char>(s[i + k])) != word[k]) return false;
    if (i + n < s.size() && IsNameChar(s[i + n])) return false;
    i += n;
    return true;
}

// The identity column of the table an "insert into NAME" statement fills.
const char* IdentityOfInsert(const std::string& sql) {
    std::size_t i = 0;
    while (i < sql.size() && IsSpace(sql[i])) ++i;
    if (!StartsWithWord(sql, i, "insert")) return nullptr;
    while (i < sql.size() && IsSpace(sql[i])) ++i;
    if (!StartsWithWord(sql, i, "into")) return nullptr;
    while (i < sql.size() && IsSpace(sql[i])) ++i;
    std::string table;
    while (i < sql.size() && IsNameChar(sql[i]))
        table.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(sql[i++]))));
    for (const auto& id : kIdentities)
        if (table == id.Table) return id.Column;
    return nullptr;
}

// An insert of literal values (texts, numbers, dates, NULL) into a table
// whose key the server does not assign, as one row of COPY's text form.
// `target` gets "name(columns)". False for any other statement, which then
// goes as it is.
bool AsCopyRow(const std::string& sql, std::string& target, std::string& row) {
    std::size_t i = 0;
    auto blanks = [&] {
        while (i < sql.size() && IsSpace(sql[i])) ++i;
    };
    blanks();
    if (!StartsWithWord(sql, i, "insert")) return false;
    blanks();
    if (!StartsWithWord(sql, i, "into")) return false;
    blanks();
    std::string table;
    while (i < sql.size() && IsNameChar(sql[i]))
        table.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(sql[i++]))));
    if (table.empty()) return false;
    for (const auto& id : kIdentities)
        if (table == id.Table) return false; // its new id is wanted back
    blanks();
    if (i >= sql.size() || sql[i] != '(') return false;
    const std::size_t close = sql.find(')', i);
    if (close == std::string::npos) return false;
    for (std::size_t k = i + 1; k < close; ++k)
        if (!IsNameChar(sql[k]) && sql[k] != ',' && !IsSpace(sql[k])) return false;
    target = table + sql.substr(i, close - i + 1);
    i = close + 1;
    blanks();
    if (!StartsWithWord(sql, i, "values")) return false;
    blanks();
    if (i >= sql.size() || sql[i] != '(') return false;
    ++i;
    row.clear();
    for (bool first = true;; first = false) {
        blanks();
        if (!first) row.push_back('\t');
        if (i >= sql.size()) return false;
        if (sql[i] == '\'') {
            std::string text;
            for (++i;; ++i) {
                if (i >= sql.size()) return false;
                if (sql[i] == '\'') {
                    if (i + 1 >= sql.size() || sql[i + 1] != '\'') break;
                    ++i; // a doubled quote is one quote
                }
                text.push_back(sql[i]);
            }
            ++i;
            AppendCopyText(row, text);
        } else if (sql[i] == '#') {
            const std::size_t end = sql.find('#', i + 1);
            Date d;
            if (end == std::string::npos || !TryStrToDate(std::string_view(sql).substr(i + 1, end - i - 1), d))
                return false;
            row.append(DateToIso(d));
            i = end + 1;
        } else if (StartsWithWord(sql, i, "null")) {
            row.append("\\N");
        } else {
            const std::size_t from = i;
            while (i < sql.size() && (std::isdigit(static_cast<unsigned char>(sql[i])) || sql[i] == '.' ||
                                      sql[i] == '-' || sql[i] == '+' || sql[i] == 'e' || sql[i] == 'E'))
                ++i;
            double d = 0;
            const auto res = std::from_chars(sql.data() + from + (sql[from] == '+' ? 1 : 0), sql.data() + i, d);
            if (from == i || res.ec != std::errc() || res.ptr != sql.data() + i) return false;
            row.append(sql, from, i - from);
        }
        blanks();
        if (i < sql.size() && sql[i] == ',') {
            ++i;
            continue;
        }
        if (i < sql.size() && sql[i] == ')') break;
        return false;
    }
    ++i;
    blanks();
    if (i != sql.size()) return false;
    row.push_back('\n');
    return true;
}

ColumnKind KindOfTypeName(const std::string& t) {
    if (t == "lty_yesno" || t == "bool") return ColumnKind::YesNo;
    if (t == "date" || t == "timestamp" || t == "timestamptz") return ColumnKind::Date;
    if (t == "int2" || t == "int4" || t == "int8") return ColumnKind::Integer;
    if (t == "float4" || t == "float8" || t == "numeric") return ColumnKind::Number;
    if (t == "text" || t == "varchar" || t == "bpchar" || t == "citext") return ColumnKind::Text;
    return ColumnKind::Any;
}

const PGresult* Res(const void* r) { return static_cast<const PGresult*>(r); }

bool Succeeded(const PGresult* r) {
    const auto st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    return st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
}

} // namespace

struct PgEngine::Sent {
    PgResult Result;
    bool Ok = false;
};

namespace {

// Settings the translation relies on, whatever the server's defaults: ISO
// dates, backslashes as plain characters inside quotes, shortest exact float
// texts, UTF-8, and a wait for another program's lock that ends with an
// error as the file engine's busy timeout does. They travel with the login
// itself, so they cost no round trip, and a reconnection has them too.
std::string WithSettings(const std::string& conninfo) {
    std::string options = ConninfoValue(conninfo, "options");
    if (!options.empty()) options.push_back(' ');
    options.append("-c DateStyle=ISO,YMD -c standard_conforming_strings=on -c extra_float_digits=1 "
                   "-c lock_timeout=5s -c TimeZone=UTC");
    return ConninfoWith(ConninfoWith(conninfo, "options", options), "client_encoding", "UTF8");
}

} // namespace

PgEngine::PgEngine(const std::string& conninfo)
    : conninfo_(conninfo), conn_(std::make_unique<PgConnection>(WithSettings(conninfo))) {
    LoadColumnKinds();
}

void PgEngine::Reconnect() {
    PGconn* c = conn_->Handle();
    // Reading what the server may have said meanwhile, without waiting,
    // tells whether it closed the connection (its farewell, then the end).
    for (int reads = 0; reads < 4 && PQstatus(c) == CONNECTION_OK; ++reads) {
        pollfd p{PQsocket(c), POLLIN, 0};
        if (poll(&p, 1, 0) <= 0) break;
        if (!PQconsumeInput(c)) break;
    }
    if (PQstatus(c) == CONNECTION_OK) return;
    // A program stays open for days; the server may restart meanwhile. Only
    // between transactions: inside one, the statements before the loss are
    // gone with it, and the rest must not go on as if they were not.
    if (inTrans_) throw EngineError("the connection to the server was lost; the transaction is rolled back");
    PQreset(c);
    if (PQstatus(c) != CONNECTION_OK) throw EngineError(conn_->ErrorOf(nullptr));
    catalogFresh_ = false;
}

PgEngine::~PgEngine() = default;

void PgEngine::LoadColumnKinds() {
    // One round trip for every column's kind, the names the check at
    // connection asks for, and the text type's oid.
    const auto rows = conn_->Query("select c.oid::int8, a.attnum, t.typname::text, c.relname::text, a.attname::text, "
                                   "(select min(oid)::int8 from pg_type where typname = 'citext') from pg_class c "
                                   "join pg_attribute a on a.attrelid = c.oid and a.attnum > 0 and not a.attisdropped "
                                   "join pg_type t on t.oid = a.atttypid "
                                   "where c.relkind in ('r', 'p', 'v') and c.relnamespace in "
                                   "(select n.oid from pg_namespace n where n.nspname = any (current_schemas(false)))");
    catalog_.clear();
    for (const auto& r : rows) {
        const unsigned table = static_cast<unsigned>(std::stoll(*r[0]));
        const int column = std::stoi(*r[1]);
        columnKinds_[{table, column}] = KindOfTypeName(*r[2]);
        catalog_[*r[3]].push_back(*r[4]);
        if (r[5]) citextOid_ = static_cast<unsigned>(std::stoll(*r[5]));
    }
    catalogFresh_ = true;
}

PgEngine::Translation PgEngine::Translate(const std::string& sql) {
    if (!IsRowStatement(sql))
        throw EngineError("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT', or 'UPDATE'.");
    const std::string keyword = LeadingKeyword(sql);
    Translation t;
    t.Sql = TranslateDateLiterals(sql);
    if (keyword == "insert") {
        if (const char* column = IdentityOfInsert(sql)) {
            t.IdentityColumn = column;
            // On a line of its own, so a trailing "--" remark cannot hide it.
            t.Sql.append("\nreturning ").append(column);
        }
    }
    return t;
}

EngineResult PgEngine::ToResult(const void* result) const {
    const PGresult* r = Res(result);
    EngineResult out;
    const int cols = PQnfields(r);
    const int rows = PQntuples(r);
    std::vector<Oid> types(static_cast<std::size_t>(cols));
    out.Names.reserve(static_cast<std::size_t>(cols));
    for (int c = 0; c < cols; ++c) {
        out.Names.emplace_back(PQfname(r, c));
        types[static_cast<std::size_t>(c)] = PQftype(r, c);
        ColumnKind kind = ColumnKind::Any;
        const auto found = columnKinds_.find({PQftable(r, c), PQftablecol(r, c)});
        if (found != columnKinds_.end()) {
            kind = found->second;
        } else {
            switch (PQftype(r, c)) {
            case kInt2:
            case kInt4:
            case kInt8:
                kind = ColumnKind::Integer;
                break;
            case kFloat4:
            case kFloat8:
            case kNumeric:
                kind = ColumnKind::Number;
                break;
            case kDate:
            case kTimestamp:
                kind = ColumnKind::Date;
                break;
            case kText:
            case kVarchar:
            case kBpchar:
                kind = ColumnKind::Text;
                break;
            default:
                if (PQftype(r, c) == citextOid_) kind = ColumnKind::Text;
            }
        }
        out.Kinds.push_back(kind);
    }
    out.Rows.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        std::vector<Value> row(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            if (PQgetisnull(r, i, c)) continue;
            const char* text = PQgetvalue(r, i, c);
            const auto len = static_cast<std::size_t>(PQgetlength(r, i, c));
            auto& v = row[static_cast<std::size_t>(c)].Data;
            switch (types[static_cast<std::size_t>(c)]) {
            case kInt2:
            case kInt4:
            case kInt8:
            case kOid: {
                std::int64_t n = 0;
                std::from_chars(text, text + len, n);
                v = n;
                break;
            }
            case kFloat4:
            case kFloat8:
            case kNumeric: {
                // The server writes the shortest text that reads back exactly.
                double d = 0;
                const auto res = std::from_chars(text, text + len, d);
                if (res.ec != std::errc()) {
                    const std::string s(text, len);
                    d = s == "Infinity" ? HUGE_VAL : s == "-Infinity" ? -HUGE_VAL : 0.0;
                }
                v = d;
                break;
            }
            case kBool:
                v = std::int64_t{text[0] == 't' ? -1 : 0};
                break;
            default:
                v = std::string(text, len);
            }
        }
        out.Rows.push_back(std::move(row));
    }
    return out;
}

void PgEngine::Note(const void* result, const std::string& identityColumn) {
    const PGresult* r = Res(result);
    const char* tuples = PQcmdTuples(const_cast<PGresult*>(r));
    changes_ = tuples && *tuples ? std::atoi(tuples) : 0;
    if (!identityColumn.empty() && PQntuples(r) > 0 && !PQgetisnull(r, PQntuples(r) - 1, 0)) {
        const char* id = PQgetvalue(r, PQntuples(r) - 1, 0);
        std::from_chars(id, id + std::strlen(id), lastInsertId_);
    }
}

// Sends every text as one pipeline and reads every result: one round trip
// for the lot. After a failure the server skips the rest up to the sync;
// those entries come back not Ok.
std::vector<PgEngine::Sent> PgEngine::Pipeline(const std::vector<std::string>& texts) {
    PGconn* c = conn_->Handle();
    auto fail = [&]() -> void {
        const std::string msg = conn_->ErrorOf(nullptr);
        // Leave the connection usable: drop whatever is still queued.
        if (PQpipelineStatus(c) != PQ_PIPELINE_OFF) {
            while (PGresult* r = PQgetResult(c)) PQclear(r);
            PQexitPipelineMode(c);
        }
        PQsetnonblocking(c, 0);
        throw EngineError(msg.empty() ? std::string("server connection lost") : msg);
    };
    // Write everything out while reading what the server already answered,
    // so that neither side waits on a full socket buffer.
    auto flush = [&]() {
        for (;;) {
            const int f = PQflush(c);
            if (f == 0) return;
            if (f < 0) fail();
            pollfd p{PQsocket(c), POLLIN | POLLOUT, 0};
            if (poll(&p, 1, -1) < 0) fail();
            if ((p.revents & POLLIN) && !PQconsumeInput(c)) fail();
        }
    };
    if (PQsetnonblocking(c, 1) != 0 || !PQenterPipelineMode(c)) fail();
    for (const auto& t : texts) {
        if (!PQsendQueryParams(c, t.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0)) fail();
        flush();
    }
    if (!PQpipelineSync(c)) fail();
    flush();
    PQsetnonblocking(c, 0);

    std::vector<Sent> out(texts.size());
    for (auto& s : out) {
        // Each query's results end with a null result.
        while (PGresult* r = PQgetResult(c)) {
            if (!s.Result || PQresultStatus(r) == PGRES_FATAL_ERROR) {
                s.Ok = Succeeded(r);
                s.Result.reset(r);
            } else {
                PQclear(r);
            }
        }
    }
    // Then the sync's own result.
    PgResult sync(PQgetResult(c));
    if (!sync || PQresultStatus(sync.get()) != PGRES_PIPELINE_SYNC) fail();
    if (!PQexitPipelineMode(c)) fail();
    return out;
}

EngineResult PgEngine::Run(const std::string& sql) {
    catalogFresh_ = false;
    const Translation t = Translate(sql);
    Reconnect();
    PGconn* c = conn_->Handle();
    if (!inTrans_) {
        PgResult r(PQexecParams(c, t.Sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0));
        if (!Succeeded(r.get())) throw EngineError(conn_->ErrorOf(r.get()));
        Note(r.get(), t.IdentityColumn);
        return ToResult(r.get());
    }
    // Inside a transaction a failed statement must undo only itself, so it
    // runs under a savepoint; all three go out in one round trip.
    auto sent = Pipeline({kSavepoint, t.Sql, kRelease});
    if (!sent[1].Ok) {
        const std::string msg = conn_->ErrorOf(sent[1].Result.get());
        if (sent[0].Ok) {
            try {
                conn_->Exec("ROLLBACK TO SAVEPOINT lty_statement; RELEASE SAVEPOINT lty_statement");
            } catch (const EngineError&) {
                // The transaction stays spoiled; its commit will refuse.
            }
        }
        throw EngineError(msg);
    }
    if (!sent[2].Ok) throw EngineError(conn_->ErrorOf(sent[2].Result.get()));
    Note(sent[1].Result.get(), t.IdentityColumn);
    return ToResult(sent[1].Result.get());
}

std::vector<std::int64_t> PgEngine::InsertIds(const std::string& sql) {
    if (IdentityOfInsert(sql) == nullptr) throw EngineError("not an insert into a table whose key the server assigns");
    // The insert returns every new key (see Translate).
    const EngineResult r = Run(sql);
    std::vector<std::int64_t> ids;
    ids.reserve(r.Rows.size());
    for (const auto& row : r.Rows) ids.push_back(std::get<std::int64_t>(row.at(0).Data));
    std::sort(ids.begin(), ids.end());
    return ids;
}

void PgEngine::RunBatch(const std::vector<std::string>& statements) {
    catalogFresh_ = false;
    Reconnect();
    // Runs of inserts of plain values into one table go as one COPY, the
    // fastest way into the server; everything else as pipelines. A few
    // hundred statements per sync keep the server's answers well within
    // what the socket holds while the rest is still being written.
    constexpr std::size_t kChunk = 512;
    std::vector<std::string> texts;
    std::vector<std::string> identities;
    auto flush = [&] {
        if (texts.empty()) return;
        auto sent = Pipeline(texts);
        for (std::size_t k = 0; k < sent.size(); ++k) {
            if (!sent[k].Ok) throw EngineError(conn_->ErrorOf(sent[k].Result.get()));
            Note(sent[k].Result.get(), identities[k]);
        }
        texts.clear();
        identities.clear();
    };
    std::string target, row, nextTarget;
    for (std::size_t i = 0; i < statements.size();) {
        if (AsCopyRow(statements[i], target, row)) {
            std::string data = row;
            std::size_t j = i + 1;
            while (j < statements.size() && AsCopyRow(statements[j], nextTarget, row) && nextTarget == target) {
                data.append(row);
                ++j;
            }
            if (j - i > 1) {
                flush();
                Copy(target, data);
                i = j;
                continue;
            }
        }
        Translation t = Translate(statements[i]);
        texts.push_back(std::move(t.Sql));
        identities.push_back(std::move(t.IdentityColumn));
        if (texts.size() == kChunk) flush();
        ++i;
    }
    flush();
}

void PgEngine::Copy(const std::string& target, const std::string& data) {
    conn_->BeginCopy("COPY " + target + " FROM STDIN");
    try {
        conn_->PutCopy(data);
    } catch (const EngineError& e) {
        conn_->AbandonCopy(e.what());
        throw;
    }
    conn_->EndCopy();
    changes_ = conn_->LastCount();
}

void PgEngine::BeginTrans() {
    catalogFresh_ = false;
    if (inTrans_) throw EngineError("cannot start a transaction within a transaction");
    Reconnect();
    auto sent = Pipeline({"BEGIN", kWriteLock});
    if (!sent[1].Ok) {
        const std::string msg = conn_->ErrorOf(sent[1].Result.get());
        try {
            conn_->Exec("ROLLBACK");
        } catch (const EngineError&) {
        }
        throw EngineError(msg);
    }
    inTrans_ = true;
}

void PgEngine::CommitTrans() {
    if (!inTrans_) throw EngineError("cannot commit - no transaction is active");
    // Whatever the outcome, the transaction is over: committed, or rolled back.
    inTrans_ = false;
    PGconn* c = conn_->Handle();
    // A commit that never left this machine stored nothing: the server rolls
    // back what a lost connection leaves open.
    if (!PQsendQuery(c, "COMMIT")) throw EngineError(conn_->ErrorOf(nullptr));
    if (commitSent_) commitSent_(PQsocket(c));
    PgResult r(PQgetResult(c));
    while (PGresult* rest = PQgetResult(c)) PQclear(rest);
    if (!Succeeded(r.get())) {
        const std::string msg = conn_->ErrorOf(r.get());
        // Sent, but the answer was lost with the connection: the server may
        // have stored it all.
        if (PQstatus(c) != CONNECTION_OK) throw CommitOutcomeUnknown(msg);
        throw EngineError(msg);
    }
    // A transaction spoiled by an error "commits" as a rollback.
    if (std::strcmp(PQcmdStatus(r.get()), "ROLLBACK") == 0)
        throw EngineError("the transaction failed and was rolled back");
}

void PgEngine::RollbackTrans() {
    if (!inTrans_) return;
    inTrans_ = false;
    // A lost connection took the transaction with it.
    if (PQstatus(conn_->Handle()) == CONNECTION_OK) conn_->Exec("ROLLBACK");
}

bool PgEngine::InTransaction() const { return inTrans_; }

// The tables and columns the program's role sees on its search path.
constexpr const char* kVisibleColumns =
    "select c.relname::text, a.attname::text from pg_class c "
    "join pg_attribute a on a.attrelid = c.oid and a.attnum > 0 and not a.attisdropped "
    "where c.relkind in ('r', 'p', 'v') and c.relnamespace in "
    "(select n.oid from pg_namespace n where n.nspname = any (current_schemas(false)))";

std::vector<std::string> PgEngine::TableNames() {
    std::vector<std::string> names;
    // Read with the column kinds at connection, and nothing sent since.
    if (catalogFresh_) {
        for (const auto& [table, columns] : catalog_) names.push_back(table);
        return names;
    }
    for (auto& r : conn_->Query(std::string("select distinct t from (") + kVisibleColumns + ") as v(t, c)"))
        names.push_back(*r[0]);
    return names;
}

std::vector<std::string> PgEngine::ColumnNames(const std::string& table) {
    std::vector<std::string> names;
    if (catalogFresh_) {
        std::string folded = table;
        for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto found = catalog_.find(folded);
        return found == catalog_.end() ? names : found->second;
    }
    for (auto& r :
         conn_->Query(std::string("select c from (") + kVisibleColumns + ") as v(t, c) where t = lower($1)", {table}))
        names.push_back(*r[0]);
    return names;
}

std::string PgEngine::QuickCheck() {
    // The server looks after its own storage; what can fail here is the
    // connection, which the statement below shows (or the catalog read
    // that has just gone through it).
    if (catalogFresh_ && PQstatus(conn_->Handle()) == CONNECTION_OK) return "ok";
    conn_->Scalar("select 1");
    return "ok";
}

std::string PgEngine::Location() const {
    std::string host = conn_->Host();
    // A unix socket's folder says nothing to the user: it is this machine's server.
    if (host.empty() || host.front() == '/') host = "localhost";
    return "服务器 " + host + "/" + conn_->Database();
}

} // namespace lty
