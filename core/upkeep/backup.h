// Copies of the database kept in Data/backup/ beside the database file, as
// LTY-YYYYMMDD-HHMMSS.db: made before a reset and on demand, listed, and
// restored while the program runs.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace lty {

class TDM;
class TADOConnection;

// A consistent copy of the whole database into a new database file at
// `path` (an existing file there is replaced), from a file or a server.
// Raises EngineError; a failed copy leaves no file behind.
void CopyDatabaseTo(TADOConnection& connection, const std::string& path);
// Replaces the whole database by the copy at `path`, after checking the copy
// as the connection checks its file: a damaged or foreign copy is refused
// (EngineError with the refusal) before anything is written, and a failed
// replacement leaves the database as it was.
void ReplaceDatabaseBy(TADOConnection& connection, const std::string& path);

// The folder of the copies, ending in a separator.
std::string BackupFolder(const TDM& dm);
// "LTY-20261208-234104.db" for that local time.
std::string BackupFileName(std::time_t when);

struct BackupResult {
    bool Ok = false;
    std::string Path;  // the copy, when Ok
    std::string Error; // the engine's or the file system's reason otherwise
};

// Copies the whole database into the backup folder, creating the folder.
// A second copy within the same second gets "-2", "-3", ... before ".db".
BackupResult MakeBackup(TDM& dm, std::time_t when = std::time(nullptr));

struct BackupCopy {
    std::string Name;     // file name
    std::string Path;     // full path
    std::string TimeText; // "2026-12-08 23:41:04", from the name
    std::uintmax_t Size = 0;
};
// The copies in the backup folder, newest first; none when it is missing.
std::vector<BackupCopy> ListBackups(const TDM& dm);

struct RestoreResult {
    bool Ok = false;
    bool CopyRefused = false; // the copy is damaged or not ours: Error is the text to show
    std::string SafetyCopy;   // where the data replaced by the restore were saved
    std::string Error;
};
// Checks the copy as the connection checks its file, then saves the current
// data as a copy of their own, then replaces the database by `copyPath`.
// Nothing is replaced when any step fails. The
// data module's queries are closed afterwards; everything read before the
// restore has to be read again.
RestoreResult RestoreBackup(TDM& dm, const std::string& copyPath, std::time_t when = std::time(nullptr));

// "1.2 MB", "34 KB", "512 B".
std::string SizeText(std::uintmax_t bytes);

} // namespace lty
