// Repricing in the core: reading today's priced catalog of 10,000 entries in
// one select, and comparing a long quotation's lines with it.
#include "bench/bench_data.h"
#include "bench/silent_messages.h"
#include "core/data/data_module.h"
#include "core/quotation/quotation_text.h"
#include "core/quotation/reprice.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using lty::bench::Must;

// Entries named like the benchmark quotation's line at another price, among
// 10,000 others.
std::vector<lty::RepriceCatalogEntry> Catalog() {
    std::vector<lty::RepriceCatalogEntry> catalog;
    for (int i = 0; i < 10000; ++i)
        catalog.push_back({std::to_string(i), lty::bench::Numbered("项目", i), "平米", static_cast<double>(i % 97)});
    catalog.push_back({"10000", "墙面乳胶漆", "平米", 20});
    return catalog;
}

void BM_ComparePrices(benchmark::State& state) {
    lty::QuotationGrid g;
    lty::TextToQuotation(g, lty::bench::QuotationText(static_cast<int>(state.range(0))));
    const auto catalog = Catalog();
    std::size_t changes = 0;
    for (auto _ : state) {
        const auto c = lty::ComparePrices(g, catalog);
        changes = c.Changes.size();
        benchmark::DoNotOptimize(changes);
    }
    state.counters["changes"] = static_cast<double>(changes);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ComparePrices)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_LoadCatalogPriceRows(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    lty::bench::SilentMessages m;
    lty::TDM dm(m, dir.Dir());
    lty::bench::FillCatalog(dm, 100);
    Must(dm.RunStatement("insert into TBLPRODUCT(Product_ID,ProductPrice,ProductUnit) select ITEM_ID,ITEM_ID % 97,"
                         "'平米' from TBLITEM"),
         "prices");
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = dm.LoadCatalogPriceRows().size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LoadCatalogPriceRows)->Unit(benchmark::kMillisecond);

} // namespace
