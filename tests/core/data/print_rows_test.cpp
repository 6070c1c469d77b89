#include "tests/core/data/data_module_fixture.h"

namespace lty {
namespace {

using test::DataModuleTest;

const std::string kInsert =
    "insert into TMP_Print(ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum)values(";
const std::string kSelect =
    "select ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum from TMP_Print";

TEST_F(DataModuleTest, PrintRowStatementsAsTheGridGivesThem) {
    EXPECT_TRUE(dm.ClearPrintData());
    EXPECT_TRUE(dm.InsertPrintRow("客厅", "乳胶漆", "28", "12.50", "平米", "两遍", "1", "350.00"));
    EXPECT_TRUE(dm.InsertPrintRow("卧室", "", "0.00", "0.00", "", "", "1", "0.00"));
    EXPECT_EQ(trace, (std::vector<std::string>{
                         "delete from TMP_Print",
                         kInsert + "'客厅','乳胶漆',28,12.50,'平米','两遍',1,350.00)",
                         kInsert + "'卧室','',0.00,0.00,'','',1,0.00)",
                     }));

    TADOQuery report(dm.ADOMain);
    dm.OpenPrintData(report);
    EXPECT_EQ(trace.back(), kSelect);
    ASSERT_EQ(report.RecordCount(), 2);
    EXPECT_EQ(report.FieldByName("DataCount").AsFloat(), 12.5);
    EXPECT_EQ(report.FieldByName("Datasum").AsFloat(), 350);
}

TEST_F(DataModuleTest, EveryLineReachesThePrintRows) {
    // Texts with quotes, and number cells that hold no number, used to lose
    // their line without a word; now every line arrives.
    EXPECT_TRUE(dm.InsertPrintRow("Tom's room", "5' board", "", "abc", "m'", "it's", "1", "1.2.3"));
    EXPECT_EQ(trace.back(), kInsert + "'Tom''s room','5'' board',0,0,'m''','it''s',1,0)");
    EXPECT_TRUE(dm.InsertPrintRow("s", "n", " 12 ", "+3", "u", "m", "2", "1e3"));
    EXPECT_EQ(trace.back(), kInsert + "'s','n',12,3,'u','m',2,1000)");
    EXPECT_TRUE(dm.InsertPrintRow("s", "n", "1; delete from TBLITEM", "0", "u", "m", "3", "0"));
    EXPECT_EQ(RawCount("TMP_Print"), 3);
    EXPECT_EQ(RawCount("TBLITEM"), 109);
    EXPECT_EQ(RawText("select DataMemo from TMP_Print where ItemName='Tom''s room'"), "it's");
}

TEST_F(DataModuleTest, OnePreparationInOneTransactionInOrder) {
    Raw("insert into TMP_Print(ItemName) values('from the last preparation')");
    std::vector<TDM::PrintRowTexts> rows;
    for (int i = 0; i < 300; ++i) {
        // Names that sort in a different order from their insertion.
        const std::string n = std::to_string((i * 7919) % 1000);
        rows.push_back({"段" + std::to_string(i / 10), n, "1", "2", "项", "", std::to_string(i % 10 + 1), "0.00"});
    }
    EXPECT_TRUE(dm.ReplacePrintData(rows));
    EXPECT_FALSE(dm.ADOMain.InTransaction());

    TADOQuery report(dm.ADOMain);
    dm.OpenPrintData(report);
    ASSERT_EQ(report.RecordCount(), 300);
    for (int i = 0; i < 300; ++i, report.Next()) {
        ASSERT_EQ(report.FieldByName("DataName").AsString(), rows[static_cast<std::size_t>(i)].DataName) << i;
        ASSERT_EQ(report.FieldByName("DataIndex").AsInteger(), i % 10 + 1);
    }

    // The pair the preparation uses holds one transaction from clear to last row.
    EXPECT_TRUE(dm.BeginPrintRows());
    EXPECT_TRUE(dm.ADOMain.InTransaction());
    dm.ClearPrintData();
    dm.InsertPrintRow(rows.front());
    EXPECT_EQ(RawText("select count(*) from TMP_Print"), "300"); // nothing visible before the commit
    EXPECT_TRUE(dm.EndPrintRows());
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(RawCount("TMP_Print"), 1);
    EXPECT_FALSE(dm.EndPrintRows()); // no batch open
}

TEST_F(DataModuleTest, AFailedPrintRowIsReportedByTheBatch) {
    RefuseOn("TMP_Print", "insert");
    EXPECT_FALSE(dm.ReplacePrintData({{"s", "n", "1", "1", "u", "m", "1", "1"}}));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(RawCount("TMP_Print"), 0);
}

TEST_F(DataModuleTest, AFailedPreparationLeavesTheLastOneExactlyAsItWas) {
    const std::vector<TDM::PrintRowTexts> old{{"客厅", "旧项目", "1", "1", "项", "", "1", "1"},
                                              {"客厅", "旧项目2", "1", "1", "项", "", "2", "1"}};
    ASSERT_TRUE(dm.ReplacePrintData(old));

    // A refused delete: the new lines must not land beside the old ones.
    RefuseOn("TMP_Print", "delete");
    EXPECT_FALSE(dm.ReplacePrintData({{"卧室", "新项目", "2", "2", "项", "", "1", "4"}}));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(RawColumn("select DataName from TMP_Print"), (std::vector<std::string>{"旧项目", "旧项目2"}));
    StopRefusing("TMP_Print", "delete");

    // A refused insert after a good delete: the old rows come back too.
    Raw(test::RefuseSql(dir.DatabasePath(), "refuse_new", "TMP_Print", "insert", "refused", "new.DataName='坏'"));
    EXPECT_FALSE(dm.ReplacePrintData(
        {{"卧室", "好", "1", "1", "项", "", "1", "1"}, {"卧室", "坏", "1", "1", "项", "", "2", "1"}}));
    EXPECT_EQ(RawCount("TMP_Print"), 2);
    EXPECT_EQ(RawText("select DataName from TMP_Print where DataName='好'"), "<no row>");

    // The pair used step by step rolls back the same way.
    EXPECT_TRUE(dm.BeginPrintRows());
    EXPECT_TRUE(dm.ClearPrintData());
    EXPECT_FALSE(dm.InsertPrintRow({"卧室", "坏", "1", "1", "项", "", "1", "1"}));
    EXPECT_FALSE(dm.EndPrintRows());
    EXPECT_EQ(RawCount("TMP_Print"), 2);
}

} // namespace
} // namespace lty
