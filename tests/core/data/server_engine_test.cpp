// The server engine against the file engine: the same statements give the
// same rows, a failure inside a transaction undoes only itself, write
// transactions take turns, and the server refuses what the role may not do.
#include "core/db/engine.h"
#include "core/db/engine_pg.h"
#include "core/db/pg_connection.h"
#include "core/upkeep/server_setup.h"
#include "tests/core/server_database.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace lty {
namespace {

TEST(ServerTranslation, OnlyRowStatementsAndTheNewIdInTheSameRoundTrip) {
    for (const char* refused :
         {"create table x(a int)", "drop table tblProject", "BEGIN", "commit", "  savepoint a",
          "alter table TBLITEM add x int", "vacuum", "", "set role postgres", "copy TBLITEM to stdout"})
        EXPECT_THROW(PgEngine::Translate(refused), EngineError) << refused;

    const auto insert = PgEngine::Translate("insert into tblProject(charCustomer) values('a') -- remark");
    EXPECT_EQ(insert.IdentityColumn, "intid");
    EXPECT_EQ(insert.Sql, "insert into tblProject(charCustomer) values('a') -- remark\nreturning intid");
    EXPECT_EQ(PgEngine::Translate("INSERT  INTO TBLItem(ITEM_NAME) values('x')").IdentityColumn, "item_id");
    EXPECT_EQ(PgEngine::Translate("insert into TBLDESIGNER(DESNAME)values('x')").IdentityColumn, "id");
    EXPECT_EQ(PgEngine::Translate("insert into TBLPRODUCT(Product_ID)values(3)").IdentityColumn, "");
    EXPECT_EQ(PgEngine::Translate("insert into TBLITEMS(x)values(3)").IdentityColumn, "");

    const auto update = PgEngine::Translate("update tblProject set dateSignDate=#2009-6-22# where charCustomer='#x#'");
    EXPECT_EQ(update.Sql, "update tblProject set dateSignDate='2009-06-22' where charCustomer='#x#'");
    EXPECT_THROW(PgEngine::Translate("update tblProject set dateSignDate=#2009-2-30#"), EngineError);
}

class ServerEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::TestServer().empty()) GTEST_SKIP() << "no test server (LTY_TEST_PG)";
        db = std::make_unique<test::TempServerDatabase>();
        server = std::make_unique<PgEngine>(db->ManagerConninfo());
        file.Open(dir.DatabasePath());
    }
    test::TempProgramDir dir{true, true};
    TADOConnection file;
    std::unique_ptr<test::TempServerDatabase> db;
    std::unique_ptr<PgEngine> server;

    int Count(DatabaseEngine& e, const std::string& table) {
        return static_cast<int>(std::get<std::int64_t>(e.Run("select count(*) from " + table).Rows.at(0).at(0).Data));
    }
};

// Every value with its kind, the names folded: what the binding hands on.
// An expression's name and kind are the engine's own (max(Item_ID) against
// max); the program reads those by position, and its value by what it holds.
std::string Dump(const EngineResult& r, const EngineResult& reference) {
    std::string out;
    for (std::size_t c = 0; c < r.Names.size(); ++c) {
        if (reference.Kinds.at(c) == ColumnKind::Any) continue;
        std::string n = r.Names[c];
        for (auto& ch : n) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        out += n + ":" + std::to_string(static_cast<int>(r.Kinds[c])) + " ";
    }
    for (const auto& row : r.Rows) {
        out += "\n";
        for (const auto& v : row) {
            if (v.IsNull())
                out += "NULL|";
            else if (const auto* i = std::get_if<std::int64_t>(&v.Data))
                out += "i" + std::to_string(*i) + "|";
            else if (const auto* d = std::get_if<double>(&v.Data)) {
                char buf[40];
                std::snprintf(buf, sizeof buf, "d%a|", *d);
                out += buf;
            } else
                out += "t" + std::get<std::string>(v.Data) + "|";
        }
    }
    return out;
}

