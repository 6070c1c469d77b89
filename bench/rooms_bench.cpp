// A change of a room's measurements with 200 lines following them, in a
// quotation of 2,000 rows: what the designer waits for after 确定 in
// "房间尺寸" (the question aside) must stay well under a frame.
#include "bench/quotation_texts.h"
#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_history.h"
#include "core/quotation/quotation_text.h"
#include "core/quotation/rooms.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RemeasureRoomOf200Lines(benchmark::State& state) {
    const int following = static_cast<int>(state.range(0));
    lty::QuotationGrid g;
    lty::TextToQuotation(g, lty::bench::QuotationTextOf(2000));
    g.AddSectionRow();
    const int room = g.EndRow() - 1;
    g.SetCellText(1, room, "大厅");
    g.SetCurrentCell(1, room);
    const lty::Measure kinds[] = {lty::Measure::Floor, lty::Measure::Wall, lty::Measure::Ceiling,
                                  lty::Measure::Perimeter};
    for (int i = 0; i < following; ++i) {
        lty::CatalogLine line{"项目" + std::to_string(i), 12.5 + i, 1, "平米", 0, ""};
        line.Follows = kinds[i % 4];
        g.AddItemRow(line, false);
    }
    lty::QuotationHistory history;
    const lty::RoomSize sizes[] = {{8000, 6000, 2800, {{900, 2100, 2}}}, {8500, 6000, 2900, {{900, 2100, 2}}}};
    int turn = 0;
    for (auto _ : state) {
        // As the page runs it: the lines asked about, one undo step around the change.
        const lty::RoomSize& size = sizes[++turn % 2];
        const auto lines = lty::LinesToRemeasure(g, room, size);
        history.Begin(g);
        const int changed = lty::ApplyRoomSize(g, room, size, true);
        history.End(g, true);
        if (changed != following || static_cast<int>(lines.size()) != following)
            state.SkipWithError("not every line followed");
        benchmark::DoNotOptimize(g.Charges().ProjectTotal);
    }
}
BENCHMARK(BM_RemeasureRoomOf200Lines)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
