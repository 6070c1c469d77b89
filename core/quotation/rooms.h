// Measured rooms: a room (a section of the quotation grid) may carry its
// length, width and height and the doors and windows to deduct; from them
// come its floor, wall and ceiling areas and its perimeter. A catalog entry
// may name the one of these its quantity follows: added to a measured room it
// takes that figure as its quantity, and the line keeps following the
// measure until a quantity is written into it by hand.
//
// Lengths are held in whole millimetres and areas worked out in whole square
// millimetres, so every figure is exact; a figure is then rounded once, half
// away from zero, to the two decimals it is shown with, and a quantity is the
// figure as shown.
#pragma once

#include "core/text/measure_names.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lty {

class QuotationGrid;

struct RoomOpening {
    std::int64_t WidthMm = 0;
    std::int64_t HeightMm = 0;
    std::int64_t Count = 0;
    bool operator==(const RoomOpening&) const = default;
};

struct RoomSize {
    std::int64_t LengthMm = 0;
    std::int64_t WidthMm = 0;
    std::int64_t HeightMm = 0;
    std::vector<RoomOpening> Openings;
    bool operator==(const RoomSize&) const = default;
    bool Empty() const { return LengthMm == 0 && WidthMm == 0 && HeightMm == 0 && Openings.empty(); }
};

// The largest length and opening count a room takes: 1000 m and 999 openings
// of a kind keep every area far inside the ceiling of figures.
inline constexpr std::int64_t kMaxRoomMm = 1'000'000;
inline constexpr std::int64_t kMaxOpeningCount = 999;

// The four figures in hundredths (of m² or m). A figure is there only when
// the measurements it needs are: floor, ceiling and perimeter need length
// and width; the walls need the height too. The walls never go below 0.
struct RoomFigures {
    std::optional<std::int64_t> Floor, Wall, Ceiling, Perimeter;
};
RoomFigures ComputeRoomFigures(const RoomSize& size);
std::optional<std::int64_t> RoomFigure(const RoomFigures& figures, Measure measure);

// "12.50": a figure of hundredths as the room dialog shows it.
std::string HundredthsText(std::int64_t hundredths);
// The quantity a line takes from the figure: the figure as shown, in the
// grid's general format ("12.5", "12").
std::string HundredthsQuantity(std::int64_t hundredths);
// The quantity a line following `measure` takes in a room of `size`; none
// when the room lacks the measurements for it.
std::optional<std::string> MeasuredQuantity(const RoomSize& size, Measure measure);

// A length typed in metres: digits with at most three decimals (full-width
// digits and arithmetic read as in the grid), from 0 up to kMaxRoomMm; a
// blank is 0. On refusal `refusal` holds the message to show.
bool ReadMetres(std::string_view typed, std::int64_t& mm, std::string& refusal);
// A count of openings: a whole number from 0 to kMaxOpeningCount; blank is 0.
bool ReadOpeningCount(std::string_view typed, std::int64_t& count, std::string& refusal);
// A length in metres as typed back: "3.6", "2.85", "0", "4".
std::string MetresText(std::int64_t mm);

// A room's measurements as a short text ("3600,2800,2700;900,2100,1;...") and
// back. Decoding is strict: false (and `size` untouched) for any other text.
std::string EncodeRoomSize(const RoomSize& size);
bool DecodeRoomSize(std::string_view text, RoomSize& size);

// ---- rooms on the grid ------------------------------------------------------

// The lines of the room at `sectionRow` whose quantity follows a measure and
// would change with measurements `size` (their quantity text differs from
// the figure's), in grid order.
std::vector<int> LinesToRemeasure(const QuotationGrid& grid, int sectionRow, const RoomSize& size);

// Gives the room at `sectionRow` the measurements `size`. With
// `updateQuantities`, every line of it that follows a measure the room now
// has takes that figure as its quantity, its amount and the totals following.
// Answers how many quantities changed.
int ApplyRoomSize(QuotationGrid& grid, int sectionRow, const RoomSize& size, bool updateQuantities);

// A project's rooms as the text kept beside its quotation: for each room (in
// the order of the sections) with measurements or with lines following a
// measure, its place and name, its measurements, and each such line's place,
// measure, name and quantity. Empty when no room has any of these.
std::string RoomsToText(const QuotationGrid& grid);

// Puts stored rooms back on a grid just rebuilt from its quotation text. A
// room finds its section by name (the nearest of equal names to where it
// was), so sections added, moved or deleted since, by this program or by one
// that knows nothing of rooms, leave the other rooms where they belong; a
// line's mark holds only while the line at its place (or another unmarked
// line of the room) has the same name and still the quantity it was filled
// with, so a quantity typed over meanwhile stays the user's. Any text is
// accepted; what cannot be read is passed over. Answers how many rooms were
// put back.
int RoomsFromText(QuotationGrid& grid, std::string_view text);

} // namespace lty
