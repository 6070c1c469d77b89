#include "core/quotation/house_type.h"

#include "core/text/number_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace lty {

HouseTypeTexts DefaultHouseTypeTexts() {
    HouseTypeTexts t;
    t.Bedroom = "2";
    t.LivingRoom = "1";
    t.Bathroom = "1";
    t.Balcony = "1";
    t.Kitchen = "2";
    t.Corridor = "0";
    t.Storeroom = "0";
    t.Entrance = "0";
    t.Stairs = "0";
    t.WaterElectric = "1";
    t.Other = "1";
    return t;
}

bool ReadHouseType(THuxing& house, const HouseTypeTexts& texts, UserMessages& messages) {
    using Setter = void (THuxing::*)(std::int32_t);
    const std::array<std::pair<const std::string*, Setter>, 11> order{{
        {&texts.Bedroom, &THuxing::SetBedroom},
        {&texts.LivingRoom, &THuxing::SetLivingRoom},
        {&texts.Bathroom, &THuxing::SetBathroom},
        {&texts.Balcony, &THuxing::SetBalcony},
        {&texts.Kitchen, &THuxing::SetKitchen},
        {&texts.Corridor, &THuxing::SetCorridor},
        {&texts.Storeroom, &THuxing::SetStoreroom},
        {&texts.Entrance, &THuxing::SetEntrance},
        {&texts.Stairs, &THuxing::SetStairs},
        {&texts.WaterElectric, &THuxing::SetWaterElectric},
        {&texts.Other, &THuxing::SetOther},
    }};
    for (const auto& [text, set] : order) {
        const int count = StrToInt(Trim(*text));
        // A negative count would shrink the grid below the sections written into it.
        if (count < 0) {
            messages.Show(std::string(kNegativeHouseCountMessage));
            return false;
        }
        (house.*set)(count);
    }
    return true;
}

void LayoutFromHouseType(QuotationGrid& grid, const THuxing& house) {
    const std::array<std::pair<std::int32_t, std::string_view>, 9> sections{{
        {house.Bedroom, "卧室"},
        {house.LivingRoom, "客厅"},
        {house.Bathroom, "卫生间"},
        {house.Kitchen, "厨房"},
        {house.Corridor, "过道"},
        {house.Storeroom, "储物间"},
        {house.Entrance, "玄关"},
        {house.Stairs, "楼梯"},
        {house.Other, "其他"},
    }};
    // The rows are sized from the same non-negative counts that are written,
    // so the layout never runs past the grid.
    std::int64_t rows = 0;
    for (const auto& s : sections) rows += std::max<std::int32_t>(s.first, 0);
    grid.ResetBody(static_cast<int>(std::min<std::int64_t>(rows, INT32_MAX - 3)));
    const int end = grid.EndRow();
    for (int r = 2; r < end; ++r) {
        for (int c = 0; c < kQuotationColumns; ++c) grid.SetCellReadOnly(c, r, true);
        grid.SetRowColor(r, CellColor::ButtonFace);
    }
    int r = 2;
    for (const auto& [count, name] : sections) {
        for (std::int32_t k = 1; k <= count && r < end; ++k, ++r) {
            std::string text(name);
            if (k > 1) text += std::to_string(k);
            grid.SetCellText(1, r, text);
            grid.SetCellAlign(1, r, HAlign::Left);
            grid.SetCellText(5, r, "0.00");
            grid.SetCellAlign(5, r, HAlign::Right);
        }
    }
}

} // namespace lty
