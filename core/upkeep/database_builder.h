// Creates a new quotation database file from the schema and first rows.
// Used by the build's database tool and by tests; never by the program.
#pragma once

#include <string>

namespace lty {

// Reads a whole file; raises std::runtime_error when it cannot.
std::string ReadTextFile(const std::string& path);

// Creates the file at `path` (and its folder) holding the schema and the
// first rows, all or nothing. Raises std::runtime_error when the file
// already exists (a user's database is never overwritten) or on any error.
void CreateDatabaseFile(const std::string& path, const std::string& schemaSql, const std::string& rowsSql);

} // namespace lty
