// A quotation used again: copied as a new project, kept as a template and
// started from, and brought up to today's catalog prices.
#include "core/quotation/quotation_text.h"
#include "core/text/date_text.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "ui/quotation/reprice_dialog.h"
#include "ui/shell/new_project_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace lty::test {
namespace {

class CopiesTest : public MainWindowTest {
protected:
    // Lines as the catalog tree's double-click adds them, in one room.
    static void AddRoom(QuotationGrid& grid, const std::string& name, const std::vector<std::string>& catalogIds,
                        double count) {
        grid.AddSectionRow();
        grid.SetCellText(1, grid.EndRow() - 1, name);
        const std::vector<std::string> names{
            "", "", "", "拆除非承重墙体", "铲除墙面原有腻子层", "拆除原有地砖", "拆除原有吊顶"};
        for (const std::string& id : catalogIds) {
            const TItemData item = DM->GetProduct(id, names[std::stoul(id)]);
            grid.SetCurrentCell(1, grid.EndRow() - 1);
            grid.AddCatalogEntry({item.ItemName, item.Price, count, item.Unit, 0, item.Spec});
        }
    }
    // A project of 周女士 with its rooms measured, saved; its window stays open.
    TFrmProject_Detail* StoredProject() {
        TFrmProject_Detail* w = NewBlank();
        w->Edit1->setText(QStringLiteral("周女士"));
        w->Edit2->setText(QStringLiteral("LT-018"));
        w->Edit3->setText(QStringLiteral("文三路1号"));
        w->Edit4->setText(QStringLiteral("13700000000"));
        w->Edit7->setText(QStringLiteral("5000"));
        w->ComboBox1->setEditText(QStringLiteral("三室两厅"));
        w->ComboBox2->setEditText(QStringLiteral("现代简约"));
        w->ComboBox3->setEditText(QStringLiteral("李工"));
        AddRoom(w->Grid(), "客厅", {"3", "4", "5"}, 10);
        w->GridChanged();
        EXPECT_TRUE(frm->SaveProjectWindow(w));
        messages.Shown.clear();
        return w;
    }
};

TEST_F(CopiesTest, ACopyIsANewProjectWithTheLinesForAnotherCustomer) {
    TFrmProject_Detail* original = StoredProject();
    const std::string id = std::to_string(original->ProjectRecord()->IntID);
    const std::string quotation = QuotationToText(original->Grid());
    const QString total = original->TotalText();
    const std::string rooms = "ROOMS 1\nR\t0\t客厅\t4200,5100,2800\n";
    Raw("insert into TBLPROJECTROOMS (IntID,charRooms) values (" + id + ",'" + rooms + "')");
    original->close();
    Settle();

    // From the tree's own menu, on the project selected there.
    QTreeWidgetItem* node = Node(frm->TreeView1, QStringLiteral("周女士（文三路1号）"));
    ASSERT_NE(node, nullptr);
    frm->TreeView1->setCurrentItem(node);
    Focus(frm->TreeView1);
    ASSERT_TRUE(frm->PopupMenuTree->actions().contains(frm->ActCopyProject));
    ASSERT_TRUE(frm->MenuProject->actions().contains(frm->ActCopyProject));
    frm->ActCopyProject->trigger();

    TFrmProject_Detail* copy = Active();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->SaveMode(), SaveModeInsert);
    EXPECT_TRUE(copy->IsModified());
    EXPECT_EQ(QuotationToText(copy->Grid()), quotation);
    EXPECT_EQ(copy->Grid().Text(1, 3), "拆除非承重墙体");
    for (QLineEdit* empty : {copy->Edit1, copy->Edit2, copy->Edit3, copy->Edit4}) EXPECT_EQ(empty->text(), "");
    EXPECT_EQ(copy->Edit7->text(), "0");
    EXPECT_FALSE(copy->CheckBox1->isChecked());
    EXPECT_EQ(copy->ComboBox1->currentText(), "三室两厅");
    EXPECT_EQ(copy->ComboBox2->currentText(), "现代简约");
    EXPECT_EQ(copy->ComboBox3->currentText(), "李工");
    EXPECT_EQ(copy->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_EQ(copy->TotalText(), total);
    EXPECT_TRUE(messages.Shown.empty());

    copy->Edit1->setText(QStringLiteral("钱先生"));
    copy->Edit2->setText(QStringLiteral("LT-019"));
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"新加工程成功！"});
    EXPECT_EQ(ProjectRows(), 2);
    const std::string copyId = std::to_string(copy->ProjectRecord()->IntID);
    EXPECT_NE(copyId, id);
    EXPECT_EQ(RawText("select charQuotation from tblProject where IntID=" + copyId), quotation);
    EXPECT_EQ(RawText("select charRooms from TBLPROJECTROOMS where IntID=" + copyId), rooms);
    EXPECT_EQ(RawText("select charCustomer from tblProject where IntID=" + id), "周女士");

    // Without a project anywhere the command says so.
    copy->close();
    Settle();
    frm->TreeView1->clearSelection();
    messages.Shown.clear();
    frm->ActCopyProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"请选择要复制的工程！"});
}

