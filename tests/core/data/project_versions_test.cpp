// The versions of a signed quotation are written in the save's own
// transaction: both or neither, and never over a version another program
// stored meanwhile.
#include "tests/core/data/data_module_fixture.h"

namespace lty {
namespace {

using test::DataModuleTest;

TREC_PROJECT Signed() {
    TREC_PROJECT r;
    r.SetcharProjectID("QY-7");
    r.SetcharCustomer("赵女士");
    r.SetblnSignContract(true);
    r.SetcharQuotation("10@客厅@@@@@@墙面@18@30@平米@540.00@");
    r.SetnumContractPrice(540);
    return r;
}

TDM::ProjectVersion VersionOf(std::int32_t project, int number, const std::string& snapshot) {
    return {0, project, number, "2024-5-6 14:03", 603.09, snapshot};
}

TEST_F(DataModuleTest, AVersionIsStoredWithItsProjectOrNotAtAll) {
    TREC_PROJECT r = Signed();
    std::int32_t seen = -1;
    // A new project signed at its first save: version 0 gets the new row's id.
    dm.SaveAlongside = [&](std::int32_t id) {
        seen = id;
        return dm.InsertProjectVersion(VersionOf(id, 0, "快照'0\n第二行"));
    };
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert)) << (messages.Texts().empty() ? "" : messages.Texts()[0]);
    EXPECT_EQ(seen, r.IntID);
    auto versions = dm.LoadProjectVersions(r.IntID);
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(versions[0].Version, 0);
    EXPECT_EQ(versions[0].DateCreated, "2024-5-6 14:03");
    EXPECT_DOUBLE_EQ(versions[0].Total, 603.09);
    EXPECT_EQ(versions[0].Snapshot, ""); // the list reads no snapshots
    ASSERT_TRUE(dm.LoadProjectVersion(r.IntID, 0));
    EXPECT_EQ(dm.LoadProjectVersion(r.IntID, 0)->Snapshot, "快照'0\n第二行");
    EXPECT_FALSE(dm.LoadProjectVersion(r.IntID, 1));

    // A version number already taken (another program stored its change
    // order first): the project's save goes back too, and says why.
    r.SetcharQuotation("10@客厅@@@@@@墙面@18@31@平米@558.00@");
    messages.Shown.clear();
    dm.SaveAlongside = [&](std::int32_t id) { return dm.InsertProjectVersion(VersionOf(id, 0, "又一个签约版")); };
    EXPECT_FALSE(dm.StoreProject(r, SaveModeUpdate));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("保存工程失败，数据未保存！"), std::string::npos);
    EXPECT_NE(messages.Texts()[0].find("已被其他用户更新"), std::string::npos);
    EXPECT_EQ(RawText("select charQuotation from tblProject"), "10@客厅@@@@@@墙面@18@30@平米@540.00@");
    EXPECT_EQ(RawCount("TBLPROJECTVERSION"), 1);

    // A refused insert of the version: the same.
    RefuseOn("TBLPROJECTVERSION", "INSERT");
    dm.SaveAlongside = [&](std::int32_t id) { return dm.InsertProjectVersion(VersionOf(id, 1, "增减项")); };
    EXPECT_FALSE(dm.StoreProject(r, SaveModeUpdate));
    EXPECT_EQ(RawText("select charQuotation from tblProject"), "10@客厅@@@@@@墙面@18@30@平米@540.00@");
    StopRefusing("TBLPROJECTVERSION", "INSERT");

    // The next one in turn goes in with the project.
    ASSERT_TRUE(dm.StoreProject(r, SaveModeUpdate));
    dm.SaveAlongside = nullptr;
    versions = dm.LoadProjectVersions(r.IntID, true);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(versions[1].Version, 1);
    EXPECT_EQ(versions[1].Snapshot, "增减项");
    EXPECT_EQ(RawText("select charQuotation from tblProject"), "10@客厅@@@@@@墙面@18@31@平米@558.00@");
    EXPECT_TRUE(dm.LoadProjectVersions(r.IntID + 1).empty());
}

} // namespace
} // namespace lty
