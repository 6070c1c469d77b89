// The main window over a database that other programs share: the status bar
// names it, and saving a project that another program saved since this
// window opened it asks first.
#include "tests/ui/shell/main_window_fixture.h"

#include "core/db/pg_connection.h"

#include <QLabel>
#include <QLineEdit>

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

    // 否 keeps the other's version, and this window stays unsaved. The
    // question says when the other program saved.
    const std::string when = RawText("select dateModified from TBLPROJECTSTAMP where IntID=7").substr(11, 5);
    const std::string question = "该工程已被其他用户于 " + when + " 修改。是否覆盖对方的修改？";
    frm->ActiveProjectWindow()->SetModified(true);
    messages.Shown.clear();
    messages.Answers = {false};
    EXPECT_FALSE(frm->SaveProjectWindow(frm->ActiveProjectWindow()));
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Kind, "choose");
    EXPECT_EQ(messages.Shown[0].Text, question);
    EXPECT_EQ(messages.Shown[0].Title, "询问");
    EXPECT_TRUE(frm->ActiveProjectWindow()->IsModified());
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=7"), "139");

    // 是 overwrites with this window's version; the next save asks nothing.
    messages.Shown.clear();
    messages.Answers = {true};
    EXPECT_TRUE(frm->SaveProjectWindow(frm->ActiveProjectWindow()));
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{question, "修改工程成功！"}));
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=7"), "138");
    EXPECT_FALSE(frm->ActiveProjectWindow()->IsModified());
    messages.Shown.clear();
    EXPECT_TRUE(frm->SaveProjectWindow(frm->ActiveProjectWindow()));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"修改工程成功！"});
}

TEST_F(MainWindowTest, TheOverwriteQuestionCanLoadTheOtherProgramsVersionIntoTheWindow) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,charCustomerTel) "
        "values(7,'P7','王先生','文三路','张明','138')");
    frm->ReloadProjectTree();
    OpenFromTree("王先生（文三路）");
    TFrmProject_Detail* window = frm->ActiveProjectWindow();
    ASSERT_NE(window, nullptr);
    window->Edit4->setText(QStringLiteral("137"));
    ASSERT_TRUE(window->IsModified());

    // Another program renames the customer and changes the telephone.
    {
        test::ScriptedMessages otherMessages;
        TDM other(otherMessages, dir.Dir());
        auto opened = other.LoadProject("7");
        ASSERT_TRUE(opened);
        TREC_PROJECT changed = *opened;
        changed.SetcharCustomer("王先生夫妇");
        changed.SetcharCustomerTel("139");
        ASSERT_TRUE(other.StoreProject(changed, SaveModeUpdate, opened.get()));
    }
    Raw("update TBLPROJECTSTAMP set dateModified='2026-05-06 14:25:09' where IntID=7");

    // 载入对方版本, then 否 to dropping this window's changes: all stays as it was.
    messages.Shown.clear();
    messages.Picks = {2};
    messages.Answers = {false};
    EXPECT_FALSE(frm->SaveProjectWindow(window));
    ASSERT_EQ(messages.Shown.size(), 2u);
    EXPECT_EQ(messages.Shown[0].Text, "该工程已被其他用户于 14:25 修改。是否覆盖对方的修改？");
    EXPECT_EQ(messages.Offered, (std::vector<std::string>{"是", "否", "载入对方版本"}));
    EXPECT_EQ(messages.Shown[1].Kind, "ask");
    EXPECT_EQ(messages.Shown[1].Text, "载入对方版本将放弃本窗口中未保存的修改，是否继续？");
    EXPECT_EQ(window->Edit4->text(), "137");
    EXPECT_TRUE(window->IsModified());
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=7"), "139");

    // 载入对方版本 and 是: the window shows the stored project, named as it now is.
    messages.Shown.clear();
    messages.Picks = {2};
    messages.Answers = {true};
    EXPECT_FALSE(frm->SaveProjectWindow(window));
    EXPECT_EQ(messages.Shown.size(), 2u);
    EXPECT_EQ(window->Edit4->text(), "139");
    EXPECT_EQ(window->Edit1->text(), "王先生夫妇");
    EXPECT_FALSE(window->IsModified());
    EXPECT_EQ(window->Caption(), "王先生夫妇（文三路）");
    EXPECT_EQ(WindowMenuCaptions(), QStringList{"王先生夫妇（文三路）"});
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=7"), "139");

    // From there on the window saves over its own version without a question.
    window->Edit4->setText(QStringLiteral("136"));
    messages.Shown.clear();
    EXPECT_TRUE(frm->SaveProjectWindow(window));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"修改工程成功！"});
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=7"), "136");
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=7"), "王先生夫妇");
}

} // namespace
} // namespace lty