TEST_F(ServerEngineTest, SameStatementsGiveTheSameRowsOnBothEngines) {
    const char* writes[] = {
        "insert into tblProject(charProjectID,charCustomer,charDesigner,dateSignDate,blnSignContract,numTax,"
        "numContractPrice,charQuotation) values('P1','O''Brien','zhang',#2009-6-22#,-1,0.30000000000000004,1234.5,"
        "'a\\b\ttab\r\nline')",
        "insert into tblProject(charProjectID,charCustomer,charDesigner,blnSignContract,numTax) "
        "values('p2','Ärger','zhang',0,80)",
        "insert into tblProject(charProjectID,charCustomer,charDesigner) values('P3','ärger','_li')",
        "insert into tblProject(charProjectID,charCustomer,charDesigner) values('P4','ＡＢ','张明')",
        "update tblProject set charAddress='文三路' where charProjectID='p1'",
        "delete from TBLProduct where Product_ID=3",
        "insert into TBLProduct(Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductCLass)values(3,45.5,'平米','',"
        "'标准型')",
        "update TBLITEM set ITEM_NAME='拆除',CATALOGExtrainfo='',CatalogExtrainfo2='',Item_Type=1 where ITEM_ID=2",
        "update TBLCOMPANYINFO set COM_NAME='岚庭雅',COM_ADDRESS='',COM_TEL1='',COM_TEL2='',COM_PERSON=''",
        "insert into TMP_Print(ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum)values("
        "'卧室','乳胶漆',18,30.5,'平米','',1,1234.50)",
    };
    for (const char* w : writes) {
        SCOPED_TRACE(w);
        file.Run(w);
        server->Run(w);
        EXPECT_EQ(file.Changes(), server->Changes());
        if (std::string_view(w).starts_with("insert into tblProject")) {
            EXPECT_EQ(file.LastInsertId(), server->LastInsertId());
        }
    }

    const char* reads[] = {
        "select  distinct charDesigner from tblProject order by charDesigner",
        "select charDesigner,intID,charCustomer,charAddress from tblProject order by charDesigner,intID",
        "select count(*) from tblProject where charDesigner='Zhang'",
        "select intID,charCustomer,charAddress from tblProject where charDesigner='ZHANG' order by intID",
        "select IntID,charProjectID,charCustomer,dateSignDate,dateStartDate,blnSignContract,numTax,numContractPrice,"
        "charQuotation,charAddress from tblProject where intID=1",
        "select IntID from tblProject where charProjectID='P2'",
        "select charCustomer from tblProject where charCustomer='ärger' order by IntID",
        "select charCustomer from tblProject where charCustomer='ａｂ'",
        "select charProjectID from tblProject order by charCustomer,IntID",
        "select max(Item_ID) from TBLITEM",
        "select count(*) from TBLITEM where Parent_ID=1",
        "select * from TBLProduct where Product_ID=3",
        "select ProductPrice,ProductUnit,ProductSpec,ProductClass from TBLPRODUCT where Product_ID=9",
        "select ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Item_Provider,Item_Date from TBLItem "
        "where Parent_ID=2 order by ITEM_ID",
        "select CLASSNAME from TBLCLASS",
        "select UnitNAME from TBLUNIT",
        "select distinct DESNAME From TBLDESIGNER",
        "select ID,DESNAME,DESTEL,DESADDRESS from TBLDESIGNER",
        "select COM_NAME,COM_ADDRESS,COM_TEL1,COM_TEL2,COM_PERSON from TBLCOMPANYINFO",
        "select PSNAME from TBLPASSWORD",
        "select ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum from TMP_Print",
        "select IntID from tblProject where dateSignDate=#2009-6-22#",
    };
    for (const char* r : reads) {
        const auto expected = file.Run(r);
        EXPECT_EQ(Dump(expected, expected), Dump(server->Run(r), expected)) << r;
    }
}

