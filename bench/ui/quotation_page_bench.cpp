// The quotation page on the offscreen platform with a 2,000-row quotation:
// what a user waits for when the page opens, after a typed quantity, while
// scrolling and after an undo.
#include "bench/quotation_texts.h"
#include "bench/silent_messages.h"
#include "controls/grid/text_grid.h"
#include "core/quotation/quotation_text.h"
#include "ui/common/globals.h"
#include "ui/quotation/quotation_page.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using lty::QuotationGrid;
using lty::QuotationPage;

// A page shown over a grid rebuilt from stored text, its first paint done.
struct ShownPage {
    QuotationGrid grid;
    std::unique_ptr<QuotationPage> page;
    explicit ShownPage(const std::string& text) {
        lty::TextToQuotation(grid, text);
        page = std::make_unique<QuotationPage>(grid);
        page->ReloadFromGrid();
        page->resize(1200, 700);
        page->show();
        QApplication::processEvents();
        page->repaint();
    }
};

// Build, lay out, show and paint the page the first time.
void BM_PageOpen(benchmark::State& state) {
    const std::string text = lty::bench::QuotationTextOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto shown = std::make_unique<ShownPage>(text);
        benchmark::DoNotOptimize(shown->page.get());
        state.PauseTiming();
        shown.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PageOpen)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

// A quantity typed into a visible item row: the write, the validation with
// RecalcTotals, the undo snapshot, the model's signals and the repaint.
void BM_QuantityEdit(benchmark::State& state) {
    ShownPage shown(lty::bench::QuotationTextOf(static_cast<int>(state.range(0))));
    auto* model = shown.page->advsg1->Model();
    const QModelIndex quantity = model->index(2, 3); // view row 2 is grid row 3, an item
    int n = 0;
    for (auto _ : state) {
        model->setData(quantity, QString::number(2 + (n++ % 5)), Qt::EditRole);
        shown.page->advsg1->viewport()->repaint();
        state.PauseTiming();
        const bool edited = shown.grid.Text(3, 3) == std::to_string(2 + (n - 1) % 5);
        shown.page->UndoClick(); // keeps the history from growing with the iterations
        if (!edited || shown.page->History().RedoCount() != 1) {
            state.SkipWithError("the edit did not happen");
            break;
        }
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_QuantityEdit)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

// One scroll step of a page's height and the paint of what then shows.
void BM_ScrollStepPaint(benchmark::State& state) {
    ShownPage shown(lty::bench::QuotationTextOf(static_cast<int>(state.range(0))));
    auto* bar = shown.page->advsg1->verticalScrollBar();
    const int step = bar->pageStep();
    bar->setValue(bar->maximum() / 2);
    int direction = 1;
    for (auto _ : state) {
        if (bar->value() + step > bar->maximum() || bar->value() - step < 0) direction = -direction;
        bar->setValue(bar->value() + direction * step);
        shown.page->advsg1->viewport()->repaint();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScrollStepPaint)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

// An undo of a validated quantity edit, with the view rebuilt and repainted.
void BM_Undo(benchmark::State& state) {
    ShownPage shown(lty::bench::QuotationTextOf(static_cast<int>(state.range(0))));
    shown.page->advsg1->Model()->setData(shown.page->advsg1->Model()->index(2, 3), QStringLiteral("9"), Qt::EditRole);
    for (auto _ : state) {
        shown.page->UndoClick();
        shown.page->advsg1->viewport()->repaint();
        state.PauseTiming();
        if (shown.grid.Text(3, 3) == "9") {
            state.SkipWithError("nothing was undone");
            break;
        }
        shown.page->RedoClick();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Undo)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

// A column of quantities pasted with Ctrl+V from the first item down: the
// numbers checked, written, the amounts and totals recomputed once, the undo
// snapshot and the view told. Section rows on the way are passed over.
void BM_PasteQuantities(benchmark::State& state) {
    ShownPage shown(lty::bench::QuotationTextOf(2000));
    QString column;
    for (int i = 0; i < state.range(0); ++i) column += QString::number(2 + i % 7) + QStringLiteral(".5\r\n");
    QGuiApplication::clipboard()->setText(column);
    shown.page->advsg1->SetCurrentCell(3, 3);
    for (auto _ : state) {
        shown.page->PasteClick();
        shown.page->advsg1->viewport()->repaint();
        state.PauseTiming();
        const bool pasted = shown.grid.Text(3, 3) == "2.5" && shown.page->History().UndoCount() == 1;
        shown.page->UndoClick();
        if (!pasted) {
            state.SkipWithError("the paste did not happen");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteQuantities)->Arg(30)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    lty::bench::SilentMessages silent;
    lty::SetMessages(&silent);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    lty::SetMessages(nullptr);
    return 0;
}
