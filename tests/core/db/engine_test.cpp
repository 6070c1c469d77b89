#include "core/data/data_module.h"
#include "core/upkeep/database_builder.h"
#include "core/db/engine_sqlite.h"
#include "core/db/sql_text.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

namespace lty {
namespace {

class EngineTest : public ::testing::Test {
protected:
    test::TempProgramDir dir;
    test::ScriptedMessages messages;
    TDM dm{messages, dir.Dir()};
    std::vector<std::string> trace;

    void SetUp() override {
        ASSERT_TRUE(dm.Connected());
        dm.ADOMain.SetTraceHook([this](const std::string& s) { trace.push_back(s); });
    }
    int Count(const std::string& sql) {
        EXPECT_TRUE(dm.RunSelect(dm.Qry_tmp, sql)) << sql;
        return static_cast<int>(dm.Qry_tmp.Fields(0).AsInteger());
    }
};

TEST_F(EngineTest, NamesMatchInEverySpelling) {
    for (const char* sql : {"select ITEM_ID,Item_ID,Parent_ID,parent_ID from TBLITEM", "select * from TBLItem",
                            "select IntID,intID from tblProject", "select ID,id from TBLDESIGNER",
                            "select * from TBLPRODUCT", "select ProductClass,ProductCLass from TBLProduct",
                            "select PSNAME from TBLPASSWORD", "select PSNAME from TBLPassWord"})
        EXPECT_TRUE(dm.RunSelect(dm.Qry_Main, sql)) << sql;
    EXPECT_TRUE(dm.RunStatement("delete From TMP_Print"));
    EXPECT_TRUE(dm.RunStatement("delete from TMP_Print"));

    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select CLASSNAME from TBLCLASS"));
    EXPECT_FALSE(dm.Qry_Main.FieldByName("classname").AsString().empty());
    EXPECT_EQ(dm.Qry_Main.FieldByName("CLASSNAME").AsString(), dm.Qry_Main.Fields(0).AsString());
    EXPECT_THROW(dm.Qry_Main.FieldByName("nosuch"), EngineError);
}

TEST_F(EngineTest, DateLiteralsTranslatedOutsideQuotesOnly) {
    ASSERT_TRUE(dm.RunStatement("insert into tblProject(charProjectID,charCustomer,dateSignDate,blnSignContract) "
                                "values('A#1','x#2009-1-1#y',#2009-6-22#,-1)"));
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select charProjectID,charCustomer,dateSignDate,blnSignContract,"
                                          "dateStartDate from tblProject where dateSignDate=#2009-6-22#"));
    ASSERT_EQ(dm.Qry_Main.RecordCount(), 1);
    EXPECT_EQ(dm.Qry_Main.Fields(0).AsString(), "A#1");
    EXPECT_EQ(dm.Qry_Main.Fields(1).AsString(), "x#2009-1-1#y");
    EXPECT_EQ(dm.Qry_Main.Fields(2).AsString(), "2009-6-22");
    EXPECT_EQ(dm.Qry_Main.Fields(2).AsDateTime(), (Date{2009, 6, 22}));
    EXPECT_TRUE(dm.Qry_Main.Fields(3).AsBoolean());
    // A NULL date reads as the zero date.
    EXPECT_EQ(dm.Qry_Main.Fields(4).AsDateText(), "1899-12-30");
    // A date that does not exist is refused, not stored.
    EXPECT_FALSE(dm.RunStatement("update tblProject set dateSignDate=#2009-2-30#"));
    EXPECT_EQ(Count("select count(*) from tblProject where dateSignDate=#2009-6-22#"), 1);
}

