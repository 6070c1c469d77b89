// A project's measured rooms saved and loaded with it, and a catalog entry's
// measure on its own and through the catalog's CSV file.
#include "core/upkeep/catalog_csv.h"
#include "tests/core/data/data_module_fixture.h"

#include <regex>

namespace lty {
namespace {

using test::DataModuleTest;

TREC_PROJECT Project(std::string rooms) {
    TREC_PROJECT r;
    r.SetcharProjectID("R1");
    r.SetcharCustomer("李女士");
    r.SetcharRooms(std::move(rooms));
    return r;
}

TEST_F(DataModuleTest, RoomsAreSavedInTheProjectsTransactionAndLoadedWithIt) {
    const std::string rooms = "ROOMS 1\nR\t0\t客'厅\t4000,3000,2800\nL\t0\t1\t地面瓷砖\t12\n";
    TREC_PROJECT r = Project(rooms);
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert)) << messages.Texts().back();
    const std::string id = std::to_string(r.IntID);
    ASSERT_EQ(trace.size(), 5u); // the check, the row, the rooms twice, the stamp
    EXPECT_EQ(trace[2], "delete from TBLPROJECTROOMS where IntID=" + id);
    EXPECT_EQ(trace[3], "insert into TBLPROJECTROOMS(IntID,charRooms) values(" + id +
                            ",'ROOMS 1\nR\t0\t客''厅\t4000,3000,2800\nL\t0\t1\t地面瓷砖\t12\n')");
    auto loaded = dm.LoadProject(id);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->charRooms, rooms);

    // A failed write of the rooms keeps the whole save out: the project row
    // stays as it was, and the user is told.
    RefuseOn("TBLPROJECTROOMS", "insert");
    TREC_PROJECT changed = *loaded;
    changed.SetcharCustomer("改了");
    changed.SetcharRooms("ROOMS 1\nR\t0\t客厅\t1,1,1\n");
    messages.Shown.clear();
    EXPECT_FALSE(dm.StoreProject(changed, SaveModeUpdate, loaded.get()));
    EXPECT_EQ(messages.Texts().front().rfind("保存工程失败，数据未保存！", 0), 0u);
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=" + id), "李女士");
    EXPECT_EQ(dm.LoadProject(id)->charRooms, rooms);
    StopRefusing("TBLPROJECTROOMS", "insert");

    // Rooms taken away: the row goes. After that a save without rooms sends
    // nothing for them, as a project never measured.
    changed.SetcharRooms("");
    ASSERT_TRUE(dm.StoreProject(changed, SaveModeUpdate, loaded.get()));
    EXPECT_EQ(RawCount("TBLPROJECTROOMS"), 0);
    loaded = dm.LoadProject(id);
    EXPECT_EQ(loaded->charRooms, "");
    trace.clear();
    ASSERT_TRUE(dm.StoreProject(changed, SaveModeUpdate, loaded.get()));
    ASSERT_EQ(trace.size(), 4u); // the number's holders, the row as stored, the update, the stamp
    EXPECT_EQ(trace[2].rfind("update tblProject set ", 0), 0u);
}

TEST_F(DataModuleTest, ACatalogEntrysMeasureIsKeptAndTravelsThroughTheCsvFile) {
    EXPECT_EQ(dm.GetProductMeasure("3"), 0);
    ASSERT_TRUE(dm.SaveProductMeasure("3", 2));
    EXPECT_EQ(dm.GetProductMeasure("3"), 2);
    ASSERT_TRUE(dm.SaveProductMeasure("3", 0)); // 无 keeps no row
    EXPECT_EQ(RawCount("TBLPRODUCTMEASURE"), 0);
    EXPECT_FALSE(dm.SaveProductMeasure("3 or 1=1", 1));
    EXPECT_FALSE(dm.SaveProductMeasure("3", 5));
    EXPECT_EQ(dm.GetProductMeasure("3 or 1=1"), 0);
    ASSERT_TRUE(dm.SaveProductMeasure("4", 4));
    Raw("insert into TBLPRODUCTMEASURE(Product_ID,intMeasure) values(5,9)"); // written by hand: none
    EXPECT_EQ(dm.GetProductMeasure("5"), 0);

    const std::string csv = CatalogToCsv(dm);
    EXPECT_NE(csv.find("\"工艺做法及材料说明\",\"编号\",\"计量\"\r\n"), std::string::npos);
    EXPECT_NE(csv.find(",\"4\",\"周长\"\r\n"), std::string::npos);
    EXPECT_NE(csv.find(",\"3\",\"无\"\r\n"), std::string::npos);
    CatalogImportPlan plan;
    CsvProblem problem;
    ASSERT_TRUE(PlanCatalogImport(dm, csv, plan, problem)) << problem.Reason;
    EXPECT_EQ(plan.Adds + plan.Changes, 0);

    // A measure changed in the file, and one line's price with it.
    std::string edited = std::regex_replace(csv, std::regex(",\"3\",\"无\"\r\n"), ",\"3\",\"墙面\"\r\n");
    edited = std::regex_replace(edited, std::regex(",\"4\",\"周长\"\r\n"), ",\"4\",\"\"\r\n");
    ASSERT_TRUE(PlanCatalogImport(dm, edited, plan, problem)) << problem.Reason;
    EXPECT_EQ(plan.Changes, 2);
    ASSERT_TRUE(ApplyCatalogImport(dm, plan));
    EXPECT_EQ(dm.GetProductMeasure("3"), 2);
    EXPECT_EQ(dm.GetProductMeasure("4"), 0);

    // A file of the version before (no measure column) leaves every measure.
    const std::string older = std::regex_replace(edited, std::regex(",\"[^\",]*\"\r\n"), "\r\n");
    EXPECT_EQ(older.find("计量"), std::string::npos);
    ASSERT_TRUE(dm.SaveProductMeasure("4", 1));
    ASSERT_TRUE(PlanCatalogImport(dm, older, plan, problem)) << problem.Reason;
    EXPECT_EQ(plan.Adds + plan.Changes, 0);
    // So does a line without it, added by hand below the heading that has it.
    const std::string mixed = std::regex_replace(edited, std::regex(",\"4\",\"\"\r\n"), ",\"4\"\r\n");
    ASSERT_TRUE(PlanCatalogImport(dm, mixed, plan, problem)) << problem.Line << problem.Reason;
    EXPECT_EQ(plan.Adds + plan.Changes, 0);

    // A measure no room has names its line; nothing is written.
    const std::string head = "一级分类,二级分类,项目,单位,单价,级别,工艺做法及材料说明,编号,计量\r\n";
    EXPECT_FALSE(PlanCatalogImport(dm, head + "新类,新二级,新项,个,10,,,,面积\r\n", plan, problem));
    EXPECT_EQ(problem.Line, 2);
    EXPECT_EQ(problem.Reason, "计量“面积”应为无、地面、墙面、顶面或周长");
    EXPECT_FALSE(PlanCatalogImport(dm, head + "新类,新二级,,,,,,,地面\r\n", plan, problem));
    EXPECT_EQ(problem.Reason, "有计量却缺少项目名称");
    // A new entry takes its measure with it.
    ASSERT_TRUE(PlanCatalogImport(dm, head + "新类,新二级,新项,平米,10,,,,顶面\r\n", plan, problem));
    ASSERT_TRUE(ApplyCatalogImport(dm, plan));
    EXPECT_EQ(RawText("select intMeasure from TBLPRODUCTMEASURE m join TBLITEM i on i.ITEM_ID=m.Product_ID "
                      "where ITEM_NAME='新项'"),
              "3");
}

} // namespace
} // namespace lty
