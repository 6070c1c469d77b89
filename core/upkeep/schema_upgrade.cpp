#include "core/upkeep/schema_upgrade.h"

#include "core/upkeep/server_setup.h"

#include "core/data/data_module.h"
#include "core/db/engine.h"
#include "core/db/pg_connection.h"
#include "core/messages/user_messages.h"
#include "core/text/ascii_case.h"
#include "core/upkeep/backup.h"
#include "core/upkeep/migration.h"
#include "core/upkeep/sql_scripts.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <memory>

namespace lty {
namespace {
namespace fs = std::filesystem;

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Reads the next word (or quoted name) at `i`, skipping blanks before it.
std::string NextWord(std::string_view s, std::size_t& i) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i < s.size() && (s[i] == '"' || s[i] == '`' || s[i] == '[')) {
        const char close = s[i] == '[' ? ']' : s[i];
        const std::size_t end = s.find(close, i + 1);
        if (end == std::string_view::npos) return {};
        std::string w(s.substr(i + 1, end - i - 1));
        i = end + 1;
        return w;
    }
    const std::size_t start = i;
    while (i < s.size() && IsWordChar(s[i])) ++i;
    return std::string(s.substr(start, i - start));
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, part.size()), part)) return true;
    return false;
}

bool HasNoCase(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return EqualsNoCase(n, name); });
}

// Splits a table's body at the commas outside parentheses and quotes.
std::vector<std::string_view> SplitBody(std::string_view body) {
    std::vector<std::string_view> parts;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\'' || c == '"') {
            const std::size_t end = body.find(c, i + 1);
            i = end == std::string_view::npos ? body.size() : end;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && depth == 0) {
            parts.push_back(Trimmed(body.substr(start, i - start)));
            start = i + 1;
        }
    }
    parts.push_back(Trimmed(body.substr(start)));
    return parts;
}

std::vector<AddedTable> TablesOf(const char* script) {
    std::vector<AddedTable> tables;
    for (const std::string& s : SplitSqlScript(script))
        if (auto t = ParseCreateTable(s)) tables.push_back(std::move(*t));
    return tables;
}

const std::vector<AddedTable>& ServerTables() {
    static const std::vector<AddedTable> tables = TablesOf(ServerSchemaAdditionsScript());
    return tables;
}

// ---- the file engine, on a handle of its own -----------------------------

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using FileHandle = std::unique_ptr<sqlite3, SqliteCloser>;

FileHandle OpenFile(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    FileHandle h(db);
    if (rc != SQLITE_OK) throw EngineError(path + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
    sqlite3_busy_timeout(db, 5000);
    return h;
}

// The first column of every row, as text.
std::vector<std::string> FileColumn(sqlite3* db, const std::string& sql, const std::string& param = {}) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) throw EngineError(sqlite3_errmsg(db));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
    if (!param.empty()) sqlite3_bind_text(raw, 1, param.c_str(), static_cast<int>(param.size()), SQLITE_STATIC);
    std::vector<std::string> out;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
        out.emplace_back(text ? text : "");
    }
    if (rc != SQLITE_DONE) throw EngineError(sqlite3_errmsg(db));
    return out;
}

std::vector<std::string> FileColumns(sqlite3* db, const std::string& table) {
    return FileColumn(db, "select name from pragma_table_info(?1)", table);
}

bool FileHasObject(sqlite3* db, const std::string& name) {
    return !FileColumn(db, "select name from sqlite_master where name=?1 collate nocase", name).empty();
}

// ---- the server ----------------------------------------------------------

std::vector<std::string> ServerColumns(PgConnection& server, const std::string& table) {
    std::vector<std::string> out;
    for (const auto& row : server.Query("select attname::text from pg_attribute where attrelid = to_regclass($1) and "
                                        "attnum > 0 and not attisdropped order by attnum",
                                        {table}))
        out.push_back(row.at(0).value_or(""));
    return out;
}

bool ServerHasRelation(PgConnection& server, const std::string& name) {
    return !server.Scalar("select to_regclass($1)::text", {name}).empty();
}

// What both the script and the database know of an added table; nullopt
// when the database lacks it.
std::optional<QuotationTable> Known(const AddedTable& t, const std::vector<std::string>& present) {
    if (present.empty()) return std::nullopt;
    QuotationTable q{t.Name, {}, {}};
    for (const AddedColumn& c : t.Columns) {
        if (!HasNoCase(present, c.Name)) continue;
        q.Columns.emplace_back(c.Name);
        if (EqualsNoCase(c.Name, t.Identity)) q.Identity = t.Identity;
    }
    return q;
}

