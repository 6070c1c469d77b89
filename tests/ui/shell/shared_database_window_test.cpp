// The main window over a database that other programs share: the status bar
// names it, and saving a project that another program saved since this
// window opened it asks first.
#include "tests/ui/shell/main_window_fixture.h"

#include "core/db/pg_connection.h"

#include <QLabel>

namespace lty {
namespace {

using test::MainWindowTest;

TEST_F(MainWindowTest, StatusBarNamesTheDatabaseAndASaveAsksBeforeOverwritingAnotherProgram) {
    if (dir.Server())
        EXPECT_EQ(frm->StatusPanel(0)->text().toStdString(),
                  "数据库：服务器 " + ConninfoValue(dir.Server()->AppConninfo(), "host") + "/" + dir.Server()->Name());
    else
        EXPECT_EQ(frm->StatusPanel(0)->text().toStdString(), "数据库：本机");

    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,charCustomerTel) "
        "values(7,'P7','王先生','文三路','张明','138')");
    frm->ReloadProjectTree();
    OpenFromTree("王先生（文三路）");
    ASSERT_NE(frm->ActiveProjectWindow(), nullptr);

    // Another program on the same database opens and saves the project.
    {
        test::ScriptedMessages otherMessages;
        TDM other(otherMessages, dir.Dir());
        auto opened = other.LoadProject("7");
        ASSERT_TRUE(opened);
        TREC_PROJECT changed = *opened;
        changed.SetcharCustomerTel("139");
        ASSERT_TRUE(other.StoreProject(changed, SaveModeUpdate, opened.get()));
    }

    // 否 keeps the other's version, and this window stays unsaved.
    frm->ActiveProjectWindow()->SetModified(true);
    messages.Shown.clear();
    messages.Answers = {false};
    EXPECT_FALSE(frm->SaveProjectWindow(frm->ActiveProjectWindow()));
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Kind, "ask");
    EXPECT_EQ(messages.Shown[0].Text, "该工程已被其他用户修改。是否覆盖对方的修改？");
    EXPECT_EQ(messages.Shown[0].Title, "询问");
    EXPECT_TRUE(frm->ActiveProjectWindow()->IsModified());
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=7"), "139");

    // 是 overwrites with this window's version; the next save asks nothing.
    messages.Shown.clear();
    messages.Answers = {true};
    EXPECT_TRUE(frm->SaveProjectWindow(frm->ActiveProjectWindow()));
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"该工程已被其他用户修改。是否覆盖对方的修改？", "修改工程成功！"}));
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=7"), "138");
    EXPECT_FALSE(frm->ActiveProjectWindow()->IsModified());
    messages.Shown.clear();
    EXPECT_TRUE(frm->SaveProjectWindow(frm->ActiveProjectWindow()));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"修改工程成功！"});
}

} // namespace
} // namespace lty
