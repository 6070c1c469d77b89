// The data module at the sizes a busy firm reaches: the catalog tree, the
// project tree, opening and saving a long quotation, and one print preparation.
#include "bench/bench_data.h"
#include "bench/silent_messages.h"
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using NoMessages = lty::bench::SilentMessages;
using lty::bench::FillCatalog;
using lty::bench::Must;
using lty::bench::Numbered;
using lty::bench::QuotationText;

void BM_LoadCatalogTree(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    NoMessages m;
    lty::TDM dm(m, dir.Dir());
    FillCatalog(dm, static_cast<int>(state.range(0)));
    lty::TTreeView tree;
    for (auto _ : state) {
        dm.LoadCatalogTree(tree);
        benchmark::DoNotOptimize(tree.Items.data());
    }
    state.counters["nodes"] = static_cast<double>(tree.Count());
}
BENCHMARK(BM_LoadCatalogTree)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_LoadProjectTree(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    NoMessages m;
    lty::TDM dm(m, dir.Dir());
    lty::bench::FillProjects(dm, static_cast<int>(state.range(0)), 100);
    lty::TTreeView tree;
    for (auto _ : state) {
        dm.LoadProjectTree(tree);
        benchmark::DoNotOptimize(tree.Items.data());
    }
    state.counters["nodes"] = static_cast<double>(tree.Count());
}
BENCHMARK(BM_LoadProjectTree)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_LoadAndStoreProject(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    NoMessages m;
    lty::TDM dm(m, dir.Dir());
    lty::TREC_PROJECT r;
    r.SetcharProjectID("P1");
    r.SetcharCustomer("王先生");
    r.SetcharQuotation(QuotationText(static_cast<int>(state.range(0))));
    Must(dm.StoreProject(r, lty::SaveModeInsert), "insert project");
    const std::string id = std::to_string(r.IntID);
    for (auto _ : state) {
        auto loaded = dm.LoadProject(id);
        Must(loaded && dm.StoreProject(*loaded, lty::SaveModeUpdate), "load and store");
    }
    state.counters["bytes"] = static_cast<double>(r.charQuotation.size());
}
BENCHMARK(BM_LoadAndStoreProject)->Arg(2000)->Unit(benchmark::kMillisecond);

// Opening the database at start-up, with everything checked at connection,
// on a file of about 20 MB: half of it a thousand projects with long
// quotations, half of it small rows (a big catalog and print rows), which
// are what make the engine's page check slow.
void BM_ConnectDatabase(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    {
        NoMessages m;
        lty::TDM dm(m, dir.Dir());
        const std::int64_t half = state.range(0) * 1000000 / 2;
        const std::string quotation = QuotationText(static_cast<int>(half / 1000 / 80));
        dm.ADOMain.BeginTrans();
        for (int p = 0; p < 1000; ++p) {
            std::string sql("insert into tblProject(charProjectID,charCustomer,charQuotation) values(");
            sql.append(lty::SqlText(Numbered("P", p))).append(",'客户',").append(lty::SqlText(quotation)).append(")");
            Must(dm.RunStatement(sql), "insert project");
        }
        for (std::int64_t i = 0; i < half / 2 / 90; ++i) {
            Must(dm.InsertPrintRow(Numbered("卧室", static_cast<int>(i / 10)), "墙面乳胶漆", "18", "30", "平米",
                                   "两遍底漆两遍面漆，滚涂均匀", std::to_string(i % 10 + 1), "1234.50"),
                 "insert print row");
            std::string sql("insert into TBLITEM(ITEM_NAME,CATALOGExtrainfo,Parent_ID) values(");
            sql.append(lty::SqlText(Numbered("项目", static_cast<int>(i)))).append(",'说明文字说明文字',1)");
            Must(dm.RunStatement(sql), "insert item");
        }
        dm.ADOMain.CommitTrans();
    }
    for (auto _ : state) {
        NoMessages m;
        lty::TDM dm(m, dir.Dir());
        Must(dm.Connected(), "connect");
    }
    if (!dir.Server()) state.counters["MB"] = static_cast<double>(std::filesystem::file_size(dir.DatabasePath())) / 1e6;
}
BENCHMARK(BM_ConnectDatabase)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_PrintPreparation(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    NoMessages m;
    lty::TDM dm(m, dir.Dir());
    const int rows = static_cast<int>(state.range(0));
    // As the print command hands them over: every line at once.
    std::vector<lty::TDM::PrintRowTexts> lines;
    for (int i = 0; i < rows; ++i)
        lines.push_back({Numbered("卧室", i / 10), "墙面乳胶漆", "18", "30", "平米",
                         "两遍底漆两遍面漆，滚涂均匀，阴阳角顺直", std::to_string(i % 10 + 1), "1234.50"});
    for (auto _ : state) Must(dm.ReplacePrintData(lines), "print rows");
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_PrintPreparation)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
