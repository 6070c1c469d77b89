// A throw-away database on the test server named by LTY_TEST_PG (a libpq
// connection string of a role that may create databases and roles, set by
// scripts/test), made by the same set-up as lty_server_setup, and the
// least-privileged role's connection string to it.
#pragma once

#include <string>

namespace lty::test {

// The test server's admin connection string, "" when there is none.
std::string TestServer();

class TempServerDatabase {
public:
    // firstRows false gives the nine tables empty, as for a migration.
    explicit TempServerDatabase(bool firstRows = true);
    ~TempServerDatabase();
    TempServerDatabase(const TempServerDatabase&) = delete;
    TempServerDatabase& operator=(const TempServerDatabase&) = delete;

    const std::string& Name() const { return name_; }
    // As the programs connect: the designers' role, which reads every table
    // and writes projects and what belongs to them.
    std::string AppConninfo() const;
    // As 系统管理 connects: the administrator's role, which writes every table.
    std::string ManagerConninfo() const;
    // As the owner, for looking at and breaking the tables in tests.
    std::string AdminConninfo() const;

private:
    std::string name_;
};

} // namespace lty::test
