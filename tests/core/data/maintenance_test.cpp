// Backups and their restore, the catalog's CSV files, the password hash and
// the catalog delete that takes the price row along.
#include "core/data/backup.h"
#include "core/data/catalog_csv.h"
#include "core/data/password_hash.h"
#include "core/text/number_text.h"
#include "tests/core/data/data_module_fixture.h"

#include <filesystem>
#include <fstream>

namespace lty {
namespace {

namespace fs = std::filesystem;
using test::DataModuleTest;

// Every reachable catalog entry as "level|name|price|unit|grade|spec", in tree order.
std::vector<std::string> CatalogLines(TDM& dm) {
    TTreeView tree;
    dm.LoadCatalogTree(tree);
    std::vector<std::string> out;
    const auto walk = [&](const auto& self, const TTreeNode& n) -> void {
        const TItemData p = dm.GetProduct(n.Data->ID, n.Text);
        out.push_back(std::to_string(n.Level) + "|" + n.Text +
                      (n.Level == 3 ? "|" + FloatToStr(p.Price) + "|" + p.Unit + "|" + p.Grade + "|" + p.Spec : ""));
        for (const auto& c : n.Children) self(self, c);
    };
    walk(walk, tree.Items.front());
    return out;
}

TEST_F(DataModuleTest, BackupIsAWholeCopyThatRestoresWhileConnected) {
    EXPECT_EQ(BackupFileName(0).size(), std::string("LTY-19700101-000000.db").size());
    const std::time_t when = 1'800'000'000;
    const BackupResult made = MakeBackup(dm, when);
    ASSERT_TRUE(made.Ok) << made.Error;
    EXPECT_EQ(made.Path, dir.Dir() + "Data/backup/" + BackupFileName(when));
    const BackupResult second = MakeBackup(dm, when); // same second: a name of its own
    ASSERT_TRUE(second.Ok);
    EXPECT_NE(second.Path, made.Path);
    EXPECT_FALSE(fs::exists(made.Path + ".part"));

    const auto copies = ListBackups(dm);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].Path, second.Path); // newest first
    EXPECT_EQ(copies[1].TimeText.size(), 19u);
    EXPECT_GT(copies[1].Size, 10'000u);

    // Change everything the copy holds, then bring the copy back.
    const auto before = CatalogLines(dm);
    ASSERT_TRUE(dm.UpdatePassword("neu"));
    ASSERT_TRUE(dm.ClearAllData());
    Raw("update TBLCOMPANYINFO set COM_NAME='别家'");
    const RestoreResult restored = RestoreBackup(dm, made.Path, when + 60);
    ASSERT_TRUE(restored.Ok) << restored.Error;
    EXPECT_TRUE(fs::exists(restored.SafetyCopy)); // what was replaced is kept too
    EXPECT_EQ(CatalogLines(dm), before);
    EXPECT_TRUE(dm.CheckPassword("admin"));
    EXPECT_EQ(dm.LoadCompanyInfo().Name, "岚庭雅装饰工程有限公司");
    EXPECT_EQ(RawCount("TBLITEM"), 109); // other connections see it as well
    EXPECT_TRUE(dm.InsertDesigner(TDes()));

    // The safety copy holds the state before the restore.
    const RestoreResult back = RestoreBackup(dm, restored.SafetyCopy, when + 120);
    ASSERT_TRUE(back.Ok);
    EXPECT_EQ(RawCount("TBLITEM"), 0);
    EXPECT_TRUE(dm.CheckPassword("neu"));
}

TEST_F(DataModuleTest, BackupAndRestoreFailuresChangeNothing) {
    // A file where the folder belongs: no copy can be written (also as root).
    fs::create_directories(dir.Dir() + "Data");
    std::ofstream(dir.Dir() + "Data/backup") << "x";
    const BackupResult made = MakeBackup(dm);
    EXPECT_FALSE(made.Ok);
    EXPECT_FALSE(made.Error.empty());
    EXPECT_TRUE(ListBackups(dm).empty());
    EXPECT_FALSE(RestoreBackup(dm, dir.DatabasePath()).Ok); // its safety copy fails first
    fs::remove(dir.Dir() + "Data/backup");

    // A file that is not one of our databases is refused before anything is written.
    const std::string foreign = dir.Dir() + "foreign.db";
    std::ofstream(foreign) << "not a database at all, just text that is long enough";
    EXPECT_FALSE(RestoreBackup(dm, foreign).Ok);
    EXPECT_FALSE(RestoreBackup(dm, dir.Dir() + "missing.db").Ok);
    EXPECT_EQ(RawCount("TBLITEM"), 109);
    EXPECT_TRUE(dm.CheckPassword("admin"));

    EXPECT_EQ(SizeText(512), "512 B");
    EXPECT_EQ(SizeText(2048), "2 KB");
    EXPECT_EQ(SizeText(1536 * 1024), "1.5 MB");
}

TEST_F(DataModuleTest, CatalogCsvRoundTripAfterAReset) {
    // Texts that need quoting: commas, quotes, line breaks.
    Raw("update TBLPRODUCT set ProductSpec='含\"防水\",两遍\r\n第二行', ProductPrice=12.5 where Product_ID=3");
    Raw("insert into TBLITEM(ITEM_NAME,Parent_ID) values('空的一级',0)");
    const auto before = CatalogLines(dm);
    const std::string csv = CatalogToCsv(dm);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF\"一级分类\",", 0), 0u);
    EXPECT_NE(
        csv.find("\"拆除及基础工程\",\"拆除工程\",\"拆除非承重墙体\",\"平米\",\"12.5\",\"标准型\",\"含\"\"防水\"\""),
        std::string::npos);

    // Importing the unchanged file into the same catalog does nothing.
    CatalogImportPlan plan;
    CsvProblem problem;
    ASSERT_TRUE(PlanCatalogImport(dm, csv, plan, problem)) << problem.Line << problem.Reason;
    EXPECT_EQ(plan.Adds, 0);
    EXPECT_EQ(plan.Changes, 0);

    ASSERT_TRUE(dm.ClearAllData());
    ASSERT_TRUE(PlanCatalogImport(dm, csv, plan, problem));
    EXPECT_EQ(plan.Adds, 110);
    EXPECT_EQ(plan.Changes, 0);
    ASSERT_TRUE(ApplyCatalogImport(dm, plan));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(CatalogLines(dm), before);
    EXPECT_EQ(RawCount("TBLPRODUCT"), 110); // every new row has its price row
    EXPECT_EQ(CatalogToCsv(dm), csv);

    // A changed price and a new item under an existing category.
    const std::string edit = "一级分类,二级分类,项目,单位,单价,级别,工艺做法及材料说明\n"
                             "拆除及基础工程,拆除工程,拆除非承重墙体,平米,50,标准型,新说明\n"
                             "拆除及基础工程,拆除工程,新项目,米,3.25,,\n";
    ASSERT_TRUE(PlanCatalogImport(dm, edit, plan, problem));
    EXPECT_EQ(plan.Adds, 1);
    EXPECT_EQ(plan.Changes, 1);
    ASSERT_TRUE(ApplyCatalogImport(dm, plan));
    EXPECT_EQ(RawText("select ProductPrice from TBLPRODUCT p join TBLITEM i on i.ITEM_ID=p.Product_ID "
                      "where ITEM_NAME='拆除非承重墙体'"),
              "50.0");
    EXPECT_EQ(RawText("select ProductSpec from TBLPRODUCT p join TBLITEM i on i.ITEM_ID=p.Product_ID "
                      "where ITEM_NAME='拆除非承重墙体'"),
              "新说明");
    EXPECT_EQ(RawText("select ProductPrice from TBLPRODUCT p join TBLITEM i on i.ITEM_ID=p.Product_ID "
                      "where ITEM_NAME='新项目'"),
              "3.25");
}

