// The pictures of the README (docs/*.png) and of the user guide
// (docs/guide/images/*.png), taken from the real windows: runs only when
// LTY_SCREENS_DIR names the docs folder to write them to. scripts/screenshots
// runs it under a virtual display with a window manager for the title bars:
//   LTY_SCREENS_DIR=docs QT_QPA_PLATFORM=xcb xvfb-run -s '-screen 0 1366x768x24'
//       sh -c 'openbox & sleep 1; build/tests/lty_ui_tests --gtest_filter=Screens*'
#include "tests/core/quotation/three_room_quotation.h"
#include "tests/ui/admin/password_answers.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "tests/ui/quotation/grid_input.h"
#include "ui/admin/admin_commands.h"
#include "ui/admin/backup_page.h"
#include "ui/admin/catalog_page.h"
#include "ui/admin/password_page.h"
#include "ui/admin/price_page.h"
#include "ui/admin/reference_pages.h"
#include "ui/admin/system_window.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"
#include "ui/quotation/house_type_dialog.h"
#include "ui/quotation/reprice_dialog.h"
#include "ui/shell/about_window.h"
#include "ui/shell/help_window.h"
#include "ui/shell/new_project_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>

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
    // One window with its title bar (on a display with a window manager).
    void TakeWindow(QWidget* w, const QString& name) {
        w = w->window();
        w->raise();
        w->activateWindow();
        QTest::qWait(400);
        QPixmap shot;
        if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
            shot = w->grab();
        } else {
            const QRect r = w->frameGeometry();
            shot = QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
        }
        const QString path = folder + QStringLiteral("/") + name;
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(shot.save(path)) << name.toStdString();
    }
    // The first page of the printout as a picture, 80 dots to the inch.
    void TakePage(TFrmPrint& form, const QStringList& names) {
        QTemporaryDir tmp;
        const QString pdf = tmp.filePath(QStringLiteral("page.pdf"));
        ASSERT_TRUE(form.WritePdf(pdf));
        const QString base = tmp.filePath(QStringLiteral("page"));
        ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                    {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), QStringLiteral("-f"), QStringLiteral("1"),
                                     QStringLiteral("-l"), QStringLiteral("1"), pdf, base}),
                  0);
        for (const QString& name : names) {
            const QString path = folder + QStringLiteral("/") + name;
            QFile::remove(path);
            ASSERT_TRUE(QFile::copy(base + QStringLiteral(".png"), path)) << name.toStdString();
        }
    }
    // The section row named `room`, or -1.
    static int RoomRow(const QuotationGrid& grid, const std::string& room) {
        for (int r = 2; r < grid.EndRow(); ++r)
            if (grid.Kind(r) == RowKind::Section && grid.Cell(1, r).Text == room) return r;
        return -1;
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
    // For the guide the boxes alone, readable at the guide's width.
    ASSERT_TRUE(w->GroupBox1->grab().save(folder + QStringLiteral("/guide/images/project-rates.png")));
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

// A designer's first quotation on a fresh database, from the welcome to the
// paper, then 系统管理 page by page, the help window and 关于.
TEST_F(Screens, FirstQuotationAndEveryWindowOfTheGuide) {
    frm->showNormal();
    frm->setGeometry(40, 30, 1024, 640);
    QTest::qWait(300);
    TakeWindow(frm.get(), QStringLiteral("guide/images/welcome.png"));

    frm->ActNewProject->trigger();
    TFrmNewProject* dialog = frm->LastNewProjectDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->ListView1->setCurrentRow(1);
    TakeWindow(dialog, QStringLiteral("guide/images/new-project.png"));
    TakeWindow(dialog, QStringLiteral("new-project-dialog.png"));
    dialog->ListView1DblClick();

    TFrmSelectHuxing* house = frm->HouseTypeDialog();
    ASSERT_TRUE(house->isVisible());
    for (auto [edit, count] : {std::pair{house->Edit5, "2"}, {house->Edit3, "1"}, {house->Edit4, "1"},
                               {house->Edit8, "1"}, {house->Edit6, "1"}, {house->Edit7, "0"},
                               {house->Edit12, "0"}, {house->Edit9, "0"}, {house->Edit10, "0"},
                               {house->Edit2, "0"}, {house->Edit11, "0"}})
        edit->setText(QString::fromLatin1(count));
    TakeWindow(house, QStringLiteral("guide/images/house-type.png"));
    TakeWindow(house, QStringLiteral("house-type-dialog.png"));
    house->Button1->click();

    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    w->showMaximized();
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    QuotationPage* page = w->Page();
    if (page->NCompact->isChecked()) page->NCompact->trigger();
    const std::vector<std::pair<std::string, std::vector<std::pair<const char*, const char*>>>> rooms{
        {"客厅", {{"墙顶面批刮腻子（两遍）", "45.6"}, {"乳胶漆（一底两面）", "(4.2+3.6)*2*2.8-0.9*2.1"},
                 {"铺贴地砖（800×800）", "28.5"}, {"石膏线条安装", "24"}, {"电视背景墙", "1"}}},
        {"卧室", {{"乳胶漆（一底两面）", "38"}, {"衣柜（生态板）", "5.2"}, {"踢脚线铺贴", "14"}}},
        {"卧室2", {{"乳胶漆（一底两面）", "32"}, {"踢脚线铺贴", "12"}}},
        {"卫生间", {{"地面防水（JS涂料）", "12.5"}, {"墙砖铺贴（300×600）", "22"}, {"铝扣板吊顶", "4.5"},
                   {"坐便器安装", "1"}}},
        {"厨房", {{"墙砖铺贴（300×600）", "18"}, {"整体橱柜地柜", "3.2"}, {"厨房吊顶集成板", "5.6"}}},
        {"阳台", {{"铺贴地砖（300×300）", "6"}}},
    };
    for (const auto& [room, items] : rooms) {
        int row = RoomRow(w->Grid(), room);
        if (row < 0) continue; // a house type without this room
        for (const auto& [name, count] : items) {
            page->advsg1->SetCurrentCell(1, row);
            QTreeWidgetItem* node = Node(frm->TreeView2, QString::fromUtf8(name));
            ASSERT_NE(node, nullptr) << name;
            frm->TreeView2->setCurrentItem(node);
            const int added = w->Grid().ItemInsertRow();
            frm->TreeView2DblClick();
            TypeIntoCell(*page->advsg1, 3, added, QString::fromUtf8(count));
            row = added;
        }
    }
    frm->PageControl1->setCurrentWidget(frm->TabSheet2);
    frm->ActFindCatalog->trigger();
    frm->CatalogSearch->setText(QStringLiteral("rjq"));
    page->advsg1->SetCurrentCell(3, 4);
    page->advsg1->scrollTo(page->advsg1->Model()->index(0, 0));
    TakeWindow(frm.get(), QStringLiteral("guide/images/catalog-add.png"));
    frm->CatalogSearch->clear();

    w->PageControl1->setCurrentWidget(w->TabSheet1);
    w->Edit1->setText(QStringLiteral("王先生"));
    w->Edit2->setText(QStringLiteral("LTY-2026-001"));
    w->Edit3->setText(QStringLiteral("文一西路588号3幢1201室"));
    w->Edit4->setText(QStringLiteral("13800000000"));
    w->Edit5->setText(QStringLiteral("89"));
    w->ComboBox1->setCurrentText(QStringLiteral("两室一厅"));
    w->ComboBox3->setCurrentText(QStringLiteral("李婷"));
    w->ComboBox2->setCurrentIndex(std::min(2, w->ComboBox2->count() - 1));
    TakeWindow(frm.get(), QStringLiteral("guide/images/project-information.png"));
    frm->SaveProject->trigger();

    // The README's pictures: the whole screen, the window as a designer has it.
    frm->showMaximized();
    QTest::qWait(300);
    Take(QStringLiteral("project-information.png"));
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    page->advsg1->SetCurrentCell(1, 3);
    Take(QStringLiteral("quotation-page.png"));
    frm->showNormal();
    frm->setGeometry(40, 30, 1024, 640);
    QTest::qWait(300);
    TakeWindow(frm.get(), QStringLiteral("guide/images/quotation-page.png"));

    frm->ActPreview->trigger();
    TFrmPrint& preview = FrmPrint(frm.get());
    ASSERT_TRUE(preview.isVisible());
    preview.setGeometry(120, 20, 900, 720);
    QTest::qWait(300);
    TakeWindow(&preview, QStringLiteral("guide/images/print-preview.png"));
    TakePage(preview, {QStringLiteral("print-quotation.png")});
    preview.SetVersion(PrintVersion::Crew);
    TakePage(preview, {QStringLiteral("print-crew.png"), QStringLiteral("guide/images/print-crew.png")});
    preview.SetVersion(PrintVersion::Customer);
    preview.close();
    w->CloseWithoutAsking();
    Settle();

    // The main window with its projects, as the README shows it first.
    frm->showMaximized();
    frm->PageControl1->setCurrentWidget(frm->TabSheet1);
    QTest::qWait(300);
    Take(QStringLiteral("main-window.png"));
    frm->showNormal();
    frm->setGeometry(40, 30, 1024, 640);
    QTest::qWait(300);
    TakeWindow(frm.get(), QStringLiteral("guide/images/main-window.png"));

    // 系统管理, each page with something chosen; the paint's quantity
    // follows the walls, as a firm would set it.
    Raw("insert into TBLPRODUCTMEASURE(Product_ID,intMeasure) select ITEM_ID,2 from TBLITEM "
        "where ITEM_NAME='乳胶漆（一底两面）'");
    AnswerPassword({QStringLiteral("admin")});
    frm->N20->trigger();
    TFrmSystem* sys = FrmSystem();
    ASSERT_NE(sys, nullptr);
    sys->setGeometry(80, 40, 900, 620);
    const auto pick = [this](QTreeWidget* tree, const char* name) {
        if (QTreeWidgetItem* n = Node(tree, QString::fromUtf8(name))) {
            for (QTreeWidgetItem* p = n->parent(); p; p = p->parent()) p->setExpanded(true);
            tree->setCurrentItem(n);
        }
    };
    sys->PageControl1->setCurrentWidget(sys->TabSheet2);
    pick(sys->TabSheet2->TreeView1, "吊顶");
    TakeWindow(sys, QStringLiteral("guide/images/system-catalog.png"));
    sys->PageControl1->setCurrentWidget(sys->TabSheet3);
    pick(sys->TabSheet3->TreeView2, "乳胶漆（一底两面）");
    TakeWindow(sys, QStringLiteral("guide/images/system-prices.png"));
    sys->PageControl1->setCurrentWidget(sys->TabSheet1);
    TakeWindow(sys, QStringLiteral("guide/images/system-password.png"));
    sys->PageControl1->setCurrentWidget(sys->TabSheet4);
    TakeWindow(sys, QStringLiteral("guide/images/system-company.png"));
    sys->PageControl1->setCurrentWidget(sys->TabSheet5);
    sys->TabSheet5->sgDes->selectRow(1);
    TakeWindow(sys, QStringLiteral("guide/images/system-designers.png"));
    sys->PageControl1->setCurrentWidget(sys->TabSheet6);
    sys->TabSheet6->btnBackup->click();
    TakeWindow(sys, QStringLiteral("guide/images/system-backup.png"));
    sys->close();
    ReleaseAdminWindows();

    ShowGuide(frm.get(), QStringLiteral("quotation-page"));
    THelpWindow* help = HelpWindow(frm.get());
    help->setGeometry(60, 30, 1100, 700);
    TakeWindow(help, QStringLiteral("help-window.png"));
    help->close();

    frm->N15->trigger();
    TakeWindow(frm->AboutWindow(), QStringLiteral("guide/images/about.png"));
}

// The new-project choice with templates, and the reprice list.
TEST_F(Screens, NewProjectWithTemplatesAndTheRepriceList) {
    TFrmProject_Detail* w = NewBlank();
    QuotationGrid& g = w->Grid();
    const char* rooms[] = {"客厅", "主卧"};
    const std::vector<CatalogLine> lines{{"拆除非承重墙体", 45, 6.5, "平米", 0, ""},
                                         {"铲除墙面原有腻子层", 8, 42, "平米", 0, ""},
                                         {"拆除原有地砖", 18, 20, "平米", 0, ""},
                                         {"拆除原有吊顶", 12, 18, "平米", 0, ""}};
    for (const char* room : rooms) {
        g.AddSectionRow();
        g.SetCellText(1, g.EndRow() - 1, room);
        for (const CatalogLine& l : lines) {
            g.SetCurrentCell(1, g.EndRow() - 1);
            g.AddCatalogEntry(l);
        }
    }
    w->Page()->ReloadFromGrid();
    w->GridChanged();
    for (const char* name : {"三室两厅 现代简约", "两室一厅 标准", "旧房翻新"}) {
        frm->AskTemplateName = [name](const QString&) { return std::optional<QString>(QString::fromUtf8(name)); };
        frm->ActSaveTemplate->trigger();
    }
    frm->ActNewProject->trigger();
    TFrmNewProject* dialog = frm->LastNewProjectDialog();
    dialog->ListView1->setCurrentRow(2);
    TakeWindow(dialog, QStringLiteral("new-project-templates.png"));
    dialog->close();

    Raw("update TBLPRODUCT set ProductPrice=50 where Product_ID=3");
    Raw("update TBLPRODUCT set ProductPrice=7.5 where Product_ID=4");
    Raw("update TBLPRODUCT set ProductPrice=15 where Product_ID=6");
    frm->ActReprice->trigger();
    TFrmReprice* reprice = frm->LastRepriceDialog();
    ASSERT_NE(reprice, nullptr);
    reprice->ChangeList->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    TakeWindow(reprice, QStringLiteral("reprice.png"));
    reprice->reject();
}

} // namespace
} // namespace lty::test
