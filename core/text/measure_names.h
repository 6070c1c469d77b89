// What a catalog entry's quantity follows in a measured room, and the names
// the price page and the catalog's CSV file give it.
#pragma once

#include <cstdint>
#include <string_view>

namespace lty {

// The numbers are those stored (TBLPRODUCTMEASURE.intMeasure).
enum class Measure : std::uint8_t { None = 0, Floor = 1, Wall = 2, Ceiling = 3, Perimeter = 4 };
inline constexpr int kMeasureKinds = 5;

// "无", "地面", "墙面", "顶面", "周长".
std::string_view MeasureName(Measure measure);
// The measure a name stands for (blanks around it ignored); an empty name is
// 无. False for any other text.
bool MeasureFromName(std::string_view name, Measure& measure);
// A stored number; anything outside 0..4 reads as 无.
Measure MeasureFromNumber(std::int64_t number);

} // namespace lty
