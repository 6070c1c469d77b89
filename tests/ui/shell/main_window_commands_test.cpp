// The main window's printing commands and its menu "系统管理", as a user
// reaches them: through the actions, over project windows that are open,
// saved or changed on screen.
#include "tests/core/quotation/three_room_quotation.h"
#include "tests/ui/admin/password_answers.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "tests/ui/print/pdf_text.h"
#include "tests/ui/quotation/grid_input.h"
#include "ui/admin/admin_commands.h"
#include "ui/admin/backup_page.h"
#include "ui/admin/catalog_page.h"
#include "ui/admin/reference_pages.h"
#include "ui/admin/system_window.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"
#include "ui/print/print_settings.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <filesystem>

namespace lty::test {
namespace {

class MainWindowCommands : public MainWindowTest {
protected:
    QTemporaryDir out;
    decltype(PrintDialogs::ChoosePrinter) keptPrinter = PrintDialogs::ChoosePrinter;
    decltype(PrintDialogs::ChoosePdfPath) keptPdfPath = PrintDialogs::ChoosePdfPath;

    void TearDown() override {
        PrintDialogs::ChoosePrinter = keptPrinter;
        PrintDialogs::ChoosePdfPath = keptPdfPath;
        MainWindowTest::TearDown();
    }

    static void AddSection(QuotationGrid& grid, const std::string& name, const std::vector<CatalogLine>& lines) {
        grid.AddSectionRow();
        grid.SetCellText(1, grid.EndRow() - 1, name);
        for (const CatalogLine& l : lines) {
            grid.SetCurrentCell(1, grid.EndRow() - 1);
            grid.AddItemRow(l, false);
        }
        grid.RecalcTotals();
    }
    // 周女士's living room, saved and closed; answers the tree's text for it.
    QString StoredProject() {
        EXPECT_TRUE(frm->OpenProjectWindow(0));
        TFrmProject_Detail* w = Active();
        w->Edit1->setText(QStringLiteral("周女士"));
        w->Edit2->setText(QStringLiteral("LT-018"));
        w->Edit3->setText(QStringLiteral("文三路1号"));
        w->Edit4->setText(QStringLiteral("13700000000"));
        AddSection(w->Grid(), "客厅", {{"墙面乳胶漆", 25, 40, "平米", 0, "一底两面"}});
        w->GridChanged();
        frm->SaveProject->trigger();
        EXPECT_FALSE(w->IsModified());
        w->close();
        Settle();
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"新加工程成功！"});
        messages.Shown.clear();
        return QStringLiteral("周女士（文三路1号）");
    }
};

