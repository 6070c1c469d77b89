// A real three-room quotation (客厅, 主卧, 卫生间: fifteen lines, 工程总价
// 25046.10), built with the grid's own operations, for the tests that check
// its charges by hand.
#pragma once

#include "core/quotation/quotation_grid.h"

#include <string>
#include <vector>

namespace lty::test {

inline void BuildThreeRoomQuotation(QuotationGrid& grid) {
    const std::string plaster =
        "墙面找平：石膏粉找平，刮耐水腻子三遍，打磨平整；立邦净味乳胶漆一底两面，颜色由客户选定。";
    struct Room {
        std::string Name;
        std::vector<CatalogLine> Lines;
    };
    const std::vector<Room> rooms{
        {"客厅",
         {{"墙面乳胶漆", 38, 62.5, "平米", 0, plaster},
          {"顶面石膏板吊顶", 145, 18.6, "平米", 0, "轻钢龙骨框架，泰山纸面石膏板，接缝处贴绷带防裂，含灯孔开孔。"},
          {"电视背景墙", 2800, 1, "项", 0, "木工板基层，饰面板造型，具体以设计图纸为准。"},
          {"地面瓷砖铺贴", 65, 35.2, "平米", 0, "水泥砂浆铺贴，800×800 抛光砖，瓷砖由客户自购。"},
          {"踢脚线安装", 18, 24, "米", 0, "与地砖同色踢脚线，含辅料。"},
          {"窗帘盒", 120, 4.2, "米", 0, ""}}},
        {"主卧",
         {{"墙面乳胶漆", 38, 45.8, "平米", 0, plaster},
          {"实木复合地板铺设", 35, 16.4, "平米", 0, "含防潮膜及扣条，地板由客户自购。"},
          {"衣柜", 1280, 3.6, "平米", 0, "E0 级多层板柜体，投影面积计算，五金另计。"},
          {"门及门套", 1650, 1, "套", 0, "实木复合门，含门锁、合页、门吸。"}}},
        {"卫生间",
         {{"防水处理", 85, 22.5, "平米", 0, "地面及墙面 1.8 米高刷防水涂料两遍，闭水试验四十八小时。"},
          {"墙地砖铺贴", 72, 30.6, "平米", 0, "300×600 墙砖，300×300 防滑地砖，瓷砖由客户自购。"},
          {"铝扣板吊顶", 165, 4.8, "平米", 0, ""},
          {"洁具安装", 380, 1, "项", 0, "坐便器、洗脸盆、淋浴花洒安装，洁具由客户自购。"},
          {"地漏", 45, 2, "个", 0, "防臭地漏。"}}}};
    for (const Room& room : rooms) {
        grid.AddSectionRow();
        grid.SetCellText(1, grid.EndRow() - 1, room.Name);
        for (const CatalogLine& line : room.Lines) {
            grid.SetCurrentCell(1, grid.EndRow() - 1);
            grid.AddItemRow(line, false);
        }
    }
    grid.RecalcTotals();
}

} // namespace lty::test
