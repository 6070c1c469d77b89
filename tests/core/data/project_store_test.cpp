#include "core/db/engine_pg.h"
#include "core/text/date_text.h"
#include "core/text/number_text.h"
#include "tests/core/data/data_module_fixture.h"

#include <poll.h>
#include <sys/socket.h>

#include <limits>
#include <utility>

namespace lty {
namespace {

using test::DataModuleTest;

TREC_PROJECT FullRecord() {
    TREC_PROJECT r;
    r.SetcharProjectID("P001");
    r.SetcharCustomer("王先生");
    r.SetcharCustomerID("C9");
    r.SetcharCustomerTel("13900000000");
    r.SetcharCustomerDemand("简约\r\n明亮");
    r.SetcharCustomerSource("朋友介绍");
    r.SetcharAddress("文一路1号");
    r.SetdateMappingDate("2009-6-1");
    r.SetnumEarnest(1234.5);
    r.SetnumHouseAcreage(86.4);
    r.SetcharHouseType("两室一厅");
    r.SetcharDesignStyle("现代");
    r.SetcharShop("一店");
    r.SetcharDesigner("张明");
    r.SetcharDesignerTel("13805710001");
    r.SetblnSignContract(true);
    r.SetcharQuotation("1@客厅@@@@@");
    r.SetcharProjectStatus("在建");
    r.SetcharContractID("HT-1");
    r.SetdateSignDate("2009-6-22");
    r.SetnumDiscount(0);
    r.SetnumOverheadExp(80);
    r.SetnumTax(34.1);
    r.SetnumContractPrice(1000);
    r.SetcharWorkLeader("老李");
    r.SetcharWorkLeaderTel("1");
    r.SetcharCustodian("老赵");
    r.SetcharCustodianTel("2");
    r.SetdateStartDate("2009-7-1");
    r.SetdateEndDate("2009-8-31");
    r.SetdateCheckDate("2009-9-1");
    r.SetcharContractMemo("备注");
    r.SetdateFirstPayDate("2009-7-2");
    r.SetnumFirstPayMoney(300);
    r.SetdateSecondPayDate("2009-8-2");
    r.SetnumSecondPayMoney(400.25);
    r.SetdateThirdPayDate("2009-9-2");
    r.SetnumThirdPayMoney(300);
    return r;
}

const char* kExpectedInsert =
    "insert into "
    "tblProject(charProjectID,charCustomer,charCustomerID,charCustomerTel,charCustomerDemand,charCustomerSource,"
    "charAddress,dateMappingDate,numEarnest,numHouseAcreage,charHouseType,charDesignStyle,charShop,charDesigner,"
    "charDesignerTel,blnSignContract,charQuotation,charProjectStatus,charContractID,dateSignDate,numDiscount,"
    "numOverheadExp,numTax,numContractPrice,charWorkLeader,charWorkLeaderTel,charCustodian,charCustodianTel,"
    "dateStartDate,dateEndDate,dateCheckDate,charContractMemo,dateFirstPayDate,numFirstPayMoney,dateSecondPayDate,"
    "numSecondPayMoney,dateThirdPayDate,numThirdPayMoney) "
    "values('P001','王先生','C9','13900000000','简约\r\n明亮','朋友介绍','文一路1号',#2009-6-1#,1234.5,86.4,"
    "'两室一厅','现代','一店','张明','13805710001',-1,'1@客厅@@@@@','在建','HT-1',#2009-6-22#,0,80,34.1,1000,"
    "'老李','1','老赵','2',#2009-7-1#,#2009-8-31#,#2009-9-1#,'备注',#2009-7-2#,300,#2009-8-2#,400.25,#2009-9-2#,300)";

const char* kExpectedUpdate =
    "update tblProject set charCustomer='王先生',charCustomerID='C9',charCustomerTel='13900000000',"
    "charCustomerDemand='简约\r\n明亮',charCustomerSource='朋友介绍',charAddress='文一路1号',"
    "dateMappingDate=#2009-6-1#,numEarnest=1234.5,numHouseAcreage=86.4,charHouseType='两室一厅',"
    "charDesignStyle='现代',charShop='一店',charDesigner='张明',charDesignerTel='13805710001',blnSignContract=0,"
    "charQuotation='1@客厅@@@@@',charProjectStatus='在建',charContractID='HT-1',dateSignDate=#2009-6-22#,"
    "numDiscount=0,numOverheadExp=80,numTax=34.1,numContractPrice=1000,charWorkLeader='老李',"
    "charWorkLeaderTel='1',charCustodian='老赵',charCustodianTel='2',dateStartDate=#2009-7-1#,"
    "dateEndDate=#2009-8-31#,dateCheckDate=#2009-9-1#,charContractMemo='备注',dateFirstPayDate=#2009-7-2#,"
    "numFirstPayMoney=300,dateSecondPayDate=#2009-8-2#,numSecondPayMoney=400.25,dateThirdPayDate=#2009-9-2#,"
    "numThirdPayMoney=300 where charProjectID='P001'";

void ExpectSameRecord(const TREC_PROJECT& a, const TREC_PROJECT& b) {
    EXPECT_EQ(a.IntID, b.IntID);
    EXPECT_EQ(a.blnSignContract, b.blnSignContract);
    for (auto f : {&TREC_PROJECT::numEarnest, &TREC_PROJECT::numContractPrice, &TREC_PROJECT::numOverheadExp,
                   &TREC_PROJECT::numTax, &TREC_PROJECT::numThirdPayMoney, &TREC_PROJECT::numDiscount,
                   &TREC_PROJECT::numFirstPayMoney, &TREC_PROJECT::numHouseAcreage, &TREC_PROJECT::numSecondPayMoney})
        EXPECT_EQ(a.*f, b.*f);
    for (auto f :
         {&TREC_PROJECT::charHouseType,     &TREC_PROJECT::dateEndDate,        &TREC_PROJECT::charAddress,
          &TREC_PROJECT::charProjectStatus, &TREC_PROJECT::dateCheckDate,      &TREC_PROJECT::charDesignerTel,
          &TREC_PROJECT::charProjectID,     &TREC_PROJECT::charCustodian,      &TREC_PROJECT::charDesignStyle,
          &TREC_PROJECT::charCustomerID,    &TREC_PROJECT::charCustomerTel,    &TREC_PROJECT::charDesigner,
          &TREC_PROJECT::charCustomer,      &TREC_PROJECT::charShop,           &TREC_PROJECT::charCustomerSource,
          &TREC_PROJECT::dateMappingDate,   &TREC_PROJECT::charWorkLeaderTel,  &TREC_PROJECT::charCustodianTel,
          &TREC_PROJECT::dateStartDate,     &TREC_PROJECT::dateFirstPayDate,   &TREC_PROJECT::charContractID,
          &TREC_PROJECT::dateThirdPayDate,  &TREC_PROJECT::dateSecondPayDate,  &TREC_PROJECT::dateSignDate,
          &TREC_PROJECT::charWorkLeader,    &TREC_PROJECT::charCustomerDemand, &TREC_PROJECT::charQuotation,
          &TREC_PROJECT::charContractMemo})
        EXPECT_EQ(a.*f, b.*f);
}

TEST_F(DataModuleTest, InsertAndUpdateSendTheirStatementsAndRoundTrip) {
    TREC_PROJECT r = FullRecord();
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    ASSERT_EQ(trace.size(), 3u); // the number check, the insert, the save's stamp
    EXPECT_EQ(trace[0], "select IntID from tblProject where charProjectID='P001'");
    EXPECT_EQ(trace[1], kExpectedInsert);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"新加工程成功！"});
    // The record now knows its row.
    EXPECT_EQ(std::to_string(r.IntID), RawText("select IntID from tblProject where charProjectID='P001'"));
    EXPECT_EQ(RawText("select blnSignContract from tblProject"), "-1");

