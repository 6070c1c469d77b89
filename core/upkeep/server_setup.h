// Makes a quotation database on a PostgreSQL server: the database itself
// (UTF-8, "C" character classes so texts compare as in the file engine),
// the nine tables, the first rows, and the role the programs connect as,
// which may only select, insert, update and delete rows of those tables.
#pragma once

#include <functional>
#include <string>

namespace lty {

struct ServerSetup {
    // A role that may create databases and roles (e.g. the server's
    // superuser), connected to any database of the server.
    std::string AdminConninfo;
    std::string Database = "lty";
    std::string AppRole = "lty_app";
    // Given: the role gets this password (else it logs in as the server's
    // authentication rules allow, e.g. peer or a password set later).
    std::string AppPassword;
    // False for a database that lty_migrate fills from an existing file.
    bool FirstRows = true;
};

// All or nothing: a database this call created is dropped again on failure.
// Refuses a database that already holds any of the nine tables. `log` gets
// one line per step and any warning.
void SetUpServerDatabase(const ServerSetup& setup, const std::function<void(const std::string&)>& log);

} // namespace lty