TEST_F(EngineTest, YesNoAndNullReads) {
    ASSERT_TRUE(dm.RunStatement("insert into tblProject(charProjectID,blnSignContract) values('Y',-1)"));
    ASSERT_TRUE(dm.RunStatement("insert into tblProject(charProjectID,blnSignContract) values('N',0)"));
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select blnSignContract,charCustomer,numTax,Item_Count from "
                                          "(select *, null as Item_Count from tblProject) as t order by IntID"));
    ASSERT_EQ(dm.Qry_Main.RecordCount(), 2);
    EXPECT_TRUE(dm.Qry_Main.Fields(0).AsBoolean());
    EXPECT_EQ(dm.Qry_Main.Fields(0).AsInteger(), -1);
    EXPECT_EQ(dm.Qry_Main.Fields(1).AsString(), "");
    EXPECT_EQ(dm.Qry_Main.Fields(2).AsFloat(), 0.0);
    EXPECT_EQ(dm.Qry_Main.Fields(3).AsInteger(), 0);
    EXPECT_FALSE(dm.Qry_Main.Fields(3).AsBoolean());
    dm.Qry_Main.Next();
    EXPECT_FALSE(dm.Qry_Main.Fields(0).AsBoolean());
    dm.Qry_Main.Next();
    EXPECT_TRUE(dm.Qry_Main.Eof());
}

TEST_F(EngineTest, NumbersReadBackInTheGeneralFormat) {
    ASSERT_TRUE(dm.RunStatement("insert into TMP_Print(DataPrice,DataCount,Datasum) values(" + SqlNumber(1234.5) + "," +
                                SqlNumber(80) + "," + SqlNumber(0) + ")"));
    EXPECT_EQ(trace.back(), "insert into TMP_Print(DataPrice,DataCount,Datasum) values(1234.5,80,0)");
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select DataPrice,DataCount,Datasum from TMP_Print"));
    EXPECT_EQ(dm.Qry_Main.Fields(0).AsString(), "1234.5");
    EXPECT_EQ(dm.Qry_Main.Fields(1).AsString(), "80");
    EXPECT_DOUBLE_EQ(dm.Qry_Main.Fields(0).AsFloat(), 1234.5);
    // Read as an integer, a REAL rounds half away from zero; it is never cut.
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select DataPrice,-DataPrice,DataPrice-0.8 from TMP_Print"));
    EXPECT_EQ(dm.Qry_Main.Fields(0).AsInteger(), 1235);
    EXPECT_EQ(dm.Qry_Main.Fields(1).AsInteger(), -1235);
    EXPECT_EQ(dm.Qry_Main.Fields(2).AsInteger(), 1234);
}

TEST_F(EngineTest, ClosedAndFailedQueries) {
    TADOQuery q(dm.ADOMain);
    EXPECT_TRUE(q.Eof()); // a row loop on a closed query ends at once
    try {
        q.RecordCount();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
    }
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select * from TBLCLASS"));
    EXPECT_GT(dm.Qry_Main.RecordCount(), 0);
    // A rejected select leaves the query closed and empty.
    EXPECT_FALSE(dm.RunSelect(dm.Qry_Main, "select nosuch from TBLCLASS"));
    EXPECT_FALSE(dm.Qry_Main.Active());
    EXPECT_THROW(dm.Qry_Main.RecordCount(), EngineError);
    // Errors carry the engine's message.
    try {
        TADOQuery q2(dm.ADOMain);
        q2.SetSQL("select nosuch from TBLCLASS");
        q2.Open();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("nosuch"), std::string::npos);
    }
}

TEST_F(EngineTest, RejectedStatementChangesNothing) {
    const int before = Count("select count(*) from TBLUNIT");
    EXPECT_FALSE(dm.RunStatement("insert into TBLUNIT(UnitNAME,nosuch) values('x',1)"));
    EXPECT_FALSE(dm.RunStatement("insert into TBLUNIT(UnitNAME) values('x'); delete from TBLUNIT"));
    EXPECT_EQ(Count("select count(*) from TBLUNIT"), before);
    EXPECT_FALSE(dm.RunStatement(std::string("delete from TBLUNIT\0 where 1=0", 30)));
    EXPECT_EQ(Count("select count(*) from TBLUNIT"), before);
    // The program never changes the schema or reaches another file.
    EXPECT_FALSE(dm.RunStatement("drop table TBLUNIT"));
    EXPECT_FALSE(dm.RunStatement("create table X(a)"));
    EXPECT_FALSE(dm.RunStatement("alter table TBLUNIT add column b"));
    EXPECT_FALSE(dm.RunStatement("attach database '" + dir.Dir() + "other.db' as o"));
    EXPECT_FALSE(dm.RunStatement("pragma journal_mode=wal"));
    EXPECT_EQ(Count("select count(*) from TBLUNIT"), before);
    EXPECT_FALSE(std::filesystem::exists(dir.Dir() + "other.db"));
}

