// The catalog's CSV export and import, and a whole-database backup, at the
// size of a large price list (categories x 10 sub-categories x 10 items).
#include "bench/silent_messages.h"
#include "core/upkeep/backup.h"
#include "core/upkeep/catalog_csv.h"
#include "core/data/data_module.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

std::string PriceList(int categories) {
    std::string csv;
    for (int c = 0; c < categories; ++c)
        for (int s = 0; s < 10; ++s)
            for (int i = 0; i < 10; ++i) {
                csv.append("分类").append(std::to_string(c)).append(",子类").append(std::to_string(s));
                csv.append(",项目").append(std::to_string(i)).append(",平米,");
                csv.append(std::to_string(10 + i)).append(".5,标准型,\"含材料，人工；\"\"国标\"\"\"\r\n");
            }
    return csv;
}

void Import(lty::TDM& dm, const std::string& csv) {
    lty::CatalogImportPlan plan;
    lty::CsvProblem problem;
    if (!lty::PlanCatalogImport(dm, csv, plan, problem) || !lty::ApplyCatalogImport(dm, plan))
        throw std::runtime_error("import failed");
}

struct Fixture {
    lty::test::TempProgramDir dir;
    lty::bench::SilentMessages m;
    lty::TDM dm{m, dir.Dir()};
    std::string csv;
    explicit Fixture(int categories) : csv(PriceList(categories)) {
        if (!dm.ClearAllData()) throw std::runtime_error("reset failed");
        Import(dm, csv);
    }
};

void BM_CatalogCsvExport(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(lty::CatalogToCsv(f.dm));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 111);
}
BENCHMARK(BM_CatalogCsvExport)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond);

// Reading a file against a catalog that already holds all of it: nothing to write.
void BM_CatalogCsvPlanUnchanged(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    lty::CatalogImportPlan plan;
    lty::CsvProblem problem;
    for (auto _ : state) benchmark::DoNotOptimize(lty::PlanCatalogImport(f.dm, f.csv, plan, problem));
    if (plan.Adds != 0 || plan.Changes != 0) state.SkipWithError("the file did not match the catalog");
    state.SetItemsProcessed(state.iterations() * state.range(0) * 111);
}
BENCHMARK(BM_CatalogCsvPlanUnchanged)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond);

// The whole import into an emptied catalog, in its one transaction.
void BM_CatalogCsvImportIntoEmpty(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        f.dm.ClearAllData();
        state.ResumeTiming();
        Import(f.dm, f.csv);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 111);
}
BENCHMARK(BM_CatalogCsvImportIntoEmpty)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond);

void BM_Backup(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    std::time_t when = 1'800'000'000;
    for (auto _ : state)
        if (!lty::MakeBackup(f.dm, when++).Ok) state.SkipWithError("backup failed");
}
BENCHMARK(BM_Backup)->Arg(40)->Unit(benchmark::kMillisecond);

} // namespace