    trace.clear();
    const auto loaded = dm.LoadProject(std::to_string(r.IntID));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(trace.front(),
              "select "
              "IntID,charProjectID,charCustomer,charCustomerID,charCustomerTel,charCustomerDemand,charCustomerSource,"
              "charAddress,dateMappingDate,numEarnest,numHouseAcreage,charHouseType,charDesignStyle,charShop,"
              "charDesigner,charDesignerTel,blnSignContract,charQuotation,charProjectStatus,charContractID,"
              "dateSignDate,numDiscount,numOverheadExp,numTax,numContractPrice,charWorkLeader,charWorkLeaderTel,"
              "charCustodian,charCustodianTel,dateStartDate,dateEndDate,dateCheckDate,charContractMemo,"
              "dateFirstPayDate,numFirstPayMoney,dateSecondPayDate,numSecondPayMoney,dateThirdPayDate,"
              "numThirdPayMoney from tblProject where intID=" +
                  std::to_string(r.IntID));
    ExpectSameRecord(*loaded, r);

    trace.clear();
    messages.Shown.clear();
    loaded->SetblnSignContract(false);
    ASSERT_TRUE(dm.StoreProject(*loaded, SaveModeUpdate));
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[1], kExpectedUpdate);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"修改工程成功！"});
    EXPECT_FALSE(dm.LoadProject(std::to_string(r.IntID))->blnSignContract);
    EXPECT_EQ(RawText("select blnSignContract from tblProject"), "0");
}

