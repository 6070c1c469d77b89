// The pictures of the new-project choice with templates and of the reprice
// list, taken from the real dialogs: runs only when LTY_SCREENS_DIR names the
// folder to write them to, e.g.
//   LTY_SCREENS_DIR=docs build/tests/lty_ui_tests --gtest_filter='CopiesScreens*'
#include "tests/ui/shell/main_window_fixture.h"
#include "ui/quotation/reprice_dialog.h"
#include "ui/shell/new_project_dialog.h"

#include <QListWidget>
#include <QTreeWidget>

#include <cstdlib>

namespace lty::test {
namespace {

class CopiesScreens : public MainWindowTest {
protected:
    QString folder;
    void SetUp() override {
        const char* dir = std::getenv("LTY_SCREENS_DIR");
        if (!dir || !*dir) GTEST_SKIP() << "LTY_SCREENS_DIR names no folder";
        folder = QString::fromLocal8Bit(dir);
        MainWindowTest::SetUp();
    }
    void Take(QWidget* w, const QString& name) {
        w->repaint();
        QTest::qWait(200);
        ASSERT_TRUE(w->grab().save(folder + QStringLiteral("/") + name)) << name.toStdString();
    }
};

TEST_F(CopiesScreens, NewProjectWithTemplatesAndTheRepriceList) {
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
    Take(dialog, QStringLiteral("new-project-templates.png"));
    dialog->close();

    Raw("update TBLPRODUCT set ProductPrice=50 where Product_ID=3");
    Raw("update TBLPRODUCT set ProductPrice=7.5 where Product_ID=4");
    Raw("update TBLPRODUCT set ProductPrice=15 where Product_ID=6");
    frm->ActReprice->trigger();
    TFrmReprice* reprice = frm->LastRepriceDialog();
    ASSERT_NE(reprice, nullptr);
    reprice->ChangeList->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    Take(reprice, QStringLiteral("reprice.png"));
    reprice->reject();
}

} // namespace
} // namespace lty::test