TEST_F(CopiesTest, ATemplateIsOfferedForANewProjectAndCanBeDeletedThere) {
    TFrmProject_Detail* w = NewBlank();
    AddRoom(w->Grid(), "卧室", {"4", "6"}, 12);
    w->GridChanged();
    const std::string quotation = QuotationToText(w->Grid());

    std::vector<QString> names{QStringLiteral("  "), QStringLiteral("两室一厅")};
    frm->AskTemplateName = [&](const QString&) -> std::optional<QString> {
        const QString n = names.front();
        names.erase(names.begin());
        return n;
    };
    frm->ActSaveTemplate->trigger();
    frm->ActSaveTemplate->trigger();
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"模板名称不能为空！", "模板「两室一厅」已保存！"}));
    frm->AskTemplateName = [](const QString&) { return std::optional<QString>(); }; // cancelled
    messages.Shown.clear();
    frm->ActSaveTemplate->trigger();
    EXPECT_TRUE(messages.Shown.empty());

    frm->ActNewProject->trigger();
    TFrmNewProject* dialog = frm->LastNewProjectDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->ListView1->count(), 3);
    EXPECT_EQ(dialog->ListView1->item(2)->text(), "两室一厅");
    EXPECT_FALSE(dialog->BtnDeleteTemplate->isEnabled());
    dialog->ListView1->setCurrentRow(2);
    EXPECT_TRUE(dialog->BtnDeleteTemplate->isEnabled());
    dialog->ListView1DblClick();
    Settle();

    TFrmProject_Detail* fromTemplate = Active();
    ASSERT_NE(fromTemplate, w);
    EXPECT_EQ(QuotationToText(fromTemplate->Grid()), quotation);
    EXPECT_EQ(fromTemplate->TotalText(), w->TotalText());
    EXPECT_NE(fromTemplate->TotalText(), "0.00");
    EXPECT_EQ(fromTemplate->Edit1->text(), "");
    EXPECT_EQ(fromTemplate->SaveMode(), SaveModeInsert);
    EXPECT_TRUE(fromTemplate->IsModified());

    // Deleted from the dialog, after the question.
    frm->ActNewProject->trigger();
    dialog = frm->LastNewProjectDialog();
    dialog->ListView1->setCurrentRow(2);
    messages.Shown.clear();
    dialog->BtnDeleteTemplate->click(); // 否
    EXPECT_EQ(dialog->ListView1->count(), 3);
    messages.Answers = {true};
    QTest::keyClick(dialog->ListView1, Qt::Key_Delete);
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"确认要删除模板「两室一厅」吗？", "确认要删除模板「两室一厅」吗？"}));
    EXPECT_EQ(dialog->ListView1->count(), 2);
    EXPECT_EQ(RawText("select count(*) from TBLTEMPLATE"), "0");
}

TEST_F(CopiesTest, RepriceListsTheChangedLinesAndAppliesTheChosenOnesAsOneUndoStep) {
    TFrmProject_Detail* w = NewBlank();
    AddRoom(w->Grid(), "客厅", {"3", "4", "5", "6"}, 10);
    w->Grid().SetCurrentCell(1, w->Grid().EndRow() - 1);
    w->Grid().AddItemRow({"拆除原有吊顶", 1, 1, "平米", 0, ""}, true); // typed by hand: left alone
    w->Grid().RecalcTotals();
    w->Page()->ReloadFromGrid();
    w->GridChanged();
    const std::string before = QuotationToText(w->Grid());
    const QString totalBefore = w->TotalText();
    ASSERT_EQ(totalBefore, "831.00"); // 450+80+180+120+1

    // Nothing changed yet: nothing to list.
    frm->ActReprice->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"报价中施工项目的价格与目前的价格表一致，无需重新计价。"});
    EXPECT_EQ(frm->LastRepriceDialog(), nullptr);

    Raw("update TBLPRODUCT set ProductPrice=50 where Product_ID=3");
    Raw("update TBLPRODUCT set ProductPrice=7.5 where Product_ID=4");
    Raw("update TBLPRODUCT set ProductPrice=20 where Product_ID=6");
    frm->ActReprice->trigger();
    TFrmReprice* dialog = frm->LastRepriceDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->ChangeList->topLevelItemCount(), 3);
    const auto row = [&](int i) {
        QStringList cells;
        for (int c = 0; c < 8; ++c) cells << dialog->ChangeList->topLevelItem(i)->text(c);
        return cells.join(QLatin1Char('|'));
    };
    EXPECT_EQ(row(0), "拆除非承重墙体|客厅|10|平米|45|50|+5|+50.00");
    EXPECT_EQ(row(1), "铲除墙面原有腻子层|客厅|10|平米|8|7.5|-0.5|-5.00");
    EXPECT_EQ(row(2), "拆除原有吊顶|客厅|10|平米|12|20|+8|+80.00");
    EXPECT_EQ(dialog->TotalLabel->text(), "已选 3 项，合计差额 +125.00 元");
    EXPECT_FALSE(dialog->NoteLabel->isVisible());

    dialog->ChangeList->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(dialog->TotalLabel->text(), "已选 2 项，合计差额 +130.00 元");
    dialog->BtnApply->click();
    Settle();
    EXPECT_EQ(w->Grid().Text(2, 3), "50");
    EXPECT_EQ(w->Grid().Text(5, 3), "500.00");
    EXPECT_EQ(w->Grid().Text(2, 4), "8");
    EXPECT_EQ(w->Grid().Text(2, 6), "20");
    EXPECT_EQ(w->Grid().Text(2, 7), "1"); // the free line
    EXPECT_EQ(w->TotalText(), "961.00");
    EXPECT_TRUE(w->IsModified());

    w->Page()->NUndo->trigger();
    EXPECT_EQ(QuotationToText(w->Grid()), before);
    EXPECT_EQ(w->TotalText(), totalBefore);
}

} // namespace
} // namespace lty::test
