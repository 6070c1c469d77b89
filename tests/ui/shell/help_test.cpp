// Help as a designer meets it: F1 in any window opens the guide at that
// window's section, a help document of the firm's own still wins, 关于 says
// where the data are, and an empty database greets with the first steps.
#include "tests/ui/admin/password_answers.h"
#include "tests/ui/quotation/grid_input.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "ui/admin/admin_commands.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/admin/system_window.h"
#include "ui/print/change_order_print.h"
#include "ui/print/print_commands.h"
#include "ui/print/print_form.h"
#include "ui/quotation/project_versions.h"
#include "ui/quotation/quotation_page.h"
#include "ui/quotation/reprice_dialog.h"
#include "ui/quotation/room_size_dialog.h"
#include "ui/shell/about_window.h"
#include "ui/shell/guide_document.h"
#include "ui/shell/help_window.h"
#include "ui/shell/new_project_dialog.h"
#include "ui/shell/welcome_panel.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>

namespace lty::test {
namespace {

class HelpTest : public MainWindowTest {
protected:
    void TearDown() override {
        ReleaseAdminWindows();
        MainWindowTest::TearDown();
    }
    // F1 typed into `w` as the user presses it, with `w`'s window in front;
    // answers the section the help window then shows.
    QString PressF1(QWidget* w) {
        Focus(w);
        QTest::keyClick(w, Qt::Key_F1);
        THelpWindow* help = HelpWindow(frm.get());
        EXPECT_TRUE(help->isVisible());
        help->hide();
        return help->CurrentTopic();
    }
    void PressKeyF1OnTree() {
        Focus(frm->TreeView1);
        QTest::keyClick(frm->TreeView1, Qt::Key_F1);
    }
    TWelcomePanel* Welcome() const { return frm->findChild<TWelcomePanel*>(); }
};

// Records what the desktop was asked to open.
class DesktopRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void open(const QUrl& url) { Opened << url; }
};

TEST_F(HelpTest, F1OpensTheSectionOfTheWindowOrPageInFront) {
    EXPECT_EQ(PressF1(frm->TreeView1), "main-window");

    TFrmProject_Detail* w = NewBlank();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(PressF1(w->Edit1), "project-information");
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    EXPECT_EQ(PressF1(w->Page()->advsg1), "quotation-page");
    // On the tabs themselves: the page they show.
    EXPECT_EQ(PressF1(w->PageControl1->tabBar()), "quotation-page");
    w->PageControl1->setCurrentWidget(w->TabSheet1);
    EXPECT_EQ(PressF1(w->PageControl1->tabBar()), "project-information");

    // The parts of the information page with a section of their own.
    w->PageControl1->setCurrentWidget(w->TabSheet1);
    EXPECT_EQ(PressF1(w->EditOverheadRate), "rates");
    EXPECT_EQ(PressF1(w->VersionsBox->VersionList), "signed");

    // A dialog in front, modal as the program runs it, opens its own section.
    const auto inFront = [this](QWidget* dialog, QWidget* focus) {
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        const QString topic = PressF1(focus);
        dialog->close();
        return topic;
    };
    QString roomTopic;
    const auto run = TFrmRoomSize::Run;
    TFrmRoomSize::Run = [&](TFrmRoomSize& d) {
        roomTopic = inFront(&d, d.EditLength);
        return false;
    };
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    w->Grid().AddSectionRow();
    w->Page()->ReloadFromGrid();
    ClickCell(*w->Page()->advsg1, 1, 2);
    w->Page()->NRoomSize->trigger();
    TFrmRoomSize::Run = run;
    EXPECT_EQ(roomTopic, "room-size");
    TFrmReprice reprice(frm.get(), PriceComparison{});
    EXPECT_EQ(inFront(&reprice, reprice.ChangeList), "reprice");
    TFrmServerLogin login(frm.get());
    EXPECT_EQ(inFront(&login, login.EditPassword), "server-login");
    TFrmChangeOrder sheet(frm.get());
    EXPECT_EQ(inFront(&sheet, &sheet), "change-order");

    frm->ActPreview->trigger();
    TFrmPrint& preview = FrmPrint(frm.get());
    ASSERT_TRUE(preview.isVisible());
    EXPECT_EQ(PressF1(&preview), "printing");
    preview.close();
    w->CloseWithoutAsking();

    // 系统管理 and each of its pages.
    AnswerPassword({QStringLiteral("admin")});
    frm->N20->trigger();
    TFrmSystem* sys = FrmSystem();
    ASSERT_NE(sys, nullptr);
    const QStringList pages{"system-password", "system-catalog",   "system-prices",
                            "system-company",  "system-designers", "system-backup"};
    QStringList seen;
    for (int i = 0; i < sys->PageControl1->count(); ++i) {
        sys->PageControl1->setCurrentIndex(i);
        seen << PressF1(sys->PageControl1->tabBar());
    }
    seen.sort();
    QStringList expected = pages;
    expected.sort();
    EXPECT_EQ(seen, expected);

    // Back and forward walk the sections the window has shown.
    THelpWindow* help = HelpWindow(frm.get());
    ASSERT_TRUE(help->ActBack->isEnabled());
    const QString last = help->CurrentTopic();
    help->ActBack->trigger();
    EXPECT_NE(help->CurrentTopic(), last);
    ASSERT_TRUE(help->ActForward->isEnabled());
    help->ActForward->trigger();
    EXPECT_EQ(help->CurrentTopic(), last);
    // The contents go there too, from the keyboard.
    QTreeWidgetItem* first = help->Contents->topLevelItem(0);
    ASSERT_NE(first, nullptr);
    help->show();
    Focus(help->Contents);
    help->Contents->setCurrentItem(first);
    QTest::keyClick(help->Contents, Qt::Key_Return);
    EXPECT_EQ(help->CurrentTopic(), "first-start");
    // F1 in the help window leaves it where it is.
    EXPECT_EQ(PressF1(help->Browser), "first-start");

    // Search: Ctrl+F, the text, Enter; a text the guide lacks says so.
    help->show();
    Focus(help->Browser);
    QTest::keyClick(help->Browser, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(help->SearchBox->hasFocus());
    QTest::keyClicks(help->SearchBox, QStringLiteral("ctrl+n"));
    QTest::keyClick(help->SearchBox, Qt::Key_Return);
    EXPECT_EQ(help->Browser->textCursor().selectedText(), "Ctrl+N");
    EXPECT_FALSE(help->NotFound->isVisibleTo(help));
    EXPECT_FALSE(help->Find(QStringLiteral("没有这句话的说明")));
    QApplication::processEvents(); // the tool bar lays its widgets out
    EXPECT_TRUE(help->NotFound->isVisibleTo(help));
}

TEST_F(HelpTest, AHelpDocumentBesideTheProgramWinsOverTheGuide) {
    DesktopRecorder desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
    QTemporaryDir folder;
    const QString kept = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const QString doc = folder.filePath(QStringLiteral("岚庭雅装饰报价系统操作说明.doc"));
    QFile f(doc);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    PressKeyF1OnTree();
    ASSERT_EQ(desktop.Opened.size(), 1);
    EXPECT_EQ(desktop.Opened.front().toLocalFile(), doc);
    EXPECT_FALSE(HelpWindow(frm.get())->isVisible());

    // Without it, the guide.
    QFile::remove(doc);
    PressKeyF1OnTree();
    EXPECT_EQ(desktop.Opened.size(), 1);
    EXPECT_TRUE(HelpWindow(frm.get())->isVisible());
    QDir::setCurrent(kept);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST_F(HelpTest, AboutShowsTheVersionWhereTheDataAreAndTheWayToTheGuide) {
    frm->N15->trigger();
    TFrmAbout* about = frm->AboutWindow();
    ASSERT_TRUE(about->isVisible());
    EXPECT_TRUE(about->LabelVersion->text().startsWith("版本 1.0（构建日期 20")) << about->LabelVersion->text().toStdString();
    const QString where = about->LabelDatabase->text();
    if (DM->ADOMain.Location() == "本机")
        EXPECT_EQ(where, "数据库：" + QDir::toNativeSeparators(QString::fromStdString(DM->DatabasePath())));
    else
        EXPECT_EQ(where, "数据库：" + QString::fromStdString(DM->ADOMain.Location()));
    EXPECT_FALSE(where.contains("password", Qt::CaseInsensitive));
    emit about->LabelGuide->linkActivated(QStringLiteral("guide"));
    EXPECT_TRUE(HelpWindow(frm.get())->isVisible());
    EXPECT_EQ(HelpWindow(frm.get())->CurrentTopic(), "");
}

TEST_F(HelpTest, AnEmptyDatabaseGreetsWithTheFirstStepsUntilItHoldsAProject) {
    TWelcomePanel* welcome = Welcome();
    ASSERT_NE(welcome, nullptr);
    ASSERT_TRUE(welcome->isVisible());
    EXPECT_TRUE(welcome->PasswordHint->text().contains("修改密码"));
    // The keyboard starts on the first step; Tab reaches the second, Space presses it.
    EXPECT_EQ(frm->focusWidget(), welcome->NewProjectButton);
    Focus(welcome->NewProjectButton);
    QTest::keyClick(welcome->NewProjectButton, Qt::Key_Tab);
    ASSERT_TRUE(welcome->HelpButton->hasFocus());
    QTest::keyClick(welcome->HelpButton, Qt::Key_Space);
    EXPECT_TRUE(HelpWindow(frm.get())->isVisible());
    Focus(welcome->NewProjectButton);
    QTest::keyClick(welcome->NewProjectButton, Qt::Key_Space);
    ASSERT_NE(frm->LastNewProjectDialog(), nullptr);
    frm->LastNewProjectDialog()->close();

    // A project window takes the work area; closed unsaved, the greeting is back.
    TFrmProject_Detail* w = NewBlank();
    EXPECT_FALSE(welcome->isVisible());
    w->CloseWithoutAsking();
    Settle();
    EXPECT_TRUE(welcome->isVisible());
    // Once the database holds a project, no greeting, also at the next start.
    Raw("insert into tblProject(IntID,charProjectID,charCustomer,charAddress,charDesigner) values"
        "(1,'A1','张三','文一路18号','李婷')");
    frm->ReloadTrees();
    EXPECT_FALSE(welcome->isVisible());
    frm = std::make_unique<TFrmMain>();
    FrmMain = frm.get();
    frm->show();
    ASSERT_NE(Welcome(), nullptr);
    EXPECT_FALSE(Welcome()->isVisible());
}

TEST(GuideDocument, EveryHeadingGetsItsNamedAnchorAndFencedLinesAreNoHeadings) {
    const PreparedGuide g = PrepareGuide(QStringLiteral("# 标题\n\n<a id=\"first\"></a>\n## 第一节\n\n"
                                                        "```\n# 不是标题\n<a id=\"inside\"></a>\n```\n\n"
                                                        "### 无名\n\n<a id=\"last\"></a>\n## 最后\n"),
                                         QStringLiteral(":/nowhere/"), 100);
    ASSERT_EQ(g.Headings.size(), 4u);
    EXPECT_EQ(g.Headings[0].Anchor, "section-1");
    EXPECT_EQ(g.Headings[1].Anchor, "first");
    EXPECT_EQ(g.Headings[1].Text, "第一节");
    EXPECT_EQ(g.Headings[1].Level, 2);
    EXPECT_EQ(g.Headings[2].Anchor, "section-3");
    EXPECT_EQ(g.Headings[3].Anchor, "last");
    EXPECT_TRUE(g.Html.contains("name=\"first\""));
    EXPECT_TRUE(g.Html.contains("name=\"last\""));
    EXPECT_TRUE(g.Html.contains("# 不是标题")); // the code block keeps its lines

    // The shipped guide: anchors unique, every picture it names compiled in.
    const PreparedGuide shipped = PrepareGuide(GuideMarkdown(), QString::fromLatin1(kGuideFolder), 760);
    ASSERT_GT(shipped.Headings.size(), 10u);
    QSet<QString> anchors;
    for (const GuideHeading& h : shipped.Headings) {
        EXPECT_FALSE(anchors.contains(h.Anchor)) << h.Anchor.toStdString();
        anchors.insert(h.Anchor);
    }
    static const QRegularExpression picture(QStringLiteral(R"re(!\[[^\]]*\]\(([^)]+)\))re"));
    for (auto it = picture.globalMatch(GuideMarkdown()); it.hasNext();) {
        const QString name = it.next().captured(1);
        EXPECT_TRUE(QFile::exists(QString::fromLatin1(kGuideFolder) + name)) << name.toStdString();
    }
}

} // namespace
} // namespace lty::test

#include "help_test.moc"
