// A throw-away program directory holding Data/LTY.db made from the same
// schema and first rows as the shipped database. With LTY_TEST_ENGINE=pg
// (and LTY_TEST_PG naming the test server) it holds Data/server.conf
// instead, naming a throw-away server database made the same way (logged in
// as its administrator's role), so the data module under test runs on the
// server engine.
#pragma once

#include "tests/core/server_database.h"

#include <memory>
#include <string>
#include <vector>

namespace lty::test {

// True when the tests run on the server engine.
bool TestOnServer();

class TempProgramDir {
public:
    // withDatabase false gives a directory without Data/LTY.db (and without
    // Data/server.conf); alwaysFile gives Data/LTY.db on either engine.
    explicit TempProgramDir(bool withDatabase = true, bool alwaysFile = false);
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    // Ends in a separator, as the program directory does.
    const std::string& Dir() const { return dir_; }
    std::string DatabasePath() const { return dir_ + "Data/LTY.db"; }
    // The server database the directory names, or null on the file engine.
    const TempServerDatabase* Server() const { return server_.get(); }

private:
    std::string dir_;
    std::unique_ptr<TempServerDatabase> server_;
};

// Writes Data/server.conf below `programDirectory`, naming `conninfo`.
void WriteServerConf(const std::string& programDirectory, const std::string& conninfo);

// Statements on a connection of the test's own, outside the program: no
// trace entry, no authorizer, so a test can look at or break the tables.
// For a program directory that names a test server database, they run on
// it as the database's owner, and numbers read as the file engine gives
// them as text (80.0, 0.5).
// RawExec answers the engine's message, empty on success; RawColumn the
// first column of every row as text ("" for NULL).
std::string RawExec(const std::string& databasePath, const std::string& sql);
std::vector<std::string> RawColumn(const std::string& databasePath, const std::string& sql);

// The statements that make a table refuse one kind of statement (as a full
// disk or a read-only file would) with `message` as the engine's reason,
// for the rows where `when` holds (empty: every row), and that remove that
// refusal again: in the SQL of the engine the directory of `databasePath`
// uses. Run them with RawExec.
std::string RefuseSql(const std::string& databasePath, const std::string& name, const std::string& table,
                      const std::string& action, const std::string& message, const std::string& when = "");
std::string StopRefusingSql(const std::string& databasePath, const std::string& name, const std::string& table);

std::string SchemaSql();
std::string FirstRowsSql();

} // namespace lty::test

// For a test of what only the file engine has (the file itself, its pragmas,
// its authorizer): skipped when the suite runs on the server engine.
#define LTY_FILE_ENGINE_ONLY()                                                                                         \
    do {                                                                                                               \
        if (::lty::test::TestOnServer()) GTEST_SKIP() << "a property of the database file";                            \
    } while (false)
