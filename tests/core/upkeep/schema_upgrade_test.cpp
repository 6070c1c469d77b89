// A database made by an older program is upgraded at start-up after a copy
// is saved, all or nothing; one from a newer program opens as it is; every
// stored figure stays what it was.
#include "core/upkeep/schema_upgrade.h"

#include "core/data/data_module.h"
#include "core/data/database_check.h"
#include "core/db/pg_connection.h"
#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_text.h"
#include "core/upkeep/backup.h"
#include "core/upkeep/database_builder.h"
#include "core/upkeep/sql_scripts.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace lty {
namespace {
namespace fs = std::filesystem;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string OlderSchemaSql() { return ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/schema.sql"); }

// A database as the program made it before the added tables: the nine
// tables and the starter rows, schema version 0.
void MakeOlderDatabase(const std::string& path) {
    fs::remove(path);
    CreateDatabaseFile(path, OlderSchemaSql(), test::FirstRowsSql());
}

std::string One(const std::string& path, const std::string& sql) {
    const auto rows = test::RawColumn(path, sql);
    return rows.empty() ? std::string("<none>") : rows[0];
}

std::vector<std::string> Backups(const std::string& programDir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(programDir + "Data/backup", ec), end; !ec && it != end; it.increment(ec))
        out.push_back(it->path().string());
    return out;
}

// Distinct quotations with their charges, as a project window stores them.
struct StoredQuotation {
    std::string Text;
    QuotationCharges Charges;
};
std::vector<StoredQuotation> Quotations(int count) {
    std::vector<StoredQuotation> out;
    for (int q = 0; q < count; ++q) {
        QuotationGrid grid;
        for (int room = 0; room < 3; ++room) {
            grid.AddSectionRow();
            grid.SetCellText(1, grid.EndRow() - 1, "房间" + std::to_string(room));
            for (int i = 0; i < 4; ++i) {
                grid.SetCurrentCell(1, grid.EndRow() - 1);
                grid.AddItemRow(CatalogLine{"项目" + std::to_string(i), 12.35 + q * 0.17 + i, 1.5 + (q + i) % 7 * 0.33,
                                            "平米", 0, "两遍"},
                                false);
            }
        }
        StoredQuotation s;
        s.Charges = grid.RecalcTotals();
        s.Text = QuotationToText(grid);
        out.push_back(std::move(s));
    }
    return out;
}

long long Cents(double v) { return std::llround(v * 100); }

TEST(SchemaScripts, ReadAsTheTablesAndVersionBothEnginesGet) {
    EXPECT_EQ(ProgramSchemaVersion(), 1);
    EXPECT_NE(
        std::string(ServerSchemaAdditionsScript()).find("VALUES (" + std::to_string(ProgramSchemaVersion()) + ")"),
        std::string::npos)
        << "the server's version row names the same version";
    // The tables as a new database file has them, column for column.
    const test::TempProgramDir dir(true, true);
    std::vector<std::string> names;
    for (const AddedTable& t : AddedTables()) {
        names.push_back(t.Name);
        const auto columns =
            test::RawColumn(dir.DatabasePath(), "select name from pragma_table_info('" + t.Name + "')");
        ASSERT_EQ(columns.size(), t.Columns.size()) << t.Name;
        for (std::size_t i = 0; i < columns.size(); ++i) EXPECT_EQ(columns[i], t.Columns[i].Name) << t.Name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"TBLSETTING", "TBLPROJECTRATE", "TBLPROJECTROOMS", "TBLPROJECTSTAMP",
                                               "TBLPRODUCTMEASURE", "TBLTEMPLATE", "TBLPROJECTVERSION"}));
    names.push_back("TBLSCHEMAVERSION");
    EXPECT_EQ(AddedServerTableNames(), names);
    EXPECT_EQ(AddedTables()[5].Identity, "ID");
    EXPECT_EQ(AddedTables()[1].Identity, "") << "a project's own id is not handed out by the table";
    EXPECT_EQ(AddedTables()[1].Columns[3].Definition, "intDiscountKind  INTEGER NOT NULL DEFAULT 0");

    // Semicolons inside quotes, dollar quotes and comments do not end a statement.
    EXPECT_EQ(SplitSqlScript("-- a; comment\ncreate table a(x text default 'p;q''r;'); /* b; */ select $f$ ; $f$;;  "),
              (std::vector<std::string>{"create table a(x text default 'p;q''r;')", "select $f$ ; $f$"}));
    const auto t = ParseCreateTable("CREATE TABLE \"T\" (a INTEGER, b NUMERIC(10, 2) DEFAULT 0, PRIMARY KEY (a, b), "
                                    "CONSTRAINT c CHECK (a > 0))");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Name, "T");
    ASSERT_EQ(t->Columns.size(), 2u);
    EXPECT_EQ(t->Columns[1].Definition, "b NUMERIC(10, 2) DEFAULT 0");
    EXPECT_FALSE(ParseCreateTable("CREATE INDEX i ON T(a)"));
}

