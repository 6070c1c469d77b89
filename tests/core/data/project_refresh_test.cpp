// Two programs on one database: each save leaves a stamp saying when, the
// overwrite question names that time and can load the other's version, and
// a watcher tells one program what the other changed in the trees.
#include "core/data/change_watcher.h"
#include "core/data/data_module.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <thread>

namespace lty {
namespace {

TREC_PROJECT Project(const std::string& number, const std::string& customer) {
    TREC_PROJECT r;
    r.SetcharProjectID(number);
    r.SetcharCustomer(customer);
    r.SetcharAddress("文三路");
    r.SetcharDesigner("张明");
    r.SetcharQuotation("1@客厅@@@@@");
    return r;
}

std::string Raw1(const test::TempProgramDir& dir, const std::string& sql) {
    const auto c = test::RawColumn(dir.DatabasePath(), sql);
    return c.empty() ? std::string("<no row>") : c.front();
}

TEST(ProjectStamp, EverySaveStampsTheProjectAndTheQuestionSaysWhenTheOtherSaved) {
    test::TempProgramDir dir;
    test::ScriptedMessages ma, mb;
    TDM a(ma, dir.Dir());
    TDM b(mb, dir.Dir());
    ASSERT_TRUE(a.Connected() && b.Connected());

    TREC_PROJECT created = Project("P1", "王先生");
    ASSERT_TRUE(a.StoreProject(created, SaveModeInsert, nullptr));
    const std::string id = std::to_string(created.IntID);
    const std::string stamp = "select dateModified from TBLPROJECTSTAMP where IntID=" + id;
    EXPECT_TRUE(std::regex_match(Raw1(dir, stamp), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << Raw1(dir, stamp);
    const char* user = std::getenv("USER");
    EXPECT_EQ(Raw1(dir, "select charModifiedBy from TBLPROJECTSTAMP where IntID=" + id), user ? user : "");

    auto aLoaded = a.LoadProject(id);
    auto bLoaded = b.LoadProject(id);
    TREC_PROJECT aSaved = *aLoaded;
    aSaved.SetcharCustomerTel("139");
    ASSERT_TRUE(a.StoreProject(aSaved, SaveModeUpdate, aLoaded.get()));
    EXPECT_EQ(Raw1(dir, "select count(*) from TBLPROJECTSTAMP"), "1") << "an update rewrites the one stamp";
    ASSERT_EQ(test::RawExec(dir.DatabasePath(),
                            "update TBLPROJECTSTAMP set dateModified='2026-03-04 09:07:55' where IntID=" + id),
              "");

    // 载入对方版本: nothing written, and the window is told to load the stored one.
    TREC_PROJECT bSaved = *bLoaded;
    bSaved.SetcharCustomerTel("138");
    mb.Picks = {2};
    EXPECT_FALSE(b.StoreProject(bSaved, SaveModeUpdate, bLoaded.get()));
    EXPECT_TRUE(b.OtherVersionWanted());
    ASSERT_EQ(mb.Shown.size(), 1u);
    EXPECT_EQ(mb.Shown[0].Kind, "choose");
    EXPECT_EQ(mb.Shown[0].Text, "该工程已被其他用户于 09:07 修改。是否覆盖对方的修改？");
    EXPECT_EQ(mb.Shown[0].Title, "询问");
    EXPECT_EQ(mb.Offered, (std::vector<std::string>{"是", "否", "载入对方版本"}));
    EXPECT_EQ(Raw1(dir, "select charCustomerTel from tblProject where IntID=" + id), "139");
    EXPECT_EQ(Raw1(dir, stamp), "2026-03-04 09:07:55");

    // A project saved by a program that wrote no stamp: the question without a time; 否.
    ASSERT_EQ(test::RawExec(dir.DatabasePath(), "delete from TBLPROJECTSTAMP"), "");
    mb.Shown.clear();
    mb.Picks = {1};
    EXPECT_FALSE(b.StoreProject(bSaved, SaveModeUpdate, bLoaded.get()));
    EXPECT_FALSE(b.OtherVersionWanted());
    EXPECT_EQ(mb.Texts(), std::vector<std::string>{"该工程已被其他用户修改。是否覆盖对方的修改？"});
    EXPECT_EQ(Raw1(dir, "select charCustomerTel from tblProject where IntID=" + id), "139");

    // 是 overwrites and stamps again.
    mb.Shown.clear();
    mb.Picks = {0};
    EXPECT_TRUE(b.StoreProject(bSaved, SaveModeUpdate, bLoaded.get()));
    EXPECT_FALSE(b.OtherVersionWanted());
    EXPECT_EQ(mb.Texts().back(), "修改工程成功！");
    EXPECT_EQ(Raw1(dir, "select charCustomerTel from tblProject where IntID=" + id), "138");
    EXPECT_EQ(Raw1(dir, "select count(*) from TBLPROJECTSTAMP where IntID=" + id), "1");

    // The stamp goes with its project.
    EXPECT_TRUE(a.DeleteProject(id));
    EXPECT_EQ(Raw1(dir, "select count(*) from TBLPROJECTSTAMP"), "0");
    EXPECT_EQ(Raw1(dir, "select count(*) from tblProject"), "0");
}

// The watcher's first report within a few seconds; none when nothing came.
TreeChanges Await(ChangeWatcher& w, int milliseconds = 3000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        const TreeChanges c = w.Check();
        if (c.Any() || std::chrono::steady_clock::now() > until) return c;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string Seen(const TreeChanges& c) {
    return std::string(c.Projects ? "projects" : "") + (c.Catalog ? " catalog" : "");
}

TEST(ChangeWatcher, TellsOneProgramWhatAnotherChangedInTheTrees) {
    test::TempProgramDir dir;
    test::ScriptedMessages ma, mb;
    TDM a(ma, dir.Dir());
    TDM b(mb, dir.Dir());
    ASSERT_TRUE(a.Connected() && b.Connected());
    ChangeWatcher watcher(a.ADOMain);
    EXPECT_EQ(Seen(watcher.Check()), "");

    // The other program adds, renames and deletes a project.
    TREC_PROJECT added = Project("P1", "王先生");
    ASSERT_TRUE(b.StoreProject(added, SaveModeInsert, nullptr));
    EXPECT_EQ(Seen(Await(watcher)), "projects");
    EXPECT_EQ(Seen(watcher.Check()), "") << "reported once";
    TREC_PROJECT renamed = added;
    renamed.SetcharCustomer("王先生夫妇");
    ASSERT_TRUE(b.StoreProject(renamed, SaveModeUpdate, &added));
    EXPECT_EQ(Seen(Await(watcher)), "projects");
    // A save the trees do not show (a telephone) rebuilds nothing.
    TREC_PROJECT phoned = renamed;
    phoned.SetcharCustomerTel("139");
    ASSERT_TRUE(b.StoreProject(phoned, SaveModeUpdate, &renamed));
    EXPECT_EQ(Seen(Await(watcher, 400)), "");
    ASSERT_TRUE(b.DeleteProject(std::to_string(added.IntID)));
    EXPECT_EQ(Seen(Await(watcher)), "projects");

    // This program's own save: its windows rebuilt their trees already.
    TREC_PROJECT own = Project("P2", "李女士");
    ASSERT_TRUE(a.StoreProject(own, SaveModeInsert, nullptr));
    EXPECT_EQ(Seen(Await(watcher, 400)), "");

    // The catalog: a price, then an entry's name.
    TItemData price = b.GetProduct("3", "");
    price.SetItemID("3");
    price.SetPrice(price.Price + 1);
    ASSERT_TRUE(b.SaveProduct(price));
    EXPECT_EQ(Seen(Await(watcher)), " catalog");
    TITEMREC entry;
    entry.SetID(3);
    entry.SetItemName("新名称");
    ASSERT_TRUE(b.UpdateItem(entry));
    EXPECT_EQ(Seen(Await(watcher)), " catalog");
    EXPECT_EQ(Seen(watcher.Check()), "");
}

} // namespace
} // namespace lty