TEST_F(DataModuleTest, MalformedCsvNamesItsLineAndWritesNothing) {
    const std::string head = "一级分类,二级分类,项目,单位,单价,级别,工艺做法及材料说明\r\n";
    const std::string good = "新类,新二级,新项,个,10,,\"两行\r\n说明\"\r\n";
    const struct {
        std::string Line;
        int At;
        std::string Reason;
    } cases[] = {
        {"新类,新二级,新项,个,1.2.3,,\r\n", 4, "单价“1.2.3”不是数字"},
        {"新类,新二级,新项,个,1000000000000,,\r\n", 4,
         "单价“1000000000000”超出范围（数字最多15位有效数字，数值和金额须小于1万亿）"},
        {"新类,新二级,新项,个,10\r\n", 4, "应为7列，实为5列"},
        {"新类,新二级,\"新项,个,10,,\r\n", 4, "引号不配对"},
        {"新类,新\"二\"级,新项,个,10,,\r\n", 4, "引号不配对"},
        {",新二级,新项,个,10,,\r\n", 4, "缺少一级分类"},
        {"新类,,新项,个,10,,\r\n", 4, "有项目却缺少二级分类"},
        {"\xC4\xE3\xBA\xC3,a,b,c,1,,\r\n", 4, "文字不是UTF-8编码"}, // GBK bytes
    };
    for (const auto& c : cases) {
        CatalogImportPlan plan;
        CsvProblem problem;
        EXPECT_FALSE(PlanCatalogImport(dm, head + good + c.Line + good, plan, problem)) << c.Line;
        EXPECT_EQ(problem.Line, c.At) << c.Line;
        EXPECT_EQ(problem.Reason, c.Reason) << c.Line;
    }
    EXPECT_EQ(RawCount("TBLITEM"), 109);

    // A failure while writing rolls the whole import back.
    CatalogImportPlan plan;
    CsvProblem problem;
    ASSERT_TRUE(PlanCatalogImport(dm, head + good + "\r\n,,,,,,\r\n", plan, problem));
    EXPECT_EQ(plan.Adds, 3);
    RefuseOn("TBLPRODUCT", "insert");
    EXPECT_FALSE(ApplyCatalogImport(dm, plan));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(RawCount("TBLITEM"), 109);
}

