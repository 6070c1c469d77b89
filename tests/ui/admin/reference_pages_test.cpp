// Pages "修改密码", "公司资料管理" and "设计师资料管理".
#include "core/data/password_hash.h"
#include "tests/ui/admin/admin_fixture.h"
#include "ui/admin/password_page.h"
#include "ui/admin/reference_pages.h"
#include "ui/admin/system_window.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace lty {
namespace {

class ReferencePages : public test::AdminTest {
protected:
    std::unique_ptr<TFrmSystem> frm;
    void SetUp() override {
        AdminTest::SetUp();
        frm = std::make_unique<TFrmSystem>(nullptr, hooks);
        frm->show();
    }
    void TearDown() override {
        frm.reset();
        AdminTest::TearDown();
    }
    // Hidden and shown again after the program read its company row anew.
    void Reopen() {
        frm->close();
        CompanyInfo() = dm->LoadCompanyInfo();
        frm->show();
    }
};

TEST_F(ReferencePages, PasswordChangeChecksAndStoresAHash) {
    TPasswordPage* page = frm->TabSheet1;
    EXPECT_EQ(page->Edit1->echoMode(), QLineEdit::Password);
    page->Edit1->setText(QStringLiteral("   "));
    page->Button1->click();
    page->Edit1->setText(QStringLiteral("Neu1"));
    page->Edit2->setText(QStringLiteral("neu1")); // letter case counts
    page->Button1->click();
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"新密码不能为空，请重新输入！", "两次输入的密码不一致，请重新输入！"}));

    // Enter in the first box moves on; Enter in the second saves.
    page->Edit1->setText(QStringLiteral(" Neu1 "));
    page->Edit2->clear();
    QTest::keyClick(page->Edit1, Qt::Key_Return);
    QTest::keyClicks(page->Edit2, QStringLiteral("Neu1"));
    QTest::keyClick(page->Edit2, Qt::Key_Return);
    EXPECT_EQ(messages.Texts().back(), "修改密码成功！");
    EXPECT_TRUE(page->Edit1->text().isEmpty() && page->Edit2->text().isEmpty());
    EXPECT_TRUE(IsPasswordHash(One("select PSNAME from TBLPASSWORD")));

    AnswerPassword({QStringLiteral("admin"), QStringLiteral("Neu1")});
    EXPECT_TRUE(PasswordGuard(nullptr));
    EXPECT_EQ(messages.Texts().back(), "密码错误，请重新输入！"); // the old one no longer opens it

    // Without a password row the change inserts one, so the guard can be passed again.
    Raw("delete from TBLPASSWORD");
    page->Edit1->setText(QStringLiteral("x"));
    page->Edit2->setText(QStringLiteral("x"));
    page->Button1->click();
    EXPECT_EQ(messages.Texts().back(), "修改密码成功！");
    EXPECT_TRUE(dm->CheckPassword("x"));
}

TEST_F(ReferencePages, CompanyBoxesKeepTheirColumnsAcrossAReopen) {
    TCompanyPage* page = frm->TabSheet4;
    EXPECT_EQ(page->Edit7->text(), QStringLiteral("岚庭雅装饰工程有限公司"));
    EXPECT_EQ(page->Edit9->text(), QStringLiteral("陈岚"));           // "联系人：" shows COM_TEL1
    EXPECT_EQ(page->Edit11->text(), QStringLiteral("0571-88887777")); // "联系电话2：" shows COM_PERSON
    EXPECT_EQ(page->Edit9->accessibleName(), QStringLiteral("联系人"));
    const QString values[] = {"新公司", "新地址", "联系人甲", "电话一", "电话二"};
    QLineEdit* boxes[] = {page->Edit7, page->Edit8, page->Edit9, page->Edit10, page->Edit11};
    for (int i = 0; i < 5; ++i) boxes[i]->setText(QStringLiteral(" ") + values[i] + QStringLiteral(" "));
    page->Button4->click();
    EXPECT_EQ(messages.Texts().back(), "保存成功！");
    EXPECT_EQ(CompanyInfo().Name, "新公司");
    EXPECT_EQ(One("select COM_NAME||'|'||COM_ADDRESS||'|'||COM_TEL1||'|'||COM_TEL2||'|'||COM_PERSON from "
                  "TBLCOMPANYINFO"),
              "新公司|新地址|联系人甲|电话一|电话二");
    Reopen();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(boxes[i]->text(), values[i]) << i;

    // With no company row the save inserts it instead of keeping nothing.
    Raw("delete from TBLCOMPANYINFO");
    page->Button4->click();
    EXPECT_EQ(messages.Texts().back(), "保存成功！");
    EXPECT_EQ(Count("TBLCOMPANYINFO"), 1);
}