TEST_F(ServerEngineTest, BatchedInsertsOfPlainValuesArriveAsTheyWouldOneByOne) {
    // Runs of such inserts travel as one COPY on the server: every value must
    // come out exactly as the statement wrote it.
    const std::string head =
        "insert into TMP_Print(ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum)values(";
    std::vector<std::string> batch{"delete from TMP_Print"};
    for (const char* values :
         {"'卧室','O''Brien \\ 王',18,30.5,'平米','a\tb\r\nc',1,1234.50)",
          "'#2009-6-22#','x,y)z',-3,1e3,NULL,'',2,-0.25)", "  '\\N' , '\\.' ,  7 , 0 , 'null' , '''' , 3 , 1E-2 )  ",
          "'expr',1+1,0,0,'','',4,0)"}) // not plain values: sent as it is
        batch.push_back(head + values);
    batch.push_back("insert into TBLCLASS(CLASSNAME) values('新等级')");
    batch.push_back("insert into TBLCLASS(CLASSNAME) values('Ｂ级')");
    for (auto* e : std::initializer_list<DatabaseEngine*>{file.Engine(), server.get()}) {
        e->BeginTrans();
        e->RunBatch(batch);
        e->CommitTrans();
    }
    for (const char* r : {"select ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum from "
                          "TMP_Print order by DataIndex",
                          "select CLASSNAME from TBLCLASS"}) {
        const auto expected = file.Run(r);
        EXPECT_EQ(Dump(expected, expected), Dump(server->Run(r), expected)) << r;
    }
    // A value the column cannot hold fails the batch; the rollback takes back all of it.
    server->BeginTrans();
    EXPECT_THROW(
        server->RunBatch({"delete from TMP_Print", head + "'a','b',1,1,'','',1,1)", head + "'a','b','x',1,'','',1,1)"}),
        EngineError);
    server->RollbackTrans();
    EXPECT_EQ(Count(*server, "TMP_Print"), 4);
}

TEST_F(ServerEngineTest, FailedStatementInsideATransactionUndoesOnlyItself) {
    server->BeginTrans();
    EXPECT_TRUE(server->InTransaction());
    server->Run("insert into TBLDESIGNER(DESNAME,DESTEL,DESADDRESS)values('甲','','')");
    const auto first = server->LastInsertId();
    EXPECT_THROW(server->Run("insert into TMP_Print(DataPrice) values('not a number')"), EngineError);
    EXPECT_THROW(server->Run("select nosuch from TBLDESIGNER"), EngineError);
    server->Run("insert into TBLDESIGNER(DESNAME,DESTEL,DESADDRESS)values('乙','','')");
    EXPECT_EQ(server->LastInsertId(), first + 1);
    EXPECT_THROW(server->BeginTrans(), EngineError);
    server->CommitTrans();
    EXPECT_FALSE(server->InTransaction());
    EXPECT_EQ(Count(*server, "TBLDESIGNER where DESNAME in ('甲','乙')"), 2);

    // A batch stops at its first failure; the caller's rollback takes back the rest.
    server->BeginTrans();
    EXPECT_THROW(server->RunBatch(
                     {"delete from TBLDESIGNER", "insert into TBLDESIGNER(ID) values('x')", "delete from TBLCLASS"}),
                 EngineError);
    server->RollbackTrans();
    EXPECT_EQ(Count(*server, "TBLDESIGNER"), 5);
    EXPECT_EQ(Count(*server, "TBLCLASS"), 4);

    // A batch far larger than one pipeline chunk goes through whole.
    std::vector<std::string> rows(1500, "insert into TMP_Print(ItemName,DataPrice) values('卧室',1.5)");
    server->BeginTrans();
    server->RunBatch(rows);
    server->CommitTrans();
    EXPECT_EQ(Count(*server, "TMP_Print"), 1500);
}

