// Copies every row of a quotation database between the file engine and a
// server, each way in one transaction: the target either gets every row or
// stays as it was. A target that already holds rows is refused, so nothing
// is ever merged into or overwritten.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace lty {

class PgConnection;

struct TableRows {
    std::string Table;
    long long Rows = 0;
};

// Called as rows are copied: rows done so far, rows in all, current table.
using CopyProgress = std::function<void(long long done, long long total, const std::string& table)>;

// The file at `sqlitePath` into the server database of `conninfo`, whose
// nine tables (made by lty_server_setup) must be empty.
std::vector<TableRows> CopyFileToServer(const std::string& sqlitePath, const std::string& conninfo,
                                        const CopyProgress& progress = {});

// The server database into a file: a new one (made from schema.sql, without
// first rows) when `sqlitePath` does not exist, else one whose nine tables
// are empty.
std::vector<TableRows> CopyServerToFile(const std::string& conninfo, const std::string& sqlitePath,
                                        const CopyProgress& progress = {});

// The copy itself, inside a transaction the caller holds on `server`; the
// set-up tool uses it for the first rows. Raises on any error. With
// `strictIdentity` false, identities the role may not move past ids that a
// file deleted are left where the copied rows put them (the server never
// hands out an id twice itself).
std::vector<TableRows> CopyRowsToServer(sqlite3* file, PgConnection& server, const CopyProgress& progress,
                                        bool strictIdentity = true);

// Runs statements on a database file's own handle; raises EngineError with
// the engine's message.
void FileExec(sqlite3* db, const std::string& sql);

// Replaces every row of the nine tables on `server` by the rows of the
// database file at `sqlitePath`, inside a transaction the caller holds.
void ReplaceServerRows(const std::string& sqlitePath, PgConnection& server);

} // namespace lty
