// What copying a project, its templates and repricing keep in the database.
#include "core/data/project_copy.h"
#include "core/text/date_text.h"
#include "tests/core/data/data_module_fixture.h"

namespace lty::test {
namespace {

TEST(ProjectCopy, KeepsTheWorkAndEmptiesTheCustomerAndTheContract) {
    TREC_PROJECT s;
    s.SetIntID(7);
    s.SetcharProjectID("LT-001");
    s.SetcharCustomer("周女士");
    s.SetcharCustomerTel("137");
    s.SetcharAddress("文三路1号");
    s.SetcharCustomerID("330");
    s.SetcharCustomerDemand("多做收纳");
    s.SetnumEarnest(5000);
    s.SetblnSignContract(true);
    s.SetcharContractID("HT-9");
    s.SetnumFirstPayMoney(30000);
    s.SetdateStartDate("2026-3-1");
    s.SetcharWorkLeader("老王");
    s.SetcharQuotation("01@客厅@@@@@@墙@25@40@平米@1000.00@");
    s.SetnumContractPrice(1114.1);
    s.SetnumOverheadExp(80);
    s.SetnumTax(34.1);
    s.SetcharHouseType("三室两厅");
    s.SetnumHouseAcreage(120);
    s.SetcharDesignStyle("现代简约");
    s.SetcharShop("文三店");
    s.SetcharDesigner("李工");
    s.SetcharDesignerTel("139");
    s.SetdateSignDate("2020-1-2");

    s.Rates.OverheadRate = 6;
    s.Rates.DiscountKind = 1;
    s.Rates.DiscountValue = 200;
    s.Rates.Stored = true;
    s.SetcharRooms("ROOMS 1");
    const TREC_PROJECT c = ProjectCopy(s, "2026-12-9");
    EXPECT_EQ(c.Rates.OverheadRate, 6.0);
    EXPECT_EQ(c.Rates.DiscountValue, 200);
    EXPECT_FALSE(c.Rates.Stored);
    EXPECT_EQ(c.charRooms, "ROOMS 1");
    EXPECT_EQ(c.IntID, 0);
    for (const std::string* empty :
         {&c.charProjectID, &c.charCustomer, &c.charCustomerTel, &c.charAddress, &c.charCustomerID,
          &c.charCustomerDemand, &c.charContractID, &c.dateStartDate, &c.charWorkLeader})
        EXPECT_EQ(*empty, "");
    EXPECT_EQ(c.numEarnest, 0);
    EXPECT_EQ(c.numFirstPayMoney, 0);
    EXPECT_FALSE(c.blnSignContract);
    EXPECT_EQ(c.charQuotation, s.charQuotation);
    EXPECT_EQ(c.numContractPrice, 1114.1);
    EXPECT_EQ(c.numOverheadExp, 80);
    EXPECT_EQ(c.numTax, 34.1);
    EXPECT_EQ(c.charHouseType, "三室两厅");
    EXPECT_EQ(c.numHouseAcreage, 120);
    EXPECT_EQ(c.charDesignStyle, "现代简约");
    EXPECT_EQ(c.charShop, "文三店");
    EXPECT_EQ(c.charDesigner, "李工");
    EXPECT_EQ(c.charDesignerTel, "139");
    EXPECT_EQ(c.dateSignDate, "2026-12-9");
}

TEST_F(DataModuleTest, TemplatesAreNamedOnceAndAskBeforeReplacing) {
    // No name, or only blanks: nothing is sent.
    EXPECT_FALSE(dm.SaveTemplate("  ", "q", ""));
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"模板名称不能为空！"});

    messages.Shown.clear();
    ASSERT_TRUE(dm.SaveTemplate(" 三室'两厅 ", "01@客厅@@@@@@墙@25@40@平米@1000.00@", "rooms"));
    ASSERT_TRUE(dm.SaveTemplate("二室", "1@卧室@@@@@", ""));
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"模板「三室'两厅」已保存！", "模板「二室」已保存！"}));
    auto list = dm.LoadTemplates();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Name, "三室'两厅");
    EXPECT_EQ(list[0].DateCreated, TodayText());
    EXPECT_EQ(list[1].Name, "二室");
    const auto kept = dm.LoadTemplate(list[0].ID);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->Quotation, "01@客厅@@@@@@墙@25@40@平米@1000.00@");
    EXPECT_EQ(kept->Rooms, "rooms");

    // The same name: 否 keeps the old one, 是 replaces it; one row either way.
    messages.Shown.clear();
    EXPECT_FALSE(dm.SaveTemplate("二室", "new", ""));
    EXPECT_EQ(dm.LoadTemplate(list[1].ID)->Quotation, "1@卧室@@@@@");
    messages.Answers = {true};
    EXPECT_TRUE(dm.SaveTemplate("二室", "new", "r2"));
    EXPECT_EQ(messages.Shown[0].Text, "已有名为「二室」的模板，是否替换？");
    EXPECT_EQ(messages.Shown[1].Text, "已有名为「二室」的模板，是否替换？");
    EXPECT_EQ(RawCount("TBLTEMPLATE"), 2);
    list = dm.LoadTemplates();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(dm.LoadTemplate(list[1].ID)->Quotation, "new");

    EXPECT_TRUE(dm.DeleteTemplate(list[1].ID));
    EXPECT_FALSE(dm.DeleteTemplate(list[1].ID));
    EXPECT_FALSE(dm.LoadTemplate(list[1].ID));
    EXPECT_EQ(dm.LoadTemplates().size(), 1u);

    // A refused write says so and keeps what was there.
    RefuseOn("TBLTEMPLATE", "insert");
    messages.Shown.clear();
    messages.Answers = {true};
    EXPECT_FALSE(dm.SaveTemplate("三室'两厅", "lost", ""));
    EXPECT_EQ(messages.Shown.back().Text.rfind("保存模板失败！", 0), 0u);
    EXPECT_EQ(dm.LoadTemplate(list[0].ID)->Quotation, "01@客厅@@@@@@墙@25@40@平米@1000.00@");
}

TEST_F(DataModuleTest, PricedCatalogIsReadInOneSelect) {
    Raw("update TBLPRODUCT set ProductPrice=NULL where Product_ID=4");
    trace.clear();
    const auto rows = dm.LoadCatalogPriceRows();
    EXPECT_EQ(trace.size(), 1u);
    EXPECT_EQ(static_cast<int>(rows.size()), RawCount("TBLPRODUCT"));
    bool seen3 = false, seen4 = false;
    for (const auto& r : rows) {
        if (r.Id == "3") {
            seen3 = true;
            EXPECT_EQ(r.Name, "拆除非承重墙体");
            EXPECT_EQ(r.Unit, "平米");
            EXPECT_EQ(r.Price, 45);
        }
        if (r.Id == "4") seen4 = r.Price == 0;
    }
    EXPECT_TRUE(seen3);
    EXPECT_TRUE(seen4);
}

} // namespace
} // namespace lty::test