TEST_F(DataModuleTest, ValidationStopsBeforeAnythingIsSent) {
    TREC_PROJECT r;
    EXPECT_FALSE(dm.StoreProject(r, SaveModeInsert));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"请输入客户名称！"});
    r.SetcharCustomer("x");
    EXPECT_FALSE(dm.StoreProject(r, SaveModeInsert));
    EXPECT_EQ(messages.Texts().back(), "请输入工程编号！");
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(r.dateSignDate.empty()); // dates untouched on refusal

    // A blank is not empty.
    TREC_PROJECT blank;
    blank.SetcharCustomer(" ");
    blank.SetcharProjectID(" ");
    EXPECT_TRUE(dm.StoreProject(blank, SaveModeInsert));
    // A mode other than insert or update writes nothing.
    TREC_PROJECT other = FullRecord();
    trace.clear();
    EXPECT_FALSE(dm.StoreProject(other, 2));
    EXPECT_TRUE(trace.empty());
}

TEST_F(DataModuleTest, EmptyDatesBecomeTodayInRecordAndRow) {
    TREC_PROJECT r;
    r.SetcharCustomer("c");
    r.SetcharProjectID("p");
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    const std::string today = TodayText();
    for (const auto* d : {&r.dateMappingDate, &r.dateSignDate, &r.dateStartDate, &r.dateEndDate, &r.dateCheckDate,
                          &r.dateFirstPayDate, &r.dateSecondPayDate, &r.dateThirdPayDate})
        EXPECT_EQ(*d, today);
    const std::string iso = DateToIso(Today());
    EXPECT_EQ(RawText("select count(*) from tblProject where dateMappingDate='" + iso + "' and dateSignDate='" + iso +
                      "' and dateStartDate='" + iso + "' and dateEndDate='" + iso + "' and dateCheckDate='" + iso +
                      "' and dateFirstPayDate='" + iso + "' and dateSecondPayDate='" + iso +
                      "' and dateThirdPayDate='" + iso + "'"),
              "1");
    // A new record's numbers travel as 0 and its flag as 0.
    const std::string& insert = trace[trace.size() - 2]; // the save's stamp comes last
    EXPECT_NE(insert.find("#,0,0,'','','','',''"), std::string::npos);
    EXPECT_NE(insert.find("'',0,''"), std::string::npos);
}

TEST_F(DataModuleTest, LoadProjectReadsNullsAndRefusesBadIds) {
    Raw("insert into tblProject(IntID,charProjectID) values(7,'N')");
    const auto r = dm.LoadProject("7");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->IntID, 7);
    EXPECT_EQ(r->dateSignDate, "1899-12-30");
    EXPECT_EQ(r->dateThirdPayDate, "1899-12-30");
    EXPECT_EQ(r->charCustomer, "");
    EXPECT_EQ(r->numTax, 0.0);
    EXPECT_FALSE(r->blnSignContract);

    EXPECT_EQ(dm.LoadProject("8"), nullptr);
    const auto padded = dm.LoadProject(" 7 "); // ids are trimmed, as a text box hands them over
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->IntID, 7);
    // An id that is no number never reaches a statement; it fails as a
    // refused select does, before any window opens.
    trace.clear();
    try {
        dm.LoadProject("7 or 1=1");
        FAIL() << "expected the closed-dataset error";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
    }
    EXPECT_TRUE(trace.empty());
}

