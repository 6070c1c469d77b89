// The two roles of a server database: the designers' role reads everything
// and writes only projects and what belongs to them; the administrator's
// role, whose login 系统管理 asks for, writes the rest.
#include "core/data/data_module.h"
#include "core/db/pg_connection.h"
#include "core/upkeep/manager_login.h"
#include "core/upkeep/server_setup.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/server_database.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <unistd.h>

namespace lty {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The server's answer to a write that touches no row (the right is checked
// all the same): "" when allowed, else its message.
std::string Refusal(PgConnection& role, const std::string& sql) {
    try {
        role.Exec(sql);
        return {};
    } catch (const EngineError& e) {
        return e.what();
    }
}

std::vector<std::string> Writes(PgConnection& owner, std::string_view table) {
    const std::string t(table);
    const std::string c =
        owner.Scalar("select attname::text from pg_attribute where attrelid = lower($1)::regclass and attnum = 1", {t});
    return {"insert into " + t + " select * from " + t + " where false",
            "update " + t + " set " + c + " = " + c + " where false", "delete from " + t + " where false"};
}

class ServerRolesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::TestServer().empty()) GTEST_SKIP() << "no test server (LTY_TEST_PG)";
        db = std::make_unique<test::TempServerDatabase>();
    }
    std::unique_ptr<test::TempServerDatabase> db;
};

TEST_F(ServerRolesTest, DesignersAreRefusedEveryWriteOfTheReferenceTablesTheAdministratorIsNot) {
    PgConnection designers(db->AppConninfo());
    PgConnection manager(db->ManagerConninfo());
    for (const auto table : ManagerWrittenTables())
        for (const auto& sql : Writes(manager, table)) {
            EXPECT_NE(Refusal(designers, sql).find("permission denied"), std::string::npos) << sql;
            EXPECT_EQ(Refusal(manager, sql), "") << sql;
        }
    for (const auto table : DesignerWrittenTables())
        for (const auto& sql : Writes(manager, table)) {
            EXPECT_EQ(Refusal(designers, sql), "") << sql;
            EXPECT_EQ(Refusal(manager, sql), "") << sql;
        }
    // Both read everything; a real project row comes and goes as a designer.
    for (const auto table : ManagerWrittenTables())
        EXPECT_EQ(Refusal(designers, "select * from " + std::string(table)), "") << table;
    designers.Exec("insert into tblProject(charProjectID,charCustomer) values('P1','王先生')");
    designers.Exec("update tblProject set charCustomer='李女士' where charProjectID='P1'");
    designers.Exec("insert into TMP_Print(ItemName) values('客厅')");
    designers.Exec("delete from tblProject where charProjectID='P1'");

    // Every table of the database is written by one of the lists, so a
    // table added later cannot end up writable by nobody (or by everyone)
    // unnoticed; the schema version only the upgrade writes.
    std::set<std::string> listed{"tblschemaversion"};
    for (const auto& list : {DesignerWrittenTables(), ManagerWrittenTables()})
        for (const auto t : list) EXPECT_TRUE(listed.insert(Lower(t)).second) << t << " in two lists";
    std::set<std::string> present;
    for (const auto& r : manager.Query("select tablename::text from pg_tables where schemaname = 'public'"))
        present.insert(*r[0]);
    EXPECT_EQ(present, listed);
}

TEST_F(ServerRolesTest, AdministratorsLoginOpensASecondDataModuleThatWritesTheCatalog) {
    test::TempProgramDir dir(false);
    test::WriteServerConf(dir.Dir(), db->AppConninfo());
    test::ScriptedMessages messages;
    TDM designers(messages, dir.Dir());
    ASSERT_TRUE(designers.Connected());
    ASSERT_TRUE(ManagerLoginNeeded(designers));
    TCompanyInfo info = designers.LoadCompanyInfo();
    info.SetName("岚庭雅装饰（新）");
    EXPECT_FALSE(designers.UpdateCompanyInfo(&info)) << "the designers' role changed the company row";
    EXPECT_NE(designers.LastError().find("permission denied"), std::string::npos) << designers.LastError();

    std::string refusal;
    // A designer's login is accepted by the server but is no administrator's.
    EXPECT_EQ(OpenManagerDataModule(designers, messages, {"lty_app", ""}, refusal), nullptr);
    EXPECT_NE(refusal.find("用户 lty_app 不是服务器管理员"), std::string::npos) << refusal;
    // A login the server refuses, and an empty user name.
    EXPECT_EQ(OpenManagerDataModule(designers, messages, {"lty_nobody", "x"}, refusal), nullptr);
    EXPECT_NE(refusal.find("拒绝了管理员登录，请检查用户名和密码是否正确"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("lty_nobody"), std::string::npos) << "the server's own reason goes below: " << refusal;
    EXPECT_EQ(OpenManagerDataModule(designers, messages, {"", "x"}, refusal), nullptr);
    EXPECT_EQ(refusal, "请输入服务器管理员的用户名！");
    EXPECT_TRUE(messages.Shown.empty()) << messages.Shown.front().Text;

    auto manager = OpenManagerDataModule(designers, messages, {"lty_admin", "test"}, refusal);
    ASSERT_NE(manager, nullptr) << refusal;
    EXPECT_TRUE(manager->UpdateCompanyInfo(&info));
    EXPECT_TRUE(manager->UpdatePassword("新密码"));
    EXPECT_EQ(designers.LoadCompanyInfo().Name, "岚庭雅装饰（新）");
    EXPECT_TRUE(designers.CheckPassword("新密码"));
    EXPECT_EQ(ConninfoValue(manager->ADOMain.ServerConninfo(), "user"), "lty_admin");

    // On the database file nothing is asked.
    test::TempProgramDir file(true, true);
    TDM local(messages, file.Dir());
    EXPECT_FALSE(ManagerLoginNeeded(local));
}

TEST(ServerSetUp, ANewRoleIsNeverMadeWithoutAPasswordAndNothingChanges) {
    if (test::TestServer().empty()) GTEST_SKIP() << "no test server (LTY_TEST_PG)";
    const std::string suffix = std::to_string(::getpid());
    ServerSetup setup;
    setup.AdminConninfo = test::TestServer();
    setup.Database = "lty_test_nopassword_" + suffix;
    setup.AppRole = "lty_test_designers_" + suffix;
    setup.ManagerRole = "lty_test_manager_" + suffix;
    setup.AppPassword = "secret";
    PgConnection admin(test::TestServer());
    try {
        SetUpServerDatabase(setup, [](const std::string&) {});
        ADD_FAILURE() << "made the administrator's role without a password";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("set LTY_ADMIN_PASSWORD"), std::string::npos) << e.what();
    }
    EXPECT_EQ(admin.Scalar("select count(*) from pg_database where datname = $1", {setup.Database}), "0");
    EXPECT_EQ(
        admin.Scalar("select count(*) from pg_roles where rolname in ($1, $2)", {setup.AppRole, setup.ManagerRole}),
        "0");
    setup.AppRole = setup.ManagerRole = "lty_test_same_" + suffix;
    EXPECT_THROW(SetUpServerDatabase(setup, [](const std::string&) {}), EngineError);
}

} // namespace
} // namespace lty