template <class ColumnsOf>
std::vector<QuotationTable> Copied(ColumnsOf columnsOf) {
    std::vector<QuotationTable> out(QuotationTables().begin(), QuotationTables().end());
    for (const AddedTable& t : AddedTables())
        if (auto q = Known(t, columnsOf(t.Name))) out.push_back(std::move(*q));
    return out;
}

template <class ColumnsOf>
std::vector<std::string> MissingOf(const std::vector<AddedTable>& tables, ColumnsOf columnsOf) {
    std::vector<std::string> missing;
    for (const AddedTable& t : tables) {
        const std::vector<std::string> present = columnsOf(t.Name);
        if (present.empty()) {
            missing.push_back(t.Name);
            continue;
        }
        for (const AddedColumn& c : t.Columns)
            if (!HasNoCase(present, c.Name)) missing.push_back(t.Name + "." + c.Name);
    }
    return missing;
}

// Runs the additions script statement by statement: a table that exists
// gets the columns it lacks, everything else runs as written (it is written
// to run again without harm).
template <class Exec, class Exists, class ColumnsOf>
void Apply(const char* script, Exec exec, Exists exists, ColumnsOf columnsOf) {
    for (const std::string& statement : SplitSqlScript(script)) {
        const auto table = ParseCreateTable(statement);
        if (!table || !exists(table->Name)) {
            exec(statement);
            continue;
        }
        const std::vector<std::string> present = columnsOf(table->Name);
        for (const AddedColumn& c : table->Columns)
            if (!HasNoCase(present, c.Name)) exec("ALTER TABLE " + table->Name + " ADD COLUMN " + c.Definition);
    }
}

std::string Listed(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) {
        if (!out.empty()) out += "、";
        out += n;
    }
    return out;
}

} // namespace

std::vector<std::string> SplitSqlScript(std::string_view s) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        if (!Trimmed(cur).empty()) out.emplace_back(Trimmed(cur));
        cur.clear();
    };
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            while (i < s.size() && s[i] != '\n') ++i;
            cur += ' ';
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            const std::size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
            cur += ' ';
        } else if (c == '\'' || c == '"') {
            // A doubled quote inside is two quoted pieces side by side: the same text.
            const std::size_t end = s.find(c, i + 1);
            const std::size_t stop = end == std::string_view::npos ? s.size() : end + 1;
            cur.append(s.substr(i, stop - i));
            i = stop;
        } else if (c == '$') {
            std::size_t j = i + 1;
            while (j < s.size() && IsWordChar(s[j])) ++j;
            if (j < s.size() && s[j] == '$') {
                const std::string_view tag = s.substr(i, j - i + 1);
                const std::size_t end = s.find(tag, j + 1);
                const std::size_t stop = end == std::string_view::npos ? s.size() : end + tag.size();
                cur.append(s.substr(i, stop - i));
                i = stop;
            } else {
                cur += c;
                ++i;
            }
        } else if (c == ';') {
            flush();
            ++i;
        } else {
            cur += c;
            ++i;
        }
    }
    flush();
    return out;
}

