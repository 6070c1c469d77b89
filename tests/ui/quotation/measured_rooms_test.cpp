// Measuring a room in a project window as a user does: the room's
// measurements typed into "房间尺寸", catalog entries whose quantity follows
// a measure, a quantity typed over, the measurements changed and the offer
// to update taken, one undo, and the rooms kept through a save and a reopen.
// Also the measure of a catalog entry on the price page, and the picture of
// the dialog for the guide.
#include "tests/ui/admin/admin_fixture.h"
#include "tests/ui/quotation/grid_input.h"
#include "tests/ui/shell/main_window_fixture.h"
#include "ui/admin/price_page.h"
#include "ui/admin/system_window.h"
#include "ui/quotation/room_size_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

#include <cstdlib>

namespace lty::test {
namespace {

class MeasuredRooms : public MainWindowTest {
protected:
    // What the dialog showed when it ran last.
    QString shownTitle, shownFigures;

    // The next "房间尺寸" is answered with these lengths and openings (texts
    // as typed) and 确定.
    void AnswerRoomSize(QStringList lengths, std::vector<QStringList> openings = {}) {
        TFrmRoomSize::Run = [this, lengths, openings](TFrmRoomSize& d) {
            d.EditLength->setText(lengths.value(0));
            d.EditWidth->setText(lengths.value(1));
            d.EditHeight->setText(lengths.value(2));
            while (d.Openings->rowCount() > 0) d.Openings->removeRow(0);
            for (const auto& o : openings) {
                d.ButtonAddOpening->click();
                for (int c = 0; c < 3; ++c) d.Openings->item(d.Openings->rowCount() - 1, c)->setText(o.value(c));
            }
            shownTitle = d.windowTitle();
            shownFigures = d.FigureTexts();
            d.Buttons->button(QDialogButtonBox::Ok)->click();
            return d.result() == QDialog::Accepted;
        };
    }
    void TearDown() override {
        TFrmRoomSize::Run = [](TFrmRoomSize& d) { return d.exec() == QDialog::Accepted; };
        MainWindowTest::TearDown();
    }
    void AddFromCatalog(const QString& name) {
        QTreeWidgetItem* node = Node(frm->TreeView2, name);
        ASSERT_NE(node, nullptr);
        frm->TreeView2->setCurrentItem(node);
        frm->TreeView2DblClick();
    }
};

TEST_F(MeasuredRooms, OnlyTheMeasuredQuantityFollowsNewMeasurementsAndOneUndoBringsItBack) {
    ASSERT_TRUE(dm->SaveProductMeasure("5", 1)); // 拆除原有地砖: the floor
    ASSERT_TRUE(dm->SaveProductMeasure("4", 2)); // 铲除墙面原有腻子层: the walls
    TFrmProject_Detail* w = NewBlank();
    QuotationPage* page = w->Page();
    controls::TextGrid& v = *page->advsg1;
    w->PageControl1->setCurrentWidget(w->TabSheet2);
    page->N1->trigger();
    TypeIntoCell(v, 1, 2, QStringLiteral("客厅"));

    // On the room row the command is on the context menu (Shift+F10 opens
    // it too), on the tool bar and on Ctrl+M, named for a screen reader.
    ClickCell(v, 1, 2);
    ASSERT_TRUE(page->PopupMenu1->actions().contains(page->NRoomSize));
    EXPECT_TRUE(page->ToolBar->actions().contains(page->NRoomSize));
    EXPECT_TRUE(page->NRoomSize->isEnabled());
    EXPECT_EQ(page->NRoomSize->text(), QStringLiteral("房间尺寸…"));
    AnswerRoomSize({"4", "3", "2.8"}, {{"0.9", "2.1", "1"}});
    Focus(&v);
    QTest::keyClick(&v, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(shownTitle, QStringLiteral("房间尺寸 - 客厅"));
    EXPECT_EQ(shownFigures, QStringLiteral("12.00 37.31 12.00 14.00"));
    EXPECT_EQ(w->Grid().Room(2), (RoomSize{4000, 3000, 2800, {{900, 2100, 1}}}));
    EXPECT_TRUE(w->IsModified());
    EXPECT_TRUE(messages.Shown.empty()); // no line followed a measure yet: nothing to ask

    // The floor entry takes the floor area; the wall entry the wall area,
    // which the user then types over.
    AddFromCatalog(QStringLiteral("拆除原有地砖"));
    EXPECT_EQ(ShownText(v, 3, 3), "12");
    EXPECT_EQ(ShownText(v, 5, 3), "216.00");
    ClickCell(v, 1, 3);
    AddFromCatalog(QStringLiteral("铲除墙面原有腻子层"));
    EXPECT_EQ(ShownText(v, 3, 4), "37.31");
    TypeIntoCell(v, 3, 4, QStringLiteral("30"));
    EXPECT_EQ(w->Label16->text(), QStringLiteral("456.00"));
    const std::size_t undoSteps = page->History().UndoCount();

    // Longer by a metre: asked, accepted; only the floor line follows.
    messages.Answers = {true};
    ClickCell(v, 1, 4); // from one of its lines
    AnswerRoomSize({"5", "3", "2.8"}, {{"0.9", "2.1", "1"}});
    page->NRoomSize->trigger();
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"「客厅」有1项明细的数量按房间尺寸计算，是否按新尺寸更新这些数量？"});
    EXPECT_EQ(ShownText(v, 3, 3), "15");
    EXPECT_EQ(ShownText(v, 5, 3), "270.00");
    EXPECT_EQ(ShownText(v, 3, 4), "30");
    EXPECT_EQ(ShownText(v, 5, 2), "510.00");
    EXPECT_EQ(w->Label16->text(), QStringLiteral("510.00"));
    EXPECT_EQ(w->Edit8->text(), QStringLiteral("40.80"));
    EXPECT_EQ(page->History().UndoCount(), undoSteps + 1);