TEST_F(DataModuleTest, QuotesInTextsAreStoredUnchanged) {
    TREC_PROJECT r = FullRecord();
    r.SetcharCustomer("O'Brien");
    r.SetcharAddress("It's 'here'");
    r.SetcharQuotation("1@Bob's room@@@@@");
    r.SetcharProjectID("P'1");
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    TREC_PROJECT other = FullRecord();
    other.SetcharProjectID("P2");
    ASSERT_TRUE(dm.StoreProject(other, SaveModeInsert));

    auto loaded = dm.LoadProject(std::to_string(r.IntID));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->charCustomer, "O'Brien");
    EXPECT_EQ(loaded->charAddress, "It's 'here'");
    EXPECT_EQ(loaded->charQuotation, "1@Bob's room@@@@@");

    // An update of the quoted number reaches its own row only.
    loaded->SetcharCustomer("x' or '1'='1");
    ASSERT_TRUE(dm.StoreProject(*loaded, SaveModeUpdate));
    EXPECT_EQ(dm.LoadProject(std::to_string(r.IntID))->charCustomer, "x' or '1'='1");
    EXPECT_EQ(dm.LoadProject(std::to_string(other.IntID))->charCustomer, "王先生");
}

TEST_F(DataModuleTest, InsertRefusesATakenProjectNumber) {
    TREC_PROJECT r = FullRecord();
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    // A second save from a window still in insert mode, or another project
    // given the same number: nothing is written.
    TREC_PROJECT again = FullRecord();
    again.SetcharProjectID("p001"); // numbers compare without regard to case, as the update finds them
    messages.Shown.clear();
    trace.clear();
    EXPECT_FALSE(dm.StoreProject(again, SaveModeInsert));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"工程编号已存在，请使用其他编号！"});
    EXPECT_EQ(trace.size(), 1u);
    EXPECT_EQ(again.IntID, 0);
    EXPECT_EQ(RawCount("tblProject"), 1);
    // The window that inserted now saves in update mode and reaches its row.
    r.SetcharCustomer("新名字");
    EXPECT_TRUE(dm.StoreProject(r, SaveModeUpdate));
    EXPECT_EQ(RawText("select charCustomer from tblProject"), "新名字");
}

TEST_F(DataModuleTest, UpdateWritesOnlyTheWindowsOwnRow) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer) values(1,'A','a1'),(2,'A','a2'),(3,'B','b')");
    const std::string refused = "工程编号已被修改或与其他工程重复，未能保存！";

    // Two rows share the number: neither is written.
    auto a1 = dm.LoadProject("1");
    a1->SetcharCustomer("changed");
    EXPECT_FALSE(dm.StoreProject(*a1, SaveModeUpdate));
    EXPECT_EQ(messages.Texts().back(), refused);
    EXPECT_EQ(RawColumn("select charCustomer from tblProject order by IntID"),
              (std::vector<std::string>{"a1", "a2", "b"}));

    // The number was edited to one another project holds.
    a1->SetcharProjectID("B");
    EXPECT_FALSE(dm.StoreProject(*a1, SaveModeUpdate));
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=3"), "b");

    // The number was edited to one nobody holds: no false success.
    a1->SetcharProjectID("C");
    messages.Shown.clear();
    trace.clear();
    EXPECT_FALSE(dm.StoreProject(*a1, SaveModeUpdate));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{refused});
    EXPECT_EQ(trace.size(), 2u); // the number's holders and whether the row is still there; no update

    // A window built without its row id (IntID 0) cannot overwrite a project.
    TREC_PROJECT stranger = FullRecord();
    stranger.SetcharProjectID("B");
    EXPECT_FALSE(dm.StoreProject(stranger, SaveModeUpdate));
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=3"), "b");
}

