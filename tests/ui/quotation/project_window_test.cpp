// Project windows: the information page, saving and reopening, the save
// mode each window keeps, the question about unsaved changes, the
// house-type route.
#include "tests/ui/shell/main_window_fixture.h"
#include "ui/shell/new_project_dialog.h"
#include "ui/quotation/house_type_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace lty::test {
namespace {

class ProjectWindowTest : public MainWindowTest {
protected:
    // Types the way a user does: into the focused box, key by key.
    static void Type(QWidget* w, const QString& text) {
        Focus(w);
        TypeText(w, text);
    }
    static void Fill(TFrmProject_Detail* w, const QString& customer, const QString& number) {
        Type(w->Edit1, customer);
        Type(w->Edit2, number);
    }
    // The window's save, as the tool bar runs it on the active window.
    void Save(TFrmProject_Detail* w) {
        frm->MdiArea()->setActiveSubWindow(w);
        frm->SaveProject->trigger();
    }
};

TEST_F(ProjectWindowTest, ANewWindowStartsBlankWithTheFirstDesigner) {
    TFrmProject_Detail* w = NewBlank();
    EXPECT_EQ(w->PageControl1->currentWidget(), w->TabSheet1);
    EXPECT_EQ(w->PageControl1->tabText(0), "工程信息");
    EXPECT_EQ(w->PageControl1->tabText(1), "报价明细");
    EXPECT_EQ(w->PageControl1->tabPosition(), QTabWidget::South);
    EXPECT_EQ(w->QuotationTab()->layout()->contentsMargins(), QMargins());
    EXPECT_TRUE(w->isMaximized());
    EXPECT_EQ(w->ComboBox1->currentText(), "一室");
    EXPECT_EQ(w->ComboBox1->count(), 12);
    EXPECT_EQ(w->ComboBox2->currentText(), "简装");
    EXPECT_EQ(w->ComboBox3->currentText(), "张明");
    EXPECT_EQ(w->ComboBox3->count(), 3);
    EXPECT_EQ(w->Edit5->text(), "0");
    EXPECT_EQ(w->Edit7->text(), "0");
    EXPECT_EQ(w->Edit8->text(), "0.00");
    EXPECT_EQ(w->Edit9->text(), "0.00");
    // Computed, so not typed into, yet reached by the keyboard and read out.
    EXPECT_TRUE(w->Edit8->isReadOnly() && w->Edit8->isEnabled());
    EXPECT_TRUE(w->Edit9->isReadOnly() && w->Edit9->isEnabled());
    EXPECT_EQ(w->Label16->text(), "0.00");
    EXPECT_EQ(w->Label16->accessibleName(), "项目总价（元）：0.00");
    EXPECT_EQ(w->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_FALSE(w->CheckBox1->isChecked());
    EXPECT_EQ(w->ProjectRecord(), nullptr);
    EXPECT_FALSE(w->IsModified());
    EXPECT_EQ(w->Edit5->accessibleName(), "装饰面积");

    // The keyboard walks the page in its rows' order; the discount's figure
    // is passed over while there is no discount.
    const std::vector<QWidget*> order = {
        w->Edit1,      w->Edit2,           w->Edit3,       w->Edit4,           w->ComboBox1,
        w->ComboBox2,  w->Edit5,           w->ComboBox3,   w->Edit6,           w->DateTimePicker1,
        w->Edit7,      w->Memo1,           w->CheckBox1,   w->Edit8,           w->Edit9,
        w->EditOverheadRate, w->EditTaxRate, w->ComboDiscountKind, w->EditDiscount, w->Label16};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget* next = order[i - 1];
        do next = next->nextInFocusChain();
        while (next->focusProxy() || !(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled() ||
               next->isAncestorOf(order[i - 1]) || order[i - 1]->isAncestorOf(next));
        EXPECT_EQ(next, order[i]) << i;
    }
}

TEST_F(ProjectWindowTest, NumberBoxesTakeDigitsAndPointsAndGetZeroWhenLeftEmpty) {
    TFrmProject_Detail* w = NewBlank();
    w->Edit5->clear();
    Type(w->Edit5, "a1二2.5x");
    EXPECT_EQ(w->Edit5->text(), "12.5");
    QTest::keyClick(w->Edit5, Qt::Key_Backspace);
    EXPECT_EQ(w->Edit5->text(), "12.");

    w->Edit7->clear();
    Focus(w->Edit7);
    Focus(w->Edit1);
    EXPECT_EQ(w->Edit7->text(), "0");
    w->Edit7->setText(QStringLiteral("  "));
    Focus(w->Edit7);
    Focus(w->Memo1);
    EXPECT_EQ(w->Edit7->text(), "0");

    // Two points can be typed; the save then stops with the number message.
    Fill(w, "王先生", "P1");
    w->Edit5->clear();
    Type(w->Edit5, "1.2.3");
    EXPECT_EQ(w->Edit5->text(), "1.2.3");
    frm->SaveProject->trigger();
    ASSERT_FALSE(messages.Shown.empty());
    EXPECT_EQ(messages.Shown.back().Text, "'1.2.3' is not a valid floating point value");
    EXPECT_EQ(w->ProjectRecord(), nullptr);
    EXPECT_EQ(ProjectRows(), 0);
    EXPECT_TRUE(w->IsModified());
}

TEST_F(ProjectWindowTest, SavedProjectAppearsUnderItsDesignerAndReopensWithEveryField) {
    TFrmProject_Detail* w = NewBlank();
    Fill(w, "王先生", "LTY-001");
    Type(w->Edit3, "文一路18号");
    Type(w->Edit4, "13900000000");
    w->ComboBox1->setCurrentIndex(4);
    w->ComboBox2->setEditText(QStringLiteral("新中式"));
    w->Edit5->clear();
    Type(w->Edit5, "86.4");
    w->ComboBox3->setCurrentIndex(1);
    Type(w->Edit6, "13805710002");
    w->DateTimePicker1->setDate(QDate(2009, 6, 22));
    w->Edit7->clear();
    Type(w->Edit7, "5000");
    Type(w->Memo1, "简约\n明亮");
    QTest::mouseClick(w->CheckBox1, Qt::LeftButton, {}, QPoint(5, w->CheckBox1->height() / 2));
    EXPECT_TRUE(w->CheckBox1->isChecked());
    EXPECT_TRUE(w->IsModified());

    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"新加工程成功！"});
    EXPECT_FALSE(w->IsModified());
    ASSERT_NE(Node(frm->TreeView1, "李婷"), nullptr);
    EXPECT_EQ(Children(Node(frm->TreeView1, "李婷")), QStringList{"王先生（文一路18号）"});

