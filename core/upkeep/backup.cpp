#include "core/upkeep/backup.h"

#include "core/data/data_module.h"
#include "core/data/database_check.h"
#include "core/upkeep/migration.h"
#include "core/upkeep/schema_upgrade.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace lty {
namespace fs = std::filesystem;
namespace {

constexpr const char* kPrefix = "LTY-";

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "LTY-YYYYMMDD-HHMMSS[-n].db" -> "YYYY-MM-DD HH:MM:SS"; empty for any other name.
std::string TimeFromName(const std::string& name) {
    if (name.size() < 22 || name.rfind(kPrefix, 0) != 0 || name.substr(name.size() - 3) != ".db") return {};
    const std::string date = name.substr(4, 8);
    const std::string time = name.substr(13, 6);
    if (!AllDigits(date) || name[12] != '-' || !AllDigits(time)) return {};
    const std::string rest = name.substr(19, name.size() - 22);
    if (!rest.empty() && (rest[0] != '-' || !AllDigits(rest.substr(1)))) return {};
    return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2) + " " + time.substr(0, 2) + ":" +
           time.substr(2, 2) + ":" + time.substr(4, 2);
}

} // namespace

std::string BackupFolder(const TDM& dm) { return fs::path(dm.DatabasePath()).parent_path().string() + "/backup/"; }

std::string BackupFileName(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "LTY-%Y%m%d-%H%M%S.db", &local);
    return buf;
}

void CopyDatabaseTo(TADOConnection& connection, const std::string& path) {
    if (!connection.Server()) return connection.BackupTo(path);
    // A server's copy is a database file made from its rows, as lty_migrate
    // to-file makes one.
    std::error_code ec;
    fs::remove(path, ec);
    CopyServerToFile(connection.ServerConninfo(), path);
}

void ReplaceDatabaseBy(TADOConnection& connection, const std::string& path) {
    RequireDatabaseCopy(path);
    PgConnection* server = connection.Server();
    if (!server) {
        if (!ReadFileSchema(path).NeedsUpgrade()) return connection.RestoreFrom(path);
        // A copy made by an older program is upgraded on a copy of its own
        // first (the chosen file stays as it is), so the data replace the
        // database with everything this program reads.
        static int counter = 0;
        const fs::path upgraded = fs::temp_directory_path() / ("lty-restore-" + std::to_string(::getpid()) + "-" +
                                                               std::to_string(++counter) + ".db");
        try {
            fs::copy_file(path, upgraded, fs::copy_options::overwrite_existing);
            UpgradeDatabaseFile(upgraded.string());
            connection.RestoreFrom(upgraded.string());
        } catch (const fs::filesystem_error& e) {
            std::error_code ec;
            fs::remove(upgraded, ec);
            throw EngineError(e.what());
        } catch (...) {
            std::error_code ec;
            fs::remove(upgraded, ec);
            throw;
        }
        std::error_code ec;
        fs::remove(upgraded, ec);
        return;
    }
    // All or nothing, and one program at a time, as any write transaction.
    connection.BeginTrans();
    try {
        ReplaceServerRows(path, *server);
        connection.CommitTrans();
    } catch (...) {
        try {
            connection.RollbackTrans();
        } catch (const std::exception&) {
        }
        throw;
    }
}

BackupResult MakeBackup(TDM& dm, std::time_t when) {
    BackupResult r;
    if (!dm.Connected()) {
        r.Error = "没有连接数据库";
        return r;
    }
    const std::string folder = BackupFolder(dm);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        r.Error = "cannot create " + folder;
        return r;
    }
    const std::string base = BackupFileName(when);
    std::string path = folder + base;
    for (int n = 2; fs::exists(path, ec); ++n)
        path = folder + base.substr(0, base.size() - 3) + "-" + std::to_string(n) + ".db";
    try {
        CopyDatabaseTo(dm.ADOMain, path);
    } catch (const std::exception& e) {
        r.Error = e.what();
        return r;
    }
    r.Ok = true;
    r.Path = path;
    return r;
}

std::vector<BackupCopy> ListBackups(const TDM& dm) {
    std::vector<BackupCopy> copies;
    std::error_code ec;
    for (fs::directory_iterator it(BackupFolder(dm), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        BackupCopy c;
        c.Name = it->path().filename().string();
        c.TimeText = TimeFromName(c.Name);
        if (c.TimeText.empty()) continue;
        c.Path = it->path().string();
        c.Size = it->file_size(ec);
        copies.push_back(std::move(c));
    }
    // The name sorts by time; a later "-n" of the same second sorts after.
    std::sort(copies.begin(), copies.end(), [](const BackupCopy& a, const BackupCopy& b) {
        if (a.TimeText != b.TimeText) return a.TimeText > b.TimeText;
        if (a.Name.size() != b.Name.size()) return a.Name.size() > b.Name.size();
        return a.Name > b.Name;
    });
    return copies;
}

RestoreResult RestoreBackup(TDM& dm, const std::string& copyPath, std::time_t when) {
    RestoreResult r;
    r.Error = CheckDatabaseCopy(copyPath);
    if (!r.Error.empty()) {
        r.CopyRefused = true;
        return r;
    }
    const BackupResult safety = MakeBackup(dm, when);
    if (!safety.Ok) {
        r.Error = safety.Error;
        return r;
    }
    r.SafetyCopy = safety.Path;
    for (TADOQuery* q : {&dm.Qry_Main, &dm.Qry_tmp, &dm.adoDes}) q->Close();
    try {
        ReplaceDatabaseBy(dm.ADOMain, copyPath);
    } catch (const std::exception& e) {
        r.Error = e.what();
        return r;
    }
    r.Ok = true;
    return r;
}

std::string SizeText(std::uintmax_t bytes) {
    // Integer arithmetic: the C formatting of fractions follows the locale.
    constexpr std::uintmax_t kKB = 1024, kMB = 1024 * 1024;
    if (bytes >= kMB) {
        const std::uintmax_t tenths = (bytes * 10 + kMB / 2) / kMB;
        return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
    }
    if (bytes >= kKB) return std::to_string((bytes + kKB / 2) / kKB) + " KB";
    return std::to_string(bytes) + " B";
}

} // namespace lty