// The window's row was deleted meanwhile: the save offers a new row, which
// No declines and Yes inserts, the record learning its new id.
TEST_F(DataModuleTest, SavingADeletedProjectOffersToStoreItAnew) {
    TREC_PROJECT r = FullRecord();
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    const std::int32_t first = r.IntID;
    Raw("delete from tblProject where IntID=" + std::to_string(first));
    r.SetcharCustomer("again");
    messages.Shown.clear();
    messages.Answers = {false};
    EXPECT_FALSE(dm.StoreProject(r, SaveModeUpdate, &r));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"该工程已被删除，是否另存为新工程？"});
    EXPECT_EQ(RawText("select count(*) from tblProject"), "0");
    messages.Answers = {true};
    EXPECT_TRUE(dm.StoreProject(r, SaveModeUpdate, &r));
    EXPECT_EQ(messages.Texts().back(), "新加工程成功！");
    EXPECT_NE(r.IntID, first);
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=" + std::to_string(r.IntID)), "again");
}

TEST_F(DataModuleTest, NumbersThatAreNoNumbersNeverReachAStatement) {
    // An amount that overflowed, or a reading that is not a number, is
    // refused with the conversion message before anything is sent.
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& [value, text] :
         {std::pair{inf, "INF"}, std::pair{-inf, "-INF"}, std::pair{std::numeric_limits<double>::quiet_NaN(), "NAN"}}) {
        TREC_PROJECT r = FullRecord();
        r.SetnumTax(value);
        trace.clear();
        messages.Shown.clear();
        try {
            dm.StoreProject(r, SaveModeInsert);
            ADD_FAILURE() << text;
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid floating point value");
        }
        EXPECT_TRUE(trace.empty());
        EXPECT_TRUE(messages.Shown.empty());
        EXPECT_FALSE(dm.ADOMain.InTransaction());
        EXPECT_EQ(RawCount("tblProject"), 0);
    }
    TItemData item;
    item.SetItemID("3");
    item.SetPrice(inf);
    EXPECT_THROW(dm.SaveProduct(item), ConvertError);
    EXPECT_EQ(RawText("select ProductPrice from TBLPRODUCT where Product_ID=3"), "45.0");
    // A print cell reading "inf" or "nan" prints as 0, as any text that is no number.
    EXPECT_TRUE(dm.InsertPrintRow("s", "n", "inf", "nan", "u", "m", "1", "-INF"));
    EXPECT_EQ(trace.back().substr(trace.back().find("values(")), "values('s','n',0,0,'u','m',1,0)");
}

TEST_F(DataModuleTest, DeleteProjectSendsItsStatementAndTakesItsCompanionsAlong) {
    Raw("insert into tblProject(IntID,charProjectID) values(4,'A'),(5,'B')");
    for (const char* t : {"TBLPROJECTRATE", "TBLPROJECTROOMS", "TBLPROJECTSTAMP"})
        Raw(std::string("insert into ") + t + "(IntID) values(4),(5)");
    Raw("insert into TBLPROJECTVERSION(ProjectIntID,intVersion) values(4,0),(4,1),(5,0)");
    EXPECT_TRUE(dm.DeleteProject("4"));
    EXPECT_EQ(trace, (std::vector<std::string>{
                         "delete from tblProject where IntID=4", "delete from TBLPROJECTRATE where IntID=4",
                         "delete from TBLPROJECTROOMS where IntID=4", "delete from TBLPROJECTSTAMP where IntID=4",
                         "delete from TBLPROJECTVERSION where ProjectIntID=4"}));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    for (const char* t : {"TBLPROJECTRATE", "TBLPROJECTROOMS", "TBLPROJECTSTAMP", "TBLPROJECTVERSION"})
        EXPECT_EQ(RawCount(t), 1) << t << ": only project 5's row stays";
    trace.clear();
    EXPECT_TRUE(dm.DeleteProject("99")); // matches nothing, still succeeds
    EXPECT_FALSE(dm.DeleteProject("5 or 1=1"));
    EXPECT_FALSE(dm.DeleteProject(""));
    EXPECT_EQ(trace.size(), 5u);
    EXPECT_EQ(RawCount("tblProject"), 1);

    // All or nothing: a companion that cannot go keeps the project too.
    RefuseOn("TBLPROJECTVERSION", "delete");
    EXPECT_FALSE(dm.DeleteProject("5"));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(RawCount("tblProject"), 1);
    EXPECT_EQ(RawCount("TBLPROJECTRATE"), 1);
}