TEST_F(ReferencePages, DesignersNewSaveCancelAndDelete) {
    TDesignerPage* page = frm->TabSheet5;
    QTableWidget* grid = page->sgDes;
    ASSERT_EQ(grid->columnCount(), 4);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), QStringLiteral("设计师地址"));
    EXPECT_EQ(grid->columnWidth(3), 200);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_TRUE(page->Button5->isEnabled());
    EXPECT_FALSE(page->Button8->isEnabled());

    grid->setCurrentCell(1, 0);
    EXPECT_EQ(page->Edit12->text(), QStringLiteral("李婷"));
    page->Button5->click(); // 新建: empty boxes, 新建 and 取消 alternate
    EXPECT_TRUE(page->Edit12->text().isEmpty() && page->Edit13->text().isEmpty() && page->Edit15->text().isEmpty());
    EXPECT_FALSE(page->Button5->isEnabled());
    EXPECT_TRUE(page->Button8->isEnabled());
    page->Button8->click(); // 取消 brings the current row back
    EXPECT_EQ(page->Edit12->text(), QStringLiteral("李婷"));
    EXPECT_TRUE(page->Button5->isEnabled());
    EXPECT_FALSE(page->Button8->isEnabled());

    // The "地址：" box goes to DESTEL, the "电话：" box to DESADDRESS, and both come back.
    page->Button5->click();
    page->Edit12->setText(QStringLiteral("赵新"));
    page->Edit13->setText(QStringLiteral("文三路1号"));
    page->Edit15->setText(QStringLiteral("13900000000"));
    page->Button6->click();
    EXPECT_EQ(One("select DESTEL||'|'||DESADDRESS from TBLDESIGNER where DESNAME='赵新'"), "文三路1号|13900000000");
    ASSERT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->item(3, 3)->text(), QStringLiteral("13900000000")); // under "设计师电话"
    EXPECT_TRUE(page->Button5->isEnabled());
    Reopen();
    grid->setCurrentCell(3, 1);
    EXPECT_EQ(page->Edit15->text(), QStringLiteral("13900000000"));
    EXPECT_EQ(page->Edit13->text(), QStringLiteral("文三路1号"));

    // 保存 on a picked designer adds a second, identical row.
    page->Button6->click();
    EXPECT_EQ(Count("TBLDESIGNER where DESNAME='赵新'"), 2);

    // 删除: No keeps it, Yes deletes the current row.
    grid->setCurrentCell(0, 0);
    messages.Answers = {false};
    page->Button7->click();
    EXPECT_EQ(messages.Shown.back().Text, "确定删除该记录吗？");
    EXPECT_EQ(Count("TBLDESIGNER"), 5);
    messages.Answers = {true};
    page->Button7->click();
    EXPECT_EQ(messages.Texts().back(), "操作成功!");
    EXPECT_EQ(Count("TBLDESIGNER where DESNAME='张明'"), 0);
    EXPECT_EQ(grid->rowCount(), 4);

    // With no designers only the heading row is left, and 删除 fails.
    Raw("delete from TBLDESIGNER");
    page->RefreshDesignerGrid();
    EXPECT_EQ(grid->rowCount(), 0);
    messages.Answers = {true};
    page->Button7->click();
    EXPECT_EQ(messages.Texts().back(), "操作失败！");
}

} // namespace
} // namespace lty
