#include "core/quotation/rooms.h"

#include "core/quotation/quotation_grid.h"
#include "core/text/number_expression.h"
#include "core/text/number_text.h"
#include "core/text/tab_escape.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <tuple>

namespace lty {
namespace {

// A square-millimetre area in hundredths of a square metre (1 = 10,000 mm²),
// or millimetres in hundredths of a metre (1 = 10 mm); half away from zero.
std::int64_t RoundedDivide(std::int64_t value, std::int64_t by) {
    const std::int64_t q = value / by;
    const std::int64_t r = value % by;
    return 2 * std::abs(r) >= by ? q + (value < 0 ? -1 : 1) : q;
}

bool ReadInteger(std::string_view text, std::int64_t& out) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Split(std::string_view text, char by) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = text.find(by);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

// The decimal text a typed figure stands for: plain, full-width or worked out.
bool TypedDecimal(std::string_view typed, std::string& decimal) {
    const std::string normalized = NormalizeNumberInput(typed);
    if (normalized.empty()) {
        decimal = "0";
        return true;
    }
    if (!LooksLikeExpression(normalized)) {
        decimal = normalized;
        return true;
    }
    const auto value = EvaluateNumberExpression(normalized);
    if (!value) return false;
    decimal = *value;
    return true;
}

} // namespace

RoomFigures ComputeRoomFigures(const RoomSize& size) {
    RoomFigures f;
    if (size.LengthMm <= 0 || size.WidthMm <= 0) return f;
    const std::int64_t floor = size.LengthMm * size.WidthMm;
    const std::int64_t perimeter = 2 * (size.LengthMm + size.WidthMm);
    f.Floor = RoundedDivide(floor, 10'000);
    f.Ceiling = f.Floor;
    f.Perimeter = RoundedDivide(perimeter, 10);
    if (size.HeightMm > 0) {
        std::int64_t walls = perimeter * size.HeightMm;
        for (const auto& o : size.Openings) walls -= o.WidthMm * o.HeightMm * o.Count;
        f.Wall = RoundedDivide(std::max<std::int64_t>(walls, 0), 10'000);
    }
    return f;
}

std::optional<std::int64_t> RoomFigure(const RoomFigures& figures, Measure measure) {
    switch (measure) {
    case Measure::Floor:
        return figures.Floor;
    case Measure::Wall:
        return figures.Wall;
    case Measure::Ceiling:
        return figures.Ceiling;
    case Measure::Perimeter:
        return figures.Perimeter;
    case Measure::None:
        break;
    }
    return std::nullopt;
}

std::string HundredthsText(std::int64_t hundredths) {
    const std::int64_t cents = std::abs(hundredths) % 100;
    return (hundredths < 0 ? "-" : "") + IntToStr(std::abs(hundredths) / 100) + (cents < 10 ? ".0" : ".") +
           IntToStr(cents);
}

std::string HundredthsQuantity(std::int64_t hundredths) {
    std::string text = HundredthsText(hundredths);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

std::optional<std::string> MeasuredQuantity(const RoomSize& size, Measure measure) {
    const auto figure = RoomFigure(ComputeRoomFigures(size), measure);
    if (!figure) return std::nullopt;
    return HundredthsQuantity(*figure);
}

bool ReadMetres(std::string_view typed, std::int64_t& mm, std::string& refusal) {
    std::string decimal;
    const auto refuse = [&] {
        refusal = "尺寸“" + Trim(typed) + "”不正确：请输入以米为单位的数字，最多3位小数，不超过1000米";
        return false;
    };
    if (!TypedDecimal(typed, decimal)) return refuse();
    const auto point = decimal.find('.');
    const std::string_view whole = std::string_view(decimal).substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : decimal.substr(point + 1);
    if (fraction.size() > 3 || whole.size() > 7) return refuse();
    for (char c : fraction)
        if (c < '0' || c > '9') return refuse();
    fraction.resize(3, '0');
    std::int64_t metres = 0, thousandths = 0;
    if ((!whole.empty() && !ReadInteger(whole, metres)) || !ReadInteger(fraction, thousandths) || metres < 0 ||
        (whole.empty() && point == std::string::npos))
        return refuse();
    const std::int64_t value = metres * 1000 + thousandths;
    if (value > kMaxRoomMm) return refuse();
    mm = value;
    return true;
}

bool ReadOpeningCount(std::string_view typed, std::int64_t& count, std::string& refusal) {
    std::string decimal;
    std::int64_t value = 0;
    if (!TypedDecimal(typed, decimal) || !ReadInteger(decimal, value) || value < 0 || value > kMaxOpeningCount) {
        refusal = "数量“" + Trim(typed) + "”不正确：请输入0到" + std::to_string(kMaxOpeningCount) + "的整数";
        return false;
    }
    count = value;
    return true;
}

std::string MetresText(std::int64_t mm) {
    std::string text = IntToStr(mm / 1000);
    std::int64_t rest = mm % 1000;
    if (rest == 0) return text;
    std::string fraction = IntToStr(rest);
    fraction.insert(0, 3 - fraction.size(), '0');
    while (fraction.back() == '0') fraction.pop_back();
    return text + "." + fraction;
}

std::string EncodeRoomSize(const RoomSize& size) {
    std::string out = IntToStr(size.LengthMm) + "," + IntToStr(size.WidthMm) + "," + IntToStr(size.HeightMm);
    for (const auto& o : size.Openings)
        out += ";" + IntToStr(o.WidthMm) + "," + IntToStr(o.HeightMm) + "," + IntToStr(o.Count);
    return out;
}

bool DecodeRoomSize(std::string_view text, RoomSize& size) {
    RoomSize read;
    const auto groups = Split(text, ';');
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const auto parts = Split(groups[g], ',');
        std::int64_t v[3] = {0, 0, 0};
        if (parts.size() != 3) return false;
        for (int i = 0; i < 3; ++i)
            if (!ReadInteger(parts[static_cast<std::size_t>(i)], v[i]) || v[i] < 0) return false;
        const std::int64_t countLimit = g == 0 ? kMaxRoomMm : kMaxOpeningCount;
        if (v[0] > kMaxRoomMm || v[1] > kMaxRoomMm || v[2] > countLimit) return false;
        if (g == 0)
            read.LengthMm = v[0], read.WidthMm = v[1], read.HeightMm = v[2];
        else
            read.Openings.push_back({v[0], v[1], v[2]});
    }
    size = std::move(read);
    return true;
}

// ---- rooms on the grid -------------------------------------------------------

std::vector<int> LinesToRemeasure(const QuotationGrid& grid, int sectionRow, const RoomSize& size) {
    std::vector<int> lines;
    if (grid.SectionOf(sectionRow) != sectionRow || sectionRow == 0) return lines;
    const RoomFigures figures = ComputeRoomFigures(size);
    for (int r = sectionRow + 1; r < grid.EndRow() && grid.IsItemRow(r); ++r) {
        const auto figure = RoomFigure(figures, grid.LineMeasure(r));
        if (figure && grid.Text(3, r) != HundredthsQuantity(*figure)) lines.push_back(r);
    }
    return lines;
}

int ApplyRoomSize(QuotationGrid& grid, int sectionRow, const RoomSize& size, bool updateQuantities) {
    if (grid.SectionOf(sectionRow) != sectionRow || sectionRow == 0) return 0;
    grid.SetRoom(sectionRow, size);
    if (!updateQuantities) return 0;
    const RoomFigures figures = ComputeRoomFigures(size);
    const auto lines = LinesToRemeasure(grid, sectionRow, size);
    for (int r : lines) grid.SetMeasuredQuantity(r, HundredthsQuantity(*RoomFigure(figures, grid.LineMeasure(r))));
    if (!lines.empty()) grid.RecalcTotals();
    return static_cast<int>(lines.size());
}

namespace {

// The stored text: a first line naming the form, then a line per room and,
// after it, a line per following line of that room; fields split by tabs.
//   R <section's place> <name> <measurements>
//   L <line's place in the room> <measure> <name> <quantity>
constexpr std::string_view kRoomsHeading = "ROOMS 1";

struct StoredLine {
    int Place = 0;
    Measure Follows = Measure::None;
    std::string Name, Quantity;
};

struct StoredRoom {
    int Place = 0;
    std::string Name;
    RoomSize Size;
    std::vector<StoredLine> Lines;
};

std::vector<StoredRoom> ReadRooms(std::string_view text) {
    std::vector<StoredRoom> rooms;
    auto lines = Split(text, '\n');
    if (lines.empty() || lines.front() != kRoomsHeading) return rooms;
    bool inRoom = false; // a line mark belongs to the room line above it, if that one was read
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto f = Split(lines[i], '\t');
        std::int64_t place = 0;
        if (f[0] == "R") {
            StoredRoom room;
            inRoom = f.size() == 4 && ReadInteger(f[1], place) && place >= 0 &&
                     (f[3].empty() || DecodeRoomSize(f[3], room.Size));
            if (!inRoom) continue;
            room.Place = static_cast<int>(std::min<std::int64_t>(place, 1 << 30));
            room.Name = TabUnescaped(f[2]);
            rooms.push_back(std::move(room));
            continue;
        }
        std::int64_t measure = 0;
        if (inRoom && f.size() == 5 && f[0] == "L" && ReadInteger(f[1], place) && place >= 0 &&
            ReadInteger(f[2], measure) && MeasureFromNumber(measure) != Measure::None)
            rooms.back().Lines.push_back({static_cast<int>(std::min<std::int64_t>(place, 1 << 30)),
                                          MeasureFromNumber(measure), TabUnescaped(f[3]), TabUnescaped(f[4])});
    }
    return rooms;
}

} // namespace

std::string RoomsToText(const QuotationGrid& grid) {
    std::string out;
    int place = -1;
    for (int r = 2; r < grid.EndRow(); ++r) {
        if (grid.IsItemRow(r)) continue;
        ++place;
        const RoomSize& size = grid.Room(r);
        std::string lines;
        int item = 0;
        for (int i = r + 1; i < grid.EndRow() && grid.IsItemRow(i); ++i, ++item) {
            const Measure m = grid.LineMeasure(i);
            if (m == Measure::None) continue;
            lines += "L\t" + std::to_string(item) + "\t" + std::to_string(static_cast<int>(m)) + "\t" +
                     TabEscaped(grid.Text(1, i)) + "\t" + TabEscaped(grid.Text(3, i)) + "\n";
        }
        if (size.Empty() && lines.empty()) continue;
        if (out.empty()) out = std::string(kRoomsHeading) + "\n";
        out += "R\t" + std::to_string(place) + "\t" + TabEscaped(grid.Text(1, r)) + "\t" +
               (size.Empty() ? std::string() : EncodeRoomSize(size)) + "\n";
        out += lines;
    }
    return out;
}

int RoomsFromText(QuotationGrid& grid, std::string_view text) {
    const auto rooms = ReadRooms(text);
    if (rooms.empty()) return 0;
    std::vector<int> sections; // section rows, in order
    for (int r = 2; r < grid.EndRow(); ++r)
        if (!grid.IsItemRow(r)) sections.push_back(r);
    const auto itemsOf = [&](int row) {
        std::vector<int> items;
        for (int i = row + 1; i < grid.EndRow() && grid.IsItemRow(i); ++i) items.push_back(i);
        return items;
    };
    const auto fits = [&](int row, const StoredLine& line) {
        return grid.LineMeasure(row) == Measure::None && grid.Text(1, row) == line.Name &&
               grid.Text(3, row) == line.Quantity;
    };
    // Every room against every section of its name: the pairs whose lines
    // agree most go first, then those nearest to where the room was. The
    // rooms of a project are few; their lines are read once per pair.
    struct Pair {
        int Fitting, Distance, Room, Section;
    };
    std::vector<Pair> pairs;
    for (int k = 0; k < static_cast<int>(rooms.size()); ++k) {
        const StoredRoom& room = rooms[static_cast<std::size_t>(k)];
        for (int s = 0; s < static_cast<int>(sections.size()); ++s) {
            const int row = sections[static_cast<std::size_t>(s)];
            if (grid.Text(1, row) != room.Name) continue;
            const auto items = itemsOf(row);
            int fitting = 0;
            for (const StoredLine& line : room.Lines)
                fitting += std::any_of(items.begin(), items.end(), [&](int r) { return fits(r, line); }) ? 1 : 0;
            pairs.push_back({fitting, std::abs(s - room.Place), k, s});
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return std::tie(b.Fitting, a.Distance, a.Room, a.Section) < std::tie(a.Fitting, b.Distance, b.Room, b.Section);
    });
    std::vector<bool> roomDone(rooms.size(), false), sectionTaken(sections.size(), false);
    int put = 0;
    for (const Pair& p : pairs) {
        if (roomDone[static_cast<std::size_t>(p.Room)] || sectionTaken[static_cast<std::size_t>(p.Section)]) continue;
        roomDone[static_cast<std::size_t>(p.Room)] = sectionTaken[static_cast<std::size_t>(p.Section)] = true;
        const StoredRoom& room = rooms[static_cast<std::size_t>(p.Room)];
        const int sectionRow = sections[static_cast<std::size_t>(p.Section)];
        grid.SetRoom(sectionRow, room.Size);
        ++put;
        const auto items = itemsOf(sectionRow);
        for (const StoredLine& line : room.Lines) {
            int row = line.Place < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(line.Place)] : -1;
            if (row < 0 || !fits(row, line)) {
                const auto other = std::find_if(items.begin(), items.end(), [&](int r) { return fits(r, line); });
                row = other == items.end() ? -1 : *other;
            }
            if (row >= 0) grid.SetLineMeasure(row, line.Follows);
        }
    }
    return put;
}

} // namespace lty
