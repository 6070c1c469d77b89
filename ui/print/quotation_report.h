// The printed quotation's bands and boxes: A4 portrait, 10 mm margins, the
// company heading and customer box, one group per section with numbered
// lines and a grey 小计, the totals block, the sum in capitals, the standing
// remark and room to sign.
#pragma once

#include "controls/report/report.h"

namespace lty {

// The fields of the print rows, in the order the report's query reads them.
inline const QStringList kPrintFields{
    QStringLiteral("ItemName"), QStringLiteral("DataName"), QStringLiteral("DataPrice"), QStringLiteral("DataCount"),
    QStringLiteral("DataUnit"), QStringLiteral("DataMemo"), QStringLiteral("DataIndex"), QStringLiteral("Datasum")};

// The report as first created: the labels carry their initial texts ("公司",
// empty customer fields, "备注："); a preparation fills them by name.
report::ReportDefinition QuotationReport();

} // namespace lty