TEST_F(MainWindowCommands, PrintPreviewAndExportTakeTheActiveWindowAsItStands) {
    EXPECT_EQ(frm->ActPrint->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(frm->ActExportPdf->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));

    // Without a project window each command says so, and no dialog opens.
    PrintDialogs::ChoosePrinter = [](QPrinter&, QWidget*) {
        ADD_FAILURE() << "printer dialog";
        return false;
    };
    PrintDialogs::ChoosePdfPath = [](QWidget*, const QString&) {
        ADD_FAILURE() << "save dialog";
        return QString();
    };
    for (QAction* a : {frm->ActPrint, frm->ActPreview, frm->ActExportPdf}) a->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(3, "请选择要打印的工程！"));
    messages.Shown.clear();

    // A stored project opened from the tree, then changed on screen and not
    // saved: a line more, and fee and tax typed over.
    OpenFromTree(StoredProject());
    TFrmProject_Detail* w = Active();
    ASSERT_NE(w, nullptr);
    w->Grid().SetCurrentCell(1, 3);
    w->Grid().AddItemRow({"石膏线", 20, 10, "米", 0, ""}, false);
    w->Grid().RecalcTotals();
    w->GridChanged();
    w->Edit8->setText(QStringLiteral("150"));
    w->Edit9->setText(QStringLiteral("40.5"));
    ASSERT_EQ(w->TotalText(), QStringLiteral("1200.00"));

    frm->ActPreview->trigger();
    TFrmPrint& form = FrmPrint();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.parentWidget(), frm.get());
    EXPECT_EQ(form.PageIndex(), 0);

    QString proposed;
    const QString path = out.filePath(QStringLiteral("preview.pdf"));
    PrintDialogs::ChoosePdfPath = [&](QWidget*, const QString& p) {
        proposed = p;
        return path;
    };
    frm->ActExportPdf->trigger();
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/周女士报价单.pdf"))) << proposed.toStdString();
    const QString text = PdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("居室装修报价单")) && !text.contains(QStringLiteral("报价单（）")));
    EXPECT_TRUE(text.contains(QStringLiteral("周女士")) && text.contains(QStringLiteral("文三路1号")) &&
                text.contains(QStringLiteral("13700000000")));
    EXPECT_EQ(LinesWith(text, QStringLiteral("墙面乳胶漆|石膏线")),
              (QStringList{"1 墙面乳胶漆 一底两面 40 平米 25.00 1000.00", "2 石膏线 10 米 20.00 200.00"}));
    EXPECT_EQ(LinesWith(text, QStringLiteral("工程总价：|管理费：|税金：|^\\s*合计：")),
              (QStringList{"工程总价： 1200.00", "管理费： 150.00", "税金： 40.50", "合计： 1390.50"}));
    // The stored row still holds what was saved: the paper came from the screen.
    EXPECT_EQ(std::stod(RawText("select numContractPrice from tblProject")), 1000);
    EXPECT_TRUE(messages.Shown.empty());

    // Another window, never saved, made active: 打印 prints it and nothing
    // of the first.
    ASSERT_TRUE(frm->OpenProjectWindow(0));
    Active()->Edit1->setText(QStringLiteral("吴先生"));
    AddSection(Active()->Grid(), "书房", {{"书柜", 1500, 1, "项", 0, ""}});
    Active()->GridChanged();
    Active()->Page()->ReloadFromGrid();
    // A quantity still in its editor when 打印 is clicked is printed too.
    Active()->PageControl1->setCurrentWidget(Active()->TabSheet2);
    ASSERT_NE(StartTyping(*Active()->Page()->advsg1, 3, 3, QStringLiteral("2")), nullptr);
    const QString printed = out.filePath(QStringLiteral("printer.pdf"));
    PrintDialogs::ChoosePrinter = [&](QPrinter& printer, QWidget* parent) {
        EXPECT_EQ(parent, frm.get());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    };
    frm->ActPrint->trigger();
    const QString paper = PdfText(printed);
    EXPECT_TRUE(paper.contains(QStringLiteral("吴先生")) && paper.contains(QStringLiteral("书柜")));
    EXPECT_EQ(LinesWith(paper, QStringLiteral("书柜")), (QStringList{"1 书柜 2 项 1500.00 3000.00"}));
    EXPECT_FALSE(paper.contains(QStringLiteral("周女士")) || paper.contains(QStringLiteral("石膏线")));
    EXPECT_TRUE(messages.Shown.empty());
}

// A line edit as the X11 key scheme has it (the one of Linux desktops, not
// of the offscreen platform): Ctrl+E moves to the end of the line, so the
// box claims the key before any shortcut sees it.
struct EndOfLineOnCtrlE : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride) {
            const auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_E && k->modifiers() == Qt::ControlModifier) e->accept();
        }
        return false;
    }
};

TEST_F(MainWindowCommands, CtrlEExportsFromATextFieldAndSaysWhereTheFileWent) {
    RememberPdfFolder({});
    ASSERT_TRUE(frm->OpenProjectWindow(0));
    TFrmProject_Detail* w = Active();
    w->Edit1->setText(QStringLiteral("郑先生"));
    AddSection(w->Grid(), "客厅", {{"墙面乳胶漆", 25, 40, "平米", 0, ""}});
    w->GridChanged();
    w->PageControl1->setCurrentWidget(w->TabSheet1);
    EndOfLineOnCtrlE x11;
    w->Edit1->installEventFilter(&x11);
    Focus(w->Edit1);
    ASSERT_EQ(QApplication::focusWidget(), w->Edit1);

    QStringList proposed;
    const QString folder = out.filePath(QStringLiteral("报价"));
    ASSERT_TRUE(QDir().mkpath(folder));
    PrintDialogs::ChoosePdfPath = [&](QWidget*, const QString& p) {
        proposed << p;
        return QDir(folder).filePath(QStringLiteral("郑先生"));
    };
    QTest::keyClick(w->Edit1, Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(proposed.size(), 1); // the line edit did not take the key
    EXPECT_FALSE(proposed[0].startsWith(folder + "/"));
    const QString written = QDir(folder).filePath(QStringLiteral("郑先生.pdf"));
    EXPECT_TRUE(QFile::exists(written));
    QMessageBox* notice = ExportNotice();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), QStringLiteral("已导出：") + QDir::toNativeSeparators(written));
    auto* open = notice->findChild<QPushButton*>(QStringLiteral("OpenFolder"));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), QStringLiteral("打开文件夹"));
    QString opened;
    decltype(PrintDialogs::OpenFolder) keptOpen = PrintDialogs::OpenFolder;
    PrintDialogs::OpenFolder = [&](const QString& f) { opened = f; };
    open->click();
    PrintDialogs::OpenFolder = keptOpen;
    EXPECT_EQ(QDir(opened), QDir(folder));
    notice->close();

    // The next export starts in the folder last used.
    frm->ActExportPdf->trigger();
    ASSERT_EQ(proposed.size(), 2);
    EXPECT_EQ(proposed[1], QDir(folder).filePath(QStringLiteral("郑先生报价单.pdf")));
    if (ExportNotice()) ExportNotice()->close();
    EXPECT_TRUE(messages.Shown.empty());
}

