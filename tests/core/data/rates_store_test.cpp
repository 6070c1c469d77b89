// The firm's rates in TBLSETTING and a project's own rates and discount in
// TBLPROJECTRATE: a project that never used them costs no statement and
// leaves no row; one that does keeps its row in step with every save, in the
// project's own transaction.
#include "tests/core/data/data_module_fixture.h"

namespace lty {
namespace {

using test::DataModuleTest;

TREC_PROJECT Project(const std::string& number) {
    TREC_PROJECT r;
    r.SetcharProjectID(number);
    r.SetcharCustomer("王先生");
    r.SetnumContractPrice(25046.1);
    r.SetnumOverheadExp(1903.5);
    r.SetnumTax(811.37);
    return r;
}

TEST_F(DataModuleTest, TheFirmsRatesAreTwoSettingsWithTheDefaultsWhereNoneIsStored) {
    EXPECT_EQ(dm.LoadFirmRates(), (TFirmRates{8, 3.41}));
    ASSERT_TRUE(dm.SaveFirmRates({10, 5.5})) << dm.LastError();
    EXPECT_EQ(RawText("select SETVALUE from TBLSETTING where SETNAME='OverheadRate'"), "10");
    EXPECT_EQ(RawText("select SETVALUE from TBLSETTING where SETNAME='TaxRate'"), "5.5");
    EXPECT_EQ(dm.LoadFirmRates(), (TFirmRates{10, 5.5}));
    ASSERT_TRUE(dm.SaveFirmRates({0, 3.41}));
    EXPECT_EQ(dm.LoadFirmRates(), (TFirmRates{0, 3.41}));
    EXPECT_EQ(RawCount("TBLSETTING"), 2);
    // Out of range: refused before anything is sent.
    trace.clear();
    EXPECT_FALSE(dm.SaveFirmRates({101, 3}));
    EXPECT_FALSE(dm.SaveFirmRates({8, -1}));
    EXPECT_TRUE(trace.empty());
    // A value no program of ours wrote reads as the default.
    Raw("update TBLSETTING set SETVALUE='八' where SETNAME='OverheadRate'");
    EXPECT_EQ(dm.LoadFirmRates(), (TFirmRates{8, 3.41}));
}

TEST_F(DataModuleTest, AProjectsRatesAndDiscountTravelWithItAndLeaveNoRowWhenUnused) {
    // Never used: the save sends what it always sent and the stamp, no rate row.
    TREC_PROJECT plain = Project("P1");
    ASSERT_TRUE(dm.StoreProject(plain, SaveModeInsert));
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[2].rfind("insert into TBLPROJECTSTAMP", 0), 0u);
    EXPECT_EQ(RawCount("TBLPROJECTRATE"), 0);
    const auto loadedPlain = dm.LoadProject(std::to_string(plain.IntID));
    EXPECT_FALSE(loadedPlain->Rates.OverheadRate || loadedPlain->Rates.TaxRate || loadedPlain->Rates.Stored);
    EXPECT_EQ(loadedPlain->Rates.DiscountKind, 0);

    // Its own fee rate, the firm's tax rate (NULL) and 5 % off.
    TREC_PROJECT r = Project("P2");
    r.Rates.OverheadRate = 6;
    r.Rates.DiscountKind = 2;
    r.Rates.DiscountValue = 5;
    r.SetnumDiscount(1252.31);
    trace.clear();
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    ASSERT_EQ(trace.size(), 5u);
    EXPECT_EQ(trace[2], "delete from TBLPROJECTRATE where IntID=" + std::to_string(r.IntID));
    EXPECT_EQ(trace[3], "insert into TBLPROJECTRATE(IntID,numOverheadRate,numTaxRate,intDiscountKind,numDiscountValue) "
                        "values(" +
                            std::to_string(r.IntID) + ",6,NULL,2,5)");
    EXPECT_TRUE(r.Rates.Stored);
    auto loaded = dm.LoadProject(std::to_string(r.IntID));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Rates.OverheadRate, 6.0);
    EXPECT_FALSE(loaded->Rates.TaxRate);
    EXPECT_EQ(loaded->Rates.DiscountKind, 2);
    EXPECT_EQ(loaded->Rates.DiscountValue, 5);
    EXPECT_TRUE(loaded->Rates.Stored);
    EXPECT_EQ(loaded->numDiscount, 1252.31);

    // The row follows a change, and goes when everything is the firm's again;
    // the project's first save after that costs no rate statement.
    loaded->Rates.TaxRate = 3;
    ASSERT_TRUE(dm.StoreProject(*loaded, SaveModeUpdate));
    EXPECT_EQ(dm.LoadProject(std::to_string(r.IntID))->Rates.TaxRate, 3.0);
    loaded->Rates = {};
    loaded->Rates.Stored = true;
    ASSERT_TRUE(dm.StoreProject(*loaded, SaveModeUpdate));
    EXPECT_EQ(RawCount("TBLPROJECTRATE"), 0);
    EXPECT_FALSE(loaded->Rates.Stored);
    trace.clear();
    ASSERT_TRUE(dm.StoreProject(*loaded, SaveModeUpdate));
    EXPECT_EQ(trace.size(), 3u); // the check, the row and the stamp: no rate statement

    // A rate row the database refuses: the project's row is not written
    // either, and the save says so.
    RefuseOn("TBLPROJECTRATE", "insert");
    loaded->Rates.DiscountKind = 1;
    loaded->Rates.DiscountValue = 500;
    loaded->SetcharCustomer("李女士");
    messages.Shown.clear();
    EXPECT_FALSE(dm.StoreProject(*loaded, SaveModeUpdate));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0].rfind("保存工程失败，数据未保存！", 0), 0u);
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=" + std::to_string(r.IntID)), "王先生");
    EXPECT_EQ(RawCount("TBLPROJECTRATE"), 0);

    // The same for a stamp the database refuses: the save is one whole on both engines.
    StopRefusing("TBLPROJECTRATE", "insert");
    RefuseOn("TBLPROJECTSTAMP", "insert");
    messages.Shown.clear();
    EXPECT_FALSE(dm.StoreProject(*loaded, SaveModeUpdate));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0].rfind("保存工程失败，数据未保存！", 0), 0u);
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=" + std::to_string(r.IntID)), "王先生");
    EXPECT_EQ(RawCount("TBLPROJECTRATE"), 0);
}

} // namespace
} // namespace lty
