// What a project window hands to the print commands: its grid and the
// information page as it stands, so the paper always matches the screen,
// saved or not. Plain data, so every way out of the program (printer, PDF,
// spreadsheet) reads the same.
#pragma once

#include <string>

namespace lty {

class QuotationGrid;

struct QuotationPrintSource {
    const QuotationGrid* Grid = nullptr; // the window's grid; its ProjectTotal is 工程总价
    std::string Customer;                // Edit1 客户名称
    std::string CustomerTel;             // Edit4 客户电话
    std::string Designer;                // ComboBox3 设计师 (the box's text)
    std::string DesignerTel;             // Edit6 设计电话
    std::string Address;                 // Edit3 工程地址
    std::string OverheadText;            // Edit8 管理费, as shown
    std::string TaxText;                 // Edit9 税金, as shown
    std::string ProjectNumber;           // Edit2 工程编号
    std::string HouseType;               // ComboBox1 户型
};

} // namespace lty