// The first sheet of a workbook as its XML.
QString SheetXml(const QString& workbook) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), workbook, QStringLiteral("xl/worksheets/sheet1.xml")});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// A figure of the sheet as its cell holds it (the value a formula carries
// included), to the cent.
QString Figure(const QString& sheet, const char* cell) {
    const QRegularExpression value(QStringLiteral("<c r=\"%1\"[^>]*>(?:<f>[^<]*</f>)?<v>([^<]*)</v>").arg(cell));
    const QRegularExpressionMatch m = value.match(sheet);
    return m.hasMatch() ? QString::number(m.captured(1).toDouble(), 'f', 2) : QString();
}

TEST_F(MainWindowCommands, CtrlShiftEWritesTheWorkbookOfTheWindowAsItStandsAndSaysWhereItWent) {
    EXPECT_EQ(frm->ActExportExcel->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    const QString folder = out.filePath(QStringLiteral("报价"));
    ASSERT_TRUE(QDir().mkpath(folder));
    RememberPdfFolder(folder); // the folder of the last export, a PDF's
    ChoosePrintVersion(PrintVersion::Customer);
    ASSERT_TRUE(frm->OpenProjectWindow(0)); // never saved
    TFrmProject_Detail* w = Active();
    w->Edit1->setText(QStringLiteral("郑先生"));
    AddSection(w->Grid(), "客厅", {{"墙面乳胶漆", 25, 40, "平米", 0, ""}, {"石膏线", 20.5, 3.3, "米", 0, ""}});
    w->GridChanged();
    w->PageControl1->setCurrentWidget(w->TabSheet1);
    Focus(w->Edit1);

    QStringList proposed;
    QString answer = QDir(folder).filePath(QStringLiteral("郑先生"));
    decltype(PrintDialogs::ChooseWorkbookPath) kept = PrintDialogs::ChooseWorkbookPath;
    PrintDialogs::ChooseWorkbookPath = [&](QWidget* parent, const QString& p) {
        EXPECT_EQ(parent, frm.get());
        proposed << p;
        return answer;
    };
    QTest::keyClick(w->Edit1, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(proposed, QStringList{QDir(folder).filePath(QStringLiteral("郑先生报价单.xlsx"))});
    const QString written = answer + QStringLiteral(".xlsx");
    ASSERT_TRUE(QFile::exists(written));
    QMessageBox* notice = ExportNotice();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), QStringLiteral("已导出：") + QDir::toNativeSeparators(written));
    EXPECT_NE(notice->findChild<QPushButton*>(QStringLiteral("OpenFolder")), nullptr);
    QTest::keyClick(notice, Qt::Key_Escape); // the notice goes with Esc, as with OK
    EXPECT_FALSE(notice->isVisible());
    // The lines and the totals as the screen shows them, 20.5 × 3.3 to the cent.
    const QString sheet = SheetXml(written);
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"B10\"")) &&
                sheet.contains(QStringLiteral("<f>ROUND(D10*F10,2)</f>")));
    const QStringList figures{Figure(sheet, "G10"), Figure(sheet, "G11"), Figure(sheet, "G12"), Figure(sheet, "G13"),
                              Figure(sheet, "G14"), Figure(sheet, "G15"), Figure(sheet, "G16")};
    EXPECT_EQ(figures, (QStringList{"1000.00", "67.65", "1067.65", w->TotalText(), w->Edit8->text(), w->Edit9->text(),
                                    QStringLiteral("1189.47")}));
    EXPECT_EQ(w->TotalText(), QStringLiteral("1067.65"));

    // The crew's version from the menu: its own name, no formula, no price.
    ChoosePrintVersion(PrintVersion::Crew);
    answer = QDir(folder).filePath(QStringLiteral("郑先生施工单.xlsx"));
    frm->ActExportExcel->trigger();
    ASSERT_EQ(proposed.size(), 2);
    EXPECT_EQ(proposed[1], answer);
    EXPECT_TRUE(QFile::exists(answer));
    EXPECT_FALSE(SheetXml(answer).contains(QStringLiteral("<f>")));
    ASSERT_NE(ExportNotice(), nullptr);
    ExportNotice()->close();
    ChoosePrintVersion(PrintVersion::Customer);

    // Cancelled: nothing; a place that cannot be written: the message, no notice.
    answer.clear();
    frm->ActExportExcel->trigger();
    answer = QStringLiteral("/nonexistent/dir/x.xlsx");
    frm->ActExportExcel->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"导出Excel失败，请检查文件是否被占用或目录是否可写！"});
    EXPECT_TRUE(!ExportNotice() || !ExportNotice()->isVisible());
    PrintDialogs::ChooseWorkbookPath = kept;
}

