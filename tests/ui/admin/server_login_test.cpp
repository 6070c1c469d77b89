// On a server, 系统管理 asks for the administrator's login after its own
// password, writes through that login, and lets it go when it closes.
#include "tests/ui/admin/admin_fixture.h"
#include "ui/admin/reference_pages.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/admin/system_window.h"

namespace lty {
namespace {

using ServerLogin = test::AdminTest;

TEST_F(ServerLogin, SystemManagementWritesAsTheAdministratorItAskedForUntilItCloses) {
    if (!test::TestOnServer()) GTEST_SKIP() << "the login is asked on a server only";
    // The program as the designers run it: their role may not write the company row.
    test::WriteServerConf(dir.Dir(), dir.Server()->AppConninfo());
    dm = std::make_unique<TDM>(messages, dir.Dir());
    ASSERT_TRUE(dm->Connected());
    DM = dm.get();
    SetPresetManagerLogin(std::nullopt);
    struct RestorePreset {
        ~RestorePreset() { SetPresetManagerLogin(ManagerLogin{"lty_admin", "test"}); }
    } restore;

    // Cancelled: no window, no connection.
    QTimer::singleShot(0, [] {
        auto* pw = qobject_cast<TFrmPassWord*>(QApplication::activeModalWidget());
        ASSERT_NE(pw, nullptr);
        QTest::keyClicks(pw->Edit1, QStringLiteral("admin"));
        QTimer::singleShot(0, [] {
            auto* login = qobject_cast<TFrmServerLogin*>(QApplication::activeModalWidget());
            ASSERT_NE(login, nullptr);
            login->Button2->click();
        });
        QTest::keyClick(pw->Edit1, Qt::Key_Return);
    });
    N20Click(nullptr, hooks);
    EXPECT_EQ(FrmSystem(), nullptr);
    EXPECT_FALSE(ManagerSessionOpen());

    // A designer's login is refused in words, the dialog stays; the
    // administrator's opens the window.
    bool keptOpen = false;
    QString offeredUser;
    QTimer::singleShot(0, [&] {
        auto* pw = qobject_cast<TFrmPassWord*>(QApplication::activeModalWidget());
        ASSERT_NE(pw, nullptr);
        QTest::keyClicks(pw->Edit1, QStringLiteral("admin"));
        QTimer::singleShot(0, [&] {
            auto* login = qobject_cast<TFrmServerLogin*>(QApplication::activeModalWidget());
            ASSERT_NE(login, nullptr);
            EXPECT_EQ(login->windowTitle(), QStringLiteral("服务器管理员登录"));
            EXPECT_EQ(login->EditPassword->echoMode(), QLineEdit::Password);
            EXPECT_EQ(login->EditPassword->accessibleName(), QStringLiteral("密码"));
            offeredUser = login->EditUser->text();
            login->EditUser->setText(QStringLiteral("lty_app"));
            QTest::keyClicks(login->EditPassword, QStringLiteral("x"));
            QTest::keyClick(login->EditPassword, Qt::Key_Return);
            keptOpen = login->isVisible() && login->EditPassword->text().isEmpty();
            login->EditUser->setText(QStringLiteral("lty_admin"));
            QTest::keyClicks(login->EditPassword, QStringLiteral("test"));
            QTest::keyClick(login->EditPassword, Qt::Key_Return);
        });
        QTest::keyClick(pw->Edit1, Qt::Key_Return);
    });
    N20Click(nullptr, hooks);
    EXPECT_EQ(offeredUser, QStringLiteral("lty_admin"));
    EXPECT_TRUE(keptOpen);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_NE(messages.Shown[0].Text.find("用户 lty_app 不是服务器管理员"), std::string::npos)
        << messages.Shown[0].Text;
    ASSERT_NE(FrmSystem(), nullptr);
    ASSERT_TRUE(FrmSystem()->isVisible());
    ASSERT_TRUE(ManagerSessionOpen());
    EXPECT_NE(&AdminData(), DM);

    TCompanyPage* page = FrmSystem()->TabSheet4;
    page->Edit7->setText(QStringLiteral("岚庭雅装饰（总店）"));
    page->Button4Click();
    EXPECT_EQ(messages.Texts().back(), "保存成功！");
    EXPECT_EQ(dm->LoadCompanyInfo().Name, "岚庭雅装饰（总店）");

    // Closed: the login is gone; the designers' own connection still may not write.
    FrmSystem()->close();
    EXPECT_FALSE(ManagerSessionOpen());
    EXPECT_EQ(&AdminData(), DM);
    TCompanyInfo info = dm->LoadCompanyInfo();
    info.SetName("改不了");
    EXPECT_FALSE(dm->UpdateCompanyInfo(&info));
}

} // namespace
} // namespace lty
