#include "core/upkeep/migration.h"

#include "core/data/database_check.h"
#include "core/db/engine.h"
#include "core/db/pg_connection.h"
#include "core/data/quotation_tables.h"
#include "core/upkeep/schema_upgrade.h"
#include "core/upkeep/sql_scripts.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>

namespace lty {
namespace {
namespace fs = std::filesystem;

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteCloser>;
struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using SqliteStmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

[[noreturn]] void FileError(sqlite3* db, const std::string& what) {
    throw EngineError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

SqliteDb OpenFile(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        SqliteDb guard(db);
        FileError(db, path);
    }
    SqliteDb out(db);
    sqlite3_busy_timeout(db, 5000);
    return out;
}

SqliteStmt Prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) FileError(db, sql);
    return SqliteStmt(st);
}

long long FileScalar(sqlite3* db, const std::string& sql) {
    auto st = Prepare(db, sql);
    if (sqlite3_step(st.get()) != SQLITE_ROW) return 0;
    return sqlite3_column_int64(st.get(), 0);
}

std::string ColumnList(const QuotationTable& t) {
    std::string out;
    for (const auto c : t.Columns) {
        if (!out.empty()) out.push_back(',');
        out.append(c);
    }
    return out;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The highest id a table's identity has handed out in the file: its row
// maximum, or more when newer rows were deleted since.
long long FileIdentityHigh(sqlite3* db, const QuotationTable& t) {
    long long high =
        FileScalar(db, "select coalesce(max(" + std::string(t.Identity) + "),0) from " + std::string(t.Name));
    if (FileScalar(db, "select count(*) from sqlite_master where name='sqlite_sequence'") > 0) {
        auto st = Prepare(db, "select max(seq) from sqlite_sequence where name=?1 collate nocase");
        sqlite3_bind_text(st.get(), 1, t.Name.data(), static_cast<int>(t.Name.size()), SQLITE_STATIC);
        if (sqlite3_step(st.get()) == SQLITE_ROW)
            high = std::max(high, static_cast<long long>(sqlite3_column_int64(st.get(), 0)));
    }
    return high;
}

// A value in COPY's text form: \N for NULL, backslash escapes for the
// characters that separate fields and rows.
void AppendCopyValue(std::string& line, sqlite3_stmt* st, int c, const QuotationTable& t) {
    switch (sqlite3_column_type(st, c)) {
    case SQLITE_NULL:
        line.append("\\N");
        return;
    case SQLITE_INTEGER:
        line.append(std::to_string(sqlite3_column_int64(st, c)));
        return;
    case SQLITE_FLOAT: {
        const double d = sqlite3_column_double(st, c);
        if (std::isnan(d)) {
            line.append("NaN");
        } else if (std::isinf(d)) {
            line.append(d > 0 ? "Infinity" : "-Infinity");
        } else {
            // The shortest text that reads back as the same double.
            char buf[32];
            const auto res = std::to_chars(buf, buf + sizeof buf, d);
            line.append(buf, res.ptr);
        }
        return;
    }
    case SQLITE_BLOB:
        throw EngineError("binary value in " + std::string(t.Name) + "." +
                          std::string(t.Columns[static_cast<std::size_t>(c)]) + ": the server keeps only text there");
    default:
        AppendCopyText(line, std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                              static_cast<std::size_t>(sqlite3_column_bytes(st, c))));
    }
}

void ServerSettings(PgConnection& server) {
    server.Exec("SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; SET extra_float_digits = 1; "
                "SET standard_conforming_strings = on");
}

void RequireEmptyServer(PgConnection& server) {
    const auto tables = TablesToCopy(server);
    std::string locks;
    for (const auto& t : tables) {
        if (!locks.empty()) locks.append(", ");
        locks.append(t.Name);
    }
    // Nobody writes while the copy checks and fills the tables.
    server.Exec("LOCK TABLE " + locks + " IN EXCLUSIVE MODE");
    for (const auto& t : tables)
        if (server.Scalar("select exists (select 1 from " + std::string(t.Name) + ")") == "t")
            throw EngineError("the target database is not empty (" + std::string(t.Name) +
                              " holds rows); nothing was copied");
}

void RequireEmptyFile(sqlite3* db) {
    for (const auto& t : TablesToCopy(db))
        if (FileScalar(db, "select exists (select 1 from " + std::string(t.Name) + ")") != 0)
            throw EngineError("the target file is not empty (" + std::string(t.Name) +
                              " holds rows); nothing was copied");
}

} // namespace

void FileExec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        throw EngineError(msg);
    }
}