class SchemaUpgrade : public ::testing::Test {
protected:
    void SetUp() override { LTY_FILE_ENGINE_ONLY(); }
    test::TempProgramDir dir{true, true};
    test::ScriptedMessages messages;
    std::string Path() const { return dir.DatabasePath(); }
};

TEST_F(SchemaUpgrade, StarterAndBusyOlderDatabasesUpgradeAndKeepEveryFigureToTheCent) {
    MakeOlderDatabase(Path());
    // A busy firm's older database: 5,000 projects with their stored charges.
    const auto quotations = Quotations(50);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Path().c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into tblProject(charProjectID,charCustomer,charDesigner,charQuotation,"
                           "numContractPrice,numOverheadExp,numTax,numDiscount) values(?,?,'张明',?,?,?,?,?)",
                           -1, &st, nullptr);
        for (int p = 0; p < 5000; ++p) {
            const StoredQuotation& q = quotations[static_cast<std::size_t>(p) % quotations.size()];
            sqlite3_reset(st);
            sqlite3_bind_text(st, 1, ("LT-" + std::to_string(p)).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, p % 7 ? "客户" : "O'Brien", -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 3, q.Text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(st, 4, q.Charges.ProjectTotal);
            sqlite3_bind_double(st, 5, q.Charges.OverheadAmount);
            sqlite3_bind_double(st, 6, q.Charges.TaxAmount);
            sqlite3_bind_double(st, 7, p * 0.01);
            ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const std::string figures = "select group_concat(IntID||':'||quote(numContractPrice)||':'||quote(numOverheadExp)||"
                                "':'||quote(numTax)||':'||quote(numDiscount)||':'||length(charQuotation),';') "
                                "from tblProject";
    const std::string before = One(Path(), figures);
    const std::string catalogBefore = One(Path(), "select count(*)||'/'||sum(ProductPrice) from TBLPRODUCT");
    EXPECT_EQ(One(Path(), "PRAGMA user_version"), "0");

    TDM dm(messages, dir.Dir());
    ASSERT_TRUE(dm.Connected()) << "an older file passes the connection check";
    ASSERT_TRUE(UpgradeAtStart(dm, messages));
    EXPECT_TRUE(messages.Shown.empty());
    EXPECT_TRUE(dm.Connected());
    EXPECT_EQ(One(Path(), "PRAGMA user_version"), "1");
    EXPECT_TRUE(ReadFileSchema(Path()).Missing.empty());
    EXPECT_EQ(CheckDatabaseFile(dm.ADOMain), "");
    // The copy first, in Data/backup/, as the file stood.
    const auto copies = Backups(dir.Dir());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(One(copies[0], "PRAGMA user_version"), "0");
    EXPECT_EQ(One(copies[0], figures), before);

    // Every stored figure is the same double, and still what its quotation adds up to.
    EXPECT_EQ(One(Path(), figures), before);
    EXPECT_EQ(One(Path(), "select count(*)||'/'||sum(ProductPrice) from TBLPRODUCT"), catalogBefore);
    ASSERT_TRUE(
        dm.RunSelect(dm.Qry_tmp, "select numContractPrice,numOverheadExp,numTax,charQuotation from tblProject"));
    EXPECT_EQ(dm.Qry_tmp.RecordCount(), 5000);
    int checked = 0;
    for (; !dm.Qry_tmp.Eof(); dm.Qry_tmp.Next(), ++checked) {
        QuotationGrid grid;
        TextToQuotation(grid, dm.Qry_tmp.FieldByName("charQuotation").AsString());
        const QuotationCharges& c = grid.RecalcCharges();
        ASSERT_EQ(Cents(c.ProjectTotal), Cents(dm.Qry_tmp.FieldByName("numContractPrice").AsFloat())) << checked;
        ASSERT_EQ(Cents(c.OverheadAmount), Cents(dm.Qry_tmp.FieldByName("numOverheadExp").AsFloat())) << checked;
        ASSERT_EQ(Cents(c.TaxAmount), Cents(dm.Qry_tmp.FieldByName("numTax").AsFloat())) << checked;
    }
    EXPECT_EQ(checked, 5000);
    // The program writes the added tables at once.
    EXPECT_TRUE(dm.RunStatement("insert into TBLPROJECTRATE(IntID,numTaxRate) values(1,0.05)"));

    // Started again: nothing to do, no second copy.
    ASSERT_TRUE(UpgradeAtStart(dm, messages));
    EXPECT_EQ(Backups(dir.Dir()).size(), 1u);
    EXPECT_FALSE(UpgradeDatabaseFile(Path()));
}

TEST_F(SchemaUpgrade, AFailureHalfWayLeavesTheFileAsItWasAndTheProgramDoesNotStart) {
    MakeOlderDatabase(Path());
    // Something in the way of the fourth added table: three are made before it fails.
    ASSERT_EQ(test::RawExec(Path(), "create view TBLPROJECTSTAMP as select 1 as IntID"), "");
    const std::string before = Bytes(Path());

    TDM dm(messages, dir.Dir());
    ASSERT_TRUE(dm.Connected());
    EXPECT_FALSE(UpgradeAtStart(dm, messages));
    EXPECT_FALSE(dm.Connected()) << "nothing works on a database the upgrade could not finish";
    ASSERT_EQ(messages.Shown.size(), 1u);
    const std::string& text = messages.Shown[0].Text;
    EXPECT_EQ(text.rfind("升级数据库失败，数据库文件保持原样，程序不能继续运行。\n", 0), 0u) << text;
    EXPECT_NE(text.find("升级前的备份：" + dir.Dir() + "Data/backup/LTY-"), std::string::npos) << text;
    EXPECT_EQ(Bytes(Path()), before) << "byte for byte the file it was";
    EXPECT_EQ(One(Path(), "select count(*) from sqlite_master where name='TBLSETTING'"), "0");
    EXPECT_FALSE(fs::exists(Path() + "-journal"));

    // Mended, the next start upgrades.
    ASSERT_EQ(test::RawExec(Path(), "drop view TBLPROJECTSTAMP"), "");
    ASSERT_TRUE(dm.ConnectDatabase());
    EXPECT_TRUE(UpgradeAtStart(dm, messages));
    EXPECT_EQ(One(Path(), "PRAGMA user_version"), "1");
}

TEST_F(SchemaUpgrade, NewerFilesOpenAsTheyAreAndEveryGenerationsCopyMayBeRestored) {
    // A newer program's file: a later version, a table and a column this one does not know.
    ASSERT_EQ(test::RawExec(Path(), "create table TBLFUTURE(x text); alter table TBLSETTING add column SETNOTE text; "
                                    "pragma user_version = 7"),
              "");
    const std::string before = Bytes(Path());
    {
        TDM dm(messages, dir.Dir());
        ASSERT_TRUE(dm.Connected());
        EXPECT_TRUE(UpgradeAtStart(dm, messages));
        EXPECT_TRUE(dm.Connected());
        EXPECT_TRUE(messages.Shown.empty());
        EXPECT_TRUE(Backups(dir.Dir()).empty()) << "nothing to upgrade, nothing copied";
        EXPECT_EQ(CheckDatabaseFile(dm.ADOMain), "");
    }
    EXPECT_EQ(Bytes(Path()), before);
    EXPECT_FALSE(UpgradeDatabaseFile(Path()));

    // A copy from this program, from a newer and from an older one all pass
    // the check a restore makes.
    const std::string older = dir.Dir() + "older.db";
    MakeOlderDatabase(older);
    const std::string current = dir.Dir() + "current.db";
    CreateDatabaseFile(current, test::SchemaSql(), test::FirstRowsSql());
    for (const std::string& copy : {Path(), older, current}) EXPECT_EQ(CheckDatabaseCopy(copy), "") << copy;

    // A column a colleague's version added to an added table comes in too, and the rows stay.
    ASSERT_EQ(test::RawExec(current, "insert into TBLPROJECTROOMS(IntID,charRooms) values(3,'卧室');"
                                     "alter table TBLPROJECTROOMS drop column charRooms"),
              "");
    EXPECT_EQ(ReadFileSchema(current).Missing, std::vector<std::string>{"TBLPROJECTROOMS.charRooms"});
    EXPECT_TRUE(UpgradeDatabaseFile(current));
    EXPECT_EQ(One(current, "select IntID||':'||quote(charRooms) from TBLPROJECTROOMS"), "3:NULL");
}

// Restoring a copy an older program made gives the database everything this
// program reads, and clears what the added tables held; the copy itself is
// not touched.
TEST(SchemaUpgradeRestore, AnOlderCopyReplacesTheDataAndComesBackUpgraded) {
    test::TempProgramDir dir;
    test::ScriptedMessages messages;
    TDM dm(messages, dir.Dir());
    ASSERT_TRUE(dm.Connected());
    ASSERT_EQ(test::RawExec(dir.DatabasePath(), "insert into TBLPROJECTRATE(IntID,numTaxRate) values(9,0.05)"), "");
    const std::string older = dir.Dir() + "older.db";
    MakeOlderDatabase(older);
    ASSERT_EQ(test::RawExec(older, "insert into tblProject(charProjectID) values('旧工程')"), "");
    const std::string copyBytes = Bytes(older);

    const RestoreResult r = RestoreBackup(dm, older);
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(Bytes(older), copyBytes);
    EXPECT_EQ(One(dir.DatabasePath(), "select charProjectID from tblProject"), "旧工程");
    EXPECT_EQ(One(dir.DatabasePath(), "select count(*) from TBLPROJECTRATE"), "0");
    if (!test::TestOnServer()) {
        EXPECT_EQ(One(dir.DatabasePath(), "PRAGMA user_version"), "1");
        EXPECT_TRUE(ReadFileSchema(dir.DatabasePath()).Missing.empty());
    }
    EXPECT_TRUE(UpgradeAtStart(dm, messages)) << ::testing::PrintToString(messages.Texts());
    EXPECT_TRUE(dm.RunStatement("insert into TBLTEMPLATE(charName) values('标准间')"));
}

// The server's upgrade needs its owner: the program says so and does not
// start; the set-up tool's upgrade saves a copy, then adds the tables and
// the rights on them in one transaction.
TEST(ServerSchemaUpgrade, TheProgramWaitsForTheToolWhichCopiesFirstAndUpgradesAllOrNothing) {
    if (test::TestServer().empty()) GTEST_SKIP() << "no test server (LTY_TEST_PG)";
    const test::TempServerDatabase server;
    PgConnection owner(server.AdminConninfo());
    std::string drops;
    for (const std::string& t : AddedServerTableNames()) drops += "drop table " + t + ";";
    owner.Exec(drops); // as the server stood before the added tables

    test::TempProgramDir dir(false);
    test::WriteServerConf(dir.Dir(), server.AppConninfo());
    test::ScriptedMessages messages;
    {
        TDM dm(messages, dir.Dir());
        ASSERT_TRUE(dm.Connected());
        EXPECT_FALSE(UpgradeAtStart(dm, messages));
        EXPECT_FALSE(dm.Connected());
        ASSERT_EQ(messages.Shown.size(), 1u);
        EXPECT_EQ(messages.Shown[0].Text,
                  "服务器上的数据库需要升级后才能由本程序使用（数据库版本 0，本程序需要版本 1）。\n"
                  "请管理员运行 lty_server_setup --upgrade 升级数据库（升级前会先备份全部数据），然后再启动本程序。");
    }

    // A failure half-way: the server keeps none of the upgrade.
    owner.Exec("create view tblprojectstamp as select 1 as intid");
    const auto log = [](const std::string&) {};
    EXPECT_THROW(UpgradeServerDatabase(server.AdminConninfo(), dir.Dir() + "first.db", log), EngineError);
    EXPECT_EQ(owner.Scalar("select to_regclass('tblsetting')::text"), "");
    EXPECT_EQ(ReadServerSchema(owner).Version, 0);
    owner.Exec("drop view tblprojectstamp");

    const std::string copy = dir.Dir() + "Data/backup/before.db";
    const ServerUpgrade up = UpgradeServerDatabase(server.AdminConninfo(), copy, log);
    EXPECT_EQ(up.Before.Version, 0);
    EXPECT_EQ(up.Backup, copy);
    EXPECT_EQ(One(copy, "select count(*) from TBLITEM"), "109");
    const SchemaState after = ReadServerSchema(owner);
    EXPECT_EQ(after.Version, 1);
    EXPECT_TRUE(after.Missing.empty());
    EXPECT_EQ(UpgradeServerDatabase(server.AdminConninfo(), dir.Dir() + "again.db", log).Backup, "");
    EXPECT_FALSE(fs::exists(dir.Dir() + "again.db"));

    // The designers' role may use the new tables of projects and read the version, nothing more.
    PgConnection role(server.AppConninfo());
    role.Exec("insert into TBLPROJECTRATE(IntID,numTaxRate) values(1,0.05); insert into TBLTEMPLATE(charName) "
              "values('a')");
    EXPECT_EQ(role.Scalar("select intVersion from TBLSCHEMAVERSION"), "1");
    EXPECT_THROW(role.Exec("delete from TBLSCHEMAVERSION"), EngineError);
    // The firm's settings and the catalog's measures stay the administrator's to write.
    EXPECT_THROW(role.Exec("delete from TBLSETTING"), EngineError);
    EXPECT_THROW(role.Exec("delete from TBLPRODUCTMEASURE"), EngineError);
    PgConnection manager(server.ManagerConninfo());
    manager.Exec("delete from TBLSETTING; delete from TBLPRODUCTMEASURE");
    messages.Shown.clear();
    TDM dm(messages, dir.Dir());
    EXPECT_TRUE(UpgradeAtStart(dm, messages));
    EXPECT_TRUE(messages.Shown.empty());
}

} // namespace
} // namespace lty
