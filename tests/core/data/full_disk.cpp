#include "tests/core/data/full_disk.h"

#include <sqlite3.h>

#include <map>
#include <numeric>
#include <string>

namespace lty::test {
namespace {

sqlite3_vfs* g_real = nullptr;
std::int64_t g_capacity = -1; // bytes for all tracked files together; -1 for no limit
std::map<std::string, sqlite3_int64> g_sizes;

struct File {
    sqlite3_file Base;
    const char* Name; // valid until xClose, as the engine promises
    sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

File* Of(sqlite3_file* f) { return reinterpret_cast<File*>(f); }

std::int64_t Used() {
    return std::accumulate(g_sizes.begin(), g_sizes.end(), std::int64_t{0},
                           [](std::int64_t n, const auto& e) { return n + e.second; });
}

int Close(sqlite3_file* f) { return Of(f)->Real()->pMethods->xClose(Of(f)->Real()); }
int Read(sqlite3_file* f, void* buf, int amount, sqlite3_int64 offset) {
    return Of(f)->Real()->pMethods->xRead(Of(f)->Real(), buf, amount, offset);
}
int Write(sqlite3_file* f, const void* buf, int amount, sqlite3_int64 offset) {
    File* file = Of(f);
    if (file->Name) {
        sqlite3_int64& size = g_sizes[file->Name];
        const sqlite3_int64 end = offset + amount;
        if (end > size && g_capacity >= 0 && Used() - size + end > g_capacity) return SQLITE_FULL;
        const int rc = file->Real()->pMethods->xWrite(file->Real(), buf, amount, offset);
        if (rc == SQLITE_OK && end > size) size = end;
        return rc;
    }
    return file->Real()->pMethods->xWrite(file->Real(), buf, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    const int rc = Of(f)->Real()->pMethods->xTruncate(Of(f)->Real(), size);
    if (rc == SQLITE_OK && Of(f)->Name) g_sizes[Of(f)->Name] = size;
    return rc;
}
int Sync(sqlite3_file* f, int flags) { return Of(f)->Real()->pMethods->xSync(Of(f)->Real(), flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Of(f)->Real()->pMethods->xFileSize(Of(f)->Real(), size); }
int Lock(sqlite3_file* f, int level) { return Of(f)->Real()->pMethods->xLock(Of(f)->Real(), level); }
int Unlock(sqlite3_file* f, int level) { return Of(f)->Real()->pMethods->xUnlock(Of(f)->Real(), level); }
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Of(f)->Real()->pMethods->xCheckReservedLock(Of(f)->Real(), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Of(f)->Real()->pMethods->xFileControl(Of(f)->Real(), op, arg);
}
int SectorSize(sqlite3_file* f) { return Of(f)->Real()->pMethods->xSectorSize(Of(f)->Real()); }
int DeviceCharacteristics(sqlite3_file* f) { return Of(f)->Real()->pMethods->xDeviceCharacteristics(Of(f)->Real()); }

const sqlite3_io_methods kMethods = {
    1,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    File* file = Of(f);
    file->Base.pMethods = nullptr;
    file->Name = name;
    const int rc = g_real->xOpen(g_real, name, file->Real(), flags, outFlags);
    if (rc != SQLITE_OK) return rc;
    file->Base.pMethods = &kMethods;
    if (name) {
        sqlite3_int64 size = 0;
        file->Real()->pMethods->xFileSize(file->Real(), &size);
        g_sizes[name] = size;
    }
    return SQLITE_OK;
}
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    const int rc = g_real->xDelete(g_real, name, syncDir);
    if (rc == SQLITE_OK) g_sizes.erase(name);
    return rc;
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return g_real->xAccess(g_real, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
    return g_real->xFullPathname(g_real, name, n, out);
}
int Randomness(sqlite3_vfs*, int n, char* out) { return g_real->xRandomness(g_real, n, out); }
int Sleep(sqlite3_vfs*, int micros) { return g_real->xSleep(g_real, micros); }
int CurrentTime(sqlite3_vfs*, double* out) { return g_real->xCurrentTime(g_real, out); }
int GetLastError(sqlite3_vfs*, int n, char* out) { return g_real->xGetLastError(g_real, n, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return g_real->xCurrentTimeInt64(g_real, out); }

sqlite3_vfs g_vfs;

} // namespace

FullDisk::FullDisk() {
    g_real = sqlite3_vfs_find(nullptr);
    g_vfs = sqlite3_vfs{};
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = static_cast<int>(sizeof(File)) + g_real->szOsFile;
    g_vfs.mxPathname = g_real->mxPathname;
    g_vfs.zName = "lty-full-disk";
    g_vfs.xOpen = Open;
    g_vfs.xDelete = Delete;
    g_vfs.xAccess = Access;
    g_vfs.xFullPathname = FullPathname;
    g_vfs.xRandomness = Randomness;
    g_vfs.xSleep = Sleep;
    g_vfs.xCurrentTime = CurrentTime;
    g_vfs.xGetLastError = GetLastError;
    g_vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    g_capacity = -1;
    g_sizes.clear();
    sqlite3_vfs_register(&g_vfs, 1);
}

FullDisk::~FullDisk() {
    sqlite3_vfs_unregister(&g_vfs);
    sqlite3_vfs_register(g_real, 1);
    g_capacity = -1;
}

void FullDisk::SetFreeBytes(std::int64_t bytes) { g_capacity = Used() + bytes; }

void FullDisk::Unlimited() { g_capacity = -1; }

} // namespace lty::test