    // The same window saves again: its own row is updated, not a second one made.
    Type(w->Edit4, "8");
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_EQ(ProjectRows(), 1);
    EXPECT_EQ(RawText("select charCustomerTel from tblProject"), "139000000008");

    // Closed and opened again from the tree: every field comes back.
    w->close();
    Settle();
    OpenFromTree("王先生（文一路18号）");
    TFrmProject_Detail* r = Active();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Caption(), "王先生（文一路18号）");
    EXPECT_EQ(r->Edit1->text(), "王先生");
    EXPECT_EQ(r->Edit2->text(), "LTY-001");
    EXPECT_EQ(r->Edit3->text(), "文一路18号");
    EXPECT_EQ(r->Edit4->text(), "139000000008");
    EXPECT_EQ(r->ComboBox1->currentText(), "两室一厅");
    EXPECT_EQ(r->ComboBox2->currentText(), "新中式");
    EXPECT_EQ(r->Edit5->text(), "86.4");
    EXPECT_EQ(r->ComboBox3->currentText(), "李婷");
    EXPECT_EQ(r->Edit6->text(), "13805710002");
    EXPECT_EQ(r->DateTimePicker1->date(), QDate(2009, 6, 22));
    EXPECT_EQ(r->Edit7->text(), "5000");
    EXPECT_EQ(r->Memo1->toPlainText(), "简约\n明亮");
    EXPECT_TRUE(r->CheckBox1->isChecked());
    EXPECT_EQ(r->Edit8->text(), "0.00");
    EXPECT_EQ(r->Label16->text(), "0.00");
    EXPECT_FALSE(r->IsModified());
    EXPECT_EQ(r->CustomerText(), "王先生");
    EXPECT_EQ(r->DesignerTelText(), "13805710002");
}