TEST(FileEngine, RefusesSchemaOtherFilesAndSettingsItselfPastTheStatementCheck) {
    test::TempProgramDir dir(true, true);
    SqliteEngine engine(dir.DatabasePath());
    // An existing file: the engine could not create a new one anyway.
    for (const std::string& sql :
         {"attach database '" + dir.DatabasePath() + "' as o", std::string("create table X(a)"),
          std::string("drop table TBLUNIT"), std::string("pragma journal_mode=wal")})
        EXPECT_THROW(engine.Run(sql), EngineError) << sql;
    EXPECT_EQ(engine.Run("select UnitNAME from TBLUNIT").Rows.size(), 15u);
}

TEST_F(EngineTest, TwoCursorsOpenAtOnce) {
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select ITEM_ID from TBLITEM where Parent_ID=0 order by ITEM_ID"));
    int children = 0, parents = 0;
    for (; !dm.Qry_Main.Eof(); dm.Qry_Main.Next()) {
        ++parents;
        ASSERT_TRUE(dm.RunSelect(dm.Qry_tmp,
                                 "select ITEM_ID from TBLITEM where Parent_ID=" + dm.Qry_Main.Fields(0).AsString()));
        children += dm.Qry_tmp.RecordCount();
    }
    EXPECT_GT(parents, 3);
    EXPECT_EQ(children, Count("select count(*) from TBLITEM where Parent_ID in "
                              "(select ITEM_ID from TBLITEM where Parent_ID=0)"));
}

TEST_F(EngineTest, TransactionRollsBack) {
    const int before = Count("select count(*) from TBLPRODUCT");
    dm.ADOMain.BeginTrans();
    EXPECT_TRUE(dm.ADOMain.InTransaction());
    EXPECT_TRUE(dm.RunStatement("delete from TBLProduct"));
    EXPECT_EQ(Count("select count(*) from TBLPRODUCT"), 0);
    dm.ADOMain.RollbackTrans();
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(Count("select count(*) from TBLPRODUCT"), before);
}

TEST_F(EngineTest, QuotedTextRoundTripsAndTouchesOnlyItsRow) {
    ASSERT_TRUE(dm.RunStatement("insert into TBLDESIGNER(DESNAME,DESTEL,DESADDRESS)values('甲','1','a')"));
    ASSERT_TRUE(dm.RunStatement("insert into TBLDESIGNER(DESNAME,DESTEL,DESADDRESS)values('乙','2','b')"));
    const int rows = Count("select count(*) from TBLDESIGNER");
    // Unquoted, this value would turn the where-clause into "... or 1=1" and reach every row.
    const std::string hostile = "x' or '1'='1";
    ASSERT_TRUE(
        dm.RunStatement("update TBLDESIGNER set DESADDRESS=" + SqlText(hostile) + " where DESNAME=" + SqlText("甲")));
    EXPECT_EQ(trace.back(), "update TBLDESIGNER set DESADDRESS='x'' or ''1''=''1' where DESNAME='甲'");
    ASSERT_TRUE(dm.RunStatement("update TBLDESIGNER set DESTEL='9' where DESNAME=" + SqlText(hostile)));
    EXPECT_EQ(Count("select count(*) from TBLDESIGNER where DESTEL='9'"), 0);
    EXPECT_EQ(Count("select count(*) from TBLDESIGNER"), rows);
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select DESADDRESS from TBLDESIGNER where DESNAME='甲'"));
    EXPECT_EQ(dm.Qry_Main.Fields(0).AsString(), hostile);
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select DESADDRESS from TBLDESIGNER where DESNAME='乙'"));
    EXPECT_EQ(dm.Qry_Main.Fields(0).AsString(), "b");

    for (const std::string& v : {std::string("'"), std::string("''"), std::string("a'b'c"), std::string("#2009-1-1#"),
                                 std::string("line1\r\nline2"), std::string("尾'")}) {
        ASSERT_TRUE(dm.RunStatement("update TBLDESIGNER set DESTEL=" + SqlText(v) + " where DESNAME='乙'"));
        ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select DESTEL from TBLDESIGNER where DESNAME='乙'"));
        EXPECT_EQ(dm.Qry_Main.Fields(0).AsString(), v);
    }
}

