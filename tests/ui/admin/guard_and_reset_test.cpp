// The password guard, "系统管理", "系统初始化" with its backup, and the
// backup page's restore.
#include "core/upkeep/backup.h"
#include "core/data/password_hash.h"
#include "tests/ui/admin/admin_fixture.h"
#include "ui/admin/backup_page.h"
#include "ui/admin/system_window.h"

#include <QPushButton>
#include <QStatusBar>

#include <filesystem>
#include <fstream>

namespace lty {
namespace {

namespace fs = std::filesystem;
using GuardAndReset = test::AdminTest;

TEST_F(GuardAndReset, PasswordDialogAcceptsTheStoredPasswordOnly) {
    // A wrong entry keeps the dialog open with the entry selected; spaces
    // around the right one do not matter.
    bool keptOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TFrmPassWord*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("输入密码"));
        EXPECT_EQ(dlg->Edit1->echoMode(), QLineEdit::Password);
        QTest::keyClicks(dlg->Edit1, QStringLiteral("Admin")); // letter case counts
        QTest::keyClick(dlg->Edit1, Qt::Key_Return);
        keptOpen = dlg->isVisible() && dlg->Edit1->selectedText() == QStringLiteral("Admin");
        QTest::keyClicks(dlg->Edit1, QStringLiteral("  admin "));
        QTest::keyClick(dlg->Edit1, Qt::Key_Return);
    });
    EXPECT_TRUE(PasswordGuard(nullptr));
    EXPECT_TRUE(keptOpen);
    EXPECT_TRUE(PasswordAccepted);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"密码错误，请重新输入！"});

    // The next showing starts empty; cancelling leaves the guard closed.
    bool empty = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TFrmPassWord*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        empty = dlg->Edit1->text().isEmpty();
        dlg->close();
    });
    EXPECT_FALSE(PasswordGuard(nullptr));
    EXPECT_TRUE(empty);
    EXPECT_FALSE(PasswordAccepted);
}

TEST_F(GuardAndReset, SystemManagementOpensOnlyBehindTheGuard) {
    AnswerPassword({std::nullopt});
    N20Click(nullptr, hooks);
    EXPECT_EQ(FrmSystem(), nullptr);
    EXPECT_TRUE(messages.Shown.empty());

    AnswerPassword({QStringLiteral("admin")});
    N20Click(nullptr, hooks);
    ASSERT_NE(FrmSystem(), nullptr);
    EXPECT_TRUE(FrmSystem()->isVisible());
    EXPECT_FALSE(FrmSystem()->isModal());
    // Kept above its owner by the window system, not lost behind the main window.
    EXPECT_EQ(FrmSystem()->windowType(), Qt::Dialog);
    FrmSystem()->close();
    EXPECT_EQ(catalogTreeBuilds, 1);

    // Shown again, the same window reads everything anew.
    TFrmSystem* first = FrmSystem();
    Raw("insert into TBLITEM(ITEM_NAME,Parent_ID) values('后加的',0)");
    AnswerPassword({QStringLiteral("admin")});
    N20Click(nullptr, hooks);
    EXPECT_EQ(FrmSystem(), first);
    EXPECT_NE(Node(FrmSystem()->findChild<QTreeWidget*>("TreeView1"), "后加的"), nullptr);
}

TEST_F(GuardAndReset, ResetAsksGuardsBacksUpAndWipes) {
    // No: neither the dialog nor any change.
    messages.Answers = {false};
    N25Click(nullptr, hooks);
    EXPECT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Text, "确认要清空所有的数据吗？");
    EXPECT_EQ(messages.Shown[0].Title, "询问");
    EXPECT_EQ(FrmPassWord(), nullptr);
    EXPECT_EQ(Count("TBLITEM"), 109);
    EXPECT_FALSE(fs::exists(dir.Dir() + "Data/backup"));

    // Yes and a cancelled password: nothing either.
    messages.Answers = {true};
    AnswerPassword({std::nullopt});
    N25Click(nullptr, hooks);
    EXPECT_EQ(messages.Shown.size(), 2u);
    EXPECT_EQ(Count("TBLITEM"), 109);

    messages.Answers = {true};
    AnswerPassword({QStringLiteral("admin")});
    N25Click(nullptr, hooks);
    const auto copies = ListBackups(*dm);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(messages.Texts().back(), "操作成功！数据已备份到：" + copies[0].Path);
    for (const char* t : {"TBLITEM", "TBLPRODUCT", "tblProject", "TMP_Print"}) EXPECT_EQ(Count(t), 0) << t;
    EXPECT_EQ(Count("TBLDESIGNER"), 3);
    EXPECT_EQ(projectTreeBuilds, 1);
    EXPECT_EQ(catalogTreeBuilds, 1);
    // The copy holds everything that was wiped.
    ASSERT_TRUE(RestoreBackup(*dm, copies[0].Path).Ok);
    EXPECT_EQ(Count("TBLITEM"), 109);
}

