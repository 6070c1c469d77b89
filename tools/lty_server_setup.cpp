// lty_server_setup: makes the quotation database on a PostgreSQL server,
// with the nine tables, the first rows and the role the programs connect as.
#include "core/upkeep/server_setup.h"

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: lty_server_setup --admin CONNINFO [--database NAME] [--role NAME] [--without-first-rows]\n"
                 "  --admin     libpq connection string of a role that may create databases and roles,\n"
                 "              e.g. \"host=db.example port=5432 user=postgres dbname=postgres\"\n"
                 "  --database  the database to make (default lty); created when absent\n"
                 "  --role      the role the programs connect as (default lty_app); its password is\n"
                 "              taken from the environment variable LTY_APP_PASSWORD when set\n"
                 "  --without-first-rows  empty tables, for lty_migrate to fill from an existing LTY.db\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    lty::ServerSetup setup;
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
        else
            return Usage();
    }
    if (setup.AdminConninfo.empty()) return Usage();
    if (const char* pw = std::getenv("LTY_APP_PASSWORD")) setup.AppPassword = pw;
    try {
        lty::SetUpServerDatabase(setup, [](const std::string& line) { std::cout << line << "\n"; });
    } catch (const std::exception& e) {
        std::cerr << "lty_server_setup: " << e.what() << "\n";
        return 1;
    }
    std::cout << "done: programs connect with \"host=... dbname=" << setup.Database << " user=" << setup.AppRole
              << "\" in Data/server.conf\n";
    return 0;
}
