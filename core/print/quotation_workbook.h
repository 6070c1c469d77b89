// The quotation as an Excel workbook (.xlsx): the same heading, rooms, lines
// and totals as the printout, laid out on one A4 portrait sheet that prints
// with its column headings on every page. Amounts, 小计, 工程总价, 管理费,
// 税金 and 合计 are formulas, so a figure changed in the sheet carries on,
// and each also carries its value, so a reader that does not recalculate
// shows the same figures as the program, to the cent.
#pragma once

#include "core/print/print_rows.h"
#include "core/print/print_sheet.h"
#include "core/print/print_totals.h"

#include <string>
#include <vector>

namespace lty {

inline constexpr const char* kWorkbookWriteFailed = "导出Excel失败，请检查文件是否被占用或目录是否可写！";

struct QuotationWorkbook {
    PrintVersion Version = PrintVersion::Customer;
    PrintHeading Heading;
    std::vector<PrintRow> Rows; // as QuotationPrintRows gives them
    PrintTotals Totals;         // as the printout has them; the customer's version only
    std::string Remark;         // the standing remark; the customer's version only
};

// Writes the workbook to `path` (UTF-8), replacing a file there only once the
// new one is complete: on any failure (a folder that cannot be written, a
// file held by another program) it answers false, leaves no partial file
// behind and keeps what was at `path`.
bool WriteQuotationWorkbook(const std::string& path, const QuotationWorkbook& workbook);

} // namespace lty
