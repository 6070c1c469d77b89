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
#include "ui/quotation/project_window.h"
#include "ui/quotation/quotation_page.h"
#include "ui/quotation/reprice_dialog.h"
#include "ui/shell/main_window.h"

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

// "复制为新工程" on the 2,000-row project selected in the tree: the row read,
// the new window made and its quotation shown.
void BM_CopyProject(benchmark::State& state) {
    RunningProgram p;
    TFrmMain& frm = p.frm;
    QTreeWidgetItem* node = nullptr;
    for (QTreeWidgetItemIterator it(frm.TreeView1); *it && !node; ++it)
        if ((*it)->text(0) == QStringLiteral("王先生（文一路1号）")) node = *it;
    Must(node != nullptr, "long project in the tree");
    frm.TreeView1->setCurrentItem(node);
    for (auto _ : state) {
        frm.TreeView1->setFocus();
        frm.ActCopyProject->trigger();
        state.PauseTiming();
        TFrmProject_Detail* copy = frm.ActiveProjectWindow();
        Must(copy && copy->Grid().BodyRowCount() == 2000 && copy->SaveMode() == SaveModeInsert, "copy");
        copy->CloseWithoutAsking();
        Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyProject)->Unit(benchmark::kMillisecond);

// "重新计价" on the open 2,000-row project against a catalog of 10,000 priced
// entries, one of them the quotation's 1,800 lines at a new price: the
// catalog read, the comparison and the dialog listing every changed line.
void BM_RepriceListing(benchmark::State& state) {
    RunningProgram p;
    TFrmMain& frm = p.frm;
    p.dm.ADOMain.BeginTrans();
    Must(p.dm.RunStatement("insert into TBLPRODUCT(Product_ID,ProductPrice,ProductUnit) select ITEM_ID,ITEM_ID % 97,"
                           "'平米' from TBLITEM where ITEM_NAME like '项目%'"),
         "prices");
    Must(
        p.dm.RunStatement("insert into TBLITEM(ITEM_ID,ITEM_NAME,Item_Type,Parent_ID) values(900001,'墙面乳胶漆',1,1)"),
        "entry");
    Must(p.dm.RunStatement("insert into TBLPRODUCT(Product_ID,ProductPrice,ProductUnit) values(900001,20,'平米')"),
         "price");
    p.dm.ADOMain.CommitTrans();
    Must(frm.OpenProjectWindow(2, p.dm.LoadProject(Busy().longProjectId)), "open");
    for (auto _ : state) {
        frm.ActReprice->trigger();
        state.PauseTiming();
        TFrmReprice* dialog = frm.LastRepriceDialog();
        Must(dialog && dialog->ChangeList->topLevelItemCount() == 1800, "changes listed");
        dialog->reject();
        Settle();
        state.ResumeTiming();
    }
    frm.ActiveProjectWindow()->CloseWithoutAsking();
    Settle();
    p.dm.ADOMain.BeginTrans();
    Must(p.dm.RunStatement("delete from TBLPRODUCT"), "prices back");
    Must(p.dm.RunStatement("delete from TBLITEM where ITEM_ID=900001"), "entry back");
    p.dm.ADOMain.CommitTrans();
}
BENCHMARK(BM_RepriceListing)->Unit(benchmark::kMillisecond);

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
