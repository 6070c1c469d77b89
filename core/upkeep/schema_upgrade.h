// The schema's version and the upgrade of a database made by an older
// program. The tables added after the first nine come from one text (the
// additions script); a database that lacks some of them, or some of their
// columns, gets them from that very text, all in one transaction, after a
// copy of the data is saved. The nine tables are never altered, and a
// database from a newer program is opened as it is: its extra tables and
// columns are simply not read.
#pragma once

#include "core/data/quotation_tables.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace lty {

class PgConnection;
class TDM;
class UserMessages;

// ---- the additions script, read as tables --------------------------------

// The statements of a script, split at the semicolons that lie outside
// quotes, dollar quotes and comments; blank statements are dropped.
std::vector<std::string> SplitSqlScript(std::string_view script);

struct AddedColumn {
    std::string Name;
    std::string Definition; // "name TYPE constraints", as the script declares it
};
struct AddedTable {
    std::string Name;     // as the script spells it
    std::string Identity; // the engine-assigned key, "" for none
    std::vector<AddedColumn> Columns;
};
// The table a "CREATE TABLE" statement makes; nullopt for any other statement.
std::optional<AddedTable> ParseCreateTable(std::string_view statement);

// The version this program's schema has (the additions script's last word).
int ProgramSchemaVersion();
// The tables of the additions script for database files, in its order:
// what the migration and the server copy carry beside the nine.
const std::vector<AddedTable>& AddedTables();
// The names of the tables of the server's additions script (with the one-row
// version table the server keeps).
std::vector<std::string> AddedServerTableNames();

// ---- what a database has -------------------------------------------------

struct SchemaState {
    int Version = 0;
    // "TBLSETTING" for a missing table, "TBLSETTING.SETVALUE" for a missing column.
    std::vector<std::string> Missing;
    // Made by a newer program: opened as it is, never upgraded.
    bool Newer() const;
    bool NeedsUpgrade() const;
};
SchemaState ReadFileSchema(sqlite3* db);
// Raises EngineError when the file cannot be read.
SchemaState ReadFileSchema(const std::string& path);
SchemaState ReadServerSchema(PgConnection& server);

// The tables a copy between the engines carries: the nine and every added
// table the source holds, each added one with the columns both this program
// and the source know (the source may be older or newer).
std::vector<QuotationTable> TablesToCopy(sqlite3* file);
std::vector<QuotationTable> TablesToCopy(PgConnection& server);

// ---- the upgrade ---------------------------------------------------------

// The additions applied inside a transaction the caller holds: missing
// tables created, missing columns added, the version set. Raises
// EngineError with the engine's reason at the first failure.
void ApplyFileAdditions(sqlite3* db);
void ApplyServerAdditions(PgConnection& server);

// Upgrades the database file at `path` in one transaction; true when
// something was added. Raises EngineError, and then the file is as it was.
bool UpgradeDatabaseFile(const std::string& path);

// The server's grants on the added tables: whoever may touch tblProject's
// rows may touch those of the tables that belong to projects, whoever may
// touch the catalog's those of the firm's settings and the catalog's
// measures; everyone with a right on projects reads the version table. For
// the upgrade, as the database's owner.
void GrantAddedTablesLikeTheirKin(PgConnection& server);

struct ServerUpgrade {
    SchemaState Before;
    std::string Backup; // the copy taken first, "" when nothing was to be done
};
// For the set-up tool, as the database's owner: when the server needs an
// upgrade, copies it into the database file `backupPath` first, then
// upgrades it in one transaction. Raises EngineError; the server is then as it was.
ServerUpgrade UpgradeServerDatabase(const std::string& ownerConninfo, const std::string& backupPath,
                                    const std::function<void(const std::string&)>& log);

// At start-up, on the data module's open connection: a database file made
// by an older program is upgraded, after a copy into Data/backup/; a server
// that needs one is left to its administrator. False, with the reason shown
// and the connection closed, when the program must not go on.
bool UpgradeAtStart(TDM& dm, UserMessages& messages);

// The message shown when a server needs the set-up tool's upgrade.
std::string ServerUpgradeNeededText(const SchemaState& state);

} // namespace lty
