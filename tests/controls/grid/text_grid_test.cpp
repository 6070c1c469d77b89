// The generic text grid over a plain in-memory source: editing only where a
// cell accepts typing, the cell events with their coordinates, right clicks
// that leave the current cell alone, and heights and colours on screen.
#include "controls/grid/text_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace lty::controls {
namespace {

struct FakeCell {
    QString Text;
    bool ReadOnly = false;
    QColor Background;
};

class FakeSource : public GridSource {
public:
    std::vector<std::vector<FakeCell>> Rows; // row 0: headings
    std::vector<int> Heights;
    std::vector<std::pair<int, int>> Writes;

    FakeSource() {
        for (int r = 0; r < 6; ++r) AddRow(r);
        Rows[2][1].ReadOnly = true;
        Rows[3][0].Background = QColor(Qt::red);
        Heights = {21, 21, 80, 18, 30, 0}; // the last row hidden, like an end row
    }
    void AddRow(int r) {
        std::vector<FakeCell> row;
        for (int c = 0; c < 3; ++c) row.push_back({QStringLiteral("r%1c%2").arg(r).arg(c), false, {}});
        Rows.push_back(row);
    }
    int RowCount() const override { return static_cast<int>(Rows.size()); }
    int ColumnCount() const override { return 3; }
    QString Text(int c, int r) const override { return Rows[r][c].Text; }
    bool ReadOnly(int c, int r) const override { return Rows[r][c].ReadOnly; }
    Qt::Alignment Alignment(int c, int) const override { return c == 2 ? Qt::AlignRight : Qt::AlignLeft; }
    QColor Background(int c, int r) const override { return Rows[r][c].Background; }
    int RowHeight(int r) const override { return Heights[r]; }
    void SetText(int c, int r, const QString& text) override {
        Writes.emplace_back(c, r);
        Rows[r][c].Text = text.toUpper(); // the source decides what it keeps
    }
};

class TextGridTest : public ::testing::Test {
protected:
    FakeSource source;
    TextGrid grid;
    void SetUp() override {
        grid.SetSource(source);
        grid.SetColumnWidths({40, 120, 90});
        grid.resize(400, 300);
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }
    QPoint CellCentre(int col, int row) { return grid.visualRect(grid.Model()->index(row - 1, col)).center(); }
    QLineEdit* Editor() { // a closed editor lingers until deleted later
        for (auto* e : grid.viewport()->findChildren<QLineEdit*>())
            if (e->isVisible()) return e;
        return nullptr;
    }
    QRgb PixelAt(int col, int row) {
        const QImage image = grid.viewport()->grab().toImage();
        const QRect r = grid.visualRect(grid.Model()->index(row - 1, col));
        return image.pixel(r.left() + 1, r.top() + 1) & 0xFFFFFF;
    }
};

TEST_F(TextGridTest, EditorOpensOnlyWhereTypingIsAcceptedAndReportsItsCell) {
    QSignalSpy validate(&grid, &TextGrid::cellValidate);
    QSignalSpy selected(&grid, &TextGrid::cellSelected);

    grid.SetCurrentCell(1, 2); // read-only
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.last(), (QList<QVariant>{1, 2}));
    QTest::keyClick(grid.viewport(), Qt::Key_F2);
    QTest::keyClick(&grid, Qt::Key_X);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(1, 2));
    EXPECT_FALSE(grid.Editing());
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_TRUE(source.Writes.empty());

    // Enter on an editable cell opens the editor with the text selected;
    // what is typed replaces it, Enter writes it through the source and moves down.
    grid.SetCurrentCell(2, 2);
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_TRUE(grid.Editing());
    QLineEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("r2c2"));
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(grid.Editing());
    ASSERT_EQ(validate.count(), 1);
    EXPECT_EQ(validate.last(), (QList<QVariant>{2, 2}));
    EXPECT_EQ(source.Rows[2][2].Text, QStringLiteral("ABC"));
    EXPECT_EQ(grid.Model()->index(1, 2).data().toString(), QStringLiteral("ABC"));
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_EQ(grid.CurrentCol(), 2);

    // Esc cancels: nothing written, no event.
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_TRUE(grid.Editing());
    QTest::keyClicks(Editor(), QStringLiteral("zzz"));
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_FALSE(grid.Editing());
    EXPECT_EQ(source.Rows[3][2].Text, QStringLiteral("r3c2"));
    EXPECT_EQ(validate.count(), 1);

    // Typing starts the editor too; a click elsewhere ends it with the event
    // for the edited cell, then selects the clicked one.
    grid.SetCurrentCell(0, 1);
    QTest::keyClick(&grid, Qt::Key_Q);
    ASSERT_TRUE(grid.Editing());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(2, 4));
    ASSERT_EQ(validate.count(), 2);
    EXPECT_EQ(validate.last(), (QList<QVariant>{0, 1}));
    EXPECT_EQ(source.Rows[1][0].Text, QStringLiteral("Q"));
    EXPECT_EQ(grid.CurrentRow(), 4);
    EXPECT_EQ(grid.CurrentCol(), 2);
}

