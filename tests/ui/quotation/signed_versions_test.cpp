// A signed quotation: saved with 已签合同 its lines are kept as signed and
// locked; a change order (增减项) opens them, its save keeps the next
// version, and each version prints from what it kept, however the company
// page and the lines changed since.
#include "core/quotation/quotation_text.h"
#include "core/text/capital_amount.h"
#include "tests/ui/quotation/grid_input.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "ui/print/change_order_print.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"
#include "ui/quotation/project_versions.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <cstdlib>

namespace lty::test {
namespace {

// Picks a version in the information page's list, as a click does.
void Select(TFrmProject_Detail* w, int version) {
    QTreeWidget* list = w->VersionsBox->VersionList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, Qt::UserRole) == version) list->setCurrentItem(list->topLevelItem(i));
}

class SignedVersionsTest : public MainWindowTest {
protected:
    static controls::TextGrid& View(TFrmProject_Detail* w) { return *w->Page()->advsg1; }
    // Every text of the laid-out pages, page by page, in order.
    static QStringList Texts(const report::LaidOutReport& pages, const QString& band = {}) {
        QStringList out;
        for (const auto& page : pages.Pages)
            for (const auto& item : page.Items)
                if (item.Type == report::Primitive::Kind::Text && (band.isEmpty() || item.Band == band))
                    out << item.Text;
        return out;
    }
    QString Hint() const { return frm->statusBar()->currentMessage(); }
};

