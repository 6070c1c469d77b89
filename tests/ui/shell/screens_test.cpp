// The pictures of the README, taken from the real windows: runs only when
// LTY_SCREENS_DIR names the folder to write them to, e.g. under a display
// with a window manager for the title bars:
//   LTY_SCREENS_DIR=docs QT_QPA_PLATFORM=xcb xvfb-run -s '-screen 0 1366x768x24'
//       sh -c 'openbox & sleep 1; build/tests/lty_ui_tests --gtest_filter=Screens*'
#include "tests/core/quotation/three_room_quotation.h"
#include "tests/ui/admin/password_answers.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "tests/ui/quotation/grid_input.h"
#include "ui/admin/admin_commands.h"
#include "ui/admin/reference_pages.h"
#include "ui/admin/system_window.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"

#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>

#include <cstdlib>

namespace lty::test {
namespace {

class Screens : public MainWindowTest {
protected:
    QString folder;
    void SetUp() override {
        const char* dir = std::getenv("LTY_SCREENS_DIR");
        if (!dir || !*dir) GTEST_SKIP() << "LTY_SCREENS_DIR names no folder";
        folder = QString::fromLocal8Bit(dir);
        MainWindowTest::SetUp();
    }
    void Take(const QString& name) {
        frm->repaint();
        QTest::qWait(300);
        // The whole screen, so the window manager's title bar is in the picture.
        QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
        if (QGuiApplication::platformName() == QStringLiteral("offscreen")) shot = frm->grab();
        ASSERT_TRUE(shot.save(folder + QStringLiteral("/") + name)) << name.toStdString();
    }
    // One window of its own (a dialog, the preview).
    void TakeWindow(QWidget* window, const QString& name) {
        window->repaint();
        QTest::qWait(300);
        ASSERT_TRUE(window->grab().save(folder + QStringLiteral("/") + name)) << name.toStdString();
    }
};

TEST_F(Screens, FirmRatesProjectRatesAndADiscount) {
    frm->showMaximized();
    AnswerPassword({QStringLiteral("admin")});
    frm->N20->trigger();
    TFrmSystem* sys = FrmSystem();
    ASSERT_NE(sys, nullptr);
    sys->PageControl1->setCurrentWidget(sys->TabSheet4);
    TakeWindow(sys, QStringLiteral("company-rates.png"));
    sys->close();

    ASSERT_TRUE(frm->OpenProjectWindow(0));
    TFrmProject_Detail* w = Active();
    w->Edit1->setText(QStringLiteral("王先生"));
    w->Edit2->setText(QStringLiteral("LT-2024-018"));
    w->Edit3->setText(QStringLiteral("滨江路88号3栋1201"));
    BuildThreeRoomQuotation(w->Grid());
    w->GridChanged();
    w->EditOverheadRate->setText(QStringLiteral("6"));
    w->ComboDiscountKind->setCurrentIndex(2);
    w->EditDiscountValue->setText(QStringLiteral("5"));
    Take(QStringLiteral("project-rates.png"));
    frm->ActPreview->trigger();
    TFrmPrint& preview = FrmPrint();
    preview.resize(900, 1000);
    preview.ShowPage(0);
    // The foot of the first page: the last lines, the totals, the capitals.
    for (QScrollArea* area : preview.findChildren<QScrollArea*>())
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    TakeWindow(&preview, QStringLiteral("print-discount.png"));
    preview.close();
    w->CloseWithoutAsking();
}

TEST_F(Screens, CompactGridAndBothSearches) {
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner,charCustomerTel) values"
        "(1,'A1','张三','文一路18号','李婷','13900000001'),(2,'B7','李四','古墩路6号','王磊','13600000002'),"
        "(3,'C3','赵六','滨江路2号','王磊',''),(4,'C4','钱七','莫干山路9号','张明','')");
    frm->ReloadTrees();
    frm->showMaximized();
    QTest::qWait(300);

    ASSERT_TRUE(frm->OpenProjectWindow(0));
    TFrmProject_Detail* w = Active();
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    QuotationPage* page = w->Page();
    if (page->NCompact->isChecked()) page->NCompact->trigger();
    const char* rooms[] = {"客厅", "主卧", "次卧", "厨房", "卫生间"};
    const char* items[][4] = {{"墙面乳胶漆", "28", "平米", "品牌乳胶漆，一底两面"},
                              {"石膏板造型吊顶", "145", "平米", "轻钢龙骨，纸面石膏板"},
                              {"踢脚线", "35", "米", "实木踢脚线"},
                              {"地砖铺贴", "55", "平米", "水泥砂浆铺贴，含找平"},
                              {"开关插座安装", "15", "个", "含底盒更换"}};
    for (const char* room : rooms) {
        page->N1->trigger();
        TypeIntoCell(*page->advsg1, 1, w->Grid().EndRow() - 1, QString::fromUtf8(room));
        page->advsg1->SetCurrentCell(1, w->Grid().EndRow() - 1);
        for (const auto& item : items) {
            CatalogLine line{item[0], std::stod(item[1]), 1, item[2], 0, item[3]};
            w->AddCatalogEntry(line);
        }
    }
    TypeIntoCell(*page->advsg1, 3, 3, QStringLiteral("(3.6+2.4)*2*2.8-0.9*2.1"));
    page->NCompact->trigger();
    page->advsg1->SetCurrentCell(3, 14);
    page->advsg1->scrollTo(page->advsg1->Model()->index(15, 3));
    Take(QStringLiteral("quotation-compact.png"));
    page->NCompact->trigger();

    frm->ActFindCatalog->trigger();
    frm->CatalogSearch->setText(QStringLiteral("dd"));
    Take(QStringLiteral("catalog-search.png"));
    frm->CatalogSearch->clear();

    frm->ActFindProject->trigger();
    frm->ProjectSearch->setText(QStringLiteral("wl"));
    Take(QStringLiteral("project-search.png"));
    frm->ProjectSearch->clear();
    w->CloseWithoutAsking();
}

} // namespace
} // namespace lty::test