std::vector<TableRows> CopyRowsToServer(sqlite3* file, PgConnection& server, const CopyProgress& progress,
                                        bool strictIdentity) {
    // The nine and the added tables the file holds (an older file has fewer).
    const auto tables = TablesToCopy(file);
    std::vector<TableRows> counts;
    long long total = 0;
    for (const auto& t : tables) {
        counts.push_back({std::string(t.Name), FileScalar(file, "select count(*) from " + std::string(t.Name))});
        total += counts.back().Rows;
    }
    long long done = 0;
    std::size_t index = 0;
    for (const auto& t : tables) {
        const std::string name(t.Name);
        if (progress) progress(done, total, name);
        const long long rows = counts[index++].Rows;
        if (rows > 0) {
            server.BeginCopy("COPY " + name + " (" + ColumnList(t) + ") FROM STDIN");
            // Rows in the order the file engine keeps them, which is the order
            // a select without "order by" shows them in (the grade and unit lists).
            auto st = Prepare(file, "select " + ColumnList(t) + " from " + name + " order by rowid");
            const int cols = static_cast<int>(t.Columns.size());
            std::string buffer;
            long long copied = 0;
            int rc;
            try {
                while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
                    for (int c = 0; c < cols; ++c) {
                        if (c > 0) buffer.push_back('\t');
                        AppendCopyValue(buffer, st.get(), c, t);
                    }
                    buffer.push_back('\n');
                    if (buffer.size() > (1u << 20)) {
                        server.PutCopy(buffer);
                        buffer.clear();
                    }
                    if (++copied % 512 == 0 && progress) progress(done + copied, total, name);
                }
                if (rc != SQLITE_DONE) FileError(file, name);
                if (!buffer.empty()) server.PutCopy(buffer);
            } catch (const EngineError& e) {
                server.AbandonCopy(e.what());
                throw;
            }
            try {
                server.EndCopy();
            } catch (const EngineError& e) {
                throw EngineError(name + ": " + e.what());
            }
            done += copied;
        }
        if (!t.Identity.empty()) {
            // New rows on the server must get ids past every id the file gave
            // out; the table's trigger has already moved past the copied ones.
            const long long high = FileIdentityHigh(file, t);
            const long long copiedHigh =
                FileScalar(file, "select coalesce(max(" + std::string(t.Identity) + "),0) from " + name);
            if (high > copiedHigh) {
                server.Exec("SAVEPOINT lty_identity");
                try {
                    server.Query("select setval(pg_get_serial_sequence($1, $2), $3)",
                                 {Lower(t.Name), Lower(t.Identity), std::to_string(high)});
                    server.Exec("RELEASE SAVEPOINT lty_identity");
                } catch (const EngineError& e) {
                    server.Exec("ROLLBACK TO SAVEPOINT lty_identity; RELEASE SAVEPOINT lty_identity");
                    if (strictIdentity)
                        throw EngineError(name + ": cannot move the identity past " + std::to_string(high) + " (" +
                                          e.what() + "); run the copy as the database's owner");
                }
            }
        }
    }
    if (progress) progress(done, total, "");
    return counts;
}

void ReplaceServerRows(const std::string& sqlitePath, PgConnection& server) {
    // Only a sound copy of this program's database may replace the rows:
    // anything else is refused before a row is touched.
    RequireDatabaseCopy(sqlitePath);
    auto file = OpenFile(sqlitePath, SQLITE_OPEN_READONLY);
    FileExec(file.get(), "BEGIN");
    for (const auto& t : TablesToCopy(server)) server.Exec("delete from " + std::string(t.Name));
    CopyRowsToServer(file.get(), server, {}, false);
}

std::vector<TableRows> CopyFileToServer(const std::string& sqlitePath, const std::string& conninfo,
                                        const CopyProgress& progress) {
    if (!fs::exists(sqlitePath)) throw EngineError(sqlitePath + ": no such file");
    auto file = OpenFile(sqlitePath, SQLITE_OPEN_READONLY);
    // One read transaction: the file cannot change half-way through the copy.
    FileExec(file.get(), "BEGIN");
    PgConnection server(conninfo);
    ServerSettings(server);
    server.Exec("BEGIN");
    try {
        RequireEmptyServer(server);
        auto counts = CopyRowsToServer(file.get(), server, progress);
        server.Exec("COMMIT");
        return counts;
    } catch (...) {
        try {
            server.Exec("ROLLBACK");
        } catch (const EngineError&) {
        }
        throw;
    }
}

