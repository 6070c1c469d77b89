// House types: the room counts entered in the house-type dialog and the
// layout of a new quotation with one named section row per room.
#pragma once

#include "core/messages/user_messages.h"
#include "core/quotation/quotation_grid.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lty {

// The eleven room counts of a house type; all 0 when created.
class THuxing {
public:
    std::int32_t WaterElectric = 0; // 水电
    std::int32_t Stairs = 0;        // 楼梯
    std::int32_t Bedroom = 0;       // 室
    std::int32_t Corridor = 0;      // 过道
    std::int32_t Balcony = 0;       // 阳台
    std::int32_t Entrance = 0;      // 玄关
    std::int32_t Storeroom = 0;     // 储物间
    std::int32_t LivingRoom = 0;    // 厅
    std::int32_t Bathroom = 0;      // 卫
    std::int32_t Other = 0;         // 其他
    std::int32_t Kitchen = 0;       // 厨房

    void SetWaterElectric(std::int32_t v) { WaterElectric = v; }
    void SetStairs(std::int32_t v) { Stairs = v; }
    void SetBedroom(std::int32_t v) { Bedroom = v; }
    void SetCorridor(std::int32_t v) { Corridor = v; }
    void SetBalcony(std::int32_t v) { Balcony = v; }
    void SetEntrance(std::int32_t v) { Entrance = v; }
    void SetStoreroom(std::int32_t v) { Storeroom = v; }
    void SetLivingRoom(std::int32_t v) { LivingRoom = v; }
    void SetBathroom(std::int32_t v) { Bathroom = v; }
    void SetOther(std::int32_t v) { Other = v; }
    void SetKitchen(std::int32_t v) { Kitchen = v; }
};

// The texts of the dialog's eleven edit boxes, in the order they are read.
struct HouseTypeTexts {
    std::string Bedroom;       // Edit5  "室"
    std::string LivingRoom;    // Edit3  "厅"
    std::string Bathroom;      // Edit4  "卫"
    std::string Balcony;       // Edit8  "阳台"
    std::string Kitchen;       // Edit6  "厨房"
    std::string Corridor;      // Edit7  "过道"
    std::string Storeroom;     // Edit12 "储物间"
    std::string Entrance;      // Edit9  "玄关"
    std::string Stairs;        // Edit10 "楼梯"
    std::string WaterElectric; // Edit2  "水电"
    std::string Other;         // Edit11 "其他"
};

// The dialog's boxes as it first shows them: 2 室, 1 厅, 1 卫, 1 阳台, 2 厨房, 1 水电, 1 其他.
HouseTypeTexts DefaultHouseTypeTexts();

inline constexpr std::string_view kNegativeHouseCountMessage = "户型数量不能为负数，请重新输入！";

// Reads the boxes into `house` in the order above, each trimmed and converted
// as an integer. A text that is not a whole number throws ConvertError with
// the integer message; a count below 0 shows the negative-count message and
// answers false. Either way the counts after it are not read and nothing
// should be laid out.
bool ReadHouseType(THuxing& house, const HouseTypeTexts& texts, UserMessages& messages);

// Lays out the body of a freshly laid out grid from the counts: one locked
// section row per room, "卧室", "卧室2", ..., each with "0.00" as subtotal.
// A negative count gives no rows.
void LayoutFromHouseType(QuotationGrid& grid, const THuxing& house);

} // namespace lty
