// The printed quotation's bands and boxes: A4 portrait, 10 mm margins, the
// company heading and customer box, one group per room with numbered lines
// as tall as their texts, and, for the customer, prices with a grey 小计, the
// totals block, the sum in capitals and the standing remark; room to sign.
// The crew's version has the same rooms and lines without any price.
#pragma once

#include "controls/report/report.h"
#include "core/print/print_sheet.h"

#include <vector>

namespace lty {

// The fields of the print rows, in the order the report's query reads them.
inline const QStringList kPrintFields{
    QStringLiteral("ItemName"), QStringLiteral("DataName"), QStringLiteral("DataPrice"), QStringLiteral("DataCount"),
    QStringLiteral("DataUnit"), QStringLiteral("DataMemo"), QStringLiteral("DataIndex"), QStringLiteral("Datasum")};
// What the report adds to each print row (see MarkPrintLines): whether it
// prints as a line, its number, and whether its room prints a 小计.
inline const QStringList kPrintMarkFields{QStringLiteral("LineShown"), QStringLiteral("LineNo"),
                                          QStringLiteral("GroupShown")};

// The report as first created for `version`: the labels carry their
// initial texts ("公司", empty customer fields, "备注："); a preparation
// fills them by name. With `discount` the totals have a 优惠 line between
// 工程总价 and 管理费 (caption DiscountCaption, figure DiscountValue).
report::ReportDefinition QuotationReport(PrintVersion version = PrintVersion::Customer, bool discount = false);

// The title band (company, title, number and date, the customer box) and the
// face of the printed quotation, for the other papers of a project.
report::Band QuotationTitleBand(PrintVersion version);
QFont QuotationReportFont(double points, bool bold = false);

// The x positions (mm from the left margin) of the vertical rules of the
// lines of `version`, both edges included: every column lies between two.
std::vector<double> QuotationColumnRules(PrintVersion version);

} // namespace lty