TEST_F(EngineTest, TransactionsAreTheBindingsOwn) {
    // Each of these would open, end or nest a transaction behind the
    // binding's back, rebuild the file or write the engine's own tables.
    for (const std::string& sql : std::vector<std::string>{
             "BEGIN", "begin transaction", "  /* note */ Begin immediate", "-- note\nBEGIN", "COMMIT", "END",
             "ROLLBACK", "SAVEPOINT a", "RELEASE a", "REINDEX", "VACUUM", "vacuum into '" + dir.Dir() + "copy.db'",
             "ANALYZE", "insert into sqlite_sequence(name,seq) values('TBLITEM',-5)",
             "update SQLITE_SEQUENCE set seq=0", "delete from sqlite_sequence",
             "with x as (select 1) delete from sqlite_sequence", "update sqlite_master set sql=''"}) {
        EXPECT_FALSE(dm.RunStatement(sql)) << sql;
        EXPECT_FALSE(dm.RunSelect(dm.Qry_Main, sql)) << sql;
        EXPECT_FALSE(dm.ADOMain.InTransaction()) << sql;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Dir() + "copy.db"));

    // A save after a refused BEGIN is really stored, not left in a
    // transaction that vanishes when the program ends.
    TREC_PROJECT r;
    r.SetcharProjectID("T1");
    r.SetcharCustomer("王先生");
    EXPECT_FALSE(dm.RunStatement("BEGIN"));
    EXPECT_TRUE(dm.StoreProject(r, SaveModeInsert));
    {
        test::ScriptedMessages m;
        TDM other(m, dir.Dir());
        ASSERT_TRUE(dm.RunSelect(other.Qry_Main, "select count(*) from tblProject where charProjectID='T1'"));
        EXPECT_EQ(other.Qry_Main.Fields(0).AsInteger(), 1);
    }
    // Ids keep growing past the engine's counter; the binding's transactions work.
    dm.ADOMain.BeginTrans();
    EXPECT_TRUE(dm.RunStatement("insert into TBLITEM(ITEM_NAME,Parent_ID) values('新',0)"));
    dm.ADOMain.CommitTrans();
    EXPECT_EQ(Count("select max(ITEM_ID) from TBLITEM"), 110);
    EXPECT_TRUE(dm.RunSelect(dm.Qry_Main, "  select 1"));
    EXPECT_TRUE(dm.RunSelect(dm.Qry_Main, "with x as (select 1 as a) select a from x"));
}

TEST(SqlText, OneHelperPerValueKind) {
    EXPECT_EQ(SqlText("O'Brien"), "'O''Brien'");
    EXPECT_EQ(SqlText(std::string("a\0b", 3)), "'ab'");
    EXPECT_EQ(SqlNumber(1234.5), "1234.5");
    EXPECT_EQ(SqlNumber(80), "80");
    EXPECT_EQ(SqlNumber(12.50), "12.5");
    EXPECT_EQ(SqlInteger(-42), "-42");
    EXPECT_EQ(SqlDate("2009-06-22"), "#2009-6-22#");
    EXPECT_EQ(SqlDate("bad#date"), "#baddate#");
    EXPECT_EQ(SqlDate(std::string("2009-6\0-22", 10)), "#2009-6-22#"); // a NUL never reaches a statement
    EXPECT_EQ(SqlYesNo(true), "-1");
    EXPECT_EQ(SqlYesNo(false), "0");
}