TEST_F(GuardAndReset, NoResetWithoutABackup) {
    // A file where the backup folder belongs: the copy cannot be written,
    // even for a user whom permissions do not stop.
    fs::create_directories(dir.Dir() + "Data");
    std::ofstream(dir.Dir() + "Data/backup") << "in the way";
    messages.Answers = {true};
    AnswerPassword({QStringLiteral("admin")});
    N25Click(nullptr, hooks);
    EXPECT_EQ(messages.Texts().back(), "备份数据失败，未清空数据！");
    EXPECT_EQ(Count("TBLITEM"), 109);
    EXPECT_EQ(Count("TBLPRODUCT"), 109);
    EXPECT_EQ(projectTreeBuilds + catalogTreeBuilds, 0);
}

TEST_F(GuardAndReset, BackupPageMakesAndRestoresCopies) {
    TFrmSystem frm(nullptr, hooks);
    frm.show();
    TBackupPage* page = frm.TabSheet6;
    EXPECT_EQ(page->lvBackups->topLevelItemCount(), 0);
    page->btnBackup->click();
    ASSERT_EQ(page->lvBackups->topLevelItemCount(), 1);
    EXPECT_EQ(messages.Texts().back().rfind("备份成功！数据已备份到：", 0), 0u);

    Raw("delete from TBLITEM; update TBLCOMPANYINFO set COM_NAME='改过的'");
    CompanyInfo() = dm->LoadCompanyInfo();
    frm.FormShow();
    EXPECT_EQ(Node(frm.findChild<QTreeWidget*>("TreeView1"), "拆除工程"), nullptr);

    // 恢复 without a selection does nothing; then No to the question keeps the data.
    EXPECT_FALSE(page->btnRestore->isEnabled());
    page->lvBackups->setCurrentItem(page->lvBackups->topLevelItem(0));
    EXPECT_TRUE(page->btnRestore->isEnabled());
    messages.Answers = {false};
    page->btnRestore->click();
    EXPECT_NE(messages.Shown.back().Text.find(page->lvBackups->topLevelItem(0)->text(2).toStdString()),
              std::string::npos); // the question names the copy
    EXPECT_EQ(Count("TBLITEM"), 0);

    page->lvBackups->setCurrentItem(page->lvBackups->topLevelItem(0));
    messages.Answers = {true};
    AnswerPassword({QStringLiteral("admin")});
    page->btnRestore->click();
    EXPECT_EQ(messages.Texts().back().rfind("恢复成功！恢复之前的数据已备份到：", 0), 0u);
    EXPECT_EQ(Count("TBLITEM"), 109);
    // Everything shown was read again: shared values, trees, the copies.
    EXPECT_EQ(CompanyInfo().Name, "岚庭雅装饰工程有限公司");
    EXPECT_FALSE(QuotationRemark.empty());
    EXPECT_EQ(projectTreeBuilds, 1);
    EXPECT_EQ(catalogTreeBuilds, 1);
    EXPECT_NE(Node(frm.findChild<QTreeWidget*>("TreeView1"), "拆除工程"), nullptr);
    EXPECT_EQ(page->lvBackups->topLevelItemCount(), 2); // the safety copy joined the list, as the newest first
    EXPECT_NE(messages.Texts().back().find(page->lvBackups->topLevelItem(0)->text(2).toStdString()), std::string::npos);
}

TEST_F(GuardAndReset, TamperedPasswordAndDamagedCopyAreNamedNotTried) {
    // A copy in the folder that is no database: the restore names it and changes nothing.
    TFrmSystem frm(nullptr, hooks);
    frm.show();
    TBackupPage* page = frm.TabSheet6;
    fs::create_directories(dir.Dir() + "Data/backup");
    std::ofstream(dir.Dir() + "Data/backup/LTY-20260101-080000.db", std::ios::binary) << std::string(8192, '\0');
    page->RefreshList();
    ASSERT_EQ(page->lvBackups->topLevelItemCount(), 1);
    page->lvBackups->setCurrentItem(page->lvBackups->topLevelItem(0));
    messages.Answers = {true};
    AnswerPassword({QStringLiteral("admin")});
    page->btnRestore->click();
    EXPECT_EQ(messages.Texts().back(), "备份文件已损坏或不是本程序的数据库，未恢复！\n数据库文件已损坏");
    EXPECT_EQ(Count("TBLITEM"), 109);
    EXPECT_EQ(page->lvBackups->topLevelItemCount(), 1); // no safety copy for a refused restore

    // Cost parameters raised by hand in the stored hash: refused at once, with a reason.
    std::string hash = HashPassword("admin");
    ASSERT_NE(hash.find(",t=2,"), std::string::npos) << hash;
    hash.replace(hash.find(",t=2,"), 5, ",t=4294967295,");
    Raw("update TBLPASSWORD set PSNAME='" + hash + "'");
    messages.Shown.clear();
    AnswerPassword({QStringLiteral("admin"), std::nullopt});
    EXPECT_FALSE(PasswordGuard(nullptr));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"密码数据已损坏，请联系管理员！"});
}

} // namespace
} // namespace lty
