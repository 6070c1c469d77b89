// lty_server_setup: makes the quotation database on a PostgreSQL server,
// with the nine tables, the first rows and the role the programs connect as.
#include "core/db/pg_connection.h"
#include "core/upkeep/backup.h"
#include "core/upkeep/schema_upgrade.h"
#include "core/upkeep/server_setup.h"

#include <ctime>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: lty_server_setup --admin CONNINFO [--database NAME] [--role NAME] [--without-first-rows]\n"
                 "       lty_server_setup --admin CONNINFO --upgrade [--database NAME] [--backup FILE]\n"
                 "  --admin     libpq connection string of a role that may create databases and roles,\n"
                 "              e.g. \"host=db.example port=5432 user=postgres dbname=postgres\"\n"
                 "  --database  the database to make (default lty); created when absent\n"
                 "  --role      the role the programs connect as (default lty_app); its password is\n"
                 "              taken from the environment variable LTY_APP_PASSWORD when set\n"
                 "  --without-first-rows  empty tables, for lty_migrate to fill from an existing LTY.db\n"
                 "  --upgrade   adds what this version needs to a database an older version made, after\n"
                 "              copying every row into a database file; nothing is done when none is needed\n"
                 "  --backup    that copy (default Data/backup/LTY-YYYYMMDD-HHMMSS.db below the current folder)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    lty::ServerSetup setup;
    bool upgrade = false;
    std::string backup;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--admin")
            setup.AdminConninfo = next();
        else if (a == "--database")
            setup.Database = next();
        else if (a == "--role")
            setup.AppRole = next();
        else if (a == "--without-first-rows")
            setup.FirstRows = false;
        else if (a == "--upgrade")
            upgrade = true;
        else if (a == "--backup")
            backup = next();
        else
            return Usage();
    }
    if (setup.AdminConninfo.empty()) return Usage();
    auto print = [](const std::string& line) { std::cout << line << "\n"; };
    if (upgrade) {
        if (backup.empty()) backup = "Data/backup/" + lty::BackupFileName(std::time(nullptr));
        try {
            lty::UpgradeServerDatabase(lty::ConninfoWith(setup.AdminConninfo, "dbname", setup.Database), backup,
                                       print);
        } catch (const std::exception& e) {
            std::cerr << "lty_server_setup: the upgrade failed, the database is as it was: " << e.what() << "\n";
            return 1;
        }
        return 0;
    }
    if (const char* pw = std::getenv("LTY_APP_PASSWORD")) setup.AppPassword = pw;
    try {
        lty::SetUpServerDatabase(setup, print);
    } catch (const std::exception& e) {
        std::cerr << "lty_server_setup: " << e.what() << "\n";
        return 1;
    }
    std::cout << "done: programs connect with \"host=... dbname=" << setup.Database << " user=" << setup.AppRole
              << "\" in Data/server.conf\n";
    return 0;
}
