// Moving a firm's database to the server and back: every row arrives
// byte-identical, and a target that holds rows, or a copy that fails
// half-way, leaves the target as it was.
#include "core/data/quotation_tables.h"
#include "core/db/engine.h"
#include "core/db/pg_connection.h"
#include "core/upkeep/database_builder.h"
#include "core/upkeep/migration.h"
#include "core/upkeep/schema_upgrade.h"
#include "tests/core/server_database.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <map>

namespace lty {
namespace {

// Every row of the nine and the added tables, each value with its storage class and its
// exact bytes (a double as its bit pattern).
std::map<std::string, std::vector<std::string>> Rows(const std::string& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::map<std::string, std::vector<std::string>> out;
    for (const auto& t : TablesToCopy(db)) {
        sqlite3_stmt* st = nullptr;
        const std::string sql = "select * from " + std::string(t.Name) + " order by rowid";
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
        auto& rows = out[std::string(t.Name)];
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_NULL:
                    row += "N|";
                    break;
                case SQLITE_INTEGER:
                    row += "I" + std::to_string(sqlite3_column_int64(st, c)) + "|";
                    break;
                case SQLITE_FLOAT: {
                    const double d = sqlite3_column_double(st, c);
                    std::uint64_t bits = 0;
                    std::memcpy(&bits, &d, sizeof bits);
                    row += "F" + std::to_string(bits) + "|";
                    break;
                }
                default:
                    row += "T" +
                           std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                       static_cast<std::size_t>(sqlite3_column_bytes(st, c))) +
                           "|";
                }
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

void Exec(sqlite3* db, const char* sql) {
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
}

// A busy firm's database: 11,101 catalog entries (100 categories of 10
// groups of 10 priced items, and the remark row 1) and 5,000 projects whose
// texts carry every character that needs care on the way.
void MakeLargeDatabase(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    Exec(db, "begin");
    Exec(db, "delete from TBLITEM");
    Exec(db, "delete from TBLPRODUCT");
    sqlite3_stmt* item = nullptr;
    sqlite3_stmt* price = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into TBLITEM(ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID) "
                       "values(?,?,?,'',1,?)",
                       -1, &item, nullptr);
    sqlite3_prepare_v2(db,
                       "insert into TBLPRODUCT(Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductClass) "
                       "values(?,?,'平米','滚涂一遍底漆两遍面漆','标准型')",
                       -1, &price, nullptr);
    int id = 0;
    auto add = [&](const std::string& name, int parent, bool priced) {
        ++id;
        sqlite3_reset(item);
        sqlite3_bind_int(item, 1, id);
        sqlite3_bind_text(item, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(item, 3, id == 1 ? "1. 本报价有效期为三十天。\r\n2. 付款方式：30%/40%/25%/5%" : "", -1,
                          SQLITE_STATIC);
        sqlite3_bind_int(item, 4, parent);
        EXPECT_EQ(sqlite3_step(item), SQLITE_DONE);
        sqlite3_reset(price);
        sqlite3_bind_int(price, 1, id);
        if (priced) sqlite3_bind_double(price, 2, 0.1 * id + 1.0 / 3);
        EXPECT_EQ(sqlite3_step(price), SQLITE_DONE);
        return id;
    };
    add("拆除及基础工程", 0, false);
    for (int c = 0; c < 100; ++c) {
        const int cat = add("分类" + std::to_string(c), 0, false);
        for (int g = 0; g < 10; ++g) {
            const int group = add("子类" + std::to_string(g), cat, false);
            for (int i = 0; i < 10; ++i) add("项目" + std::to_string(i), group, true);
        }
    }
    sqlite3_finalize(item);
    sqlite3_finalize(price);
    EXPECT_EQ(id, 11101);

    sqlite3_stmt* project = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into tblProject(charProjectID,charCustomer,charAddress,charDesigner,dateSignDate,"
                       "dateStartDate,blnSignContract,numContractPrice,numTax,numEarnest,charQuotation,"
                       "charCustomerDemand) values(?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &project, nullptr);
    for (int p = 0; p < 5000; ++p) {
        sqlite3_reset(project);
        const std::string number = "LT-" + std::to_string(p);
        const std::string customer = p % 7 == 0 ? "O'Brien \\ 王" : "客户" + std::to_string(p);
        std::string quotation =
            "1000@卧室@@@@" + std::to_string(p) + ".50@@墙面\t乳胶漆@18@30@平米@540.00@两遍\n底漆@门@1@1@樘@1.00@";
        sqlite3_bind_text(project, 1, number.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(project, 2, customer.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(project, 3, "杭州市\r\n文三路", -1, SQLITE_STATIC);
        sqlite3_bind_text(project, 4, p % 3 ? "张明" : "Li", -1, SQLITE_STATIC);
        sqlite3_bind_text(project, 5, "2009-06-22", -1, SQLITE_STATIC);
        if (p % 2) sqlite3_bind_text(project, 6, "2026-12-08", -1, SQLITE_STATIC);
        sqlite3_bind_int(project, 7, p % 2 ? -1 : 0);
        sqlite3_bind_double(project, 8, 1234.5 + p);
        sqlite3_bind_double(project, 9, (0.1 + 0.2) * p);
        sqlite3_bind_double(project, 10, p % 5 ? -1e-300 : 1e300);
        sqlite3_bind_text(project, 11, quotation.c_str(), -1, SQLITE_TRANSIENT);
        if (p % 4) sqlite3_bind_text(project, 12, "", -1, SQLITE_STATIC);
        EXPECT_EQ(sqlite3_step(project), SQLITE_DONE);
    }
    sqlite3_finalize(project);
    // Deleted newest rows: ids handed out are not handed out again after the move.
    Exec(db, "delete from tblProject where IntID > 4990");
    Exec(db, "insert into TMP_Print(ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum) "
             "values('卧室','乳胶漆',18,30.5,'平米','',1,1234.5)");
    // The added tables travel too, a deleted newest template's id included.
    Exec(db, "insert into TBLSETTING(SETNAME,SETVALUE) values('TaxRate','0.0341'),('Overhead','0.08');"
             "insert into TBLPROJECTRATE(IntID,numOverheadRate,numTaxRate,intDiscountKind,numDiscountValue) "
             "values(7,0.1,NULL,1,0.30000000000000004);"
             "insert into TBLPROJECTROOMS(IntID,charRooms) values(7,'卧室\t3.6\n客厅');"
             "insert into TBLPROJECTSTAMP(IntID,dateModified,charModifiedBy) values(7,'2026-12-08 10:00:00','张明');"
             "insert into TBLPRODUCTMEASURE(Product_ID,intMeasure) values(3,1),(4,2);"
             "insert into TBLTEMPLATE(ID,charName,charQuotation) values(1,'标准间','1000@卧室@'),(9,'x','');"
             "delete from TBLTEMPLATE where ID=9;"
             "insert into TBLPROJECTVERSION(ProjectIntID,intVersion,dateCreated,numTotal,charSnapshot) "
             "values(7,0,'2026-12-08',1234.5,'s')");
    Exec(db, "commit");
    sqlite3_close(db);
}

class MigrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::TestServer().empty()) GTEST_SKIP() << "no test server (LTY_TEST_PG)";
    }
    test::TempProgramDir dir{true, true};

    void RoundTrip(const std::string& source) {
        const test::TempServerDatabase server(false);
        const auto there = CopyFileToServer(source, server.AdminConninfo());
        const std::string back = dir.Dir() + "back.db";
        std::filesystem::remove(back);
        const auto again = CopyServerToFile(server.AdminConninfo(), back);
        ASSERT_EQ(there.size(), 9u + AddedTables().size());
        for (std::size_t i = 0; i < there.size(); ++i) EXPECT_EQ(there[i].Rows, again[i].Rows) << there[i].Table;
        const auto before = Rows(source);
        const auto after = Rows(back);
        for (const auto& [table, rows] : before) {
            ASSERT_EQ(rows.size(), after.at(table).size()) << table;
            for (std::size_t r = 0; r < rows.size(); ++r)
                ASSERT_EQ(rows[r], after.at(table)[r]) << table << " row " << r;
        }
        // New ids continue past every id the firm's file ever gave out.
        PgConnection role(server.AppConninfo());
        const std::string high = role.Scalar("select coalesce(max(IntID),0) from tblProject");
        const std::string fileHigh = RowsHigh(source);
        role.Exec("insert into tblProject(charProjectID) values('new')");
        EXPECT_EQ(std::stoll(role.Scalar("select max(IntID) from tblProject")),
                  std::max(std::stoll(high), std::stoll(fileHigh)) + 1);
        // So do the added tables' ids, and the role may write those tables.
        const std::string templateHigh = RowsHigh(source, "TBLTEMPLATE");
        role.Exec("insert into TBLTEMPLATE(charName) values('new')");
        EXPECT_EQ(role.Scalar("select max(ID) from TBLTEMPLATE"), std::to_string(std::stoll(templateHigh) + 1));
    }
    static std::string RowsHigh(const std::string& path, const std::string& table = "tblProject") {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_stmt* st = nullptr;
        const std::string sql = "select coalesce((select seq from sqlite_sequence where name='" + table + "'),0)";
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        sqlite3_step(st);
        const std::string out = std::to_string(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        sqlite3_close(db);
        return out;
    }
};

TEST_F(MigrationTest, StarterDatabaseComesBackByteIdentical) { RoundTrip(dir.DatabasePath()); }

TEST_F(MigrationTest, LargeDatabaseComesBackByteIdentical) {
    MakeLargeDatabase(dir.DatabasePath());
    RoundTrip(dir.DatabasePath());
}

TEST_F(MigrationTest, TargetsHoldingRowsAndFailedCopiesChangeNothing) {
    // A server database made with its first rows is not an empty target.
    const test::TempServerDatabase full(true);
    EXPECT_THROW(CopyFileToServer(dir.DatabasePath(), full.AppConninfo()), EngineError);
    PgConnection fullRole(full.AppConninfo());
    EXPECT_EQ(fullRole.Scalar("select count(*) from TBLITEM"), "109");

    // Nor is an existing database file: it stays as it was.
    const auto before = Rows(dir.DatabasePath());
    EXPECT_THROW(CopyServerToFile(full.AdminConninfo(), dir.DatabasePath()), EngineError);
    EXPECT_EQ(Rows(dir.DatabasePath()), before);

    // A row the server cannot hold (a text where a number belongs) stops the
    // copy after earlier tables were sent: the server keeps none of them.
    sqlite3* db = nullptr;
    sqlite3_open(dir.DatabasePath().c_str(), &db);
    Exec(db, "insert into TMP_Print(DataPrice) values('十八')");
    sqlite3_close(db);
    const test::TempServerDatabase empty(false);
    try {
        CopyFileToServer(dir.DatabasePath(), empty.ManagerConninfo());
        ADD_FAILURE() << "the copy must fail";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("TMP_Print"), std::string::npos) << e.what();
    }
    PgConnection role(empty.AppConninfo());
    EXPECT_EQ(role.Scalar("select count(*) from TBLITEM"), "0");

    // A failed copy to a new file leaves no file behind.
    const std::string absent = dir.Dir() + "never.db";
    EXPECT_THROW(CopyServerToFile("host=127.0.0.1 port=1 dbname=none connect_timeout=2", absent), EngineError);
    EXPECT_FALSE(std::filesystem::exists(absent));
    EXPECT_FALSE(std::filesystem::exists(absent + ".copying"));
}

} // namespace
} // namespace lty
