// Which engine the program connects to: Data/LTY.db without Data/server.conf,
// the server that file names with it; a failure names the server's reason.
#include "core/data/data_module.h"
#include "core/db/pg_connection.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>

namespace lty {
namespace {

constexpr const char* kFailed = "连接数据库失败，请检查数据库文件！";

TEST(EngineChoice, FileWithoutServerConfAndServerConfWhenPresent) {
    test::TempProgramDir dir(true, true);
    {
        test::ScriptedMessages m;
        TDM dm(m, dir.Dir());
        EXPECT_TRUE(dm.Connected());
        EXPECT_EQ(dm.DatabaseLocationText(), "数据库：本机");
        EXPECT_TRUE(m.Shown.empty());
    }
    if (test::TestServer().empty()) GTEST_SKIP() << "no test server (LTY_TEST_PG)";
    // The file stays where it was, but the server is the one used.
    const test::TempServerDatabase server;
    test::WriteServerConf(dir.Dir(), "# office server\n\n" + server.AppConninfo());
    test::ScriptedMessages m;
    TDM dm(m, dir.Dir());
    ASSERT_TRUE(dm.Connected()) << (m.Shown.empty() ? "" : m.Shown.front().Text);
    EXPECT_EQ(dm.DatabaseLocationText(),
              "数据库：服务器 " + ConninfoValue(server.AppConninfo(), "host") + "/" + server.Name());
    TREC_PROJECT r;
    r.SetcharCustomer("王先生");
    r.SetcharProjectID("S1");
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    EXPECT_EQ(PgConnection(server.AdminConninfo()).Scalar("select charCustomer from tblProject"), "王先生");
}

TEST(EngineChoice, AFailingServerShowsTheMessageAndTheServersReason) {
    test::TempProgramDir dir(false);
    // Nothing listens on port 1: a stopped server, said in the user's words
    // with the server's own reason below.
    test::WriteServerConf(dir.Dir(), "host=127.0.0.1 port=1 dbname=lty user=lty_app connect_timeout=3");
    {
        test::ScriptedMessages m;
        TDM dm(m, dir.Dir());
        EXPECT_FALSE(dm.Connected());
        ASSERT_EQ(m.Shown.size(), 1u);
        const std::string& text = m.Shown.front().Text;
        EXPECT_EQ(text.rfind("无法连接数据库服务器 127.0.0.1:1，请检查服务器是否已启动、网络是否连通。\n", 0), 0u)
            << text;
        EXPECT_NE(text.find("port 1 failed"), std::string::npos) << text;
        EXPECT_EQ(dm.DatabaseLocationText(), "数据库：未连接");
        EXPECT_FALSE(dm.RunStatement("delete from TBLCLASS"));
        EXPECT_EQ(dm.LastError(), "未连接数据库");
    }
    // A server that answers but refuses the login: another remedy, another message.
    if (!test::TestServer().empty()) {
        const std::string server = test::TestServer();
        test::WriteServerConf(dir.Dir(), ConninfoWith(server, "dbname", "lty_no_such_database"));
        test::ScriptedMessages m;
        TDM dm(m, dir.Dir());
        EXPECT_FALSE(dm.Connected());
        ASSERT_EQ(m.Shown.size(), 1u);
        const std::string said = "数据库服务器 " + ConninfoValue(server, "host") + ":" + ConninfoValue(server, "port") +
                                 " 拒绝了连接，请检查数据库名、用户名和密码是否正确。\n";
        EXPECT_EQ(m.Shown.front().Text.rfind(said, 0), 0u) << m.Shown.front().Text;
        EXPECT_NE(m.Shown.front().Text.find("lty_no_such_database"), std::string::npos);
    }
    // A password never stands in the file; nor does a text that is no connection string.
    for (const char* conf :
         {"host=127.0.0.1 dbname=lty user=lty_app password=secret", "# only a remark", "host='unterminated"}) {
        test::WriteServerConf(dir.Dir(), conf);
        test::ScriptedMessages m;
        TDM dm(m, dir.Dir());
        EXPECT_FALSE(dm.Connected()) << conf;
        ASSERT_EQ(m.Shown.size(), 1u) << conf;
        EXPECT_EQ(m.Shown.front().Text.rfind(std::string(kFailed) + "\n", 0), 0u) << m.Shown.front().Text;
    }
}

} // namespace
} // namespace lty