TEST_F(ProjectWindowTest, EachWindowKeepsItsOwnSaveModeAndRow) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,dateSignDate) values"
        "(1,'A1','张三','文一路','李婷','2009-06-22'),(2,'B1','李四','古墩路','王磊','2009-06-22')");
    frm->ReloadProjectTree();
    OpenFromTree("张三（文一路）");
    TFrmProject_Detail* opened = Active();

    // "新建装饰工程" afterwards does not turn the opened window into an insert.
    TFrmProject_Detail* fresh = NewBlank();
    EXPECT_EQ(ProjectWindowMode, 0);
    opened->Edit4->setText(QStringLiteral("111"));
    Save(opened);
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_EQ(ProjectRows(), 2);
    EXPECT_EQ(RawText("select charCustomerTel from tblProject where IntID=1"), "111");

    // A window given another project's number never writes over that project.
    opened->Edit2->setText(QStringLiteral("B1"));
    Save(opened);
    EXPECT_EQ(messages.Texts().back(), "工程编号已被修改或与其他工程重复，未能保存！");
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=2"), "李四");
    EXPECT_TRUE(opened->IsModified());

    // A new window inserts, then updates its own row.
    Fill(fresh, "陈先生", "C1");
    Save(fresh);
    EXPECT_EQ(messages.Texts().back(), "新加工程成功！");
    Save(fresh);
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_EQ(ProjectRows(), 3);
    EXPECT_EQ(fresh->Caption(), "陈先生（）") << "named after its project once saved";
}

TEST_F(ProjectWindowTest, ARefusedSaveKeepsTheWindowsChanges) {
    TFrmProject_Detail* w = NewBlank();
    Fill(w, "王先生", "P1");
    Raw(test::RefuseSql(dir.DatabasePath(), "full_disk", "tblProject", "insert", "database or disk is full"));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"保存工程失败，数据未保存！\ndatabase or disk is full"});
    EXPECT_TRUE(w->IsModified());
    EXPECT_EQ(w->SaveMode(), SaveModeInsert);

    // Once the disk has room again the same window inserts.
    Raw(test::StopRefusingSql(dir.DatabasePath(), "full_disk", "tblProject"));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "新加工程成功！");
    EXPECT_EQ(ProjectRows(), 1);
}

TEST_F(ProjectWindowTest, AnUnreadableDateOpensWithTodayAndSaysSo) {
    LTY_FILE_ENGINE_ONLY(); // a server's date column holds dates only
    Raw("insert into "
        "tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,dateSignDate,numContractPrice,"
        "numOverheadExp,numTax,charQuotation) values(1,'A1','张三','文一路','李婷','六月',1234.5,98.76,42.1,"
        "'10@客厅@@@@1234.50@@乳胶漆@12.5@98.76@平米@1234.50@')");
    frm->ReloadProjectTree();
    OpenFromTree("张三（文一路）");
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"'六月' is not a valid date"});
    EXPECT_EQ(w->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_EQ(w->Edit1->text(), "张三");
    // The stored charges show as stored until the quotation changes.
    EXPECT_EQ(w->Label16->text(), "1234.50");
    EXPECT_EQ(w->Edit8->text(), "98.76");
    EXPECT_EQ(w->Grid().BodyRowCount(), 2);
    EXPECT_EQ(w->Grid().Text(1, 3), "乳胶漆");

    // The first change to the quotation brings the computed charges.
    w->Page()->advsg1->SetCurrentCell(1, 3);
    w->Page()->N11->trigger();
    EXPECT_EQ(w->Label16->text(), "0.00");
    EXPECT_EQ(w->Edit8->text(), "0.00");
    EXPECT_EQ(w->Edit9->text(), "0.00");
    EXPECT_TRUE(w->IsModified());
}

