// Start-up as the user waits for it: connect (with the check at connection),
// then both trees filled, the company row and the standing remark read, on
// a busy firm's database of 11,101 catalog entries and 5,000 projects. Runs
// on the file engine, or on the server with LTY_TEST_ENGINE=pg.
#include "bench/silent_messages.h"
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "tests/core/test_database.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Text(const char* prefix, int n) {
    std::string s(prefix);
    s.append(std::to_string(n));
    return s;
}

// The remark row 1 and 100 categories of 10 groups of 10 priced items.
void FillBusyFirm(lty::TDM& dm) {
    std::vector<std::string> sql{"delete from TBLITEM", "delete from TBLProduct"};
    int id = 0;
    auto add = [&](const std::string& name, int parent) {
        ++id;
        std::string s("insert into TBLITEM(ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID) "
                      "values(");
        s.append(lty::SqlInteger(id)).append(",").append(lty::SqlText(name));
        s.append(",'','',1,").append(lty::SqlInteger(parent)).append(")");
        sql.push_back(std::move(s));
        s = "insert into TBLProduct(Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductCLass)values(";
        s.append(lty::SqlInteger(id)).append(",18.5,'平米','两遍底漆两遍面漆','标准型')");
        sql.push_back(std::move(s));
        return id;
    };
    add("拆除及基础工程", 0);
    for (int c = 0; c < 100; ++c) {
        const int cat = add(Text("分类", c), 0);
        for (int g = 0; g < 10; ++g) {
            const int group = add(Text("子类", g), cat);
            for (int i = 0; i < 10; ++i) add(Text("项目", i), group);
        }
    }
    if (id != 11101) throw std::logic_error("catalog size");
    for (int p = 0; p < 5000; ++p) {
        std::string s(
            "insert into tblProject(charProjectID,charCustomer,charAddress,charDesigner,charQuotation) values(");
        s.append(lty::SqlText(Text("P", p))).append(",").append(lty::SqlText(Text("客户", p))).append(",");
        s.append(lty::SqlText(Text("文三路", p))).append(",").append(lty::SqlText(Text("设计师", p % 100)));
        s.append(",'1000@卧室@@@@1234.50@@墙面乳胶漆@18@30@平米@540.00@两遍底漆两遍面漆')");
        sql.push_back(std::move(s));
    }
    dm.ADOMain.BeginTrans();
    dm.ADOMain.RunBatch(sql);
    dm.ADOMain.CommitTrans();
}

void BM_StartUpBothTrees(benchmark::State& state) {
    lty::test::TempProgramDir dir;
    {
        lty::bench::SilentMessages m;
        lty::TDM dm(m, dir.Dir());
        FillBusyFirm(dm);
    }
    std::size_t nodes = 0;
    for (auto _ : state) {
        lty::bench::SilentMessages m;
        lty::TDM dm(m, dir.Dir());
        if (!dm.Connected()) throw std::runtime_error("connect");
        lty::TTreeView projects;
        lty::TTreeView catalog;
        dm.LoadProjectTree(projects);
        dm.LoadCatalogTree(catalog);
        benchmark::DoNotOptimize(dm.LoadCompanyInfo());
        std::string remark;
        dm.GetQuotationRemark(remark);
        nodes = projects.Count() + catalog.Count();
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    state.SetLabel(lty::test::TestOnServer() ? "server" : "file");
}
BENCHMARK(BM_StartUpBothTrees)->Unit(benchmark::kMillisecond);

} // namespace