std::optional<AddedTable> ParseCreateTable(std::string_view statement) {
    std::size_t i = 0;
    if (!EqualsNoCase(NextWord(statement, i), "create") || !EqualsNoCase(NextWord(statement, i), "table"))
        return std::nullopt;
    AddedTable t;
    std::size_t after = i;
    if (EqualsNoCase(NextWord(statement, after), "if")) {
        if (!EqualsNoCase(NextWord(statement, after), "not") || !EqualsNoCase(NextWord(statement, after), "exists"))
            return std::nullopt;
        i = after;
    }
    t.Name = NextWord(statement, i);
    const std::size_t open = statement.find('(', i);
    const std::size_t close = statement.rfind(')');
    if (t.Name.empty() || open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    for (std::string_view part : SplitBody(statement.substr(open + 1, close - open - 1))) {
        std::size_t k = 0;
        const std::string first = NextWord(part, k);
        if (first.empty()) continue;
        bool constraint = false;
        for (const char* word : {"primary", "unique", "check", "foreign", "constraint", "exclude"})
            constraint = constraint || EqualsNoCase(first, word);
        if (constraint) continue;
        t.Columns.push_back({first, std::string(part)});
        if (ContainsNoCase(part, "autoincrement") || ContainsNoCase(part, "as identity")) t.Identity = first;
    }
    return t;
}

int ProgramSchemaVersion() {
    static const int version = [] {
        for (const std::string& s : SplitSqlScript(FileSchemaAdditionsScript())) {
            std::size_t i = 0;
            if (!EqualsNoCase(NextWord(s, i), "pragma") || !EqualsNoCase(NextWord(s, i), "user_version")) continue;
            const std::size_t eq = s.find('=', i);
            if (eq == std::string::npos) continue;
            const std::string_view number = Trimmed(std::string_view(s).substr(eq + 1));
            int v = 0;
            std::from_chars(number.data(), number.data() + number.size(), v);
            return v;
        }
        return 0;
    }();
    return version;
}

const std::vector<AddedTable>& AddedTables() {
    static const std::vector<AddedTable> tables = TablesOf(FileSchemaAdditionsScript());
    return tables;
}

std::vector<std::string> AddedServerTableNames() {
    std::vector<std::string> names;
    for (const AddedTable& t : ServerTables()) names.push_back(t.Name);
    return names;
}

bool SchemaState::Newer() const { return Version > ProgramSchemaVersion(); }

bool SchemaState::NeedsUpgrade() const { return !Newer() && (Version < ProgramSchemaVersion() || !Missing.empty()); }

SchemaState ReadFileSchema(sqlite3* db) {
    SchemaState s;
    const auto v = FileColumn(db, "PRAGMA user_version");
    s.Version = v.empty() ? 0 : std::stoi(v[0]);
    s.Missing = MissingOf(AddedTables(), [&](const std::string& t) { return FileColumns(db, t); });
    return s;
}

SchemaState ReadFileSchema(const std::string& path) {
    const FileHandle db = OpenFile(path, SQLITE_OPEN_READONLY);
    return ReadFileSchema(db.get());
}

SchemaState ReadServerSchema(PgConnection& server) {
    SchemaState s;
    if (ServerHasRelation(server, "tblschemaversion"))
        s.Version = std::stoi("0" + server.Scalar("select max(intVersion) from TBLSCHEMAVERSION"));
    s.Missing = MissingOf(ServerTables(), [&](const std::string& t) { return ServerColumns(server, t); });
    return s;
}

std::vector<QuotationTable> TablesToCopy(sqlite3* file) {
    return Copied([&](const std::string& t) { return FileColumns(file, t); });
}

std::vector<QuotationTable> TablesToCopy(PgConnection& server) {
    return Copied([&](const std::string& t) { return ServerColumns(server, t); });
}

void ApplyFileAdditions(sqlite3* db) {
    Apply(
        FileSchemaAdditionsScript(), [&](const std::string& sql) { FileExec(db, sql); },
        [&](const std::string& name) { return FileHasObject(db, name); },
        [&](const std::string& name) { return FileColumns(db, name); });
}

void ApplyServerAdditions(PgConnection& server) {
    Apply(
        ServerSchemaAdditionsScript(), [&](const std::string& sql) { server.Exec(sql); },
        [&](const std::string& name) { return ServerHasRelation(server, name); },
        [&](const std::string& name) { return ServerColumns(server, name); });
    GrantAddedTablesLikeTheirKin(server);
}

bool UpgradeDatabaseFile(const std::string& path) {
    const FileHandle db = OpenFile(path, SQLITE_OPEN_READWRITE);
    FileExec(db.get(), "PRAGMA synchronous=FULL");
    // The write lock first: a second program starting at the same moment
    // waits, then finds nothing left to do.
    FileExec(db.get(), "BEGIN IMMEDIATE");
    try {
        if (!ReadFileSchema(db.get()).NeedsUpgrade()) {
            FileExec(db.get(), "ROLLBACK");
            return false;
        }
        ApplyFileAdditions(db.get());
        if (const SchemaState after = ReadFileSchema(db.get()); after.NeedsUpgrade())
            throw EngineError("升级后仍缺少：" + Listed(after.Missing));
        FileExec(db.get(), "COMMIT");
    } catch (...) {
        // Everything since BEGIN is undone; the file is as it was.
        if (!sqlite3_get_autocommit(db.get())) sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return true;
}

void GrantAddedTablesLikeTheirKin(PgConnection& server) {
    // Each role's rights on a table of the nine the added table sides with.
    auto rightsOn = [&](const char* table) {
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& g : server.Query("select a.grantee::regrole::text, string_agg(a.privilege_type, ', ') from "
                                          "pg_class c, aclexplode(c.relacl) a where c.oid = to_regclass($1) and "
                                          "a.grantee <> 0 and a.grantee <> c.relowner group by a.grantee",
                                          {std::string(table)}))
            if (!g.at(0).value_or("").empty() && !g.at(1).value_or("").empty()) out.emplace_back(*g.at(0), *g.at(1));
        return out;
    };
    const auto projectRights = rightsOn("tblproject");
    const auto catalogRights = rightsOn("tblitem");
    for (const AddedTable& added : ServerTables()) {
        const std::string& table = added.Name;
        if (EqualsNoCase(table, "TBLSCHEMAVERSION")) {
            for (const auto& [role, rights] : projectRights) server.Exec("GRANT SELECT ON " + table + " TO " + role);
            continue;
        }
        // The firm's settings and the catalog's measures are written as the
        // catalog is: a designers' role must not gain the right to change them.
        const auto& managers = ManagerWrittenTables();
        const bool reference =
            std::any_of(managers.begin(), managers.end(), [&](std::string_view t) { return EqualsNoCase(t, table); });
        for (const auto& [role, rights] : reference ? catalogRights : projectRights)
            server.Exec("GRANT " + rights + " ON " + table + " TO " + role);
        if (reference || added.Identity.empty()) continue;
        const std::string sequence =
            server.Scalar("select pg_get_serial_sequence($1, lower($2))", {table, added.Identity});
        if (sequence.empty()) continue;
        for (const auto& [role, rights] : projectRights)
            if (rights.find("INSERT") != std::string::npos)
                server.Exec("GRANT USAGE ON SEQUENCE " + sequence + " TO " + role);
    }
}

ServerUpgrade UpgradeServerDatabase(const std::string& ownerConninfo, const std::string& backupPath,
                                    const std::function<void(const std::string&)>& log) {
    PgConnection server(ownerConninfo);
    server.Exec("SET client_encoding = 'UTF8'");
    ServerUpgrade r;
    r.Before = ReadServerSchema(server);
    if (r.Before.Newer()) {
        log("the database has schema version " + std::to_string(r.Before.Version) + ", newer than this tool's " +
            std::to_string(ProgramSchemaVersion()) + "; nothing was changed");
        return r;
    }
    if (!r.Before.NeedsUpgrade()) {
        log("the database is at schema version " + std::to_string(r.Before.Version) + "; nothing to upgrade");
        return r;
    }
    CopyServerToFile(ownerConninfo, backupPath);
    r.Backup = backupPath;
    log("saved a copy of every row in " + backupPath);
    server.Exec("BEGIN");
    try {
        // The programs' write lock: no save runs half before and half after.
        server.Exec("SELECT pg_advisory_xact_lock(5002329)");
        ApplyServerAdditions(server);
        if (const SchemaState after = ReadServerSchema(server); after.NeedsUpgrade())
            throw EngineError("still missing after the upgrade: " + Listed(after.Missing));
        server.Exec("COMMIT");
    } catch (...) {
        try {
            server.Exec("ROLLBACK");
        } catch (const EngineError&) {
        }
        throw;
    }
    log("upgraded the database from schema version " + std::to_string(r.Before.Version) + " to " +
        std::to_string(ProgramSchemaVersion()));
    return r;
}

std::string ServerUpgradeNeededText(const SchemaState& state) {
    std::string text = "服务器上的数据库需要升级后才能由本程序使用";
    if (state.Version < ProgramSchemaVersion())
        text += "（数据库版本 " + std::to_string(state.Version) + "，本程序需要版本 " +
                std::to_string(ProgramSchemaVersion()) + "）";
    else
        text += "（缺少 " + Listed(state.Missing) + "）";
    return text +
           "。\n请管理员运行 lty_server_setup --upgrade 升级数据库（升级前会先备份全部数据），然后再启动本程序。";
}

bool UpgradeAtStart(TDM& dm, UserMessages& messages) {
    if (!dm.Connected()) return true; // the connection message has said why
    auto refuse = [&](const std::string& text) {
        messages.Show(text);
        dm.ADOMain.Close();
        return false;
    };
    SchemaState state;
    try {
        if (PgConnection* server = dm.ADOMain.Server()) {
            state = ReadServerSchema(*server);
            return state.NeedsUpgrade() ? refuse(ServerUpgradeNeededText(state)) : true;
        }
        state = ReadFileSchema(dm.DatabasePath());
    } catch (const std::exception& e) {
        return refuse(std::string("无法读取数据库的版本，程序不能继续运行。\n") + e.what() +
                      (dm.ADOMain.Server() ? "\n请管理员运行 lty_server_setup --upgrade 检查并升级数据库。" : ""));
    }
    if (!state.NeedsUpgrade()) return true;
    const BackupResult backup = MakeBackup(dm);
    if (!backup.Ok) return refuse("升级数据库前备份失败，数据库未升级，程序不能继续运行。\n" + backup.Error);
    try {
        UpgradeDatabaseFile(dm.DatabasePath());
    } catch (const std::exception& e) {
        return refuse("升级数据库失败，数据库文件保持原样，程序不能继续运行。\n" + std::string(e.what()) +
                      "\n升级前的备份：" + backup.Path);
    }
    return true;
}

} // namespace lty
