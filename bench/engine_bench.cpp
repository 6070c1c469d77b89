// Statement throughput through the data module's executor: the cost of a
// commit per statement against one transaction for the batch.
#include "bench/silent_messages.h"
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using NoMessages = lty::bench::SilentMessages;

std::string PrintRowInsert(int i) {
    return "insert into TMP_Print(ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum)values(" +
           lty::SqlText("客厅") + "," + lty::SqlText("乳胶漆（一底两面）") + "," + lty::SqlNumber(28) + "," +
           lty::SqlNumber(i * 0.5) + "," + lty::SqlText("平米") + "," + lty::SqlText("滚涂一遍底漆两遍面漆") + "," +
           lty::SqlInteger(i) + "," + lty::SqlNumber(1234.5) + ")";
}

void InsertRows(lty::TDM& dm, int n) {
    for (int i = 0; i < n; ++i)
        if (!dm.RunStatement(PrintRowInsert(i))) throw std::runtime_error("insert failed");
}

void BM_InsertAutocommit(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        lty::test::TempProgramDir dir;
        NoMessages m;
        lty::TDM dm(m, dir.Dir());
        state.ResumeTiming();
        InsertRows(dm, static_cast<int>(state.range(0)));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertAutocommit)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_InsertOneTransaction(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        lty::test::TempProgramDir dir;
        NoMessages m;
        lty::TDM dm(m, dir.Dir());
        state.ResumeTiming();
        dm.ADOMain.BeginTrans();
        InsertRows(dm, static_cast<int>(state.range(0)));
        dm.ADOMain.CommitTrans();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertOneTransaction)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The same rows as one batch, as the print rows, the reset and the catalog
// import send them: on a server one round trip per few hundred rows (or one
// copy), not one per row.
void BM_InsertBatchOneTransaction(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        lty::test::TempProgramDir dir;
        NoMessages m;
        lty::TDM dm(m, dir.Dir());
        std::vector<std::string> rows;
        for (int i = 0; i < state.range(0); ++i) rows.push_back(PrintRowInsert(i));
        state.ResumeTiming();
        dm.ADOMain.BeginTrans();
        dm.ADOMain.RunBatch(rows);
        dm.ADOMain.CommitTrans();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel(lty::test::TestOnServer() ? "server" : "file");
}
BENCHMARK(BM_InsertBatchOneTransaction)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

// 系统初始化's wipe of a catalog of 11,101 rows with their prices.
void BM_Reset(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    NoMessages m;
    lty::TDM dm(m, dir.Dir());
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> rows{"delete from TBLITEM", "delete from TBLProduct"};
        for (int i = 1; i <= 11101; ++i) {
            rows.push_back("insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(" + lty::SqlInteger(i) + ",'x',0)");
            rows.push_back("insert into TBLProduct(Product_ID) values(" + lty::SqlInteger(i) + ")");
        }
        dm.ADOMain.BeginTrans();
        dm.ADOMain.RunBatch(rows);
        dm.ADOMain.CommitTrans();
        state.ResumeTiming();
        if (!dm.ClearAllData()) state.SkipWithError("reset failed");
    }
    state.SetLabel(lty::test::TestOnServer() ? "server" : "file");
}
BENCHMARK(BM_Reset)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