    // One undo: the quantity, the charges and the measurements as they were.
    page->NUndo->trigger();
    EXPECT_EQ(ShownText(v, 3, 3), "12");
    EXPECT_EQ(w->Label16->text(), QStringLiteral("456.00"));
    EXPECT_EQ(w->Grid().Room(2).LengthMm, 4000);
    page->NRedo->trigger();
    EXPECT_EQ(ShownText(v, 3, 3), "15");

    // Saved and opened again: the rooms and the line that follows come back.
    w->Edit1->setText(QStringLiteral("量房客户"));
    w->Edit2->setText(QStringLiteral("M-1"));
    messages.Shown.clear();
    ASSERT_TRUE(frm->SaveProjectWindow(w));
    const std::int32_t id = w->ProjectRecord()->IntID;
    w->CloseWithoutAsking();
    Settle();
    ASSERT_TRUE(frm->OpenProjectWindow(2, dm->LoadProject(std::to_string(id))));
    TFrmProject_Detail* again = Active();
    EXPECT_EQ(again->Grid().Room(2), (RoomSize{5000, 3000, 2800, {{900, 2100, 1}}}));
    EXPECT_EQ(again->Grid().LineMeasure(3), Measure::Floor);
    EXPECT_EQ(again->Grid().LineMeasure(4), Measure::None);
    EXPECT_FALSE(again->IsModified());

    // Above the first room there is no room to measure.
    again->Grid().SetCurrentCell(1, 1);
    again->Page()->RoomSizeClick();
    EXPECT_EQ(messages.Texts().back(), "请先选择一个房间或其中的明细行");
}

// The dialog keeps a length it cannot read from the quotation, says which,
// and stays open.
TEST_F(MeasuredRooms, TheDialogRefusesALengthItCannotRead) {
    TFrmRoomSize d(QStringLiteral("厨房"), RoomSize{3000, 2000, 0, {}});
    EXPECT_EQ(d.EditLength->text(), QStringLiteral("3"));
    EXPECT_EQ(d.EditHeight->text(), QString());
    EXPECT_EQ(d.FigureTexts(), QStringLiteral("6.00 — 6.00 10.00"));
    EXPECT_EQ(d.LabelFloor->accessibleName(), QStringLiteral("地面面积（平米）：6.00"));
    d.EditHeight->setText(QStringLiteral("2,6"));
    EXPECT_EQ(d.FigureTexts(), QStringLiteral("— — — —"));
    d.show();
    d.Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"尺寸“2,6”不正确：请输入以米为单位的数字，最多3位小数，不超过1000米"});
    d.EditHeight->setText(QStringLiteral("2.6"));
    d.Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(*d.TypedSize(false), (RoomSize{3000, 2000, 2600, {}}));

    // For the guide: the dialog as the designer sees it.
    const char* folder = std::getenv("LTY_SCREENS_DIR");
    if (!folder || !*folder) return;
    TFrmRoomSize shot(QStringLiteral("客厅"), RoomSize{5000, 3000, 2800, {{900, 2100, 1}, {1800, 1500, 2}}});
    shot.show();
    QTest::qWait(200);
    ASSERT_TRUE(shot.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/room-size.png")));
}

class PriceMeasure : public AdminTest {};

TEST_F(PriceMeasure, ThePricePageSetsWhatTheQuantityFollows) {
    TFrmSystem frm(nullptr, hooks);
    frm.show();
    TPricePage* price = frm.TabSheet3;
    price->TreeView2->setCurrentItem(Node(price->TreeView2, "拆除原有地砖"));
    EXPECT_EQ(price->ComboMeasure->currentText(), QStringLiteral("无"));
    EXPECT_EQ(price->ComboMeasure->count(), 5);
    price->ComboMeasure->setCurrentText(QStringLiteral("地面"));
    price->Button3->click();
    EXPECT_EQ(messages.Texts().back(), "保存成功!");
    EXPECT_EQ(One("select intMeasure from TBLPRODUCTMEASURE where Product_ID=5"), "1");
    price->TreeView2->setCurrentItem(Node(price->TreeView2, "拆除非承重墙体"));
    EXPECT_EQ(price->ComboMeasure->currentText(), QStringLiteral("无"));
    price->TreeView2->setCurrentItem(Node(price->TreeView2, "拆除原有地砖"));
    EXPECT_EQ(price->ComboMeasure->currentText(), QStringLiteral("地面"));
}

} // namespace
} // namespace lty::test
