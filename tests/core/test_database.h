// A throw-away program directory holding Data/LTY.db made from the same
// schema and first rows as the shipped database.
#pragma once

#include <string>
#include <vector>

namespace lty::test {

class TempProgramDir {
public:
    // withDatabase false gives a directory without Data/LTY.db.
    explicit TempProgramDir(bool withDatabase = true);
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    // Ends in a separator, as the program directory does.
    const std::string& Dir() const { return dir_; }
    std::string DatabasePath() const { return dir_ + "Data/LTY.db"; }

private:
    std::string dir_;
};

// Statements on a connection of the test's own, outside the program: no
// trace entry, no authorizer, so a test can look at or break the tables.
// RawExec answers the engine's message, empty on success; RawColumn the
// first column of every row as text ("" for NULL).
std::string RawExec(const std::string& databasePath, const std::string& sql);
std::vector<std::string> RawColumn(const std::string& databasePath, const std::string& sql);

std::string SchemaSql();
std::string FirstRowsSql();

} // namespace lty::test