TEST(Connection, MissingOrForeignFileShowsTheMessageOnce) {
    test::TempProgramDir noDb(false);
    test::ScriptedMessages m;
    TDM dm(m, noDb.Dir());
    EXPECT_FALSE(dm.Connected());
    // The message names the file that was looked for.
    EXPECT_EQ(m.Texts(),
              std::vector<std::string>{"连接数据库失败，请检查数据库文件！\n找不到数据库文件：" + noDb.DatabasePath()});
    EXPECT_EQ(dm.DatabaseLocationText(), "数据库：未连接");
    EXPECT_FALSE(std::filesystem::exists(noDb.DatabasePath())); // never created by the program
    EXPECT_FALSE(dm.RunStatement("delete from TMP_Print"));
    EXPECT_FALSE(dm.RunSelect(dm.Qry_Main, "select * from TBLCLASS"));

    std::filesystem::create_directories(noDb.Dir() + "Data");
    for (const std::string& content : {std::string("this is not a database, just text"), std::string()}) {
        std::ofstream(noDb.DatabasePath(), std::ios::binary) << content;
        test::ScriptedMessages m2;
        TDM dm2(m2, noDb.Dir());
        EXPECT_FALSE(dm2.Connected());
        ASSERT_EQ(m2.Shown.size(), 1u);
        if (!content.empty()) {
            EXPECT_EQ(m2.Shown[0].Text, "连接数据库失败，请检查数据库文件！\n无法打开数据库文件：" + noDb.DatabasePath());
        }
    }
}

