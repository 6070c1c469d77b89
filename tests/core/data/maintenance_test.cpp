// Backups and their restore, the catalog's CSV files, the password hash and
// the catalog delete that takes the price row along.
#include "core/data/database_check.h"
#include "core/data/password_hash.h"
#include "core/text/number_text.h"
#include "core/upkeep/backup.h"
#include "core/upkeep/catalog_csv.h"
#include "tests/core/data/data_module_fixture.h"

#include <iconv.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

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

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// An exported file as an earlier version wrote it: without the id column
// (nor the measure column that came after it).
std::string WithoutIds(const std::string& csv) {
    return std::regex_replace(csv, std::regex(",\"([0-9]*|编号)\"(,\"[^\"]*\")?\r\n"), "\r\n");
}

// UTF-8 text as a Chinese spreadsheet saves it.
std::string ToGbk(const std::string& utf8) {
    const iconv_t cd = iconv_open("GB18030", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char* src = const_cast<char*>(utf8.data());
    std::size_t srcLeft = utf8.size(), dstLeft = out.size();
    char* dst = out.data();
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    EXPECT_NE(rc, static_cast<std::size_t>(-1));
    out.resize(out.size() - dstLeft);
    return out;
}

TEST_F(DataModuleTest, BackupIsAWholeCopyThatRestoresWhileConnected) {
    EXPECT_EQ(BackupFileName(0).size(), std::string("LTY-19700101-000000.db").size());
    {
        // Named by the local clock: the epoch was eight in the morning in Beijing.
        const char* tz = std::getenv("TZ");
        const std::string saved = tz ? tz : "";
        setenv("TZ", "CST-8", 1);
        tzset();
        EXPECT_EQ(BackupFileName(0), "LTY-19700101-080000.db");
        tz ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    const std::time_t when = 1'800'000'000;
    const BackupResult made = MakeBackup(dm, when);
    ASSERT_TRUE(made.Ok) << made.Error;
    EXPECT_EQ(made.Path, dir.Dir() + "Data/backup/" + BackupFileName(when));
    const BackupResult second = MakeBackup(dm, when); // same second: a name of its own
    ASSERT_TRUE(second.Ok);
    EXPECT_NE(second.Path, made.Path);
    EXPECT_FALSE(fs::exists(made.Path + ".part"));
    const BackupResult older = MakeBackup(dm, when - 86400); // written last, named a day earlier
    ASSERT_TRUE(older.Ok);

    const auto copies = ListBackups(dm);
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[0].Path, second.Path); // newest first
    EXPECT_EQ(copies[1].Path, made.Path);
    EXPECT_EQ(copies[2].Path, older.Path);
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

TEST_F(DataModuleTest, RestoreRefusesADamagedOrForeignCopyAndLeavesTheDataAlone) {
    const BackupResult made = MakeBackup(dm, 1'800'000'000);
    ASSERT_TRUE(made.Ok) << made.Error;
    const std::string good = ReadBytes(made.Path);
    const std::size_t page = (static_cast<unsigned char>(good[16]) << 8) | static_cast<unsigned char>(good[17]);
    ASSERT_GT(good.size(), 4 * page);
    Raw("update TBLCOMPANYINFO set COM_NAME='现在的'");

    const std::string folder = dir.Dir() + "Data/backup/";
    const std::string refused = "备份文件已损坏或不是本程序的数据库，未恢复！\n";
    // Cut short in the middle of a page, as an interrupted copy leaves it.
    WriteBytes(folder + "cut.db", good.substr(0, (good.size() / page / 2) * page + page / 2));
    WriteBytes(folder + "cut-end.db", good.substr(0, good.size() - page / 2));
    // One page lost to zeros.
    std::string zeroed = good;
    std::fill(zeroed.begin() + static_cast<std::ptrdiff_t>(page),
              zeroed.begin() + static_cast<std::ptrdiff_t>(2 * page), '\0');
    WriteBytes(folder + "zeroed.db", zeroed);
    // The right table names, but not the columns the program uses, and a table missing.
    WriteBytes(folder + "foreign.db", good);
    ASSERT_EQ(test::RawExec(folder + "foreign.db",
                            "alter table TBLITEM rename column Parent_ID to Parent;drop table TBLUNIT"),
              "");
    const struct {
        std::string File, Reason;
    } cases[] = {
        {"cut.db", "数据库文件已损坏"},
        {"cut-end.db", "数据库文件已损坏"},
        {"zeroed.db", "数据库文件已损坏"},
        {"foreign.db", "数据表 TBLITEM 缺少列 Parent_ID\n缺少数据表 TBLUNIT"},
        {"missing.db", "找不到文件 " + folder + "missing.db"},
    };
    for (const auto& c : cases) {
        const RestoreResult r = RestoreBackup(dm, folder + c.File);
        EXPECT_FALSE(r.Ok) << c.File;
        EXPECT_TRUE(r.CopyRefused) << c.File;
        EXPECT_EQ(r.Error, refused + c.Reason) << c.File;
    }
    // Nothing was replaced, and no safety copy was made for a refused restore.
    EXPECT_EQ(CheckDatabaseFile(dm.ADOMain), "");
    EXPECT_EQ(RawText("select COM_NAME from TBLCOMPANYINFO"), "现在的");
    EXPECT_EQ(RawCount("TBLITEM"), 109);
    EXPECT_EQ(ListBackups(dm).size(), 1u);
    // The replacement underneath refuses such a copy as well.
    EXPECT_THROW(ReplaceDatabaseBy(dm.ADOMain, folder + "foreign.db"), EngineError);
    EXPECT_EQ(CheckDatabaseFile(dm.ADOMain), "");
    ASSERT_TRUE(RestoreBackup(dm, made.Path).Ok);
    EXPECT_EQ(dm.LoadCompanyInfo().Name, "岚庭雅装饰工程有限公司");
}

TEST_F(DataModuleTest, CsvRoundTripOfAnUneditedFileChangesNothing) {
    // A text stored with a line break at its end, and two equal-named items
    // with prices of their own.
    Raw("update TBLPRODUCT set ProductSpec='先铲除\r\n再找平\r\n', ProductUnit=' 平米' where Product_ID=3");
    Raw("update TBLPRODUCT set ProductPrice=1.1 where Product_ID=4");
    const std::string twinParent = RawText("select Parent_ID from TBLITEM where ITEM_ID=4");
    Raw("insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(900,(select ITEM_NAME from TBLITEM where ITEM_ID=4)," +
        twinParent + ");insert into TBLPRODUCT(Product_ID,ProductPrice,ProductUnit) values(900,7.77,'个')");
    const auto before = CatalogLines(dm);
    const std::string csv = CatalogToCsv(dm);

    CatalogImportPlan plan;
    CsvProblem problem;
    ASSERT_TRUE(PlanCatalogImport(dm, csv, plan, problem)) << problem.Line << problem.Reason;
    EXPECT_EQ(plan.Adds, 0);
    EXPECT_EQ(plan.Changes, 0);
    // Also after a spreadsheet wrote the cells' line breaks as LF.
    ASSERT_TRUE(PlanCatalogImport(dm, std::regex_replace(csv, std::regex("\r\n(?=[^\"])"), "\n"), plan, problem));
    EXPECT_EQ(plan.Changes, 0);

    // Into an empty catalog the twins stay two items with their own prices.
    ASSERT_TRUE(dm.ClearAllData());
    ASSERT_TRUE(PlanCatalogImport(dm, csv, plan, problem));
    EXPECT_EQ(plan.Adds, 110);
    ASSERT_TRUE(ApplyCatalogImport(dm, plan));
    EXPECT_EQ(CatalogLines(dm), before);
    ASSERT_TRUE(PlanCatalogImport(dm, csv, plan, problem)); // ids now differ: names and order decide
    EXPECT_EQ(plan.Adds + plan.Changes, 0);
}

TEST_F(DataModuleTest, CsvFromAChineseSpreadsheetIsReadAsGbk) {
    // A file of the previous version (no id column) still plans by names.
    const std::string csv = WithoutIds(CatalogToCsv(dm));
    EXPECT_EQ(csv.find("编号"), std::string::npos);
    const auto before = CatalogLines(dm);
    CatalogImportPlan plan;
    CsvProblem problem;
    ASSERT_TRUE(PlanCatalogImport(dm, csv, plan, problem)) << problem.Line << problem.Reason;
    EXPECT_EQ(plan.Adds + plan.Changes, 0);
    EXPECT_FALSE(plan.ReadAsGbk);

    // Saved by Excel or WPS: GBK, no byte order mark, lone CR line ends in older ones.
    ASSERT_TRUE(dm.ClearAllData());
    const std::string gbk = ToGbk(csv.substr(3));
    for (const std::string& file : {std::regex_replace(gbk, std::regex("\r\n"), "\r"), gbk}) {
        ASSERT_TRUE(PlanCatalogImport(dm, file, plan, problem)) << problem.Line << problem.Reason;
        EXPECT_EQ(plan.Adds, 109);
        EXPECT_TRUE(plan.ReadAsGbk);
    }
    ASSERT_TRUE(ApplyCatalogImport(dm, plan));
    EXPECT_EQ(CatalogLines(dm), before);

    // Errors name the right line whatever ends the lines.
    const std::string head = "一级分类,二级分类,项目,单位,单价,级别,工艺做法及材料说明";
    for (const std::string end : {"\r", "\n", "\r\n"}) {
        const std::string bad = head + end + "类,二级,项,个,1,," + end + "类,二级,项,个,x,," + end;
        for (const std::string& file : {bad, ToGbk(bad)}) {
            EXPECT_FALSE(PlanCatalogImport(dm, file, plan, problem));
            EXPECT_EQ(problem.Line, 3);
            EXPECT_EQ(problem.Reason, "单价“x”不是数字");
        }
    }
    // Neither UTF-8 nor GBK: refused as a whole, nothing written.
    for (const std::string& file :
         {std::string("\xFF\xFE\x31\x00,\x00"), head + "\r\n\x80,a,b,c,1,,\r\n", head + "\r\n\xD6"}) {
        EXPECT_FALSE(PlanCatalogImport(dm, file, plan, problem));
        EXPECT_EQ(problem.Line, 0);
        EXPECT_EQ(problem.Reason, "文件编码无法识别，请另存为 CSV UTF-8 后再导入。");
    }
    EXPECT_EQ(RawCount("TBLITEM"), 109);
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
    EXPECT_EQ(RawCount("TBLPRODUCT"), 110);                   // every new row has its price row
    EXPECT_EQ(WithoutIds(CatalogToCsv(dm)), WithoutIds(csv)); // the same, but for the new ids

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
        EXPECT_FALSE(PlanCatalogImport(dm, "\xEF\xBB\xBF" + head + good + c.Line + good, plan, problem)) << c.Line;
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

TEST_F(DataModuleTest, TamperedPasswordHashIsRefusedAtOnce) {
    // Cost parameters raised by hand would keep the check busy for seconds
    // (memory) or for ever (passes): such a row is not worked out at all.
    const std::string hash = HashPassword("admin");
    ASSERT_NE(hash.find(",t=2,"), std::string::npos) << hash;
    const auto with = [&](const std::string& from, const std::string& to) {
        return std::regex_replace(hash, std::regex(from), to);
    };
    for (const std::string& tampered : {with(",t=2,", ",t=3,"), with("m=65536", "m=1048576"), with("\\$[^$]*$", "$"),
                                        with(",t=2,", ",t=4294967295,")}) {
        Raw("update TBLPASSWORD set PSNAME='" + tampered + "'");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(dm.CheckPassword("admin")) << tampered;
        EXPECT_EQ(dm.VerifyPassword("admin"), PasswordVerdict::Damaged) << tampered;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << tampered;
    }
    Raw("update TBLPASSWORD set PSNAME='" + hash + "'");
    EXPECT_EQ(dm.VerifyPassword("admin"), PasswordVerdict::Matches);
    EXPECT_EQ(dm.VerifyPassword("other"), PasswordVerdict::Differs);
    Raw("update TBLPASSWORD set PSNAME='$argon2 is how it starts'"); // only looks like a hash
    EXPECT_EQ(dm.VerifyPassword("admin"), PasswordVerdict::Damaged);
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
