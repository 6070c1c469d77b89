// A throw-away program directory holding Data/LTY.db made from the same
// schema and first rows as the shipped database. With LTY_TEST_ENGINE=pg
// (and LTY_TEST_PG naming the test server) it holds Data/server.conf
// instead, naming a throw-away server database made the same way, so the
// data module under test runs on the server engine.
#pragma once

#include "tests/core/server_database.h"

#include <memory>
#include <string>

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

std::string SchemaSql();
std::string FirstRowsSql();

} // namespace lty::test

// For a test of what only the file engine has (the file itself, its pragmas,
// its authorizer): skipped when the suite runs on the server engine.
#define LTY_FILE_ENGINE_ONLY()                                                                                         \
    do {                                                                                                               \
        if (::lty::test::TestOnServer()) GTEST_SKIP() << "a property of the database file";                            \
    } while (false)