TEST_F(MainWindowCommands, SystemManagementBehindThePasswordFeedsTheCatalogTreeBack) {
    AnswerPassword({QStringLiteral("Admin"), std::nullopt});
    frm->N20->trigger();
    EXPECT_EQ(FrmSystem(), nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"密码错误，请重新输入！"});

    AnswerPassword({QStringLiteral("admin")});
    frm->N20->trigger();
    TFrmSystem* sys = FrmSystem();
    ASSERT_NE(sys, nullptr);
    EXPECT_TRUE(sys->isVisible());
    EXPECT_EQ(sys->parentWidget(), frm.get()); // kept above the main window

    // A new first-level entry: the main window's tree shows it once the
    // management window closes.
    TCatalogPage* page = sys->TabSheet2;
    page->TreeView1->setCurrentItem(page->TreeView1->topLevelItem(0));
    page->N1->trigger();
    page->Edit3->insert(QStringLiteral("软装配饰"));
    QTest::mouseClick(page->Button2, Qt::LeftButton);
    EXPECT_EQ(Node(frm->TreeView2, QStringLiteral("软装配饰")), nullptr);
    sys->close();
    QTreeWidgetItem* added = Node(frm->TreeView2, QStringLiteral("软装配饰"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->parent(), frm->TreeView2->topLevelItem(0));
}