TEST_F(DataModuleTest, LegacyAndHashedPasswords) {
    const std::string hash = HashPassword("秘密 pass");
    EXPECT_TRUE(IsPasswordHash(hash));
    EXPECT_NE(HashPassword("秘密 pass"), hash); // salted
    EXPECT_TRUE(PasswordMatches("秘密 pass", hash));
    EXPECT_FALSE(PasswordMatches("秘密 PASS", hash));
    EXPECT_FALSE(PasswordMatches(hash, hash)); // the stored text itself opens nothing
    EXPECT_TRUE(PasswordMatches("admin", "admin"));
    EXPECT_FALSE(PasswordMatches("Admin", "admin"));

    // A clear-text row of an older database is accepted until the next change replaces it.
    Raw("update TBLPASSWORD set PSNAME=' old '");
    EXPECT_TRUE(dm.CheckPassword("old"));
    ASSERT_TRUE(dm.UpdatePassword("new"));
    EXPECT_TRUE(IsPasswordHash(RawText("select PSNAME from TBLPASSWORD")));
    EXPECT_FALSE(dm.CheckPassword("old"));
    EXPECT_TRUE(dm.CheckPassword("new"));
    Raw("update TBLPASSWORD set PSNAME='" + HashPassword("x") + "'");
    EXPECT_TRUE(dm.CheckPassword("x"));
}

TEST_F(DataModuleTest, CatalogEntryGoesWithItsPriceRowWhateverItsLevel) {
    // A category's price row (written by the price page) goes with it.
    Raw("insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(500,'空类',0);"
        "insert into TBLPRODUCT(Product_ID,ProductPrice) values(500,9)");
    trace.clear();
    EXPECT_TRUE(dm.DeleteCatalogEntry("500"));
    EXPECT_EQ(RawCount("TBLITEM where ITEM_ID=500"), 0);
    EXPECT_EQ(RawCount("TBLPRODUCT where Product_ID=500"), 0);
    EXPECT_TRUE(dm.DeleteCatalogEntry("3")); // an item
    EXPECT_EQ(RawCount("TBLPRODUCT where Product_ID=3"), 0);

    // Refused with rows below it, for a bad id, and whole on failure.
    EXPECT_FALSE(dm.DeleteCatalogEntry("2"));
    EXPECT_FALSE(dm.DeleteCatalogEntry("2 or 1=1"));
    RefuseOn("TBLITEM", "delete");
    EXPECT_FALSE(dm.DeleteCatalogEntry("4"));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(RawCount("TBLPRODUCT where Product_ID=4"), 1);
    EXPECT_EQ(RawCount("TBLITEM"), 108);
}

} // namespace
} // namespace lty