TEST_F(ServerEngineTest, TheServerRefusesWhatTheRoleMayNotDo) {
    // Past the binding's own guard, straight to the server as the programs' role.
    PgConnection role(db->AppConninfo());
    for (const char* ddl : {"create table x(a int)", "create temp table y(a int)", "drop table tblProject",
                            "alter table TBLITEM add column z int", "truncate TMP_Print",
                            "create index i on tblProject(charShop)", "select setval('tblproject_intid_seq', 1)"})
        EXPECT_THROW(role.Exec(ddl), EngineError) << ddl;
    // The extended protocol carries one statement: the second never runs.
    EXPECT_THROW(server->Run("select 1; delete from TBLCLASS"), EngineError);
    EXPECT_EQ(Count(*server, "TBLCLASS"), 4);
    // An explicit id moves the identity past it, without any right on the sequence.
    server->Run("insert into TBLITEM(ITEM_ID,ITEM_NAME,Parent_ID) values(5000,'x',0)");
    server->Run("insert into TBLITEM(ITEM_NAME,Parent_ID) values('y',0)");
    EXPECT_EQ(server->LastInsertId(), 5001);
}

// On a database made before the set-up by a server that let everyone create
// in the schema (as servers before version 15 did), the set-up takes it back.
TEST(ServerSetUp, NoRoleButTheOwnerMayCreateInTheSchema) {
    if (test::TestServer().empty()) GTEST_SKIP() << "no test server (LTY_TEST_PG)";
    const std::string name = "lty_test_setup_" + std::to_string(::getpid());
    PgConnection admin(test::TestServer());
    admin.Exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
    admin.Exec("CREATE DATABASE " + name + " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'");
    PgConnection(ConninfoWith(test::TestServer(), "dbname", name)).Exec("GRANT CREATE ON SCHEMA public TO PUBLIC");
    ServerSetup setup;
    setup.AdminConninfo = test::TestServer();
    setup.Database = name;
    admin.Exec("SELECT pg_advisory_lock(7350001)"); // the test databases' set-up may be making the role
    SetUpServerDatabase(setup, [](const std::string&) {});
    admin.Exec("SELECT pg_advisory_unlock(7350001)");
    PgConnection role(ConninfoWith(ConninfoWith(test::TestServer(), "user", setup.AppRole), "dbname", name));
    EXPECT_THROW(role.Exec("create table x(a int)"), EngineError);
    admin.Exec("DROP DATABASE " + name + " WITH (FORCE)");
}

TEST_F(ServerEngineTest, WriteTransactionsTakeTurnsAcrossPrograms) {
    PgEngine other(db->ManagerConninfo());
    server->BeginTrans();
    std::atomic<bool> began{false};
    std::thread second([&] {
        other.BeginTrans();
        began = true;
        other.Run("update TBLCOMPANYINFO set COM_NAME='second'");
        other.CommitTrans();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(began) << "the second program's write transaction must wait for the first";
    server->Run("update TBLCOMPANYINFO set COM_NAME='first'");
    server->CommitTrans();
    second.join();
    EXPECT_TRUE(began);
    EXPECT_EQ(std::get<std::string>(server->Run("select COM_NAME from TBLCOMPANYINFO").Rows.at(0).at(0).Data),
              "second");
    EXPECT_EQ(server->Location().rfind("服务器 ", 0), 0u);
    EXPECT_NE(server->Location().find("/" + db->Name()), std::string::npos);
}

TEST_F(ServerEngineTest, ALostConnectionComesBackBetweenTransactionsOnly) {
    PgConnection admin(db->AdminConninfo());
    auto killServerSide = [&] {
        const auto pid = std::get<std::int64_t>(server->Run("select pg_backend_pid()").Rows.at(0).at(0).Data);
        admin.Query("select pg_terminate_backend($1, 5000)", {std::to_string(pid)});
    };
    // The server restarted while the program stood idle: the next statement reconnects.
    killServerSide();
    EXPECT_EQ(Count(*server, "TBLCLASS"), 4);

    // Lost inside a transaction: the rest of it must not run on its own.
    server->BeginTrans();
    server->Run("delete from TBLCLASS");
    killServerSide();
    EXPECT_THROW(server->Run("delete from TBLUNIT"), EngineError);
    EXPECT_THROW(server->CommitTrans(), EngineError);
    server->RollbackTrans();
    EXPECT_EQ(Count(*server, "TBLCLASS"), 4);
    EXPECT_EQ(Count(*server, "TBLUNIT"), 15);
}

} // namespace
} // namespace lty
