// Which engine holds the data: without Data/server.conf the database file
// Data/LTY.db beside the program; with it, the PostgreSQL server that the
// file names by a libpq connection string (host, port, dbname, user). The
// password never stands in that file: libpq reads it from ~/.pgpass.
#pragma once

#include <optional>
#include <string>

namespace lty {

// "Data/server.conf" below `programDirectory` (which ends in a separator).
std::string ServerConfPath(const std::string& programDirectory);

// The connection string, or none when the file does not exist. Blank lines
// and lines starting with '#' are left out, the rest joined by blanks.
// Raises EngineError (with a reason to show) when the file cannot be read,
// holds no connection string, is not one, or holds a password.
std::optional<std::string> ReadServerConf(const std::string& programDirectory);

} // namespace lty