TEST_F(DataModuleTest, ProjectTreeGroupsProjectsUnderDesigners) {
    TTreeView tree;
    dm.LoadProjectTree(tree);
    ASSERT_EQ(tree.Items.size(), 1u);
    EXPECT_EQ(tree.Items[0].Text, "装饰工程");
    EXPECT_FALSE(tree.Items[0].Data);
    EXPECT_EQ(tree.Items[0].ImageIndex, 1);
    EXPECT_EQ(tree.Items[0].SelectedIndex, 1);
    EXPECT_TRUE(tree.Items[0].Children.empty());
    const std::vector<std::string> oneSelect{
        "select charDesigner,intID,charCustomer,charAddress from tblProject order by charDesigner,intID"};
    EXPECT_EQ(trace, oneSelect);

    Raw("insert into tblProject(IntID,charCustomer,charAddress,charDesigner) values"
        "(5,'甲','一路','王磊'),(2,'乙','二路','O''Neil'),(9,'丙','三路','王磊'),(3,'丁','四路',''),"
        "(7,'戊','五路','o''neil'),(8,'己','六路',NULL)");
    trace.clear();
    dm.LoadProjectTree(tree);
    ASSERT_EQ(tree.Items.size(), 1u);
    const TTreeNode& root = tree.Items[0];
    ASSERT_EQ(root.Children.size(), 3u);
    EXPECT_EQ(root.Children[0].Text, "");
    EXPECT_EQ(root.Children[1].Text, "O'Neil");
    EXPECT_EQ(root.Children[2].Text, "王磊");
    // The whole tree in one round trip, however many designers.
    EXPECT_EQ(trace, oneSelect);

    const TTreeNode& wang = root.Children[2];
    EXPECT_EQ(*wang.Data, TTreeData("王磊", "王磊"));
    EXPECT_EQ(wang.ImageIndex, 4);
    EXPECT_EQ(wang.SelectedIndex, 3);
    ASSERT_EQ(wang.Children.size(), 2u);
    EXPECT_EQ(wang.Children[0].Text, "甲（一路）");
    EXPECT_EQ(*wang.Children[0].Data, TTreeData("5", "甲（一路）"));
    EXPECT_EQ(wang.Children[1].Data->ID, "9");
    EXPECT_EQ(wang.Children[1].ImageIndex, 2);
    EXPECT_EQ(wang.Children[1].SelectedIndex, 0);
    // The quoted name finds its project; a name in other case and a missing
    // designer join the group the engine compares them equal to.
    ASSERT_EQ(root.Children[1].Children.size(), 2u);
    EXPECT_EQ(root.Children[0].Children.size(), 2u);
    EXPECT_TRUE(root.Expanded);
    EXPECT_TRUE(wang.Expanded);
}

TEST_F(DataModuleTest, ProjectTreeRaisesOnARefusedSelectKeepingWhatItBuilt) {
    Raw("alter table tblProject rename to tblGone");
    TTreeView tree;
    tree.Add("old");
    EXPECT_THROW(dm.LoadProjectTree(tree), EngineError);
    ASSERT_EQ(tree.Items.size(), 1u);
    EXPECT_EQ(tree.Items[0].Text, "装饰工程");
}

} // namespace
} // namespace lty

namespace lty {
namespace {

TEST_F(DataModuleTest, ARefusedSaveSaysSoWithTheEnginesReason) {
    // Stands in for a full disk or a read-only file: the engine refuses the write.
    RefuseOn("tblProject", "insert", "disk I/O error");
    TREC_PROJECT r = FullRecord();
    messages.Shown.clear();
    EXPECT_FALSE(dm.StoreProject(r, SaveModeInsert));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"保存工程失败，数据未保存！\ndisk I/O error"});
    EXPECT_EQ(r.IntID, 0);
    EXPECT_EQ(RawCount("tblProject"), 0);