// A project saved before figures had a ceiling opens corrected and says so;
// a number box beyond the ceiling stops the save like any other bad number.
TEST_F(ProjectWindowTest, FiguresBeyondTheCeilingAreCorrectedOnOpeningAndRefusedOnSaving) {
    const std::string stored = "1000@客厅@@@@7222222222222220000000000000000.00@@"
                               "乳胶漆@18@401234567890123456789012345678@平米@7222222222222220000000000000000.00@@"
                               "踢脚线@12.5@8@米@100.00@@地砖@100@10@平米@1000.00@";
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,dateSignDate,"
        "numContractPrice,numOverheadExp,numTax,charQuotation) values(1,'A1','张三','文一路','李婷','2009-06-22',"
        "7.22222222222222e30,5.77777777777778e29,2.46277777777778e29,'" +
        stored + "')");
    frm->ReloadProjectTree();
    OpenFromTree("张三（文一路）");
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"报价中有1项明细的数字超出范围，已更正，请核对后保存"
                                                         "（数字最多15位有效数字，数值和金额须小于1万亿）"});
    EXPECT_EQ(w->Grid().Text(3, 3), "0");
    EXPECT_EQ(w->Label16->text(), "1100.00");
    EXPECT_EQ(w->Edit8->text(), "88.00");
    EXPECT_EQ(w->Edit9->text(), "37.51");
    EXPECT_TRUE(w->IsModified());

    messages.Shown.clear();
    w->Edit7->setText(QStringLiteral("12345678901234567890"));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"'12345678901234567890' is not a valid floating point value"
                                                         "（数字最多15位有效数字，数值和金额须小于1万亿）"});
    EXPECT_EQ(RawText("select charQuotation from tblProject"), stored);
    w->Edit7->setText(QStringLiteral("5000"));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts().back(), "修改工程成功！");
    EXPECT_EQ(RawText("select charQuotation from tblProject"),
              "1000@客厅@@@@1100.00@@乳胶漆@18@0@平米@0.00@@踢脚线@12.5@8@米@100.00@@地砖@100@10@平米@1000.00@");
    EXPECT_EQ(RawText("select count(*) from tblProject where numContractPrice=1100 and numEarnest=5000"), "1");
}

TEST_F(ProjectWindowTest, ClosingAWindowWithChangesAsksYesNoCancel) {
    // Unchanged: closes without a word.
    TFrmProject_Detail* quiet = NewBlank();
    quiet->close();
    Settle();
    EXPECT_TRUE(messages.Shown.empty());
    EXPECT_TRUE(frm->ProjectWindows().empty());

    TFrmProject_Detail* w = NewBlank();
    Fill(w, "王先生", "P1");
    const std::string question = "工程「新装饰工程:1」已修改，是否保存？";

    messages.Choices = {Answer::Cancel};
    w->close();
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Kind, "ask3");
    EXPECT_EQ(messages.Shown[0].Text, question);
    EXPECT_EQ(messages.Shown[0].Title, "询问");
    EXPECT_EQ(frm->ProjectWindows().size(), 1u);

    // Yes with a save that is refused keeps the window.
    Raw("insert into tblProject(charProjectID,charCustomer) values('P1','别人')");
    messages.Choices = {Answer::Yes};
    w->close();
    EXPECT_EQ(messages.Texts().back(), "工程编号已存在，请使用其他编号！");
    EXPECT_EQ(frm->ProjectWindows().size(), 1u);

    // Yes with a save that works closes it, saved.
    w->Edit2->setText(QStringLiteral("P2"));
    messages.Choices = {Answer::Yes};
    w->close();
    Settle();
    EXPECT_EQ(messages.Texts().back(), "新加工程成功！");
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(RawText("select charCustomer from tblProject where charProjectID='P2'"), "王先生");
    EXPECT_NE(Node(frm->TreeView1, "王先生（）"), nullptr);

    // No discards.
    TFrmProject_Detail* other = NewBlank();
    Fill(other, "李女士", "P3");
    messages.Choices = {Answer::No};
    other->close();
    Settle();
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(ProjectRows(), 2);
}