TEST_F(SignedVersionsTest, SignLockChangeOrderSaveAndTheSignedVersionStillPrintsAsSigned) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,dateSignDate,"
        "numContractPrice,numOverheadExp,numTax,charQuotation) values(1,'A1','张三','文一路','李婷','2009-6-22',"
        "1000,80,34.1,'100@客厅@@@@1000.00@@墙面乳胶漆@18@30@平米@540.00@两遍面漆@踢脚线@46@10@米@460.00@实木')");
    frm->ReloadProjectTree();
    OpenFromTree("张三（文一路）");
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    controls::TextGrid& v = View(w);
    EXPECT_FALSE(w->Page()->LinesLocked());
    EXPECT_FALSE(w->VersionsBox->BtnNewChangeOrder->isEnabled()) << "nothing signed, nothing to change";

    // Sign and save: version 0 in the same save, the lines locked.
    QTest::mouseClick(w->CheckBox1, Qt::LeftButton);
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"修改工程成功！"});
    EXPECT_EQ(RawText("select count(*) from TBLPROJECTVERSION where ProjectIntID=1 and intVersion=0"), "1");
    EXPECT_EQ(RawText("select numTotal from TBLPROJECTVERSION"), "1114.1");
    EXPECT_TRUE(w->Page()->LinesLocked());
    EXPECT_TRUE(w->Page()->VersionBar->isVisibleTo(w->Page()));
    EXPECT_EQ(w->Page()->VersionLabel->text(), "已签合同，请新建增减项后修改");
    const std::string signedText = QuotationToText(w->Grid());

    // Every way into the lines is refused, each with the hint.
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    EXPECT_EQ(StartTyping(v, 3, 3, QStringLiteral("99")), nullptr);
    EXPECT_EQ(Hint(), "已签合同，请新建增减项后修改");
    frm->statusBar()->clearMessage();
    ClickCell(v, 1, 3);
    QTest::keyClick(&v, Qt::Key_Delete);
    EXPECT_EQ(Hint(), "已签合同，请新建增减项后修改");
    frm->statusBar()->clearMessage();
    CatalogLine entry;
    entry.ItemName = "吊顶";
    entry.Price = 95;
    entry.Count = 1;
    EXPECT_FALSE(w->AddCatalogEntry(entry));
    EXPECT_EQ(Hint(), "已签合同，请新建增减项后修改");
    frm->statusBar()->clearMessage();
    w->Page()->NRoomSize->trigger(); // a new room size would change signed quantities
    EXPECT_EQ(Hint(), "已签合同，请新建增减项后修改");
    w->Page()->N1Click();
    w->Page()->PasteRowsClick();
    w->Page()->MoveDownClick();
    w->Page()->UndoClick();
    // 重新计价 rewrites lines too: refused with the same words, no list offered.
    Raw("update TBLPRODUCT set ProductPrice=ProductPrice+1");
    messages.Shown.clear();
    frm->ActReprice->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"已签合同，请新建增减项后修改"});
    EXPECT_EQ(frm->LastRepriceDialog(), nullptr);
    EXPECT_EQ(QuotationToText(w->Grid()), signedText);
    EXPECT_FALSE(w->IsModified());

    // The signed version cannot be unsigned.
    messages.Shown.clear();
    QTest::mouseClick(w->CheckBox1, Qt::LeftButton);
    EXPECT_TRUE(w->CheckBox1->isChecked());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{ProjectVersionsBox::kCannotUnsign});

    // What version 0 prints now, before anything changes.
    ASSERT_TRUE(PreviewProjectVersion(w, 1, 0));
    const QStringList signedPrint = Texts(FrmPrint().Pages());
    EXPECT_TRUE(signedPrint.contains("30")) << signedPrint.join('|').toStdString();
    EXPECT_TRUE(signedPrint.contains("1114.10"));
    FrmPrint().close();

    // 新建增减项 on the quotation page: the lines open; one changed, one added.
    QTest::mouseClick(w->Page()->BtnNewChangeOrder, Qt::LeftButton);
    EXPECT_FALSE(w->Page()->LinesLocked());
    EXPECT_EQ(w->Page()->VersionLabel->text(), "增减项 1：修改明细后保存，即生成增减项目单");
    EXPECT_FALSE(w->VersionsBox->BtnNewChangeOrder->isEnabled());
    TypeIntoCell(v, 3, 3, QStringLiteral("35.5"));
    ClickCell(v, 1, 4);
    entry.Count = 6;
    EXPECT_TRUE(w->AddCatalogEntry(entry));
    EXPECT_TRUE(w->IsModified());
    // Meanwhile the company page changes its name.
    const std::string company = CompanyInfo().Name;
    CompanyInfo().Name = "改名后的公司";
    messages.Shown.clear();
    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"修改工程成功！"});
    EXPECT_TRUE(w->Page()->LinesLocked()) << "saved, the change order is kept and the lines lock again";
    EXPECT_EQ(RawText("select charQuotation from tblProject"), QuotationToText(w->Grid()));
    EXPECT_NE(QuotationToText(w->Grid()), signedText);

    // The list: both versions, with their kinds and sums.
    QTreeWidget* list = w->VersionsBox->VersionList;
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "签约版");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "1114.10");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "增减项 1");
    EXPECT_EQ(list->topLevelItem(1)->text(2), "1859.43"); // 1669.00 + 133.52 + 56.91, as printed

    // Version 0 prints exactly as it did when signed; the window prints the new lines.
    w->PageControl1->setCurrentWidget(w->TabSheet1);
    Select(w, 0);
    QTest::mouseClick(w->VersionsBox->BtnPreviewVersion, Qt::LeftButton);
    EXPECT_TRUE(FrmPrint().isVisible());
    EXPECT_EQ(Texts(FrmPrint().Pages()), signedPrint);
    const QuotationPrintSource now = w->PrintSource();
    ASSERT_TRUE(FrmPrint().PreparePrintData(now));
    EXPECT_NE(Texts(FrmPrint().Pages()), signedPrint);
    EXPECT_TRUE(Texts(FrmPrint().Pages()).contains("改名后的公司"));
    FrmPrint().close();

    // The change order: its lines, and signed + change = new to the cent.
    Select(w, 1);
    QTest::mouseClick(w->VersionsBox->BtnPreviewVersion, Qt::LeftButton);
    TFrmChangeOrder* sheet = ChangeOrderPreview();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    const QStringList all = Texts(sheet->Report());
    EXPECT_TRUE(all.contains("增减项目单（增减项 1）")) << all.join('|').toStdString();
    EXPECT_TRUE(all.contains("改名后的公司"));
    const QStringList lines = Texts(sheet->Report(), QStringLiteral("ChangeLine"));
    // Empty cells (no unit, no old figures of an added line) print nothing.
    EXPECT_EQ(lines, (QStringList{"变更", "墙面乳胶漆", "平米", "30", "18.00", "540.00", "35.5", "18.00", "639.00",
                                  "+99.00", "增加", "吊顶", "6", "95.00", "570.00", "+570.00"}));
    const QStringList totals = Texts(sheet->Report(), QStringLiteral("ChangeTotals"));
    const int sum = totals.indexOf("合计：");
    ASSERT_GE(sum, 0) << totals.join('|').toStdString();
    EXPECT_EQ(totals.mid(sum, 5), (QStringList{"合计：", "1114.10", "0.00", "745.33", "1859.43"}));
    EXPECT_TRUE(totals.contains("669.00")) << "the lines' change";
    EXPECT_TRUE(
        Texts(sheet->Report(), QStringLiteral("ChangeCapitals"))
            .contains(QString::fromStdString("变更后合计人民币（大写）：" + CapitalAmount(std::int64_t{185943}))));
    sheet->close();
    CompanyInfo().Name = company;

    // Reopened, the project is still signed with its two versions.
    w->close();
    Settle();
    OpenFromTree("张三（文一路）");
    TFrmProject_Detail* r = Active();
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->Page()->LinesLocked());
    EXPECT_EQ(r->VersionsBox->VersionList->topLevelItemCount(), 2);
    EXPECT_TRUE(r->VersionsBox->BtnNewChangeOrder->isEnabled());
}