std::vector<TableRows> CopyServerToFile(const std::string& conninfo, const std::string& sqlitePath,
                                        const CopyProgress& progress) {
    PgConnection server(conninfo);
    ServerSettings(server);
    // One snapshot: every table as it stood at one moment.
    server.Exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");

    const bool fresh = !fs::exists(sqlitePath);
    // A new file is built under another name and moved into place when
    // complete, so an interrupted copy leaves nothing that looks like a database.
    const std::string target = fresh ? sqlitePath + ".copying" : sqlitePath;
    if (fresh) {
        fs::remove(target);
        if (fs::path(sqlitePath).has_parent_path()) fs::create_directories(fs::path(sqlitePath).parent_path());
    }
    std::vector<TableRows> counts;
    try {
        auto file = OpenFile(target, SQLITE_OPEN_READWRITE | (fresh ? SQLITE_OPEN_CREATE : 0));
        FileExec(file.get(), "PRAGMA journal_mode=DELETE");
        FileExec(file.get(), "PRAGMA synchronous=FULL");
        FileExec(file.get(), "BEGIN IMMEDIATE");
        if (fresh) FileExec(file.get(), FileSchemaScript());
        // An existing file made by an older program gets the added tables first.
        if (!fresh && ReadFileSchema(file.get()).NeedsUpgrade()) ApplyFileAdditions(file.get());
        RequireEmptyFile(file.get());

        // The nine and the added tables the server holds (an older one has fewer).
        const auto tables = TablesToCopy(server);
        long long total = 0;
        for (const auto& t : tables) {
            counts.push_back(
                {std::string(t.Name), std::stoll(server.Scalar("select count(*) from " + std::string(t.Name)))});
            total += counts.back().Rows;
        }
        long long done = 0;
        for (const auto& t : tables) {
            const std::string name(t.Name);
            if (progress) progress(done, total, name);
            std::string marks;
            for (std::size_t i = 0; i < t.Columns.size(); ++i) marks.append(i ? ",?" : "?");
            auto insert = Prepare(file.get(), "insert into " + name + "(" + ColumnList(t) + ") values(" + marks + ")");
            // Physical order: the order in which a select without "order by"
            // shows the rows on the server.
            const std::string select = "select " + ColumnList(t) + " from " + name + " order by ctid";
            if (!PQsendQueryParams(server.Handle(), select.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0) ||
                !PQsetSingleRowMode(server.Handle()))
                throw EngineError(server.ErrorOf(nullptr));
            std::string error;
            while (PGresult* raw = PQgetResult(server.Handle())) {
                PgResult r(raw);
                const auto status = PQresultStatus(raw);
                if (status == PGRES_TUPLES_OK) continue; // the end of the rows
                if (status != PGRES_SINGLE_TUPLE) {
                    error = server.ErrorOf(raw);
                    continue; // read on to the end so the connection stays usable
                }
                if (!error.empty()) continue;
                sqlite3_reset(insert.get());
                for (int c = 0; c < PQnfields(raw); ++c) {
                    if (PQgetisnull(raw, 0, c)) {
                        sqlite3_bind_null(insert.get(), c + 1);
                        continue;
                    }
                    const char* v = PQgetvalue(raw, 0, c);
                    const int len = PQgetlength(raw, 0, c);
                    switch (PQftype(raw, c)) {
                    case 20:
                    case 21:
                    case 23: {
                        long long n = 0;
                        std::from_chars(v, v + len, n);
                        sqlite3_bind_int64(insert.get(), c + 1, n);
                        break;
                    }
                    case 700:
                    case 701:
                    case 1700: {
                        double d = 0;
                        if (std::from_chars(v, v + len, d).ec != std::errc()) {
                            const std::string s(v, static_cast<std::size_t>(len));
                            d = s == "Infinity" ? HUGE_VAL : s == "-Infinity" ? -HUGE_VAL : NAN;
                        }
                        sqlite3_bind_double(insert.get(), c + 1, d);
                        break;
                    }
                    default:
                        sqlite3_bind_text(insert.get(), c + 1, v, len, SQLITE_TRANSIENT);
                    }
                }
                if (sqlite3_step(insert.get()) != SQLITE_DONE) error = name + ": " + sqlite3_errmsg(file.get());
                if (++done % 512 == 0 && progress) progress(done, total, name);
            }
            if (!error.empty()) throw EngineError(error);
            if (!t.Identity.empty()) {
                // The file's own counter continues where the server's stands.
                std::string high =
                    server.Scalar("select coalesce(max(" + std::string(t.Identity) + "),0) from " + name);
                server.Exec("SAVEPOINT lty_identity");
                try {
                    const std::string seq =
                        server.Scalar("select pg_sequence_last_value(pg_get_serial_sequence($1, $2))",
                                      {Lower(t.Name), Lower(t.Identity)});
                    if (!seq.empty() && std::stoll(seq) > std::stoll(high)) high = seq;
                    server.Exec("RELEASE SAVEPOINT lty_identity");
                } catch (const EngineError&) {
                    // Not readable for this role: the highest row's id will do.
                    server.Exec("ROLLBACK TO SAVEPOINT lty_identity; RELEASE SAVEPOINT lty_identity");
                }
                if (std::stoll(high) > 0)
                    FileExec(file.get(), "delete from sqlite_sequence where name='" + name +
                                             "';insert into sqlite_sequence(name,seq) values('" + name + "'," + high +
                                             ")");
            }
        }
        FileExec(file.get(), "COMMIT");
        if (progress) progress(done, total, "");
    } catch (...) {
        if (fresh) fs::remove(target);
        throw;
    }
    server.Exec("COMMIT");
    if (fresh) {
        if (fs::exists(sqlitePath)) {
            fs::remove(target);
            throw EngineError(sqlitePath + " appeared during the copy; it is left as it is");
        }
        fs::rename(target, sqlitePath);
    }
    return counts;
}

} // namespace lty