TEST_F(MainWindowCommands, FirmRatesAProjectsOwnRateAndADiscountFollowThroughSaveReopenAndPrint) {
    // The firm's rates on the company page: a rate that is no percentage
    // stops the save and keeps what was typed.
    AnswerPassword({QStringLiteral("admin")});
    frm->N20->trigger();
    TFrmSystem* sys = FrmSystem();
    ASSERT_NE(sys, nullptr);
    TCompanyPage* company = sys->TabSheet4;
    EXPECT_EQ(company->EditOverheadRate->text(), QStringLiteral("8"));
    EXPECT_EQ(company->EditTaxRate->text(), QStringLiteral("3.41"));
    EXPECT_EQ(company->EditTaxRate->accessibleName(), QStringLiteral("税率（%）"));
    company->EditOverheadRate->setText(QStringLiteral("十"));
    company->Button4->click();
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"管理费率不合法：十\n请输入0到100之间的百分数，如 8 或 3.41"});
    EXPECT_EQ(company->EditOverheadRate->text(), QStringLiteral("十"));
    EXPECT_EQ(RawText("select count(*) from TBLSETTING"), "0");
    company->EditOverheadRate->setText(QStringLiteral("10"));
    company->EditTaxRate->setText(QStringLiteral("5"));
    company->Button4->click();
    EXPECT_EQ(messages.Texts().back(), "保存成功！");
    sys->close();
    messages.Shown.clear();

    // A new project follows them: 10 % and 5 % of 25046.10.
    ASSERT_TRUE(frm->OpenProjectWindow(0));
    TFrmProject_Detail* w = Active();
    w->Edit1->setText(QStringLiteral("王先生"));
    w->Edit2->setText(QStringLiteral("LT-2024-018"));
    w->Edit3->setText(QStringLiteral("滨江路88号"));
    BuildThreeRoomQuotation(w->Grid());
    w->GridChanged();
    EXPECT_EQ(w->EditOverheadRate->placeholderText(), QStringLiteral("10（公司）"));
    EXPECT_EQ(w->Edit8->text(), QStringLiteral("2504.61"));
    EXPECT_EQ(w->Edit9->text(), QStringLiteral("1252.31"));

    // Its own fee rate, typed: the fee follows at once (6 %: 1502.77).
    TypeText(w->EditOverheadRate, QStringLiteral("6"));
    EXPECT_EQ(w->Edit8->text(), QStringLiteral("1502.77"));
    // A tax rate that is no percentage: said once on leaving, the box gets
    // back what it held (blank, the firm's), nothing else changes.
    TypeText(w->EditTaxRate, QStringLiteral("1.2.3"));
    QTest::keyClick(w->EditTaxRate, Qt::Key_Return);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"税率不合法：1.2.3\n请输入0到100之间的百分数，如 8 或 3.41"});
    EXPECT_EQ(w->EditTaxRate->text(), QString());
    EXPECT_EQ(w->Edit9->text(), QStringLiteral("1252.31"));
    messages.Shown.clear();

    // 5 % off: 1252.31; fee and tax on 23793.79: 1427.6274 -> 1427.63 and
    // 1189.6895 -> 1189.69.
    EXPECT_FALSE(w->EditDiscountValue->isEnabled());
    w->ComboDiscountKind->setCurrentIndex(2);
    EXPECT_TRUE(w->EditDiscountValue->isEnabled());
    EXPECT_EQ(w->EditDiscountValue->accessibleName(), QStringLiteral("优惠比例（%）"));
    TypeText(w->EditDiscountValue, QStringLiteral("5"));
    EXPECT_EQ(w->EditDiscount->text(), QStringLiteral("1252.31"));
    EXPECT_EQ(w->Edit8->text(), QStringLiteral("1427.63"));
    EXPECT_EQ(w->Edit9->text(), QStringLiteral("1189.69"));
    EXPECT_EQ(w->TotalText(), QStringLiteral("25046.10"));

    frm->SaveProject->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"新加工程成功！"});
    const TREC_PROJECTRATE stored = dm->LoadProject(RawText("select IntID from tblProject"))->Rates;
    EXPECT_TRUE(stored.Stored && stored.OverheadRate == 6.0 && !stored.TaxRate);
    EXPECT_TRUE(stored.DiscountKind == 2 && stored.DiscountValue == 5);
    EXPECT_EQ(std::stod(RawText("select numDiscount from tblProject")), 1252.31);
    EXPECT_EQ(std::stod(RawText("select numOverheadExp from tblProject")), 1427.63);
    w->close();
    Settle();
    messages.Shown.clear();

    // Reopened: the boxes and figures as saved.
    OpenFromTree(QStringLiteral("王先生（滨江路88号）"));
    w = Active();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->EditOverheadRate->text(), QStringLiteral("6"));
    EXPECT_EQ(w->EditTaxRate->text(), QString());
    EXPECT_EQ(w->ComboDiscountKind->currentIndex(), 2);
    EXPECT_EQ(w->EditDiscountValue->text(), QStringLiteral("5"));
    EXPECT_EQ(w->EditDiscount->text(), QStringLiteral("1252.31"));
    EXPECT_EQ(w->Edit8->text(), QStringLiteral("1427.63"));
    EXPECT_FALSE(w->IsModified());

    // The preview and its PDF: 优惠 between 工程总价 and 管理费, 合计 the sum
    // of the printed lines, its capitals.
    frm->ActPreview->trigger();
    EXPECT_TRUE(FrmPrint().isVisible());
    const QString path = out.filePath(QStringLiteral("discount.pdf"));
    PrintDialogs::ChoosePdfPath = [&](QWidget*, const QString&) { return path; };
    frm->ActExportPdf->trigger();
    const QString text = PdfText(path);
    EXPECT_EQ(LinesWith(text, QStringLiteral("工程总价：|优惠|管理费：|税金：|^\\s*合计：")),
              (QStringList{"工程总价： 25046.10", "优惠（5%）： -1252.31", "管理费： 1427.63", "税金： 1189.69",
                           "合计： 26411.11"}));
    EXPECT_TRUE(text.contains(QStringLiteral("合计人民币（大写）：贰万陆仟肆佰壹拾壹元壹角壹分")));
    if (ExportNotice()) ExportNotice()->close();
}