// Breaks a fresh database file with raw statements, then connects to it.
std::vector<std::string> ConnectAfter(const std::string& breakSql, bool* connected = nullptr) {
    test::TempProgramDir dir;
    sqlite3* db = nullptr;
    sqlite3_open(dir.DatabasePath().c_str(), &db);
    EXPECT_EQ(sqlite3_exec(db, breakSql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << breakSql;
    sqlite3_close(db);
    test::ScriptedMessages m;
    TDM dm(m, dir.Dir());
    if (connected) *connected = dm.Connected();
    EXPECT_EQ(dm.Connected(), m.Shown.empty());
    // Without a connection nothing is written, whatever the file holds.
    if (!dm.Connected()) {
        EXPECT_FALSE(dm.RunStatement("insert into TBLUNIT(UnitNAME) values('x')"));
    }
    return m.Texts();
}

TEST(Connection, ChecksTheTablesColumnsAndPagesOfTheFile) {
    LTY_FILE_ENGINE_ONLY();
    const std::string failed = "连接数据库失败，请检查数据库文件！\n";
    EXPECT_EQ(ConnectAfter("drop table TBLITEM"), std::vector<std::string>{failed + "缺少数据表 TBLITEM"});
    EXPECT_EQ(ConnectAfter("drop table TMP_Print; drop table TBLPASSWORD"),
              std::vector<std::string>{failed + "缺少数据表 TBLPASSWORD\n缺少数据表 TMP_Print"});
    EXPECT_EQ(ConnectAfter("drop table TBLPRODUCT; create table TBLPRODUCT(Product_ID INTEGER, ProductPrice DOUBLE,"
                           " ProductUnit TEXT)"),
              std::vector<std::string>{failed + "数据表 TBLPRODUCT 缺少列 ProductSpec、ProductClass"});
    EXPECT_EQ(ConnectAfter("alter table tblProject drop column numTax"),
              std::vector<std::string>{failed + "数据表 tblProject 缺少列 numTax"});
    // Names in another case, and tables or columns the program does not use, are fine.
    bool connected = false;
    EXPECT_TRUE(ConnectAfter("alter table TBLCLASS rename to c; alter table c rename to tblclass; alter table TBLUNIT "
                             "add column Extra TEXT;"
                             "create table Notes(a)",
                             &connected)
                    .empty());
    EXPECT_TRUE(connected);

    // Damaged pages in a table the start-up never reads.
    test::TempProgramDir dir;
    int rootPage = 0;
    {
        sqlite3* db = nullptr;
        sqlite3_open(dir.DatabasePath().c_str(), &db);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "select rootpage from sqlite_master where name='TBLITEM'", -1, &st, nullptr);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        rootPage = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    {
        std::fstream f(dir.DatabasePath(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(rootPage - 1) * 4096);
        const std::string garbage(64, '\xff');
        f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    test::ScriptedMessages m;
    TDM dm(m, dir.Dir());
    EXPECT_FALSE(dm.Connected());
    EXPECT_EQ(m.Texts(), std::vector<std::string>{failed + "数据库文件已损坏"});
    EXPECT_FALSE(dm.RunStatement("insert into TBLUNIT(UnitNAME) values('x')"));
}

TEST(SchemaTool, CreatesTablesAndFirstRowsAndNeverOverwrites) {
    LTY_FILE_ENGINE_ONLY();
    test::TempProgramDir dir;
    test::ScriptedMessages m;
    {
        TDM dm(m, dir.Dir());
        ASSERT_TRUE(dm.Connected());
        for (const char* t : {"tblProject", "TBLITEM", "TBLPRODUCT", "TBLCLASS", "TBLUNIT", "TBLDESIGNER",
                              "TBLCOMPANYINFO", "TBLPASSWORD", "TMP_Print"})
            EXPECT_TRUE(dm.RunSelect(dm.Qry_Main, std::string("select * from ") + t)) << t;
        ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select count(*) from TBLPASSWORD"));
        EXPECT_EQ(dm.Qry_Main.Fields(0).AsInteger(), 1);
        ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select count(*) from TBLCOMPANYINFO"));
        EXPECT_EQ(dm.Qry_Main.Fields(0).AsInteger(), 1);
        ASSERT_TRUE(dm.RunSelect(
            dm.Qry_Main,
            "select count(*) from TBLUNIT where UnitNAME in ('平米','米','延米','项','个','套','樘','组','块','根')"));
        EXPECT_EQ(dm.Qry_Main.Fields(0).AsInteger(), 10);
        // The standing remark sits on the first catalog row.
        ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select CATALOGExtrainfo from TBLItem where ITEM_ID=1"));
        EXPECT_NE(dm.Qry_Main.Fields(0).AsString().find("有效期"), std::string::npos);
        // At least 80 priced items on the third level, each with a price row.
        ASSERT_TRUE(dm.RunSelect(
            dm.Qry_Main, "select count(*) from TBLITEM c join TBLITEM s on c.Parent_ID=s.ITEM_ID "
                         "join TBLITEM t on s.Parent_ID=t.ITEM_ID join TBLPRODUCT p on p.Product_ID=c.ITEM_ID "
                         "where t.Parent_ID=0 and p.ProductPrice>0 and p.ProductUnit<>'' and p.ProductSpec<>''"));
        EXPECT_GE(dm.Qry_Main.Fields(0).AsInteger(), 80);
        // Every catalog row has its price row.
        ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select count(*) from TBLITEM where ITEM_ID not in "
                                              "(select Product_ID from TBLPRODUCT)"));
        EXPECT_EQ(dm.Qry_Main.Fields(0).AsInteger(), 0);
        ASSERT_TRUE(dm.RunStatement("insert into TBLDESIGNER(DESNAME)values('留存')"));
    }
    EXPECT_THROW(CreateDatabaseFile(dir.DatabasePath(), test::SchemaSql(), test::FirstRowsSql()), std::runtime_error);
    // The tool with --if-absent leaves the user's file as it is.
    const std::string cmd = std::string(LTY_MAKE_DB) + " --if-absent --schema " + LTY_SOURCE_DIR +
                            "/core/data/schema.sql --schema " + LTY_SOURCE_DIR +
                            "/core/data/schema_additions.sql --rows " + LTY_SOURCE_DIR + "/core/data/first_rows.sql --out " +
                            dir.DatabasePath();
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    TDM dm(m, dir.Dir());
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select count(*) from TBLDESIGNER where DESNAME='留存'"));
    EXPECT_EQ(dm.Qry_Main.Fields(0).AsInteger(), 1);
}

} // namespace
} // namespace lty
