// Makes a quotation database on a PostgreSQL server: the database itself
// (UTF-8, "C" character classes so texts compare as in the file engine),
// the tables, the first rows, and the two roles the programs connect as:
//   - the designers' role, which reads every table but writes only projects
//     and what belongs to them (print rows, rates, rooms, save stamps,
//     versions, templates);
//   - the administrator's role, which also writes the catalog, the prices,
//     the company, the designers, the settings and the management password,
//     and which the program asks for before it opens 系统管理.
// Neither may create, alter or drop anything.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lty {

struct ServerSetup {
    // A role that may create databases and roles (e.g. the server's
    // superuser), connected to any database of the server.
    std::string AdminConninfo;
    std::string Database = "lty";
    std::string AppRole = "lty_app";
    std::string ManagerRole = "lty_admin";
    // A role that does not exist yet is only made with a password; an
    // existing one keeps its password unless one is given.
    std::string AppPassword;
    std::string ManagerPassword;
    // False for a database that lty_migrate fills from an existing file.
    bool FirstRows = true;
};

// The tables the designers' role may write; every other table of the
// database only the administrator's role writes.
const std::vector<std::string_view>& DesignerWrittenTables();
// The tables only the administrator's role writes.
const std::vector<std::string_view>& ManagerWrittenTables();

// All or nothing: a database this call created is dropped again on failure.
// Refuses a database that already holds any of the nine tables, and a new
// role without a password, before anything is changed. `log` gets one line
// per step and any warning.
void SetUpServerDatabase(const ServerSetup& setup, const std::function<void(const std::string&)>& log);

} // namespace lty
