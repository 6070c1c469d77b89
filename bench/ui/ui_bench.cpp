// The windows at the sizes a busy firm reaches, in-process on the offscreen
// platform: start-up with a large catalog and many projects, opening a
// project with a long quotation, one keystroke of the catalog search.
#include "bench/bench_data.h"
#include "bench/silent_messages.h"
#include "controls/grid/text_grid.h"
#include "core/data/data_module.h"
#include "tests/core/test_database.h"
#include "ui/common/application.h"
#include "ui/common/globals.h"
#include "ui/shell/main_window.h"
#include "ui/quotation/project_window.h"
#include "ui/quotation/quotation_page.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTabWidget>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using namespace lty;
using namespace lty::bench;

SilentMessages silent;

// The benchmark database: 11,101 catalog nodes, 5,000 projects under 100
// designers, and one project holding a 2,000-row quotation.
struct BusyDatabase {
    test::TempProgramDir dir;
    std::string longProjectId;

    BusyDatabase() {
        TDM dm(silent, dir.Dir());
        FillCatalog(dm, 100);
        FillProjects(dm, 5000, 100);
        TREC_PROJECT r;
        r.SetcharProjectID("LONG");
        r.SetcharCustomer("王先生");
        r.SetcharAddress("文一路1号");
        r.SetcharDesigner("设计师0");
        r.SetcharQuotation(QuotationText(2000));
        Must(dm.StoreProject(r, SaveModeInsert), "long project");
        longProjectId = std::to_string(r.IntID);
    }
};

BusyDatabase& Busy() {
    static BusyDatabase db;
    return db;
}

// The main window shown over the busy database, as after start-up.
struct RunningProgram {
    TDM dm{silent, Busy().dir.Dir()};
    TFrmMain frm;
    RunningProgram() {
        DM = &dm;
        frm.show();
    }
    ~RunningProgram() { DM = nullptr; }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
};

void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// From before the main window is made until its first showing has filled
// both trees, CompanyInfo and QuotationRemark, as the program starts.
void BM_StartUp(benchmark::State& state) {
    BusyDatabase& db = Busy();
    for (auto _ : state) {
        auto frm = std::make_unique<TFrmMain>();
        auto dm = std::make_unique<TDM>(silent, db.dir.Dir());
        DM = dm.get();
        frm->show(); // FormShow
        state.PauseTiming();
        int nodes = 0;
        for (QTreeWidgetItemIterator it(frm->TreeView2); *it; ++it) ++nodes;
        state.counters["catalog nodes"] = nodes;
        state.counters["project nodes"] = frm->TreeView1->topLevelItem(0)->childCount();
        frm.reset();
        DM = nullptr;
        dm.reset();
        Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(10);

// Double-click on a project node: load the row, make the window, show the
// record and rebuild its 2,000-row quotation model.
void BM_OpenProjectWindow(benchmark::State& state) {
    RunningProgram p;
    TFrmMain& frm = p.frm;
    for (auto _ : state) {
        Must(frm.OpenProjectWindow(2, p.dm.LoadProject(Busy().longProjectId)), "open");
        state.PauseTiming();
        Must(frm.ActiveProjectWindow()->Grid().BodyRowCount() == 2000, "rows");
        frm.ActiveProjectWindow()->close();
        Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenProjectWindow)->Unit(benchmark::kMillisecond);

// The same open, then the page "报价明细" brought up and the whole window
// painted the first time: what the user waits for before the 2,000 rows show.
void BM_OpenProjectWindowShowingQuotation(benchmark::State& state) {
    RunningProgram p;
    TFrmMain& frm = p.frm;
    for (auto _ : state) {
        Must(frm.OpenProjectWindow(2, p.dm.LoadProject(Busy().longProjectId)), "open");
        TFrmProject_Detail* w = frm.ActiveProjectWindow();
        w->PageControl1->setCurrentWidget(w->TabSheet2);
        QApplication::processEvents();
        w->repaint();
        state.PauseTiming();
        Must(w->Page()->advsg1->isVisible(), "quotation shown");
        Must(w->Page()->advsg1->Model()->rowCount() == 2002, "rows in view");
        w->close();
        Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenProjectWindowShowingQuotation)->Unit(benchmark::kMillisecond);

// One keystroke in the catalog search over 11,101 entries, and emptying it.
void BM_CatalogSearchKeystroke(benchmark::State& state) {
    RunningProgram p;
    for (auto _ : state) {
        p.frm.FilterCatalog(QStringLiteral("子类7"));
        p.frm.FilterCatalog(QString());
    }
}
BENCHMARK(BM_CatalogSearchKeystroke)->Unit(benchmark::kMillisecond);

// The same keystroke typed as pinyin initials, which match in every entry's
// readings too, and one in the project search over 5,000 projects ("kh",
// 客户, finds them all: the most nodes to show).
void BM_CatalogSearchPinyinKeystroke(benchmark::State& state) {
    RunningProgram p;
    for (auto _ : state) {
        p.frm.FilterCatalog(QStringLiteral("zl7"));
        p.frm.FilterCatalog(QString());
    }
}
BENCHMARK(BM_CatalogSearchPinyinKeystroke)->Unit(benchmark::kMillisecond);

void BM_ProjectSearchKeystroke(benchmark::State& state) {
    RunningProgram p;
    const QString needle = state.range(0) == 0 ? QStringLiteral("kh12") : QStringLiteral("kh");
    for (auto _ : state) {
        p.frm.FilterProjects(needle);
        p.frm.FilterProjects(QString());
    }
}
BENCHMARK(BM_ProjectSearchKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication app(argc, argv);
    SetMessages(&silent);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    SetMessages(nullptr);
    return 0;
}
