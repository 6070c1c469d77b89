// A throw-away program directory holding Data/LTY.db made from the same
// schema and first rows as the shipped database.
#pragma once

#include <string>

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

// Runs `sql` on a connection of its own to the file (no trace, no guard
// against schema changes); answers the engine's error, empty on success.
std::string RawExec(const std::string& databasePath, const std::string& sql);

std::string SchemaSql();
std::string FirstRowsSql();

} // namespace lty::test
