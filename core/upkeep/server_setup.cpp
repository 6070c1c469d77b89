#include "core/upkeep/server_setup.h"

#include "core/data/quotation_tables.h"
#include "core/db/engine.h"
#include "core/db/pg_connection.h"
#include "core/upkeep/migration.h"
#include "core/upkeep/sql_scripts.h"

#include <sqlite3.h>

#include <tuple>

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

std::string List(const std::vector<std::string_view>& tables) {
    std::string out;
    for (const auto t : tables) {
        if (!out.empty()) out.append(", ");
        out.append(t);
    }
    return out;
}

bool RoleExists(PgConnection& db, const std::string& role) {
    return !db.Scalar("select 1 from pg_roles where rolname = $1", {role}).empty();
}

// Made when absent (never without a password: a login role without one is
// either open to anyone the server trusts or unusable), its password set
// when one is given.
void EnsureRole(PgConnection& db, const std::string& name, const std::string& password,
                const std::function<void(const std::string&)>& log) {
    if (!RoleExists(db, name)) {
        db.Exec("CREATE ROLE " + PgIdentifier(name) + " LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE NOINHERIT");
        log("created role " + name);
    }
    if (!password.empty())
        db.Exec(db.Scalar("select format('ALTER ROLE %I PASSWORD %L', $1::text, $2::text)", {name, password}));
}

} // namespace

const std::vector<std::string_view>& DesignerWrittenTables() {
    static const std::vector<std::string_view> tables{"tblProject",      "TMP_Print",       "TBLPROJECTRATE",
                                                      "TBLPROJECTROOMS", "TBLPROJECTSTAMP", "TBLPROJECTVERSION",
                                                      "TBLTEMPLATE"};
    return tables;
}

const std::vector<std::string_view>& ManagerWrittenTables() {
    static const std::vector<std::string_view> tables{"TBLITEM",     "TBLPRODUCT",  "TBLCLASS",
                                                      "TBLUNIT",     "TBLDESIGNER", "TBLCOMPANYINFO",
                                                      "TBLPASSWORD", "TBLSETTING",  "TBLPRODUCTMEASURE"};
    return tables;
}

void SetUpServerDatabase(const ServerSetup& setup, const std::function<void(const std::string&)>& log) {
    if (setup.Database.empty() || setup.AppRole.empty() || setup.ManagerRole.empty())
        throw EngineError("a database and two role names are needed");
    if (setup.AppRole == setup.ManagerRole)
        throw EngineError("the designers' role and the administrator's role must be two roles");
    PgConnection admin(setup.AdminConninfo);
    for (const auto& [role, password, variable] :
         {std::tuple{setup.AppRole, setup.AppPassword, "LTY_APP_PASSWORD"},
          std::tuple{setup.ManagerRole, setup.ManagerPassword, "LTY_ADMIN_PASSWORD"}})
        if (password.empty() && !RoleExists(admin, role))
            throw EngineError("role " + role +
                              " does not exist yet, and a login role is not made without a "
                              "password: set " +
                              variable + "; nothing was changed");
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
        log("created the tables");
        if (setup.FirstRows) {
            CopyFirstRows(db);
            log("wrote the first rows");
        }

        EnsureRole(db, setup.AppRole, setup.AppPassword, log);
        EnsureRole(db, setup.ManagerRole, setup.ManagerPassword, log);
        const std::string app = PgIdentifier(setup.AppRole);
        const std::string manager = PgIdentifier(setup.ManagerRole);
        // Least privilege: rows and nothing else. No right to create
        // anything, not even temporary tables; the identities are advanced
        // by the tables' own triggers, so no right on a sequence. The
        // designers' role reads everything and writes only projects and
        // what belongs to them, so the office's connection settings alone
        // cannot change a price or the management password.
        const std::string dbName = PgIdentifier(setup.Database);
        db.Exec("REVOKE ALL ON DATABASE " + dbName + " FROM PUBLIC");
        db.Exec("GRANT CONNECT ON DATABASE " + dbName + " TO " + app + ", " + manager);
        db.Exec("REVOKE CREATE ON SCHEMA public FROM PUBLIC");
        db.Exec("GRANT USAGE ON SCHEMA public TO " + app + ", " + manager);
        db.Exec("REVOKE ALL ON FUNCTION lty_keep_identity_ahead() FROM PUBLIC");
        const std::string designers = List(DesignerWrittenTables());
        const std::string reference = List(ManagerWrittenTables());
        db.Exec("REVOKE ALL ON " + designers + ", " + reference + ", TBLSCHEMAVERSION FROM " + app + ", " + manager);
        db.Exec("GRANT SELECT ON " + designers + ", " + reference + ", TBLSCHEMAVERSION TO " + app + ", " + manager);
        db.Exec("GRANT INSERT, UPDATE, DELETE ON " + designers + " TO " + app + ", " + manager);
        db.Exec("GRANT INSERT, UPDATE, DELETE ON " + reference + " TO " + manager);
        // The numbering of the two added tables whose ids are identities.
        for (const char* numbered : {"tbltemplate", "tblprojectversion"})
            if (const std::string sequence = db.Scalar("select pg_get_serial_sequence($1, 'id')", {numbered});
                !sequence.empty())
                db.Exec("GRANT USAGE ON SEQUENCE " + sequence + " TO " + app + ", " + manager);
        db.Exec("COMMIT");
        log("role " + setup.AppRole +
            " reads every table and writes projects, print rows and what belongs to projects");
        log("role " + setup.ManagerRole +
            " also writes the catalog, prices, company, designers, settings and password");
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