TEST_F(MainWindowCommands, ResetAndRestoreCloseTheProjectWindowsFirst) {
    namespace fs = std::filesystem;
    const QString project = StoredProject();
    OpenFromTree(project);
    TFrmProject_Detail* w = Active();
    w->Edit4->setText(QStringLiteral("13711112222"));
    ASSERT_TRUE(w->IsModified());
    const fs::path backups = fs::path(dir.Dir()) / "Data" / "backup";

    // No to the question: no password, nothing closed, nothing wiped.
    messages.Answers = {false};
    frm->N25->trigger();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"确认要清空所有的数据吗？"});
    EXPECT_EQ(FrmPassWord(), nullptr);
    EXPECT_EQ(frm->ProjectWindows().size(), 1u);
    EXPECT_EQ(ProjectRows(), 1);
    EXPECT_FALSE(fs::exists(backups));

    // Yes and the password, then Cancel to the open window's question: the
    // window stays with its change, and still nothing is wiped or copied.
    const auto reset = [this](Answer keepChanges) {
        messages.Shown.clear();
        messages.Answers = {true};
        messages.Choices = {keepChanges};
        AnswerPassword({QStringLiteral("admin")});
        frm->N25->trigger();
        Settle();
    };
    reset(Answer::Cancel);
    EXPECT_EQ(messages.Shown.back().Text, "工程「" + project.toStdString() + "」已修改，是否保存？");
    EXPECT_EQ(frm->ProjectWindows().size(), 1u);
    EXPECT_TRUE(w->IsModified());
    EXPECT_EQ(ProjectRows(), 1);
    EXPECT_FALSE(fs::exists(backups));

    // Yes to saving: the change goes into the copy, the window closes, and
    // both trees are empty.
    reset(Answer::Yes);
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(ProjectRows(), 0);
    ASSERT_EQ(frm->TreeView1->topLevelItemCount(), 1);
    EXPECT_EQ(frm->TreeView1->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(Node(frm->TreeView2, QStringLiteral("拆除工程")), nullptr);
    ASSERT_TRUE(fs::exists(backups));
    const std::string done = "操作成功！数据已备份到：";
    ASSERT_EQ(messages.Texts().back().rfind(done, 0), 0u);
    EXPECT_TRUE(fs::exists(messages.Texts().back().substr(done.size())));

    // The copy restored from 系统管理 while a new window holds a change: its
    // question first (No drops it), then the saved project is back.
    ASSERT_TRUE(frm->OpenProjectWindow(0));
    Active()->Edit1->setText(QStringLiteral("临时客户"));
    AnswerPassword({QStringLiteral("admin")});
    frm->N20->trigger();
    ASSERT_NE(FrmSystem(), nullptr);
    TBackupPage* page = FrmSystem()->TabSheet6;
    ASSERT_EQ(page->lvBackups->topLevelItemCount(), 1);
    page->lvBackups->setCurrentItem(page->lvBackups->topLevelItem(0));
    messages.Shown.clear();
    messages.Answers = {true};
    messages.Choices = {Answer::No};
    AnswerPassword({QStringLiteral("admin")});
    page->btnRestore->click();
    Settle();
    EXPECT_EQ(messages.Shown[1].Text, "工程「新装饰工程:1」已修改，是否保存？");
    EXPECT_TRUE(frm->ProjectWindows().empty());
    EXPECT_EQ(messages.Texts().back().rfind("恢复成功！", 0), 0u);
    EXPECT_EQ(ProjectRows(), 1);
    EXPECT_EQ(RawText("select charCustomerTel from tblProject"), "13711112222");
    EXPECT_NE(Node(frm->TreeView1, project), nullptr);
    EXPECT_NE(Node(frm->TreeView2, QStringLiteral("拆除工程")), nullptr);
}

} // namespace
} // namespace lty::test
