// lty_server_setup: makes the quotation database on a PostgreSQL server,
// with its tables, the first rows and the two roles the programs connect as;
// or upgrades one an older version made.
#include "core/db/pg_connection.h"
#include "core/upkeep/backup.h"
#include "core/upkeep/schema_upgrade.h"
#include "core/upkeep/server_setup.h"

#include <ctime>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

void Usage(std::ostream& out) {
    out << "usage: lty_server_setup --admin CONNINFO [--database NAME] [--role NAME] [--admin-role NAME]\n"
           "                        [--without-first-rows]\n"
           "       lty_server_setup --admin CONNINFO --upgrade [--database NAME] [--backup FILE]\n"
           "  --admin       libpq connection string of a role that may create databases and roles, e.g.\n"
           "                \"dbname=postgres\" run as the postgres user on the server itself\n"
           "  --database    the database to make (default lty); created when absent\n"
           "  --role        the designers' role (default lty_app): reads everything, writes projects\n"
           "  --admin-role  the administrator's role (default lty_admin): also writes catalog, prices,\n"
           "                company, designers and the password; 系统管理 asks for its login\n"
           "  --without-first-rows  empty tables, for lty_migrate to fill from an existing LTY.db\n"
           "  --upgrade     adds what this version needs to a database an older version made, after\n"
           "                copying every row into a database file; nothing is done when none is needed\n"
           "  --backup      that copy (default Data/backup/LTY-YYYYMMDD-HHMMSS.db below the current folder)\n"
           "environment:\n"
           "  LTY_APP_PASSWORD    password of the designers' role (required when it is made)\n"
           "  LTY_ADMIN_PASSWORD  password of the administrator's role (required when it is made)\n";
}

} // namespace

int main(int argc, char** argv) {
    lty::ServerSetup setup;
    bool upgrade = false;
    std::string backup;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--help" || a == "-h") {
            Usage(std::cout);
            return 0;
        }
        if (a == "--admin")
            setup.AdminConninfo = next();
        else if (a == "--database")
            setup.Database = next();
        else if (a == "--role")
            setup.AppRole = next();
        else if (a == "--admin-role")
            setup.ManagerRole = next();
        else if (a == "--without-first-rows")
            setup.FirstRows = false;
        else if (a == "--upgrade")
            upgrade = true;
        else if (a == "--backup")
            backup = next();
        else {
            Usage(std::cerr);
            return 2;
        }
    }
    if (setup.AdminConninfo.empty()) {
        Usage(std::cerr);
        return 2;
    }
    auto print = [](const std::string& line) { std::cout << line << "\n"; };
    if (upgrade) {
        if (backup.empty()) backup = "Data/backup/" + lty::BackupFileName(std::time(nullptr));
        try {
            lty::UpgradeServerDatabase(lty::ConninfoWith(setup.AdminConninfo, "dbname", setup.Database), backup, print);
        } catch (const std::exception& e) {
            std::cerr << "lty_server_setup: the upgrade failed, the database is as it was: " << e.what() << "\n";
            return 1;
        }
        return 0;
    }
    if (const char* pw = std::getenv("LTY_APP_PASSWORD")) setup.AppPassword = pw;
    if (const char* pw = std::getenv("LTY_ADMIN_PASSWORD")) setup.ManagerPassword = pw;
    try {
        lty::SetUpServerDatabase(setup, print);
    } catch (const std::exception& e) {
        std::cerr << "lty_server_setup: " << e.what() << "\n";
        return 1;
    }
    std::cout << "done: programs connect with \"host=... dbname=" << setup.Database << " user=" << setup.AppRole
              << "\" in Data/server.conf; 系统管理 asks for the login of " << setup.ManagerRole << "\n";
    return 0;
}
