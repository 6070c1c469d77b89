// The quotation grid at sizes far beyond a real job: every operation the user
// waits for must stay well under a frame and grow linearly with the rows.
#include "bench/quotation_texts.h"
#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using lty::bench::QuotationTextOf;

lty::QuotationGrid GridOf(int rows) {
    lty::QuotationGrid g;
    lty::TextToQuotation(g, QuotationTextOf(rows));
    return g;
}

void BM_RecalcTotals(benchmark::State& state) {
    auto g = GridOf(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(g.RecalcTotals().ProjectTotal);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RecalcTotals)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

void BM_QuotationToText(benchmark::State& state) {
    auto g = GridOf(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(lty::QuotationToText(g));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_QuotationToText)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

void BM_TextToQuotation(benchmark::State& state) {
    const std::string text = QuotationTextOf(static_cast<int>(state.range(0)));
    state.SetBytesProcessed(0);
    for (auto _ : state) {
        lty::QuotationGrid g;
        lty::TextToQuotation(g, text);
        benchmark::DoNotOptimize(g.RowCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TextToQuotation)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

// A catalog entry added directly below the total row: every body row moves
// down one and the totals are recomputed.
void BM_AddItemRowAtTop(benchmark::State& state) {
    auto g = GridOf(static_cast<int>(state.range(0)));
    const lty::CatalogLine line{"踢脚线", 12.5, 1, "米", 0, "实木"};
    for (auto _ : state) {
        g.SetCurrentCell(1, 1);
        g.AddItemRow(line, false);
        state.PauseTiming();
        g.DeleteRowAt(2);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_AddItemRowAtTop)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

} // namespace
