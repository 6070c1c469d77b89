// What a printed quotation says besides its lines, and which of its print
// rows become lines: shared by every way the quotation leaves the program
// (printer, PDF, spreadsheet), so that they all tell the customer, and the
// crew, the same.
#pragma once

#include "core/data/records.h"
#include "core/data/tree_nodes.h"
#include "core/print/print_rows.h"
#include "core/print/print_source.h"
#include "core/text/date_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace lty {

// The customer's quotation, with prices, or the crew's work sheet without any.
enum class PrintVersion { Customer, Crew };

// The choice as offered: "报价单（客户）" and "施工单（不含价格）".
const char* PrintVersionCaption(PrintVersion version);
// The choice as remembered in the settings, and back; an unknown text is the
// customer's version.
const char* PrintVersionKey(PrintVersion version);
PrintVersion PrintVersionFromKey(std::string_view key);

struct PrintHeading {
    std::string Company;        // the company's name
    std::string CompanyContact; // "地址：… 电话：…", empty without address and telephones
    std::string Title;          // "居室装修报价单（三室两厅）", brackets only with a house type
    std::string ProjectNumber;  // 工程编号
    std::string Date;           // the date of the quotation, "2024年5月6日"
    std::string Customer;
    std::string CustomerTel;
    std::string Designer;
    std::string DesignerTel; // as typed in the window, else the designer page's telephone
    std::string Address;
};

// The heading for `version`. The company page keeps its telephones in
// COM_TEL2 and COM_PERSON (COM_TEL1 holds the contact person); the designer
// page keeps a designer's telephone in DESADDRESS, the last cell of a row of
// `designers` (rows as FillDesignerGrid gives them, headings in row 0).
PrintHeading QuotationPrintHeading(PrintVersion version, const QuotationPrintSource& source,
                                   const TCompanyInfo& company, const TDesignerGrid& designers, const Date& date);

// How one print row prints. A room without items has one row in the print
// data with nothing in it; it prints no line, and its group no 小计.
struct PrintLineMark {
    bool Shown = false;      // prints as a line
    int Number = 0;          // its number within its room, from 1 (0 when not shown)
    bool GroupShown = false; // its room (the run of rows with its name) has a line
};

// True for the row the print data hold for a room without items.
bool IsEmptyRoomRow(const PrintRow& row);
std::vector<PrintLineMark> MarkPrintLines(const std::vector<PrintRow>& rows);

} // namespace lty
