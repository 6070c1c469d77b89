#include "core/data/data_module.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"
#include "ui/common/application.h"
#include "ui/common/globals.h"
#include "ui/shell/main_window.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace lty {
namespace {

class StartUp : public ::testing::Test {
protected:
    test::ScriptedMessages messages;
    void SetUp() override { SetMessages(&messages); }
    void TearDown() override { SetMessages(nullptr); }
};

TEST_F(StartUp, WithoutDatabaseShowsTheMessageOnceAndTheWindow) {
    test::TempProgramDir dir(false);
    TFrmMain frm;
    EXPECT_EQ(frm.windowTitle().toStdString(), "岚庭雅装饰报价V1.0");
    EXPECT_EQ(frm.StatusPanel(0)->text(), QString());
    EXPECT_EQ(frm.StatusPanel(1)->text().toStdString(), TodayText());
    EXPECT_FALSE(frm.StatusPanel(2)->text().isEmpty());
    EXPECT_FALSE(ProgramDirectory.empty());
    EXPECT_EQ(ProgramDirectory.back(), '/');
    TDM dm(Messages(), dir.Dir());
    EXPECT_FALSE(dm.Connected());
    frm.showMaximized();
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"连接数据库失败，请检查数据库文件！\n找不到数据库文件：" +
                                                         dir.DatabasePath()});
}

TEST_F(StartUp, AServerThatCannotBeReachedIsSaidOnceAndTheStatusBarSaysNotConnected) {
    test::TempProgramDir dir(false);
    // Nothing listens on port 1: a stopped server.
    test::WriteServerConf(dir.Dir(), "host=127.0.0.1 port=1 dbname=lty user=lty_app connect_timeout=3");
    TFrmMain frm;
    TDM dm(Messages(), dir.Dir());
    DM = &dm;
    frm.showMaximized();
    DM = nullptr;
    ASSERT_EQ(messages.Shown.size(), 1u) << "no second box after the connection message";
    const std::string& text = messages.Shown[0].Text;
    const std::string said = "无法连接数据库服务器 127.0.0.1:1，请检查服务器是否已启动、网络是否连通。\n";
    EXPECT_EQ(text.rfind(said, 0), 0u) << text;
    EXPECT_GT(text.size(), said.size()) << "the server's own reason below";
    EXPECT_EQ(frm.StatusPanel(0)->text().toStdString(), "数据库：未连接");
    ASSERT_EQ(frm.TreeView1->topLevelItemCount(), 1);
    EXPECT_EQ(frm.TreeView1->topLevelItem(0)->text(0), "装饰工程");
}

TEST_F(StartUp, WithDatabaseConnectsSilently) {
    test::TempProgramDir dir;
    TFrmMain frm;
    TDM dm(Messages(), dir.Dir());
    EXPECT_TRUE(dm.Connected());
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(StartUp, ExitQuestionNoKeepsTheWindowYesClosesIt) {
    TFrmMain frm;
    frm.show();
    messages.Answers = {false};
    frm.ActExit->trigger();
    EXPECT_TRUE(frm.isVisible());
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Kind, "ask");
    EXPECT_EQ(messages.Shown[0].Text, "确认退出系统吗？");
    EXPECT_EQ(messages.Shown[0].Title, "询问");

    // The window's own close button asks the same question.
    messages.Answers = {false};
    frm.close();
    EXPECT_TRUE(frm.isVisible());
    messages.Answers = {true};
    frm.close();
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(messages.Shown.size(), 3u);
}

class Throwing : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++handled;
            throw std::runtime_error("'abc' is not a valid floating point value");
        }
        return QObject::event(e);
    }
};

TEST_F(StartUp, UncaughtErrorReachesTheGeneralReportAndTheProgramGoesOn) {
    Throwing target;
    QEvent ev(QEvent::User);
    QCoreApplication::sendEvent(&target, &ev);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Text, "'abc' is not a valid floating point value");
    EXPECT_EQ(messages.Shown[0].Title, "岚庭雅装饰报价V1.0");
    EXPECT_EQ(messages.Shown[0].Icon, MessageIcon::Stop);

    // A command that throws from a button click ends; the next event is served.
    QPushButton button(QStringLiteral("命令"));
    QObject::connect(&button, &QPushButton::clicked, [] { throw std::runtime_error("命令失败"); });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(messages.Shown.size(), 2u);
    EXPECT_EQ(messages.Shown[1].Text, "命令失败");
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(target.handled, 2);
    EXPECT_EQ(messages.Shown.size(), 3u);
}

} // namespace
} // namespace lty