TEST_F(ProjectWindowTest, ExitAsksForEachChangedWindowAfterTheExitQuestion) {
    TFrmProject_Detail* a = NewBlank();
    Fill(a, "王先生", "P1");
    NewBlank(); // unchanged: never asked about
    TFrmProject_Detail* c = NewBlank();
    Fill(c, "李女士", "P3");

    // No to the exit question: nothing else is asked.
    messages.Answers = {false};
    frm->ActExit->trigger();
    EXPECT_EQ(messages.Shown.size(), 1u);
    EXPECT_TRUE(frm->isVisible());

    // Cancel on the first changed window stops the exit with every window open.
    messages.Shown.clear();
    messages.Answers = {true};
    messages.Choices = {Answer::Cancel};
    frm->ActExit->trigger();
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"确认退出系统吗？", "工程「新装饰工程:1」已修改，是否保存？"}));
    EXPECT_TRUE(frm->isVisible());
    EXPECT_EQ(frm->ProjectWindows().size(), 3u);

    // Yes saves the first, No discards the third, and the program closes.
    messages.Shown.clear();
    messages.Answers = {true};
    messages.Choices = {Answer::Yes, Answer::No};
    frm->ActExit->trigger();
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"确认退出系统吗？", "工程「新装饰工程:1」已修改，是否保存？",
                                                          "新加工程成功！", "工程「新装饰工程:3」已修改，是否保存？"}));
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(ProjectRows(), 1);
}

TEST_F(ProjectWindowTest, HouseTypeDialogLaysOutSectionsAndKeepsItsCounts) {
    frm->ActNewProject->trigger();
    frm->LastNewProjectDialog()->ListView1->setCurrentRow(1);
    frm->LastNewProjectDialog()->ListView1DblClick();
    TFrmSelectHuxing* d = frm->HouseTypeDialog();
    ASSERT_TRUE(d->isVisible());
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(d->windowTitle(), "户型选择");
    EXPECT_EQ(d->Edit5->text(), "2");
    EXPECT_EQ(d->Edit6->text(), "2");
    EXPECT_EQ(d->Edit2->text(), "1");

    QTest::mouseClick(d->Button1, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), "新装饰工程:1");
    QStringList sections;
    for (int r = 2; r < w->Grid().EndRow(); ++r) sections << QString::fromStdString(w->Grid().Text(1, r));
    EXPECT_EQ(sections, (QStringList{"卧室", "卧室2", "客厅", "卫生间", "厨房", "厨房2", "其他"}));
    EXPECT_EQ(w->Page()->advsg1->Model()->rowCount(), w->Grid().RowCount() - 1) << "the page shows the layout";
    EXPECT_EQ(w->Grid().Text(5, 1), "0.00");
    EXPECT_FALSE(w->IsModified());

    // The dialog comes back with the counts entered last; an empty box gets 0.
    d->show();
    d->Edit5->setText(QStringLiteral("3"));
    d->Edit11->clear();
    Focus(d->Edit11);
    Focus(d->Edit3);
    EXPECT_EQ(d->Edit11->text(), "0");
    d->Button1Click();
    EXPECT_EQ(Active()->Caption(), "新装饰工程:2");
    EXPECT_EQ(Active()->Grid().BodyRowCount(), 7);
    EXPECT_EQ(Active()->Grid().Text(1, 4), "卧室3");
    d->show();
    EXPECT_EQ(d->Edit5->text(), "3");

    // A count that is no whole number: the error, no window, the dialog stays.
    d->Edit4->setText(QStringLiteral("一"));
    QTest::mouseClick(d->Button1, Qt::LeftButton);
    EXPECT_EQ(messages.Texts().back(), "'一' is not a valid integer value");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(frm->ProjectWindows().size(), 2u);
    QTest::mouseClick(d->Button2, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
}

} // namespace
} // namespace lty::test
