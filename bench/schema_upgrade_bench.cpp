// The start-up upgrade of a busy firm's older database (about 20 MB: the
// nine tables only, schema version 0): the upgrade alone, and all that the
// program does at start-up before its window shows (the connection and its
// check, the copy into Data/backup/, the upgrade).
#include "bench/silent_messages.h"
#include "core/data/data_module.h"
#include "core/upkeep/database_builder.h"
#include "core/upkeep/schema_upgrade.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace {
namespace fs = std::filesystem;

// Made once: 5,000 projects whose quotations fill about 4 KB each.
const std::string& OlderDatabase() {
    static const lty::test::TempProgramDir dir(false);
    static const std::string path = [] {
        const std::string p = dir.Dir() + "older.db";
        lty::CreateDatabaseFile(p, lty::ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/schema.sql"),
                                lty::test::FirstRowsSql());
        sqlite3* db = nullptr;
        sqlite3_open(p.c_str(), &db);
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "insert into tblProject(charProjectID,charCustomer,charQuotation,numContractPrice) "
                               "values(?,'客户',?,?)",
                           -1, &st, nullptr);
        std::string quotation;
        while (quotation.size() < 4000) quotation += "墙面乳胶漆@18.5@30@平米@555.00@立邦净味一底两面@";
        for (int i = 0; i < 5000; ++i) {
            sqlite3_reset(st);
            sqlite3_bind_text(st, 1, ("LT-" + std::to_string(i)).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, quotation.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_double(st, 3, 1234.5 + i);
            if (sqlite3_step(st) != SQLITE_DONE) throw std::runtime_error("insert");
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return p;
    }();
    return path;
}

void BM_UpgradeOlderFile(benchmark::State& state) {
    const lty::test::TempProgramDir dir(false);
    const std::string path = dir.Dir() + "LTY.db";
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(OlderDatabase(), path, fs::copy_options::overwrite_existing);
        state.ResumeTiming();
        if (!lty::UpgradeDatabaseFile(path)) state.SkipWithError("nothing was upgraded");
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(OlderDatabase())) / (1024.0 * 1024.0);
}
BENCHMARK(BM_UpgradeOlderFile)->Unit(benchmark::kMillisecond);

void BM_StartUpWithUpgrade(benchmark::State& state) {
    const lty::test::TempProgramDir dir(false);
    lty::bench::SilentMessages m;
    fs::create_directories(dir.Dir() + "Data");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dir.Dir() + "Data/backup");
        fs::copy_file(OlderDatabase(), dir.DatabasePath(), fs::copy_options::overwrite_existing);
        state.ResumeTiming();
        lty::TDM dm(m, dir.Dir());
        if (!lty::UpgradeAtStart(dm, m) || !dm.Connected()) state.SkipWithError("the upgrade failed");
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(OlderDatabase())) / (1024.0 * 1024.0);
}
BENCHMARK(BM_StartUpWithUpgrade)->Unit(benchmark::kMillisecond);

} // namespace
