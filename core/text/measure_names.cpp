#include "core/text/measure_names.h"

#include "core/text/number_text.h"

#include <array>
#include <string>

namespace lty {
namespace {

constexpr std::array<std::string_view, kMeasureKinds> kMeasureNames{"无", "地面", "墙面", "顶面", "周长"};

} // namespace

std::string_view MeasureName(Measure measure) { return kMeasureNames[static_cast<std::size_t>(measure)]; }

bool MeasureFromName(std::string_view name, Measure& measure) {
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) {
        measure = Measure::None;
        return true;
    }
    for (std::size_t i = 0; i < kMeasureNames.size(); ++i)
        if (trimmed == kMeasureNames[i]) {
            measure = static_cast<Measure>(i);
            return true;
        }
    return false;
}

Measure MeasureFromNumber(std::int64_t number) {
    return number > 0 && number < kMeasureKinds ? static_cast<Measure>(number) : Measure::None;
}

} // namespace lty
