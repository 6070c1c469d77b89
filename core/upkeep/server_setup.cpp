#include "core/upkeep/server_setup.h"

#include "core/db/engine.h"
#include "core/upkeep/migration.h"
#include "core/db/pg_connection.h"
#include "core/data/quotation_tables.h"
#include "core/upkeep/sql_scripts.h"

#include <sqlite3.h>

namespace lty {
namespace {

// The first rows as the file engine reads them: the same script that makes
// a new database file, run into memory and then copied to the server, so
// both engines start from the very same rows.
void CopyFirstRows(PgConnection& server) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw EngineError("out of memory");
    }
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> guard(db, sqlite3_close);
    for (const char* script : {FileSchemaScript(), FirstRowsScript()}) {
        char* err = nullptr;
        if (sqlite3_exec(db, script, nullptr, nullptr, &err) != SQLITE_OK) {
            const std::string msg = err ? err : "first rows";
            sqlite3_free(err);
            throw EngineError(msg);
        }
    }
    CopyRowsToServer(db, server, {});
}

std::string TableList() {
    std::string out;
    for (const auto& t : QuotationTables()) {
        if (!out.empty()) out.append(", ");
        out.append(t.Name);
    }
    return out;
}

} // namespace

void SetUpServerDatabase(const ServerSetup& setup, const std::function<void(const std::string&)>& log) {
    if (setup.Database.empty() || setup.AppRole.empty()) throw EngineError("a database and a role name are needed");
    PgConnection admin(setup.AdminConninfo);
    const bool created = admin.Scalar("select 1 from pg_database where datname = $1", {setup.Database}).empty();
    if (created) {
        admin.Exec("CREATE DATABASE " + PgIdentifier(setup.Database) +
                   " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'");
        log("created database " + setup.Database);
    }
    try {
        PgConnection db(ConninfoWith(setup.AdminConninfo, "dbname", setup.Database));
        db.Exec("SET client_encoding = 'UTF8'");
        const std::string ctype = db.Scalar("select datctype from pg_database where datname = current_database()");
        if (ctype != "C" && ctype != "POSIX")
            log("warning: the database's character classes are " + ctype +
                ", so letters beyond ASCII also compare without regard to case (the file engine tells them apart)");
        for (const auto& t : QuotationTables())
            if (!db.Scalar("select to_regclass($1)::text", {std::string(t.Name)}).empty())
                throw EngineError("database " + setup.Database + " already holds " + std::string(t.Name) +
                                  "; nothing was changed");

        db.Exec("BEGIN");
        db.Exec(ServerSchemaScript());
        log("created the nine tables");
        if (setup.FirstRows) {
            CopyFirstRows(db);
            log("wrote the first rows");
        }

        const std::string role = PgIdentifier(setup.AppRole);
        if (db.Scalar("select 1 from pg_roles where rolname = $1", {setup.AppRole}).empty()) {
            db.Exec("CREATE ROLE " + role + " LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE NOINHERIT");
            log("created role " + setup.AppRole);
        }
        if (!setup.AppPassword.empty())
            db.Exec(db.Scalar("select format('ALTER ROLE %I PASSWORD %L', $1::text, $2::text)",
                              {setup.AppRole, setup.AppPassword}));
        // Least privilege: rows of the nine tables and nothing else. No right
        // to create anything, not even temporary tables; the identities are
        // advanced by the tables' own triggers, so no right on a sequence.
        const std::string dbName = PgIdentifier(setup.Database);
        db.Exec("REVOKE ALL ON DATABASE " + dbName + " FROM PUBLIC");
        db.Exec("GRANT CONNECT ON DATABASE " + dbName + " TO " + role);
        db.Exec("REVOKE CREATE ON SCHEMA public FROM PUBLIC");
        db.Exec("GRANT USAGE ON SCHEMA public TO " + role);
        db.Exec("REVOKE ALL ON FUNCTION lty_keep_identity_ahead() FROM PUBLIC");
        db.Exec("GRANT SELECT, INSERT, UPDATE, DELETE ON " + TableList() + " TO " + role);
        // The measured rooms and the catalog's measures, rows of their own beside the nine.
        db.Exec("GRANT SELECT, INSERT, UPDATE, DELETE ON TBLPROJECTROOMS, TBLPRODUCTMEASURE TO " + role);
        db.Exec("COMMIT");
        log("role " + setup.AppRole + " may select, insert, update and delete rows of the nine tables, nothing more");
    } catch (...) {
        if (created) {
            try {
                admin.Exec("DROP DATABASE IF EXISTS " + PgIdentifier(setup.Database));
            } catch (const EngineError&) {
            }
        }
        throw;
    }
}

} // namespace lty