// The pictures of the guide for signed quotations, from the real windows:
// only when LTY_SCREENS_DIR names the folder to write them to.
TEST_F(SignedVersionsTest, ScreensOfVersionsLockedLinesAndTheChangeOrder) {
    const char* dir = std::getenv("LTY_SCREENS_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "LTY_SCREENS_DIR names no folder";
    const auto Take = [folder = QString::fromLocal8Bit(dir)](QWidget* w, const QString& name) {
        w->repaint();
        QTest::qWait(300);
        ASSERT_TRUE(w->grab().save(folder + QStringLiteral("/") + name)) << name.toStdString();
    };
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,charCustomerTel,"
        "dateSignDate,numContractPrice,numOverheadExp,numTax,charQuotation) values(1,'LT-2024-018','王先生',"
        "'文三路198号3幢','李婷','13900000001','2024-5-6',3470,277.6,118.33,"
        "'100010@客厅@@@@2310.00@@墙面乳胶漆@28@45@平米@1260.00@品牌乳胶漆，一底两面@石膏板造型吊顶@145@6@平米@870.00@"
        "轻钢龙骨，纸面石膏板@踢脚线@15@12@米@180.00@实木踢脚线@主卧@@@@1160.00@@地板铺贴@58@20@平米@1160.00@"
        "含防潮垫')");
    frm->ReloadTrees();
    frm->showMaximized();
    OpenFromTree("王先生（文三路198号3幢）");
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    w->CheckBox1->click();
    frm->SaveProject->trigger();
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    Take(frm.get(), QStringLiteral("quotation-signed.png"));

    w->Page()->BtnNewChangeOrder->click();
    TypeIntoCell(*w->Page()->advsg1, 3, 3, QStringLiteral("52.5"));
    ClickCell(*w->Page()->advsg1, 1, 4);
    EXPECT_TRUE(w->AddCatalogEntry(CatalogLine{"吊顶灯槽", 85, 8, "米", 0, "木龙骨，石膏板封面"}));
    ClickCell(*w->Page()->advsg1, 1, 6); // 踢脚线, below the new line
    w->Page()->N11Click();
    frm->SaveProject->trigger();
    w->PageControl1->setCurrentWidget(w->TabSheet1);
    Take(frm.get(), QStringLiteral("project-versions.png"));

    Select(w, 1);
    w->VersionsBox->BtnPreviewVersion->click();
    TFrmChangeOrder* sheet = ChangeOrderPreview();
    ASSERT_NE(sheet, nullptr);
    sheet->resize(900, 1000);
    sheet->SetZoom(1.0);
    Take(sheet, QStringLiteral("print-change-order.png"));
}

} // namespace
} // namespace lty::test