    StopRefusing("tblProject", "insert");
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    RefuseOn("tblProject", "update", "attempt to write a readonly database");
    r.SetcharCustomer("改过的");
    messages.Shown.clear();
    EXPECT_FALSE(dm.StoreProject(r, SaveModeUpdate));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"保存工程失败，数据未保存！\nattempt to write a readonly database"});
    EXPECT_NE(RawText("select charCustomer from tblProject"), "改过的");
}

// The server stores a save and its answer never arrives: the connection is
// lost between the commit and the reply. The program reads the row again
// and says what the database now holds.
TEST_F(DataModuleTest, ASaveWhoseAnswerWasLostSaysWhetherItWasStored) {
    if (!test::TestOnServer()) GTEST_SKIP() << "a server's connection";
    auto* engine = dynamic_cast<PgEngine*>(dm.ADOMain.Engine());
    ASSERT_NE(engine, nullptr);
    // Armed for the next commit: waits for the server's answer (so the
    // commit is done), swallows it, drops the connection, then lets
    // `meanwhile` happen on the server before the program looks again.
    bool armed = false;
    std::function<void()> meanwhile;
    engine->SetCommitSentHook([&](int socket) {
        if (!armed) return;
        armed = false;
        pollfd p{socket, POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 10000), 1);
        char buffer[256];
        while (recv(socket, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
        }
        shutdown(socket, SHUT_RDWR);
        if (meanwhile) meanwhile();
    });
    const std::string confirmed = "工程已保存（连接中断后已确认）";

    // An insert and an update that the server stored: saved, and said so.
    TREC_PROJECT r = FullRecord();
    armed = true;
    messages.Shown.clear();
    EXPECT_TRUE(dm.StoreProject(r, SaveModeInsert));
    EXPECT_FALSE(armed);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{confirmed});
    ASSERT_GT(r.IntID, 0) << "the window goes on updating the stored row";
    ExpectSameRecord(*dm.LoadProject(std::to_string(r.IntID)), r);

    TREC_PROJECT loaded = r;
    r.SetcharQuotation("1@卧室@@@@@");
    armed = true;
    messages.Shown.clear();
    EXPECT_TRUE(dm.StoreProject(r, SaveModeUpdate, &loaded));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{confirmed});
    EXPECT_EQ(RawText("select charQuotation from tblProject"), "1@卧室@@@@@");

    // The row no longer holds what was sent (here another program saved it
    // at once): not this window's save.
    loaded = r;
    r.SetcharQuotation("1@书房@@@@@");
    meanwhile = [&] { Raw("update tblProject set charQuotation='1@厨房@@@@@'"); };
    armed = true;
    messages.Shown.clear();
    EXPECT_FALSE(dm.StoreProject(r, SaveModeUpdate, &loaded));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts().front().rfind("保存工程失败，数据未保存！\n", 0), 0u) << messages.Texts().front();

    // The database cannot be asked again: neither saved nor failed is said.
    const std::string admin = test::TestServer();
    const std::string name = dir.Server()->Name();
    meanwhile = [&] { PgConnection(admin).Exec("alter database " + name + " allow_connections false"); };
    TREC_PROJECT other = FullRecord();
    other.SetcharProjectID("P002");
    armed = true;
    messages.Shown.clear();
    EXPECT_FALSE(dm.StoreProject(other, SaveModeInsert));
    PgConnection(admin).Exec("alter database " + name + " allow_connections true");
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts().front().rfind("与数据库的连接已中断，无法确认工程是否已保存！", 0), 0u)
        << messages.Texts().front();
    EXPECT_EQ(RawCount("tblProject where charProjectID='P002'"), 1) << "stored after all";
}

TEST_F(DataModuleTest, AnUnreadableDateStillOpensTheProject) {
    LTY_FILE_ENGINE_ONLY(); // a server's date column holds dates only
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,dateSignDate,dateStartDate,dateEndDate) "
        "values(5,'X','张三','下周二','2009-06-22','2009-08-31 10:30:00')");
    const auto r = dm.LoadProject("5");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->charCustomer, "张三");
    EXPECT_EQ(r->dateSignDate, "下周二"); // the window reports it and shows today
    EXPECT_EQ(r->dateStartDate, "2009-6-22");
    EXPECT_EQ(r->dateEndDate, "2009-8-31"); // a stored time of day is no part of the date
}

} // namespace
} // namespace lty
