// The data module at the sizes a busy firm reaches: the catalog tree, the
// project tree, opening and saving a long quotation, and one print preparation.
#include "bench/silent_messages.h"
#include "core/data/data_module.h"
#include "core/data/sql_text.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

using NoMessages = lty::bench::SilentMessages;

// prefix + n + suffix, built by appending (GCC 12 misreads the operator+ chain).
std::string Numbered(const char* prefix, int n, const char* suffix = "") {
    std::string s(prefix);
    s.append(std::to_string(n)).append(suffix);
    return s;
}

void Must(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(what);
}

// A catalog of `categories` x 10 sub-categories x 10 priced items in place of the starter one.
void FillCatalog(lty::TDM& dm, int categories) {
    dm.ADOMain.BeginTrans();
    Must(dm.RunStatement("delete from TBLITEM"), "clear catalog");
    Must(dm.RunStatement("delete from TBLProduct"), "clear prices");
    int id = 0;
    auto add = [&](const std::string& name, int parent) {
        ++id;
        std::string sql("insert into TBLITEM(ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID) "
                        "values(");
        sql.append(lty::SqlInteger(id)).append(",").append(lty::SqlText(name));
        sql.append(",'','',1,").append(lty::SqlInteger(parent)).append(")");
        Must(dm.RunStatement(sql), "insert item");
        return id;
    };
    for (int c = 0; c < categories; ++c) {
        const int cat = add(Numbered("分类", c), 0);
        for (int s = 0; s < 10; ++s) {
            const int sub = add(Numbered("子类", s), cat);
            for (int i = 0; i < 10; ++i) add(Numbered("项目", i), sub);
        }
    }
    dm.ADOMain.CommitTrans();
}

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
    const int designers = 100;
    const int projects = static_cast<int>(state.range(0));
    dm.ADOMain.BeginTrans();
    for (int p = 0; p < projects; ++p) {
        std::string sql("insert into tblProject(charProjectID,charCustomer,charAddress,charDesigner) values(");
        sql.append(lty::SqlText(Numbered("P", p))).append(",");
        sql.append(lty::SqlText(Numbered("客户", p))).append(",");
        sql.append(lty::SqlText(Numbered("文三路", p, "号"))).append(",");
        sql.append(lty::SqlText(Numbered("设计师", p % designers))).append(")");
        Must(dm.RunStatement(sql), "insert project");
    }
    dm.ADOMain.CommitTrans();
    lty::TTreeView tree;
    for (auto _ : state) {
        dm.LoadProjectTree(tree);
        benchmark::DoNotOptimize(tree.Items.data());
    }
    state.counters["nodes"] = static_cast<double>(tree.Count());
}
BENCHMARK(BM_LoadProjectTree)->Arg(5000)->Unit(benchmark::kMillisecond);

// A quotation text of `rows` body rows: sections of nine items each.
std::string QuotationText(int rows) {
    std::string kinds;
    std::string fields;
    for (int r = 0; r < rows; ++r) {
        if (r % 10 == 0) {
            kinds.push_back('1');
            fields.append(Numbered("@卧室", r / 10, "@@@@1234.50@"));
        } else {
            kinds.push_back('0');
            fields.append("@墙面乳胶漆@18@30@平米@540.00@两遍底漆两遍面漆，滚涂均匀，阴阳角顺直");
        }
    }
    return kinds + fields;
}

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
    for (auto _ : state) {
        dm.BeginPrintRows();
        dm.ClearPrintData();
        for (int i = 0; i < rows; ++i)
            dm.InsertPrintRow(Numbered("卧室", i / 10), "墙面乳胶漆", "18", "30", "平米",
                              "两遍底漆两遍面漆，滚涂均匀，阴阳角顺直", std::to_string(i % 10 + 1), "1234.50");
        Must(dm.EndPrintRows(), "print rows");
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_PrintPreparation)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
