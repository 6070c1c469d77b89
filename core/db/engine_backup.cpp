// Whole-database copies through the engine's online backup: a copy is taken
// page by page inside one read transaction, so it is consistent even while
// the program runs, and a restore writes the pages back inside one write
// transaction, so it either replaces everything or nothing.
#include "core/db/engine_sqlite.h"

#include <sqlite3.h>

#include <cstdio>
#include <memory>

namespace lty {
namespace {

using FileHandle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

FileHandle OpenFile(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    FileHandle h(db, sqlite3_close_v2);
    if (rc != SQLITE_OK) throw EngineError(db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_busy_timeout(db, 5000);
    return h;
}

// Copies every page of `from` into `to`; raises with the engine's message.
void CopyPages(sqlite3* to, sqlite3* from) {
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) throw EngineError(sqlite3_errmsg(to));
    const int step = sqlite3_backup_step(b, -1);
    const int finish = sqlite3_backup_finish(b);
    if (step != SQLITE_DONE) throw EngineError(sqlite3_errstr(step));
    if (finish != SQLITE_OK) throw EngineError(sqlite3_errmsg(to));
}

} // namespace

void SqliteEngine::BackupTo(const std::string& path) {
    // Written under a temporary name first, so that an interrupted copy
    // never looks like a finished one.
    const std::string part = path + ".part";
    std::remove(part.c_str());
    try {
        FileHandle dest = OpenFile(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        CopyPages(dest.get(), db_);
    } catch (...) {
        std::remove(part.c_str());
        throw;
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        std::remove(part.c_str());
        throw EngineError("cannot write " + path);
    }
}

void SqliteEngine::RestoreFrom(const std::string& path) {
    if (InTransaction()) throw EngineError("a transaction is open");
    FileHandle source = OpenFile(path, SQLITE_OPEN_READONLY);
    CopyPages(db_, source.get());
}

} // namespace lty
