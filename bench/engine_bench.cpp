// Statement throughput through the data module's executor: the cost of a
// commit per statement against one transaction for the batch.
#include "bench/silent_messages.h"
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>

namespace {

using NoMessages = lty::bench::SilentMessages;

void InsertRows(lty::TDM& dm, int n) {
    for (int i = 0; i < n; ++i) {
        const bool ok = dm.RunStatement(
            "insert into TMP_Print(ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum)values(" +
            lty::SqlText("客厅") + "," + lty::SqlText("乳胶漆（一底两面）") + "," + lty::SqlNumber(28) + "," +
            lty::SqlNumber(i * 0.5) + "," + lty::SqlText("平米") + "," + lty::SqlText("滚涂一遍底漆两遍面漆") + "," +
            lty::SqlInteger(i) + "," + lty::SqlNumber(1234.5) + ")");
        if (!ok) throw std::runtime_error("insert failed");
    }
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

} // namespace
