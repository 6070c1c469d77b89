// The quotation grid at sizes far beyond a real job: every operation the user
// waits for must stay well under a frame and grow linearly with the rows.
#include "bench/quotation_texts.h"
#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_clipboard.h"
#include "core/quotation/quotation_text.h"
#include "core/text/pinyin.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

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

// Ctrl+V of a column of quantities into a 2,000-row quotation, in the core:
// parse, check every number, write, the amounts, one RecalcTotals.
void BM_PasteTsv(benchmark::State& state) {
    auto g = GridOf(2000);
    std::string column;
    for (int i = 0; i < state.range(0); ++i) column += std::to_string(2 + i % 7) + ".5\r\n";
    for (auto _ : state) benchmark::DoNotOptimize(lty::PasteTsv(g, 3, 3, column).Written);
}
BENCHMARK(BM_PasteTsv)->Arg(30)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The search indexes of both trees at start-up: 11,101 catalog names and
// 5,000 project texts, all in Chinese, each character's pinyin looked up.
void BM_SearchIndexBuild(benchmark::State& state) {
    std::vector<std::string> texts;
    std::uint32_t seed = 12345;
    const auto han = [&seed] {
        seed = seed * 1103515245u + 12345u;
        const char32_t c = 0x4E00 + (seed >> 8) % 0x51A5;
        std::string s;
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
        return s;
    };
    for (int i = 0; i < 11101; ++i) {
        std::string name;
        for (int k = 0; k < 6 + i % 6; ++k) name += han();
        texts.push_back(name + "（Φ" + std::to_string(i % 110) + "）");
    }
    for (int i = 0; i < 5000; ++i) {
        std::string text = han() + han() + han() + "（" + han() + han() + "路" + std::to_string(i) + "号） 设计师 1390000" +
                           std::to_string(i) + " P" + std::to_string(i);
        texts.push_back(text);
    }
    for (auto _ : state) {
        lty::SearchIndex index;
        index.Build(texts);
        benchmark::DoNotOptimize(index.Size());
    }
}
BENCHMARK(BM_SearchIndexBuild)->Unit(benchmark::kMillisecond);

void BM_SearchIndexMatch(benchmark::State& state) {
    std::vector<std::string> texts;
    for (int i = 0; i < 11101; ++i) texts.push_back("墙面乳胶漆" + std::to_string(i) + "石膏板造型吊顶");
    lty::SearchIndex index;
    index.Build(texts);
    for (auto _ : state) benchmark::DoNotOptimize(index.Match("rjq7").size());
}
BENCHMARK(BM_SearchIndexMatch)->Unit(benchmark::kMillisecond);

} // namespace
