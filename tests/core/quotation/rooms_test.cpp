#include "core/quotation/rooms.h"

#include "core/quotation/quotation_grid.h"
#include "core/quotation/quotation_history.h"
#include "core/quotation/quotation_text.h"
#include "core/text/number_text.h"
#include "tests/core/scripted_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lty {
namespace {

RoomSize Size(std::int64_t l, std::int64_t w, std::int64_t h, std::vector<RoomOpening> openings = {}) {
    return RoomSize{l, w, h, std::move(openings)};
}

std::string Figure(const std::optional<std::int64_t>& f) { return f ? HundredthsText(*f) : "-"; }

std::vector<std::string> Figures(const RoomSize& size) {
    const RoomFigures f = ComputeRoomFigures(size);
    return {Figure(f.Floor), Figure(f.Wall), Figure(f.Ceiling), Figure(f.Perimeter)};
}

int AddRoom(QuotationGrid& g, const std::string& name) {
    g.AddSectionRow();
    const int row = g.EndRow() - 1;
    g.SetCellText(1, row, name);
    g.SetCurrentCell(1, row);
    return row;
}

int AddLine(QuotationGrid& g, const std::string& name, double price, double count, Measure follows) {
    CatalogLine line;
    line.ItemName = name;
    line.Price = price;
    line.Count = count;
    line.Unit = "平米";
    line.Follows = follows;
    const int at = g.ItemInsertRow();
    EXPECT_TRUE(g.AddCatalogEntry(line));
    g.SetCurrentCell(1, at);
    return at;
}

TEST(Rooms, FiguresAreExactAndRoundedOnceAsShown) {
    // 3.6 × 2.8 × 2.7 with a door and two windows.
    const RoomSize room = Size(3600, 2800, 2700, {{900, 2100, 1}, {1500, 1500, 2}});
    EXPECT_EQ(Figures(room), (std::vector<std::string>{"10.08", "28.17", "10.08", "12.80"}));
    // An exact half of a hundredth goes up; what a double would spoil stays exact.
    EXPECT_EQ(Figures(Size(5, 1000, 0)), (std::vector<std::string>{"0.01", "-", "0.01", "2.01"}));
    EXPECT_EQ(Figures(Size(1001, 1001, 0)), (std::vector<std::string>{"1.00", "-", "1.00", "4.00"}));
    EXPECT_EQ(Figures(Size(100, 3000, 1000)), (std::vector<std::string>{"0.30", "6.20", "0.30", "6.20"}));
    // Openings larger than the walls leave 0, never less; no length, no figure.
    EXPECT_EQ(Figures(Size(1000, 1000, 1000, {{5000, 5000, 3}})),
              (std::vector<std::string>{"1.00", "0.00", "1.00", "4.00"}));
    EXPECT_EQ(Figures(Size(0, 3000, 2800)), (std::vector<std::string>{"-", "-", "-", "-"}));
    // The largest room keeps far inside the ceiling of figures.
    const RoomFigures big = ComputeRoomFigures(Size(kMaxRoomMm, kMaxRoomMm, kMaxRoomMm));
    EXPECT_EQ(HundredthsText(*big.Floor), "1000000.00");
    EXPECT_TRUE(WithinNumberLimit(StrToFloat(HundredthsQuantity(*big.Wall)) * 1e5));
    EXPECT_EQ(HundredthsQuantity(1250), "12.5");
    EXPECT_EQ(HundredthsQuantity(1200), "12");
    EXPECT_EQ(HundredthsQuantity(7), "0.07");

    // Lengths as typed: metres to the millimetre, full-width and arithmetic too.
    std::int64_t mm = -1;
    std::string refusal;
    for (const auto& [typed, want] : std::vector<std::pair<std::string, std::int64_t>>{{"3.6", 3600},
                                                                                       {"３．６", 3600},
                                                                                       {"1.2+2.4", 3600},
                                                                                       {"", 0},
                                                                                       {" .5 ", 500},
                                                                                       {"1000", 1000000},
                                                                                       {"2.850", 2850}}) {
        EXPECT_TRUE(ReadMetres(typed, mm, refusal)) << typed;
        EXPECT_EQ(mm, want) << typed;
    }
    for (const std::string typed : {"1.0005", "-1", "abc", "1000.001", "1e3", "3..6", "(1"}) {
        mm = 7;
        EXPECT_FALSE(ReadMetres(typed, mm, refusal)) << typed;
        EXPECT_EQ(mm, 7) << typed;
        EXPECT_EQ(refusal, "尺寸“" + typed + "”不正确：请输入以米为单位的数字，最多3位小数，不超过1000米");
    }
    std::int64_t count = 0;
    EXPECT_TRUE(ReadOpeningCount("２", count, refusal));
    EXPECT_EQ(count, 2);
    EXPECT_FALSE(ReadOpeningCount("1.5", count, refusal));
    EXPECT_EQ(refusal, "数量“1.5”不正确：请输入0到999的整数");
    EXPECT_EQ(MetresText(3600), "3.6");
    EXPECT_EQ(MetresText(2850), "2.85");
    EXPECT_EQ(MetresText(4000), "4");
    EXPECT_EQ(MetresText(5), "0.005");

    // The stored measurements read back exactly; anything else is refused.
    RoomSize back;
    ASSERT_TRUE(DecodeRoomSize(EncodeRoomSize(room), back));
    EXPECT_EQ(back, room);
    for (const std::string bad :
         {"", "1,2", "1,2,3;4,5", "1,2,x", "1,-2,3", "1,2,3;4,5,6,7", "99999999,1,1", "1,2,3;1,1,1000"})
        EXPECT_FALSE(DecodeRoomSize(bad, back)) << bad;
    EXPECT_EQ(back, room);

    Measure m = Measure::Wall;
    EXPECT_TRUE(MeasureFromName(" 周长 ", m));
    EXPECT_EQ(m, Measure::Perimeter);
    EXPECT_TRUE(MeasureFromName("", m));
    EXPECT_EQ(m, Measure::None);
    EXPECT_FALSE(MeasureFromName("面积", m));
    EXPECT_EQ(MeasureFromNumber(7), Measure::None);
    EXPECT_EQ(MeasureName(Measure::Ceiling), "顶面");
}

// A measured room fills the quantity of an entry that follows a measure; a
// quantity typed in ends the following; new measurements change only the
// quantities that still follow, and the totals with them; an undo takes the
// measurements and the quantities back together.
TEST(Rooms, QuantitiesFollowTheRoomUntilTypedOver) {
    test::ScriptedMessages messages;
    QuotationGrid g;
    const int room = AddRoom(g, "客厅");
    ApplyRoomSize(g, room, Size(4000, 3000, 2800, {{900, 2100, 1}}), true);
    const int tiles = AddLine(g, "地面瓷砖", 65, 1, Measure::Floor);
    EXPECT_EQ(g.Text(3, tiles), "12");
    EXPECT_EQ(g.Text(5, tiles), "780.00");
    const int paint = AddLine(g, "墙面乳胶漆", 38, 1, Measure::Wall);
    EXPECT_EQ(g.Text(3, paint), "37.31"); // 14 × 2.8 − 0.9 × 2.1 = 37.31
    EXPECT_EQ(g.Text(5, paint), "1417.78");
    const int skirting = AddLine(g, "踢脚线", 18, 1, Measure::Perimeter);
    g.SetCellText(3, skirting, "13.1"); // typed: the door has no skirting
    g.advsg1CellValidate(3, skirting, messages);
    EXPECT_EQ(g.LineMeasure(skirting), Measure::None);
    const int tv = AddLine(g, "电视墙", 2800, 1, Measure::None);
    EXPECT_EQ(g.Text(3, tv), "1");
    EXPECT_EQ(g.Text(5, room), "5233.58");

    // A second room, not yet measured: the entry takes the catalog's count
    // and follows the measure as soon as the room has it.
    const int bedroom = AddRoom(g, "主卧");
    const int floor = AddLine(g, "实木地板", 35, 1, Measure::Floor);
    EXPECT_EQ(g.Text(3, floor), "1");
    EXPECT_EQ(g.LineMeasure(floor), Measure::Floor);
    EXPECT_EQ(LinesToRemeasure(g, bedroom, Size(4100, 4000, 0)), std::vector<int>{floor});
    EXPECT_EQ(ApplyRoomSize(g, bedroom, Size(4100, 4000, 0), true), 1);
    EXPECT_EQ(g.Text(3, floor), "16.4");
    EXPECT_EQ(g.Text(5, bedroom), "574.00");

    // Larger living room: only the two following lines change.
    QuotationHistory history;
    history.Begin(g);
    const RoomSize larger = Size(4500, 3000, 2800, {{900, 2100, 1}});
    EXPECT_EQ(LinesToRemeasure(g, room, larger), (std::vector<int>{tiles, paint}));
    EXPECT_EQ(LinesToRemeasure(g, tiles, larger), std::vector<int>{}); // a line is no room
    EXPECT_EQ(ApplyRoomSize(g, room, larger, true), 2);
    history.End(g, true);
    EXPECT_EQ(g.Text(3, tiles), "13.5");
    EXPECT_EQ(g.Text(3, paint), "40.11");
    EXPECT_EQ(g.Text(3, skirting), "13.1");
    EXPECT_EQ(g.Text(1, 1), "总计");
    EXPECT_EQ(g.Text(5, room), FormatTwoDecimals(13.5 * 65 + 40.11 * 38 + 13.1 * 18 + 2800));
    EXPECT_EQ(g.Charges().Label16Text, FormatTwoDecimals(StrToFloat(g.Text(5, room)) + 574));
    // Declining the update keeps the quantities and still takes the measurements.
    QuotationGrid declined = g;
    EXPECT_EQ(ApplyRoomSize(declined, room, Size(5000, 3000, 2800), false), 0);
    EXPECT_EQ(declined.Text(3, tiles), "13.5");
    EXPECT_EQ(declined.Room(room), Size(5000, 3000, 2800));

    ASSERT_TRUE(history.Undo(g));
    EXPECT_EQ(g.Text(3, tiles), "12");
    EXPECT_EQ(g.Text(3, paint), "37.31");
    EXPECT_EQ(g.Room(room), Size(4000, 3000, 2800, {{900, 2100, 1}}));
    EXPECT_EQ(g.LineMeasure(tiles), Measure::Floor);
    EXPECT_EQ(g.Charges().Label16Text, "5807.58");
    ASSERT_TRUE(history.Redo(g));
    EXPECT_EQ(g.Text(3, tiles), "13.5");

    // A line moved into another room follows that room's measure.
    g.SetCurrentCell(1, tiles);
    while (g.SectionOf(g.CurrentRow()) == room) g.MoveCurrentRowDown();
    EXPECT_EQ(g.SectionOf(g.CurrentRow()), bedroom - 1);
    EXPECT_EQ(LinesToRemeasure(g, bedroom - 1, g.Room(bedroom - 1)), std::vector<int>{g.CurrentRow()});
}

// The three-room quotation of the printout, its quantities taken from
// measured rooms where a measure fits, gives the very figures of the typed one.
TEST(Rooms, AMeasuredQuotationGivesTheFiguresOfTheTypedOne) {
    struct Line {
        std::string Name;
        double Price, Count;
        Measure Follows;
    };
    struct Room {
        std::string Name;
        RoomSize Size;
        std::vector<Line> Lines;
    };
    const std::vector<Room> rooms{{"客厅",
                                   Size(8000, 4400, 2800, {{900, 2100, 1}, {2500, 2020, 1}}),
                                   {{"墙面乳胶漆", 38, 62.5, Measure::Wall},
                                    {"顶面石膏板吊顶", 145, 18.6, Measure::None},
                                    {"电视背景墙", 2800, 1, Measure::None},
                                    {"地面瓷砖铺贴", 65, 35.2, Measure::Floor},
                                    {"踢脚线安装", 18, 24, Measure::None},
                                    {"窗帘盒", 120, 4.2, Measure::None}}},
                                  {"主卧",
                                   Size(4100, 4000, 3000, {{800, 2000, 1}, {1200, 1000, 1}}),
                                   {{"墙面乳胶漆", 38, 45.8, Measure::Wall},
                                    {"实木复合地板铺设", 35, 16.4, Measure::Floor},
                                    {"衣柜", 1280, 3.6, Measure::None},
                                    {"门及门套", 1650, 1, Measure::None}}},
                                  {"卫生间",
                                   Size(2400, 2000, 3600, {{600, 1800, 1}}),
                                   {{"防水处理", 85, 22.5, Measure::None},
                                    {"墙地砖铺贴", 72, 30.6, Measure::Wall},
                                    {"铝扣板吊顶", 165, 4.8, Measure::Ceiling},
                                    {"洁具安装", 380, 1, Measure::None},
                                    {"地漏", 45, 2, Measure::None}}}};
    QuotationGrid typed, measured;
    test::ScriptedMessages messages;
    for (const Room& r : rooms) {
        const int t = AddRoom(typed, r.Name);
        const int m = AddRoom(measured, r.Name);
        (void)t;
        ApplyRoomSize(measured, m, r.Size, true);
        for (const Line& l : r.Lines) {
            AddLine(typed, l.Name, l.Price, l.Count, Measure::None);
            // Measured: the catalog's count of 1, the room's figure where a measure fits.
            const int row = AddLine(measured, l.Name, l.Price, l.Follows == Measure::None ? l.Count : 1, l.Follows);
            EXPECT_EQ(measured.Text(3, row), FloatToStr(l.Count)) << l.Name;
        }
    }
    EXPECT_EQ(QuotationToText(measured), QuotationToText(typed));
    EXPECT_EQ(measured.Charges().Label16Text, "25046.10");
    EXPECT_EQ(measured.Charges().Edit8Text, typed.Charges().Edit8Text);
    EXPECT_EQ(measured.Charges().Edit9Text, typed.Charges().Edit9Text);

    // Stored and read back, the rooms and the lines' measures are as they were.
    const std::string stored = RoomsToText(measured);
    QuotationGrid reopened;
    TextToQuotation(reopened, QuotationToText(measured));
    EXPECT_EQ(RoomsFromText(reopened, stored), 3);
    EXPECT_EQ(RoomsToText(reopened), stored);
}

// Rooms stored beside a quotation that was changed without them, by an older
// program or by rows added, moved and deleted: each room finds its section by
// name, and a line keeps its measure only while it is still the same line
// with the quantity it was filled with.
TEST(Rooms, StoredRoomsSurviveAQuotationChangedWithoutThem) {
    QuotationGrid g;
    const int kitchen = AddRoom(g, "厨房");
    ApplyRoomSize(g, kitchen, Size(3000, 2000, 2600), true);
    AddLine(g, "墙砖", 72, 1, Measure::Wall);
    AddLine(g, "吊顶", 165, 1, Measure::Ceiling);
    const int bed = AddRoom(g, "卧室");
    ApplyRoomSize(g, bed, Size(3500, 3000, 2700), true);
    AddLine(g, "地板", 35, 1, Measure::Floor);
    const int bed2 = AddRoom(g, "卧室");
    ApplyRoomSize(g, bed2, Size(3000, 3000, 2700), true);
    AddLine(g, "地板", 35, 1, Measure::Floor);
    AddRoom(g, "阳台"); // neither measured nor following: not stored
    const std::string stored = RoomsToText(g);
    EXPECT_EQ(stored.rfind("ROOMS 1\nR\t0\t厨房\t3000,2000,2600\nL\t0\t2\t墙砖\t26\n", 0), 0u) << stored;
    EXPECT_EQ(stored.find("阳台"), std::string::npos);

    // Elsewhere: a new room at the top, the first bedroom deleted, the
    // kitchen's ceiling typed over, its tiles renamed. Names with tabs and
    // line breaks keep to their fields.
    QuotationGrid other;
    AddRoom(other, "玄关\t\n\\");
    const int k = AddRoom(other, "厨房");
    AddLine(other, "瓷砖", 72, 26, Measure::None);
    AddLine(other, "吊顶", 165, 5, Measure::None);
    AddRoom(other, "卧室");
    AddLine(other, "衣柜", 1280, 2, Measure::None);
    AddLine(other, "地板", 35, 9, Measure::None);
    EXPECT_EQ(RoomsFromText(other, stored), 2);
    EXPECT_EQ(other.Room(k), Size(3000, 2000, 2600));
    EXPECT_EQ(other.LineMeasure(k + 1), Measure::None);
    EXPECT_EQ(other.LineMeasure(k + 2), Measure::None);
    // The nearest 卧室 to the kept one's place is the second: 3 × 3, its
    // floor line found by name and quantity though it moved down a place.
    EXPECT_EQ(other.Room(k + 3), Size(3000, 3000, 2700));
    EXPECT_EQ(other.LineMeasure(k + 5), Measure::Floor);
    EXPECT_TRUE(other.Room(2).Empty());
    other.SetRoom(2, Size(1000, 1000, 0));
    QuotationGrid again;
    TextToQuotation(again, QuotationToText(other));
    EXPECT_EQ(RoomsFromText(again, RoomsToText(other)), 3);
    EXPECT_EQ(RoomsToText(again), RoomsToText(other));
    EXPECT_EQ(again.Room(2), Size(1000, 1000, 0));

    // Whatever the text, nothing breaks and nothing is invented.
    for (const std::string bad :
         {"", "ROOMS 2\nR\t0\t厨房\t1,1,1", "R\t0\t厨房\t1,1,1", "ROOMS 1\nL\t0\t1\t地板\t9",
          "ROOMS 1\nR\tx\t厨房\t1,1,1\nL\t0\t1\t瓷砖\t26", "ROOMS 1\nR\t0\t厨房\tjunk\nL\t0\t2\t瓷砖\t26",
          "ROOMS 1\nR\t99999999999\t厨房\t1,1,1\nL\t-1\t9\t瓷砖\t26\nL"}) {
        QuotationGrid q;
        TextToQuotation(q, QuotationToText(other));
        const std::string before = QuotationToText(q);
        RoomsFromText(q, bad);
        EXPECT_EQ(QuotationToText(q), before) << bad;
        for (int r = 2; r < q.EndRow(); ++r) EXPECT_EQ(q.LineMeasure(r), Measure::None) << bad;
    }
}

} // namespace
} // namespace lty