TEST_F(TextGridTest, RightClickReportsRowAndColumnAndLeavesTheCurrentCell) {
    QMenu menu;
    menu.addAction(QStringLiteral("添加"));
    grid.SetPopupMenu(&menu);
    QSignalSpy right(&grid, &TextGrid::rightClickCell);
    QSignalSpy selected(&grid, &TextGrid::cellSelected);
    grid.SetCurrentCell(1, 1);
    selected.clear();

    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, CellCentre(2, 3));
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.last(), (QList<QVariant>{3, 2})) << "row first, then column";
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(grid.CurrentCol(), 1);
    EXPECT_EQ(selected.count(), 0);
    EXPECT_EQ(grid.SelectedCells(), (std::vector<std::pair<int, int>>{{1, 1}}));

    // The heading row reports row 0.
    auto* heading = grid.horizontalHeader();
    QTest::mouseClick(heading->viewport(), Qt::RightButton, {}, QPoint(grid.columnViewportPosition(2) + 5, 5));
    menu.hide();
    ASSERT_GE(right.count(), 2);
    EXPECT_EQ(right.last(), (QList<QVariant>{0, 2}));
    EXPECT_EQ(grid.CurrentRow(), 1);
}

TEST_F(TextGridTest, HeightsColoursAndTheHiddenRowReachTheView) {
    EXPECT_EQ(grid.horizontalHeader()->height(), 21);
    EXPECT_EQ(grid.rowHeight(0), 21);
    EXPECT_EQ(grid.rowHeight(1), 80);
    EXPECT_EQ(grid.rowHeight(2), 18);
    EXPECT_TRUE(grid.isRowHidden(4));

    // The keyboard stops at the last visible row.
    grid.SetCurrentCell(1, 3);
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.CurrentRow(), 4);

    grid.SetCurrentCell(1, 1);
    QApplication::processEvents();
    EXPECT_EQ(PixelAt(1, 1), 0xB6CAEAu) << "the selected cell";
    EXPECT_EQ(PixelAt(0, 3), 0xFF0000u) << "a cell's own colour";
    EXPECT_EQ(PixelAt(2, 2), QColor(grid.Colors().BandSecond).rgb() & 0xFFFFFF) << "banded";
    EXPECT_EQ(PixelAt(2, 1), QColor(grid.Colors().BandFirst).rgb() & 0xFFFFFF);

    // Rows announced by the source get their heights; removed rows go.
    source.AddRow(6);
    source.Rows[6].swap(source.Rows[5]); // a new row above the hidden one
    source.Heights.insert(source.Heights.end() - 1, 80);
    grid.Model()->NotifyRowsInserted(5, 1);
    EXPECT_EQ(grid.Model()->rowCount(), 6);
    EXPECT_EQ(grid.rowHeight(4), 80);
    EXPECT_FALSE(grid.isRowHidden(4));
    EXPECT_TRUE(grid.isRowHidden(5));
    source.Rows.erase(source.Rows.begin() + 2);
    source.Heights.erase(source.Heights.begin() + 2);
    grid.Model()->NotifyRowsRemoved(2, 1);
    EXPECT_EQ(grid.Model()->rowCount(), 5);
    EXPECT_EQ(grid.rowHeight(1), 18);
    EXPECT_TRUE(grid.isRowHidden(4));
}

} // namespace
} // namespace lty::controls
